// MethodResult: the one-shot answer to a method call, and CallHandler: the callable a plugin
// installs on a method channel to receive calls.
#ifndef QUORLAX_BINDING_CHANNEL_METHOD_RESULT_H_
#define QUORLAX_BINDING_CHANNEL_METHOD_RESULT_H_

#include <functional>
#include <memory>
#include <string>

#include "binding/channel/method_call.h"
#include "binding/codec/encodable_value.h"

namespace flutter {

// A result is answered exactly once, by exactly one of Success, Error and NotImplemented. This
// interface does not enforce that; the engine-backed result (EngineMethodResult) reports and
// ignores every answer after the first, and warns when it is destroyed unanswered.
//
// Values passed to the front-ends are only read during the call; the result keeps no reference.
// Implementations override the Deliver operations; each front-end forwards to exactly one of them.
//
// Thread safety: a result may be answered on any thread, but by one thread at a time.
template <typename T = EncodableValue>
class MethodResult {
 public:
  MethodResult() = default;
  virtual ~MethodResult() = default;

  MethodResult(const MethodResult&) = delete;
  MethodResult& operator=(const MethodResult&) = delete;

  void Success(const T& result) { DeliverSuccess(&result); }
  // Success without a value; the standard codec encodes a null value.
  void Success() { DeliverSuccess(nullptr); }
  // An empty message is encoded as a null value by the standard codec.
  void Error(const std::string& error_code, const std::string& error_message,
             const T& error_details) {
    DeliverError(error_code, error_message, &error_details);
  }
  void Error(const std::string& error_code, const std::string& error_message = "") {
    DeliverError(error_code, error_message, nullptr);
  }
  void NotImplemented() { DeliverNotImplemented(); }

 protected:
  // `result` and `error_details` may be null: no value.
  virtual void DeliverSuccess(const T* result) = 0;
  virtual void DeliverError(const std::string& error_code, const std::string& error_message,
                            const T* error_details) = 0;
  virtual void DeliverNotImplemented() = 0;
};

// Receives each call on a channel with the result to answer it. The call is valid only while the
// handler runs; the handler owns the result and may answer it before returning, keep it and
// answer later (on any thread), or drop it unanswered. May be empty.
template <typename T = EncodableValue>
using CallHandler =
    std::function<void(const MethodCall<T>& call, std::unique_ptr<MethodResult<T>> result)>;

}  // namespace flutter

#endif  // QUORLAX_BINDING_CHANNEL_METHOD_RESULT_H_
