// PluginRegistrarWindows: the registrar of a Windows engine, with its view.
#ifndef QUORLAX_BINDING_REGISTRAR_PLUGIN_REGISTRAR_WINDOWS_H_
#define QUORLAX_BINDING_REGISTRAR_PLUGIN_REGISTRAR_WINDOWS_H_

#include <memory>

#include "binding/registrar/flutter_view.h"
#include "binding/registrar/plugin_registrar.h"
#include "engine_api/engine_api.h"

namespace flutter {

// A PluginRegistrar that also holds the engine's view, when the engine reports one. Destruction
// makes no engine call and destroys, in this order: the plugins, the view, the messenger and the
// texture registrar.
//
// Threading: as PluginRegistrar.
class PluginRegistrarWindows final : public PluginRegistrar {
 public:
  explicit PluginRegistrarWindows(FlutterDesktopPluginRegistrarRef engine_registrar);
  ~PluginRegistrarWindows() override;

  // The view, or null for a registrar without one. Valid while the registrar lives.
  FlutterView* GetView() const noexcept { return view_.get(); }

 private:
  std::unique_ptr<FlutterView> view_;
};

}  // namespace flutter

#endif  // QUORLAX_BINDING_REGISTRAR_PLUGIN_REGISTRAR_WINDOWS_H_
