// RegistrarTable: one PluginRegistrarWindows per engine registrar, for as long as the engine keeps
// that registrar.
#ifndef QUORLAX_BINDING_REGISTRAR_REGISTRAR_TABLE_H_
#define QUORLAX_BINDING_REGISTRAR_REGISTRAR_TABLE_H_

#include <cstdint>
#include <map>
#include <memory>

#include "binding/registrar/plugin_registrar_windows.h"
#include "engine_api/engine_api.h"

namespace flutter {

// The process-wide table from engine registrar handle to wrapper. It owns the wrappers; it is
// made on first use and never destroyed, so a wrapper still in it when the process ends is not
// destroyed by the module.
//
// Threading: only the table's creation is synchronised. FindOrCreate and the destruction callback
// run one at a time, on the thread on which the engine calls the module's registration and the
// registrar's destruction callback.
class RegistrarTable {
 public:
  static RegistrarTable& Instance();

  RegistrarTable(const RegistrarTable&) = delete;
  RegistrarTable& operator=(const RegistrarTable&) = delete;

  // The wrapper for `engine_registrar`, built on its first look-up (asking the engine for the
  // registrar's messenger, texture registrar and view). Every look-up installs the table's
  // destruction callback with the engine. The wrapper is valid until the engine destroys the
  // registrar.
  PluginRegistrarWindows* FindOrCreate(FlutterDesktopPluginRegistrarRef engine_registrar);

 private:
  friend void RegistrarDestructionHandler(FlutterDesktopPluginRegistrarRef engine_registrar);

  RegistrarTable() = default;

  // Destroys the wrapper of `engine_registrar`, if there is one.
  void Remove(FlutterDesktopPluginRegistrarRef engine_registrar);

  std::map<std::uintptr_t, std::unique_ptr<PluginRegistrarWindows>> registrars_;
};

// The destruction callback the engine calls as it destroys a registrar: destroys that registrar's
// wrapper and with it its plugins. A handle never looked up changes nothing. No exception leaves
// it: one from below writes "Exception in a registrar destruction: " and its text.
void RegistrarDestructionHandler(FlutterDesktopPluginRegistrarRef engine_registrar);

}  // namespace flutter

#endif  // QUORLAX_BINDING_REGISTRAR_REGISTRAR_TABLE_H_
