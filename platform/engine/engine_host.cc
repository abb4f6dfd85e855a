#include "platform/engine/engine_host.h"

#include <utility>

#include "platform/engine/engine_registry.h"
#include "platform/engine/engine_state.h"
#include "platform/engine/reply_state.h"

namespace engine_host {

std::string CallRecord::Text() const {
  std::string text = function + "(";
  for (size_t i = 0; i < arguments.size(); ++i) {
    if (i != 0) text += ", ";
    text += arguments[i];
  }
  text += ")";
  if (result) text += " -> " + *result;
  return text;
}

bool Reply::Send(const uint8_t* data, size_t size) const {
  if (!state_ || state_->callback == nullptr || state_->sent.exchange(true)) return false;
  state_->callback(data, size, state_->user_data);
  return true;
}

bool Reply::Send(const std::vector<uint8_t>& bytes) const {
  return Send(bytes.data(), bytes.size());
}

bool Reply::Pending() const {
  return state_ && state_->callback != nullptr && !state_->sent.load();
}

Engine::Engine() : state_(internal::EngineRegistry::Instance().Create()) {}

Engine::~Engine() {
  if (state_->ShutDown()) internal::EngineRegistry::Instance().Remove(state_->id());
}

FlutterDesktopPluginRegistrarRef Engine::CreateRegistrar(bool with_view) {
  return state_->CreateRegistrar(with_view);
}

bool Engine::DestroyRegistrar(FlutterDesktopPluginRegistrarRef registrar) {
  return state_->DestroyRegistrar(registrar);
}

FlutterDesktopViewRef Engine::ViewOf(FlutterDesktopPluginRegistrarRef registrar) const {
  return state_->ViewOf(registrar);
}

FlutterDesktopOnPluginRegistrarDestroyed Engine::DestructionHandlerOf(
    FlutterDesktopPluginRegistrarRef registrar) const {
  return state_->DestructionHandlerOf(registrar);
}

FlutterDesktopMessengerRef Engine::messenger() const { return state_->messenger(); }

FlutterDesktopTextureRegistrarRef Engine::texture_registrar() const {
  return state_->texture_registrar();
}

const FlutterDesktopMessageResponseHandle* Engine::Deliver(const std::string& channel,
                                                           const uint8_t* data, size_t size) {
  return state_->Deliver(channel, data, size);
}

const FlutterDesktopMessageResponseHandle* Engine::Deliver(const std::string& channel,
                                                           const std::vector<uint8_t>& bytes) {
  return state_->Deliver(channel, bytes.data(), bytes.size());
}

std::optional<ResponseRecord> Engine::Response(
    const FlutterDesktopMessageResponseHandle* handle) const {
  return state_->Response(handle);
}

bool Engine::WaitForResponse(const FlutterDesktopMessageResponseHandle* handle,
                             std::chrono::milliseconds timeout) const {
  return state_->WaitForResponse(handle, timeout);
}

std::optional<ChannelCallback> Engine::CallbackFor(const std::string& channel) const {
  return state_->CallbackFor(channel);
}

void Engine::SetOutgoingHandler(const std::string& channel, OutgoingHandler handler) {
  state_->SetOutgoingHandler(channel, std::move(handler));
}

void Engine::SetRefusing(const std::string& channel, bool refusing) {
  state_->SetRefusing(channel, refusing);
}

std::vector<SentMessage> Engine::SentMessages(const std::string& channel) const {
  return state_->SentMessages(channel);
}

size_t Engine::MessengerReferences() const { return state_->MessengerReferences(); }

void Engine::SetLockAnswersNull(bool answers_null) { state_->SetLockAnswersNull(answers_null); }

bool Engine::MessengerLockHeld() const { return state_->MessengerLockHeld(); }

void Engine::SetAvailable(bool available) { state_->SetAvailable(available); }

void Engine::SetNextTextureId(int64_t id) { state_->SetNextTextureId(id); }

void Engine::SetTextureRegistrationFailure(std::optional<int64_t> failure_value) {
  state_->SetTextureRegistrationFailure(failure_value);
}

std::vector<uint8_t> Engine::TextureInfoBytes(int64_t id) const {
  return state_->TextureInfoBytes(id);
}

std::optional<const FlutterDesktopPixelBuffer*> Engine::RequestPixelBuffer(int64_t id, size_t width,
                                                                           size_t height) {
  return state_->RequestPixelBuffer(id, width, height);
}

std::optional<const FlutterDesktopGpuSurfaceDescriptor*> Engine::RequestSurface(int64_t id,
                                                                                size_t width,
                                                                                size_t height) {
  return state_->RequestSurface(id, width, height);
}

void Engine::SetMarkFrameResult(bool result) { state_->SetMarkFrameResult(result); }

int Engine::FrameMarks(int64_t id) const { return state_->FrameMarks(id); }

bool Engine::UnregistrationPending(int64_t id) const { return state_->UnregistrationPending(id); }

bool Engine::CompleteUnregistration(int64_t id) { return state_->CompleteUnregistration(id); }

std::vector<CallRecord> Engine::Calls() const { return state_->Calls(); }

std::vector<std::string> Engine::CallTexts() const {
  std::vector<std::string> texts;
  for (const CallRecord& record : state_->Calls()) texts.push_back(record.Text());
  return texts;
}

void Engine::ClearCalls() { state_->ClearCalls(); }

std::vector<std::string> Engine::Violations() const { return state_->Violations(); }

}  // namespace engine_host
