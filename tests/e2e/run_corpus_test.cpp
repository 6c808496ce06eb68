// The HTML results file of real alignments read back: the display must be well-formed markup
// that, once removed, gives every residue of every row exactly once and in order.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "e2e/run_parse.h"
#include "support/expected.h"
#include "support/harness.h"

namespace selvane {
namespace {

namespace fs = std::filesystem;
using testing::read_file;
using testing::run_selvane;
using testing::TempDir;

std::string html_escaped(std::string_view text) {
  std::string out;
  for (const char c : text) {
    if (c == '<') {
      out += "&lt;";
    } else if (c == '>') {
      out += "&gt;";
    } else if (c == '&') {
      out += "&amp;";
    } else {
      out += c;
    }
  }
  return out;
}

// Reads the markup of one displayed row of residues, appending the residues to `row`. Returns
// an empty text, or what is wrong at the first fault.
std::string read_residues(std::string_view text, std::string& row) {
  const std::string_view open = "<span class=";
  std::size_t i = 0;
  while (i < text.size()) {
    if (text.substr(i, open.size()) == open) {
      // <span class=X1>X</span>, X the residue as it stands in the sequence
      const std::size_t at = i + open.size();
      if (at + 3 > text.size()) return "unfinished span";
      const char c = text[at];
      const std::string tail = std::string("1>") + c + "</span>";
      if (text.substr(at + 1, tail.size()) != tail) return "malformed span at " + std::to_string(i);
      row += c;
      i = at + 1 + tail.size();
    } else if (text[i] == '&') {
      if (text.substr(i, 4) == "&lt;") {
        row += '<';
        i += 4;
      } else if (text.substr(i, 4) == "&gt;") {
        row += '>';
        i += 4;
      } else if (text.substr(i, 5) == "&amp;") {
        row += '&';
        i += 5;
      } else {
        return "bare '&' at " + std::to_string(i);
      }
    } else if (text[i] == '<' || text[i] == '>') {
      return "bare markup character at " + std::to_string(i);
    } else {
      row += text[i++];
    }
  }
  return "";
}

// Counts the markers of a marker line: "<span class=BL>#</span>" or one blank per position.
std::string count_markers(std::string_view text, std::size_t& count) {
  const std::string_view marker = "<span class=BL>#</span>";
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] == ' ') {
      ++i;
    } else if (text.substr(i, marker.size()) == marker) {
      i += marker.size();
    } else {
      return "unexpected text in a marker line at " + std::to_string(i);
    }
    ++count;
  }
  return "";
}

void expect_display_gives_back_the_alignment(const fs::path& alignment, bool pir,
                                             const std::vector<std::string>& options = {}) {
  TempDir dir;
  const std::string name = alignment.filename().string();
  fs::copy_file(alignment, dir / name);
  std::vector<std::string> args = {name, "-p=y", "-s=n"};
  args.insert(args.end(), options.begin(), options.end());
  const testing::RunResult result = run_selvane(args, dir.path());
  ASSERT_EQ(result.status, 1);
  ASSERT_TRUE(testing::file_exists(dir / (name + "-sv.htm"))) << result.output;

  std::vector<testing::Entry> input = testing::read_entries(read_file(dir / name), pir);
  testing::drop_all_gap_columns(input);
  ASSERT_GE(input.size(), 2u);
  const std::size_t nupo = input[0].row.size();

  const std::string page = read_file(dir / (name + "-sv.htm"));
  const std::size_t begin = page.find("</p>\n<pre>\n");
  const std::size_t end = page.find("\n</pre>\n<pre>\n");
  ASSERT_NE(begin, std::string::npos);
  ASSERT_NE(end, std::string::npos);
  const std::vector<std::string> lines =
      testing::text_lines(std::string_view(page).substr(begin + 11, end - begin - 11));

  // Each display row: numbers, ticks, one line per sequence, markers, two empty lines.
  const std::size_t per_row = input.size() + 5;
  ASSERT_EQ(lines.size() % per_row, 0u) << "lines in the display: " << lines.size();
  std::vector<std::string> rows(input.size());
  std::size_t markers = 0;
  for (std::size_t first = 0; first < lines.size(); first += per_row) {
    SCOPED_TRACE("display row from line " + std::to_string(first));
    const std::size_t before = rows[0].size();
    for (std::size_t s = 0; s < input.size(); ++s) {
      const std::string& line = lines[first + 2 + s];
      std::string label = input[s].name.substr(0, 15);
      label.resize(15, ' ');
      const std::string prefix = html_escaped(label) + "  ";
      ASSERT_EQ(line.substr(0, prefix.size()), prefix);
      const std::string fault =
          read_residues(std::string_view(line).substr(prefix.size()), rows[s]);
      ASSERT_EQ(fault, "") << line;
      EXPECT_EQ(rows[s].size() - before, rows[0].size() - before) << input[s].name;
    }
    const std::string& marker_line = lines[first + 2 + input.size()];
    ASSERT_EQ(marker_line.substr(0, 17), std::string(17, ' '));
    std::size_t counted = 0;
    const std::string fault = count_markers(std::string_view(marker_line).substr(17), counted);
    ASSERT_EQ(fault, "");
    EXPECT_EQ(counted, rows[0].size() - before);
    markers += counted;
    EXPECT_EQ(lines[first + 3 + input.size()], "");
    EXPECT_EQ(lines[first + 4 + input.size()], "");
  }
  EXPECT_EQ(markers, nupo);
  for (std::size_t s = 0; s < input.size(); ++s) EXPECT_EQ(rows[s], input[s].row) << input[s].name;
}

TEST(RealResultsPage, DisplayIsWellFormedAndHoldsEveryResidueOnce) {
  if (!testing::corpus_available()) GTEST_SKIP() << "no corpus at " << testing::corpus_dir();
  struct Real {
    std::string file;
    bool pir;
    std::vector<std::string> options;
  };
  // Many display rows with a short last one and mixed line ends, also in rows of 55 positions
  // and with gaps allowed; NBRF/PIR with long description lines.
  const std::vector<Real> reals = {
      {"12_YIL115C_Anc_2.253_aa_aln.fasta", false, {}},
      {"12_YIL115C_Anc_2.253_aa_aln.fasta", false, {"-v=55", "-b5=a"}},
      {"BB20005.subset.linsi.fas", false, {}},
      {"pmomph-modeller/build_profile.ali", true, {"-b5=h"}},
  };
  for (const Real& real : reals) {
    SCOPED_TRACE(real.file);
    expect_display_gives_back_the_alignment(testing::corpus_file(real.file), real.pir,
                                            real.options);
  }
}

// Names and residues with markup characters: the label is cut and padded on the name's own
// characters, then escaped; residue characters outside the letter table are escaped too.
TEST(RealResultsPage, MarkupCharactersInNamesAndResiduesAreEscaped) {
  expect_display_gives_back_the_alignment(
      testing::case_dir("outputs_all_pir_dna_html") / "input" / "sub" / "aln.pir", true);

  TempDir dir;
  testing::write_file(dir / "odd.pir",
                      ">P1;a<b>&c de fgh<ij> tail\n\nMKVL<>&AKQRMKVLAAKQR*\n"
                      ">P1;R&D\n\nMKVL&<>AKQRMKVLAAKQR*\n"
                      ">P1;<<<<<<<<<<<<<<<<\n\nMKVL>&<AKQRMKVLAAKQR*\n");
  expect_display_gives_back_the_alignment(dir / "odd.pir", true);
}

}  // namespace
}  // namespace selvane
