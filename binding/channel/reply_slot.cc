#include "binding/channel/reply_slot.h"

#include <exception>
#include <utility>

#include "binding/diagnostic.h"

namespace flutter {

ReplySlot::ReplySlot(ChannelReply reply)
    : reply_(std::move(reply)), exceptions_at_construction_(std::uncaught_exceptions()) {}

ReplySlot::~ReplySlot() {
  if (!reply_) return;
  if (std::uncaught_exceptions() > exceptions_at_construction_) {
    reply_(nullptr, 0);
    return;
  }
  WriteDiagnosticLine("Warning: Failed to respond to a message. This is a memory leak.");
}

void ReplySlot::Respond(const std::vector<uint8_t>* answer) {
  if (!reply_) {
    WriteDiagnosticLine("Error: Only one of Success, Error, or NotImplemented can be called,",
                        " and it can be called exactly once. Ignoring duplicate result.");
    return;
  }
  const uint8_t* bytes = answer != nullptr && !answer->empty() ? answer->data() : nullptr;
  const std::size_t size = answer != nullptr ? answer->size() : 0;
  // Used once: the slot is empty before the reply runs.
  ChannelReply reply = std::move(reply_);
  reply_ = nullptr;
  reply(bytes, size);
}

}  // namespace flutter
