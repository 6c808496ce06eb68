// Reading the user's answers to the menus from standard input.
//
// Every read first flushes the program's output, so a prompt is on the screen before the
// program waits. When the input ends before an answer has begun, the process ends with status 1
// (ExitRequest), exactly as if the user had quit: a closed input must not spin the menus
// forever. An answer cut short by the end of the input counts as if its line had ended there.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "core/writer.h"

namespace selvane {

class MenuInput {
 public:
  // `in` stays open and owned by the caller; `out` is flushed before every read.
  MenuInput(std::FILE* in, Writer& out) : in_(in), out_(out) {}

  // One character, as typed (a line break for an empty line); unless it is the line break
  // itself, the rest of its line is read and dropped.
  char choice();

  // A whole number read the way scanf's %i reads it: blanks and line breaks are skipped, then
  // an optional sign and decimal digits, hexadecimal digits after "0x" or octal digits after a
  // leading 0. The rest of the line is dropped. Empty when the entry holds no digits; a value
  // beyond the 32-bit range comes back as the nearest 32-bit value.
  std::optional<std::int32_t> number();

  // One word read the way scanf's %s reads it (blanks and line breaks before it are skipped);
  // the rest of the line is dropped. A NUL byte ends the text, as it would end a C string.
  std::string word();

  // A whole line without its line break (nor a carriage return before it), of any length. A NUL
  // byte ends the text, as for a word.
  std::string line();

 private:
  int get();
  // Drops the rest of the line whose character `last` was just read (`last` itself may be the
  // line break or the end of the input).
  void discard_line(int last);
  // The first character of an answer after blanks and line breaks; ends the process at the end
  // of the input.
  int first_nonblank();
  [[noreturn]] static void end_of_input();

  std::FILE* in_;
  Writer& out_;
};

}  // namespace selvane
