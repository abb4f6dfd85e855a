// What the copies of one Reply share: the module's reply callback and whether it has been called.
#ifndef QUORLAX_PLATFORM_ENGINE_REPLY_STATE_H_
#define QUORLAX_PLATFORM_ENGINE_REPLY_STATE_H_

#include <atomic>

#include "engine_api/engine_api.h"

namespace engine_host::internal {

struct ReplyState {
  ReplyState(FlutterDesktopBinaryReply reply_callback, void* reply_user_data)
      : callback(reply_callback), user_data(reply_user_data) {}

  const FlutterDesktopBinaryReply callback;
  void* const user_data;
  // Set by the one Send that calls the callback; atomic because copies answer on any thread.
  std::atomic<bool> sent{false};
};

}  // namespace engine_host::internal

#endif  // QUORLAX_PLATFORM_ENGINE_REPLY_STATE_H_
