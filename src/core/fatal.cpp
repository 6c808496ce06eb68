#include "core/fatal.h"

namespace selvane {

void fatal(std::string_view message, std::string detail, std::string hint) {
  std::string text(message);
  text += '\n';
  throw FatalError(std::move(text), std::move(detail)).with_hint(std::move(hint));
}

void fatal_raw(std::string_view text, std::string detail) {
  throw FatalError(std::string(text), std::move(detail));
}

void fatal_number(std::string_view message, std::int64_t number, std::string detail) {
  std::string text(message);
  text += std::to_string(number);
  text += '\n';
  throw FatalError(std::move(text), std::move(detail));
}

namespace {

// "out of memory (array let)": the array's name without the line end some messages carry.
std::string out_of_memory(std::string_view array) {
  while (!array.empty() && (array.back() == '\n' || array.back() == ' ')) array.remove_suffix(1);
  return "out of memory (array " + std::string(array);
}

}  // namespace

void memory_failure(std::string_view array) {
  std::string text("\nMemory allocation failure in ");
  text += array;
  text += '\n';
  throw MemoryFailure(std::move(text), out_of_memory(array) + ")");
}

void memory_failure(std::string_view array, std::int64_t number) {
  std::string text("\nMemory allocation failure in ");
  text += array;
  text += std::to_string(number);
  text += '\n';
  throw MemoryFailure(std::move(text),
                      out_of_memory(array) + ", number " + std::to_string(number) + ")");
}

}  // namespace selvane
