// Writers on bigger generated alignments: what they write, read back, must give the input.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "core/fatal.h"
#include "core/run_state.h"
#include "output/writers.h"
#include "support/harness.h"
#include "unit/writers_fixtures.h"

namespace selvane {
namespace {

using Spans = std::vector<std::pair<std::int32_t, std::int32_t>>;

struct Generated {
  Alignment aln;
  Classification cls;
  Spans spans;
  Blocks blocks;
  std::string letselvane;
};

// Residues drawn from `alphabet`; blocks of random lengths with at least one position between
// them, sometimes touching either end, and now and then a codon block left empty.
Generated generate(std::mt19937& rng, std::int32_t numseq, std::int32_t nupo,
                   std::string_view alphabet, const std::vector<std::string>& names) {
  Generated g;
  auto pick = [&rng](std::int32_t lo, std::int32_t hi) {
    return std::uniform_int_distribution<std::int32_t>(lo, hi)(rng);
  };
  std::vector<std::string> rows(static_cast<std::size_t>(numseq));
  for (auto& row : rows) {
    for (std::int32_t p = 0; p < nupo; ++p) {
      row.push_back(alphabet[static_cast<std::size_t>(
          pick(0, static_cast<std::int32_t>(alphabet.size()) - 1))]);
    }
  }
  g.aln = testing::make_alignment(names, rows);

  std::vector<testing::Scored> scored;
  for (std::int32_t p = 1; p <= nupo; ++p) {
    if (pick(0, 2) == 0) continue;
    const char letter = kLetters[static_cast<std::size_t>(pick(1, 20))];
    scored.push_back({p, static_cast<float>(pick(1, numseq)), letter});
  }
  g.cls = testing::make_classification(nupo, scored);

  std::int32_t p = pick(1, 3);
  while (p <= nupo) {
    if (pick(0, 9) == 0) {
      g.spans.emplace_back(p, p - 1);  // a codon block without a whole codon
      p += pick(1, 40);
      continue;
    }
    const std::int32_t last = std::min(nupo, p + pick(0, 80));
    g.spans.emplace_back(p, last);
    p = last + 1 + pick(1, 60);
  }
  g.blocks = testing::make_blocks(nupo, g.spans);
  g.letselvane = testing::selection_line(nupo, g.spans);
  return g;
}

std::vector<std::string> plain_names(std::int32_t numseq) {
  std::vector<std::string> names;
  for (std::int32_t n = 1; n <= numseq; ++n) names.push_back("seq" + std::to_string(n));
  return names;
}

// The residues of each entry of an alignment file, in order, without the layout blanks and
// line ends (the layout is checked by the golden files). Residues never include '>', '*',
// blanks or line ends here.
std::vector<std::string> read_entries(const std::string& text, InputFormat fileformat) {
  std::vector<std::string> entries;
  std::size_t at = 0;
  while (at < text.size()) {
    EXPECT_EQ(text[at], '>');
    at = text.find('\n', at) + 1;                                       // header
    if (fileformat == InputFormat::kPir) at = text.find('\n', at) + 1;  // description line
    const std::size_t end =
        fileformat == InputFormat::kPir ? text.find("*\n\n", at) : text.find('>', at);
    const std::size_t stop = end == std::string::npos ? text.size() : end;
    std::string residues;
    for (std::size_t i = at; i < stop; ++i) {
      if (text[i] != ' ' && text[i] != '\n') residues.push_back(text[i]);
    }
    entries.push_back(residues);
    at = fileformat == InputFormat::kPir ? stop + 3 : stop;
  }
  return entries;
}

TEST(WriterProperties, SelectedAndNonconservedFilesHoldEveryPositionExactlyOnce) {
  std::mt19937 rng(20240611);
  for (int round = 0; round < 6; ++round) {
    const InputFormat fileformat = round % 2 == 0 ? InputFormat::kPir : InputFormat::kFasta;
    const std::int32_t numseq = 3 + round;
    const std::int32_t nupo = 500 + 397 * round;
    const Generated g =
        generate(rng, numseq, nupo, "ACDEFGHIKLMNPQRSTVWYacgt-X?", plain_names(numseq));
    const EntryFormat format{fileformat, SeqType::kProtein};
    testing::TempDir dir;
    saveseq((dir / "sel").string(), {}, format, g.aln, g.blocks);
    savencb((dir / "comp").string(), {}, format, g.aln, g.blocks);
    const auto selected = read_entries(testing::read_file(dir / "sel"), fileformat);
    const auto rest = read_entries(testing::read_file(dir / "comp"), fileformat);
    ASSERT_EQ(selected.size(), static_cast<std::size_t>(numseq));
    ASSERT_EQ(rest.size(), static_cast<std::size_t>(numseq));

    for (std::int32_t n = 1; n <= numseq; ++n) {
      const auto& sel = selected[static_cast<std::size_t>(n - 1)];
      const auto& comp = rest[static_cast<std::size_t>(n - 1)];
      EXPECT_EQ(sel.size(), static_cast<std::size_t>(g.blocks.nupo3()));
      EXPECT_EQ(sel.size() + comp.size(), static_cast<std::size_t>(nupo));
      // Merge the two back by the selection line: the input row comes out.
      std::string merged;
      std::size_t i = 0, j = 0;
      for (std::int32_t p = 1; p <= nupo; ++p) {
        const bool in_block = g.letselvane[static_cast<std::size_t>(p)] == '#';
        if (in_block && i < sel.size()) merged.push_back(sel[i++]);
        if (!in_block && j < comp.size()) merged.push_back(comp[j++]);
      }
      EXPECT_EQ(merged, std::string(g.aln.let.row(n) + 1, static_cast<std::size_t>(nupo)));
    }
  }
}

// One display line of the HTML page decoded: the text it shows, with `conserved[i]` telling
// whether character i was written inside a residue span. Fails the test on any markup that is
// not a well-formed residue span, marker span or entity.
struct Decoded {
  std::string text;
  std::vector<bool> conserved;
  std::vector<bool> marker;
};

Decoded decode_html_line(std::string_view line) {
  Decoded d;
  std::size_t i = 0;
  auto add = [&d](char c, bool conserved, bool marker) {
    d.text.push_back(c);
    d.conserved.push_back(conserved);
    d.marker.push_back(marker);
  };
  while (i < line.size()) {
    const std::string_view rest = line.substr(i);
    if (rest.starts_with("<span class=BL>#</span>")) {
      add('#', false, true);
      i += 23;
    } else if (rest.starts_with("<span class=")) {
      // <span class=X1>X</span>, the same character twice.
      const bool ok = rest.size() >= 23 && rest.substr(13, 2) == "1>" && rest[15] == rest[12] &&
                      rest.substr(16, 7) == "</span>";
      EXPECT_TRUE(ok) << rest.substr(0, 30);
      if (!ok) return d;
      add(rest[12], true, false);
      i += 23;
    } else if (rest.starts_with("&lt;")) {
      add('<', false, false);
      i += 4;
    } else if (rest.starts_with("&gt;")) {
      add('>', false, false);
      i += 4;
    } else if (rest.starts_with("&amp;")) {
      add('&', false, false);
      i += 5;
    } else {
      EXPECT_TRUE(rest[0] != '<' && rest[0] != '>' && rest[0] != '&') << rest.substr(0, 30);
      add(rest[0], false, false);
      ++i;
    }
  }
  return d;
}

std::vector<std::string_view> split_lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    lines.push_back(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

TEST(WriterProperties, HtmlPageGivesBackEveryResidueAndEscapesTheInput) {
  std::mt19937 rng(77);
  const std::int32_t breakcounts[] = {50, 55, 60, 73};
  for (const std::int32_t breakcount : breakcounts) {
    SCOPED_TRACE(breakcount);
    const std::int32_t numseq = 6;
    const std::int32_t nupo = 700 + breakcount;
    const std::vector<std::string> names = {"<script>alert(1)</script>", "a&b",  "plain", "x>y<z",
                                            "<<<<<<<<<<<<<<<<<<<<",      "&amp;"};
    const Generated g = generate(rng, numseq, nupo, "ACDEFGHIKLacdefghikl-<>&?", names);
    RunState st;
    st.input.fileformat = InputFormat::kFasta;
    st.params.seq_type = SeqType::kProtein;
    st.outputs.tog_viewfile = ResultsForm::kHtml;
    st.outputs.breakcount = breakcount;
    st.params.negval = 3;
    st.params.flankval = 4;
    testing::TempDir dir;
    const auto path = dir / "page.htm";
    saveviewfile(path.string(), st.params, st.outputs, "runs/<b>/aln<script>&.fas", g.aln, g.cls,
                 g.blocks, g.letselvane);
    const std::string page = testing::read_file(path);

    EXPECT_EQ(page.find("<script>"), std::string::npos);
    EXPECT_EQ(page.find("<b>/"), std::string::npos);
    EXPECT_NE(page.find("<title>aln&lt;script&gt;&amp;.fas</title>"), std::string::npos);
    EXPECT_NE(page.find("runs/&lt;b&gt;/aln&lt;script&gt;&amp;.fas-sv: <b> "), std::string::npos);

    const std::size_t begin = page.find("<pre>\n") + 6;
    const std::size_t end = page.find("\n</pre>\n<pre>\n");
    ASSERT_NE(end, std::string::npos);
    const auto lines = split_lines(std::string_view(page).substr(begin, end - begin));
    const std::size_t per_row = static_cast<std::size_t>(numseq) + 5;
    const std::size_t rows = static_cast<std::size_t>((nupo + breakcount - 1) / breakcount);
    ASSERT_EQ(lines.size(), rows * per_row);

    std::vector<std::string> shown(static_cast<std::size_t>(numseq) + 1);
    std::vector<std::vector<bool>> spans(static_cast<std::size_t>(numseq) + 1);
    std::string markers = " ";
    for (std::size_t r = 0; r < rows; ++r) {
      for (std::int32_t n = 1; n <= numseq; ++n) {
        const Decoded d = decode_html_line(lines[r * per_row + 1 + static_cast<std::size_t>(n)]);
        std::string label = names[static_cast<std::size_t>(n - 1)].substr(0, 15);
        label.resize(15, ' ');
        ASSERT_GE(d.text.size(), 17u);
        EXPECT_EQ(d.text.substr(0, 17), label + "  ");
        EXPECT_EQ(std::count(d.conserved.begin(), d.conserved.begin() + 17, true), 0);
        shown[static_cast<std::size_t>(n)] += d.text.substr(17);
        spans[static_cast<std::size_t>(n)].insert(spans[static_cast<std::size_t>(n)].end(),
                                                  d.conserved.begin() + 17, d.conserved.end());
      }
      const Decoded m = decode_html_line(lines[r * per_row + 2 + static_cast<std::size_t>(numseq)]);
      ASSERT_GE(m.text.size(), 17u);
      for (std::size_t i = 17; i < m.text.size(); ++i) markers.push_back(m.marker[i] ? '#' : '.');
      EXPECT_TRUE(lines[r * per_row + 3 + static_cast<std::size_t>(numseq)].empty());
      EXPECT_TRUE(lines[r * per_row + 4 + static_cast<std::size_t>(numseq)].empty());
    }
    EXPECT_EQ(markers, g.letselvane);
    for (std::int32_t n = 1; n <= numseq; ++n) {
      const std::string row(g.aln.let.row(n) + 1, static_cast<std::size_t>(nupo));
      ASSERT_EQ(shown[static_cast<std::size_t>(n)], row);
      for (std::int32_t p = 1; p <= nupo; ++p) {
        EXPECT_EQ(
            spans[static_cast<std::size_t>(n)][static_cast<std::size_t>(p - 1)],
            is_conserved_residue(g.cls, st.params.negval, row[static_cast<std::size_t>(p - 1)], p))
            << "sequence " << n << " position " << p;
      }
    }
  }
}

TEST(WriterProperties, MaskMarksExactlyTheConservedResidues) {
  std::mt19937 rng(5);
  const std::int32_t numseq = 4;
  const std::int32_t nupo = 333;
  // A stored NUL byte is a residue like any other and never conserved.
  const Generated g = generate(rng, numseq, nupo, std::string_view("ACDEFGHIKLacdefghikl-?\0", 23),
                               plain_names(numseq));
  RunState st;
  st.params.seq_type = SeqType::kProtein;
  st.params.negval = 2;
  testing::TempDir dir;
  savemask((dir / "mask").string(), st.params, st.outputs, g.aln, g.cls, g.letselvane);
  const auto entries = read_entries(testing::read_file(dir / "mask"), InputFormat::kPir);
  ASSERT_EQ(entries.size(), static_cast<std::size_t>(2 * numseq + 1));
  for (std::int32_t n = 1; n <= numseq; ++n) {
    const std::string row(g.aln.let.row(n) + 1, static_cast<std::size_t>(nupo));
    EXPECT_EQ(entries[static_cast<std::size_t>(2 * n - 2)], row);
    std::string expected;
    for (std::int32_t p = 1; p <= nupo; ++p) {
      expected.push_back(
          is_conserved_residue(g.cls, st.params.negval, row[static_cast<std::size_t>(p - 1)], p)
              ? '@'
              : '?');
    }
    EXPECT_EQ(entries[static_cast<std::size_t>(2 * n - 1)], expected);
  }
  EXPECT_EQ(entries.back(), g.letselvane.substr(1));
}

TEST(WriterProperties, AFileThatCannotBeCreatedEndsTheRun) {
  const Alignment aln = testing::make_alignment({"a", "b"}, {"AC", "AC"});
  const Classification cls = testing::make_classification(2, {});
  const Blocks blocks = testing::make_blocks(2, {});
  const std::string line = testing::selection_line(2, {});
  RunState st;
  st.input.fileformat = InputFormat::kFasta;
  st.params.seq_type = SeqType::kProtein;
  const EntryFormat format{st.input.fileformat, st.params.seq_type};
  const std::string path = "/nonexistent-selvane-dir/out";
  const std::function<void()> writers[] = {
      [&] { saveseq(path, st.outputs, format, aln, blocks); },
      [&] { saveviewfile(path, st.params, st.outputs, "", aln, cls, blocks, line); },
      [&] { savemask(path, st.params, st.outputs, aln, cls, line); },
      [&] { saveps(path, st.params, st.outputs, "", 2, blocks); },
      [&] { savencb(path, st.outputs, format, aln, blocks); },
      [&] {
        save_ung(path, st.outputs, format, aln, testing::make_rows({"AC", "AC"}));
      },
  };
  for (const auto& write : writers) {
    try {
      write();
      ADD_FAILURE() << "no error";
    } catch (const FatalError& e) {
      EXPECT_EQ(e.text(), "\nFile not opened\n");
    }
  }
}

}  // namespace
}  // namespace selvane
