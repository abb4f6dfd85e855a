// Heap allocations counted for the benchmarks. This binary replaces the global operator new, so
// every allocation made through it, by the module, the standard containers or the benchmark,
// passes through a per-thread counter. Allocations straight through malloc (msgpack's zone and
// buffers) are not seen, which is why only the module's benchmarks report the counter.
#ifndef QUORLAX_BENCH_ALLOCATION_COUNTER_H_
#define QUORLAX_BENCH_ALLOCATION_COUNTER_H_

#include <benchmark/benchmark.h>

#include <cstdint>

namespace quorlax_bench {

// Allocations made through operator new by the calling thread since it started.
std::uint64_t AllocationsSoFar() noexcept;

// Sets the counter "allocs" of `state` to the allocations per iteration made by this thread since
// AllocationsSoFar() returned `since`. Call after the timing loop.
void ReportAllocations(benchmark::State& state, std::uint64_t since);

}  // namespace quorlax_bench

#endif  // QUORLAX_BENCH_ALLOCATION_COUNTER_H_
