// BinaryMessenger: byte messages between plugin code and the engine on named channels.
#ifndef QUORLAX_BINDING_MESSAGING_BINARY_MESSENGER_H_
#define QUORLAX_BINDING_MESSAGING_BINARY_MESSENGER_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace flutter {

// Answers a message received from the engine, or receives the answer to a message sent to it.
// `reply` may be null with `reply_size` 0 (an empty answer). The bytes are valid only during the
// call. May be empty.
using ChannelReply = std::function<void(const uint8_t* reply, std::size_t reply_size)>;

// Receives the messages on one channel. The message bytes are the engine's and valid only during
// the call; the handler owns `reply` and answers through it once, now or later, from any thread.
// May be empty: no handler.
using ChannelMessageHandler =
    std::function<void(const uint8_t* message, std::size_t message_size, ChannelReply reply)>;

class BinaryMessenger {
 public:
  virtual ~BinaryMessenger() = default;

  BinaryMessenger(const BinaryMessenger&) = delete;
  BinaryMessenger& operator=(const BinaryMessenger&) = delete;

  // Sends `message` on `channel`. A non-empty `reply` is called once with the engine's answer, on
  // whichever thread the engine answers; if the engine refuses the message it is never called.
  // `message` is read only during the call.
  virtual void Send(const std::string& channel, const uint8_t* message, std::size_t message_size,
                    ChannelReply reply) const = 0;

  // Makes `handler` the one handler of `channel`, replacing (and destroying) any earlier one; an
  // empty handler removes the channel's handler. Must not run at the same time as the delivery of
  // a message on this messenger on another thread.
  virtual void SetChannelHandler(const std::string& channel, ChannelMessageHandler handler) = 0;

 protected:
  BinaryMessenger() = default;
};

}  // namespace flutter

#endif  // QUORLAX_BINDING_MESSAGING_BINARY_MESSENGER_H_
