// TextureRegistrarImpl: the TextureRegistrar over the engine's texture registrar.
#ifndef QUORLAX_BINDING_TEXTURE_TEXTURE_REGISTRAR_IMPL_H_
#define QUORLAX_BINDING_TEXTURE_TEXTURE_REGISTRAR_IMPL_H_

#include <cstdint>
#include <functional>

#include "binding/texture/texture_registrar.h"
#include "engine_api/engine_api.h"

namespace flutter {

// The engine texture registrar is borrowed. Destruction makes no engine call: textures registered
// through the registrar stay registered.
//
// The engine asks for frames through plain callbacks with the TextureSource as user data; each
// makes exactly one call of the source's callable, with no allocation. A callable that is empty
// or throws gives the engine no frame (a null record) and writes "Exception in a texture frame
// callback: " with the error's text. Likewise a completion that throws writes "Exception in a
// texture unregistration callback: " and its text.
//
// Threading: no state of its own beyond the handle, so any thread; the callbacks run on the
// engine's threads and touch only the source or their own holder.
class TextureRegistrarImpl : public TextureRegistrar {
 public:
  explicit TextureRegistrarImpl(FlutterDesktopTextureRegistrarRef engine_texture_registrar) noexcept
      : engine_texture_registrar_(engine_texture_registrar) {}
  ~TextureRegistrarImpl() override = default;

  int64_t RegisterExternalTexture(TextureSource* source) override;
  bool MarkExternalTextureFrameAvailable(int64_t texture_id) override;
  bool UnregisterExternalTexture(int64_t texture_id) override;
  void UnregisterExternalTexture(int64_t texture_id, std::function<void()> completion) override;

 private:
  FlutterDesktopTextureRegistrarRef engine_texture_registrar_;
};

}  // namespace flutter

#endif  // QUORLAX_BINDING_TEXTURE_TEXTURE_REGISTRAR_IMPL_H_
