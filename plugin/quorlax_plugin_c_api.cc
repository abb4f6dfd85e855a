#include "plugin/quorlax_plugin_c_api.h"

#include "binding/diagnostic.h"
#include "binding/registrar/registrar_table.h"
#include "plugin/quorlax_plugin.h"

void QuorlaxPluginCApiRegisterWithRegistrar(FlutterDesktopPluginRegistrarRef registrar) {
  // The caller is C: no exception may leave.
  try {
    quorlax::QuorlaxPlugin::RegisterWithRegistrar(
        flutter::RegistrarTable::Instance().FindOrCreate(registrar));
  } catch (...) {
    flutter::WriteCurrentExceptionLine("Exception in plugin registration: ");
  }
}
