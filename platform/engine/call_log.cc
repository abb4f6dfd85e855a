#include "platform/engine/call_log.h"

#include <cstdio>
#include <utility>

#include "platform/engine/handle_token.h"
#include "platform/engine/texture_record.h"

namespace engine_host::internal {
namespace {

std::string Hex(const uint8_t* data, size_t size) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(size * 3);
  for (size_t i = 0; i < size; ++i) {
    if (i != 0) text += ' ';
    text += kDigits[data[i] >> 4];
    text += kDigits[data[i] & 0xF];
  }
  return text;
}

// Quoted, with quotes, backslashes and bytes outside printable ASCII escaped.
std::string Quoted(const char* text) {
  std::string quoted = "\"";
  for (const char* c = text; *c != '\0'; ++c) {
    const auto byte = static_cast<unsigned char>(*c);
    if (byte == '"' || byte == '\\') {
      quoted += '\\';
      quoted += *c;
    } else if (byte < 0x20 || byte > 0x7E) {
      char escape[5];
      std::snprintf(escape, sizeof(escape), "\\x%02X", byte);
      quoted += escape;
    } else {
      quoted += *c;
    }
  }
  return quoted + "\"";
}

}  // namespace

CallValue CallValue::Handle(const void* handle) { return CallValue(Kind::kHandle, handle, 0, 0); }

CallValue CallValue::Pointer(const void* pointer) {
  return CallValue(Kind::kPointer, pointer, 0, 0);
}

CallValue CallValue::Bytes(const uint8_t* data, size_t size) {
  return CallValue(Kind::kBytes, data, 0, size);
}

CallValue CallValue::Channel(const char* channel) {
  return CallValue(Kind::kChannel, channel, 0, 0);
}

CallValue CallValue::Size(size_t size) { return CallValue(Kind::kSize, nullptr, 0, size); }

CallValue CallValue::Integer(int64_t value) {
  return CallValue(Kind::kInteger, nullptr, static_cast<uintptr_t>(value), 0);
}

CallValue CallValue::Bool(bool value) { return CallValue(Kind::kBool, nullptr, value ? 1 : 0, 0); }

CallValue CallValue::TextureInfo(const FlutterDesktopTextureInfo* info) {
  return CallValue(Kind::kInfo, info, 0, 0);
}

CallLog::CallLog(uint32_t engine_id) : engine_id_(engine_id) {}

CallRecord CallLog::Render(const EngineCall& call, const std::optional<CallValue>& result) {
  CallRecord record;
  record.function = call.function;
  for (const CallValue& argument : call.arguments)
    record.arguments.push_back(RenderValue(argument));
  if (result) record.result = RenderValue(*result);
  return record;
}

std::string CallLog::HandleName(const void* handle) const {
  if (handle == nullptr) return "null";
  const std::optional<HandleToken> token = DecodeHandle(handle);
  if (!token) return "unknown-handle";
  std::string name = HandleKindName(token->kind) + ("#" + std::to_string(token->serial));
  if (token->engine != engine_id_) name += " of another engine";
  return name;
}

void CallLog::Append(CallRecord record) { records_.push_back(std::move(record)); }

void CallLog::Clear() { records_.clear(); }

std::string CallLog::ForeignName(std::map<uintptr_t, int>& names, const char* prefix,
                                 uintptr_t address) {
  if (address == 0) return "null";
  const auto inserted = names.emplace(address, static_cast<int>(names.size()) + 1);
  return prefix + std::to_string(inserted.first->second);
}

std::string CallLog::RenderValue(const CallValue& value) {
  switch (value.kind_) {
    case CallValue::Kind::kHandle:
      return HandleName(value.pointer_);
    case CallValue::Kind::kCallback:
      return ForeignName(callback_names_, "fn#", value.number_);
    case CallValue::Kind::kPointer:
      return ForeignName(pointer_names_, "ptr#", reinterpret_cast<uintptr_t>(value.pointer_));
    case CallValue::Kind::kBytes:
      if (value.pointer_ == nullptr) return "null";
      if (value.size_ == 0) return "empty";
      return Hex(static_cast<const uint8_t*>(value.pointer_), value.size_);
    case CallValue::Kind::kChannel:
      return value.pointer_ == nullptr ? "null" : Quoted(static_cast<const char*>(value.pointer_));
    case CallValue::Kind::kSize:
      return std::to_string(value.size_);
    case CallValue::Kind::kInteger:
      return std::to_string(static_cast<int64_t>(value.number_));
    case CallValue::Kind::kBool:
      return value.number_ != 0 ? "true" : "false";
    case CallValue::Kind::kInfo: {
      if (value.pointer_ == nullptr) return "null";
      const TextureRecord record(*static_cast<const FlutterDesktopTextureInfo*>(value.pointer_));
      const std::string type = "{type " + std::to_string(record.type());
      if (record.type() == kFlutterDesktopPixelBufferTexture) {
        return type + ", " +
               ForeignName(callback_names_, "fn#",
                           reinterpret_cast<uintptr_t>(record.pixel_callback())) +
               ", " +
               ForeignName(pointer_names_, "ptr#",
                           reinterpret_cast<uintptr_t>(record.pixel_user_data())) +
               "}";
      }
      if (record.type() == kFlutterDesktopGpuSurfaceTexture) {
        return type + ", size " + std::to_string(record.surface_struct_size()) + ", surface " +
               std::to_string(record.surface_type()) + ", " +
               ForeignName(callback_names_, "fn#",
                           reinterpret_cast<uintptr_t>(record.surface_callback())) +
               ", " +
               ForeignName(pointer_names_, "ptr#",
                           reinterpret_cast<uintptr_t>(record.surface_user_data())) +
               "}";
      }
      return type + "}";
    }
  }
  return "?";
}

}  // namespace engine_host::internal
