// The taxa of a concatenation joined by taxon in its overview: gaps that count the missing taxa,
// the heat map's shares, its size at 10,000 genes and 100 taxa, and the image it is drawn as.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "batch/concat.h"
#include "batch/taxon_occupancy.h"
#include "output/png.h"
#include "output/svg.h"
#include "support/harness.h"
#include "support/svg_check.h"
#include "unit/writers_fixtures.h"

namespace selvane {
namespace {

// Two genes of 4 and 2 positions; taxon "c" is missing from the second, taxon "b" holds an N.
TEST(TaxaOverview, GapsCountTheMissingTaxaAndTheMapTheResidues) {
  Concatenation c("letall");
  c.append_alignment(testing::make_alignment({"a", "b", "c"}, {"AC-T", "ACNT", "--GT"}));
  c.append_alignment(testing::make_alignment({"a", "b"}, {"A-", "CC"}));
  const std::vector<std::string> names = {"", "a", "b", "c"};
  RowIndex rows;  // taxon n: its row in each gene it is found in
  rows.start = {0, 2, 4, 5};
  rows.entries = {{0, 1}, {1, 1}, {0, 2}, {1, 2}, {0, 3}};

  const TaxaOverview view = taxa_overview(c, names, rows, SeqType::kDna);
  EXPECT_EQ(view.gaps, (std::vector<std::int32_t>{0, 1, 1, 1, 0, 1, 2}));
  const OverviewOccupancy& map = view.occupancy;
  ASSERT_EQ(map.rows, 3);
  ASSERT_EQ(map.columns, 6);
  EXPECT_EQ(map.share, (std::vector<float>{1, 1, 0, 1, 1, 0,  //
                                           1, 1, 0, 1, 1, 1,  //
                                           0, 0, 1, 1, 0, 0}));
  EXPECT_EQ(map.labels, (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_FLOAT_EQ(map.row_share[1], 5.0f / 6.0f);
  EXPECT_EQ(residues_by_piece(c, rows, 3, SeqType::kDna), (std::vector<std::int64_t>{2, 0}));
}

// The heat map is an image bounded by its pixels: 10,000 genes of 100 taxa whose every pixel
// differs from its neighbours still give a document under 1 MB, which librsvg renders.
TEST(TaxaOverview, TenThousandGenesOfAHundredTaxaStayUnderOneMegabyte) {
  constexpr std::int32_t kGenes = 10000, kTaxa = 100, kWidth = 150;
  OverviewData data;
  data.file_name = "genes.txt-sv.seq";
  data.type_label = "Protein";
  data.numseq = kTaxa;
  data.nupo = kGenes * kWidth;
  data.taxa = true;
  std::vector<OverviewShare> shares(static_cast<std::size_t>(data.nupo) + 1, {0.6f, 0.5f, false});
  data.shares = shares;
  const std::vector<Span> blocks = {{1, data.nupo}};
  data.blocks = blocks;
  for (std::int32_t g = 0; g < kGenes; ++g) {
    data.genes.push_back(
        {"gene" + std::to_string(g), g * kWidth + 1, (g + 1) * kWidth, 60, 31, 51});
  }
  OverviewOccupancy map;
  map.taxa = kTaxa;
  map.rows = occupancy_rows(kTaxa);
  map.columns = overview_columns(data.nupo);
  std::mt19937 rng(1);
  std::uniform_real_distribution<float> share(0.0f, 1.0f);
  for (std::int32_t k = 0; k < map.rows * map.columns; ++k) map.share.push_back(share(rng));
  for (std::int32_t t = 0; t < kTaxa; ++t) {
    map.labels.push_back("taxon" + std::to_string(t));
    map.row_share.push_back(0.5f);
  }
  data.occupancy = &map;

  const std::string svg = render_svg(data);
  EXPECT_LT(svg.size(), 1000000u);
  EXPECT_EQ(testing::xml_error(svg), "");
  EXPECT_NE(svg.find("Protein \xC2\xB7 100 taxa \xC2\xB7 1,500,000 positions"), std::string::npos);
  if (!testing::rsvg_available()) GTEST_SKIP() << "rsvg-convert is not installed";
  testing::TempDir dir;
  testing::write_file(dir / "o.svg", svg);
  EXPECT_TRUE(testing::renders_with_rsvg(dir / "o.svg"));
}

// The image decoded by another implementation (Python's zlib, when it is there) gives back its
// pixels: runs, rows repeating the one above, and noise.
TEST(Png, AnotherDecoderGivesBackEveryPixel) {
  if (testing::run_program("python3", {"-c", "import zlib"}, ".").status != 0) {
    GTEST_SKIP() << "python3 is not installed";
  }
  constexpr std::int32_t kWidth = 300, kHeight = 40;
  std::vector<std::uint8_t> pixels;
  std::mt19937 rng(3);
  for (std::int32_t y = 0; y < kHeight; ++y) {
    for (std::int32_t x = 0; x < kWidth; ++x) {
      const std::int32_t row = y % 10 < 5 ? y / 10 : y;  // five rows alike, then five apart
      pixels.push_back(static_cast<std::uint8_t>(x < 200 ? (x / 37 + row) % 3 : rng() % 3));
    }
  }
  const std::vector<Rgb> palette = {{0, 0, 0}, {255, 255, 255}, {1, 2, 3}};
  testing::TempDir dir;
  testing::write_file(dir / "i.png", encode_png(kWidth, kHeight, pixels, palette));
  // Checks every chunk's CRC, inflates the data and prints the pixel indexes of each row.
  const char* decoder = R"(
import struct, sys, zlib
data = open(sys.argv[1], "rb").read()
assert data[:8] == b"\x89PNG\r\n\x1a\n"
at, chunks = 8, {}
while at < len(data):
    size, kind = struct.unpack(">I4s", data[at:at + 8])
    body = data[at + 8:at + 8 + size]
    assert struct.unpack(">I", data[at + 8 + size:at + 12 + size])[0] == zlib.crc32(kind + body)
    chunks[kind] = chunks.get(kind, b"") + body
    at += 12 + size
width, height = struct.unpack(">II", chunks[b"IHDR"][:8])
raw = zlib.decompress(chunks[b"IDAT"])
assert len(raw) == (width + 1) * height and len(chunks[b"PLTE"]) == 9
sys.stdout.write("".join(str(b) for y in range(height) for b in raw[y * (width + 1) + 1:(y + 1) * (width + 1)]))
)";
  const auto run = testing::run_program("python3", {"-c", decoder, "i.png"}, dir.path());
  ASSERT_EQ(run.status, 0) << run.errors;
  std::string expected;
  for (const std::uint8_t p : pixels) expected += static_cast<char>('0' + p);
  EXPECT_EQ(run.output, expected);
}

}  // namespace
}  // namespace selvane
