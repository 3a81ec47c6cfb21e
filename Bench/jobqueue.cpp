// Throughput of the job ring queue between two threads: one pushes, the other pops, as the main
// thread and the worker do. Jobs are recycled rather than allocated per pass, so the figure is
// the queue's own cost (index publication and the cache lines the two threads share).
#include <benchmark/benchmark.h>

#include <memory>
#include <thread>

#include "Util/JobQueue.h"

namespace {

void BM_JobQueueTwoThreads(benchmark::State& state) {
  const int64_t perPass = state.range(0);
  Util::Job job;
  for (auto _ : state) {
    Util::JobQueue queue;
    std::thread consumer([&] {
      for (int64_t taken = 0; taken < perPass;) {
        std::unique_ptr<Util::Job> popped = queue.Pop();
        if (!popped) continue;
        benchmark::DoNotOptimize(popped.release());  // the one job, handed round and round
        ++taken;
      }
    });
    for (int64_t i = 0; i < perPass; ++i) queue.Push(std::unique_ptr<Util::Job>(&job));
    consumer.join();
  }
  state.SetItemsProcessed(state.iterations() * perPass);
}
BENCHMARK(BM_JobQueueTwoThreads)->Arg(1 << 20)->UseRealTime()->Unit(benchmark::kMillisecond);

// The same with a fresh job per push, deleted by the consumer: what the worker's traffic costs.
void BM_JobQueueTwoThreadsAllocating(benchmark::State& state) {
  const int64_t perPass = state.range(0);
  for (auto _ : state) {
    Util::JobQueue queue;
    std::thread consumer([&] {
      for (int64_t taken = 0; taken < perPass;) {
        if (queue.Pop()) ++taken;
      }
    });
    for (int64_t i = 0; i < perPass; ++i) queue.Push(std::make_unique<Util::Job>());
    consumer.join();
  }
  state.SetItemsProcessed(state.iterations() * perPass);
}
BENCHMARK(BM_JobQueueTwoThreadsAllocating)->Arg(1 << 20)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
