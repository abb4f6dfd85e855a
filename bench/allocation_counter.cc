#include "bench/allocation_counter.h"

#include <cstdlib>
#include <new>

namespace quorlax_bench {
namespace {

// Per thread, so that counting costs one unsynchronised increment and another thread's
// allocations never land in a benchmark's figure.
thread_local std::uint64_t allocations = 0;

void* Allocate(std::size_t size) {
  ++allocations;
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}

void* AllocateAligned(std::size_t size, std::align_val_t alignment) {
  ++allocations;
  const auto align = static_cast<std::size_t>(alignment);
  // aligned_alloc wants a size that is a multiple of the alignment.
  const std::size_t rounded = (size + align - 1) / align * align;
  if (void* block = std::aligned_alloc(align, rounded == 0 ? align : rounded)) return block;
  throw std::bad_alloc();
}

}  // namespace

std::uint64_t AllocationsSoFar() noexcept { return allocations; }

void ReportAllocations(benchmark::State& state, std::uint64_t since) {
  state.counters["allocs"] = benchmark::Counter(static_cast<double>(allocations - since),
                                                benchmark::Counter::kAvgIterations);
}

}  // namespace quorlax_bench

// The array and nothrow forms of the standard library forward to these.
void* operator new(std::size_t size) { return quorlax_bench::Allocate(size); }
void* operator new(std::size_t size, std::align_val_t alignment) {
  return quorlax_bench::AllocateAligned(size, alignment);
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, std::align_val_t) noexcept { std::free(block); }
void operator delete(void* block, std::size_t, std::align_val_t) noexcept { std::free(block); }
