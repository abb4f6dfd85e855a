#include "platform/engine/texture_record.h"

#include <cstring>

namespace engine_host::internal {
namespace {

constexpr size_t kPixelConfig = offsetof(FlutterDesktopTextureInfo, pixel_buffer_config);
constexpr size_t kSurfaceConfig = offsetof(FlutterDesktopTextureInfo, gpu_surface_config);

}  // namespace

TextureRecord::TextureRecord(const FlutterDesktopTextureInfo& info) {
  std::memcpy(bytes_.data(), &info, kSize);
}

template <typename T>
T TextureRecord::Read(size_t offset) const {
  T value;
  std::memcpy(&value, bytes_.data() + offset, sizeof(T));
  return value;
}

int32_t TextureRecord::type() const {
  return Read<int32_t>(offsetof(FlutterDesktopTextureInfo, type));
}

std::vector<uint8_t> TextureRecord::bytes() const { return {bytes_.begin(), bytes_.end()}; }

FlutterDesktopPixelBufferTextureCallback TextureRecord::pixel_callback() const {
  return Read<FlutterDesktopPixelBufferTextureCallback>(
      kPixelConfig + offsetof(FlutterDesktopPixelBufferTextureConfig, callback));
}

void* TextureRecord::pixel_user_data() const {
  return Read<void*>(kPixelConfig + offsetof(FlutterDesktopPixelBufferTextureConfig, user_data));
}

size_t TextureRecord::surface_struct_size() const {
  return Read<size_t>(kSurfaceConfig +
                      offsetof(FlutterDesktopGpuSurfaceTextureConfig, struct_size));
}

int32_t TextureRecord::surface_type() const {
  return Read<int32_t>(kSurfaceConfig + offsetof(FlutterDesktopGpuSurfaceTextureConfig, type));
}

FlutterDesktopGpuSurfaceTextureCallback TextureRecord::surface_callback() const {
  return Read<FlutterDesktopGpuSurfaceTextureCallback>(
      kSurfaceConfig + offsetof(FlutterDesktopGpuSurfaceTextureConfig, callback));
}

void* TextureRecord::surface_user_data() const {
  return Read<void*>(kSurfaceConfig + offsetof(FlutterDesktopGpuSurfaceTextureConfig, user_data));
}

}  // namespace engine_host::internal
