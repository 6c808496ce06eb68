// The formats read with --in-format (PHYLIP, Clustal, Stockholm, NEXUS) and detection with the
// option: small files for what each format allows and refuses, then every file of the corpus.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "core/fatal.h"
#include "core/run_state.h"
#include "input/block_reader.h"
#include "input/detect.h"
#include "input/readers.h"
#include "input/residue_run.h"
#include "support/harness.h"

namespace selvane {
namespace {

namespace fs = std::filesystem;

constexpr auto kPhylip = InputFormat::kPhylip;
constexpr auto kClustal = InputFormat::kClustal;
constexpr auto kStockholm = InputFormat::kStockholm;
constexpr auto kNexus = InputFormat::kNexus;

// "name=row;" for every sequence of the file `path` read in `format` (and "@N" when a further
// alignment begins on line N), or the fatal text, "|" and the detail without the path.
std::string read_file_as(const fs::path& path, InputFormat format, bool long_names = false) {
  try {
    const Alignment al = read_alignment(path.string(), format, long_names);
    // The names alone, as a batch joined by taxon reads them first, are the reader's names.
    EXPECT_EQ(read_names(path.string(), format, long_names), al.name) << path;
    std::string text;
    for (std::int32_t s = 1; s <= al.numseq; ++s) {
      text += al.name[s] + "=" + std::string(al.let.row(s) + 1, al.let.row(s) + 1 + al.nupo) + ";";
    }
    if (al.unread_from > 0) text += "@" + std::to_string(al.unread_from);
    return text;
  } catch (const FatalError& e) {
    std::string detail = e.detail();
    if (detail.starts_with(path.string() + ": ")) detail.erase(0, path.string().size() + 2);
    return e.text() + "|" + detail;
  }
}

std::string read_as(InputFormat format, const std::string& content) {
  testing::TempDir dir;
  testing::write_file(dir / "aln", content);
  return read_file_as(dir / "aln", format);
}

struct Case {
  const char* what;
  InputFormat format;
  std::string content;
  std::string expected;
};

const std::string kPhylipError = "\nFile not in PHYLIP format\n|";
const std::string kClustalError = "\nFile not in Clustal format\n|";
const std::string kStockholmError = "\nFile not in Stockholm format\n|";
const std::string kNexusError = "\nFile not in NEXUS format\n|";

TEST(LineFormats, WhatEachReadsAndRefuses) {
  const Case cases[] = {
      // PHYLIP. Names of exactly ten characters glued to their residues, or longer names
      // followed by a blank: both readings fit the first block, the next block or the header's
      // length tells which is meant.
      {"strict names glued to residues", kPhylip,
       "2 45\nAAAAAAAAAAACGTACGTAC GTACG\nBBBBBBBBBBTTTTTTTTTT TTTTT\n\nGGGGGGGGGG GGGGG\n"
       "TTTTT TTTTTTTTTT\n\nCCCCCCCCCCCCCCC\nAAAAAAAAAAAAAAA\n",
       "AAAAAAAAAA=ACGTACGTACGTACGGGGGGGGGGGGGGGGCCCCCCCCCCCCCCC;"
       "BBBBBBBBBB=TTTTTTTTTTTTTTTTTTTTTTTTTTTTTTAAAAAAAAAAAAAAA;"},
      {"relaxed names of one length, three blocks", kPhylip,
       "2 30\nTaxon_alpha1 ACGTACGTAC\nTaxon_alpha2 TTTTTTTTTT\n\nGGGGGGGGGG\nCCCCCCCCCC\n\n"
       "AAAAAAAAAA\nAAAAAAAAAA\n",
       "Taxon_alpha1=ACGTACGTACGGGGGGGGGGAAAAAAAAAA;Taxon_alpha2=TTTTTTTTTTCCCCCCCCCCAAAAAAAAAA;"},
      {"relaxed names of one length, two blocks", kPhylip,
       "2 20\nTaxon_alpha1 ACGTACGTAC\nTaxon_alpha2 TTTTTTTTTT\n\nGGGGGGGGGG\nCCCCCCCCCC\n",
       "Taxon_alpha1=ACGTACGTACGGGGGGGGGG;Taxon_alpha2=TTTTTTTTTTCCCCCCCCCC;"},
      {"sequential, wrapped, a quoted name and a further data set", kPhylip,
       "2 12\n'a b' ACGT\nACGT ACGT\nb ACGTAC\nGTACGT\n2 3\nx ACG\ny ACG\n",
       "a b=ACGTACGTACGT;b=ACGTACGTACGT;@6"},
      {"a row too short in a block", kPhylip, "2 8\na ACGT\nb ACGT\nACGT\nACG\n",
       kPhylipError +
           "line 5: sequence 2 (\"b\") has 3 positions in block 2, whose first line has 4"},
      {"a sequential row too short", kPhylip, "2 8\na ACGT\nACGT\nb ACG\nTACG\n",
       kPhylipError + "line 4: sequence 2 (\"b\") has 7 positions; the header announces 8"},
      {"fewer sequences than the header", kPhylip, "3 4\na ACGT\nb ACGT\n",
       kPhylipError + "line 3: 2 sequences read; the header announces 3"},
      {"lines after the last sequence", kPhylip, "2 4\na ACGT\nb ACGT\nc ACGT\n",
       kPhylipError + "line 4: \"c ACGT\" follows the end of the alignment"},
      {"no counts", kPhylip, "2 x\na ACGT\n",
       kPhylipError + "line 1: \"2 x\" is not the number of sequences and the number of positions"},
      // Clustal: residue counts and conservation lines are left out; a block may follow another
      // without a blank line.
      {"blocks, counts, marks", kClustal,
       "CLUSTAL W (1.83) multiple sequence alignment\n\n\na    AC-GT 4\nb    ACCGT 5\n"
       "     ** **\na    TT 6\nb    T- 6\n\n",
       "a=AC-GTTT;b=ACCGTT-;"},
      {"blocks without a line between them", kClustal, "CLUSTAL\n\na AC\nb AG\na TT\nb TT\n",
       "a=ACTT;b=AGTT;"},
      {"a block without a name", kClustal, "CLUSTAL W\n\na AC\nb AC\nc AC\n\na GT\nc GT\n",
       kClustalError + "line 8: block 2 gives \"c\" where sequence 2 (\"b\") is due"},
      {"a block cut short", kClustal, "MUSCLE (3.8)\n\na AC\nb AC\n\na GT\n",
       kClustalError + "line 6: block 2 ends after 1 of its 2 lines"},
      {"rows of different lengths", kClustal, "CLUSTAL\n\na ACG\nb AC\n",
       "\nSequences with different number of positions\n|sequence 2 (\"b\") has 2 positions, "
       "but sequence 1 (\"a\") has 3"},
      // Stockholm: markup skipped, names kept whole, '.' a gap, blocks in any order.
      {"two blocks", kStockholm,
       "# STOCKHOLM 1.0\n#=GF ID x\nA/1-6 AC.G\n#=GR A/1-6 SS ....\nB/2-7 ACTG\n\n"
       "B/2-7 TT\nA/1-6 GG\n#=GC SS_cons ..\n//\n",
       "A/1-6=AC-GGG;B/2-7=ACTGTT;"},
      {"a further alignment", kStockholm, "# STOCKHOLM 1.0\na AC\nb AG\n//\n# STOCKHOLM 1.0\n",
       "a=AC;b=AG;@5"},
      {"no end", kStockholm, "# STOCKHOLM 1.0\na AC\nb AG\n",
       kStockholmError + "line 3: the file ends without the line '//' that ends the alignment"},
      {"text after the end", kStockholm, "# STOCKHOLM 1.0\na AC\nb AG\n//\nc AC\n",
       kStockholmError + "line 5: \"c AC\" follows the end of the alignment"},
      // NEXUS.
      {"interleaved, GAP=# MISSING=-, quoted names, comments, a TAXA block", kNexus,
       "#NEXUS\n[comment [nested]]\nBEGIN TAXA; DIMENSIONS NTAX=2; TAXLABELS 'a b' c; END;\n"
       "begin characters;\n dimensions nchar=8;\n"
       " format datatype=dna gap = # missing= - interleave;\nmatrix\n"
       "'a b' AC#- [one;\ntwo]\nc [x] ACGT\n\na_b TTTT\nc GG#G;\nend;\n",
       "a b=AC-?TTTT;c=ACGTGG-G;"},
      {"MATCHCHAR, a taxon over several lines", kNexus,
       "#NEXUS\nbegin data; dimensions ntax=2 nchar=6; format matchchar=.;\nmatrix\n"
       "a ACG\nTAC\nb .T.\n..G\n;\nend;\n",
       "a=ACGTAC;b=ATGTAG;"},
      {"NCHAR disagrees", kNexus,
       "#NEXUS\nbegin data; dimensions ntax=2 nchar=8; format interleave;\nmatrix\n"
       "a ACGT\nb ACGT\na ACGT\nb ACG\n;\n",
       kNexusError + "line 8: sequence 2 (\"b\") has 7 positions; the header announces 8"},
      {"NTAX disagrees", kNexus,
       "#NEXUS\nbegin data; dimensions ntax=3 nchar=2;\nmatrix\na AC\nb AC\n;\n",
       kNexusError + "line 6: 2 sequences read; the header announces 3"},
      // A name due next that begins the line's word is not yet that word; a name longer than
      // sixteen bytes is compared as a shorter one.
      {"later blocks in another order, names alike, a long name", kNexus,
       "#NEXUS\nbegin data; dimensions ntax=3 nchar=6; format interleave;\nmatrix\n"
       "t AC\nt1 A.\ntaxonwithalongname17 CC\n\nt1 GT\nt GG\ntaxonwithalongname17 TT\n\n"
       "t AA\nt1\tCC\ntaxonwithalongname17 GG\n;\n",
       "t=ACGGAA;t1=A-GTCC;taxonwithalongname17=CCTTGG;"},
      {"an unknown name in a later block", kNexus,
       "#NEXUS\nbegin data; dimensions ntax=2 nchar=4; format interleave;\nmatrix\n"
       "a AC\nb AC\nc AC\n",
       kNexusError + "line 6: \"c\" names no sequence of the first block"},
      {"characters that are no sequences", kNexus,
       "#NEXUS\nbegin data; dimensions ntax=2 nchar=2; format datatype=standard;\nmatrix\n",
       kNexusError + "line 2: \"DATATYPE=standard\" is not read by selvane"},
      {"no DATA block", kNexus, "#NEXUS\nbegin trees; tree t = (a,b); end;\n",
       kNexusError + "line 3: the file ends without a DATA or CHARACTERS block"},
  };
  for (const Case& c : cases) EXPECT_EQ(read_as(c.format, c.content), c.expected) << c.what;
}

TEST(LineFormats, NexusDatatypeIsTheAlignmentsDeclaredType) {
  testing::TempDir dir;
  const std::pair<const char*, SeqType> cases[] = {
      {"datatype=protein", SeqType::kProtein},
      {"datatype=rna", SeqType::kDna},
      {"missing=?", SeqType::kUnknown},
  };
  for (const auto& [format, type] : cases) {
    testing::write_file(dir / "aln", std::string("#NEXUS\nbegin data; dimensions ntax=2 nchar=2;"
                                                 " format ") +
                                         format + ";\nmatrix\na AC\nb AG\n;\n");
    EXPECT_EQ(read_alignment((dir / "aln").string(), kNexus).declared_type, type) << format;
  }
}

// An alignment written in `format` the way one of the programs that write it might: names of
// any length (at most ten with strict PHYLIP names), blocks of any width, numbers and marks.
std::string written(InputFormat format, const std::vector<std::string>& names,
                    const std::vector<std::string>& rows, std::mt19937& random) {
  const auto pick = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  const std::size_t width = rows[0].size();
  const auto block = static_cast<std::size_t>(pick(1, static_cast<int>(width) + 5));
  const bool interleave = format != kNexus || pick(0, 1) == 1;
  std::size_t pad = 0;
  for (const std::string& name : names) pad = std::max(pad, name.size() + 1);
  if (format == kPhylip && pick(0, 1) == 1) pad = 10;  // strict: a name may touch its residues
  const auto padded = [&](const std::string& name) {
    return name + std::string(pad - name.size(), ' ');
  };
  std::string text;
  if (format == kPhylip) text = std::to_string(names.size()) + " " + std::to_string(width) + "\n";
  if (format == kClustal) text = "CLUSTAL W (1.83) multiple sequence alignment\n\n\n";
  if (format == kStockholm) text = "# STOCKHOLM 1.0\n#=GF ID x\n";
  if (format == kNexus) {
    text = "#NEXUS\nbegin data;\n dimensions ntax=" + std::to_string(names.size()) +
           " nchar=" + std::to_string(width) + ";\n format" + (interleave ? " interleave" : "") +
           ";\nmatrix\n";
  }
  if (!interleave || (format == kPhylip && pick(0, 1) == 1)) {
    // Each sequence whole, wrapped.
    for (std::size_t s = 0; s < rows.size(); ++s) {
      text += padded(names[s]);
      for (std::size_t p = 0; p < width; p += block) text += rows[s].substr(p, block) + "\n";
    }
  } else {
    for (std::size_t p = 0; p < width; p += block) {
      for (std::size_t s = 0; s < rows.size(); ++s) {
        const bool named = format != kPhylip || p == 0;
        text +=
            (named ? padded(names[s]) : std::string(pick(0, 3), ' ')) + rows[s].substr(p, block);
        if (format == kClustal && pick(0, 1) == 1) text += " " + std::to_string(p + block);
        if (format == kNexus && pick(0, 40) == 0) text += " [a comment]";
        text += "\n";
      }
      if (format == kClustal) text += std::string(pad, ' ') + "*:. \n";
      if (format == kStockholm) text += "#=GC SS_cons " + std::string(block, '.') + "\n";
      if (pick(0, 1) == 1 || format == kStockholm) text += "\n";
    }
  }
  if (format == kStockholm) text += "//\n";
  if (format == kNexus) text += ";\nend;\n";
  return text;
}

// Whatever shape a writer gives an alignment, it reads back as it was; the last rounds are
// larger than a block of the reader.
TEST(LineFormats, AlignmentsReadBackAsWritten) {
  std::mt19937 random(20);
  const auto pick = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  for (int round = 0; round < 208; ++round) {
    const InputFormat format = std::array{kPhylip, kClustal, kStockholm, kNexus}[round % 4];
    std::vector<std::string> names;
    std::vector<std::string> rows;
    const bool large = round >= 200;
    const int numseq = large ? pick(200, 400) : pick(2, 12);
    const auto width = static_cast<std::size_t>(large ? pick(500, 1500) : pick(1, 130));
    std::string expected;
    for (int s = 0; s < numseq; ++s) {
      names.push_back("s" + std::to_string(s) + std::string(pick(0, 12), "xy_z"[s % 4]));
      if (format == kPhylip) names.back().resize(std::min<std::size_t>(names.back().size(), 10));
      rows.emplace_back();
      for (std::size_t p = 0; p < width; ++p) rows.back() += "ACGTWY-"[pick(0, 6)];
      expected += names.back() + "=" + rows.back() + ";";
    }
    const std::string text = written(format, names, rows, random);
    if (large) {
      EXPECT_GT(text.size(), BlockReader::kBlockSize);
    }
    EXPECT_EQ(read_as(format, text), expected) << text;
  }
}

// Lines of any padding, blanks and length, against the copy character by character: from
// sixteen bytes a step to the copy around blanks, and back.
TEST(LineFormats, LineResiduesAreCopiedWithoutBlanks) {
  std::mt19937 random(7);
  for (int round = 0; round < 2000; ++round) {
    std::string text(static_cast<std::size_t>(random() % 80), 'A');
    const char* letters = round % 2 == 0 ? "AC.-" : " \tAC.";
    for (char& c : text) c = letters[random() % std::strlen(letters)];
    if (round % 3 == 0) text.insert(0, random() % 20, ' ');
    std::string expected;
    for (const char c : text) {
      if (c != ' ' && c != '\t') expected += c == '.' ? '-' : c;
    }
    const std::string padded = text + std::string(kLineCopySlack, ' ');
    std::string copied(text.size() + kLineCopySlack, '\0');
    const std::size_t stored =
        copy_line_residues(std::string_view(padded).substr(0, text.size()), copied.data());
    EXPECT_EQ(copied.substr(0, stored), expected) << '"' << text << '"';
    EXPECT_EQ(count_line_residues(text), expected.size()) << '"' << text << '"';
  }
}

// The format and type detection finds for a first line, or the fatal text, "|", the detail
// and, after another "|", the hint.
std::string detected(const std::string& line, std::optional<InputFormat> in_format) {
  try {
    const DetectedFormat found = checkformat(line, "f", LineEnds::kLf, in_format);
    return std::to_string(static_cast<int>(found.format)) + static_cast<char>(found.type);
  } catch (const FatalError& e) {
    return e.text() + "|" + e.detail() + "|" + e.hint();
  }
}

TEST(LineFormats, DetectionWithAndWithoutInFormat) {
  const std::optional<InputFormat> none;
  const std::optional<InputFormat> automatic = InputFormat::kNone;
  const std::string no_format = "\nSequence not in NBRF/PIR or FASTA format\n|f: its first line \"";
  const struct {
    std::string line;
    std::optional<InputFormat> in_format;
    std::string expected;
  } cases[] = {
      // Without the option: as always, and a hint on standard error.
      {">a", none, "2P"},
      {"3 384", none,
       no_format + "3 384\" is no FASTA or NBRF/PIR header (they begin with '>')|f: it looks like "
                   "a PHYLIP file: --in-format=phylip (or --in-format=auto) reads it"},
      {"#NEXUS", none,
       no_format + "#NEXUS\" is no FASTA or NBRF/PIR header (they begin with '>')|f: it looks "
                   "like a NEXUS file: --in-format=nexus (or --in-format=auto) reads it"},
      {"text", none, no_format + "text\" is no FASTA or NBRF/PIR header (they begin with '>')|"},
      // auto: every format in the table's order; a type only where the line names one.
      {">P1;x", automatic, "1P"},
      {">a", automatic, "2-"},
      {"#nexus", automatic, "6-"},
      {"# STOCKHOLM 1.0", automatic, "5-"},
      {"CLUSTAL W (1.83) multiple sequence alignment", automatic, "4-"},
      {" 5 42", automatic, "3-"},
      {"text", automatic,
       "\nFile not in NBRF/PIR, FASTA, NEXUS, Stockholm, Clustal or PHYLIP format\n|f: its "
       "first line \"text\" opens none of these formats|"},
      // One format by name.
      {">a", InputFormat::kFasta, "2-"},
      {">a", InputFormat::kNexus,
       "\nFile not in NEXUS format\n|f: its first line \">a\" is not the line '#NEXUS'|"},
  };
  for (const auto& c : cases) EXPECT_EQ(detected(c.line, c.in_format), c.expected) << c.line;
}

// Every file of the corpus's formats folder, detected with --in-format=auto and read; the
// counts are those of the files' own headers where they have one, else those Biopython reads.
TEST(LineFormats, EveryCorpusFileIsReadOrRefusedWithItsReason) {
  if (!testing::corpus_available()) GTEST_SKIP() << "no corpus at " << testing::corpus_dir();
  struct Expected {
    InputFormat format;
    std::int32_t numseq = 0;
    std::int32_t width = 0;
    std::string error = {};  // refused without --long-names: the text, "|" and the detail
  };
  const std::map<std::string, Expected> files = {
      {"bioperl/Primate_mtDNA.nex", {kNexus, 12, 898}},
      {"bioperl/Treebase-chlamy-dna.nex", {kNexus, 14, 629}},
      {"bioperl/char-interleave.nex", {kNexus, 8, 6}},
      {"bioperl/hs_owlmonkey.aln", {kClustal, 2, 189}},
      {"bioperl/mini-align.aln", {kClustal, 4, 33}},
      {"bioperl/noninterleaved.phy", {kPhylip, 4, 297}},
      {"bioperl/protpars.phy", {kPhylip, 3, 5127}},
      {"bioperl/protpars_longid.phy", {kPhylip, 3, 100}},
      {"bioperl/testaln.nexus", {kNexus, 4, 50}},
      {"bioperl/testaln.phylip", {kPhylip, 4, 50}},
      {"bioperl/testaln.stockholm", {kStockholm, 16, 242}},  // the first of three alignments
      {"biopython/cath3.sth", {kStockholm, 4, 91}},
      {"biopython/clustalw.aln", {kClustal, 2, 601}},
      {"biopython/codonposset.nex", {kNexus, 2, 22}},
      {"biopython/example.sth", {kStockholm, 3, 33}},
      {"biopython/five.dat", {kPhylip, 5, 42}},
      {"biopython/funny.sth",
       {kStockholm, 6, 43,
        "\nSequence name too long\n|the name of sequence 6 (\"363253|refseq_protein.50.proto_"
        "past_mito...\") is 112 characters long; at most 72 fit here (--long-names accepts any "
        "length)"}},
      {"biopython/hedgehog.aln", {kClustal, 5, 447}},
      {"biopython/interlaced.phy", {kPhylip, 3, 384}},
      {"biopython/interlaced2.phy", {kPhylip, 4, 131}},
      {"biopython/kalign.aln", {kClustal, 2, 27}},
      {"biopython/msaprobs.aln", {kClustal, 8, 298}},
      {"biopython/muscle.aln", {kClustal, 3, 687}},
      {"biopython/odd_consensus.aln", {kClustal, 2, 687}},
      {"biopython/one.dat", {kPhylip, 8, 286}},
      {"biopython/opuntia.aln", {kClustal, 7, 156}},
      {"biopython/pfam2.seed.txt", {kStockholm, 3, 59}},
      {"biopython/pfam3.seed.txt", {kStockholm, 7, 504}},
      {"biopython/probcons.aln", {kClustal, 5, 101}},
      {"biopython/promals3d.aln", {kClustal, 20, 414}},
      {"biopython/reference_dna.phy", {kPhylip, 6, 13}},
      {"biopython/rfam2.seed.txt", {kStockholm, 13, 153}},
      {"biopython/sequential.phy", {kPhylip, 3, 384}},
      {"biopython/sequential2.phy", {kPhylip, 4, 131}},
      {"biopython/simple.sth", {kStockholm, 2, 104}},
      {"biopython/test_Nexus_input.nex", {kNexus, 9, 48}},
  };
  const fs::path root = testing::corpus_dir() / "formats";
  std::size_t seen = 0;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file()) continue;
    const std::string rel = fs::relative(entry.path(), root).generic_string();
    SCOPED_TRACE(rel);
    const auto expected = files.find(rel);
    ASSERT_NE(expected, files.end()) << "a file the table does not know";
    ++seen;
    const Expected& e = expected->second;
    Detection found = checkfiletype(entry.path().string(), InputFormat::kNone);
    EXPECT_EQ(found.format.format, e.format);
    const std::string read = read_file_as(entry.path(), e.format);
    if (!e.error.empty()) {
      EXPECT_EQ(read, e.error);
    }
    const Alignment al = read_alignment(entry.path().string(), e.format, true);
    EXPECT_EQ(al.numseq, e.numseq);
    EXPECT_EQ(al.nupo, e.width);
  }
  EXPECT_EQ(seen, files.size());
  // Twins: one alignment, sequential and interleaved.
  for (const auto& [a, b] : {std::pair{"sequential.phy", "interlaced.phy"},
                             std::pair{"sequential2.phy", "interlaced2.phy"}}) {
    EXPECT_EQ(read_file_as(root / "biopython" / a, kPhylip),
              read_file_as(root / "biopython" / b, kPhylip));
  }
}

}  // namespace
}  // namespace selvane
