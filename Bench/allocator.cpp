// Allocation and free of 64-byte blocks with 10, 1,000 and 100,000 blocks live: through a pool with
// debugging on (the shipped setting), with debugging off, and through the general heap. Each
// iteration frees one live block picked at random and allocates its replacement, so the pool's
// free-time checks run against a pool of that size; their cost must not grow with it. Printed: the
// pool over the heap at 100,000, and each at 100,000 over itself at 10. Neither check walks a list:
// what grows with the pool is cache misses. A random free touches the block's guard bytes, the
// page table's bucket, the page's base and the block's free flag, each in memory of its own, where
// the heap and the pool without checks touch the block alone; with the blocks picked in address
// order instead the checked pool costs about the same at 100,000 as at 10.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "Ratio.h"
#include "Util/Allocator.h"

namespace {

constexpr size_t kBlock = 64;

struct HeapSource {
  void* Allocate() { return ::operator new(kBlock); }
  void Free(void* p) { ::operator delete(p); }
};

struct PoolSource {
  explicit PoolSource(bool debug) : pool(kBlock, Config(debug)) {}
  static Util::AllocatorConfig Config(bool debug) {
    Util::AllocatorConfig c = Util::ShippedAllocatorConfig();
    c.DebugOn_ = debug;
    return c;
  }
  void* Allocate() { return pool.Allocate(); }
  void Free(void* p) { pool.Free(p); }
  Util::BlockPool pool;
};

template <class Source>
void Churn(benchmark::State& state, Source& source) {
  const size_t live = static_cast<size_t>(state.range(0));
  std::vector<void*> blocks(live);
  for (void*& b : blocks) b = source.Allocate();
  std::vector<size_t> picks(1 << 16);
  std::mt19937 rng(11);
  for (size_t& p : picks) p = rng() % live;
  size_t next = 0;
  for (auto _ : state) {
    const size_t i = picks[next++ & (picks.size() - 1)];
    source.Free(blocks[i]);
    blocks[i] = source.Allocate();
    benchmark::DoNotOptimize(blocks[i]);
  }
  for (void* b : blocks) source.Free(b);
  state.SetItemsProcessed(state.iterations());
}

void PoolDebugOn(benchmark::State& state) {
  PoolSource source(true);
  Churn(state, source);
}

void PoolDebugOff(benchmark::State& state) {
  PoolSource source(false);
  Churn(state, source);
}

void GeneralHeap(benchmark::State& state) {
  HeapSource source;
  Churn(state, source);
}

}  // namespace

BENCHMARK(PoolDebugOn)->Arg(10)->Arg(1000)->Arg(100000);
BENCHMARK(PoolDebugOff)->Arg(10)->Arg(1000)->Arg(100000);
BENCHMARK(GeneralHeap)->Arg(10)->Arg(1000)->Arg(100000);

BENCH_MAIN_WITH_RATIOS({"PoolDebugOff/100000", "GeneralHeap/100000"}, {"PoolDebugOn/100000", "GeneralHeap/100000"},
                       {"PoolDebugOn/100000", "PoolDebugOn/10"}, {"GeneralHeap/100000", "GeneralHeap/10"})
