// MethodCall: one decoded invocation, a method name and an optional argument value.
#ifndef QUORLAX_BINDING_CHANNEL_METHOD_CALL_H_
#define QUORLAX_BINDING_CHANNEL_METHOD_CALL_H_

#include <memory>
#include <string>
#include <utility>

#include "binding/codec/encodable_value.h"

namespace flutter {

// Immutable once built. Held through std::unique_ptr<MethodCall<T>>. The standard codec always
// supplies an argument value (null at worst); only calls built by other code lack one.
template <typename T = EncodableValue>
class MethodCall {
 public:
  // Copies the name (or takes it over, from an rvalue) and takes over the arguments.
  MethodCall(std::string method_name, std::unique_ptr<T> arguments)
      : method_name_(std::move(method_name)), arguments_(std::move(arguments)) {}
  virtual ~MethodCall() = default;

  MethodCall(const MethodCall&) = delete;
  MethodCall& operator=(const MethodCall&) = delete;

  // The method name exactly as decoded. Valid while the call lives.
  const std::string& MethodName() const noexcept { return method_name_; }
  // The argument value, or null when the call has none. Valid while the call lives.
  const T* Arguments() const noexcept { return arguments_.get(); }

 private:
  std::string method_name_;
  std::unique_ptr<T> arguments_;
};

}  // namespace flutter

#endif  // QUORLAX_BINDING_CHANNEL_METHOD_CALL_H_
