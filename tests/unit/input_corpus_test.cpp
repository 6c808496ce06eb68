// Detection and loading of real alignments written by other people (skipped without them).
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "core/fatal.h"
#include "core/run_state.h"
#include "input/detect.h"
#include "input/readers.h"
#include "support/harness.h"

namespace selvane {
namespace {

namespace fs = std::filesystem;

struct Outcome {
  std::string error;  // empty when the file loads
  InputFormat fileformat = InputFormat::kNone;
  char seq_type = '-';
  std::int32_t numseq = 0;
  std::int32_t nupo = 0;
};

Outcome detect_and_load(const fs::path& file) {
  Outcome outcome;
  try {
    Detection found = checkfiletype(file.string());
    const Alignment al = load(std::move(*found.first_alignment), found.format.format);
    outcome.fileformat = found.format.format;
    outcome.seq_type = static_cast<char>(found.format.type);
    outcome.numseq = al.numseq;
    outcome.nupo = al.nupo;
  } catch (const FatalError& e) {
    outcome.error = e.text();
  }
  return outcome;
}

TEST(Corpus, EveryAlignmentLoadsOrFailsWithItsMessage) {
  if (!testing::corpus_available()) GTEST_SKIP() << "no corpus at " << testing::corpus_dir();
  const std::string too_long = "\nSequence name too long\n";
  const std::string unequal = "\nSequences with different number of positions\n";
  // Files that must not load, checked by hand: headers of 86 to 118 characters, unaligned
  // sequences, and a single sequence (with CRLF line ends).
  const std::map<std::string, std::string> failing = {
      {"bioperl/seqs.fas", too_long},
      {"biopython/drosophila.fasta", too_long},
      {"example4.fasta", too_long},
      {"bioperl/testaln.fasta", unequal},
      {"biopython/DMA_nuc.pir", unequal},
      {"biopython/DMB_prot.pir", unequal},
      {"pona-modelling/build_profile.ali", unequal},
      {"example.092.DNA.fasta", unequal},
      {"scfv-modelling/il8.ali",
       "\nFile not in NBRF/PIR format or too few sequences in the alignment: 1\n"},
  };
  // Counts worked out with awk: CRLF files, mixed line ends, a column-removing NBRF/PIR DNA file.
  struct Known {
    InputFormat fileformat;
    char seq_type;
    std::int32_t numseq;
    std::int32_t nupo;
  };
  const std::map<std::string, Known> known = {
      {"bioperl/test.pir", {InputFormat::kPir, 'P', 2, 358}},
      {"biopython/clustalw.pir", {InputFormat::kPir, 'D', 2, 1695}},  // 2527 before removal
      {"scfv-modelling/build_profile.ali", {InputFormat::kPir, 'P', 543, 266}},
      {"example.006.AA.pir", {InputFormat::kPir, 'P', 9, 179}},
      {"uORF_aa.fasta", {InputFormat::kFasta, 'P', 604, 25}},
      {"24_ENSG00000163519_aa_aln.fasta", {InputFormat::kFasta, 'P', 24, 231}},
      {"example.009.AA.fasta", {InputFormat::kFasta, 'P', 9, 185}},
      {"biopython/dottednum.fasta", {InputFormat::kFasta, 'P', 7, 468}},
  };

  int loaded = 0;
  int checked = 0;
  for (const auto& entry : fs::recursive_directory_iterator(testing::corpus_dir())) {
    if (!entry.is_regular_file() || entry.path().extension() == ".md") continue;
    // A file is named by its path in the corpus, or by its name alone where that is unique.
    const std::string rel = fs::relative(entry.path(), testing::corpus_dir()).generic_string();
    // Clustal, PHYLIP, Stockholm and NEXUS files: not FASTA or NBRF/PIR, so not for this table.
    if (rel.starts_with("formats/")) continue;
    const auto find = [&](const auto& table) {
      const auto it = table.find(rel);
      return it != table.end() ? it : table.find(entry.path().filename().string());
    };
    const Outcome got = detect_and_load(entry.path());
    if (const auto f = find(failing); f != failing.end()) {
      EXPECT_EQ(got.error, f->second) << rel;
      ++checked;
      continue;
    }
    EXPECT_EQ(got.error, "") << rel;
    EXPECT_GE(got.numseq, 2) << rel;
    EXPECT_GE(got.nupo, 2) << rel;
    ++loaded;
    if (const auto k = find(known); k != known.end()) {
      EXPECT_EQ(got.fileformat, k->second.fileformat) << rel;
      EXPECT_EQ(got.seq_type, k->second.seq_type) << rel;
      EXPECT_EQ(got.numseq, k->second.numseq) << rel;
      EXPECT_EQ(got.nupo, k->second.nupo) << rel;
      ++checked;
    }
  }
  EXPECT_EQ(checked, static_cast<int>(failing.size() + known.size()));
  EXPECT_GT(loaded, 0);
}

}  // namespace
}  // namespace selvane
