// The tables for scripts, read back against the run's other outputs: the site table against the
// input, the selected blocks and the mask file; the summary against standard output; the
// occupancy table against the concatenation it sits beside.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "e2e/run_parse.h"
#include "support/harness.h"

namespace selvane {
namespace {

using testing::read_file;
using testing::read_tsv;
using testing::run_selvane;
using testing::TempDir;
using testing::write_file;

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

// A random alignment of 3 to 12 rows in stretches conserved or not, with gaps, lower case and,
// when asked, columns of gaps in every row, alone or three in a row (perhaps a codon).
std::vector<std::string> random_rows(std::mt19937& rng, bool gap_columns, bool nucleotides) {
  const std::string letters = nucleotides ? "ACGTacgt" : "ACDEFGHIKLMNPQRSTVWYacdefghiklm";
  const auto letter = [&] { return letters[rng() % letters.size()]; };
  std::vector<std::string> rows(3 + rng() % 10);
  bool conserved = true;
  for (std::size_t c = 0, columns = 40 + rng() % 260; c < columns; ++c) {
    conserved ^= rng() % 10 == 0;
    const char common = letter();
    const std::size_t gap_run = gap_columns && rng() % 15 == 0 ? 1 + rng() % 2 * 2 : 0;
    for (std::string& row : rows) {
      if (gap_run > 0) {
        row.append(gap_run, '-');
      } else {
        row += rng() % 13 == 0 ? '-' : conserved && rng() % 10 > 0 ? common : letter();
      }
    }
  }
  return rows;
}

// Whether input column c (from 1) is removed when read as `type`: a column of gaps in every row,
// for codons only within a codon of such columns (the last one may be shorter).
bool removed(const std::vector<std::string>& rows, std::size_t c, char type) {
  const std::size_t first = type == 'C' ? (c - 1) / 3 * 3 + 1 : c;
  const std::size_t last = type == 'C' ? std::min(first + 2, rows[0].size()) : c;
  for (const std::string& row : rows) {
    for (std::size_t k = first; k <= last; ++k) {
      if (row[k - 1] != '-') return false;
    }
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
      ASSERT_FALSE(site.contains("?")) << site.at("?");
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
    // Each gene's range, from the partition file ("LG+G, NAME = FIRST-LAST"), and each taxon's
    // residues in it (the protein letters are all residues).
    std::map<std::string, std::pair<int, int>> range;
    for (const std::string& line :
         testing::text_lines(read_file(dir / (concatenation + ".partitions")))) {
      const std::size_t eq = line.find(" = ");
      range[line.substr(6, eq - 6)] = {std::stoi(line.substr(eq + 3)),
                                       std::stoi(line.substr(line.find('-', eq) + 1))};
    }
    std::map<std::string, std::map<std::string, std::string>> expected;  // taxon -> cells
    for (const auto& entry : testing::read_entries(read_file(dir / concatenation), false)) {
      auto& cells = expected[entry.name];
      for (const auto& a : summary) cells[a.at("alignment")] = "0";  // a gene without a range too
      int genes = 0, residues = 0;
      for (const auto& [gene, span] : range) {
        const auto count = static_cast<int>(
            std::count_if(entry.row.begin() + span.first - 1, entry.row.begin() + span.second,
                          [](char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }));
        cells[gene] = std::to_string(count);
        genes += count > 0 ? 1 : 0;
        residues += count;
      }
      cells["taxon"] = entry.name;
      cells["genes"] = std::to_string(genes);
      cells["residues"] = std::to_string(residues);
    }
    const auto table = read_tsv(read_file(dir / (concatenation + ".occupancy.tsv")));
    ASSERT_EQ(table.size(), expected.size());
    for (const auto& row : table) EXPECT_EQ(row, expected[row.at("taxon")]);
    // Beside the whole inputs, a gene's taxa in the summary are those with residues in it.
    if (concatenation == std::string("genes.txt.seq")) {
      for (const auto& a : summary) {
        const auto present = std::count_if(table.begin(), table.end(), [&](const auto& row) {
          return row.at(a.at("alignment")) != "0";
        });
        EXPECT_EQ(a.at("taxa"), std::to_string(present)) << a.at("alignment");
      }
    }
  }
}

}  // namespace
}  // namespace selvane
