#include "binding/messaging/message_responder.h"

#include <exception>
#include <utility>

#include "binding/diagnostic.h"

namespace flutter {
namespace {

// Holds the engine's messenger lock for one response; the lock's value is null when the engine
// has nothing to unlock.
class MessengerLock {
 public:
  explicit MessengerLock(FlutterDesktopMessengerRef messenger) noexcept
      : locked_(FlutterDesktopMessengerLock(messenger)) {}
  ~MessengerLock() {
    if (locked_ != nullptr) FlutterDesktopMessengerUnlock(locked_);
  }
  MessengerLock(const MessengerLock&) = delete;
  MessengerLock& operator=(const MessengerLock&) = delete;

 private:
  FlutterDesktopMessengerRef locked_;
};

// Sends the empty response, as a responder would, for a message that got no responder.
void AnswerEmpty(FlutterDesktopMessengerRef messenger,
                 const FlutterDesktopMessageResponseHandle* response_handle) noexcept {
  const MessengerLock lock(messenger);
  if (FlutterDesktopMessengerIsAvailable(messenger)) {
    FlutterDesktopMessengerSendResponse(messenger, response_handle, nullptr, 0);
  }
}

}  // namespace

MessageResponder::MessageResponder(SharedMessenger messenger,
                                   const FlutterDesktopMessageResponseHandle* response_handle)
    : exchange_(std::make_shared<Exchange>(Exchange{std::move(messenger), response_handle})),
      exceptions_at_construction_(std::uncaught_exceptions()) {}

MessageResponder::~MessageResponder() {
  // With no other copy left, nothing else can answer, so the handle is read without the lock.
  if (exchange_ != nullptr && exchange_.use_count() == 1 && exchange_->response_handle != nullptr &&
      std::uncaught_exceptions() > exceptions_at_construction_) {
    (*this)(nullptr, 0);
  }
}

void MessageResponder::operator()(const uint8_t* response,
                                  std::size_t response_size) const noexcept {
  Exchange& exchange = *exchange_;
  FlutterDesktopMessengerRef messenger = exchange.messenger.get();
  const MessengerLock lock(messenger);
  if (!FlutterDesktopMessengerIsAvailable(messenger)) return;
  if (exchange.response_handle == nullptr) {
    WriteDiagnosticLine("Error: Response can be set only once. Ignoring duplicate response.");
    return;
  }
  FlutterDesktopMessengerSendResponse(messenger, exchange.response_handle, response, response_size);
  exchange.response_handle = nullptr;
}

void OnEngineMessage(FlutterDesktopMessengerRef messenger, const FlutterDesktopMessage* message,
                     void* user_data) {
  const FlutterDesktopMessageResponseHandle* response_handle = message->response_handle;
  // Until a responder exists, a failure leaves the answer to this callback.
  bool responder_made = false;
  try {
    // Should the counted reference's bookkeeping fail to allocate, shared_ptr releases the
    // reference before the failure goes on.
    const SharedMessenger shared_messenger(FlutterDesktopMessengerAddRef(messenger),
                                           FlutterDesktopMessengerRelease);
    MessageResponder responder(shared_messenger, response_handle);
    responder_made = true;
    ChannelReply reply = std::move(responder);
    // Holding the handler here lets it replace or remove its own channel's handler while it runs.
    const std::shared_ptr<const ChannelMessageHandler> handler =
        *static_cast<const std::shared_ptr<const ChannelMessageHandler>*>(user_data);
    (*handler)(message->message, message->message_size, std::move(reply));
  } catch (...) {
    WriteCurrentExceptionLine("Exception in a message handler: ");
    if (!responder_made) AnswerEmpty(messenger, response_handle);
  }
}

}  // namespace flutter
