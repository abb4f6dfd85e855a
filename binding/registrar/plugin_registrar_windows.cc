#include "binding/registrar/plugin_registrar_windows.h"

namespace flutter {

PluginRegistrarWindows::PluginRegistrarWindows(FlutterDesktopPluginRegistrarRef engine_registrar)
    : PluginRegistrar(engine_registrar) {
  if (FlutterDesktopViewRef view = FlutterDesktopPluginRegistrarGetView(engine_registrar)) {
    view_ = std::make_unique<FlutterView>(view);
  }
}

PluginRegistrarWindows::~PluginRegistrarWindows() {
  // Plugins first, while the view, the messenger and the texture registrar all still exist.
  DestroyPlugins();
  view_.reset();
}

}  // namespace flutter
