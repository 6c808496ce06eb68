// NEXUS: "#NEXUS", then blocks ("BEGIN NAME; ... END;") of commands that end in ';'. The
// alignment is the MATRIX of the first DATA or CHARACTERS block, laid out as its FORMAT says:
// each taxon's name followed by its characters, whole (over as many lines as they take) or, with
// INTERLEAVE, a line of each taxon per block. DIMENSIONS gives the numbers of taxa (perhaps in
// a TAXA block before) and characters; the FORMAT's GAP, MISSING and MATCHCHAR symbols are read
// as a gap '-', missing data '?' and the first taxon's character at that position. Comments
// are in brackets, which nest; names may be quoted ('it''s'), and an unquoted name's '_' stands
// for a blank. Every other block is skipped, and nothing after the MATRIX is read.
#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/words.h"
#include "input/formats.h"
#include "input/line_formats.h"
#include "input/residue_run.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace selvane {

namespace {

Sniffed sniff_nexus(std::string_view first_line) {
  const std::size_t start = skip_blanks(first_line, 0);
  return same_letters(first_line.substr(start, word_end(first_line, start) - start), "#NEXUS")
             ? Sniffed::as(SeqType::kUnknown)
             : Sniffed();
}

struct Token {
  std::string text;
  bool quoted = false;
  std::int64_t line = 0;
};

// The input as NEXUS text: blanks, line ends and comments between tokens are skipped.
class Scanner {
 public:
  explicit Scanner(BlockReader& in) : lines_(in) { more_ = lines_.next(line_); }

  // Moves to the next character that is neither a blank nor inside a comment, across lines
  // when `across` (else within the current line); false when there is none.
  bool skip_space(bool across = true) {
    for (;;) {
      if (!more_) return false;
      if (pos_ >= line_.text.size()) {
        if (!across) return false;
        more_ = lines_.next(line_);
        pos_ = 0;
        continue;
      }
      const char c = line_.text[pos_];
      if (depth_ > 0) {
        depth_ += c == '[' ? 1 : c == ']' ? -1 : 0;
      } else if (c == '[') {
        depth_ = 1;
      } else if (!is_blank(c) && c != '\r') {
        return true;
      }
      ++pos_;
    }
  }

  // The next token: a word, a quoted word or one of ';' and '='. False at the end of the input.
  bool token(Token& t) {
    if (!skip_space()) return false;
    t.line = line_.number;
    t.quoted = false;
    t.text.clear();
    closed_ = true;
    const std::string_view text = line_.text;
    const char c = text[pos_];
    if (c == ';' || c == '=') {
      t.text = c;
      ++pos_;
    } else if (c == '\'' || c == '"') {
      t.quoted = true;
      closed_ = quoted(t.text);
    } else {
      const std::size_t start = pos_;
      const std::size_t end = word_end(text, pos_);
      while (pos_ < end && text[pos_] != ';' && text[pos_] != '=' && text[pos_] != '[') ++pos_;
      t.text = text.substr(start, pos_ - start);
    }
    return true;
  }

  // Moves to the start of the next line; false at the end of the input.
  bool next_line() {
    more_ = lines_.next(line_);
    pos_ = 0;
    return more_;
  }

  // Whether the next token is `c`, which is then consumed.
  bool next_is(char c) {
    if (!skip_space() || line_.text[pos_] != c) return false;
    ++pos_;
    return true;
  }

  // A quote that was not closed on its line.
  bool unclosed() const { return !closed_; }

  const Line& line() const { return line_; }
  std::string_view block() const { return lines_.block(); }
  std::uint64_t blocks_before() const { return lines_.blocks_before(); }
  std::size_t pos() const { return pos_; }
  void advance(std::size_t n) { pos_ += n; }
  bool in_comment() const { return depth_ > 0; }
  int& depth() { return depth_; }
  bool more() const { return more_; }

 private:
  // The quoted word at pos_, a doubled quote standing for one; false when its line ends first.
  bool quoted(std::string& out) {
    const std::string_view text = line_.text;
    const char quote = text[pos_++];
    while (pos_ < text.size()) {
      const char c = text[pos_++];
      if (c != quote) {
        out += c;
      } else if (pos_ < text.size() && text[pos_] == quote) {
        out += quote;
        ++pos_;
      } else {
        return true;
      }
    }
    return false;
  }

  LineReader lines_;
  Line line_;
  std::size_t pos_ = 0;
  int depth_ = 0;  // of nested comments
  bool more_ = false;
  bool closed_ = true;
};

// What ends the MATRIX, opens a comment or a set of states.
constexpr char kSpecial[5] = "[;{(";

// The commands of the DATA or CHARACTERS block that shape its MATRIX.
struct Format {
  std::int32_t ntax = 0;  // 0: not given
  std::int64_t nchar = 0;
  SeqType type = SeqType::kUnknown;
  bool interleave = false;
  char gap = '-';
  char missing = '?';
  char matchchar = '\0';  // none
};

// Reads the rest of a command up to its ';'.
std::optional<ReadProblem> skip_command(Scanner& scan) {
  Token t;
  while (scan.token(t)) {
    if (!t.quoted && t.text == ";") return std::nullopt;
  }
  return unended(scan.line().number, "the ';' that ends a command");
}

// The value after "KEY=": a token; empty when the '=' is missing.
std::optional<Token> value_of(Scanner& scan) {
  Token t;
  if (!scan.next_is('=') || !scan.token(t)) return std::nullopt;
  return t;
}

std::optional<ReadProblem> read_dimensions(Scanner& scan, Format& format) {
  for (Token t; scan.token(t);) {
    if (!t.quoted && t.text == ";") return std::nullopt;
    const bool ntax = same_letters(t.text, "NTAX");
    if (!ntax && !same_letters(t.text, "NCHAR")) continue;
    const std::optional<Token> value = value_of(scan);
    std::int64_t number = 0;
    for (const char c : value ? value->text : std::string()) {
      if (c < '0' || c > '9' || number > 100'000'000) return bad_header(t.line, t.text, "a number");
      number = number * 10 + (c - '0');
    }
    if (number == 0) return bad_header(t.line, value ? value->text : t.text, "a positive number");
    if (ntax) {
      format.ntax = static_cast<std::int32_t>(number);
    } else {
      format.nchar = number;
    }
  }
  return unended(scan.line().number, "the ';' that ends DIMENSIONS");
}

std::optional<ReadProblem> read_format(Scanner& scan, Format& format) {
  for (Token t; scan.token(t);) {
    if (!t.quoted && t.text == ";") return std::nullopt;
    const auto symbol = [&](char& to) -> std::optional<ReadProblem> {
      const std::optional<Token> value = value_of(scan);
      if (!value || value->text.size() != 1) {
        return bad_header(t.line, value ? value->text : t.text, "one character after the '='");
      }
      to = value->text[0];
      return std::nullopt;
    };
    std::optional<ReadProblem> problem;
    if (same_letters(t.text, "DATATYPE")) {
      const std::optional<Token> value = value_of(scan);
      const std::string type = value ? value->text : std::string();
      if (same_letters(type, "DNA") || same_letters(type, "RNA") ||
          same_letters(type, "NUCLEOTIDE")) {
        format.type = SeqType::kDna;
      } else if (same_letters(type, "PROTEIN")) {
        format.type = SeqType::kProtein;
      } else {
        return ReadProblem(ReadProblemKind::kUnsupported, t.line, 0, "DATATYPE=" + type);
      }
    } else if (same_letters(t.text, "GAP")) {
      problem = symbol(format.gap);
    } else if (same_letters(t.text, "MISSING")) {
      problem = symbol(format.missing);
    } else if (same_letters(t.text, "MATCHCHAR")) {
      problem = symbol(format.matchchar);
    } else if (same_letters(t.text, "INTERLEAVE")) {
      format.interleave = true;
      if (scan.next_is('=')) {
        Token value;
        scan.token(value);
        format.interleave = !same_letters(value.text, "NO");
      }
    } else if (same_letters(t.text, "TRANSPOSE") || same_letters(t.text, "NOLABELS") ||
               same_letters(t.text, "TOKENS")) {
      return ReadProblem(ReadProblemKind::kUnsupported, t.line, 0, t.text);
    } else if (scan.next_is('=')) {
      // EQUATE, SYMBOLS and the like: their value is skipped.
      Token value;
      scan.token(value);
    }
    if (problem) return problem;
  }
  return unended(scan.line().number, "the ';' that ends FORMAT");
}

// The MATRIX: taxa, their characters, and what the FORMAT makes of them.
class Matrix {
 public:
  Matrix(Scanner& scan, SequenceSink& sink, const Format& format, bool long_names)
      : scan_(scan), sink_(sink), format_(format), long_names_(long_names) {
    for (std::size_t c = 0; c < 256; ++c) stored_[c] = static_cast<char>(c);
    stored_[static_cast<unsigned char>(format.gap)] = '-';
    stored_[static_cast<unsigned char>(format.missing)] = '?';
    plain_ = format.gap == '-' && format.missing == '?' && format.matchchar == '\0';
    // The header's word, up to a bound: a header may claim any number.
    rows_.reserve(static_cast<std::size_t>(std::min(format.ntax, std::int32_t{1} << 16)));
  }

  std::optional<ReadProblem> read() {
    for (;;) {
      // The lines of an interleaved matrix that need no tokens, one after the other.
      while (format_.interleave && !scan_.in_comment() && scan_.more()) {
        const std::string_view text = scan_.line().text;
        const std::size_t start = skip_blanks(text, scan_.pos());
        scan_.advance(start - scan_.pos());
        if (start < text.size() && !plain_line()) break;
        if (problem_) return problem_;
        scan_.next_line();
      }
      if (!scan_.skip_space(!format_.interleave)) {
        if (!scan_.more()) return unended(scan_.line().number, "the ';' that ends the MATRIX");
        scan_.skip_space();  // an interleaved row is a line: the next one
        continue;
      }
      if (scan_.line().text[scan_.pos()] == ';') break;
      const std::int64_t at = scan_.line().number;
      scan_.token(name_);
      if (scan_.unclosed()) return unended(at, "the quote that closes a name");
      const std::int32_t s = row_of(name_);
      if (s == 0) return problem_;
      // The characters: the rest of the line, and with the taxa whole, more lines until the
      // row is complete.
      bool ended = false;
      do {
        const std::size_t room = static_cast<std::size_t>(format_.nchar) - length(s);
        const std::size_t limit = format_.interleave ? std::string::npos : room;
        ended = characters(s, limit);
        if (format_.interleave && length(s) > static_cast<std::size_t>(format_.nchar)) {
          return too_long_or_short(at, s);
        }
      } while (!format_.interleave && !ended &&
               length(s) < static_cast<std::size_t>(format_.nchar) && scan_.skip_space() &&
               scan_.line().text[scan_.pos()] != ';');
      if (!scan_.more()) return unended(at, "the ';' that ends the MATRIX");
      if (ended) break;
    }
    const std::int64_t end = scan_.line().number;
    const auto rows = static_cast<std::int32_t>(lengths_.size());
    if (format_.ntax > 0 && rows != format_.ntax) {
      ReadProblem problem(ReadProblemKind::kCountVsHeader, end);
      problem.count = rows;
      problem.expected = format_.ntax;
      return problem;
    }
    for (std::int32_t s = 1; s <= rows; ++s) {
      if (length(s) != static_cast<std::size_t>(format_.nchar)) return too_long_or_short(end, s);
    }
    return sink_.end_rows();
  }

 private:
  std::size_t length(std::int32_t s) const { return lengths_[static_cast<std::size_t>(s - 1)]; }

  ReadProblem too_long_or_short(std::int64_t at, std::int32_t s) const {
    ReadProblem problem(ReadProblemKind::kLengthVsHeader, at, s,
                        names_[static_cast<std::size_t>(s - 1)]);
    problem.count = static_cast<std::int64_t>(length(s));
    problem.expected = format_.nchar;
    return problem;
  }

  // Reads the line at the current position when it is the common one of an interleaved matrix:
  // the name due next, unquoted and written as in the first block, then characters with nothing
  // to look into (no comment, no set of states, no symbol to translate, not the end). False,
  // with nothing read, for any other line.
  bool plain_line() {
    if (!plain_ || keys_.empty() || quoted_[next_]) return false;
    const std::string_view text = scan_.line().text;
    const std::size_t start = scan_.pos();
    const std::size_t end = start + names_[next_].size();
    if (!name_due_at(text, start)) return false;
    const std::string_view rest = text.substr(end);
    if (!plain_text(rest)) return false;
    const auto s = static_cast<std::int32_t>(next_ + 1);
    lengths_[next_] += sink_.append(s, rest);
    if (length(s) > static_cast<std::size_t>(format_.nchar)) {
      problem_ = too_long_or_short(scan_.line().number, s);
    }
    scan_.advance(text.size() - start);
    advance(s);
    return true;
  }

  // Whether the word at `start` of `text` (a Line: sixteen bytes after it can be read) is the
  // name due next: its characters, then a blank or the end of the line. A name holds no blank.
  bool name_due_at(std::string_view text, std::size_t start) const {
    const std::string& name = names_[next_];
    const std::size_t n = name.size();
    if (n > text.size() - start || (start + n < text.size() && !is_blank(text[start + n]))) {
      return false;
    }
#if defined(__SSE2__)
    // Most names fit sixteen bytes: compared at once with their copy padded to that size.
    if (n <= kPadded) {
      const __m128i found = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + start));
      const __m128i due = _mm_loadu_si128(reinterpret_cast<const __m128i*>(padded_[next_].data()));
      const auto same = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(found, due)));
      const unsigned wanted = (1U << n) - 1;
      return (same & wanted) == wanted;
    }
#endif
    return std::memcmp(text.data() + start, name.data(), n) == 0;
  }

  // Whether `text` holds nothing that ends the MATRIX, opens a comment or a set of states: known
  // at once for a text before the first such character of the rest of its block, which is
  // looked for once.
  bool plain_text(std::string_view text) {
    const bool same_block = plain_block_ == scan_.blocks_before();
    if (same_block && text.data() >= plain_begin_ && text.data() + text.size() <= plain_end_) {
      return true;
    }
    const std::string_view block = scan_.block();
    if (text.data() < block.data() || text.data() > block.data() + block.size()) {
      return first_of_any(text, kSpecial) == text.size();  // a line copied out of its block
    }
    const std::size_t from = static_cast<std::size_t>(text.data() - block.data());
    plain_block_ = scan_.blocks_before();
    plain_begin_ = text.data();
    const std::string_view rest = block.substr(from);
    // memchr is the library's fastest scan, one character at a time the shorter.
    std::size_t end = rest.size();
    for (const char special : std::string_view(kSpecial)) {
      if (const void* found = std::memchr(rest.data(), special, end)) {
        end = static_cast<std::size_t>(static_cast<const char*>(found) - rest.data());
      }
    }
    plain_end_ = plain_begin_ + end;
    return text.data() + text.size() <= plain_end_;
  }

  // Names are compared without case, an unquoted '_' standing for a blank.
  static char key_char(char c, bool quoted) {
    if (c == '_' && !quoted) return ' ';
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  }
  static std::string key_of(const Token& name) {
    std::string key = name.text;
    for (char& c : key) c = key_char(c, name.quoted);
    return key;
  }
  static bool same_key(std::string_view key, const Token& name) {
    if (key.size() != name.text.size()) return false;
    for (std::size_t i = 0; i < key.size(); ++i) {
      if (key[i] != key_char(name.text[i], name.quoted)) return false;
    }
    return true;
  }

  // The row of the taxon `name`: a new one, or for an interleaved matrix the one it names
  // again. 0 when there is none (problem_ says why).
  std::int32_t row_of(const Token& name) {
    // Later blocks mostly write a name as the first did: compared as it stands first.
    if (format_.interleave && !keys_.empty() &&
        (names_[next_] == name.text || same_key(keys_[next_], name))) {
      return advance(static_cast<std::int32_t>(next_ + 1));
    }
    std::string key = key_of(name);
    const std::int32_t s = sink_.next_index();
    // Looked up and entered at once: a name is mostly new in the first block. A name given
    // twice in a matrix that is not interleaved is a row of its own; the first keeps the key.
    const auto [found, added] = rows_.try_emplace(key, s);
    const bool again = format_.interleave && !keys_.empty();
    if (again && !added) return advance(found->second);
    if (again && (format_.ntax == 0 ? first_block_over_
                                    : keys_.size() == static_cast<std::size_t>(format_.ntax))) {
      problem_ = ReadProblem(ReadProblemKind::kUnknownName, name.line, 0, name.text);
      return 0;
    }
    if (auto problem = name_too_long(sink_, name.text, long_names_, name.line)) {
      problem_ = *problem;
      return 0;
    }
    sink_.add_row(name.text);
    names_.push_back(name.text);
    std::array<char, kPadded>& padded = padded_.emplace_back();
    name.text.copy(padded.data(), kPadded);
    quoted_.push_back(name.quoted ? 1 : 0);
    keys_.push_back(std::move(key));
    lengths_.push_back(0);
    return advance(s);
  }

  std::int32_t advance(std::int32_t s) {
    next_ = static_cast<std::size_t>(s) == keys_.size() ? 0 : static_cast<std::size_t>(s);
    // Without NTAX, the first block ends where its first taxon comes again.
    if (s == 1 && lengths_[0] > 0) first_block_over_ = true;
    return s;
  }

  // Reads characters of row `s` from the current position to the end of the line, or to the
  // `limit`-th character; true when the ';' that ends the MATRIX was met.
  bool characters(std::int32_t s, std::size_t limit) {
    const std::string_view text = std::string_view(scan_.line().text).substr(scan_.pos());
    std::size_t& length = lengths_[static_cast<std::size_t>(s - 1)];
    if (plain_ && !scan_.in_comment() && plain_text(text) &&
        (text.size() <= limit || count_line_residues(text) <= limit)) {
      length += sink_.append(s, text);
      scan_.advance(text.size());
      return false;
    }
    clean_.clear();
    std::size_t i = 0;
    bool ended = false;
    int& depth = scan_.depth();
    for (; i < text.size() && clean_.size() < limit; ++i) {
      const char c = text[i];
      if (depth > 0) {
        depth += c == '[' ? 1 : c == ']' ? -1 : 0;
      } else if (c == '[') {
        depth = 1;
      } else if (c == ';') {
        ended = true;
        break;
      } else if (c == '{' || c == '(') {
        // A set of states at one position: unknown here.
        const std::size_t close = text.find(c == '{' ? '}' : ')', i);
        i = close == std::string_view::npos ? text.size() - 1 : close;
        clean_ += '?';
      } else if (!is_blank(c)) {
        clean_ += stored(s, length + clean_.size(), c);
      }
    }
    scan_.advance(i);
    if (s == 1 && format_.matchchar != '\0') first_ += clean_;
    const std::size_t characters = clean_.size();
    clean_.append(kLineCopySlack, ' ');  // see Line
    length += sink_.append(s, std::string_view(clean_).substr(0, characters));
    return ended;
  }

  // What the character `c` at position `p` (from 0) of row `s` stands for.
  char stored(std::int32_t s, std::size_t p, char c) const {
    if (c == format_.matchchar && s > 1 && p < first_.size()) return first_[p];
    return stored_[static_cast<unsigned char>(c)];
  }

  Scanner& scan_;
  SequenceSink& sink_;
  const Format& format_;
  bool long_names_;
  std::array<char, 256> stored_{};
  bool plain_ = true;  // no symbol to translate
  std::vector<std::string> names_;
  static constexpr std::size_t kPadded = 16;
  std::vector<std::array<char, kPadded>> padded_;  // each name's first bytes, zeros after it
  std::vector<char> quoted_;  // the name was quoted (a byte each: read once a line)
  std::vector<std::string> keys_;
  std::unordered_map<std::string, std::int32_t> rows_;
  std::vector<std::size_t> lengths_;
  std::size_t next_ = 0;  // the row the next line most likely gives, from 0
  bool first_block_over_ = false;
  Token name_;         // of the row being read
  std::string first_;  // the first taxon's characters, for MATCHCHAR
  // A stretch of the current block known to hold none of kSpecial.
  std::uint64_t plain_block_ = 0;  // LineReader::blocks_before() of that block
  const char* plain_begin_ = nullptr;
  const char* plain_end_ = nullptr;
  std::string clean_;
  std::optional<ReadProblem> problem_;
};

std::optional<ReadProblem> read_data_block(Scanner& scan, SequenceSink& sink, Format format,
                                           bool long_names) {
  for (Token t; scan.token(t);) {
    std::optional<ReadProblem> problem;
    if (same_letters(t.text, "DIMENSIONS")) {
      problem = read_dimensions(scan, format);
    } else if (same_letters(t.text, "FORMAT")) {
      problem = read_format(scan, format);
    } else if (same_letters(t.text, "MATRIX")) {
      if (format.nchar == 0)
        return bad_header(t.line, "DIMENSIONS", "NCHAR= the number of characters");
      sink.declare_type(format.type);
      sink.expect_rows(format.ntax, format.nchar);
      return Matrix(scan, sink, format, long_names).read();
    } else if (same_letters(t.text, "END") || same_letters(t.text, "ENDBLOCK")) {
      return unended(t.line, "a MATRIX in its DATA or CHARACTERS block");
    } else if (!(!t.quoted && t.text == ";")) {
      problem = skip_command(scan);
    }
    if (problem) return problem;
  }
  return unended(scan.line().number, "a MATRIX in its DATA or CHARACTERS block");
}

std::optional<ReadProblem> read_nexus(BlockReader& in, SequenceSink& sink,
                                      const ReadOptions& options) {
  Scanner scan(in);
  Token t;
  if (!scan.token(t) || !same_letters(t.text, "#NEXUS")) {
    return bad_header(t.line, t.text, "the line '#NEXUS'");
  }
  Format format;
  while (scan.token(t)) {
    if (!same_letters(t.text, "BEGIN")) {
      if (t.text != ";") {
        if (auto problem = skip_command(scan)) return problem;
      }
      continue;
    }
    Token block;
    scan.token(block);
    if (auto problem = skip_command(scan)) return problem;
    if (same_letters(block.text, "DATA") || same_letters(block.text, "CHARACTERS")) {
      return read_data_block(scan, sink, format, options.long_names);
    }
    // Any other block is skipped to its END; a TAXA block may give the number of taxa.
    const bool taxa = same_letters(block.text, "TAXA");
    while (scan.token(t) && !same_letters(t.text, "END") && !same_letters(t.text, "ENDBLOCK")) {
      std::optional<ReadProblem> problem;
      if (taxa && same_letters(t.text, "DIMENSIONS")) {
        problem = read_dimensions(scan, format);
      } else if (t.text != ";") {
        problem = skip_command(scan);
      }
      if (problem) return problem;
    }
  }
  return unended(scan.line().number, "a DATA or CHARACTERS block");
}

}  // namespace

extern const InputFormatRow kNexusFormat = {
    InputFormat::kNexus, "nexus", "NEXUS", "the line '#NEXUS'", false, sniff_nexus, read_nexus};

}  // namespace selvane
