#include "core/fatal.h"

namespace selvane {

void fatal(std::string_view message, std::string detail) {
  std::string text(message);
  text += '\n';
  throw FatalError(std::move(text), std::move(detail));
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

void memory_failure(std::string_view array) {
  std::string text("\nMemory allocation failure in ");
  text += array;
  fatal(text);
}

void memory_failure(std::string_view array, std::int64_t number) {
  std::string text("\nMemory allocation failure in ");
  text += array;
  fatal_number(text, number);
}

}  // namespace selvane
