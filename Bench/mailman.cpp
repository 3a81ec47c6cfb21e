// One message broadcast to 1, 10 and 100 mailboxes, each of which handles it: posted and delivered
// by the post office, and sent at once. Includes the message's pooled allocation and its release.
// The anchor, VirtualCalls: the same number of objects behind a base class, each given the value
// through a virtual call from a loop over a vector, the least a broadcast can cost.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "Ratio.h"
#include "Messaging/Messages.h"

namespace {

class Counter : public Msg::MailBox {
 public:
  void Receive(const Util::Handle<Msg::gameAreaMsg>& message) override { m_Sum += message->m_Area; }
  long m_Sum = 0;
};

std::vector<std::unique_ptr<Counter>> Boxes(benchmark::State& state) {
  std::vector<std::unique_ptr<Counter>> boxes;
  for (int64_t i = 0; i < state.range(0); ++i) boxes.push_back(std::make_unique<Counter>());
  return boxes;
}

void PostAndDeliver(benchmark::State& state) {
  auto boxes = Boxes(state);
  Msg::MailMan& postOffice = Msg::MailMan::Instance();
  for (auto _ : state) {
    postOffice.Post(new Msg::gameAreaMsg(1));
    postOffice.Deliver();
  }
  benchmark::DoNotOptimize(boxes.front()->m_Sum);
  postOffice.Shutdown();
  Msg::MailMan::Destroy();
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void SendAtOnce(benchmark::State& state) {
  auto boxes = Boxes(state);
  for (auto _ : state) Msg::Send(new Msg::gameAreaMsg(1));
  benchmark::DoNotOptimize(boxes.front()->m_Sum);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

class Receiver {
 public:
  virtual ~Receiver() = default;
  virtual void Receive(int32_t value) = 0;
};

class Summer : public Receiver {
 public:
  void Receive(int32_t value) override { m_Sum += value; }
  long m_Sum = 0;
};

// A second kind, so that the compiler cannot turn the loop's calls into a type test and inlined
// code: the anchor must make a real call through the virtual table, as a broadcast does.
class Subtracter : public Summer {
 public:
  void Receive(int32_t value) override { m_Sum -= value; }
};

[[gnu::noinline]] std::unique_ptr<Receiver> MakeReceiver(bool subtracting) {
  if (subtracting) return std::make_unique<Subtracter>();
  return std::make_unique<Summer>();
}

void VirtualCalls(benchmark::State& state) {
  std::vector<std::unique_ptr<Receiver>> receivers;
  for (int64_t i = 0; i < state.range(0); ++i) receivers.push_back(MakeReceiver(state.range(0) < 0));
  int32_t value = 1;
  for (auto _ : state) {
    benchmark::DoNotOptimize(value);
    for (const auto& receiver : receivers) receiver->Receive(value);
  }
  benchmark::DoNotOptimize(static_cast<Summer&>(*receivers.front()).m_Sum);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK(VirtualCalls)->Arg(1)->Arg(10)->Arg(100);
BENCHMARK(PostAndDeliver)->Arg(1)->Arg(10)->Arg(100);
BENCHMARK(SendAtOnce)->Arg(1)->Arg(10)->Arg(100);

BENCH_MAIN_WITH_RATIOS({"PostAndDeliver/100", "VirtualCalls/100"}, {"PostAndDeliver/10", "VirtualCalls/10"},
                       {"PostAndDeliver/1", "VirtualCalls/1"}, {"SendAtOnce/100", "VirtualCalls/100"})
