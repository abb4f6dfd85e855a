// The standard-error line for one protocol violation.
#ifndef QUORLAX_PLATFORM_ENGINE_VIOLATION_REPORT_H_
#define QUORLAX_PLATFORM_ENGINE_VIOLATION_REPORT_H_

#include <string>

namespace engine_host::internal {

// Writes "flutter_windows stand-in: protocol violation: " `text` and a newline to standard error
// in one call, so lines from different threads do not interleave, and flushes it.
void WriteViolationLine(const std::string& text);

}  // namespace engine_host::internal

#endif  // QUORLAX_PLATFORM_ENGINE_VIOLATION_REPORT_H_
