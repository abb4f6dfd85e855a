// What the fuzz targets share: the input moved to an odd address, and the check that stops the
// run when an invariant fails.
//
// Every target is one LLVMFuzzerTestOneInput. Under libFuzzer it runs millions of times; compiled
// with replay_main.cc it runs once per stored input, as a test. A failed invariant aborts in both.
//
// The codec writes a diagnostic line to standard error for every read past the end; fuzzing
// produces millions. The runs keep them off the log with libFuzzer's -close_fd_mask=2, which
// discards the target's standard error but keeps libFuzzer's own output and the sanitizers'
// reports, rather than by any redirection here: a replay then shows every line.
#ifndef QUORLAX_FUZZ_FUZZ_SUPPORT_H_
#define QUORLAX_FUZZ_FUZZ_SUPPORT_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "binding/codec/byte_buffer_streams.h"
#include "binding/codec/encodable_value.h"
#include "binding/codec/standard_codec_serializer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size);

namespace quorlax_fuzz {

// A copy of some bytes that starts at an odd address and ends where its allocation ends. The
// decoders count alignment from the start of the message, never from the address, so a read that
// assumes an aligned address shows up under UBSan; a read past the end still hits the allocation's
// end under ASan.
class OddCopy {
 public:
  OddCopy(const uint8_t* data, std::size_t size) : storage_(new uint8_t[size + 1]), size_(size) {
    if (size != 0) std::memcpy(storage_.get() + 1, data, size);
  }
  explicit OddCopy(const std::vector<uint8_t>& bytes) : OddCopy(bytes.data(), bytes.size()) {}

  const uint8_t* data() const { return storage_.get() + 1; }
  std::size_t size() const { return size_; }

 private:
  std::unique_ptr<uint8_t[]> storage_;
  std::size_t size_;
};

[[noreturn]] inline void Fail(const char* file, int line, const char* condition) {
  std::fprintf(stderr, "%s:%d: invariant failed: %s\n", file, line, condition);
  std::fflush(stderr);
  std::abort();
}

// Unlike assert, also checks in builds with NDEBUG, which the fuzz build is.
#define QUORLAX_FUZZ_REQUIRE(condition) \
  ((condition) ? static_cast<void>(0) : ::quorlax_fuzz::Fail(__FILE__, __LINE__, #condition))

inline std::vector<uint8_t> Encode(const flutter::EncodableValue& value) {
  std::vector<uint8_t> bytes;
  flutter::ByteBufferStreamWriter writer(&bytes);
  flutter::StandardCodecSerializer::Instance().WriteValue(value, writer);
  return bytes;
}

}  // namespace quorlax_fuzz

#endif  // QUORLAX_FUZZ_FUZZ_SUPPORT_H_
