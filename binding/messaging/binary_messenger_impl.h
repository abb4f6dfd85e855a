// BinaryMessengerImpl: the BinaryMessenger over the engine's messenger.
#ifndef QUORLAX_BINDING_MESSAGING_BINARY_MESSENGER_IMPL_H_
#define QUORLAX_BINDING_MESSAGING_BINARY_MESSENGER_IMPL_H_

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "binding/messaging/binary_messenger.h"
#include "engine_api/engine_api.h"

namespace flutter {

// Keeps one handler per channel and registers it with the engine, which delivers the channel's
// messages to it through OnEngineMessage.
//
// The engine messenger is borrowed: the messenger takes no reference to it. Destruction makes no
// engine call, so channels stay registered with the engine pointing at handlers that are gone:
// destroy the messenger only once the engine will deliver nothing more through it (its registrar
// does so as the engine destroys the registrar).
//
// Threading: Send may be called from any thread. SetChannelHandler and message delivery must not
// run at the same time on different threads; the handler table is not locked.
class BinaryMessengerImpl final : public BinaryMessenger {
 public:
  explicit BinaryMessengerImpl(FlutterDesktopMessengerRef engine_messenger) noexcept
      : engine_messenger_(engine_messenger) {}
  ~BinaryMessengerImpl() override = default;

  void Send(const std::string& channel, const uint8_t* message, std::size_t message_size,
            ChannelReply reply) const override;

  // The channel's entry keeps its address while it exists, replacements included, since that
  // address is what the engine hands back to OnEngineMessage. A handler may replace or remove its
  // own channel's handler while it runs: the delivery keeps it alive until it returns.
  void SetChannelHandler(const std::string& channel, ChannelMessageHandler handler) override;

 private:
  FlutterDesktopMessengerRef engine_messenger_;
  // Shared so that a delivery in progress can keep a handler alive while it runs.
  std::map<std::string, std::shared_ptr<const ChannelMessageHandler>> handlers_;
};

}  // namespace flutter

#endif  // QUORLAX_BINDING_MESSAGING_BINARY_MESSENGER_IMPL_H_
