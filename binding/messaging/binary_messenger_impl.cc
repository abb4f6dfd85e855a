#include "binding/messaging/binary_messenger_impl.h"

#include <utility>

#include "binding/diagnostic.h"
#include "binding/messaging/message_responder.h"

namespace flutter {
namespace {

// The engine's reply to a message sent with Send. `user_data` is the holder Send allocated; the
// engine calls this once, and the holder is freed here whatever the reply does.
void OnEngineReply(const uint8_t* reply, std::size_t reply_size, void* user_data) {
  const std::unique_ptr<ChannelReply> holder(static_cast<ChannelReply*>(user_data));
  try {
    (*holder)(reply, reply_size);
  } catch (...) {
    WriteCurrentExceptionLine("Exception in a message reply: ");
  }
}

}  // namespace

void BinaryMessengerImpl::Send(const std::string& channel, const uint8_t* message,
                               std::size_t message_size, ChannelReply reply) const {
  if (!reply) {
    FlutterDesktopMessengerSend(engine_messenger_, channel.c_str(), message, message_size);
    return;
  }
  auto holder = std::make_unique<ChannelReply>(std::move(reply));
  if (FlutterDesktopMessengerSendWithReply(engine_messenger_, channel.c_str(), message,
                                           message_size, OnEngineReply, holder.get())) {
    // The pending exchange owns the holder now; OnEngineReply frees it.
    static_cast<void>(holder.release());
  }
}

void BinaryMessengerImpl::SetChannelHandler(const std::string& channel,
                                            ChannelMessageHandler handler) {
  if (!handler) {
    handlers_.erase(channel);
    FlutterDesktopMessengerSetCallback(engine_messenger_, channel.c_str(), nullptr, nullptr);
    return;
  }
  auto stored = std::make_shared<const ChannelMessageHandler>(std::move(handler));
  std::shared_ptr<const ChannelMessageHandler>& entry = handlers_[channel];
  entry = std::move(stored);
  FlutterDesktopMessengerSetCallback(engine_messenger_, channel.c_str(), OnEngineMessage, &entry);
}

}  // namespace flutter
