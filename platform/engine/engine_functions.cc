// The engine's sixteen C functions. Each finds the engine that issued its first handle and hands
// it the call; a call whose first handle names no engine the module may still use is reported,
// and answers what an engine answers for nothing: null, false, -1, or the handle it was given.
#include <optional>

#include "engine_api/engine_api.h"
#include "platform/engine/call_log.h"
#include "platform/engine/engine_registry.h"
#include "platform/engine/engine_state.h"
#include "platform/engine/handle_token.h"

namespace {

using engine_host::internal::CallValue;
using engine_host::internal::EngineCall;
using engine_host::internal::EngineRegistry;
using engine_host::internal::HandleKind;

void ReportForeign(const EngineCall& call, const void* handle, HandleKind kind,
                   const std::optional<CallValue>& result) {
  EngineRegistry::Instance().ReportForeignCall(call, handle, kind, result);
}

}  // namespace

extern "C" {

FlutterDesktopMessengerRef FlutterDesktopPluginRegistrarGetMessenger(
    FlutterDesktopPluginRegistrarRef registrar) {
  const EngineCall call{"FlutterDesktopPluginRegistrarGetMessenger",
                        {CallValue::Handle(registrar)}};
  if (auto engine = EngineRegistry::Instance().Find(registrar)) {
    return engine->GetMessenger(call, registrar);
  }
  ReportForeign(call, registrar, HandleKind::kRegistrar, CallValue::Handle(nullptr));
  return nullptr;
}

FlutterDesktopTextureRegistrarRef FlutterDesktopRegistrarGetTextureRegistrar(
    FlutterDesktopPluginRegistrarRef registrar) {
  const EngineCall call{"FlutterDesktopRegistrarGetTextureRegistrar",
                        {CallValue::Handle(registrar)}};
  if (auto engine = EngineRegistry::Instance().Find(registrar)) {
    return engine->GetTextureRegistrar(call, registrar);
  }
  ReportForeign(call, registrar, HandleKind::kRegistrar, CallValue::Handle(nullptr));
  return nullptr;
}

FlutterDesktopViewRef FlutterDesktopPluginRegistrarGetView(
    FlutterDesktopPluginRegistrarRef registrar) {
  const EngineCall call{"FlutterDesktopPluginRegistrarGetView", {CallValue::Handle(registrar)}};
  if (auto engine = EngineRegistry::Instance().Find(registrar)) {
    return engine->GetView(call, registrar);
  }
  ReportForeign(call, registrar, HandleKind::kRegistrar, CallValue::Handle(nullptr));
  return nullptr;
}

void FlutterDesktopPluginRegistrarSetDestructionHandler(
    FlutterDesktopPluginRegistrarRef registrar, FlutterDesktopOnPluginRegistrarDestroyed callback) {
  const EngineCall call{"FlutterDesktopPluginRegistrarSetDestructionHandler",
                        {CallValue::Handle(registrar), CallValue::Callback(callback)}};
  if (auto engine = EngineRegistry::Instance().Find(registrar)) {
    engine->SetDestructionHandler(call, registrar, callback);
    return;
  }
  ReportForeign(call, registrar, HandleKind::kRegistrar, std::nullopt);
}

void FlutterDesktopMessengerSetCallback(FlutterDesktopMessengerRef messenger, const char* channel,
                                        FlutterDesktopMessageCallback callback, void* user_data) {
  const EngineCall call{"FlutterDesktopMessengerSetCallback",
                        {CallValue::Handle(messenger), CallValue::Channel(channel),
                         CallValue::Callback(callback), CallValue::Pointer(user_data)}};
  if (auto engine = EngineRegistry::Instance().Find(messenger)) {
    engine->SetCallback(call, messenger, channel, callback, user_data);
    return;
  }
  ReportForeign(call, messenger, HandleKind::kMessenger, std::nullopt);
}

bool FlutterDesktopMessengerSend(FlutterDesktopMessengerRef messenger, const char* channel,
                                 const uint8_t* message, size_t message_size) {
  const EngineCall call{"FlutterDesktopMessengerSend",
                        {CallValue::Handle(messenger), CallValue::Channel(channel),
                         CallValue::Bytes(message, message_size), CallValue::Size(message_size)}};
  if (auto engine = EngineRegistry::Instance().Find(messenger)) {
    return engine->Send(call, messenger, channel, message, message_size, false, nullptr, nullptr);
  }
  ReportForeign(call, messenger, HandleKind::kMessenger, CallValue::Bool(false));
  return false;
}

bool FlutterDesktopMessengerSendWithReply(FlutterDesktopMessengerRef messenger, const char* channel,
                                          const uint8_t* message, size_t message_size,
                                          FlutterDesktopBinaryReply reply, void* user_data) {
  const EngineCall call{"FlutterDesktopMessengerSendWithReply",
                        {CallValue::Handle(messenger), CallValue::Channel(channel),
                         CallValue::Bytes(message, message_size), CallValue::Size(message_size),
                         CallValue::Callback(reply), CallValue::Pointer(user_data)}};
  if (auto engine = EngineRegistry::Instance().Find(messenger)) {
    return engine->Send(call, messenger, channel, message, message_size, true, reply, user_data);
  }
  ReportForeign(call, messenger, HandleKind::kMessenger, CallValue::Bool(false));
  return false;
}

void FlutterDesktopMessengerSendResponse(FlutterDesktopMessengerRef messenger,
                                         const FlutterDesktopMessageResponseHandle* handle,
                                         const uint8_t* data, size_t data_length) {
  const EngineCall call{"FlutterDesktopMessengerSendResponse",
                        {CallValue::Handle(messenger), CallValue::Handle(handle),
                         CallValue::Bytes(data, data_length), CallValue::Size(data_length)}};
  if (auto engine = EngineRegistry::Instance().Find(messenger)) {
    engine->SendResponse(call, messenger, handle, data, data_length);
    return;
  }
  ReportForeign(call, messenger, HandleKind::kMessenger, std::nullopt);
}

FlutterDesktopMessengerRef FlutterDesktopMessengerAddRef(FlutterDesktopMessengerRef messenger) {
  const EngineCall call{"FlutterDesktopMessengerAddRef", {CallValue::Handle(messenger)}};
  if (auto engine = EngineRegistry::Instance().Find(messenger)) {
    return engine->AddRef(call, messenger);
  }
  ReportForeign(call, messenger, HandleKind::kMessenger, CallValue::Handle(messenger));
  return messenger;
}

void FlutterDesktopMessengerRelease(FlutterDesktopMessengerRef messenger) {
  const EngineCall call{"FlutterDesktopMessengerRelease", {CallValue::Handle(messenger)}};
  if (auto engine = EngineRegistry::Instance().Find(messenger)) {
    if (engine->Release(call, messenger)) EngineRegistry::Instance().Remove(engine->id());
    return;
  }
  ReportForeign(call, messenger, HandleKind::kMessenger, std::nullopt);
}

bool FlutterDesktopMessengerIsAvailable(FlutterDesktopMessengerRef messenger) {
  const EngineCall call{"FlutterDesktopMessengerIsAvailable", {CallValue::Handle(messenger)}};
  if (auto engine = EngineRegistry::Instance().Find(messenger)) {
    return engine->IsAvailable(call, messenger);
  }
  ReportForeign(call, messenger, HandleKind::kMessenger, CallValue::Bool(false));
  return false;
}

FlutterDesktopMessengerRef FlutterDesktopMessengerLock(FlutterDesktopMessengerRef messenger) {
  const EngineCall call{"FlutterDesktopMessengerLock", {CallValue::Handle(messenger)}};
  if (auto engine = EngineRegistry::Instance().Find(messenger)) {
    return engine->Lock(call, messenger);
  }
  ReportForeign(call, messenger, HandleKind::kMessenger, CallValue::Handle(nullptr));
  return nullptr;
}

void FlutterDesktopMessengerUnlock(FlutterDesktopMessengerRef messenger) {
  const EngineCall call{"FlutterDesktopMessengerUnlock", {CallValue::Handle(messenger)}};
  if (auto engine = EngineRegistry::Instance().Find(messenger)) {
    engine->Unlock(call, messenger);
    return;
  }
  ReportForeign(call, messenger, HandleKind::kMessenger, std::nullopt);
}

int64_t FlutterDesktopTextureRegistrarRegisterExternalTexture(
    FlutterDesktopTextureRegistrarRef texture_registrar, const FlutterDesktopTextureInfo* info) {
  const EngineCall call{"FlutterDesktopTextureRegistrarRegisterExternalTexture",
                        {CallValue::Handle(texture_registrar), CallValue::TextureInfo(info)}};
  if (auto engine = EngineRegistry::Instance().Find(texture_registrar)) {
    return engine->RegisterExternalTexture(call, texture_registrar, info);
  }
  ReportForeign(call, texture_registrar, HandleKind::kTextureRegistrar, CallValue::Integer(-1));
  return -1;
}

bool FlutterDesktopTextureRegistrarMarkExternalTextureFrameAvailable(
    FlutterDesktopTextureRegistrarRef texture_registrar, int64_t texture_id) {
  const EngineCall call{"FlutterDesktopTextureRegistrarMarkExternalTextureFrameAvailable",
                        {CallValue::Handle(texture_registrar), CallValue::Integer(texture_id)}};
  if (auto engine = EngineRegistry::Instance().Find(texture_registrar)) {
    return engine->MarkExternalTextureFrameAvailable(call, texture_registrar, texture_id);
  }
  ReportForeign(call, texture_registrar, HandleKind::kTextureRegistrar, CallValue::Bool(false));
  return false;
}

void FlutterDesktopTextureRegistrarUnregisterExternalTexture(
    FlutterDesktopTextureRegistrarRef texture_registrar, int64_t texture_id,
    FlutterDesktopOnTextureUnregistered callback, void* user_data) {
  const EngineCall call{"FlutterDesktopTextureRegistrarUnregisterExternalTexture",
                        {CallValue::Handle(texture_registrar), CallValue::Integer(texture_id),
                         CallValue::Callback(callback), CallValue::Pointer(user_data)}};
  if (auto engine = EngineRegistry::Instance().Find(texture_registrar)) {
    engine->UnregisterExternalTexture(call, texture_registrar, texture_id, callback, user_data);
    return;
  }
  ReportForeign(call, texture_registrar, HandleKind::kTextureRegistrar, std::nullopt);
}

}  // extern "C"
