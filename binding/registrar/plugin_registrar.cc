#include "binding/registrar/plugin_registrar.h"

#include <iterator>
#include <utility>

#include "binding/messaging/binary_messenger_impl.h"
#include "binding/texture/texture_registrar_impl.h"

namespace flutter {

PluginRegistrar::PluginRegistrar(FlutterDesktopPluginRegistrarRef engine_registrar)
    : engine_registrar_(engine_registrar) {
  messenger_ = std::make_unique<BinaryMessengerImpl>(
      FlutterDesktopPluginRegistrarGetMessenger(engine_registrar_));
  texture_registrar_ = std::make_unique<TextureRegistrarImpl>(
      FlutterDesktopRegistrarGetTextureRegistrar(engine_registrar_));
}

PluginRegistrar::~PluginRegistrar() {
  DestroyPlugins();
  messenger_.reset();
  texture_registrar_.reset();
}

void PluginRegistrar::AdoptPlugin(std::unique_ptr<Plugin> plugin) {
  plugins_.insert(std::move(plugin));
}

void PluginRegistrar::DestroyPlugins() {
  while (!plugins_.empty()) {
    // Out of the set first, so that the set stays consistent while the plugin goes.
    plugins_.extract(std::prev(plugins_.end())).value().reset();
  }
}

}  // namespace flutter
