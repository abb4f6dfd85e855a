#include "platform/engine/handle_token.h"

namespace engine_host::internal {
namespace {

static_assert(sizeof(uintptr_t) == 8, "handle tokens need 64-bit pointers");

// Layout, from the top bit down: 4 marker bits (0101, which makes the value non-canonical),
// 24 bits of engine id, 4 bits of kind, 32 bits of serial.
constexpr uintptr_t kMarker = uintptr_t{0x5} << 60;
constexpr int kEngineShift = 36;
constexpr int kKindShift = 32;
constexpr uintptr_t kEngineMask = 0xFFFFFF;
constexpr uintptr_t kKindMask = 0xF;
constexpr uintptr_t kSerialMask = 0xFFFFFFFF;

}  // namespace

const char* HandleKindName(HandleKind kind) {
  switch (kind) {
    case HandleKind::kRegistrar:
      return "registrar";
    case HandleKind::kMessenger:
      return "messenger";
    case HandleKind::kTextureRegistrar:
      return "texture-registrar";
    case HandleKind::kView:
      return "view";
    case HandleKind::kResponse:
      return "response";
  }
  return "handle";
}

uintptr_t EncodeHandle(const HandleToken& token) {
  return kMarker | ((uintptr_t{token.engine} & kEngineMask) << kEngineShift) |
         (uintptr_t{static_cast<uint8_t>(token.kind)} << kKindShift) |
         (uintptr_t{token.serial} & kSerialMask);
}

std::optional<HandleToken> DecodeHandle(const void* handle) {
  const auto value = reinterpret_cast<uintptr_t>(handle);
  if ((value >> 60) != (kMarker >> 60)) return std::nullopt;
  HandleToken token;
  token.engine = static_cast<uint32_t>((value >> kEngineShift) & kEngineMask);
  const auto kind = static_cast<uint8_t>((value >> kKindShift) & kKindMask);
  token.serial = static_cast<uint32_t>(value & kSerialMask);
  if (token.engine == 0 || token.serial == 0 ||
      kind < static_cast<uint8_t>(HandleKind::kRegistrar) ||
      kind > static_cast<uint8_t>(HandleKind::kResponse)) {
    return std::nullopt;
  }
  token.kind = static_cast<HandleKind>(kind);
  return token;
}

}  // namespace engine_host::internal
