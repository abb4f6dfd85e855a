// The process-wide table of engines that the module can still name, by engine id.
//
// An engine enters it when its Engine object is made and leaves it when it has shut down and the
// module holds no more references to its messenger. The C functions find the engine a call names
// through it; a call that names none is reported here.
#ifndef QUORLAX_PLATFORM_ENGINE_ENGINE_REGISTRY_H_
#define QUORLAX_PLATFORM_ENGINE_ENGINE_REGISTRY_H_

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/engine/call_log.h"
#include "platform/engine/engine_state.h"
#include "platform/engine/handle_token.h"

namespace engine_host::internal {

class EngineRegistry {
 public:
  // Created on first use and never destroyed, so that engines and calls made while the process
  // exits still find it.
  static EngineRegistry& Instance();

  // A new engine with an id of its own, entered in the table.
  std::shared_ptr<EngineState> Create();
  // The engine that issued `handle`; null when it is not a handle of an engine in the table.
  std::shared_ptr<EngineState> Find(const void* handle) const;
  void Remove(uint32_t id);
  // Reports a call whose first handle, of kind `kind`, names no engine in the table: one line on
  // standard error, and the call with its violation in the log of every engine not shut down.
  void ReportForeignCall(const EngineCall& call, const void* handle, HandleKind kind,
                         const std::optional<CallValue>& result);

 private:
  EngineRegistry() = default;

  mutable std::mutex mutex_;
  uint32_t next_id_ = 1;
  std::map<uint32_t, std::shared_ptr<EngineState>> engines_;
  // Names the foreign pointers of calls that belong to no engine; guarded by mutex_.
  CallLog foreign_log_{0};
};

}  // namespace engine_host::internal

#endif  // QUORLAX_PLATFORM_ENGINE_ENGINE_REGISTRY_H_
