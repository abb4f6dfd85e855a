#include "binding/texture/texture_registrar_impl.h"

#include <cstring>
#include <memory>
#include <utility>

#include "binding/diagnostic.h"

namespace flutter {
namespace {

const FlutterDesktopPixelBuffer* OnPixelRequest(std::size_t width, std::size_t height,
                                                void* user_data) {
  try {
    return std::get<PixelSource>(*static_cast<TextureSource*>(user_data))
        .copy_pixels(width, height);
  } catch (...) {
    WriteCurrentExceptionLine("Exception in a texture frame callback: ");
    return nullptr;
  }
}

const FlutterDesktopGpuSurfaceDescriptor* OnSurfaceRequest(std::size_t width, std::size_t height,
                                                           void* user_data) {
  try {
    return std::get<SurfaceSource>(*static_cast<TextureSource*>(user_data))
        .describe_surface(width, height);
  } catch (...) {
    WriteCurrentExceptionLine("Exception in a texture frame callback: ");
    return nullptr;
  }
}

// `user_data` is the holder of the completion; called once, it frees the holder.
void OnTextureUnregistered(void* user_data) {
  const std::unique_ptr<std::function<void()>> holder(
      static_cast<std::function<void()>*>(user_data));
  try {
    (*holder)();
  } catch (...) {
    WriteCurrentExceptionLine("Exception in a texture unregistration callback: ");
  }
}

}  // namespace

int64_t TextureRegistrarImpl::RegisterExternalTexture(TextureSource* source) {
  if (source == nullptr || source->valueless_by_exception()) {
    WriteDiagnosticLine("Attempting to register unknown texture variant.");
    return -1;
  }
  // Every byte the kind does not use is zero.
  FlutterDesktopTextureInfo info;
  std::memset(&info, 0, sizeof(info));
  if (std::holds_alternative<PixelSource>(*source)) {
    info.type = kFlutterDesktopPixelBufferTexture;
    info.pixel_buffer_config.callback = OnPixelRequest;
    info.pixel_buffer_config.user_data = source;
  } else {
    info.type = kFlutterDesktopGpuSurfaceTexture;
    info.gpu_surface_config.struct_size = sizeof(FlutterDesktopGpuSurfaceTextureConfig);
    info.gpu_surface_config.type = std::get<SurfaceSource>(*source).surface_type;
    info.gpu_surface_config.callback = OnSurfaceRequest;
    info.gpu_surface_config.user_data = source;
  }
  return FlutterDesktopTextureRegistrarRegisterExternalTexture(engine_texture_registrar_, &info);
}

bool TextureRegistrarImpl::MarkExternalTextureFrameAvailable(int64_t texture_id) {
  return FlutterDesktopTextureRegistrarMarkExternalTextureFrameAvailable(engine_texture_registrar_,
                                                                         texture_id);
}

bool TextureRegistrarImpl::UnregisterExternalTexture(int64_t texture_id) {
  // Through the virtual operation, so that a derived registrar's version is the one used.
  UnregisterExternalTexture(texture_id, nullptr);
  return true;
}

void TextureRegistrarImpl::UnregisterExternalTexture(int64_t texture_id,
                                                     std::function<void()> completion) {
  if (!completion) {
    FlutterDesktopTextureRegistrarUnregisterExternalTexture(engine_texture_registrar_, texture_id,
                                                            nullptr, nullptr);
    return;
  }
  auto holder = std::make_unique<std::function<void()>>(std::move(completion));
  FlutterDesktopTextureRegistrarUnregisterExternalTexture(engine_texture_registrar_, texture_id,
                                                          OnTextureUnregistered, holder.release());
}

}  // namespace flutter
