// The state of one stand-in engine and the behaviour of the engine's C functions on it.
//
// The C functions (engine_functions.cc) find the engine a call names and hand it the call as
// received, for the log, with its typed arguments. Engine (engine_host.cc) forwards the host's
// requests. Shared ownership: the Engine object and the engine registry hold it, the registry for
// as long as the module may still name the messenger (see Engine::~Engine).
//
// Locks: `mutex_` guards every field; `messenger_lock_` is the lock the module takes with
// FlutterDesktopMessengerLock. Whoever needs both takes `messenger_lock_` first. Neither the state
// lock nor the registry's is held while the module's or the host's callbacks run.
#ifndef QUORLAX_PLATFORM_ENGINE_ENGINE_STATE_H_
#define QUORLAX_PLATFORM_ENGINE_ENGINE_STATE_H_

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "engine_api/engine_api.h"
#include "platform/engine/call_log.h"
#include "platform/engine/engine_host.h"
#include "platform/engine/handle_token.h"
#include "platform/engine/texture_record.h"

namespace engine_host::internal {

class EngineState {
 public:
  explicit EngineState(uint32_t id);
  EngineState(const EngineState&) = delete;
  EngineState& operator=(const EngineState&) = delete;

  uint32_t id() const { return id_; }
  // True once the Engine object is gone; only the messenger is valid then.
  bool shut_down() const;

  // Host side; see Engine.
  FlutterDesktopPluginRegistrarRef CreateRegistrar(bool with_view);
  bool DestroyRegistrar(FlutterDesktopPluginRegistrarRef registrar);
  FlutterDesktopViewRef ViewOf(FlutterDesktopPluginRegistrarRef registrar) const;
  FlutterDesktopOnPluginRegistrarDestroyed DestructionHandlerOf(
      FlutterDesktopPluginRegistrarRef registrar) const;
  FlutterDesktopMessengerRef messenger() const;
  FlutterDesktopTextureRegistrarRef texture_registrar() const;
  // Destroys the remaining registrars and makes the messenger unavailable. True when the module
  // holds no messenger reference: the registry can let the state go.
  bool ShutDown();

  const FlutterDesktopMessageResponseHandle* Deliver(const std::string& channel,
                                                     const uint8_t* data, size_t size);
  std::optional<ResponseRecord> Response(const FlutterDesktopMessageResponseHandle* handle) const;
  bool WaitForResponse(const FlutterDesktopMessageResponseHandle* handle,
                       std::chrono::milliseconds timeout) const;
  std::optional<ChannelCallback> CallbackFor(const std::string& channel) const;

  void SetOutgoingHandler(const std::string& channel, OutgoingHandler handler);
  void SetRefusing(const std::string& channel, bool refusing);
  std::vector<SentMessage> SentMessages(const std::string& channel) const;

  size_t MessengerReferences() const;
  void SetLockAnswersNull(bool answers_null);
  bool MessengerLockHeld() const;
  void SetAvailable(bool available);

  void SetNextTextureId(int64_t id);
  void SetTextureRegistrationFailure(std::optional<int64_t> failure_value);
  std::vector<uint8_t> TextureInfoBytes(int64_t id) const;
  std::optional<const FlutterDesktopPixelBuffer*> RequestPixelBuffer(int64_t id, size_t width,
                                                                     size_t height);
  std::optional<const FlutterDesktopGpuSurfaceDescriptor*> RequestSurface(int64_t id, size_t width,
                                                                          size_t height);
  void SetMarkFrameResult(bool result);
  int FrameMarks(int64_t id) const;
  bool UnregistrationPending(int64_t id) const;
  bool CompleteUnregistration(int64_t id);

  std::vector<CallRecord> Calls() const;
  void ClearCalls();
  std::vector<std::string> Violations() const;

  // The engine's C functions, for calls whose first handle this engine issued.
  FlutterDesktopMessengerRef GetMessenger(const EngineCall& call,
                                          FlutterDesktopPluginRegistrarRef registrar);
  FlutterDesktopTextureRegistrarRef GetTextureRegistrar(const EngineCall& call,
                                                        FlutterDesktopPluginRegistrarRef registrar);
  FlutterDesktopViewRef GetView(const EngineCall& call, FlutterDesktopPluginRegistrarRef registrar);
  void SetDestructionHandler(const EngineCall& call, FlutterDesktopPluginRegistrarRef registrar,
                             FlutterDesktopOnPluginRegistrarDestroyed callback);
  void SetCallback(const EngineCall& call, FlutterDesktopMessengerRef messenger,
                   const char* channel, FlutterDesktopMessageCallback callback, void* user_data);
  // Both send functions; `with_reply` tells which was called.
  bool Send(const EngineCall& call, FlutterDesktopMessengerRef messenger, const char* channel,
            const uint8_t* data, size_t size, bool with_reply, FlutterDesktopBinaryReply reply,
            void* user_data);
  void SendResponse(const EngineCall& call, FlutterDesktopMessengerRef messenger,
                    const FlutterDesktopMessageResponseHandle* handle, const uint8_t* data,
                    size_t size);
  FlutterDesktopMessengerRef AddRef(const EngineCall& call, FlutterDesktopMessengerRef messenger);
  // True when this released the last reference of a shut-down engine: the registry can let the
  // state go.
  bool Release(const EngineCall& call, FlutterDesktopMessengerRef messenger);
  bool IsAvailable(const EngineCall& call, FlutterDesktopMessengerRef messenger);
  FlutterDesktopMessengerRef Lock(const EngineCall& call, FlutterDesktopMessengerRef messenger);
  void Unlock(const EngineCall& call, FlutterDesktopMessengerRef messenger);
  int64_t RegisterExternalTexture(const EngineCall& call,
                                  FlutterDesktopTextureRegistrarRef texture_registrar,
                                  const FlutterDesktopTextureInfo* info);
  bool MarkExternalTextureFrameAvailable(const EngineCall& call,
                                         FlutterDesktopTextureRegistrarRef texture_registrar,
                                         int64_t texture_id);
  void UnregisterExternalTexture(const EngineCall& call,
                                 FlutterDesktopTextureRegistrarRef texture_registrar,
                                 int64_t texture_id, FlutterDesktopOnTextureUnregistered callback,
                                 void* user_data);

  // A call that named no live engine, already written to standard error by the registry.
  void RecordForeignCall(CallRecord record, std::string violation);

 private:
  enum class RegistrarState { kLive, kDestroying, kDestroyed };
  struct Registrar {
    RegistrarState state = RegistrarState::kLive;
    uint32_t view = 0;  // serial of its view; 0: none
    FlutterDesktopOnPluginRegistrarDestroyed destruction_handler = nullptr;
  };
  struct Channel {
    std::optional<ChannelCallback> callback;
    OutgoingHandler outgoing_handler;
    bool refusing = false;
    std::vector<SentMessage> sent;
  };
  struct Unregistration {
    int64_t texture_id;
    FlutterDesktopOnTextureUnregistered callback;
    void* user_data;
  };

  // All of these expect `mutex_` held.
  // Empty when `handle` is a handle of this engine of `kind` that calls may name now; otherwise
  // what is wrong with it.
  std::string HandleProblem(const void* handle, HandleKind kind) const;
  // The registrar or response a valid handle names.
  Registrar& RegistrarAt(const void* handle);
  // Logs the call and records each problem as a violation.
  void Record(const EngineCall& call, const std::optional<CallValue>& result,
              const std::vector<std::string>& problems);
  bool RetireIfDone();

  const uint32_t id_;
  mutable std::mutex mutex_;
  mutable std::condition_variable response_changed_;
  std::mutex messenger_lock_;
  std::thread::id lock_owner_;  // default: nobody holds the messenger lock

  bool shut_down_ = false;
  bool retired_ = false;
  bool available_ = true;
  bool lock_answers_null_ = false;
  size_t references_ = 0;
  std::vector<Registrar> registrars_;  // by serial - 1
  uint32_t views_ = 0;
  std::vector<ResponseRecord> responses_;  // by serial - 1
  std::map<std::string, Channel> channels_;
  std::map<int64_t, TextureRecord> textures_;
  int64_t next_texture_id_ = 1;
  std::optional<int64_t> registration_failure_;
  bool mark_frame_result_ = true;
  std::map<int64_t, int> frame_marks_;
  std::deque<Unregistration> unregistrations_;
  CallLog log_;
  std::vector<std::string> violations_;
};

}  // namespace engine_host::internal

#endif  // QUORLAX_PLATFORM_ENGINE_ENGINE_STATE_H_
