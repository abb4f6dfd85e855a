// The standard codec against memcpy and against msgpack-cxx, payload by payload.
//
// Each figure is meant to be read as a ratio against its peer measured in the same run. Payloads
// are built once, outside the timing, and checked to round-trip on both sides, so a benchmark
// that stopped measuring what it says aborts the run instead of reporting a figure. Every timed
// iteration starts from nothing and ends with its result destroyed: a fresh output buffer or a
// fresh value tree, as a channel message gets.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <msgpack.hpp>
#include <string>
#include <utility>
#include <vector>

#include "bench/allocation_counter.h"
#include "binding/channel/method_call.h"
#include "binding/codec/byte_buffer_streams.h"
#include "binding/codec/encodable_value.h"
#include "binding/codec/standard_codec_serializer.h"
#include "binding/codec/standard_method_codec.h"

namespace quorlax_bench {
namespace {

using flutter::EncodableValue;
using flutter::ValueList;
using flutter::ValueMap;

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "codec_bench: %s\n", what);
  std::abort();
}

bool Equivalent(const EncodableValue& a, const EncodableValue& b) { return !(a < b) && !(b < a); }

const flutter::StandardCodecSerializer& Serializer() {
  return flutter::StandardCodecSerializer::Instance();
}

std::vector<uint8_t> QuorlaxEncoded(const EncodableValue& value) {
  std::vector<uint8_t> bytes;
  flutter::ByteBufferStreamWriter writer(&bytes);
  Serializer().WriteValue(value, writer);
  return bytes;
}

EncodableValue QuorlaxDecoded(const std::vector<uint8_t>& bytes) {
  flutter::ByteBufferStreamReader reader(bytes.data(), bytes.size());
  return Serializer().ReadValue(reader);
}

template <typename Native>
std::vector<uint8_t> MsgpackPacked(const Native& native) {
  msgpack::sbuffer buffer;
  msgpack::pack(buffer, native);
  const auto* data = reinterpret_cast<const uint8_t*>(buffer.data());
  return std::vector<uint8_t>(data, data + buffer.size());
}

template <typename Native>
Native MsgpackUnpacked(const std::vector<uint8_t>& bytes) {
  const msgpack::object_handle handle =
      msgpack::unpack(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  Native native;
  handle.get().convert(native);
  return native;
}

// One payload in both forms, each with its encoding.
template <typename Native>
struct Payload {
  Payload(EncodableValue quorlax_value, Native msgpack_native)
      : value(std::move(quorlax_value)),
        encoded(QuorlaxEncoded(value)),
        native(std::move(msgpack_native)),
        packed(MsgpackPacked(native)) {
    if (!Equivalent(QuorlaxDecoded(encoded), value)) Fail("the module's round trip differs");
    if (!(MsgpackUnpacked<Native>(packed) == native)) Fail("msgpack's round trip differs");
  }

  EncodableValue value;
  std::vector<uint8_t> encoded;
  Native native;
  std::vector<uint8_t> packed;
};

// A double list of 1,000,000 non-integral values, which msgpack keeps as float64.
const Payload<std::vector<double>>& DoubleList1M() {
  static const auto* const payload = [] {
    std::vector<double> doubles(1000000);
    for (std::size_t i = 0; i < doubles.size(); ++i)
      doubles[i] = static_cast<double>(i) * 1.5 + 0.25;
    return new Payload<std::vector<double>>(EncodableValue(doubles), doubles);
  }();
  return *payload;
}

// A byte list of 16 MiB.
const Payload<std::vector<uint8_t>>& Bytes16MiB() {
  static const auto* const payload = [] {
    std::vector<uint8_t> bytes(16 << 20);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 131 + 7);
    return new Payload<std::vector<uint8_t>>(EncodableValue(bytes), bytes);
  }();
  return *payload;
}

// A StructuredMap10k value as msgpack users would declare it: converting the unpacked map into
// these native types is msgpack's equivalent of the module's decoded value tree.
struct Record {
  int32_t id = 0;
  double score = 0;
  std::string name;
  std::vector<std::string> tags;
  MSGPACK_DEFINE_MAP(id, score, name, tags)

  bool operator==(const Record& other) const {
    return id == other.id && score == other.score && name == other.name && tags == other.tags;
  }
};
using RecordMap = std::map<std::string, Record>;

// For StructuredMap10k msgpack packs from its own object tree, the counterpart of packing an
// EncodableValue tree.
struct StructuredMap : Payload<RecordMap> {
  using Payload::Payload;
  msgpack::zone zone;
  msgpack::object tree{native, zone};
};

// Entries "key00000"...: each a map with "id" (32-bit integer), "score" (double), "name"
// (12 characters) and "tags" (3 short strings). Each side's tree is built in a pass of its own, in
// key order, as an application would build it; interleaving the two would scatter both over the
// heap and measure the allocator's placement instead of the codecs.
RecordMap Records(int32_t entries) {
  RecordMap records;
  for (int32_t i = 0; i < entries; ++i) {
    char key[16];
    char name[16];
    std::snprintf(key, sizeof(key), "key%05d", static_cast<int>(i));
    std::snprintf(name, sizeof(name), "name-%07d", static_cast<int>(i));
    Record record;
    record.id = i;
    record.score = i * 0.75 + 0.125;
    record.name = name;
    for (int tag = 0; tag < 3; ++tag) record.tags.push_back("t" + std::to_string((i + tag) % 97));
    records.emplace_hint(records.end(), key, std::move(record));
  }
  return records;
}

EncodableValue ValueTree(const RecordMap& records) {
  ValueMap map;
  for (const auto& [key, record] : records) {
    ValueMap entry;
    entry.emplace(EncodableValue("id"), EncodableValue(record.id));
    entry.emplace(EncodableValue("score"), EncodableValue(record.score));
    entry.emplace(EncodableValue("name"), EncodableValue(record.name));
    entry.emplace(EncodableValue("tags"),
                  EncodableValue(ValueList(record.tags.begin(), record.tags.end())));
    map.emplace_hint(map.end(), EncodableValue(key), EncodableValue(std::move(entry)));
  }
  return EncodableValue(std::move(map));
}

template <int32_t kEntries>
const StructuredMap& StructuredMapOf() {
  static const auto* const payload = [] {
    RecordMap records = Records(kEntries);
    EncodableValue tree = ValueTree(records);
    return new StructuredMap(std::move(tree), std::move(records));
  }();
  return *payload;
}

// The payload of the goals: 10,000 entries. The value tree takes 9.8 MB of heap in six blocks
// per entry (976 bytes an entry); msgpack's object tree 3.2 MB in its zone.
const StructuredMap& StructuredMap10k() { return StructuredMapOf<10000>(); }
// A tenth of it, whose value tree (1 MB) nearly fits the second-level cache: the difference
// between the two encode ratios is what the size of the value tree costs.
const StructuredMap& StructuredMap1k() { return StructuredMapOf<1000>(); }

// The method call "getPlatformVersion" with a null argument. Msgpack users would send it as an
// array of the name and the argument, and read it into a struct.
struct Call {
  std::string method;
  msgpack::object arguments;
  MSGPACK_DEFINE(method, arguments)

  bool operator==(const Call& other) const {
    return method == other.method && arguments == other.arguments;
  }
};

struct PlatformVersionCall {
  PlatformVersionCall()
      : call("getPlatformVersion", std::make_unique<EncodableValue>()),
        encoded(std::move(*flutter::StandardMethodCodec::Instance().EncodeCall(call))),
        native{"getPlatformVersion", msgpack::object()},
        packed(MsgpackPacked(native)) {
    const auto decoded =
        flutter::StandardMethodCodec::Instance().DecodeCall(encoded.data(), encoded.size());
    if (!decoded || decoded->MethodName() != call.MethodName() || !decoded->Arguments() ||
        !decoded->Arguments()->IsNull()) {
      Fail("the module's round trip of the call differs");
    }
    if (!(MsgpackUnpacked<Call>(packed) == native))
      Fail("msgpack's round trip of the call differs");
  }

  flutter::MethodCall<EncodableValue> call;
  std::vector<uint8_t> encoded;
  Call native;
  std::vector<uint8_t> packed;
};

const PlatformVersionCall& PlatformVersion() {
  static const auto* const payload = new PlatformVersionCall();
  return *payload;
}

// The module: the serializer over the byte streams, as the method codec drives it.

void QuorlaxEncode(benchmark::State& state, const EncodableValue& value, std::size_t size) {
  const uint64_t before = AllocationsSoFar();
  for (auto _ : state) {
    std::vector<uint8_t> bytes;
    flutter::ByteBufferStreamWriter writer(&bytes);
    Serializer().WriteValue(value, writer);
    benchmark::DoNotOptimize(bytes.data());
    benchmark::ClobberMemory();
  }
  ReportAllocations(state, before);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
}

void QuorlaxDecode(benchmark::State& state, const std::vector<uint8_t>& bytes) {
  const uint64_t before = AllocationsSoFar();
  for (auto _ : state) {
    flutter::ByteBufferStreamReader reader(bytes.data(), bytes.size());
    EncodableValue value = Serializer().ReadValue(reader);
    benchmark::DoNotOptimize(value);
    benchmark::ClobberMemory();
  }
  ReportAllocations(state, before);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

// msgpack: packing into its own growing buffer, unpacking into its zone and converting.

template <typename Packable>
void MsgpackEncode(benchmark::State& state, const Packable& packable, std::size_t size) {
  for (auto _ : state) {
    msgpack::sbuffer buffer;
    msgpack::pack(buffer, packable);
    benchmark::DoNotOptimize(buffer.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
}

template <typename Native>
void MsgpackDecode(benchmark::State& state, const std::vector<uint8_t>& packed) {
  for (auto _ : state) {
    Native native = MsgpackUnpacked<Native>(packed);
    benchmark::DoNotOptimize(native);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * packed.size()));
}

// The floor for bulk payloads: the encoded size copied into a fresh buffer.
void Memcpy(benchmark::State& state, const std::vector<uint8_t>& bytes) {
  for (auto _ : state) {
    std::unique_ptr<uint8_t[]> copy(new uint8_t[bytes.size()]);
    std::memcpy(copy.get(), bytes.data(), bytes.size());
    benchmark::DoNotOptimize(copy.get());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

template <typename GetPayload>
void RegisterBulk(const char* name, GetPayload payload) {
  const std::string suffix = std::string("/") + name;
  benchmark::RegisterBenchmark(("Quorlax/Encode" + suffix).c_str(), [payload](
                                                                        benchmark::State& state) {
    QuorlaxEncode(state, payload().value, payload().encoded.size());
  })->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark(("Quorlax/Decode" + suffix).c_str(), [payload](
                                                                        benchmark::State& state) {
    QuorlaxDecode(state, payload().encoded);
  })->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark(("Msgpack/Encode" + suffix).c_str(), [payload](
                                                                        benchmark::State& state) {
    MsgpackEncode(state, payload().native, payload().packed.size());
  })->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark(("Msgpack/Decode" + suffix).c_str(), [payload](
                                                                        benchmark::State& state) {
    using Native = std::decay_t<decltype(payload().native)>;
    MsgpackDecode<Native>(state, payload().packed);
  })->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark(("Memcpy" + suffix).c_str(), [payload](benchmark::State& state) {
    Memcpy(state, payload().encoded);
  })->Unit(benchmark::kMillisecond);
}

template <typename GetPayload>
void RegisterStructuredMap(const char* name, GetPayload payload) {
  const std::string suffix = std::string("/") + name;
  benchmark::RegisterBenchmark(("Quorlax/Encode" + suffix).c_str(), [payload](
                                                                        benchmark::State& state) {
    QuorlaxEncode(state, payload().value, payload().encoded.size());
  })->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark(("Quorlax/Decode" + suffix).c_str(), [payload](
                                                                        benchmark::State& state) {
    QuorlaxDecode(state, payload().encoded);
  })->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark(("Msgpack/Encode" + suffix).c_str(), [payload](
                                                                        benchmark::State& state) {
    MsgpackEncode(state, payload().tree, payload().packed.size());
  })->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark(("Msgpack/Decode" + suffix).c_str(), [payload](
                                                                        benchmark::State& state) {
    MsgpackDecode<RecordMap>(state, payload().packed);
  })->Unit(benchmark::kMicrosecond);
}

// The call goes through the method codec, as a channel's messages do.
void RegisterPlatformVersionCall() {
  benchmark::RegisterBenchmark("Quorlax/Encode/PlatformVersionCall", [](benchmark::State& state) {
    const auto& codec = flutter::StandardMethodCodec::Instance();
    const auto& call = PlatformVersion().call;
    const uint64_t before = AllocationsSoFar();
    for (auto _ : state) {
      std::unique_ptr<std::vector<uint8_t>> bytes = codec.EncodeCall(call);
      benchmark::DoNotOptimize(bytes->data());
      benchmark::ClobberMemory();
    }
    ReportAllocations(state, before);
  });
  benchmark::RegisterBenchmark("Quorlax/Decode/PlatformVersionCall", [](benchmark::State& state) {
    const auto& codec = flutter::StandardMethodCodec::Instance();
    const std::vector<uint8_t>& bytes = PlatformVersion().encoded;
    const uint64_t before = AllocationsSoFar();
    for (auto _ : state) {
      auto call = codec.DecodeCall(bytes.data(), bytes.size());
      benchmark::DoNotOptimize(call);
      benchmark::ClobberMemory();
    }
    ReportAllocations(state, before);
  });
  benchmark::RegisterBenchmark("Msgpack/Encode/PlatformVersionCall", [](benchmark::State& state) {
    MsgpackEncode(state, PlatformVersion().native, PlatformVersion().packed.size());
  });
  benchmark::RegisterBenchmark("Msgpack/Decode/PlatformVersionCall", [](benchmark::State& state) {
    MsgpackDecode<Call>(state, PlatformVersion().packed);
  });
}

const bool registered = [] {
  RegisterBulk("DoubleList1M", DoubleList1M);
  RegisterBulk("Bytes16MiB", Bytes16MiB);
  RegisterStructuredMap("StructuredMap10k", StructuredMap10k);
  RegisterStructuredMap("StructuredMap1k", StructuredMap1k);
  RegisterPlatformVersionCall();
  return true;
}();

}  // namespace
}  // namespace quorlax_bench
