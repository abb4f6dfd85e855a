// Memory that cannot be had, at every allocation the module makes in turn: registration and each
// message still end soundly. Every message gets exactly one response, every messenger reference
// taken is given back, the engine sees no protocol violation, and (under AddressSanitizer) nothing
// leaks.
//
// The module's allocations are told apart from the engine's and the test's by the caller of
// operator new, so this runs only where the executable's operator new serves the module too.
#include <dlfcn.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "binding/codec/standard_method_codec.h"
#include "platform/engine/engine_host.h"
#include "plugin/quorlax_plugin_c_api.h"
#include "tests/support/test_support.h"

namespace {

// Allocations by the module left before one fails; negative: none fails.
std::atomic<long> allocations_before_failure{-1};
std::atomic<bool> failed{false};

bool CalledFromTheModule(const void* caller) {
  static const void* const module_base = [] {
    Dl_info info;
    return dladdr(reinterpret_cast<void*>(&QuorlaxPluginCApiRegisterWithRegistrar), &info) != 0
               ? info.dli_fbase
               : nullptr;
  }();
  Dl_info info;
  return dladdr(caller, &info) != 0 && info.dli_fbase == module_base;
}

void* Allocate(std::size_t size, const void* caller) {
  if (allocations_before_failure.load() >= 0 && CalledFromTheModule(caller) &&
      allocations_before_failure.fetch_sub(1) == 0) {
    failed = true;
    throw std::bad_alloc();
  }
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size, __builtin_return_address(0)); }
void* operator new[](std::size_t size) { return Allocate(size, __builtin_return_address(0)); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }

namespace {

using engine_host::Engine;
using testing::IsEmpty;

std::vector<uint8_t> Call(const std::string& method) {
  return *flutter::StandardMethodCodec::Instance().EncodeCall(
      flutter::MethodCall<>(method, nullptr));
}

// Runs `step` with the n-th allocation of the module failing, for n = 0, 1, ... until a run
// makes no allocation fail; returns how many runs saw a failure.
template <typename Step>
int FailEachAllocationInTurn(Step step) {
  for (long n = 0;; ++n) {
    failed = false;
    allocations_before_failure = n;
    step(n);
    allocations_before_failure = -1;
    if (!failed) return static_cast<int>(n);
  }
}

TEST(AllocationFailureTest, EveryMessageIsAnsweredOnce) {
  Engine engine;
  QuorlaxPluginCApiRegisterWithRegistrar(engine.CreateRegistrar(true));
  const std::vector<uint8_t> version = Call("getPlatformVersion");
  const std::vector<uint8_t> other = Call("other");
  quorlax_test::StderrCapture capture;
  int failures = 0;
  for (const std::vector<uint8_t>* message : {&version, &other}) {
    failures += FailEachAllocationInTurn([&](long n) {
      const engine_host::ResponseRecord response =
          *engine.Response(engine.Deliver("quorlax", *message));
      EXPECT_TRUE(response.answered) << "allocation " << n;
      EXPECT_EQ(response.attempts, 1) << "allocation " << n;
      EXPECT_EQ(engine.MessengerReferences(), 0u) << "allocation " << n;
    });
  }
  capture.Lines();
  EXPECT_GT(failures, 5);  // the sweep did reach the module's allocations
  EXPECT_THAT(engine.Violations(), IsEmpty());
  // And the module still answers in full.
  EXPECT_EQ(quorlax_test::ToHex(engine.Response(engine.Deliver("quorlax", version))->bytes),
            "00 07 0B 57 69 6E 64 6F 77 73 20 31 30 2B");
}

TEST(AllocationFailureTest, AFailedRegistrationLeavesNoHandlerWithoutItsPlugin) {
  quorlax_test::StderrCapture capture;
  const int failures = FailEachAllocationInTurn([](long n) {
    Engine engine;
    const FlutterDesktopPluginRegistrarRef registrar = engine.CreateRegistrar(true);
    QuorlaxPluginCApiRegisterWithRegistrar(registrar);
    const bool registered = failed == false;
    allocations_before_failure = -1;
    // Whatever is installed works; a message on a channel without a handler gets the engine's
    // own empty answer.
    const engine_host::ResponseRecord response =
        *engine.Response(engine.Deliver("quorlax", Call("getPlatformVersion")));
    EXPECT_TRUE(response.answered) << "allocation " << n;
    if (registered) {
      EXPECT_FALSE(response.null_data);
    }
    engine.DestroyRegistrar(registrar);
    EXPECT_THAT(engine.Violations(), IsEmpty()) << "allocation " << n;
  });
  EXPECT_GT(failures, 3);
  const std::vector<std::string> lines = capture.Lines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], "Exception in plugin registration: std::bad_alloc");
}

}  // namespace
