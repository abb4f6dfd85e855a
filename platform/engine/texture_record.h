// The 40-byte record a texture was registered with, as the engine keeps it: copied byte for byte
// and read field by field at the record's offsets, so what the host sees is exactly what the
// module wrote, padding included, and no union member is read that the module did not write.
#ifndef QUORLAX_PLATFORM_ENGINE_TEXTURE_RECORD_H_
#define QUORLAX_PLATFORM_ENGINE_TEXTURE_RECORD_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine_api/engine_api.h"

namespace engine_host::internal {

class TextureRecord {
 public:
  static constexpr size_t kSize = sizeof(FlutterDesktopTextureInfo);

  explicit TextureRecord(const FlutterDesktopTextureInfo& info);

  int32_t type() const;
  std::vector<uint8_t> bytes() const;

  // Fields of a pixel-buffer record (type 0).
  FlutterDesktopPixelBufferTextureCallback pixel_callback() const;
  void* pixel_user_data() const;

  // Fields of a GPU-surface record (type 1).
  size_t surface_struct_size() const;
  int32_t surface_type() const;
  FlutterDesktopGpuSurfaceTextureCallback surface_callback() const;
  void* surface_user_data() const;

 private:
  template <typename T>
  T Read(size_t offset) const;

  std::array<uint8_t, kSize> bytes_{};
};

}  // namespace engine_host::internal

#endif  // QUORLAX_PLATFORM_ENGINE_TEXTURE_RECORD_H_
