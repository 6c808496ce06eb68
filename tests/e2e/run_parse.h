// Readers for what the end-to-end tests put in and get back, written for the tests alone so that
// a fault in the program's own readers cannot hide behind them: alignments as text, the
// sequence entries of the alignment-shaped outputs, the flank pairs of a results file and the
// rows of a TSV table.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace selvane::testing {

struct Entry {
  std::string name;  // the header text after its marker, without the line end
  std::string row;   // the sequence characters, without blanks and line ends
};

// Splits text into lines; a "\r" before a line end belongs to the line end.
inline std::vector<std::string> text_lines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string line(text.substr(start, end - start));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

// FASTA: a '>' line starts an entry, every other line adds characters.
// NBRF/PIR: a '>' line starts an entry (its first four characters are the marker), the next
// line is the description, and the characters run up to the '*'.
// In both, blanks are dropped and '.' is read as the gap '-', as in an input alignment.
inline std::vector<Entry> read_entries(std::string_view text, bool pir) {
  std::vector<Entry> entries;
  const std::vector<std::string> lines = text_lines(text);
  bool in_sequence = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (!in_sequence && !line.empty() && line[0] == '>') {
      entries.push_back({line.substr(pir ? 4 : 1), ""});
      if (pir) {
        ++i;  // the description line
        in_sequence = true;
      }
      continue;
    }
    if (pir && !in_sequence) continue;  // blank lines between entries
    for (const char c : line) {
      if (pir && c == '*') {
        in_sequence = false;
        break;
      }
      if (c == ' ') continue;
      entries.back().row.push_back(c == '.' ? '-' : c);
    }
  }
  return entries;
}

// Removes the columns that hold a gap in every row, as loading an alignment does.
inline void drop_all_gap_columns(std::vector<Entry>& entries) {
  if (entries.empty()) return;
  std::vector<std::string> kept(entries.size());
  for (std::size_t p = 0; p < entries[0].row.size(); ++p) {
    bool all_gap = true;
    for (const Entry& e : entries) all_gap = all_gap && e.row[p] == '-';
    if (all_gap) continue;
    for (std::size_t s = 0; s < entries.size(); ++s) kept[s].push_back(entries[s].row[p]);
  }
  for (std::size_t s = 0; s < entries.size(); ++s) entries[s].row = std::move(kept[s]);
}

// The pairs of the "Flanks: [a  b]  [c  d]  " line of a text or short results file.
inline std::vector<std::pair<int, int>> read_flanks(std::string_view results) {
  std::vector<std::pair<int, int>> blocks;
  for (const std::string& line : text_lines(results)) {
    if (line.rfind("Flanks: ", 0) != 0) continue;
    const char* p = line.c_str() + 8;
    while (*p == '[') {
      char* end = nullptr;
      const long first = std::strtol(p + 1, &end, 10);
      const long last = std::strtol(end, &end, 10);
      if (*end != ']') break;
      blocks.emplace_back(static_cast<int>(first), static_cast<int>(last));
      p = end + 1;
      while (*p == ' ') ++p;
    }
    break;
  }
  return blocks;
}

// The rows of a TSV table below its header line, each cell under its column's name.
inline std::vector<std::map<std::string, std::string>> read_tsv(std::string_view text) {
  const std::vector<std::string> lines = text_lines(text);
  const auto cells = [](const std::string& line) {
    std::vector<std::string> out(1);
    for (const char c : line) {
      if (c == '\t') {
        out.emplace_back();
      } else {
        out.back().push_back(c);
      }
    }
    return out;
  };
  const std::vector<std::string> header =
      lines.empty() ? std::vector<std::string>() : cells(lines[0]);
  std::vector<std::map<std::string, std::string>> rows;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::vector<std::string> row = cells(lines[i]);
    auto& named = rows.emplace_back();
    for (std::size_t k = 0; k < header.size(); ++k)
      named[header[k]] = k < row.size() ? row[k] : "?";
    if (row.size() != header.size()) named["?"] = lines[i];  // a row of another width
  }
  return rows;
}

}  // namespace selvane::testing
