// The stand-in engine's C functions, called as the module calls them, observed through the host
// API.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "engine_api/engine_api.h"
#include "platform/engine/engine_host.h"
#include "tests/support/test_support.h"

namespace {

using engine_host::Engine;
using engine_host::Reply;
using quorlax_test::FromHex;
using testing::ElementsAre;
using testing::EndsWith;
using testing::IsEmpty;
using testing::SizeIs;
using testing::StartsWith;

// What the module's message callback saw, field by field.
struct SeenMessage {
  FlutterDesktopMessengerRef messenger;
  size_t struct_size;
  std::string channel;
  const uint8_t* message;
  size_t message_size;
  const FlutterDesktopMessageResponseHandle* response_handle;
};

void RecordMessage(FlutterDesktopMessengerRef messenger, const FlutterDesktopMessage* message,
                   void* user_data) {
  static_cast<std::vector<SeenMessage>*>(user_data)->push_back(
      {messenger, message->struct_size, message->channel, message->message, message->message_size,
       message->response_handle});
}

void IgnoreMessage(FlutterDesktopMessengerRef, const FlutterDesktopMessage*, void*) {}

// What the module's reply callback was called with.
struct SeenReply {
  bool null_data;
  std::vector<uint8_t> bytes;
};

void RecordReply(const uint8_t* data, size_t size, void* user_data) {
  std::vector<uint8_t> bytes;
  if (data != nullptr) bytes.assign(data, data + size);
  static_cast<std::vector<SeenReply>*>(user_data)->push_back({data == nullptr, bytes});
}

std::vector<FlutterDesktopPluginRegistrarRef>* destroyed_registrars = nullptr;

void RecordDestruction(FlutterDesktopPluginRegistrarRef registrar) {
  destroyed_registrars->push_back(registrar);
}

void UnexpectedDestruction(FlutterDesktopPluginRegistrarRef) { ADD_FAILURE() << "wrong handler"; }

class EngineFunctionsTest : public testing::Test {
 protected:
  void SetUp() override { destroyed_registrars = &destroyed_; }
  void TearDown() override { destroyed_registrars = nullptr; }

  // Answers the message the way the module does: under the lock.
  void Answer(const FlutterDesktopMessageResponseHandle* handle, const uint8_t* data, size_t size) {
    FlutterDesktopMessengerRef unlock = FlutterDesktopMessengerLock(engine_.messenger());
    FlutterDesktopMessengerSendResponse(engine_.messenger(), handle, data, size);
    if (unlock != nullptr) FlutterDesktopMessengerUnlock(unlock);
  }

  Engine engine_;
  std::vector<FlutterDesktopPluginRegistrarRef> destroyed_;
};

TEST_F(EngineFunctionsTest, RegistrarsOfOneEngineShareItsMessengerAndTextureRegistrar) {
  FlutterDesktopPluginRegistrarRef with_view = engine_.CreateRegistrar(true);
  FlutterDesktopPluginRegistrarRef without_view = engine_.CreateRegistrar(false);
  Engine other;
  FlutterDesktopPluginRegistrarRef elsewhere = other.CreateRegistrar(true);

  EXPECT_NE(with_view, without_view);
  for (FlutterDesktopPluginRegistrarRef registrar : {with_view, without_view}) {
    EXPECT_EQ(FlutterDesktopPluginRegistrarGetMessenger(registrar), engine_.messenger());
    EXPECT_EQ(FlutterDesktopRegistrarGetTextureRegistrar(registrar), engine_.texture_registrar());
  }
  EXPECT_NE(FlutterDesktopPluginRegistrarGetView(with_view), nullptr);
  EXPECT_EQ(FlutterDesktopPluginRegistrarGetView(with_view), engine_.ViewOf(with_view));
  EXPECT_EQ(FlutterDesktopPluginRegistrarGetView(without_view), nullptr);
  EXPECT_NE(FlutterDesktopPluginRegistrarGetMessenger(elsewhere), engine_.messenger());
  EXPECT_NE(FlutterDesktopRegistrarGetTextureRegistrar(elsewhere), engine_.texture_registrar());
  EXPECT_THAT(engine_.Violations(), IsEmpty());
  EXPECT_THAT(other.Violations(), IsEmpty());
}

TEST_F(EngineFunctionsTest, DestroyingARegistrarCallsItsLastHandlerOnceThenItIsATombstone) {
  FlutterDesktopPluginRegistrarRef registrar = engine_.CreateRegistrar(false);
  FlutterDesktopPluginRegistrarSetDestructionHandler(registrar, UnexpectedDestruction);
  FlutterDesktopPluginRegistrarSetDestructionHandler(registrar, RecordDestruction);
  EXPECT_EQ(engine_.DestructionHandlerOf(registrar), &RecordDestruction);

  EXPECT_TRUE(engine_.DestroyRegistrar(registrar));
  EXPECT_FALSE(engine_.DestroyRegistrar(registrar));
  EXPECT_THAT(destroyed_, ElementsAre(registrar));

  quorlax_test::StderrCapture capture;
  EXPECT_EQ(FlutterDesktopPluginRegistrarGetMessenger(registrar), nullptr);
  EXPECT_THAT(capture.Lines(), SizeIs(1));
  EXPECT_THAT(engine_.Violations(),
              ElementsAre("FlutterDesktopPluginRegistrarGetMessenger(registrar#1) -> null: "
                          "registrar#1 has been destroyed"));
}

TEST_F(EngineFunctionsTest, DestroyingTheEngineDestroysTheRemainingRegistrarsInOrder) {
  std::vector<FlutterDesktopPluginRegistrarRef> registrars;
  {
    Engine engine;
    for (int i = 0; i < 3; ++i) {
      registrars.push_back(engine.CreateRegistrar(i == 0));
      FlutterDesktopPluginRegistrarSetDestructionHandler(registrars.back(), RecordDestruction);
    }
    engine.DestroyRegistrar(registrars[1]);
  }
  EXPECT_THAT(destroyed_, ElementsAre(registrars[1], registrars[0], registrars[2]));
}

TEST_F(EngineFunctionsTest, DeliverHandsTheChannelsCallbackTheEnginesRecordSynchronously) {
  std::vector<SeenMessage> seen;
  FlutterDesktopMessengerSetCallback(engine_.messenger(), "quorlax", RecordMessage, &seen);
  const std::vector<uint8_t> bytes = FromHex("01 02 03");

  const FlutterDesktopMessageResponseHandle* handle = engine_.Deliver("quorlax", bytes);

  ASSERT_THAT(seen, SizeIs(1));
  EXPECT_EQ(seen[0].messenger, engine_.messenger());
  EXPECT_EQ(seen[0].struct_size, sizeof(FlutterDesktopMessage));
  EXPECT_EQ(seen[0].channel, "quorlax");
  EXPECT_EQ(seen[0].message, bytes.data());
  EXPECT_EQ(seen[0].message_size, 3u);
  EXPECT_EQ(seen[0].response_handle, handle);
  ASSERT_TRUE(engine_.CallbackFor("quorlax"));
  EXPECT_EQ(engine_.CallbackFor("quorlax")->callback, &RecordMessage);
  EXPECT_EQ(engine_.CallbackFor("quorlax")->user_data, &seen);
  EXPECT_FALSE(engine_.Response(handle)->answered);
  EXPECT_EQ(engine_.Response(handle)->channel, "quorlax");
  EXPECT_NE(engine_.Deliver("quorlax", bytes), handle);
}

TEST_F(EngineFunctionsTest, TheEngineAnswersAChannelWithoutCallbackItself) {
  std::vector<SeenMessage> seen;
  FlutterDesktopMessengerSetCallback(engine_.messenger(), "cleared", RecordMessage, &seen);
  FlutterDesktopMessengerSetCallback(engine_.messenger(), "cleared", nullptr, nullptr);

  for (const char* channel : {"never-set", "cleared"}) {
    SCOPED_TRACE(channel);
    EXPECT_FALSE(engine_.CallbackFor(channel));
    const auto response = engine_.Response(engine_.Deliver(channel, FromHex("01")));
    ASSERT_TRUE(response);
    EXPECT_TRUE(response->answered);
    EXPECT_TRUE(response->answered_by_engine);
    EXPECT_TRUE(response->null_data);
    EXPECT_EQ(response->attempts, 0);
  }
  EXPECT_THAT(seen, IsEmpty());
}

TEST_F(EngineFunctionsTest, AResponseKeepsItsBytesAndTellsANullPointerFromAnEmptyOne) {
  const uint8_t empty_but_present[1] = {0};
  const std::vector<uint8_t> bytes = FromHex("00 07 0B 57");
  struct Case {
    const char* name;
    const uint8_t* data;
    size_t size;
    bool null_data;
    std::vector<uint8_t> bytes;
  };
  const Case cases[] = {
      {"null", nullptr, 0, true, {}},
      {"empty", empty_but_present, 0, false, {}},
      {"bytes", bytes.data(), bytes.size(), false, bytes},
  };
  std::vector<SeenMessage> seen;
  FlutterDesktopMessengerSetCallback(engine_.messenger(), "quorlax", RecordMessage, &seen);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const FlutterDesktopMessageResponseHandle* handle = engine_.Deliver("quorlax", nullptr, 0);
    Answer(handle, c.data, c.size);
    const auto response = engine_.Response(handle);
    ASSERT_TRUE(response);
    EXPECT_TRUE(response->answered);
    EXPECT_FALSE(response->answered_by_engine);
    EXPECT_EQ(response->attempts, 1);
    EXPECT_EQ(response->null_data, c.null_data);
    EXPECT_EQ(response->bytes, c.bytes);
  }
  EXPECT_THAT(engine_.Violations(), IsEmpty());
}

TEST_F(EngineFunctionsTest, AHostHandlerAnswersASentMessageOnceThroughTheModulesCallback) {
  std::vector<Reply> replies;
  engine_.SetOutgoingHandler("out", [&](const std::vector<uint8_t>& message, Reply reply) {
    EXPECT_EQ(message, FromHex("05 06"));
    EXPECT_TRUE(reply.Send(FromHex("AA")));
    replies.push_back(reply);
  });
  std::vector<SeenReply> seen;
  const std::vector<uint8_t> message = FromHex("05 06");

  EXPECT_TRUE(FlutterDesktopMessengerSendWithReply(engine_.messenger(), "out", message.data(),
                                                   message.size(), RecordReply, &seen));

  ASSERT_THAT(seen, SizeIs(1));
  EXPECT_FALSE(seen[0].null_data);
  EXPECT_EQ(seen[0].bytes, FromHex("AA"));
  ASSERT_THAT(replies, SizeIs(1));
  EXPECT_FALSE(replies[0].Pending());
  EXPECT_FALSE(replies[0].Send(nullptr, 0));
  EXPECT_THAT(seen, SizeIs(1));
  const auto sent = engine_.SentMessages("out");
  ASSERT_THAT(sent, SizeIs(1));
  EXPECT_TRUE(sent[0].with_reply);
  EXPECT_TRUE(sent[0].accepted);
  EXPECT_EQ(sent[0].bytes, message);
  EXPECT_EQ(sent[0].reply_callback, &RecordReply);
  EXPECT_EQ(sent[0].reply_user_data, &seen);
}

TEST_F(EngineFunctionsTest, AMessageWithoutHandlerWaitsForTheHostsAnswer) {
  std::vector<SeenReply> seen;
  EXPECT_TRUE(FlutterDesktopMessengerSendWithReply(engine_.messenger(), "out", nullptr, 0,
                                                   RecordReply, &seen));
  EXPECT_THAT(seen, IsEmpty());

  const auto sent = engine_.SentMessages("out");
  ASSERT_THAT(sent, SizeIs(1));
  EXPECT_TRUE(sent[0].null_data);
  EXPECT_TRUE(sent[0].reply.Pending());
  EXPECT_TRUE(sent[0].reply.Send(nullptr, 0));
  ASSERT_THAT(seen, SizeIs(1));
  EXPECT_TRUE(seen[0].null_data);
}

TEST_F(EngineFunctionsTest, ARefusingChannelCallsNoHandlerAndNeverTheReply) {
  int handled = 0;
  engine_.SetOutgoingHandler("out", [&](const std::vector<uint8_t>&, Reply) { ++handled; });
  engine_.SetRefusing("out", true);
  std::vector<SeenReply> seen;
  const uint8_t byte = 1;

  EXPECT_FALSE(FlutterDesktopMessengerSendWithReply(engine_.messenger(), "out", &byte, 1,
                                                    RecordReply, &seen));
  EXPECT_FALSE(FlutterDesktopMessengerSend(engine_.messenger(), "out", &byte, 1));

  EXPECT_EQ(handled, 0);
  const auto sent = engine_.SentMessages("out");
  ASSERT_THAT(sent, SizeIs(2));
  EXPECT_FALSE(sent[0].accepted);
  EXPECT_FALSE(sent[0].reply.Pending());
  EXPECT_FALSE(sent[0].reply.Send(nullptr, 0));
  EXPECT_THAT(seen, IsEmpty());

  engine_.SetRefusing("out", false);
  EXPECT_TRUE(FlutterDesktopMessengerSend(engine_.messenger(), "out", &byte, 1));
  EXPECT_EQ(handled, 1);
  EXPECT_FALSE(engine_.SentMessages("out")[2].with_reply);
  EXPECT_FALSE(engine_.SentMessages("out")[2].reply.Pending());
}

TEST_F(EngineFunctionsTest, ReferencesAreCountedOnTheSameHandle) {
  EXPECT_EQ(FlutterDesktopMessengerAddRef(engine_.messenger()), engine_.messenger());
  EXPECT_EQ(FlutterDesktopMessengerAddRef(engine_.messenger()), engine_.messenger());
  EXPECT_EQ(engine_.MessengerReferences(), 2u);
  FlutterDesktopMessengerRelease(engine_.messenger());
  EXPECT_EQ(engine_.MessengerReferences(), 1u);
  FlutterDesktopMessengerRelease(engine_.messenger());
  EXPECT_EQ(engine_.MessengerReferences(), 0u);
  EXPECT_THAT(engine_.Violations(), IsEmpty());
}

TEST_F(EngineFunctionsTest, TheLockIsHeldFromLockToUnlockUnlessItAnswersNull) {
  EXPECT_EQ(FlutterDesktopMessengerLock(engine_.messenger()), engine_.messenger());
  EXPECT_TRUE(engine_.MessengerLockHeld());
  FlutterDesktopMessengerUnlock(engine_.messenger());
  EXPECT_FALSE(engine_.MessengerLockHeld());

  // Without a lock to offer, the engine takes responses without one.
  engine_.SetLockAnswersNull(true);
  std::vector<SeenMessage> seen;
  FlutterDesktopMessengerSetCallback(engine_.messenger(), "quorlax", RecordMessage, &seen);
  const FlutterDesktopMessageResponseHandle* handle = engine_.Deliver("quorlax", nullptr, 0);
  EXPECT_EQ(FlutterDesktopMessengerLock(engine_.messenger()), nullptr);
  EXPECT_FALSE(engine_.MessengerLockHeld());
  const uint8_t byte = 9;
  FlutterDesktopMessengerSendResponse(engine_.messenger(), handle, &byte, 1);
  EXPECT_TRUE(engine_.Response(handle)->answered);
  EXPECT_THAT(engine_.Violations(), IsEmpty());
}

TEST_F(EngineFunctionsTest, AvailabilityIsTheHostsAndAResponseWhileUnavailableIsDropped) {
  std::vector<SeenMessage> seen;
  FlutterDesktopMessengerSetCallback(engine_.messenger(), "quorlax", RecordMessage, &seen);
  const FlutterDesktopMessageResponseHandle* handle = engine_.Deliver("quorlax", nullptr, 0);
  EXPECT_TRUE(FlutterDesktopMessengerIsAvailable(engine_.messenger()));

  engine_.SetAvailable(false);
  EXPECT_FALSE(FlutterDesktopMessengerIsAvailable(engine_.messenger()));
  quorlax_test::StderrCapture capture;
  Answer(handle, nullptr, 0);
  EXPECT_THAT(capture.Lines(), SizeIs(1));

  EXPECT_FALSE(engine_.Response(handle)->answered);
  EXPECT_EQ(engine_.Response(handle)->attempts, 1);
  EXPECT_THAT(engine_.Violations(),
              ElementsAre(EndsWith(": response while the engine is unavailable")));
  engine_.SetAvailable(true);
  EXPECT_TRUE(FlutterDesktopMessengerIsAvailable(engine_.messenger()));
}

// The module's side of a texture: what the engine asked it for.
struct TextureSide {
  size_t width = 0;
  size_t height = 0;
  int calls = 0;
  int unregistered = 0;
};

const FlutterDesktopPixelBuffer* PixelFrame(size_t width, size_t height, void* user_data) {
  auto* side = static_cast<TextureSide*>(user_data);
  side->width = width;
  side->height = height;
  ++side->calls;
  return reinterpret_cast<const FlutterDesktopPixelBuffer*>(side);
}

const FlutterDesktopGpuSurfaceDescriptor* SurfaceFrame(size_t width, size_t height,
                                                       void* user_data) {
  auto* side = static_cast<TextureSide*>(user_data);
  side->width = width;
  side->height = height;
  ++side->calls;
  return reinterpret_cast<const FlutterDesktopGpuSurfaceDescriptor*>(side);
}

void TextureUnregistered(void* user_data) { ++static_cast<TextureSide*>(user_data)->unregistered; }

std::vector<uint8_t> BytesOf(const FlutterDesktopTextureInfo& info) {
  std::vector<uint8_t> bytes(sizeof(info));
  std::memcpy(bytes.data(), &info, sizeof(info));
  return bytes;
}

FlutterDesktopTextureInfo PixelInfo(TextureSide* side) {
  FlutterDesktopTextureInfo info;
  std::memset(&info, 0, sizeof(info));
  info.type = kFlutterDesktopPixelBufferTexture;
  info.pixel_buffer_config.callback = PixelFrame;
  info.pixel_buffer_config.user_data = side;
  return info;
}

TEST_F(EngineFunctionsTest, ATextureKeepsItsRecordAndFramesReachItsCallback) {
  TextureSide pixels;
  TextureSide surface;
  FlutterDesktopTextureInfo pixel_info = PixelInfo(&pixels);
  FlutterDesktopTextureInfo surface_info;
  std::memset(&surface_info, 0xEE, sizeof(surface_info));  // padding is kept as written
  surface_info.type = kFlutterDesktopGpuSurfaceTexture;
  surface_info.gpu_surface_config.struct_size = sizeof(FlutterDesktopGpuSurfaceTextureConfig);
  surface_info.gpu_surface_config.type = 5;
  surface_info.gpu_surface_config.callback = SurfaceFrame;
  surface_info.gpu_surface_config.user_data = &surface;
  engine_.SetNextTextureId(40);

  const int64_t pixel_id = FlutterDesktopTextureRegistrarRegisterExternalTexture(
      engine_.texture_registrar(), &pixel_info);
  const int64_t surface_id = FlutterDesktopTextureRegistrarRegisterExternalTexture(
      engine_.texture_registrar(), &surface_info);

  EXPECT_EQ(pixel_id, 40);
  EXPECT_EQ(surface_id, 41);
  EXPECT_EQ(engine_.TextureInfoBytes(pixel_id), BytesOf(pixel_info));
  EXPECT_EQ(engine_.TextureInfoBytes(surface_id), BytesOf(surface_info));
  EXPECT_THAT(engine_.TextureInfoBytes(42), IsEmpty());

  EXPECT_EQ(engine_.RequestPixelBuffer(pixel_id, 3, 4).value_or(nullptr),
            reinterpret_cast<const FlutterDesktopPixelBuffer*>(&pixels));
  EXPECT_EQ(engine_.RequestSurface(surface_id, 5, 6).value_or(nullptr),
            reinterpret_cast<const FlutterDesktopGpuSurfaceDescriptor*>(&surface));
  EXPECT_EQ(pixels.width, 3u);
  EXPECT_EQ(pixels.height, 4u);
  EXPECT_EQ(surface.width, 5u);
  EXPECT_EQ(surface.height, 6u);
  // A frame of the other kind, or of no texture, calls nothing.
  EXPECT_FALSE(engine_.RequestSurface(pixel_id, 1, 1));
  EXPECT_FALSE(engine_.RequestPixelBuffer(surface_id, 1, 1));
  EXPECT_FALSE(engine_.RequestPixelBuffer(42, 1, 1));
  EXPECT_EQ(pixels.calls, 1);
  EXPECT_EQ(surface.calls, 1);
  EXPECT_THAT(engine_.Violations(), IsEmpty());
}

TEST_F(EngineFunctionsTest, ARegistrationFailureValueIsAnsweredAndRegistersNothing) {
  TextureSide side;
  const FlutterDesktopTextureInfo info = PixelInfo(&side);
  engine_.SetTextureRegistrationFailure(-7);
  EXPECT_EQ(
      FlutterDesktopTextureRegistrarRegisterExternalTexture(engine_.texture_registrar(), &info),
      -7);
  EXPECT_THAT(engine_.TextureInfoBytes(1), IsEmpty());
  engine_.SetTextureRegistrationFailure(std::nullopt);
  EXPECT_EQ(
      FlutterDesktopTextureRegistrarRegisterExternalTexture(engine_.texture_registrar(), &info), 1);
}

TEST_F(EngineFunctionsTest, FrameMarksAreCountedAndAnsweredAsTheHostSays) {
  EXPECT_TRUE(FlutterDesktopTextureRegistrarMarkExternalTextureFrameAvailable(
      engine_.texture_registrar(), 3));
  engine_.SetMarkFrameResult(false);
  EXPECT_FALSE(FlutterDesktopTextureRegistrarMarkExternalTextureFrameAvailable(
      engine_.texture_registrar(), 3));
  EXPECT_EQ(engine_.FrameMarks(3), 2);
  EXPECT_EQ(engine_.FrameMarks(4), 0);
}

TEST_F(EngineFunctionsTest, AnUnregistrationCompletesOnlyWhenTheHostSaysAndOnce) {
  TextureSide side;
  const FlutterDesktopTextureInfo info = PixelInfo(&side);
  const int64_t id =
      FlutterDesktopTextureRegistrarRegisterExternalTexture(engine_.texture_registrar(), &info);
  FlutterDesktopTextureRegistrarUnregisterExternalTexture(engine_.texture_registrar(), id,
                                                          TextureUnregistered, &side);
  FlutterDesktopTextureRegistrarUnregisterExternalTexture(engine_.texture_registrar(), 99, nullptr,
                                                          nullptr);

  EXPECT_EQ(side.unregistered, 0);
  EXPECT_TRUE(engine_.UnregistrationPending(id));
  EXPECT_TRUE(engine_.RequestPixelBuffer(id, 1, 1));  // still registered until completed

  EXPECT_TRUE(engine_.CompleteUnregistration(id));
  EXPECT_EQ(side.unregistered, 1);
  EXPECT_FALSE(engine_.UnregistrationPending(id));
  EXPECT_FALSE(engine_.RequestPixelBuffer(id, 1, 1));
  EXPECT_FALSE(engine_.CompleteUnregistration(id));
  EXPECT_EQ(side.unregistered, 1);
  EXPECT_TRUE(engine_.CompleteUnregistration(99));  // no callback to run
}

// Each misuse is one violation: recorded by the engine and written as one line.
TEST_F(EngineFunctionsTest, EachProtocolViolationIsRecordedAndWrittenOnce) {
  struct Case {
    const char* name;
    std::function<void(Engine&)> misuse;
    std::string violation;
  };
  // A message the module is to answer.
  const auto answered = [](Engine& engine) {
    FlutterDesktopMessengerSetCallback(engine.messenger(), "c", IgnoreMessage, nullptr);
    return engine.Deliver("c", nullptr, 0);
  };
  const Case cases[] = {
      {"second response",
       [&](Engine& engine) {
         const FlutterDesktopMessageResponseHandle* handle = answered(engine);
         FlutterDesktopMessengerLock(engine.messenger());
         FlutterDesktopMessengerSendResponse(engine.messenger(), handle, nullptr, 0);
         FlutterDesktopMessengerSendResponse(engine.messenger(), handle, nullptr, 0);
         FlutterDesktopMessengerUnlock(engine.messenger());
       },
       "FlutterDesktopMessengerSendResponse(messenger#1, response#1, null, 0): second response "
       "to response#1"},
      {"response to the engine's own answer",
       [](Engine& engine) {
         const FlutterDesktopMessageResponseHandle* handle = engine.Deliver("none", nullptr, 0);
         FlutterDesktopMessengerLock(engine.messenger());
         FlutterDesktopMessengerSendResponse(engine.messenger(), handle, nullptr, 0);
         FlutterDesktopMessengerUnlock(engine.messenger());
       },
       "FlutterDesktopMessengerSendResponse(messenger#1, response#1, null, 0): response to a "
       "message the engine answered itself"},
      {"response without the lock",
       [&](Engine& engine) {
         FlutterDesktopMessengerSendResponse(engine.messenger(), answered(engine), nullptr, 0);
       },
       "FlutterDesktopMessengerSendResponse(messenger#1, response#1, null, 0): response without "
       "the messenger lock held by the calling thread"},
      {"unknown response handle",
       [](Engine& engine) {
         Engine other;
         const FlutterDesktopMessageResponseHandle* foreign = other.Deliver("c", nullptr, 0);
         FlutterDesktopMessengerLock(engine.messenger());
         FlutterDesktopMessengerSendResponse(engine.messenger(), foreign, nullptr, 0);
         FlutterDesktopMessengerUnlock(engine.messenger());
       },
       "FlutterDesktopMessengerSendResponse(messenger#1, response#1 of another engine, null, 0): "
       "response#1 of another engine is not this engine's response"},
      {"null bytes with a size",
       [&](Engine& engine) {
         const FlutterDesktopMessageResponseHandle* handle = answered(engine);
         FlutterDesktopMessengerLock(engine.messenger());
         FlutterDesktopMessengerSendResponse(engine.messenger(), handle, nullptr, 2);
         FlutterDesktopMessengerUnlock(engine.messenger());
       },
       "FlutterDesktopMessengerSendResponse(messenger#1, response#1, null, 2): null bytes with "
       "size 2"},
      {"unlock without lock",
       [](Engine& engine) { FlutterDesktopMessengerUnlock(engine.messenger()); },
       "FlutterDesktopMessengerUnlock(messenger#1): unlock without the messenger lock held by "
       "the calling thread"},
      {"lock held already",
       [](Engine& engine) {
         FlutterDesktopMessengerLock(engine.messenger());
         FlutterDesktopMessengerLock(engine.messenger());
         FlutterDesktopMessengerUnlock(engine.messenger());
       },
       "FlutterDesktopMessengerLock(messenger#1) -> null: the calling thread holds the "
       "messenger lock already"},
      {"release without reference",
       [](Engine& engine) { FlutterDesktopMessengerRelease(engine.messenger()); },
       "FlutterDesktopMessengerRelease(messenger#1): release without a reference"},
      {"destroyed registrar",
       [](Engine& engine) {
         FlutterDesktopPluginRegistrarRef registrar = engine.CreateRegistrar(false);
         engine.DestroyRegistrar(registrar);
         FlutterDesktopPluginRegistrarSetDestructionHandler(registrar, RecordDestruction);
       },
       "FlutterDesktopPluginRegistrarSetDestructionHandler(registrar#1, fn#1): registrar#1 has "
       "been destroyed"},
      {"handle of the wrong kind",
       [](Engine& engine) {
         FlutterDesktopMessengerIsAvailable(
             reinterpret_cast<FlutterDesktopMessengerRef>(engine.CreateRegistrar(false)));
       },
       "FlutterDesktopMessengerIsAvailable(registrar#1) -> false: registrar#1 is not a "
       "messenger"},
      {"null channel",
       [](Engine& engine) { FlutterDesktopMessengerSend(engine.messenger(), nullptr, nullptr, 0); },
       "FlutterDesktopMessengerSend(messenger#1, null, null, 0) -> false: null channel"},
      {"null texture record",
       [](Engine& engine) {
         FlutterDesktopTextureRegistrarRegisterExternalTexture(engine.texture_registrar(), nullptr);
       },
       "FlutterDesktopTextureRegistrarRegisterExternalTexture(texture-registrar#1, null) -> -1: "
       "null texture record"},
      {"unknown texture type",
       [](Engine& engine) {
         FlutterDesktopTextureInfo info;
         std::memset(&info, 0, sizeof(info));
         info.type = 2;
         FlutterDesktopTextureRegistrarRegisterExternalTexture(engine.texture_registrar(), &info);
       },
       "FlutterDesktopTextureRegistrarRegisterExternalTexture(texture-registrar#1, {type 2}) -> "
       "-1: unknown texture type 2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Engine engine;
    quorlax_test::StderrCapture capture;
    c.misuse(engine);
    EXPECT_THAT(capture.Lines(),
                ElementsAre("flutter_windows stand-in: protocol violation: " + c.violation));
    EXPECT_THAT(engine.Violations(), ElementsAre(c.violation));
  }
}

TEST_F(EngineFunctionsTest, ACallNamingNoLiveEngineIsWrittenAndRecordedByEveryLiveEngine) {
  Engine other;
  FlutterDesktopMessengerRef gone;
  {
    Engine engine;
    gone = engine.messenger();
  }
  quorlax_test::StderrCapture capture;
  FlutterDesktopMessengerUnlock(gone);
  FlutterDesktopMessengerUnlock(nullptr);

  const std::vector<std::string> lines = capture.Lines();
  ASSERT_THAT(lines, SizeIs(2));
  EXPECT_EQ(lines[0],
            "flutter_windows stand-in: protocol violation: FlutterDesktopMessengerUnlock("
            "messenger#1 of another engine): names an engine that is gone");
  EXPECT_EQ(lines[1],
            "flutter_windows stand-in: protocol violation: FlutterDesktopMessengerUnlock(null): "
            "null messenger");
  for (const Engine* engine : {&engine_, &other}) {
    EXPECT_THAT(engine->Violations(), SizeIs(2));
    EXPECT_THAT(engine->CallTexts(), ElementsAre(StartsWith("FlutterDesktopMessengerUnlock("),
                                                 "FlutterDesktopMessengerUnlock(null)"));
  }
}

TEST_F(EngineFunctionsTest, TheMessengerOutlivesItsEngineWhileTheModuleHoldsAReference) {
  FlutterDesktopMessengerRef messenger;
  {
    Engine engine;
    messenger = FlutterDesktopMessengerAddRef(engine.messenger());
  }
  quorlax_test::StderrCapture capture;
  EXPECT_EQ(FlutterDesktopMessengerLock(messenger), messenger);
  EXPECT_FALSE(FlutterDesktopMessengerIsAvailable(messenger));
  FlutterDesktopMessengerUnlock(messenger);
  FlutterDesktopMessengerRelease(messenger);
  EXPECT_THAT(capture.Lines(), IsEmpty());

  quorlax_test::StderrCapture after_release;
  EXPECT_FALSE(FlutterDesktopMessengerIsAvailable(messenger));
  EXPECT_THAT(after_release.Lines(), ElementsAre(EndsWith("names an engine that is gone")));
}

}  // namespace
