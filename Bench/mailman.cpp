// One message broadcast to 1, 10 and 100 mailboxes, each of which handles it: posted and delivered
// by the post office, and sent at once. Includes the message's pooled allocation and its release.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

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

}  // namespace

BENCHMARK(PostAndDeliver)->Arg(1)->Arg(10)->Arg(100);
BENCHMARK(SendAtOnce)->Arg(1)->Arg(10)->Arg(100);
