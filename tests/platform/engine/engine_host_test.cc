// The stand-in engine across threads: responses and replies from other threads, the messenger
// lock against the host's availability switch.
#include "platform/engine/engine_host.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

#include "engine_api/engine_api.h"

namespace {

using engine_host::Engine;
using engine_host::Reply;
using testing::IsEmpty;

void IgnoreMessage(FlutterDesktopMessengerRef, const FlutterDesktopMessage*, void*) {}

// Answers as the module's responder does.
void Respond(FlutterDesktopMessengerRef messenger,
             const FlutterDesktopMessageResponseHandle* handle, const std::vector<uint8_t>& bytes) {
  FlutterDesktopMessengerRef unlock = FlutterDesktopMessengerLock(messenger);
  if (FlutterDesktopMessengerIsAvailable(messenger)) {
    FlutterDesktopMessengerSendResponse(messenger, handle, bytes.data(), bytes.size());
  }
  if (unlock != nullptr) FlutterDesktopMessengerUnlock(unlock);
}

TEST(EngineHostTest, AResponseFromAnotherThreadCanBeWaitedFor) {
  Engine engine;
  FlutterDesktopMessengerSetCallback(engine.messenger(), "quorlax", IgnoreMessage, nullptr);
  const FlutterDesktopMessageResponseHandle* handle = engine.Deliver("quorlax", nullptr, 0);
  EXPECT_FALSE(engine.WaitForResponse(handle, std::chrono::milliseconds(1)));

  std::thread answerer([&] { Respond(engine.messenger(), handle, {0x2A}); });
  EXPECT_TRUE(engine.WaitForResponse(handle, std::chrono::seconds(60)));
  answerer.join();

  EXPECT_TRUE(engine.Response(handle)->answered);
  EXPECT_EQ(engine.Response(handle)->bytes, std::vector<uint8_t>{0x2A});
  EXPECT_FALSE(engine.MessengerLockHeld());
  EXPECT_THAT(engine.Violations(), IsEmpty());
}

TEST(EngineHostTest, ConcurrentRespondersEachAnswerTheirOwnMessageOnce) {
  Engine engine;
  FlutterDesktopMessengerSetCallback(engine.messenger(), "quorlax", IgnoreMessage, nullptr);
  constexpr int kThreads = 4;
  constexpr int kMessagesPerThread = 50;
  std::vector<const FlutterDesktopMessageResponseHandle*> handles;
  for (int i = 0; i < kThreads * kMessagesPerThread; ++i) {
    handles.push_back(engine.Deliver("quorlax", nullptr, 0));
  }

  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = t * kMessagesPerThread; i < (t + 1) * kMessagesPerThread; ++i) {
        FlutterDesktopMessengerRef messenger = FlutterDesktopMessengerAddRef(engine.messenger());
        Respond(messenger, handles[i], {static_cast<uint8_t>(i)});
        FlutterDesktopMessengerRelease(messenger);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();

  for (size_t i = 0; i < handles.size(); ++i) {
    EXPECT_EQ(engine.Response(handles[i])->bytes, std::vector<uint8_t>{static_cast<uint8_t>(i)});
    EXPECT_EQ(engine.Response(handles[i])->attempts, 1);
  }
  EXPECT_EQ(engine.MessengerReferences(), 0u);
  EXPECT_THAT(engine.Violations(), IsEmpty());
}

TEST(EngineHostTest, SwitchingAvailabilityWaitsForTheLockHolder) {
  Engine engine;
  ASSERT_EQ(FlutterDesktopMessengerLock(engine.messenger()), engine.messenger());
  // The holder itself may switch without waiting for itself.
  engine.SetAvailable(true);

  std::atomic<bool> switched{false};
  std::thread host([&] {
    engine.SetAvailable(false);
    switched = true;
  });
  // Give the host thread the chance to get ahead: it must not while the lock is held.
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_FALSE(switched);
  EXPECT_TRUE(FlutterDesktopMessengerIsAvailable(engine.messenger()));
  FlutterDesktopMessengerUnlock(engine.messenger());
  host.join();

  EXPECT_FALSE(FlutterDesktopMessengerIsAvailable(engine.messenger()));
  EXPECT_THAT(engine.Violations(), IsEmpty());
}

struct ReplySeen {
  std::atomic<int> calls{0};
  std::thread::id thread;
};

void RecordReplyThread(const uint8_t*, size_t, void* user_data) {
  auto* seen = static_cast<ReplySeen*>(user_data);
  seen->thread = std::this_thread::get_id();
  ++seen->calls;
}

TEST(EngineHostTest, AKeptReplyIsSentOnceFromWhicheverThreadSendsFirst) {
  Engine engine;
  Reply kept;
  engine.SetOutgoingHandler("out", [&](const std::vector<uint8_t>&, Reply reply) { kept = reply; });
  ReplySeen seen;
  ASSERT_TRUE(FlutterDesktopMessengerSendWithReply(engine.messenger(), "out", nullptr, 0,
                                                   RecordReplyThread, &seen));
  EXPECT_EQ(seen.calls, 0);

  std::atomic<int> sent{0};
  std::vector<std::thread> senders;
  std::vector<std::thread::id> ids;
  for (int i = 0; i < 2; ++i) {
    senders.emplace_back([&] {
      if (kept.Send(nullptr, 0)) ++sent;
    });
    ids.push_back(senders.back().get_id());
  }
  for (std::thread& sender : senders) sender.join();

  EXPECT_EQ(sent, 1);
  EXPECT_EQ(seen.calls, 1);
  EXPECT_THAT(ids, testing::Contains(seen.thread));
}

}  // namespace
