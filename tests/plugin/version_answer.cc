#include "tests/plugin/version_answer.h"

#include <cstdlib>
#include <stdexcept>

namespace quorlax_test {

std::string WineVersion() {
#if defined(_WIN32)
  const char* version = std::getenv("QUORLAX_TEST_WINE_VERSION");
  return version != nullptr && *version != '\0' ? version : "win10";
#else
  return "";
#endif
}

std::string ExpectedVersionAnswer() {
  const std::string wine = WineVersion();
  if (wine.empty() || wine == "win10") return "Windows 10+";
  if (wine == "win81" || wine == "win8") return "Windows 8";
  if (wine == "win7") return "Windows 7";
  if (wine == "vista") return "Windows ";
  throw std::invalid_argument("no expected answer for Wine version " + wine);
}

}  // namespace quorlax_test
