// TextureRegistrar: external textures that plugin code hands to the engine.
#ifndef QUORLAX_BINDING_TEXTURE_TEXTURE_REGISTRAR_H_
#define QUORLAX_BINDING_TEXTURE_TEXTURE_REGISTRAR_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <variant>

#include "engine_api/engine_api.h"

namespace flutter {

// A texture whose frames are pixel buffers. `copy_pixels` is called with the size the engine
// wants and returns the engine's pixel-buffer record, which the registrar passes on untouched.
struct PixelSource {
  std::function<const FlutterDesktopPixelBuffer*(std::size_t width, std::size_t height)>
      copy_pixels;
};

// A texture whose frames are GPU surfaces. `surface_type` goes to the engine unchanged.
struct SurfaceSource {
  int32_t surface_type = 0;
  std::function<const FlutterDesktopGpuSurfaceDescriptor*(std::size_t width, std::size_t height)>
      describe_surface;
};

// Exactly one kind of source (the index is the engine's texture type: 0 pixels, 1 surface). One
// left holding neither by a failed assignment is treated like a null source.
using TextureSource = std::variant<PixelSource, SurfaceSource>;

// Every operation goes straight to the engine; the engine's texture ids are the only record.
class TextureRegistrar {
 public:
  virtual ~TextureRegistrar() = default;

  TextureRegistrar(const TextureRegistrar&) = delete;
  TextureRegistrar& operator=(const TextureRegistrar&) = delete;

  // Registers the texture `source` describes and returns the engine's id for it, unchanged,
  // whatever it is. A null source, or one holding neither kind, writes "Attempting to register
  // unknown texture variant." and returns -1 without calling the engine.
  //
  // The engine calls back with `source` for every frame, so it is borrowed and must stay alive,
  // at the same address, until the texture has been unregistered.
  virtual int64_t RegisterExternalTexture(TextureSource* source) = 0;

  // Tells the engine the texture has a new frame; returns the engine's answer.
  virtual bool MarkExternalTextureFrameAvailable(int64_t texture_id) = 0;

  // Unregisters the texture; returns true, whatever the engine makes of the id.
  virtual bool UnregisterExternalTexture(int64_t texture_id) = 0;

  // Unregisters the texture. A non-empty `completion` is called once, on whichever thread the
  // engine says the unregistration is complete; if the engine never says so, it is never called
  // nor freed.
  virtual void UnregisterExternalTexture(int64_t texture_id, std::function<void()> completion) = 0;

 protected:
  TextureRegistrar() = default;
};

}  // namespace flutter

#endif  // QUORLAX_BINDING_TEXTURE_TEXTURE_REGISTRAR_H_
