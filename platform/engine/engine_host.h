// The host's side of the stand-in engine library (flutter_windows): creating engines and
// registrars, delivering messages to the module and reading back its responses, answering the
// messages the module sends, driving its textures, and reading the log of every engine call the
// module made and the protocol violations among them.
//
// An Engine is one engine with one messenger and one texture registrar, shared by all registrars
// it creates. Its handles are tokens the engine recognises (see handle_token.h): a handle of
// another engine, of a destroyed registrar or of an engine that is gone is told apart from a
// valid one, never dereferenced.
//
// Protocol violations are the module's misuses of the engine's C functions: a second response to
// one handle, a response while the engine is unavailable or without the messenger lock held by
// the calling thread, an unlock without the lock, a lock the calling thread already holds, a
// release without a reference, a call naming a destroyed registrar, a handle the engine did not
// issue (or of the wrong kind), a null channel, null bytes with a non-zero size, a null texture
// record or one of an unknown type or without a frame callback. Each is recorded by the engine the
// call names and written to standard error as one line, "flutter_windows stand-in: protocol
// violation: " followed by the call and what is wrong with it. A call that names no live engine's
// handle is written once and recorded by every live engine, since it cannot be told which was
// meant.
//
// Threads: every member function may be called on any thread, also from inside the module's
// callbacks; the engine calls the module only on the thread that causes the call, and never while
// holding its own state lock. The call log is in the order in which the engine settled each
// call's result, before any callback that the call leads to runs.
#ifndef QUORLAX_PLATFORM_ENGINE_ENGINE_HOST_H_
#define QUORLAX_PLATFORM_ENGINE_ENGINE_HOST_H_

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine_api/engine_api.h"

#if defined(_WIN32)
#if defined(FLUTTER_ENGINE_IMPLEMENTATION)
#define ENGINE_HOST_EXPORT __declspec(dllexport)
#else
#define ENGINE_HOST_EXPORT __declspec(dllimport)
#endif
#elif defined(__GNUC__)
#define ENGINE_HOST_EXPORT __attribute__((visibility("default")))
#else
#define ENGINE_HOST_EXPORT
#endif

namespace engine_host {

namespace internal {
class EngineState;
struct ReplyState;
}  // namespace internal

// One call of an engine C function. Arguments and result are rendered as text when the call is
// made: engine handles by kind and serial ("registrar#1", "messenger#1", "texture-registrar#1",
// "view#1", "response#1"; a handle the engine did not issue as "unknown-handle", one of another
// engine as e.g. "messenger#1 of another engine"), the module's callbacks and data pointers by
// order of first appearance in the engine's log ("fn#1", "ptr#1"; the names of an engine last as
// long as the engine, across ClearCalls), null as "null", bytes as upper-case hex pairs separated
// by blanks ("empty" for none at a non-null pointer), channels in double quotes, sizes and ids in
// decimal, bools as "true"/"false", a texture record as "{type 0, fn#1, ptr#1}" or
// "{type 1, size 32, surface 5, fn#1, ptr#1}".
struct CallRecord {
  std::string function;
  std::vector<std::string> arguments;
  std::optional<std::string> result;  // empty for functions returning nothing

  // "FlutterDesktopMessengerAddRef(messenger#1) -> messenger#1"
  ENGINE_HOST_EXPORT std::string Text() const;
};

// What became of one message delivered with Engine::Deliver.
struct ResponseRecord {
  std::string channel;
  // FlutterDesktopMessengerSendResponse calls naming the handle, delivered or not.
  int attempts = 0;
  // A response reached the engine: the first attempt made while the engine was available, or
  // the engine's own empty answer for a channel without a callback.
  bool answered = false;
  bool answered_by_engine = false;
  // Of the response that reached the engine: whether its byte pointer was null, the pointer itself
  // (to tell the module's own buffer from a copy; valid only during the call that sent it), and
  // its bytes.
  bool null_data = false;
  const uint8_t* data = nullptr;
  std::vector<uint8_t> bytes;
};

// The callback the module set for a channel, and its user data.
struct ChannelCallback {
  FlutterDesktopMessageCallback callback = nullptr;
  void* user_data = nullptr;
};

// The engine's answer to one message the module sent. Copies share one answer: the first Send
// through any of them calls the module's FlutterDesktopBinaryReply, on the calling thread; the
// engine state need not exist any longer by then. A Reply for a message sent without a reply
// callback, or refused, is inert.
class Reply {
 public:
  Reply() = default;

  // Calls the module's reply callback with `data` and `size` exactly as given (null with 0
  // allowed), and its user data. False, and no call, if an answer has been sent before or there
  // is nothing to answer.
  ENGINE_HOST_EXPORT bool Send(const uint8_t* data, size_t size) const;
  ENGINE_HOST_EXPORT bool Send(const std::vector<uint8_t>& bytes) const;
  // True until the answer is sent; false for an inert reply.
  ENGINE_HOST_EXPORT bool Pending() const;

 private:
  friend class internal::EngineState;
  explicit Reply(std::shared_ptr<internal::ReplyState> state) : state_(std::move(state)) {}

  std::shared_ptr<internal::ReplyState> state_;
};

// One message the module sent with FlutterDesktopMessengerSend or ...SendWithReply.
struct SentMessage {
  bool with_reply = false;  // sent with FlutterDesktopMessengerSendWithReply
  bool accepted = false;    // the call returned true
  bool null_data = false;
  std::vector<uint8_t> bytes;
  FlutterDesktopBinaryReply reply_callback = nullptr;
  void* reply_user_data = nullptr;
  Reply reply;
};

// Answers the messages the module sends on one channel; called on the sending thread, inside
// the send call. It may send the reply at once, or keep it and send it later on any thread.
using OutgoingHandler = std::function<void(const std::vector<uint8_t>& message, Reply reply)>;

class Engine {
 public:
  ENGINE_HOST_EXPORT Engine();
  // Destroys the remaining registrars as DestroyRegistrar does, in the order they were created,
  // then makes the messenger unavailable (waiting for the messenger lock, unless the calling
  // thread holds it). The messenger stays valid for as long as the module holds references to it,
  // so late responders can still lock, test availability, unlock and release; every other handle
  // of the engine is invalid from then on.
  ENGINE_HOST_EXPORT ~Engine();
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  // Registrars.
  ENGINE_HOST_EXPORT FlutterDesktopPluginRegistrarRef CreateRegistrar(bool with_view);
  // Calls the destruction callback the module last set for the registrar, if any, once, on the
  // calling thread, with the registrar's handle; calls naming the registrar are valid until the
  // callback returns and violations from then on. False, and nothing done, for a handle that is
  // not a live registrar of this engine.
  ENGINE_HOST_EXPORT bool DestroyRegistrar(FlutterDesktopPluginRegistrarRef registrar);
  // Null for a registrar without a view, and for a handle that is not a registrar of this engine.
  ENGINE_HOST_EXPORT FlutterDesktopViewRef ViewOf(FlutterDesktopPluginRegistrarRef registrar) const;
  ENGINE_HOST_EXPORT FlutterDesktopOnPluginRegistrarDestroyed
  DestructionHandlerOf(FlutterDesktopPluginRegistrarRef registrar) const;
  ENGINE_HOST_EXPORT FlutterDesktopMessengerRef messenger() const;
  ENGINE_HOST_EXPORT FlutterDesktopTextureRegistrarRef texture_registrar() const;

  // Messages to the module. Delivers a message record {its own size, `channel`, `data` unchanged,
  // `size`, a new response handle} to the channel's callback, synchronously, with the callback's
  // user data, and returns the response handle. A channel without a callback gets the engine's
  // own empty answer (null bytes), as a real engine gives. The bytes are borrowed for the call.
  ENGINE_HOST_EXPORT const FlutterDesktopMessageResponseHandle* Deliver(const std::string& channel,
                                                                        const uint8_t* data,
                                                                        size_t size);
  ENGINE_HOST_EXPORT const FlutterDesktopMessageResponseHandle* Deliver(
      const std::string& channel, const std::vector<uint8_t>& bytes);
  // Empty for a handle this engine did not issue with Deliver.
  ENGINE_HOST_EXPORT std::optional<ResponseRecord> Response(
      const FlutterDesktopMessageResponseHandle* handle) const;
  // Waits until the handle has been answered or a response to it attempted, for at most
  // `timeout`; true if it has. What the answering thread does after its response (unlocking,
  // releasing) may still be under way when this returns.
  ENGINE_HOST_EXPORT bool WaitForResponse(const FlutterDesktopMessageResponseHandle* handle,
                                          std::chrono::milliseconds timeout) const;
  ENGINE_HOST_EXPORT std::optional<ChannelCallback> CallbackFor(const std::string& channel) const;

  // Messages from the module. A channel without a handler accepts messages and leaves their
  // replies pending (SentMessages gives them); a refusing channel makes both send functions
  // return false and calls no handler. An empty handler removes the channel's handler.
  ENGINE_HOST_EXPORT void SetOutgoingHandler(const std::string& channel, OutgoingHandler handler);
  ENGINE_HOST_EXPORT void SetRefusing(const std::string& channel, bool refusing);
  ENGINE_HOST_EXPORT std::vector<SentMessage> SentMessages(const std::string& channel) const;

  // Messenger. References are those the module holds: AddRef adds one, Release takes one back.
  ENGINE_HOST_EXPORT size_t MessengerReferences() const;
  // While set, FlutterDesktopMessengerLock takes no lock and answers null, and responses need no
  // lock: the engine has no lock to offer. A lock taken before stays held until unlocked.
  ENGINE_HOST_EXPORT void SetLockAnswersNull(bool answers_null);
  ENGINE_HOST_EXPORT bool MessengerLockHeld() const;
  // What FlutterDesktopMessengerIsAvailable answers; true at first. Switching waits for the
  // messenger lock, as a real engine shutting down does, unless the calling thread holds it: no
  // response is under way when it returns.
  ENGINE_HOST_EXPORT void SetAvailable(bool available);

  // Textures. Registrations get consecutive ids from the next id, 1 at first, and replace a
  // texture that has the id already; while a failure value is set, each registration answers it
  // and registers nothing.
  ENGINE_HOST_EXPORT void SetNextTextureId(int64_t id);
  ENGINE_HOST_EXPORT void SetTextureRegistrationFailure(std::optional<int64_t> failure_value);
  // The 40 bytes of the record the texture was registered with; empty for no such texture.
  ENGINE_HOST_EXPORT std::vector<uint8_t> TextureInfoBytes(int64_t id) const;
  // Ask the module for a frame of a registered texture of the kind: its callback is called on
  // the calling thread with `width`, `height` and its user data, and its answer returned. Empty,
  // and nothing called, for no registered texture of that kind under the id. A texture stays
  // registered until its unregistration completes.
  ENGINE_HOST_EXPORT std::optional<const FlutterDesktopPixelBuffer*> RequestPixelBuffer(
      int64_t id, size_t width, size_t height);
  ENGINE_HOST_EXPORT std::optional<const FlutterDesktopGpuSurfaceDescriptor*> RequestSurface(
      int64_t id, size_t width, size_t height);
  // What FlutterDesktopTextureRegistrarMarkExternalTextureFrameAvailable answers; true at first.
  ENGINE_HOST_EXPORT void SetMarkFrameResult(bool result);
  // How often the module marked a frame available for the id, registered or not.
  ENGINE_HOST_EXPORT int FrameMarks(int64_t id) const;
  // Unregistrations are requested by the module and completed by the host, first requested
  // first.
  ENGINE_HOST_EXPORT bool UnregistrationPending(int64_t id) const;
  // Completes the oldest pending unregistration of the id: the texture is no longer registered,
  // and the module's completion callback, if it gave one, runs once on the calling thread with
  // its user data. False, and nothing done, when none is pending.
  ENGINE_HOST_EXPORT bool CompleteUnregistration(int64_t id);

  // The call log and the protocol violations, oldest first.
  ENGINE_HOST_EXPORT std::vector<CallRecord> Calls() const;
  ENGINE_HOST_EXPORT std::vector<std::string> CallTexts() const;
  ENGINE_HOST_EXPORT void ClearCalls();
  // Each violation's text, without the standard-error prefix.
  ENGINE_HOST_EXPORT std::vector<std::string> Violations() const;

 private:
  std::shared_ptr<internal::EngineState> state_;
};

}  // namespace engine_host

#endif  // QUORLAX_PLATFORM_ENGINE_ENGINE_HOST_H_
