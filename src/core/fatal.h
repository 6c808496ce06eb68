// Fatal errors and the end of the process.
//
// Any part of the program that must stop the run throws FatalError; main() catches it once,
// writes its text followed by "\nExecution terminated\n", flushes standard output and ends
// with status 1. Files written before the error stay on disk.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace selvane {

class FatalError {
 public:
  explicit FatalError(std::string text) : text_(std::move(text)) {}
  // Exactly what is printed before "\nExecution terminated\n".
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

// The message is written as a line: the message, then a line end.
[[noreturn]] void fatal(std::string_view message);

// The message is written as it stands, without a line end of its own.
[[noreturn]] void fatal_raw(std::string_view text);

// A message followed by a number and a line end ("%s%i\n").
[[noreturn]] void fatal_number(std::string_view message, std::int64_t number);

// Thrown to end the process normally (quitting the menus); main() turns it into the status.
struct ExitRequest {
  int status = 1;
};

}  // namespace selvane
