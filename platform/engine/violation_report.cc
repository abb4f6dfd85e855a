#include "platform/engine/violation_report.h"

#include <cstdio>

namespace engine_host::internal {

void WriteViolationLine(const std::string& text) {
  std::fprintf(stderr, "flutter_windows stand-in: protocol violation: %s\n", text.c_str());
  std::fflush(stderr);
}

}  // namespace engine_host::internal
