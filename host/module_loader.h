// Loads the plugin module at run time, as an application does, and finds its export.
#ifndef QUORLAX_HOST_MODULE_LOADER_H_
#define QUORLAX_HOST_MODULE_LOADER_H_

#include <memory>
#include <string>

#include "engine_api/engine_api.h"

namespace quorlax_host {

using RegisterWithRegistrar = void (*)(FlutterDesktopPluginRegistrarRef registrar);

// A loaded module. The module stays loaded for the life of the process, since the engine and
// the registrar table keep pointers into it that nothing takes back.
class LoadedModule {
 public:
  // Loads the module at `path` (UTF-8) and looks up QuorlaxPluginCApiRegisterWithRegistrar.
  // Null, with `*error` saying why, when either fails.
  static std::unique_ptr<LoadedModule> Load(const std::string& path, std::string* error);

  RegisterWithRegistrar register_with_registrar() const { return register_with_registrar_; }

 private:
  explicit LoadedModule(RegisterWithRegistrar function) : register_with_registrar_(function) {}

  RegisterWithRegistrar register_with_registrar_;
};

// Where the module is by default: beside the running executable, or, in an installed layout,
// in the library folder next to the executable's folder; the first that exists.
std::string DefaultModulePath();

}  // namespace quorlax_host

#endif  // QUORLAX_HOST_MODULE_LOADER_H_
