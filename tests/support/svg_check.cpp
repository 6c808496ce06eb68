#include "support/svg_check.h"

#include <cctype>
#include <cstdlib>
#include <vector>

#include "support/harness.h"

namespace selvane::testing {

// Enough of XML 1.0 for what the overview writes: one root, matched tags, quoted attributes,
// known references only, no raw '<' or '&' in text, valid UTF-8 without control characters.
std::string xml_error(const std::string& doc) {
  std::vector<std::string> open;
  bool root_seen = false;
  for (std::size_t i = 0; i < doc.size();) {
    const auto c = static_cast<unsigned char>(doc[i]);
    if (c < 0x20 && c != '\n') return "control character at " + std::to_string(i);
    if (c >= 0x80) {  // a UTF-8 sequence: lead byte, then continuation bytes
      const std::size_t n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
      if (n == 0 || i + n > doc.size()) return "bad UTF-8 at " + std::to_string(i);
      for (std::size_t k = 1; k < n; ++k) {
        if ((static_cast<unsigned char>(doc[i + k]) & 0xC0) != 0x80) return "bad UTF-8";
      }
      i += n;
    } else if (c == '&') {
      const std::size_t end = doc.find(';', i);
      const std::string ref = doc.substr(i, end == std::string::npos ? 0 : end - i + 1);
      if (ref != "&amp;" && ref != "&lt;" && ref != "&gt;" && ref != "&quot;" && ref != "&#39;") {
        return "unknown reference at " + std::to_string(i);
      }
      i = end + 1;
    } else if (c == '>') {
      return "raw '>' at " + std::to_string(i);
    } else if (c != '<') {
      if (open.empty() && c != '\n') return "text outside the root at " + std::to_string(i);
      ++i;
    } else if (doc.compare(i, 5, "<?xml") == 0) {
      if (i != 0) return "declaration not first";
      i = doc.find("?>", i) + 2;
    } else {
      const bool closing = doc[i + 1] == '/';
      std::size_t j = i + (closing ? 2 : 1);
      const std::size_t name_start = j;
      while (j < doc.size() && (std::isalnum(static_cast<unsigned char>(doc[j])) != 0)) ++j;
      const std::string name = doc.substr(name_start, j - name_start);
      if (name.empty()) return "tag without a name at " + std::to_string(i);
      // Attributes: name="value", the value without '<' or a stray '&'.
      while (j < doc.size() && doc[j] != '>' && doc[j] != '/') {
        if (doc[j] == ' ') {
          ++j;
          continue;
        }
        const std::size_t eq = doc.find("=\"", j);
        const std::size_t close = doc.find('"', eq + 2);
        if (eq == std::string::npos || close == std::string::npos) return "bad attribute";
        const std::string value = doc.substr(eq + 2, close - eq - 2);
        if (value.find('<') != std::string::npos) return "'<' in attribute " + value;
        const std::string error = xml_error("<r>" + value + "</r>");
        if (!error.empty()) return "attribute value: " + error;
        j = close + 1;
      }
      const bool empty = doc.compare(j, 2, "/>") == 0;
      if (closing) {
        if (open.empty() || open.back() != name) return "unmatched </" + name + ">";
        open.pop_back();
      } else if (!empty) {
        if (open.empty() && root_seen) return "second root";
        root_seen = true;
        open.push_back(name);
      }
      i = j + (empty ? 2 : 1);
    }
  }
  return open.empty() && root_seen ? "" : "unclosed or missing root";
}

bool rsvg_available() {
  return std::system("rsvg-convert --version > /dev/null 2>&1") == 0;
}

bool renders_with_rsvg(const std::filesystem::path& svg) {
  std::filesystem::path png = svg;
  png.replace_extension(".png");
  const RunResult run = run_program(
      "rsvg-convert", {"-o", png.filename().string(), svg.filename().string()}, svg.parent_path());
  return run.status == 0 && read_file(png).substr(1, 3) == "PNG";
}

}  // namespace selvane::testing
