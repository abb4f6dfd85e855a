// The log of the engine calls one engine received, rendered as the host reads them (the format is
// described at CallRecord in engine_host.h).
#ifndef QUORLAX_PLATFORM_ENGINE_CALL_LOG_H_
#define QUORLAX_PLATFORM_ENGINE_CALL_LOG_H_

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "engine_api/engine_api.h"
#include "platform/engine/engine_host.h"

namespace engine_host::internal {

// One argument or result of an engine call, held raw until the log renders it. Bytes, channel
// names and texture records are borrowed: they are rendered during the engine call that they
// belong to, while the caller still keeps them.
class CallValue {
 public:
  static CallValue Handle(const void* handle);
  template <typename Function>
  static CallValue Callback(Function function) {
    return CallValue(Kind::kCallback, nullptr, reinterpret_cast<uintptr_t>(function), 0);
  }
  static CallValue Pointer(const void* pointer);
  static CallValue Bytes(const uint8_t* data, size_t size);
  static CallValue Channel(const char* channel);
  static CallValue Size(size_t size);
  static CallValue Integer(int64_t value);
  static CallValue Bool(bool value);
  static CallValue TextureInfo(const FlutterDesktopTextureInfo* info);

 private:
  friend class CallLog;
  enum class Kind { kHandle, kCallback, kPointer, kBytes, kChannel, kSize, kInteger, kBool, kInfo };

  CallValue(Kind kind, const void* pointer, uintptr_t number, size_t size)
      : kind_(kind), pointer_(pointer), number_(number), size_(size) {}

  Kind kind_;
  const void* pointer_;
  uintptr_t number_;  // callback address, integer bits or bool
  size_t size_;
};

// A call as the engine received it.
struct EngineCall {
  const char* function;
  std::vector<CallValue> arguments;
};

// Not synchronised: the engine that owns it guards it with its state lock.
class CallLog {
 public:
  // Handles of `engine_id` are named "kind#serial"; 0 names every handle as another engine's.
  explicit CallLog(uint32_t engine_id);

  CallRecord Render(const EngineCall& call, const std::optional<CallValue>& result);
  std::string HandleName(const void* handle) const;
  void Append(CallRecord record);
  const std::vector<CallRecord>& records() const { return records_; }
  void Clear();

 private:
  std::string RenderValue(const CallValue& value);
  // "fn#N" / "ptr#N", N counted by first appearance; "null" for 0.
  static std::string ForeignName(std::map<uintptr_t, int>& names, const char* prefix,
                                 uintptr_t address);

  uint32_t engine_id_;
  std::map<uintptr_t, int> callback_names_;
  std::map<uintptr_t, int> pointer_names_;
  std::vector<CallRecord> records_;
};

}  // namespace engine_host::internal

#endif  // QUORLAX_PLATFORM_ENGINE_CALL_LOG_H_
