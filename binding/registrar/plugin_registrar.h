// PluginRegistrar: the module's object for one engine registrar.
#ifndef QUORLAX_BINDING_REGISTRAR_PLUGIN_REGISTRAR_H_
#define QUORLAX_BINDING_REGISTRAR_PLUGIN_REGISTRAR_H_

#include <cstdint>
#include <memory>
#include <set>

#include "binding/messaging/binary_messenger.h"
#include "binding/registrar/plugin.h"
#include "binding/texture/texture_registrar.h"
#include "engine_api/engine_api.h"

namespace flutter {

// Gives plugins the registrar's messenger and texture registrar, and owns the plugins registered
// on it. Construction asks the engine for the messenger, then the texture registrar; destruction
// makes no engine call and destroys the plugins (in descending order of address), then the
// messenger, then the texture registrar, so plugins can still use both as they go.
//
// The engine registrar is borrowed. Threading: built, used and destroyed on the thread on which
// the engine calls the module's registration and the registrar's destruction callback.
class PluginRegistrar {
 public:
  explicit PluginRegistrar(FlutterDesktopPluginRegistrarRef engine_registrar);
  virtual ~PluginRegistrar();

  PluginRegistrar(const PluginRegistrar&) = delete;
  PluginRegistrar& operator=(const PluginRegistrar&) = delete;

  // Valid, and the same object, for the registrar's whole life.
  BinaryMessenger* GetMessenger() const noexcept { return messenger_.get(); }
  TextureRegistrar* GetTextureRegistrar() const noexcept { return texture_registrar_.get(); }

  // Keeps `plugin` until the registrar is destroyed. Should the set not take it (its memory
  // cannot be had), the plugin is destroyed and the error goes on.
  void AdoptPlugin(std::unique_ptr<Plugin> plugin);

 protected:
  // Destroys every adopted plugin, in descending order of address, and leaves none.
  void DestroyPlugins();

 private:
  struct ByAddress {
    bool operator()(const std::unique_ptr<Plugin>& a, const std::unique_ptr<Plugin>& b) const {
      return reinterpret_cast<std::uintptr_t>(a.get()) < reinterpret_cast<std::uintptr_t>(b.get());
    }
  };

  FlutterDesktopPluginRegistrarRef engine_registrar_;
  std::unique_ptr<BinaryMessenger> messenger_;
  std::unique_ptr<TextureRegistrar> texture_registrar_;
  std::set<std::unique_ptr<Plugin>, ByAddress> plugins_;
};

}  // namespace flutter

#endif  // QUORLAX_BINDING_REGISTRAR_PLUGIN_REGISTRAR_H_
