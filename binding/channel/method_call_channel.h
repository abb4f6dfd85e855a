// MethodCallChannel: method calls over a named channel of a BinaryMessenger.
#ifndef QUORLAX_BINDING_CHANNEL_METHOD_CALL_CHANNEL_H_
#define QUORLAX_BINDING_CHANNEL_METHOD_CALL_CHANNEL_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "binding/channel/engine_method_result.h"
#include "binding/channel/method_call.h"
#include "binding/channel/method_result.h"
#include "binding/codec/encodable_value.h"
#include "binding/codec/method_codec.h"
#include "binding/diagnostic.h"
#include "binding/messaging/binary_messenger.h"

namespace flutter {

// Installs on its messenger, under its name, a handler that decodes each message into a
// MethodCall and hands it to the CallHandler with an EngineMethodResult for the answer.
//
// The installed handler holds its own copies of the CallHandler and the name and does not refer
// to the channel object, which may be destroyed as soon as SetCallHandler returns; the messenger
// owns the handler until it is replaced or removed, or the messenger goes. `messenger` must
// outlive the channel object; `codec` must outlive every handler the channel installs.
//
// Threading: SetCallHandler as BinaryMessenger::SetChannelHandler. Calls are dispatched on the
// thread the messenger delivers messages on.
template <typename T = EncodableValue>
class MethodCallChannel {
 public:
  MethodCallChannel(BinaryMessenger* messenger, std::string name, const MethodCodec<T>* codec)
      : messenger_(messenger), name_(std::move(name)), codec_(codec) {}

  MethodCallChannel(const MethodCallChannel&) = delete;
  MethodCallChannel& operator=(const MethodCallChannel&) = delete;

  // Installs a handler around `handler`, replacing the channel's earlier one; an empty `handler`
  // removes the channel's handler.
  //
  // For each message: a message that does not decode into a call (including one the decoder
  // refuses, or cannot find the memory for) writes "Unable to construct method call from message
  // on channel " and the name, and is answered with the empty response. Otherwise `handler` gets
  // the call, valid until it returns, and the result; a result it lets go unanswered warns as it
  // is destroyed.
  void SetCallHandler(CallHandler<T> handler) const {
    if (!handler) {
      messenger_->SetChannelHandler(name_, nullptr);
      return;
    }
    messenger_->SetChannelHandler(
        name_, [handler = std::move(handler), codec = codec_, name = name_](
                   const uint8_t* message, std::size_t message_size, ChannelReply reply) {
          // Made before decoding, so that every message, good or bad, gets its answer.
          auto result = std::make_unique<EngineMethodResult<T>>(std::move(reply), codec);
          std::unique_ptr<MethodCall<T>> call;
          try {
            call = codec->DecodeCall(message, message_size);
          } catch (...) {
            call = nullptr;
          }
          if (!call) {
            WriteDiagnosticLine("Unable to construct method call from message on channel ", name);
            result->NotImplemented();
            return;
          }
          handler(*call, std::move(result));
        });
  }

 private:
  BinaryMessenger* messenger_;
  std::string name_;
  const MethodCodec<T>* codec_;
};

}  // namespace flutter

#endif  // QUORLAX_BINDING_CHANNEL_METHOD_CALL_CHANNEL_H_
