// Alignments as the aligners and Biopython write them in Clustal, PHYLIP, Stockholm and NEXUS,
// read with --in-format=auto, give the same selected blocks as the same alignments in FASTA.
// Each tool's test is skipped where the tool is not installed.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "e2e/run_parse.h"
#include "support/harness.h"

namespace selvane {
namespace {

namespace fs = std::filesystem;
using testing::find_program;
using testing::read_file;
using testing::run_program;
using testing::run_selvane;

// The bundled examples in FASTA: the proteins as they are (the globins, quick to align again),
// the NBRF/PIR DNA with its markers and description lines left out.
void write_examples(const fs::path& dir) {
  fs::copy_file(testing::source_dir() / "examples" / "proteases.fas", dir / "protein.fas");
  fs::copy_file(testing::source_dir() / "examples" / "globins4.fas", dir / "globins.fas");
  std::string fasta;
  for (const testing::Entry& e :
       testing::read_entries(read_file(testing::source_dir() / "examples" / "made1.pir"), true)) {
    fasta += ">" + e.name + "\n" + e.row + "\n";
  }
  testing::write_file(dir / "dna.fas", fasta);
}

// What selvane selects in `file`: the report's counts and the rows of the selected blocks
// (names aside: the formats shorten them), or the whole output when the run failed. The blocks
// are written in FASTA, whatever the input's format.
std::string selected(const fs::path& dir, const std::string& file) {
  const auto run = run_selvane({file, "--in-format=auto", "-p=n", "--out-format=fasta"}, dir);
  const std::size_t counts = run.output.find("Original alignment");
  if (counts == std::string::npos || !testing::file_exists(dir / (file + "-sv"))) {
    return run.output + run.errors;
  }
  std::string result = run.output.substr(counts);
  std::istringstream blocks(read_file(dir / (file + "-sv")));
  for (std::string line; std::getline(blocks, line);) {
    if (line.starts_with('>')) {
      result += '\n';
    } else {
      std::erase(line, ' ');
      result += line;
    }
  }
  return result;
}

// Each of `files` (written in `dir` from one alignment) against the FASTA `twin`.
void expect_twins(const fs::path& dir, const std::string& twin,
                  const std::vector<std::string>& files) {
  const std::string expected = selected(dir, twin);
  ASSERT_NE(expected.find("Selvane alignment"), std::string::npos) << expected;
  for (const std::string& file : files) EXPECT_EQ(selected(dir, file), expected) << file;
}

TEST(Formats, ClustalOmegaClustalPhylipStockholmAsFasta) {
  const std::string clustalo = find_program({"clustalo", "clustal-omega"});
  if (clustalo.empty()) GTEST_SKIP() << "Clustal Omega is not installed";
  testing::TempDir dir;
  write_examples(dir.path());
  for (const std::string input : {"globins.fas", "dna.fas"}) {
    SCOPED_TRACE(input);
    const auto align = [&](const std::string& format, const std::string& out) {
      const auto run = run_program(
          clustalo, {"-i", input, "--outfmt=" + format, "-o", out, "--force", "--threads=1"},
          dir.path());
      ASSERT_EQ(run.status, 0) << run.errors;
    };
    align("fa", "c.fa");
    align("clu", "c.aln");
    align("phy", "c.phy");
    align("st", "c.sto");
    expect_twins(dir.path(), "c.fa", {"c.aln", "c.phy", "c.sto"});
  }
}

TEST(Formats, MafftClustalPhylipAsFasta) {
  const std::string mafft = find_program({"mafft"});
  if (mafft.empty()) GTEST_SKIP() << "MAFFT is not installed";
  testing::TempDir dir;
  write_examples(dir.path());
  for (const std::string input : {"globins.fas", "dna.fas"}) {
    SCOPED_TRACE(input);
    for (const auto& [option, out] :
         {std::pair{"--quiet", "m.fa"}, std::pair{"--clustalout", "m.aln"},
          std::pair{"--phylipout", "m.phy"}}) {
      const auto run = run_program(mafft, {"--quiet", option, input}, dir.path());
      ASSERT_EQ(run.status, 0) << run.errors;
      testing::write_file(dir / out, run.output);
    }
    expect_twins(dir.path(), "m.fa", {"m.aln", "m.phy"});
  }
}

TEST(Formats, BiopythonNexusPhylipStockholmAsFasta) {
  const std::string python = "/usr/bin/python3";
  testing::TempDir dir;
  if (run_program(python, {"-c", "import Bio.AlignIO"}, dir.path()).status != 0) {
    GTEST_SKIP() << "Biopython is not installed";
  }
  write_examples(dir.path());
  // Short names: strict PHYLIP keeps ten characters, and must keep them apart.
  const std::string script = R"(
import sys
from Bio import AlignIO
for name, molecule in (("protein", "protein"), ("dna", "DNA")):
    alignment = AlignIO.read(name + ".fas", "fasta")
    for i, record in enumerate(alignment):
        record.id = "seq%d" % i
        record.description = ""
        record.annotations["molecule_type"] = molecule
    for form, ending in (("fasta", "fa"), ("nexus", "nex"), ("phylip-relaxed", "phy"),
                         ("phylip-sequential", "seq.phy"), ("stockholm", "sth")):
        AlignIO.write(alignment, "%s.b.%s" % (name, ending), form)
)";
  const auto run = run_program(python, {"-c", script}, dir.path());
  ASSERT_EQ(run.status, 0) << run.errors;
  for (const std::string name : {"protein", "dna"}) {
    SCOPED_TRACE(name);
    expect_twins(dir.path(), name + ".b.fa",
                 {name + ".b.nex", name + ".b.phy", name + ".b.seq.phy", name + ".b.sth"});
  }
}

}  // namespace
}  // namespace selvane
