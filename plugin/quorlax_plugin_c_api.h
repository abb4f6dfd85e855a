// The module's one export.
#ifndef QUORLAX_PLUGIN_QUORLAX_PLUGIN_C_API_H_
#define QUORLAX_PLUGIN_QUORLAX_PLUGIN_C_API_H_

#include "engine_api/engine_api.h"

#if defined(_WIN32)
#if defined(QUORLAX_PLUGIN_IMPLEMENTATION)
#define QUORLAX_PLUGIN_EXPORT __declspec(dllexport)
#else
#define QUORLAX_PLUGIN_EXPORT __declspec(dllimport)
#endif
#elif defined(__GNUC__)
#define QUORLAX_PLUGIN_EXPORT __attribute__((visibility("default")))
#else
#define QUORLAX_PLUGIN_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

// Registers the plugin on the engine whose registrar this is: from then on the engine's channel
// "quorlax" answers "getPlatformVersion". Call it on the thread the engine registers plugins on,
// once per engine (a second call registers a second, equivalent plugin object). Reports nothing;
// should registration fail (memory), it writes "Exception in plugin registration: " and the
// error's text as a line on standard error.
QUORLAX_PLUGIN_EXPORT void QuorlaxPluginCApiRegisterWithRegistrar(
    FlutterDesktopPluginRegistrarRef registrar);

#ifdef __cplusplus
}  // extern "C"
#endif

#endif  // QUORLAX_PLUGIN_QUORLAX_PLUGIN_C_API_H_
