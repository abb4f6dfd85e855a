// The engine's C API, as this module uses it: the sixteen functions of flutter_windows.dll, the
// opaque handles they take, the two records the module reads or fills, and the shapes of the C
// callbacks the module hands to the engine.
//
// Handles are owned by the engine. The module never destroys one; of the messenger it only takes
// and gives back counted references (FlutterDesktopMessengerAddRef / ...Release).
//
// On Windows the functions are imported from flutter_windows.dll; elsewhere from a shared library
// of the same name (the stand-in engine in platform/engine). Any library that provides them can
// stand in.
#ifndef QUORLAX_ENGINE_API_ENGINE_API_H_
#define QUORLAX_ENGINE_API_ENGINE_API_H_

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#if defined(FLUTTER_ENGINE_IMPLEMENTATION)
#define FLUTTER_ENGINE_EXPORT __declspec(dllexport)
#else
#define FLUTTER_ENGINE_EXPORT __declspec(dllimport)
#endif
#elif defined(__GNUC__) && defined(FLUTTER_ENGINE_IMPLEMENTATION)
#define FLUTTER_ENGINE_EXPORT __attribute__((visibility("default")))
#else
#define FLUTTER_ENGINE_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

// Opaque engine handles.
typedef struct FlutterDesktopPluginRegistrar* FlutterDesktopPluginRegistrarRef;
typedef struct FlutterDesktopMessenger* FlutterDesktopMessengerRef;
typedef struct FlutterDesktopTextureRegistrar* FlutterDesktopTextureRegistrarRef;
typedef struct FlutterDesktopView* FlutterDesktopViewRef;
typedef struct FlutterDesktopMessageResponseHandle FlutterDesktopMessageResponseHandle;

// One message delivered by the engine. The module reads the message bytes, their count and the
// response handle; the leading fields are the engine's.
typedef struct {
  size_t struct_size;
  const char* channel;
  const uint8_t* message;
  size_t message_size;
  const FlutterDesktopMessageResponseHandle* response_handle;
} FlutterDesktopMessage;

// Called by the engine for each message on a channel that has a callback set.
typedef void (*FlutterDesktopMessageCallback)(FlutterDesktopMessengerRef messenger,
                                              const FlutterDesktopMessage* message,
                                              void* user_data);

// Called by the engine, once, with the answer to a message sent with a reply.
typedef void (*FlutterDesktopBinaryReply)(const uint8_t* data, size_t data_size, void* user_data);

// Called by the engine when it destroys a registrar.
typedef void (*FlutterDesktopOnPluginRegistrarDestroyed)(FlutterDesktopPluginRegistrarRef);

// The engine's frame records. Their layouts are the engine's business: the module only passes
// the pointers that a texture source returns on to the engine.
typedef struct FlutterDesktopPixelBuffer FlutterDesktopPixelBuffer;
typedef struct FlutterDesktopGpuSurfaceDescriptor FlutterDesktopGpuSurfaceDescriptor;

typedef const FlutterDesktopPixelBuffer* (*FlutterDesktopPixelBufferTextureCallback)(
    size_t width, size_t height, void* user_data);
typedef const FlutterDesktopGpuSurfaceDescriptor* (*FlutterDesktopGpuSurfaceTextureCallback)(
    size_t width, size_t height, void* user_data);

// Called by the engine, once, when an unregistration has completed.
typedef void (*FlutterDesktopOnTextureUnregistered)(void* user_data);

typedef enum {
  kFlutterDesktopPixelBufferTexture = 0,
  kFlutterDesktopGpuSurfaceTexture = 1,
} FlutterDesktopTextureType;

typedef struct {
  FlutterDesktopPixelBufferTextureCallback callback;
  void* user_data;
} FlutterDesktopPixelBufferTextureConfig;

typedef struct {
  // Size in bytes of this record: 32.
  size_t struct_size;
  // Handed to the engine unchanged.
  int32_t type;
  FlutterDesktopGpuSurfaceTextureCallback callback;
  void* user_data;
} FlutterDesktopGpuSurfaceTextureConfig;

// The 40-byte record describing an external texture at registration.
typedef struct {
  int32_t type;  // a FlutterDesktopTextureType
  union {
    FlutterDesktopPixelBufferTextureConfig pixel_buffer_config;
    FlutterDesktopGpuSurfaceTextureConfig gpu_surface_config;
  };
} FlutterDesktopTextureInfo;

// Registrar.
FLUTTER_ENGINE_EXPORT FlutterDesktopMessengerRef
FlutterDesktopPluginRegistrarGetMessenger(FlutterDesktopPluginRegistrarRef registrar);
FLUTTER_ENGINE_EXPORT FlutterDesktopTextureRegistrarRef
FlutterDesktopRegistrarGetTextureRegistrar(FlutterDesktopPluginRegistrarRef registrar);
// Null when the registrar has no view.
FLUTTER_ENGINE_EXPORT FlutterDesktopViewRef
FlutterDesktopPluginRegistrarGetView(FlutterDesktopPluginRegistrarRef registrar);
FLUTTER_ENGINE_EXPORT void FlutterDesktopPluginRegistrarSetDestructionHandler(
    FlutterDesktopPluginRegistrarRef registrar, FlutterDesktopOnPluginRegistrarDestroyed callback);

// Messenger. The channel name is NUL-terminated and borrowed for the call only.
// A null callback and user data clear the channel's callback.
FLUTTER_ENGINE_EXPORT void FlutterDesktopMessengerSetCallback(
    FlutterDesktopMessengerRef messenger, const char* channel,
    FlutterDesktopMessageCallback callback, void* user_data);
FLUTTER_ENGINE_EXPORT bool FlutterDesktopMessengerSend(FlutterDesktopMessengerRef messenger,
                                                       const char* channel, const uint8_t* message,
                                                       size_t message_size);
// False: the engine refused the message and will not call `reply`.
FLUTTER_ENGINE_EXPORT bool FlutterDesktopMessengerSendWithReply(
    FlutterDesktopMessengerRef messenger, const char* channel, const uint8_t* message,
    size_t message_size, FlutterDesktopBinaryReply reply, void* user_data);
// Once per response handle, with the messenger's lock held.
FLUTTER_ENGINE_EXPORT void FlutterDesktopMessengerSendResponse(
    FlutterDesktopMessengerRef messenger, const FlutterDesktopMessageResponseHandle* handle,
    const uint8_t* data, size_t data_length);
// Returns the handle to keep; give it back once with FlutterDesktopMessengerRelease.
FLUTTER_ENGINE_EXPORT FlutterDesktopMessengerRef
FlutterDesktopMessengerAddRef(FlutterDesktopMessengerRef messenger);
FLUTTER_ENGINE_EXPORT void FlutterDesktopMessengerRelease(FlutterDesktopMessengerRef messenger);
// True while responses can be delivered.
FLUTTER_ENGINE_EXPORT bool FlutterDesktopMessengerIsAvailable(FlutterDesktopMessengerRef messenger);
// Returns the value to pass to FlutterDesktopMessengerUnlock; null: nothing to unlock.
FLUTTER_ENGINE_EXPORT FlutterDesktopMessengerRef
FlutterDesktopMessengerLock(FlutterDesktopMessengerRef messenger);
FLUTTER_ENGINE_EXPORT void FlutterDesktopMessengerUnlock(FlutterDesktopMessengerRef messenger);

// Texture registrar.
FLUTTER_ENGINE_EXPORT int64_t FlutterDesktopTextureRegistrarRegisterExternalTexture(
    FlutterDesktopTextureRegistrarRef texture_registrar, const FlutterDesktopTextureInfo* info);
FLUTTER_ENGINE_EXPORT bool FlutterDesktopTextureRegistrarMarkExternalTextureFrameAvailable(
    FlutterDesktopTextureRegistrarRef texture_registrar, int64_t texture_id);
// The callback and its user data may both be null.
FLUTTER_ENGINE_EXPORT void FlutterDesktopTextureRegistrarUnregisterExternalTexture(
    FlutterDesktopTextureRegistrarRef texture_registrar, int64_t texture_id,
    FlutterDesktopOnTextureUnregistered callback, void* user_data);

#ifdef __cplusplus
}  // extern "C"
#endif

#ifdef __cplusplus
#include <cstddef>
// The module reads and fills these records at fixed offsets on x86-64.
static_assert(offsetof(FlutterDesktopMessage, message) == 16, "message bytes at offset 16");
static_assert(offsetof(FlutterDesktopMessage, message_size) == 24, "message size at offset 24");
static_assert(offsetof(FlutterDesktopMessage, response_handle) == 32, "response at offset 32");
static_assert(sizeof(FlutterDesktopTextureInfo) == 40, "texture info record is 40 bytes");
static_assert(offsetof(FlutterDesktopTextureInfo, pixel_buffer_config) == 8, "config at 8");
static_assert(offsetof(FlutterDesktopPixelBufferTextureConfig, user_data) == 8, "user data at 16");
static_assert(sizeof(FlutterDesktopGpuSurfaceTextureConfig) == 32, "surface config is 32 bytes");
static_assert(offsetof(FlutterDesktopGpuSurfaceTextureConfig, type) == 8, "surface type at 16");
static_assert(offsetof(FlutterDesktopGpuSurfaceTextureConfig, callback) == 16, "callback at 24");
static_assert(offsetof(FlutterDesktopGpuSurfaceTextureConfig, user_data) == 24, "user data at 32");
#endif

#endif  // QUORLAX_ENGINE_API_ENGINE_API_H_
