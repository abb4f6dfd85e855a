#include "binding/registrar/registrar_table.h"

#include <utility>

#include "binding/diagnostic.h"

namespace flutter {
namespace {

std::uintptr_t KeyOf(FlutterDesktopPluginRegistrarRef engine_registrar) {
  return reinterpret_cast<std::uintptr_t>(engine_registrar);
}

}  // namespace

RegistrarTable& RegistrarTable::Instance() {
  // Never destroyed: the engine may destroy registrars until the very end of the process.
  static auto* const table = new RegistrarTable();
  return *table;
}

PluginRegistrarWindows* RegistrarTable::FindOrCreate(
    FlutterDesktopPluginRegistrarRef engine_registrar) {
  auto entry = registrars_.find(KeyOf(engine_registrar));
  if (entry == registrars_.end()) {
    auto wrapper = std::make_unique<PluginRegistrarWindows>(engine_registrar);
    entry = registrars_.emplace(KeyOf(engine_registrar), std::move(wrapper)).first;
  }
  FlutterDesktopPluginRegistrarSetDestructionHandler(engine_registrar, RegistrarDestructionHandler);
  return entry->second.get();
}

void RegistrarTable::Remove(FlutterDesktopPluginRegistrarRef engine_registrar) {
  // Out of the table before it is destroyed, so that the table is whole while plugins go.
  const auto removed = registrars_.extract(KeyOf(engine_registrar));
}

void RegistrarDestructionHandler(FlutterDesktopPluginRegistrarRef engine_registrar) {
  try {
    RegistrarTable::Instance().Remove(engine_registrar);
  } catch (...) {
    WriteCurrentExceptionLine("Exception in a registrar destruction: ");
  }
}

}  // namespace flutter
