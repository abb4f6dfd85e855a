// The call log's text: handle names, names of the module's pointers, bytes, channels, records.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine_api/engine_api.h"
#include "platform/engine/engine_host.h"

namespace {

using engine_host::Engine;
using testing::ElementsAre;
using testing::IsEmpty;

void OnDestroyed(FlutterDesktopPluginRegistrarRef) {}
void OnMessage(FlutterDesktopMessengerRef, const FlutterDesktopMessage*, void*) {}
void OnReply(const uint8_t*, size_t, void*) {}
const FlutterDesktopPixelBuffer* OnPixels(size_t, size_t, void*) { return nullptr; }
const FlutterDesktopGpuSurfaceDescriptor* OnSurface(size_t, size_t, void*) { return nullptr; }

TEST(CallLogTest, RendersEveryCallWithStableNamesInOrder) {
  Engine engine;
  FlutterDesktopPluginRegistrarRef registrar = engine.CreateRegistrar(true);
  int first = 0;
  int second = 0;
  const uint8_t bytes[] = {0x00, 0x07, 0x0B, 0x57};

  FlutterDesktopMessengerRef messenger = FlutterDesktopPluginRegistrarGetMessenger(registrar);
  FlutterDesktopTextureRegistrarRef textures =
      FlutterDesktopRegistrarGetTextureRegistrar(registrar);
  FlutterDesktopPluginRegistrarGetView(registrar);
  FlutterDesktopPluginRegistrarSetDestructionHandler(registrar, OnDestroyed);
  FlutterDesktopMessengerSetCallback(messenger, "a \"b\"\n", OnMessage, &first);
  FlutterDesktopMessengerSetCallback(messenger, "quorlax", OnMessage, &second);
  const FlutterDesktopMessageResponseHandle* response = engine.Deliver("quorlax", nullptr, 0);
  FlutterDesktopMessengerAddRef(messenger);
  FlutterDesktopMessengerLock(messenger);
  FlutterDesktopMessengerIsAvailable(messenger);
  FlutterDesktopMessengerSendResponse(messenger, response, bytes, sizeof(bytes));
  FlutterDesktopMessengerUnlock(messenger);
  FlutterDesktopMessengerRelease(messenger);
  FlutterDesktopMessengerSend(messenger, "out", bytes, 0);
  FlutterDesktopMessengerSendWithReply(messenger, "out", nullptr, 0, OnReply, &first);
  FlutterDesktopTextureInfo info;
  std::memset(&info, 0, sizeof(info));
  info.type = kFlutterDesktopPixelBufferTexture;
  info.pixel_buffer_config = {OnPixels, &second};
  engine.SetNextTextureId(-3);
  FlutterDesktopTextureRegistrarRegisterExternalTexture(textures, &info);
  info.type = kFlutterDesktopGpuSurfaceTexture;
  info.gpu_surface_config = {sizeof(FlutterDesktopGpuSurfaceTextureConfig), 5, OnSurface, &first};
  FlutterDesktopTextureRegistrarRegisterExternalTexture(textures, &info);
  FlutterDesktopTextureRegistrarMarkExternalTextureFrameAvailable(textures, -3);
  FlutterDesktopTextureRegistrarUnregisterExternalTexture(textures, -3, nullptr, nullptr);

  EXPECT_THAT(
      engine.CallTexts(),
      ElementsAre(
          "FlutterDesktopPluginRegistrarGetMessenger(registrar#1) -> messenger#1",
          "FlutterDesktopRegistrarGetTextureRegistrar(registrar#1) -> texture-registrar#1",
          "FlutterDesktopPluginRegistrarGetView(registrar#1) -> view#1",
          "FlutterDesktopPluginRegistrarSetDestructionHandler(registrar#1, fn#1)",
          R"(FlutterDesktopMessengerSetCallback(messenger#1, "a \"b\"\x0A", fn#2, ptr#1))",
          R"(FlutterDesktopMessengerSetCallback(messenger#1, "quorlax", fn#2, ptr#2))",
          "FlutterDesktopMessengerAddRef(messenger#1) -> messenger#1",
          "FlutterDesktopMessengerLock(messenger#1) -> messenger#1",
          "FlutterDesktopMessengerIsAvailable(messenger#1) -> true",
          "FlutterDesktopMessengerSendResponse(messenger#1, response#1, 00 07 0B 57, 4)",
          "FlutterDesktopMessengerUnlock(messenger#1)",
          "FlutterDesktopMessengerRelease(messenger#1)",
          R"(FlutterDesktopMessengerSend(messenger#1, "out", empty, 0) -> true)",
          R"(FlutterDesktopMessengerSendWithReply(messenger#1, "out", null, 0, fn#3, ptr#1) -> true)",
          "FlutterDesktopTextureRegistrarRegisterExternalTexture(texture-registrar#1, "
          "{type 0, fn#4, ptr#2}) -> -3",
          "FlutterDesktopTextureRegistrarRegisterExternalTexture(texture-registrar#1, "
          "{type 1, size 32, surface 5, fn#5, ptr#1}) -> -2",
          "FlutterDesktopTextureRegistrarMarkExternalTextureFrameAvailable(texture-registrar#1, "
          "-3) -> true",
          "FlutterDesktopTextureRegistrarUnregisterExternalTexture(texture-registrar#1, -3, null, "
          "null)"));
  EXPECT_THAT(engine.Violations(), IsEmpty());
}

TEST(CallLogTest, ClearingKeepsTheNamesAndEntriesAreStructured) {
  Engine engine;
  int other = 0;
  int data = 0;
  FlutterDesktopMessengerSetCallback(engine.messenger(), "one", OnMessage, &other);
  FlutterDesktopMessengerSetCallback(engine.messenger(), "two", OnMessage, &data);
  engine.ClearCalls();
  EXPECT_THAT(engine.Calls(), IsEmpty());

  FlutterDesktopMessengerSetCallback(engine.messenger(), "three", OnMessage, &data);
  FlutterDesktopMessengerIsAvailable(engine.messenger());

  const std::vector<engine_host::CallRecord> calls = engine.Calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].function, "FlutterDesktopMessengerSetCallback");
  EXPECT_THAT(calls[0].arguments, ElementsAre("messenger#1", "\"three\"", "fn#1", "ptr#2"));
  EXPECT_FALSE(calls[0].result);
  EXPECT_EQ(calls[1].function, "FlutterDesktopMessengerIsAvailable");
  EXPECT_THAT(calls[1].arguments, ElementsAre("messenger#1"));
  EXPECT_EQ(calls[1].result, "true");
}

}  // namespace
