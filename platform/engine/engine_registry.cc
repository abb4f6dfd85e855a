#include "platform/engine/engine_registry.h"

#include <string>
#include <vector>

#include "platform/engine/violation_report.h"

namespace engine_host::internal {

EngineRegistry& EngineRegistry::Instance() {
  static auto* const registry = new EngineRegistry();
  return *registry;
}

std::shared_ptr<EngineState> EngineRegistry::Create() {
  std::lock_guard<std::mutex> lock(mutex_);
  const uint32_t id = next_id_++;
  auto engine = std::make_shared<EngineState>(id);
  engines_.emplace(id, engine);
  return engine;
}

std::shared_ptr<EngineState> EngineRegistry::Find(const void* handle) const {
  const std::optional<HandleToken> token = DecodeHandle(handle);
  if (!token) return nullptr;
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = engines_.find(token->engine);
  return found == engines_.end() ? nullptr : found->second;
}

void EngineRegistry::Remove(uint32_t id) {
  std::shared_ptr<EngineState> removed;  // let go of after the lock, outside the table
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = engines_.find(id);
  if (found == engines_.end()) return;
  removed = std::move(found->second);
  engines_.erase(found);
}

void EngineRegistry::ReportForeignCall(const EngineCall& call, const void* handle, HandleKind kind,
                                       const std::optional<CallValue>& result) {
  std::string problem;
  if (handle == nullptr) {
    problem = std::string("null ") + HandleKindName(kind);
  } else if (!DecodeHandle(handle)) {
    problem = "not a handle the engine issued";
  } else {
    problem = "names an engine that is gone";
  }
  CallRecord record;
  std::vector<std::shared_ptr<EngineState>> engines;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    record = foreign_log_.Render(call, result);
    for (const auto& entry : engines_) engines.push_back(entry.second);
  }
  const std::string violation = record.Text() + ": " + problem;
  WriteViolationLine(violation);
  for (const auto& engine : engines) {
    if (!engine->shut_down()) engine->RecordForeignCall(record, violation);
  }
}

}  // namespace engine_host::internal
