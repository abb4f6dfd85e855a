#include "platform/engine/engine_state.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "platform/engine/reply_state.h"
#include "platform/engine/violation_report.h"

namespace engine_host::internal {
namespace {

HandleToken Token(uint32_t engine, HandleKind kind, uint32_t serial) {
  HandleToken token;
  token.engine = engine;
  token.kind = kind;
  token.serial = serial;
  return token;
}

std::vector<uint8_t> Copy(const uint8_t* data, size_t size) {
  if (data == nullptr) return {};
  return std::vector<uint8_t>(data, data + size);
}

// Empty when the bytes can be read.
std::string BytesProblem(const uint8_t* data, size_t size) {
  if (data != nullptr || size == 0) return {};
  return "null bytes with size " + std::to_string(size);
}

}  // namespace

EngineState::EngineState(uint32_t id) : id_(id), log_(id) {}

bool EngineState::shut_down() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return shut_down_;
}

// --- Host side ---

FlutterDesktopPluginRegistrarRef EngineState::CreateRegistrar(bool with_view) {
  std::lock_guard<std::mutex> lock(mutex_);
  Registrar registrar;
  if (with_view) registrar.view = ++views_;
  registrars_.push_back(registrar);
  return HandleAs<FlutterDesktopPluginRegistrar>(
      Token(id_, HandleKind::kRegistrar, static_cast<uint32_t>(registrars_.size())));
}

bool EngineState::DestroyRegistrar(FlutterDesktopPluginRegistrarRef registrar) {
  FlutterDesktopOnPluginRegistrarDestroyed handler;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!HandleProblem(registrar, HandleKind::kRegistrar).empty()) return false;
    Registrar& entry = RegistrarAt(registrar);
    if (entry.state != RegistrarState::kLive) return false;
    entry.state = RegistrarState::kDestroying;
    handler = entry.destruction_handler;
  }
  if (handler != nullptr) handler(registrar);
  std::lock_guard<std::mutex> lock(mutex_);
  RegistrarAt(registrar).state = RegistrarState::kDestroyed;
  return true;
}

FlutterDesktopViewRef EngineState::ViewOf(FlutterDesktopPluginRegistrarRef registrar) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const std::optional<HandleToken> token = DecodeHandle(registrar);
  if (!token || token->engine != id_ || token->kind != HandleKind::kRegistrar ||
      token->serial > registrars_.size()) {
    return nullptr;
  }
  const uint32_t view = registrars_[token->serial - 1].view;
  if (view == 0) return nullptr;
  return HandleAs<FlutterDesktopView>(Token(id_, HandleKind::kView, view));
}

FlutterDesktopOnPluginRegistrarDestroyed EngineState::DestructionHandlerOf(
    FlutterDesktopPluginRegistrarRef registrar) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const std::optional<HandleToken> token = DecodeHandle(registrar);
  if (!token || token->engine != id_ || token->kind != HandleKind::kRegistrar ||
      token->serial > registrars_.size()) {
    return nullptr;
  }
  return registrars_[token->serial - 1].destruction_handler;
}

FlutterDesktopMessengerRef EngineState::messenger() const {
  return HandleAs<FlutterDesktopMessenger>(Token(id_, HandleKind::kMessenger, 1));
}

FlutterDesktopTextureRegistrarRef EngineState::texture_registrar() const {
  return HandleAs<FlutterDesktopTextureRegistrar>(Token(id_, HandleKind::kTextureRegistrar, 1));
}

bool EngineState::ShutDown() {
  // Registrars created by destruction callbacks are destroyed too.
  for (uint32_t serial = 1;; ++serial) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (serial > registrars_.size()) break;
    }
    DestroyRegistrar(
        HandleAs<FlutterDesktopPluginRegistrar>(Token(id_, HandleKind::kRegistrar, serial)));
  }
  SetAvailable(false);
  std::lock_guard<std::mutex> lock(mutex_);
  shut_down_ = true;
  return RetireIfDone();
}

const FlutterDesktopMessageResponseHandle* EngineState::Deliver(const std::string& channel,
                                                                const uint8_t* data, size_t size) {
  std::optional<ChannelCallback> callback;
  const FlutterDesktopMessageResponseHandle* handle;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ResponseRecord record;
    record.channel = channel;
    const auto found = channels_.find(channel);
    if (found != channels_.end()) callback = found->second.callback;
    if (!callback) {
      record.answered = true;
      record.answered_by_engine = true;
      record.null_data = true;
    }
    responses_.push_back(std::move(record));
    handle = HandleAs<const FlutterDesktopMessageResponseHandle>(
        Token(id_, HandleKind::kResponse, static_cast<uint32_t>(responses_.size())));
  }
  if (!callback) {
    response_changed_.notify_all();
    return handle;
  }
  const FlutterDesktopMessage message = {sizeof(FlutterDesktopMessage), channel.c_str(), data, size,
                                         handle};
  callback->callback(messenger(), &message, callback->user_data);
  return handle;
}

std::optional<ResponseRecord> EngineState::Response(
    const FlutterDesktopMessageResponseHandle* handle) const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!HandleProblem(handle, HandleKind::kResponse).empty()) return std::nullopt;
  return responses_[DecodeHandle(handle)->serial - 1];
}

bool EngineState::WaitForResponse(const FlutterDesktopMessageResponseHandle* handle,
                                  std::chrono::milliseconds timeout) const {
  std::unique_lock<std::mutex> lock(mutex_);
  if (!HandleProblem(handle, HandleKind::kResponse).empty()) return false;
  // By index: a Deliver while waiting may move the records.
  const size_t index = DecodeHandle(handle)->serial - 1;
  return response_changed_.wait_for(lock, timeout, [this, index] {
    return responses_[index].answered || responses_[index].attempts > 0;
  });
}

std::optional<ChannelCallback> EngineState::CallbackFor(const std::string& channel) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = channels_.find(channel);
  if (found == channels_.end()) return std::nullopt;
  return found->second.callback;
}

void EngineState::SetOutgoingHandler(const std::string& channel, OutgoingHandler handler) {
  OutgoingHandler replaced;  // destroyed after the lock is let go: its captures are the host's
  std::lock_guard<std::mutex> lock(mutex_);
  replaced = std::exchange(channels_[channel].outgoing_handler, std::move(handler));
}

void EngineState::SetRefusing(const std::string& channel, bool refusing) {
  std::lock_guard<std::mutex> lock(mutex_);
  channels_[channel].refusing = refusing;
}

std::vector<SentMessage> EngineState::SentMessages(const std::string& channel) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = channels_.find(channel);
  if (found == channels_.end()) return {};
  return found->second.sent;
}

size_t EngineState::MessengerReferences() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return references_;
}

void EngineState::SetLockAnswersNull(bool answers_null) {
  std::lock_guard<std::mutex> lock(mutex_);
  lock_answers_null_ = answers_null;
}

bool EngineState::MessengerLockHeld() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return lock_owner_ != std::thread::id();
}

void EngineState::SetAvailable(bool available) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (lock_owner_ == std::this_thread::get_id()) {
      available_ = available;
      return;
    }
  }
  std::lock_guard<std::mutex> messenger_lock(messenger_lock_);
  std::lock_guard<std::mutex> lock(mutex_);
  available_ = available;
}

void EngineState::SetNextTextureId(int64_t id) {
  std::lock_guard<std::mutex> lock(mutex_);
  next_texture_id_ = id;
}

void EngineState::SetTextureRegistrationFailure(std::optional<int64_t> failure_value) {
  std::lock_guard<std::mutex> lock(mutex_);
  registration_failure_ = failure_value;
}

std::vector<uint8_t> EngineState::TextureInfoBytes(int64_t id) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = textures_.find(id);
  if (found == textures_.end()) return {};
  return found->second.bytes();
}

std::optional<const FlutterDesktopPixelBuffer*> EngineState::RequestPixelBuffer(int64_t id,
                                                                                size_t width,
                                                                                size_t height) {
  FlutterDesktopPixelBufferTextureCallback callback;
  void* user_data;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = textures_.find(id);
    if (found == textures_.end() || found->second.type() != kFlutterDesktopPixelBufferTexture) {
      return std::nullopt;
    }
    callback = found->second.pixel_callback();
    user_data = found->second.pixel_user_data();
  }
  return callback(width, height, user_data);
}

std::optional<const FlutterDesktopGpuSurfaceDescriptor*> EngineState::RequestSurface(
    int64_t id, size_t width, size_t height) {
  FlutterDesktopGpuSurfaceTextureCallback callback;
  void* user_data;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = textures_.find(id);
    if (found == textures_.end() || found->second.type() != kFlutterDesktopGpuSurfaceTexture) {
      return std::nullopt;
    }
    callback = found->second.surface_callback();
    user_data = found->second.surface_user_data();
  }
  return callback(width, height, user_data);
}

void EngineState::SetMarkFrameResult(bool result) {
  std::lock_guard<std::mutex> lock(mutex_);
  mark_frame_result_ = result;
}

int EngineState::FrameMarks(int64_t id) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = frame_marks_.find(id);
  return found == frame_marks_.end() ? 0 : found->second;
}

bool EngineState::UnregistrationPending(int64_t id) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return std::any_of(unregistrations_.begin(), unregistrations_.end(),
                     [id](const Unregistration& request) { return request.texture_id == id; });
}

bool EngineState::CompleteUnregistration(int64_t id) {
  Unregistration completed{};
  {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found =
        std::find_if(unregistrations_.begin(), unregistrations_.end(),
                     [id](const Unregistration& request) { return request.texture_id == id; });
    if (found == unregistrations_.end()) return false;
    completed = *found;
    unregistrations_.erase(found);
    textures_.erase(id);
  }
  if (completed.callback != nullptr) completed.callback(completed.user_data);
  return true;
}

std::vector<CallRecord> EngineState::Calls() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return log_.records();
}

void EngineState::ClearCalls() {
  std::lock_guard<std::mutex> lock(mutex_);
  log_.Clear();
}

std::vector<std::string> EngineState::Violations() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return violations_;
}

// --- The engine's C functions ---

FlutterDesktopMessengerRef EngineState::GetMessenger(const EngineCall& call,
                                                     FlutterDesktopPluginRegistrarRef registrar) {
  std::lock_guard<std::mutex> lock(mutex_);
  const std::string problem = HandleProblem(registrar, HandleKind::kRegistrar);
  FlutterDesktopMessengerRef result = problem.empty() ? messenger() : nullptr;
  Record(call, CallValue::Handle(result), {problem});
  return result;
}

FlutterDesktopTextureRegistrarRef EngineState::GetTextureRegistrar(
    const EngineCall& call, FlutterDesktopPluginRegistrarRef registrar) {
  std::lock_guard<std::mutex> lock(mutex_);
  const std::string problem = HandleProblem(registrar, HandleKind::kRegistrar);
  FlutterDesktopTextureRegistrarRef result = problem.empty() ? texture_registrar() : nullptr;
  Record(call, CallValue::Handle(result), {problem});
  return result;
}

FlutterDesktopViewRef EngineState::GetView(const EngineCall& call,
                                           FlutterDesktopPluginRegistrarRef registrar) {
  std::lock_guard<std::mutex> lock(mutex_);
  const std::string problem = HandleProblem(registrar, HandleKind::kRegistrar);
  FlutterDesktopViewRef result = nullptr;
  if (problem.empty() && RegistrarAt(registrar).view != 0) {
    result =
        HandleAs<FlutterDesktopView>(Token(id_, HandleKind::kView, RegistrarAt(registrar).view));
  }
  Record(call, CallValue::Handle(result), {problem});
  return result;
}

void EngineState::SetDestructionHandler(const EngineCall& call,
                                        FlutterDesktopPluginRegistrarRef registrar,
                                        FlutterDesktopOnPluginRegistrarDestroyed callback) {
  std::lock_guard<std::mutex> lock(mutex_);
  const std::string problem = HandleProblem(registrar, HandleKind::kRegistrar);
  if (problem.empty()) RegistrarAt(registrar).destruction_handler = callback;
  Record(call, std::nullopt, {problem});
}

void EngineState::SetCallback(const EngineCall& call, FlutterDesktopMessengerRef messenger,
                              const char* channel, FlutterDesktopMessageCallback callback,
                              void* user_data) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string problem = HandleProblem(messenger, HandleKind::kMessenger);
  if (problem.empty() && channel == nullptr) problem = "null channel";
  if (problem.empty()) {
    // A null callback clears the channel, whatever the user data.
    std::optional<ChannelCallback>& stored = channels_[channel].callback;
    if (callback == nullptr) {
      stored.reset();
    } else {
      stored = ChannelCallback{callback, user_data};
    }
  }
  Record(call, std::nullopt, {problem});
}

bool EngineState::Send(const EngineCall& call, FlutterDesktopMessengerRef messenger,
                       const char* channel, const uint8_t* data, size_t size, bool with_reply,
                       FlutterDesktopBinaryReply reply, void* user_data) {
  OutgoingHandler handler;
  SentMessage message;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string problem = HandleProblem(messenger, HandleKind::kMessenger);
    if (problem.empty() && channel == nullptr) problem = "null channel";
    if (problem.empty()) problem = BytesProblem(data, size);
    if (!problem.empty()) {
      Record(call, CallValue::Bool(false), {problem});
      return false;
    }
    Channel& entry = channels_[channel];
    // An engine that has shut down delivers nothing more.
    message.accepted = !entry.refusing && !shut_down_;
    message.with_reply = with_reply;
    message.null_data = data == nullptr;
    message.bytes = Copy(data, size);
    message.reply_callback = reply;
    message.reply_user_data = user_data;
    if (message.accepted && with_reply && reply != nullptr) {
      message.reply = Reply(std::make_shared<ReplyState>(reply, user_data));
    }
    if (message.accepted) handler = entry.outgoing_handler;
    entry.sent.push_back(message);
    Record(call, CallValue::Bool(message.accepted), {});
  }
  if (handler) handler(message.bytes, message.reply);
  return message.accepted;
}

void EngineState::SendResponse(const EngineCall& call, FlutterDesktopMessengerRef messenger,
                               const FlutterDesktopMessageResponseHandle* handle,
                               const uint8_t* data, size_t size) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string problem = HandleProblem(messenger, HandleKind::kMessenger);
    if (problem.empty()) problem = HandleProblem(handle, HandleKind::kResponse);
    if (!problem.empty()) {
      Record(call, std::nullopt, {problem});
      return;
    }
    ResponseRecord& record = responses_[DecodeHandle(handle)->serial - 1];
    ++record.attempts;
    std::vector<std::string> problems;
    const std::string bytes_problem = BytesProblem(data, size);
    if (!bytes_problem.empty()) problems.push_back(bytes_problem);
    if (!available_) {
      problems.push_back("response while the engine is unavailable");
    } else if (record.answered_by_engine) {
      problems.push_back("response to a message the engine answered itself");
    } else if (record.answered) {
      problems.push_back("second response to " + log_.HandleName(handle));
    }
    if (!lock_answers_null_ && lock_owner_ != std::this_thread::get_id()) {
      problems.push_back("response without the messenger lock held by the calling thread");
    }
    if (available_ && !record.answered && bytes_problem.empty()) {
      record.answered = true;
      record.null_data = data == nullptr;
      record.data = data;
      record.bytes = Copy(data, size);
    }
    Record(call, std::nullopt, problems);
  }
  response_changed_.notify_all();
}

FlutterDesktopMessengerRef EngineState::AddRef(const EngineCall& call,
                                               FlutterDesktopMessengerRef messenger) {
  std::lock_guard<std::mutex> lock(mutex_);
  const std::string problem = HandleProblem(messenger, HandleKind::kMessenger);
  if (problem.empty()) ++references_;
  Record(call, CallValue::Handle(messenger), {problem});
  return messenger;
}

bool EngineState::Release(const EngineCall& call, FlutterDesktopMessengerRef messenger) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string problem = HandleProblem(messenger, HandleKind::kMessenger);
  if (problem.empty()) {
    if (references_ == 0) {
      problem = "release without a reference";
    } else {
      --references_;
    }
  }
  Record(call, std::nullopt, {problem});
  return RetireIfDone();
}

bool EngineState::IsAvailable(const EngineCall& call, FlutterDesktopMessengerRef messenger) {
  std::lock_guard<std::mutex> lock(mutex_);
  const std::string problem = HandleProblem(messenger, HandleKind::kMessenger);
  const bool result = problem.empty() && available_;
  Record(call, CallValue::Bool(result), {problem});
  return result;
}

FlutterDesktopMessengerRef EngineState::Lock(const EngineCall& call,
                                             FlutterDesktopMessengerRef messenger) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string problem = HandleProblem(messenger, HandleKind::kMessenger);
    // std::mutex is not recursive: taking it again on the same thread would never return.
    if (problem.empty() && lock_owner_ == std::this_thread::get_id()) {
      problem = "the calling thread holds the messenger lock already";
    }
    if (!problem.empty() || lock_answers_null_) {
      Record(call, CallValue::Handle(nullptr), {problem});
      return nullptr;
    }
  }
  messenger_lock_.lock();
  std::lock_guard<std::mutex> lock(mutex_);
  lock_owner_ = std::this_thread::get_id();
  Record(call, CallValue::Handle(messenger), {});
  return messenger;
}

void EngineState::Unlock(const EngineCall& call, FlutterDesktopMessengerRef messenger) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string problem = HandleProblem(messenger, HandleKind::kMessenger);
  if (problem.empty()) {
    if (lock_owner_ != std::this_thread::get_id()) {
      problem = "unlock without the messenger lock held by the calling thread";
    } else {
      lock_owner_ = std::thread::id();
      messenger_lock_.unlock();
    }
  }
  Record(call, std::nullopt, {problem});
}

int64_t EngineState::RegisterExternalTexture(const EngineCall& call,
                                             FlutterDesktopTextureRegistrarRef texture_registrar,
                                             const FlutterDesktopTextureInfo* info) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string problem = HandleProblem(texture_registrar, HandleKind::kTextureRegistrar);
  if (problem.empty() && info == nullptr) problem = "null texture record";
  if (problem.empty()) {
    const TextureRecord record(*info);
    if (record.type() == kFlutterDesktopPixelBufferTexture) {
      if (record.pixel_callback() == nullptr) problem = "null frame callback";
    } else if (record.type() == kFlutterDesktopGpuSurfaceTexture) {
      if (record.surface_callback() == nullptr) problem = "null frame callback";
    } else {
      problem = "unknown texture type " + std::to_string(record.type());
    }
  }
  int64_t result = -1;
  if (problem.empty()) {
    if (registration_failure_) {
      result = *registration_failure_;
    } else {
      result = next_texture_id_;
      // Wraps instead of overflowing, for a host that starts ids at the top of the range.
      next_texture_id_ = static_cast<int64_t>(static_cast<uint64_t>(next_texture_id_) + 1);
      textures_.insert_or_assign(result, TextureRecord(*info));
    }
  }
  Record(call, CallValue::Integer(result), {problem});
  return result;
}

bool EngineState::MarkExternalTextureFrameAvailable(
    const EngineCall& call, FlutterDesktopTextureRegistrarRef texture_registrar,
    int64_t texture_id) {
  std::lock_guard<std::mutex> lock(mutex_);
  const std::string problem = HandleProblem(texture_registrar, HandleKind::kTextureRegistrar);
  if (problem.empty()) ++frame_marks_[texture_id];
  const bool result = problem.empty() && mark_frame_result_;
  Record(call, CallValue::Bool(result), {problem});
  return result;
}

void EngineState::UnregisterExternalTexture(const EngineCall& call,
                                            FlutterDesktopTextureRegistrarRef texture_registrar,
                                            int64_t texture_id,
                                            FlutterDesktopOnTextureUnregistered callback,
                                            void* user_data) {
  std::lock_guard<std::mutex> lock(mutex_);
  const std::string problem = HandleProblem(texture_registrar, HandleKind::kTextureRegistrar);
  if (problem.empty()) unregistrations_.push_back({texture_id, callback, user_data});
  Record(call, std::nullopt, {problem});
}

void EngineState::RecordForeignCall(CallRecord record, std::string violation) {
  std::lock_guard<std::mutex> lock(mutex_);
  log_.Append(std::move(record));
  violations_.push_back(std::move(violation));
}

// --- Helpers, with mutex_ held ---

std::string EngineState::HandleProblem(const void* handle, HandleKind kind) const {
  const std::string wanted = HandleKindName(kind);
  if (handle == nullptr) return "null " + wanted;
  const std::optional<HandleToken> token = DecodeHandle(handle);
  if (!token) return "not a handle the engine issued";
  const std::string name = log_.HandleName(handle);
  if (token->engine != id_) return name + " is not this engine's " + wanted;
  if (token->kind != kind) return name + " is not a " + wanted;
  switch (kind) {
    case HandleKind::kRegistrar:
      if (token->serial > registrars_.size()) return name + " was never issued";
      if (registrars_[token->serial - 1].state == RegistrarState::kDestroyed) {
        return name + " has been destroyed";
      }
      return {};
    case HandleKind::kResponse:
      if (token->serial > responses_.size()) return name + " was never issued";
      return {};
    case HandleKind::kTextureRegistrar:
      if (token->serial != 1) return name + " was never issued";
      if (shut_down_) return "the engine has shut down";
      return {};
    case HandleKind::kMessenger:
      if (token->serial != 1) return name + " was never issued";
      return {};
    case HandleKind::kView:  // no engine function takes a view
      return {};
  }
  return {};
}

EngineState::Registrar& EngineState::RegistrarAt(const void* handle) {
  return registrars_[DecodeHandle(handle)->serial - 1];
}

void EngineState::Record(const EngineCall& call, const std::optional<CallValue>& result,
                         const std::vector<std::string>& problems) {
  CallRecord record = log_.Render(call, result);
  for (const std::string& problem : problems) {
    if (problem.empty()) continue;
    std::string violation = record.Text() + ": " + problem;
    WriteViolationLine(violation);
    violations_.push_back(std::move(violation));
  }
  log_.Append(std::move(record));
}

bool EngineState::RetireIfDone() {
  if (!shut_down_ || retired_ || references_ != 0) return false;
  retired_ = true;
  return true;
}

}  // namespace engine_host::internal
