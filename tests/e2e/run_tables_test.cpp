// The tables for scripts, read back against the run's other outputs: the site table against the
// input, the selected blocks and the mask file; the summary against standard output; the
// occupancy table against the concatenation it sits beside.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "e2e/run_parse.h"
#include "support/harness.h"

namespace selvane {
namespace {

using testing::read_file;
using testing::run_selvane;
using testing::TempDir;
using testing::write_file;

// The rows of a TSV file below its header, split into cells, by the header's names.
std::vector<std::map<std::string, std::string>> read_tsv(const std::string& text) {
  const std::vector<std::string> lines = testing::text_lines(text);
  const auto cells = [](const std::string& line) {
    std::vector<std::string> out;
    std::stringstream in(line);
    for (std::string cell; std::getline(in, cell, '\t');) out.push_back(cell);
    if (!line.empty() && line.back() == '\t') out.emplace_back();
    return out;
  };
  const std::vector<std::string> header = cells(lines.at(0));
  std::vector<std::map<std::string, std::string>> rows;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::vector<std::string> row = cells(lines[i]);
    EXPECT_EQ(row.size(), header.size()) << lines[i];
    auto& named = rows.emplace_back();
    for (std::size_t k = 0; k < header.size() && k < row.size(); ++k) named[header[k]] = row[k];
  }
  return rows;
}

// "Selvane alignment:  N positions" of standard output, one per alignment run.
std::vector<std::string> selected_counts(const std::string& output) {
  std::vector<std::string> counts;
  const std::string label = "Selvane alignment:  ";
  for (std::size_t at = output.find(label); at != std::string::npos;
       at = output.find(label, at + 1)) {
    const std::size_t from = at + label.size();
    counts.push_back(output.substr(from, output.find(' ', from) - from));
  }
  return counts;
}

// A random alignment with conserved stretches, gaps, lower case and, when asked, columns of
// gaps in every row, some of them whole codons.
std::vector<std::string> random_rows(std::mt19937& rng, bool gap_columns, bool nucleotides) {
  const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  const std::string letters = nucleotides ? "ACGT" : "ACDEFGHIKLMNPQRSTVWY";
  const int numseq = pick(3, 12);
  const int columns = pick(40, 300);
  std::vector<std::string> rows(static_cast<std::size_t>(numseq));
  bool conserved = true;
  for (int c = 0; c < columns; ++c) {
    if (pick(0, 9) == 0) conserved = !conserved;
    if (gap_columns && pick(0, 14) == 0) {
      const int width = pick(0, 1) == 0 ? 1 : 3;  // a column, or a run that may be a codon
      for (std::string& row : rows) row.append(static_cast<std::size_t>(width), '-');
      c += width - 1;
      continue;
    }
    const char common =
        letters[static_cast<std::size_t>(pick(0, static_cast<int>(letters.size()) - 1))];
    for (std::string& row : rows) {
      char ch =
          conserved && pick(0, 9) > 0
              ? common
              : letters[static_cast<std::size_t>(pick(0, static_cast<int>(letters.size()) - 1))];
      if (pick(0, 12) == 0) ch = '-';
      if (pick(0, 7) == 0) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
      row += ch;
    }
  }
  return rows;
}

// Whether input column c (from 1) is removed when the rows are read as `type`: a column of gaps
// in every row, and for codons only within a codon of such columns (the last group of the input
// may be shorter than three).
bool removed(const std::vector<std::string>& rows, std::size_t c, char type) {
  const auto all_gaps = [&](std::size_t column) {
    for (const std::string& row : rows) {
      if (row[column - 1] != '-') return false;
    }
    return true;
  };
  if (type != 'C') return all_gaps(c);
  const std::size_t first = (c - 1) / 3 * 3 + 1;
  for (std::size_t k = first; k < first + 3 && k <= rows[0].size(); ++k) {
    if (!all_gaps(k)) return false;
  }
  return true;
}

// The site table of random protein, DNA and codon alignments, with and without columns of gaps,
// under each gap policy: its rows are the input's columns, its selected rows exactly the input
// columns of the selected blocks, and its classes those of the mask file.
TEST(SiteTable, SelectedRowsAreTheInputColumnsOfTheSelectedBlocks) {
  std::mt19937 rng(2022);
  int selected_somewhere = 0;
  for (int round = 0; round < 36; ++round) {
    const char type = "PDC"[round % 3];
    const char policy = "NHA"[round / 3 % 3];
    const bool gap_columns = round % 2 == 0;
    const std::vector<std::string> rows = random_rows(rng, gap_columns, type != 'P');
    SCOPED_TRACE(::testing::Message() << "round " << round << ", -t=" << type << " -b5=" << policy);
    std::string fasta;
    for (std::size_t s = 0; s < rows.size(); ++s) {
      fasta += ">s" + std::to_string(s + 1) + "\n" + rows[s] + "\n";
    }
    TempDir dir;
    write_file(dir / "a.fas", fasta);
    const auto run = run_selvane({"a.fas", std::string("-t=") + type, std::string("-b5=") + policy,
                                  "-b4=5", "-p=n", "-k=y", "--site-table", "--summary=s.tsv"},
                                 dir.path());
    ASSERT_EQ(run.status, 1) << run.output << run.errors;
    const auto sites = read_tsv(read_file(dir / "a.fas-sv.sites.tsv"));
    const auto blocks = testing::read_entries(read_file(dir / "a.fas-sv"), false);
    const auto mask = testing::read_entries(read_file(dir / "a.fas-svMask"), true);
    ASSERT_EQ(sites.size(), rows[0].size());
    ASSERT_EQ(mask.size(), 2 * rows.size() + 1);
    const std::string& selection = mask.back().row;  // '#' selected, per position
    const double b1 = static_cast<double>(rows.size() / 2 + 1) / static_cast<double>(rows.size());

    std::vector<std::size_t> selected;  // input columns, from 1
    std::size_t position = 0;
    for (std::size_t c = 1; c <= sites.size(); ++c) {
      const auto& site = sites[c - 1];
      SCOPED_TRACE(::testing::Message() << "column " << c);
      ASSERT_EQ(site.at("column"), std::to_string(c));
      if (removed(rows, c, type)) {
        EXPECT_EQ(site.at("position") + site.at("conservation") + site.at("block"), "");
        EXPECT_EQ(site.at("class") + site.at("selected") + site.at("gaps"),
                  "allgap0" + std::to_string(rows.size()));
        continue;
      }
      ++position;
      ASSERT_EQ(site.at("position"), std::to_string(position));
      std::size_t gaps = 0;
      bool conserved_residue = false;
      for (std::size_t s = 0; s < rows.size(); ++s) {
        gaps += rows[s][c - 1] == '-' ? 1 : 0;
        conserved_residue |= mask[2 * s + 1].row[position - 1] == '@';
      }
      EXPECT_EQ(site.at("gaps"), std::to_string(gaps));
      const std::string& cls = site.at("class");
      EXPECT_EQ(cls == "conserved", conserved_residue) << cls;
      const double conservation = std::stod(site.at("conservation"));
      if (cls == "conserved") {
        EXPECT_GE(conservation, b1 - 5e-5);
      } else if (cls == "flank" || cls == "nonconserved") {
        EXPECT_LT(conservation, b1 + 5e-5);
      }
      const bool in_block = site.at("selected") == "1";
      EXPECT_EQ(in_block, selection[position - 1] == '#');
      EXPECT_EQ(site.at("block").empty(), !in_block);
      if (in_block) selected.push_back(c);
    }
    // The selected blocks' file holds those columns of the input, row by row.
    ASSERT_EQ(blocks.size(), rows.size());
    for (std::size_t s = 0; s < rows.size(); ++s) {
      std::string expected;
      for (const std::size_t c : selected) expected += rows[s][c - 1];
      EXPECT_EQ(blocks[s].row, expected) << "row " << s + 1;
    }
    const auto summary = read_tsv(read_file(dir / "s.tsv"));
    ASSERT_EQ(summary.size(), 1u);
    EXPECT_EQ(summary[0].at("selected"), std::to_string(selected.size()));
    EXPECT_EQ(selected_counts(run.output), std::vector{std::to_string(selected.size())});
    EXPECT_EQ(summary[0].at("columns"), std::to_string(rows[0].size()));
    EXPECT_EQ(summary[0].at("positions"), std::to_string(position));
    selected_somewhere += selected.empty() ? 0 : 1;
  }
  EXPECT_GT(selected_somewhere, 20);  // the property is not checked on empty selections alone
}

// A batch joined by taxon: the summary agrees with standard output for every alignment, and each
// cell of an occupancy table is the residues its taxon has in that alignment's range of the
// concatenation beside it.
TEST(Occupancy, EveryCellIsTheResiduesOfItsTaxonInItsGene) {
  TempDir dir;
  const std::vector<std::string> taxa = {"Aa", "Bb", "Cc", "Dd", "Ee", "Ff"};
  std::mt19937 rng(7);
  std::string list;
  for (int g = 0; g < 5; ++g) {
    std::string text;
    const std::vector<std::string> rows = random_rows(rng, true, false);
    for (std::size_t s = 0; s < rows.size() && s < taxa.size(); ++s) {
      if ((s + static_cast<std::size_t>(g)) % 4 == 3) continue;  // a taxon missing here
      text += ">" + taxa[s] + "@g" + std::to_string(g) + "_" + std::to_string(s) + "\n" + rows[s] +
              "\n";
    }
    write_file(dir / ("g" + std::to_string(g) + ".fas"), text);
    list += "g" + std::to_string(g) + ".fas\n";
  }
  write_file(dir / "genes.txt", list);
  const auto run = run_selvane({"genes.txt", "-a=y", "-c=y", "-p=n", "-s=n", "-b5=h", "--by-name",
                                "--taxon-sep=@", "--partitions", "--occupancy", "--summary=s.tsv"},
                               dir.path());
  ASSERT_EQ(run.status, 1);
  ASSERT_EQ(run.output.find("Execution terminated"), std::string::npos) << run.output << run.errors;

  const auto summary = read_tsv(read_file(dir / "s.tsv"));
  const std::vector<std::string> counts = selected_counts(run.output);
  ASSERT_EQ(summary.size(), counts.size());
  for (std::size_t a = 0; a < summary.size(); ++a) {
    EXPECT_EQ(summary[a].at("alignment"), "g" + std::to_string(a) + ".fas");
    EXPECT_EQ(summary[a].at("selected"), counts[a]);
  }
  for (const std::string concatenation : {"genes.txt-sv.seq", "genes.txt.seq"}) {
    SCOPED_TRACE(concatenation);
    // The ranges of the genes, from the partition file: "LG+G, NAME = FIRST-LAST".
    std::map<std::string, std::pair<int, int>> range;
    for (const std::string& line :
         testing::text_lines(read_file(dir / (concatenation + ".partitions")))) {
      const std::size_t eq = line.find(" = ");
      const std::size_t dash = line.find('-', eq);
      range[line.substr(6, eq - 6)] = {std::stoi(line.substr(eq + 3)),
                                       std::stoi(line.substr(dash + 1))};
    }
    std::map<std::string, std::string> rows_of;
    for (const auto& entry : testing::read_entries(read_file(dir / concatenation), false)) {
      rows_of[entry.name] = entry.row;
    }
    const auto table = read_tsv(read_file(dir / (concatenation + ".occupancy.tsv")));
    ASSERT_EQ(table.size(), rows_of.size());
    int cells = 0;
    for (const auto& row : table) {
      const std::string& taxon = row.at("taxon");
      ASSERT_TRUE(rows_of.contains(taxon)) << taxon;
      int genes = 0, residues = 0;
      for (const auto& [gene, span] : range) {
        int count = 0;
        for (int p = span.first; p <= span.second; ++p) {
          count += std::isalpha(
                       static_cast<unsigned char>(rows_of[taxon][static_cast<std::size_t>(p - 1)]))
                       ? 1
                       : 0;
        }
        EXPECT_EQ(row.at(gene), std::to_string(count)) << taxon << " in " << gene;
        genes += count > 0 ? 1 : 0;
        residues += count;
        ++cells;
      }
      EXPECT_EQ(row.at("genes"), std::to_string(genes));
      EXPECT_EQ(row.at("residues"), std::to_string(residues));
    }
    EXPECT_GT(cells, 12);
    // The whole inputs: the summary's taxa are the taxa holding residues in each gene.
    if (concatenation != std::string("genes.txt.seq")) continue;
    for (std::size_t a = 0; a < summary.size(); ++a) {
      const std::string gene = "g" + std::to_string(a) + ".fas";
      int present = 0;
      for (const auto& row : table) present += row.at(gene) != "0" ? 1 : 0;
      EXPECT_EQ(summary[a].at("taxa"), std::to_string(present)) << gene;
    }
  }
}

}  // namespace
}  // namespace selvane
