#include "binding/diagnostic.h"

#include <climits>
#include <cstdio>
#include <exception>

namespace flutter {
namespace {

int PrintfLength(std::string_view text) {
  return text.size() > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(text.size());
}

// An empty view may carry a null pointer, which %s must not be given.
const char* PrintfText(std::string_view text) { return text.empty() ? "" : text.data(); }

}  // namespace

void WriteDiagnosticLine(std::string_view first, std::string_view second) noexcept {
  std::fprintf(stderr, "%.*s%.*s\n", PrintfLength(first), PrintfText(first), PrintfLength(second),
               PrintfText(second));
  std::fflush(stderr);
}

void WriteCurrentExceptionLine(std::string_view context) noexcept {
  try {
    throw;
  } catch (const std::exception& error) {
    WriteDiagnosticLine(context, error.what());
  } catch (...) {
    WriteDiagnosticLine(context, "unknown exception");
  }
}

}  // namespace flutter
