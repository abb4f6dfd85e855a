// One-line diagnostics on the process's standard error stream.
//
// The binding layer reports failures of input or of use this way and carries on with a default;
// nothing is returned to the caller. Each line is written with one call into the C runtime, so
// lines from different threads do not interleave, and the stream is flushed after it.
#ifndef QUORLAX_BINDING_DIAGNOSTIC_H_
#define QUORLAX_BINDING_DIAGNOSTIC_H_

#include <string_view>

namespace flutter {

// Writes `first`, then `second`, then a newline to standard error, and flushes it. Never throws.
void WriteDiagnosticLine(std::string_view first, std::string_view second = {}) noexcept;

// Writes `context` followed by the text of the exception being handled ("unknown exception" for
// one that is not a std::exception). Call only from inside a catch handler. The callbacks the
// engine calls use it, since no exception may leave them.
void WriteCurrentExceptionLine(std::string_view context) noexcept;

}  // namespace flutter

#endif  // QUORLAX_BINDING_DIAGNOSTIC_H_
