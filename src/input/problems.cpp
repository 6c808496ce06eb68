#include "input/problems.h"

#include <cerrno>
#include <cstring>
#include <optional>
#include <utility>

#include "core/diagnostics.h"
#include "core/fatal.h"

namespace selvane {

namespace {

constexpr std::size_t kQuotedLength = 40;

// Lines ended by a carriage return alone: the start of the file holds one and no line feed.
bool uses_cr_line_ends(const std::string& path) {
  std::optional<BlockReader> in = BlockReader::open(path);
  if (!in) return false;
  const std::string_view start = in->buffered();
  return start.find('\r') != std::string_view::npos && start.find('\n') == std::string_view::npos;
}

}  // namespace

std::string quoted(std::string_view text) {
  if (text.size() <= kQuotedLength) return in_quotes(text);
  // Cut between two UTF-8 characters, not inside one.
  std::size_t length = kQuotedLength;
  while (length > kQuotedLength - 3 && (static_cast<unsigned char>(text[length]) & 0xc0) == 0x80) {
    --length;
  }
  std::string cut(text.substr(0, length));
  cut += "...";
  return in_quotes(cut);
}

std::string file_detail(const std::string& path, std::string_view what) {
  std::string detail = path + ": ";
  if (uses_cr_line_ends(path)) {
    detail +=
        "its lines end in a carriage return alone, so it reads as one line; convert the line "
        "ends to line feeds (tr '\\r' '\\n')";
  } else {
    detail += what;
  }
  return detail;
}

std::string not_opened_detail(std::string_view role, const std::string& path, int error,
                              std::string_view not_regular) {
  std::string detail("cannot open ");
  detail += role;
  detail += " \"";
  detail += path;  // whole: a path cut short would name another file
  detail += '"';
  if (!not_regular.empty()) {
    detail += ": it is ";
    detail += not_regular;
    detail += ", not a regular file";
  } else if (error != 0) {
    detail += ": ";
    detail += std::strerror(error);
  }
  return detail;
}

BlockReader open_or_stop(const std::string& path, std::string_view role) {
  std::string not_regular;
  std::optional<BlockReader> in = BlockReader::open(path, &not_regular);
  if (!in) fatal("\nFile not opened", not_opened_detail(role, path, errno, not_regular));
  return std::move(*in);
}

}  // namespace selvane
