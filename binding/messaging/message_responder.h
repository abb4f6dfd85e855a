// The engine's message callback, and MessageResponder: the use-once answer to one message.
#ifndef QUORLAX_BINDING_MESSAGING_MESSAGE_RESPONDER_H_
#define QUORLAX_BINDING_MESSAGING_MESSAGE_RESPONDER_H_

#include <cstddef>
#include <cstdint>
#include <memory>

#include "binding/messaging/binary_messenger.h"
#include "engine_api/engine_api.h"

namespace flutter {

// A counted reference to the engine messenger, taken with FlutterDesktopMessengerAddRef; the last
// holder to let go gives it back with FlutterDesktopMessengerRelease, once. The count changes
// atomically, so holders may go on any thread.
using SharedMessenger = std::shared_ptr<FlutterDesktopMessenger>;

// Answers one message: the first call sends the response, under the engine's messenger lock and
// only while the engine reports itself available; a later call while the engine is available
// writes "Error: Response can be set only once. Ignoring duplicate response." and sends nothing.
// An answer while the engine is unavailable is dropped silently, and does not count as the answer.
//
// Copies share one use-once state, so however a responder is copied the engine gets at most one
// response. Destroying a responder sends nothing, with one exception: the last copy of an
// unanswered responder, destroyed by an exception on its way up (memory that could not be had, a
// handler that threw), answers empty, so that the sender is not left waiting. The messenger
// reference keeps the engine messenger valid for as long as any copy exists.
//
// Threading: may be called and destroyed on any thread; the use-once state is guarded by the
// engine's messenger lock.
class MessageResponder {
 public:
  MessageResponder(SharedMessenger messenger,
                   const FlutterDesktopMessageResponseHandle* response_handle);
  MessageResponder(const MessageResponder&) = default;
  MessageResponder(MessageResponder&&) noexcept = default;
  MessageResponder& operator=(const MessageResponder&) = default;
  MessageResponder& operator=(MessageResponder&&) noexcept = default;
  ~MessageResponder();

  // The bytes go to the engine as given, a null pointer with size 0 included, without a copy.
  void operator()(const uint8_t* response, std::size_t response_size) const noexcept;

 private:
  struct Exchange {
    SharedMessenger messenger;
    // Null once the response has been sent.
    const FlutterDesktopMessageResponseHandle* response_handle;
  };
  // Null once moved from.
  std::shared_ptr<Exchange> exchange_;
  // Exceptions in flight when this copy was made; more at destruction means unwinding.
  int exceptions_at_construction_;
};

// The callback registered with the engine for every channel that has a handler. `user_data` is
// the channel's entry in BinaryMessengerImpl's table. Takes one messenger reference for the
// message, hands the handler the engine's bytes (uncopied) and a MessageResponder, and drops its
// own hold on the reference when the handler returns; the reference is released then, or when
// the last responder goes.
//
// An exception from below (a handler that throws, memory that cannot be had) does not leave the
// callback: it writes "Exception in a message handler: " and the exception's text as a line, and
// the message is answered empty unless it was answered, or its responder is kept, already.
void OnEngineMessage(FlutterDesktopMessengerRef messenger, const FlutterDesktopMessage* message,
                     void* user_data);

}  // namespace flutter

#endif  // QUORLAX_BINDING_MESSAGING_MESSAGE_RESPONDER_H_
