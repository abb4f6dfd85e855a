// External textures through the stand-in engine: the registration record's bytes, frames,
// marks and unregistration.
#include "binding/texture/texture_registrar_impl.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <vector>

#include "platform/engine/engine_host.h"
#include "tests/support/test_support.h"

namespace flutter {
namespace {

using engine_host::Engine;
using quorlax_test::StderrCapture;
using testing::ElementsAre;
using testing::IsEmpty;

const char kUnknownVariant[] = "Attempting to register unknown texture variant.";

uint64_t Word(const std::vector<uint8_t>& record, std::size_t offset) {
  uint64_t word = 0;
  std::memcpy(&word, record.data() + offset, sizeof(word));
  return word;
}

uint64_t AddressOf(const void* pointer) { return reinterpret_cast<std::uintptr_t>(pointer); }

// Stand-ins for the engine's frame records; only their addresses matter.
const FlutterDesktopPixelBuffer* const kPixels =
    reinterpret_cast<const FlutterDesktopPixelBuffer*>(&kUnknownVariant[0]);
const FlutterDesktopGpuSurfaceDescriptor* const kSurface =
    reinterpret_cast<const FlutterDesktopGpuSurfaceDescriptor*>(&kUnknownVariant[1]);

class TextureRegistrarImplTest : public testing::Test {
 protected:
  Engine engine_;
  TextureRegistrarImpl registrar_{engine_.texture_registrar()};
};

TEST_F(TextureRegistrarImplTest, APixelSourceIsRecordedWithTypeZero) {
  std::vector<std::size_t> sizes;
  TextureSource source = PixelSource{[&sizes](std::size_t width, std::size_t height) {
    sizes = {width, height};
    return kPixels;
  }};
  const int64_t id = registrar_.RegisterExternalTexture(&source);
  const std::vector<uint8_t> record = engine_.TextureInfoBytes(id);
  ASSERT_EQ(record.size(), 40u);
  EXPECT_EQ(Word(record, 0), 0u);  // type 0, then four zero bytes
  EXPECT_NE(Word(record, 8), 0u);  // the frame callback
  EXPECT_EQ(Word(record, 16), AddressOf(&source));
  EXPECT_EQ(Word(record, 24), 0u);
  EXPECT_EQ(Word(record, 32), 0u);

  EXPECT_EQ(engine_.RequestPixelBuffer(id, 640, 480), kPixels);
  EXPECT_THAT(sizes, ElementsAre(640u, 480u));
  EXPECT_THAT(engine_.Violations(), IsEmpty());
}

TEST_F(TextureRegistrarImplTest, ASurfaceSourceIsRecordedWithTypeOne) {
  TextureSource source = SurfaceSource{5, [](std::size_t, std::size_t) { return kSurface; }};
  const int64_t id = registrar_.RegisterExternalTexture(&source);
  const std::vector<uint8_t> record = engine_.TextureInfoBytes(id);
  ASSERT_EQ(record.size(), 40u);
  EXPECT_EQ(Word(record, 0), 1u);
  EXPECT_EQ(Word(record, 8), 32u);
  EXPECT_EQ(Word(record, 16), 5u);  // surface type, then four zero bytes
  EXPECT_NE(Word(record, 24), 0u);
  EXPECT_EQ(Word(record, 32), AddressOf(&source));
  EXPECT_EQ(engine_.RequestSurface(id, 1, 2), kSurface);
}

TEST_F(TextureRegistrarImplTest, ANullOrEmptySourceIsRefusedWithoutTheEngine) {
  TextureSource valueless = PixelSource{};
  struct Throws {
    Throws() = default;
    Throws(const Throws&) { throw std::runtime_error("copy"); }
    operator SurfaceSource() const { throw std::runtime_error("conversion"); }
  };
  try {
    valueless.emplace<SurfaceSource>(Throws());
  } catch (const std::runtime_error&) {
  }
  ASSERT_TRUE(valueless.valueless_by_exception());
  for (TextureSource* source : {static_cast<TextureSource*>(nullptr), &valueless}) {
    StderrCapture capture;
    EXPECT_EQ(registrar_.RegisterExternalTexture(source), -1);
    EXPECT_THAT(capture.Lines(), ElementsAre(kUnknownVariant));
  }
  EXPECT_THAT(engine_.CallTexts(), IsEmpty());
}

TEST_F(TextureRegistrarImplTest, TheEnginesIdAndMarkResultArePassedOn) {
  TextureSource source = PixelSource{[](std::size_t, std::size_t) { return kPixels; }};
  engine_.SetNextTextureId(-7);
  EXPECT_EQ(registrar_.RegisterExternalTexture(&source), -7);
  engine_.SetTextureRegistrationFailure(-1);
  EXPECT_EQ(registrar_.RegisterExternalTexture(&source), -1);
  engine_.SetMarkFrameResult(false);
  EXPECT_FALSE(registrar_.MarkExternalTextureFrameAvailable(-7));
  engine_.SetMarkFrameResult(true);
  EXPECT_TRUE(registrar_.MarkExternalTextureFrameAvailable(-7));
  EXPECT_EQ(engine_.FrameMarks(-7), 2);
}

TEST_F(TextureRegistrarImplTest, UnregisteringWithAnIdAloneGivesTheEngineNoCallback) {
  EXPECT_TRUE(registrar_.UnregisterExternalTexture(12345));  // never registered: true all the same
  EXPECT_THAT(engine_.CallTexts(),
              ElementsAre("FlutterDesktopTextureRegistrarUnregisterExternalTexture("
                          "texture-registrar#1, 12345, null, null)"));
}

TEST_F(TextureRegistrarImplTest, TheCompletionRunsOnceWhenTheEngineSaysSo) {
  TextureSource source = PixelSource{[](std::size_t, std::size_t) { return kPixels; }};
  const int64_t id = registrar_.RegisterExternalTexture(&source);
  int completions = 0;
  registrar_.UnregisterExternalTexture(id, [&completions] { ++completions; });
  EXPECT_EQ(completions, 0);
  EXPECT_TRUE(engine_.UnregistrationPending(id));
  EXPECT_TRUE(engine_.CompleteUnregistration(id));
  EXPECT_EQ(completions, 1);
  EXPECT_FALSE(engine_.CompleteUnregistration(id));
  EXPECT_EQ(completions, 1);
}

TEST_F(TextureRegistrarImplTest, FailingCallablesGiveNoFrameAndAreReported) {
  TextureSource empty = PixelSource{};
  TextureSource throwing =
      SurfaceSource{0, [](std::size_t, std::size_t) -> const FlutterDesktopGpuSurfaceDescriptor* {
                      throw std::runtime_error("no surface");
                    }};
  const int64_t empty_id = registrar_.RegisterExternalTexture(&empty);
  const int64_t throwing_id = registrar_.RegisterExternalTexture(&throwing);
  StderrCapture capture;
  EXPECT_EQ(engine_.RequestPixelBuffer(empty_id, 1, 1), nullptr);
  EXPECT_EQ(engine_.RequestSurface(throwing_id, 1, 1), nullptr);
  registrar_.UnregisterExternalTexture(empty_id, [] { throw std::runtime_error("late"); });
  engine_.CompleteUnregistration(empty_id);
  EXPECT_THAT(capture.Lines(),
              ElementsAre("Exception in a texture frame callback: bad_function_call",
                          "Exception in a texture frame callback: no surface",
                          "Exception in a texture unregistration callback: late"));
}

TEST_F(TextureRegistrarImplTest, DestructionLeavesTexturesRegisteredAndCallsNothing) {
  TextureSource source = PixelSource{[](std::size_t, std::size_t) { return kPixels; }};
  int64_t id = 0;
  {
    TextureRegistrarImpl registrar(engine_.texture_registrar());
    id = registrar.RegisterExternalTexture(&source);
    engine_.ClearCalls();
  }
  EXPECT_THAT(engine_.CallTexts(), IsEmpty());
  EXPECT_EQ(engine_.RequestPixelBuffer(id, 1, 1), kPixels);
}

}  // namespace
}  // namespace flutter
