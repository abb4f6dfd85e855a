// The values the stand-in engine hands out as handles.
//
// A handle is a token, not an address: it encodes the issuing engine, the kind of object and a
// per-engine, per-kind serial number, and no two handles the process issues are alike. So the
// engine recognises a stale, foreign or forged handle without touching memory, and names each
// handle it issued in the call log. Every token lies in a range of non-canonical x86-64 addresses,
// which no object can occupy: a module that dereferences a handle faults at once.
#ifndef QUORLAX_PLATFORM_ENGINE_HANDLE_TOKEN_H_
#define QUORLAX_PLATFORM_ENGINE_HANDLE_TOKEN_H_

#include <cstdint>
#include <optional>

namespace engine_host::internal {

enum class HandleKind : uint8_t {
  kRegistrar = 1,
  kMessenger,
  kTextureRegistrar,
  kView,
  kResponse,
};

// How the call log names the kind: "registrar", "messenger", "texture-registrar", "view",
// "response".
const char* HandleKindName(HandleKind kind);

struct HandleToken {
  uint32_t engine = 0;  // 1 .. 2^24 - 1, the issuing engine's id
  HandleKind kind = HandleKind::kRegistrar;
  uint32_t serial = 0;  // 1 .. 2^32 - 1, counted per engine and kind
};

uintptr_t EncodeHandle(const HandleToken& token);

// The token a handle value carries; empty for null and for any value the engine never issues.
std::optional<HandleToken> DecodeHandle(const void* handle);

template <typename T>
T* HandleAs(const HandleToken& token) {
  return reinterpret_cast<T*>(EncodeHandle(token));
}

}  // namespace engine_host::internal

#endif  // QUORLAX_PLATFORM_ENGINE_HANDLE_TOKEN_H_
