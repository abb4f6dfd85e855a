// EngineMethodResult: the MethodResult that answers a message from the engine.
#ifndef QUORLAX_BINDING_CHANNEL_ENGINE_METHOD_RESULT_H_
#define QUORLAX_BINDING_CHANNEL_ENGINE_METHOD_RESULT_H_

#include <memory>
#include <string>
#include <utility>

#include "binding/channel/method_result.h"
#include "binding/channel/reply_slot.h"
#include "binding/codec/encodable_value.h"
#include "binding/codec/method_codec.h"
#include "binding/messaging/binary_messenger.h"

namespace flutter {

// Encodes its answer with the codec and passes the envelope to the message's reply, through a
// ReplySlot: a second answer is reported and ignored (its envelope is still encoded, then
// dropped), and a result destroyed unanswered reports the omission. A not-implemented answer is
// the empty response. `codec` must outlive the result.
//
// Threading: may be answered on any thread, one at a time (see ReplySlot).
template <typename T = EncodableValue>
class EngineMethodResult final : public MethodResult<T> {
 public:
  EngineMethodResult(ChannelReply reply, const MethodCodec<T>* codec)
      : reply_slot_(std::make_unique<ReplySlot>(std::move(reply))), codec_(codec) {}
  ~EngineMethodResult() override = default;

 protected:
  void DeliverSuccess(const T* result) override {
    const std::unique_ptr<std::vector<uint8_t>> envelope = codec_->EncodeSuccess(result);
    reply_slot_->Respond(envelope.get());
  }
  void DeliverError(const std::string& error_code, const std::string& error_message,
                    const T* error_details) override {
    const std::unique_ptr<std::vector<uint8_t>> envelope =
        codec_->EncodeError(error_code, error_message, error_details);
    reply_slot_->Respond(envelope.get());
  }
  void DeliverNotImplemented() override { reply_slot_->Respond(nullptr); }

 private:
  std::unique_ptr<ReplySlot> reply_slot_;
  const MethodCodec<T>* codec_;
};

}  // namespace flutter

#endif  // QUORLAX_BINDING_CHANNEL_ENGINE_METHOD_RESULT_H_
