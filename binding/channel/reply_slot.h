// ReplySlot: lets a message's reply be used exactly once, and reports misuse.
#ifndef QUORLAX_BINDING_CHANNEL_REPLY_SLOT_H_
#define QUORLAX_BINDING_CHANNEL_REPLY_SLOT_H_

#include <cstdint>
#include <vector>

#include "binding/messaging/binary_messenger.h"

namespace flutter {

// Holds a message's reply until its one answer.
//
// - The first Respond passes the answer to the reply and empties the slot.
// - A later Respond writes "Error: Only one of Success, Error, or NotImplemented can be called,
//   and it can be called exactly once. Ignoring duplicate result." and sends nothing.
// - Destroyed still holding the reply, the slot writes "Warning: Failed to respond to a message.
//   This is a memory leak." and drops the reply uncalled: the sender never gets an answer. But a
//   slot destroyed by an exception on its way up (a handler that threw while it owned the result)
//   answers empty instead, so the sender is not left waiting; whoever catches the exception
//   reports it.
//
// Threading: no lock; answer from one thread at a time.
class ReplySlot {
 public:
  explicit ReplySlot(ChannelReply reply);
  ~ReplySlot();

  ReplySlot(const ReplySlot&) = delete;
  ReplySlot& operator=(const ReplySlot&) = delete;

  // Passes `answer` (may be null: an empty answer) to the reply: a pointer to its first byte and
  // its size, or null and 0 when it is null or empty. The bytes need only last the call.
  void Respond(const std::vector<uint8_t>* answer);

 private:
  ChannelReply reply_;
  // Exceptions in flight when the slot was made; more at destruction means unwinding.
  int exceptions_at_construction_;
};

}  // namespace flutter

#endif  // QUORLAX_BINDING_CHANNEL_REPLY_SLOT_H_
