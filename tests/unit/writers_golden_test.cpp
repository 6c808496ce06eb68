// Every writer against expected files kept under tests/golden/writers/, each small enough to
// check by eye against the file formats (rewritten by `make redo-cases`, see support/expected.h).
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "core/run_state.h"
#include "output/writers.h"
#include "support/expected.h"
#include "support/harness.h"
#include "unit/writers_fixtures.h"

namespace selvane {
namespace {

using testing::make_alignment;
using testing::make_blocks;
using testing::make_classification;
using testing::make_rows;
using testing::selection_line;

std::string repeat(const std::string& s, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += s;
  return out;
}

RunState settings(InputFormat fileformat, char seq_type) {
  RunState st;
  st.input.fileformat = fileformat;
  st.params.seq_type = static_cast<SeqType>(seq_type);
  return st;
}

EntryFormat format(InputFormat fileformat, char seq_type) {
  return EntryFormat{fileformat, static_cast<SeqType>(seq_type)};
}

// Two protein sequences of 25 positions; the second in lower case with two gaps.
Alignment protein25() {
  return make_alignment({"seq1", "second"},
                        {"ABCDEFGHIJKLMNOPQRSTUVWXY", "abcd-fghijklmno-qrstuvwxy"});
}

// Two DNA sequences of 70 positions, one kind of letter per ten positions.
Alignment dna70() {
  return make_alignment({"d1", "d2"},
                        {"AAAAAAAAAACCCCCCCCCCGGGGGGGGGGTTTTTTTTTTaaaaaaaaaaccccccccccgggggggggg",
                         "TTTTTTTTTTGGGGGGGGGGCCCCCCCCCCAAAAAAAAAAttttttttttgggggggggg-----ccccc"});
}

Alignment codon12() {
  return make_alignment({"c1", "c2"}, {"ATGAAACCCGGG", "atgaa-cccggg"});
}

Alignment dna40() {
  return make_alignment({"n1", "n2"}, {"AAAAAAAAAACCCCCCCCCCGGGGGGGGGGTTTTTTTTTT",
                                       "aaaaaaaaaaccccccccccggggggggggtttttttttt"});
}

// Three protein sequences of 130 positions for the results file: a short name, a name of 20
// characters and one of 3; a handful of scored positions, some conserved, some not.
struct Report {
  Alignment aln;
  Classification cls;
  Blocks blocks;
  std::string letselvane;
  RunState st;
  std::string fichero1 = "data/aln.fas";
};

Report report130(int form, int breakcount) {
  const std::string unit = "ACDEFGHIKL";
  Report r;
  r.aln = make_alignment(
      {"alpha", "name_of_20_chars_xyz", "abc"},
      {repeat(unit, 13), "AcWEFGHIKL" + repeat(unit, 12), "----------" + repeat("acdefghikl", 12)});
  r.cls = make_classification(
      130, {{1, 2, 'A'}, {2, 3, 'C'}, {3, 2, 'D'}, {12, 1, 'C'}, {61, 2.5f, 'A'}, {130, 3, 'L'}});
  const std::vector<std::pair<std::int32_t, std::int32_t>> spans = {{1, 10}, {55, 70}};
  r.blocks = make_blocks(130, spans);
  r.blocks.newposseq = {{1, 10}, {50, 65}};
  r.letselvane = form == 3 ? std::string() : selection_line(130, spans);
  r.st = settings(InputFormat::kFasta, 'P');
  r.st.outputs.tog_viewfile = static_cast<ResultsForm>(form);
  r.st.outputs.breakcount = breakcount;
  r.st.params.negval = 2;
  r.st.params.flankval = 3;
  r.st.params.posblen = 12;
  r.st.params.tog_gaps = GapPolicy::kWithHalf;
  return r;
}

// Two DNA sequences of 12 positions without any selected block.
Report report_dna12(int form, char seq_type) {
  Report r;
  r.aln = make_alignment({"d1", "d2"}, {"ACGTU-acgtuN", "ACGTTTacgaaN"});
  r.cls = make_classification(12, {{1, 2, 'A'}, {2, 2, 'C'}, {5, 1, 'U'}, {7, 2, 'A'}});
  r.blocks = make_blocks(12, {});
  r.letselvane = form == 3 ? std::string() : selection_line(12, {});
  r.st = settings(InputFormat::kPir, seq_type);
  r.fichero1 = "d.pir";
  r.st.outputs.exten = "-x";
  r.st.outputs.tog_viewfile = static_cast<ResultsForm>(form);
  r.st.params.negval = 2;
  r.st.params.flankval = 2;
  r.st.params.tog_gaps = seq_type == 'C' ? GapPolicy::kAll : GapPolicy::kNone;
  return r;
}

// Names, residues and the path holding the characters HTML gives a meaning to.
Report report_html_specials() {
  Report r;
  r.aln = make_alignment({"x<y", "p&q>r_long_name_here"}, {"A<&>", "A>b-"});
  r.cls = make_classification(4, {{1, 2, 'A'}});
  r.blocks = make_blocks(4, {{1, 2}});
  r.letselvane = selection_line(4, {{1, 2}});
  r.st = settings(InputFormat::kFasta, 'P');
  r.fichero1 = "dir<1>/x&y.fas";
  r.st.outputs.tog_viewfile = ResultsForm::kHtml;
  r.st.params.negval = 2;
  r.st.params.flankval = 2;
  return r;
}

void write_report(const std::string& path, const Report& r) {
  saveviewfile(path, r.st.params, r.st.outputs, r.fichero1, r.aln, r.cls, r.blocks, r.letselvane);
}

struct GoldenCase {
  const char* file;  // under tests/golden/writers/; also the name of the written file
  std::function<void(const std::string& path)> write;
};

const std::vector<GoldenCase>& golden_cases() {
  static const std::vector<GoldenCase> cases = {
      {"saveseq_pir_protein",
       [](const std::string& path) {
         saveseq(path, {}, format(InputFormat::kPir, 'P'), protein25(),
                 make_blocks(25, {{3, 9}, {15, 22}}));
       }},
      {"saveseq_fasta_protein",
       [](const std::string& path) {
         saveseq(path, {}, format(InputFormat::kFasta, 'P'), protein25(),
                 make_blocks(25, {{3, 9}, {15, 22}}));
       }},
      {"saveseq_pir_empty",
       [](const std::string& path) {
         saveseq(path, {}, format(InputFormat::kPir, 'P'), protein25(), make_blocks(25, {}));
       }},
      {"saveseq_fasta_empty",
       [](const std::string& path) {
         saveseq(path, {}, format(InputFormat::kFasta, 'P'), protein25(), make_blocks(25, {}));
       }},
      {"saveseq_pir_dna_60",
       [](const std::string& path) {
         saveseq(path, {}, format(InputFormat::kPir, 'D'), dna70(), make_blocks(70, {{5, 64}}));
       }},
      {"saveseq_fasta_dna_10",
       [](const std::string& path) {
         saveseq(path, {}, format(InputFormat::kFasta, 'D'), dna70(),
                 make_blocks(70, {{1, 3}, {64, 70}}));
       }},
      {"saveseq_pir_codon_empty_block",
       [](const std::string& path) {
         saveseq(path, {}, format(InputFormat::kPir, 'C'), codon12(),
                 make_blocks(12, {{1, 3}, {7, 6}, {10, 12}}));
       }},
      {"results_text_60", [](const std::string& path) { write_report(path, report130(2, 60)); }},
      {"results_text_55", [](const std::string& path) { write_report(path, report130(2, 55)); }},
      {"results_html_60", [](const std::string& path) { write_report(path, report130(1, 60)); }},
      {"results_short",
       [](const std::string& path) {
         Report r = report130(3, 60);
         r.st.params.tog_sim = 0;
         write_report(path, r);
       }},
      {"results_html_dna_no_block",
       [](const std::string& path) { write_report(path, report_dna12(1, 'D')); }},
      {"results_short_codon_no_block",
       [](const std::string& path) { write_report(path, report_dna12(3, 'C')); }},
      {"results_html_specials",
       [](const std::string& path) { write_report(path, report_html_specials()); }},
      {"mask_protein",
       [](const std::string& path) {
         RunState st = settings(InputFormat::kPir, 'P');
         st.params.negval = 2;
         savemask(path, st.params, st.outputs, make_alignment({"seq1", "s2"}, {"MKV", "mRV"}),
                  make_classification(3, {{1, 2, 'M'}, {2, 2, 'K'}, {3, 1, 'V'}}),
                  selection_line(3, {{1, 2}}));
       }},
      {"mask_dna_60",
       [](const std::string& path) {
         RunState st = settings(InputFormat::kFasta, 'D');
         st.params.negval = 2;
         const std::string r1 = repeat("ACGTACGTAC", 6);
         std::vector<testing::Scored> scored;
         for (std::int32_t p = 1; p <= 50; ++p) {
           scored.push_back({p, p == 5 ? 1.0f : 2.0f, r1[static_cast<std::size_t>(p - 1)]});
         }
         savemask(path, st.params, st.outputs,
                  make_alignment({"m1", "m2"}, {r1, repeat("acgtacgtac", 5) + "----------"}),
                  make_classification(60, scored), selection_line(60, {{1, 30}}));
       }},
      {"aln.fas-svPS",
       [](const std::string& path) {
         RunState st = settings(InputFormat::kFasta, 'P');
         st.params.negval = 3;
         st.params.flankval = 4;
         saveps(path, st.params, st.outputs, "data/aln.fas", 400,
                make_blocks(400, {{1, 1}, {10, 20}}));
       }},
      {"aln(1).fas-svPS",
       [](const std::string& path) {
         RunState st = settings(InputFormat::kFasta, 'P');
         st.params.negval = 3;
         st.params.flankval = 4;
         st.params.tog_gaps = GapPolicy::kWithHalf;
         saveps(path, st.params, st.outputs, "aln(1).fas", 401, make_blocks(401, {}));
       }},
      {"ncb_fasta_two_blocks",
       [](const std::string& path) {
         savencb(path, {}, format(InputFormat::kFasta, 'D'), dna40(),
                 make_blocks(40, {{1, 10}, {21, 30}}));
       }},
      {"ncb_pir_all_selected",
       [](const std::string& path) {
         savencb(path, {}, format(InputFormat::kPir, 'D'), dna40(), make_blocks(40, {{1, 40}}));
       }},
      {"ncb_fasta_no_block",
       [](const std::string& path) {
         savencb(path, {}, format(InputFormat::kFasta, 'D'), dna40(), make_blocks(40, {}));
       }},
      {"ncb_pir_codon_empty_block",
       [](const std::string& path) {
         savencb(path, {}, format(InputFormat::kPir, 'C'), codon12(),
                 make_blocks(12, {{1, 3}, {7, 6}, {10, 12}}));
       }},
      {"ungapped_pir_protein",
       [](const std::string& path) {
         save_ung(path, {}, format(InputFormat::kPir, 'P'),
                  make_alignment({"u1", "u2"}, {"MKV-LAAGLLACW", "MKVLLAAGLLAcw"}),
                  make_rows({"MKVLAAGLLACW", "MKVLAAGLLAcw"}));
       }},
      {"ungapped_fasta_nothing_left",
       [](const std::string& path) {
         Rows none(2, 0);
         save_ung(path, {}, format(InputFormat::kFasta, 'D'),
                  make_alignment({"u1", "u2"}, {"A-", "-C"}), none);
       }},
  };
  return cases;
}

TEST(WriterGolden, EveryFileMatchesItsExpectedTextByteForByte) {
  const auto golden_dir = testing::source_dir() / "tests" / "golden" / "writers";
  for (const GoldenCase& c : golden_cases()) {
    SCOPED_TRACE(c.file);
    testing::TempDir dir;
    const auto path = dir / c.file;
    c.write(path.string());
    testing::expect_as_in_file(testing::read_file(path), golden_dir / c.file);
  }
}

TEST(WriterGolden, NoExpectedFileIsLeftWithoutACase) {
  const auto golden_dir = testing::source_dir() / "tests" / "golden" / "writers";
  std::vector<std::string> named;
  for (const GoldenCase& c : golden_cases()) named.push_back(c.file);
  std::sort(named.begin(), named.end());
  EXPECT_EQ(testing::list_files(golden_dir), named);
}

}  // namespace
}  // namespace selvane
