// The SVG overview: a well-formed document of bounded width and size at any length, profiles
// that show each pixel column's mean and maximum, axis ticks for the length, escaped text.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "input/readers.h"
#include "output/svg.h"
#include "selection/classify.h"
#include "support/harness.h"
#include "support/svg_check.h"
#include "unit/writers_fixtures.h"

namespace selvane {
namespace {

const std::string kDash = "\xE2\x80\x93";  // en dash, between the ends of a range

using testing::xml_error;

// An overview's input with the storage behind its spans: the counts of one alignment, turned
// into shares when it is rendered, as an alignment run does.
struct Case {
  OverviewData data;
  std::vector<float> val;
  std::vector<float> excluded_val;
  std::vector<std::int32_t> gaps;
  std::int32_t max_scored_gaps = 0;
  std::vector<Span> blocks;
  std::vector<OverviewShare> shares;

  // `numseq` sequences; values and gaps from a fixed pseudo-random sequence; a block of
  // `block` positions every `every` positions (none when block is 0).
  Case(std::int32_t nupo, std::int32_t numseq, std::int32_t block, std::int32_t every) {
    val.assign(static_cast<std::size_t>(nupo) + 1, 0.0f);
    gaps.assign(val.size(), 0);
    std::uint32_t x = 2463534242u;
    for (std::size_t p = 1; p < val.size(); ++p) {
      x ^= x << 13, x ^= x >> 17, x ^= x << 5;
      gaps[p] = static_cast<std::int32_t>(x % static_cast<std::uint32_t>(numseq + 1)) / 2;
      val[p] =
          gaps[p] == 0 ? static_cast<float>(x % 7919 % static_cast<std::uint32_t>(numseq)) : 0.0f;
    }
    for (std::int32_t p = 1; block > 0 && p + block - 1 <= nupo; p += every) {
      blocks.push_back({p, p + block - 1});
    }
    data.file_name = "generated.fas";
    data.type_label = "DNA";
    data.numseq = numseq;
    data.nupo = nupo;
    data.negval = numseq / 2 + 1;
    data.flankval = numseq * 85 / 100;
    data.parameters = {{"b1", "Minimum Number Of Sequences For A Conserved Position", "6"},
                       {"b5", "Allowed Gap Positions", "None"}};
  }
  Case(const Case&) = delete;  // data's spans point into this object

  std::string render() {
    shares = overview_shares({val, excluded_val, gaps, data.numseq, max_scored_gaps}, data.nupo);
    data.shares = shares;
    data.blocks = blocks;
    return render_svg(data);
  }
};

std::size_t count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t i = text.find(what); i != std::string::npos; i = text.find(what, i + 1)) ++n;
  return n;
}

double attribute(const std::string& doc, const std::string& name) {
  const std::size_t at = doc.find(" " + name + "=\"");
  return std::atof(doc.c_str() + at + name.size() + 3);
}

TEST(SvgOverview, WellFormedBoundedWidthAndSizeAtAnyLength) {
  struct Row {
    std::int32_t nupo, block, every, genes;
    std::string title;
  };
  // Blocks closer than a pixel are merged into one bar; the last case has 250,000 blocks. Gene
  // boundaries cross the profiles for a hundred genes at most.
  const Row rows[] = {{10, 3, 5, 2, "Block 1: positions 1" + kDash + "3 (3 positions)"},
                      {8000, 40, 97, 0, "Block 1: positions 1" + kDash + "40 (40 positions)"},
                      {1000000, 40, 97, 10000, "Blocks 1" + kDash},
                      {1000000, 3, 4, 100, "Blocks 1" + kDash}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.nupo);
    Case c(row.nupo, 12, row.block, row.every);
    std::vector<OverviewGene> genes;
    for (std::int32_t g = 0; g < row.genes; ++g) {
      genes.push_back({"g" + std::to_string(g), g * (row.nupo / row.genes) + 1,
                       (g + 1) * (row.nupo / row.genes), 12, c.data.negval, c.data.flankval});
    }
    c.data.genes = genes;
    const std::string doc = c.render();
    EXPECT_EQ(doc.find("Gene boundaries") != std::string::npos, row.genes > 1 && row.genes <= 100);
    EXPECT_EQ(xml_error(doc), "");
    EXPECT_LE(attribute(doc, "width"), 1600);
    EXPECT_LT(doc.size(), 1000000u);
    EXPECT_LE(count(doc, "<title>"), 4000u);
    EXPECT_NE(doc.find("<title>" + row.title), std::string::npos);
  }
}

// The height of a step path at x, as a fraction of `height` above the path's base line.
double height_at(const std::string& d, double x, double height) {
  double cx = 0, cy = 0, base = 0;
  std::map<double, double> steps;  // x where a run starts -> its y
  for (std::size_t i = 0; i < d.size();) {
    const char op = d[i];
    char* end = nullptr;
    const double v = std::strtod(d.c_str() + i + 1, &end);
    i = static_cast<std::size_t>(end - d.c_str());
    if (op == 'M') {
      cx = v;
      base = cy = std::strtod(d.c_str() + i + 1, &end);
      i = static_cast<std::size_t>(end - d.c_str());
    } else if (op == 'V') {
      cy = v;
      steps[cx] = cy;
    } else if (op == 'H') {
      cx = v;
    } else {
      break;
    }
  }
  const auto it = std::prev(steps.upper_bound(x));
  return (base - it->second) / height;
}

std::string path_titled(const std::string& doc, const std::string& title) {
  const std::size_t t = doc.find("<title>" + title + "</title>");
  const std::size_t d = doc.rfind(" d=\"", t) + 4;
  return doc.substr(d, doc.find('"', d) - d);
}

TEST(SvgOverview, EachColumnShowsTheMeanAndMaximumOfItsPositions) {
  for (const std::int32_t nupo : {4080, 5003, 150}) {
    SCOPED_TRACE(nupo);
    Case c(nupo, 20, 0, 0);
    // The first column's maxima are the full heights, the scale of the checks below; no
    // position is excluded.
    c.val[1] = 20.0f;
    c.gaps[1] = 20;
    c.max_scored_gaps = 20;
    const std::string doc = c.render();
    const bool agg = nupo > kPlotWidth;
    const auto path = [&](const std::string& series, const char* what) {
      return path_titled(doc, agg ? series + ", " + what + " per pixel column" : series);
    };
    const std::string cons_mean = path("Conservation", "mean");
    const std::string cons_max = path("Conservation", "maximum");
    const std::string gap_mean = path("Gaps", "mean");
    const std::string gap_max = path("Gaps", "maximum");
    const double x0 = 72;  // the profiles' left edge
    const double cons_full = height_at(cons_max, x0 + 0.5, 1.0);
    const double gap_full = height_at(gap_max, x0 + 0.5, 1.0);
    const std::int32_t columns = std::min(nupo, kPlotWidth);
    for (std::int32_t col = 0; col < columns; col += 37) {
      const std::int64_t first = std::int64_t{col} * nupo / columns + 1;
      const std::int64_t last = (std::int64_t{col} + 1) * nupo / columns;
      double sum = 0, max = 0, gap_sum = 0, gap_max_count = 0;
      for (auto p = static_cast<std::size_t>(first); p <= static_cast<std::size_t>(last); ++p) {
        sum += c.val[p];
        max = std::max<double>(max, c.val[p]);
        gap_sum += c.gaps[p];
        gap_max_count = std::max<double>(gap_max_count, c.gaps[p]);
      }
      const double n = static_cast<double>(last - first + 1) * 20.0;
      const double x = x0 + (col + 0.5) * kPlotWidth / columns;
      EXPECT_NEAR(height_at(cons_mean, x, cons_full), sum / n, 0.002) << col;
      EXPECT_NEAR(height_at(cons_max, x, cons_full), max / 20.0, 0.002) << col;
      EXPECT_NEAR(height_at(gap_mean, x, gap_full), gap_sum / n, 0.004) << col;
      EXPECT_NEAR(height_at(gap_max, x, gap_full), gap_max_count / 20.0, 0.004) << col;
    }
  }
}

TEST(SvgOverview, TicksFollowOneTwoFiveStepsForTheLength) {
  struct Row {
    std::int32_t nupo;
    std::int64_t step;
    const char* last_label;
  };
  for (const Row row : {Row{2, 1, ">2<"},
                        {12, 1, ">12<"},
                        {13, 2, ">12<"},
                        {60, 5, ">60<"},
                        {402, 50, ">400<"},
                        {1026, 100, ">1,000<"},
                        {8226, 1000, ">8,000<"},
                        {25000, 2000, ">24,000<"},
                        {30000, 5000, ">30,000<"},
                        {1000000, 100000, ">1,000,000<"}}) {
    SCOPED_TRACE(row.nupo);
    EXPECT_EQ(tick_step(row.nupo), row.step);
    const std::string doc = Case(row.nupo, 4, 0, 0).render();
    EXPECT_NE(doc.find(row.last_label), std::string::npos);
  }
}

TEST(SvgOverview, HostileTextIsEscaped) {
  Case c(50, 4, 10, 20);
  c.data.file_name = "a&b<c>\"d'e\x01\xff\xc3(.fas";
  c.data.type_label = "<DNA>";
  c.data.parameters = {{"b5", "Gaps & <more>", "\"All\""}};
  // The last gene is too narrow for its name: the key under the drawing names it.
  c.data.genes = {{"g&1", 1, 25}, {"</svg>", 26, 49}, {"narrow&gene", 50, 50}};
  const std::string doc = c.render();
  EXPECT_EQ(xml_error(doc), "");
  EXPECT_NE(doc.find("a&amp;b&lt;c&gt;&quot;d&#39;e\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD(.fas"),
            std::string::npos);
  EXPECT_NE(doc.find("Gene &lt;/svg&gt;: positions 26" + kDash + "49"), std::string::npos);
  EXPECT_NE(doc.find("[3]</tspan> narrow&amp;gene (50)"), std::string::npos);
}

TEST(SvgOverview, BlocksAndStretchesCarryTheirPositions) {
  Case c(400, 10, 0, 0);
  // Two blocks and a codon remnant (last < first), which is not drawn.
  c.blocks = {{3, 40}, {90, 89}, {100, 100}};
  const std::string doc = c.render();
  for (const std::string& title : {"Block 1: positions 3" + kDash + "40 (38 positions)",
                                   std::string("Block 3: positions 100 (1 position)"),
                                   "Not selected: positions 1" + kDash + "2 (2 positions)",
                                   "Not selected: positions 41" + kDash + "99 (59 positions)",
                                   "Not selected: positions 101" + kDash + "400 (300 positions)"}) {
    EXPECT_NE(doc.find("<title>" + title + "</title>"), std::string::npos) << title;
  }
  EXPECT_EQ(doc.find("Block 2"), std::string::npos);
}

Alignment generated_alignment(std::int32_t numseq, std::int32_t nupo) {
  Alignment aln;
  aln.numseq = numseq;
  aln.nupo = nupo;
  aln.let = Rows(numseq, nupo);
  for (std::int32_t s = 1; s <= numseq; ++s) {
    char* row = aln.let.row(s);
    for (std::int64_t p = 1; p <= nupo; ++p) {
      row[p] = p * (s + 2) % 11 == 0 ? '-' : "AC.GT"[p % 5];
    }
  }
  return aln;
}

TEST(SvgOverview, GapCountsAndTheExclusionsOfEachGapPolicy) {
  const Alignment aln =
      testing::make_alignment({"a", "b", "c", "d"}, {"A-C-T", "A--GT", "AC-G-", "ACG-T"});
  const std::vector<std::int32_t> gaps = count_gaps(aln);
  EXPECT_EQ(gaps, (std::vector<std::int32_t>{0, 0, 2, 2, 2, 1}));
  // b5: None scores only gapless positions, With Half up to half the sequences, All every one.
  for (const auto& [policy, excluded] :
       {std::pair{GapPolicy::kNone, "4 positions"}, {GapPolicy::kWithHalf, "0 positions"}}) {
    Case c(5, 4, 0, 0);
    c.gaps = gaps;
    c.max_scored_gaps = gap_limit(policy, 4 / 2 + 1, 4);
    const std::string doc = c.render();
    EXPECT_NE(doc.find(std::string(excluded) + " excluded by the gap policy"), std::string::npos);
  }
  EXPECT_EQ(gap_limit(GapPolicy::kAll, 3, 4), 4);

  // A generated alignment of a million positions, row s holding a gap where p * (s + 2) % 11
  // is 0; '.' and residues are not gaps.
  const Alignment big = generated_alignment(8, 1000000);
  const std::vector<std::int32_t> big_gaps = count_gaps(big);
  ASSERT_EQ(big_gaps.size(), 1000001u);
  for (std::int64_t p = 1; p <= 1000000; ++p) {
    std::int32_t expected = 0;
    for (std::int64_t s = 1; s <= 8; ++s) expected += p * (s + 2) % 11 == 0 ? 1 : 0;
    if (big_gaps[static_cast<std::size_t>(p)] != expected) FAIL() << "position " << p;
  }
}

TEST(SvgOverview, RendersWithRsvgConvert) {
  if (!testing::rsvg_available()) GTEST_SKIP() << "rsvg-convert is not installed";
  testing::TempDir dir;
  Case big_case(1000000, 8, 40, 97);
  big_case.gaps = count_gaps(generated_alignment(8, 1000000));
  big_case.data.genes = {{"one", 1, 400000}, {"two", 400001, 1000000}};
  big_case.data.empty_genes = {{"none", 400001, 400000}};
  Case small(10, 3, 3, 5);
  for (Case* c : {&big_case, &small}) {
    testing::write_file(dir / "o.svg", c->render());
    EXPECT_TRUE(testing::renders_with_rsvg(dir / "o.svg"));
  }
}

// A position's counts become shares of its alignment's sequences; an excluded position has the
// value it would have had instead of its own 0, and is drawn hatched with it.
TEST(SvgOverview, SharesKeepTheValueAnExcludedPositionWouldHaveHad) {
  Case c(3, 7, 0, 0);
  c.val = {0, 6, 0, 3};
  c.excluded_val = {0, 0, 5, 0};
  c.gaps = {0, 1, 3, 0};
  c.max_scored_gaps = 2;
  const std::string doc = c.render();
  const float seventh = 1.0f / 7;
  const std::vector<std::tuple<float, float, bool>> expected = {
      {6 * seventh, seventh, false}, {5 * seventh, 3 * seventh, true}, {3 * seventh, 0, false}};
  for (std::size_t p = 1; p <= 3; ++p) {
    const OverviewShare& share = c.shares[p];
    EXPECT_EQ(std::tuple(share.val, share.gaps, share.excluded), expected[p - 1]) << p;
  }
  EXPECT_NE(doc.find("Conservation of excluded positions"), std::string::npos);
  c.excluded_val.clear();  // not scored: nothing to hatch
  EXPECT_EQ(c.render().find("Conservation of excluded positions"), std::string::npos);
}

// A real alignment of 8,226 positions: its gap profile and a block layout of its own.
TEST(SvgOverview, RealAlignmentStaysSmall) {
  if (!testing::corpus_available()) GTEST_SKIP() << "corpus absent";
  const Alignment aln = load(testing::corpus_file("example3.fasta").string(), InputFormat::kFasta);
  Case c(aln.nupo, aln.numseq, 25, 200);
  c.gaps = count_gaps(aln);
  const std::string doc = c.render();
  EXPECT_EQ(xml_error(doc), "");
  EXPECT_LT(doc.size(), 100000u);
}

}  // namespace
}  // namespace selvane
