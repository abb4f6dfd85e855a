// Results kept by a handler and answered from several threads, while the engine stops being
// available and its registrar, and then the engine itself, go away. Meant for ThreadSanitizer as
// much as for its assertions.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "binding/channel/method_call_channel.h"
#include "binding/codec/standard_method_codec.h"
#include "binding/registrar/registrar_table.h"
#include "platform/engine/engine_host.h"
#include "tests/support/test_support.h"

namespace flutter {
namespace {

using engine_host::Engine;
using Result = std::unique_ptr<MethodResult<EncodableValue>>;

// Results waiting for an answer, handed from the delivering thread to the answering ones.
class ResultQueue {
 public:
  void Push(Result result) {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      results_.push_back(std::move(result));
    }
    ready_.notify_one();
  }
  // Null once closed and empty.
  Result Pop() {
    std::unique_lock<std::mutex> lock(mutex_);
    ready_.wait(lock, [this] { return closed_ || !results_.empty(); });
    if (results_.empty()) return nullptr;
    Result result = std::move(results_.front());
    results_.pop_front();
    return result;
  }
  void Close() {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      closed_ = true;
    }
    ready_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<Result> results_;
  bool closed_ = false;
};

TEST(ThreadedAnswersTest, KeptResultsAnsweredWhileTheEngineGoesAway) {
  constexpr int kRounds = 4;
  constexpr int kMessages = 400;
  constexpr int kAnsweringThreads = 4;
  const std::vector<uint8_t> call =
      *StandardMethodCodec::Instance().EncodeCall(MethodCall<>("m", nullptr));

  for (int round = 0; round < kRounds; ++round) {
    SCOPED_TRACE(round);
    ResultQueue queue;
    std::vector<std::thread> answering;
    for (int i = 0; i < kAnsweringThreads; ++i) {
      answering.emplace_back([&queue] {
        while (Result result = queue.Pop()) result->Success(EncodableValue(1));
      });
    }

    auto engine = std::make_unique<Engine>();
    const FlutterDesktopPluginRegistrarRef registrar = engine->CreateRegistrar(true);
    const MethodCallChannel<> channel(
        RegistrarTable::Instance().FindOrCreate(registrar)->GetMessenger(), "quorlax",
        &StandardMethodCodec::Instance());
    channel.SetCallHandler(
        [&queue](const MethodCall<>&, Result result) { queue.Push(std::move(result)); });

    std::vector<const FlutterDesktopMessageResponseHandle*> handles;
    for (int i = 0; i < kMessages; ++i) {
      handles.push_back(engine->Deliver("quorlax", call));
      if (i == kMessages / 2) engine->SetAvailable(false);
    }
    // The registrar (with its messenger and the channel's handler) goes while results are still
    // being answered; in every other round the engine goes too.
    EXPECT_TRUE(engine->DestroyRegistrar(registrar));
    if (round % 2 == 1) engine.reset();
    queue.Close();
    for (std::thread& thread : answering) thread.join();

    if (engine) {
      EXPECT_EQ(engine->MessengerReferences(), 0u);
      EXPECT_THAT(engine->Violations(), testing::IsEmpty());
      int answered = 0;
      for (const auto* handle : handles) {
        const engine_host::ResponseRecord response = *engine->Response(handle);
        EXPECT_LE(response.attempts, 1);
        answered += response.answered ? 1 : 0;
      }
      EXPECT_LE(answered, kMessages / 2 + 1);  // nothing reached the engine once unavailable
    }
  }
}

}  // namespace
}  // namespace flutter
