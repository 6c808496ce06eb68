// Fatal errors and the end of the process.
//
// Any part of the program that must stop the run throws FatalError; run_command_line()
// (driver/command_line.h) catches it once, writes its text followed by "\nExecution
// terminated\n", flushes standard output and ends with status 1. Files written before the error
// stay on disk.
#pragma once

#include <cstdint>
#include <new>
#include <string>
#include <string_view>
#include <utility>

namespace selvane {

class FatalError {
 public:
  explicit FatalError(std::string text, std::string detail = {})
      : text_(std::move(text)), detail_(std::move(detail)) {}
  // Exactly what is printed on standard output before "\nExecution terminated\n".
  const std::string& text() const { return text_; }
  // What went wrong and where, for people: written to standard error as one line after
  // "selvane: "; empty when the message says it all. Standard output never shows it, so logs
  // and scripts that read the messages see them unchanged.
  const std::string& detail() const { return detail_; }
  // A second line for standard error, after the detail: what to do about it; empty when there
  // is nothing to add.
  const std::string& hint() const { return hint_; }
  FatalError& with_hint(std::string hint) {
    hint_ = std::move(hint);
    return *this;
  }

 private:
  std::string text_;
  std::string detail_;
  std::string hint_;
};

// The message is written as a line: the message, then a line end. `hint`: see hint().
[[noreturn]] void fatal(std::string_view message, std::string detail = {}, std::string hint = {});

// The message is written as it stands, without a line end of its own.
[[noreturn]] void fatal_raw(std::string_view text, std::string detail = {});

// A message followed by a number and a line end ("%s%i\n").
[[noreturn]] void fatal_number(std::string_view message, std::int64_t number,
                               std::string detail = {});

// Running out of memory while building an array: "\nMemory allocation failure in " and the
// array's name, as a line.
[[noreturn]] void memory_failure(std::string_view array);
// The same followed by the number of the sequence or row being built ("%s%i\n").
[[noreturn]] void memory_failure(std::string_view array, std::int64_t number);

// Runs `allocate` (which builds or grows `array`) and returns what it returns; when it runs out
// of memory, the run ends with the array's own message instead of the generic one.
template <class F>
decltype(auto) allocating(std::string_view array, F&& allocate) {
  try {
    return std::forward<F>(allocate)();
  } catch (const std::bad_alloc&) {
    memory_failure(array);
  }
}

// The same, naming the sequence or row `number` in the message.
template <class F>
decltype(auto) allocating(std::string_view array, std::int64_t number, F&& allocate) {
  try {
    return std::forward<F>(allocate)();
  } catch (const std::bad_alloc&) {
    memory_failure(array, number);
  }
}

// Running out of memory: the text is the array's message; run_command_line() names the file
// being processed on standard error, which the array's builder does not know: working_on()
// tells it.
class MemoryFailure : public FatalError {
 public:
  using FatalError::FatalError;
  MemoryFailure(const FatalError& failure, std::string file)
      : FatalError(failure), file_(std::move(file)) {}
  // The file being worked on when memory ran out; empty when no step said (main() then names
  // the input).
  const std::string& file() const { return file_; }

 private:
  std::string file_;
};

// Runs `step`, the work on the file `file`: running out of memory in it (an array's own
// message, or any other allocation) ends the run naming that file, unless a step inside it
// named its own.
template <class Step>
decltype(auto) working_on(const std::string& file, Step&& step) {
  try {
    return std::forward<Step>(step)();
  } catch (const MemoryFailure& failure) {
    if (!failure.file().empty()) throw;
    throw MemoryFailure(failure, file);
  } catch (const std::bad_alloc&) {
    throw MemoryFailure(FatalError("\nMemory allocation failure\n", "out of memory"), file);
  }
}

// Thrown to end the process normally (quitting the menus); run_command_line() returns its
// status.
struct ExitRequest {
  int status = 1;
};

}  // namespace selvane
