// The renderer's frame, on the whole engine brought up on the game's own assets (the shipped
// opening; a 1280 x 720 window on a 1920 x 1080 desktop, so run it under a display: Xvfb's
// llvmpipe will do). Run from the build's bin folder, where ../../Assets is the asset tree.
//
// Visibility/n/cull: the frame's visibility step over n extra visuals of the built-in box spread
// round the view (cull 1: each box tested against the frustum, about a quarter in view; cull 0:
// never culled, all queued), then the queues emptied. Its anchor BareQueue makes the same number
// of virtual calls, each appending its object to a queue, and empties it.
// Frame: one whole frame of the shipped scene (camera, view, visibility, every pass, swap) with
// GL finished. Its anchor BareFrame clears the window, draws one textured full-screen quad,
// swaps and finishes.
#include <GL/glew.h>
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <vector>

#include "Core/Window.h"
#include "Game/Entity.h"
#include "Game/GameEngine.h"
#include "Graphics/Camera.h"
#include "Graphics/GraphicsFacade.h"
#include "Graphics/RenderContext.h"
#include "Graphics/RenderTarget.h"
#include "Graphics/ResourceManager.h"
#include "Graphics/Shader.h"
#include "Graphics/Visual.h"
#include "Messaging/Messages.h"
#include "Ratio.h"

namespace {

struct RunningGame {
  RunningGame() { Game::GameEngine::Instance().Init(); }
  ~RunningGame() {
    Game::GameEngine::Instance().Shutdown();
    Game::GameEngine::Destroy();
  }
};

Gfx::GraphicsFacade& Facade() {
  static RunningGame game;
  return Gfx::GraphicsFacade::Instance();
}

// n entities with a box each, spread over a square 800 units across round the view.
std::vector<std::unique_ptr<Game::Entity>> Boxes(int n, bool cull) {
  std::mt19937 random(5);
  std::uniform_real_distribution<float> at(-400.0f, 400.0f);
  std::vector<std::unique_ptr<Game::Entity>> boxes;
  for (int i = 0; i < n; ++i) {
    auto entity = std::make_unique<Game::Entity>();
    entity->SetScale({1, 1, 1});
    entity->SetRotation({0, 0, 0});
    entity->SetPosition({at(random), at(random) * 0.1f, at(random)});
    auto* visual = new Gfx::Visual(entity.get());
    visual->SetModel("EndBox");
    visual->setMaterial("Green");
    visual->SetNeverCull(!cull);
    entity->SetVisual(visual);
    boxes.push_back(std::move(entity));
  }
  return boxes;
}

void Visibility(benchmark::State& state) {
  Gfx::GraphicsFacade& facade = Facade();
  const auto boxes = Boxes(static_cast<int>(state.range(0)), state.range(1) != 0);
  Msg::Send(new Msg::cameraSetPosTarVecImmediateMsg({0, 20, 0}, {100, 0, 60}));
  facade.GetCamera()->Update();
  facade.SetView();
  Gfx::RenderContext& context = *facade.GetRenderContext();
  const int green = facade.GetResourceManager()->FindMaterial("Green");
  size_t queued = 0;
  for (auto _ : state) {
    facade.SubmitVisuals();
    queued = context.QueueOf(green).size();
    context.ClearQueues();
    facade.ClearLights();
  }
  state.counters["queued"] = static_cast<double>(queued);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(Visibility)->Args({1000, 1})->Args({1000, 0})->Args({10000, 1})->Args({10000, 0});

struct Submitter {
  virtual ~Submitter() = default;
  virtual void Submit(std::vector<Submitter*>& queue) { queue.push_back(this); }
};

void BareQueue(benchmark::State& state) {
  std::vector<std::unique_ptr<Submitter>> objects;
  for (int i = 0; i < state.range(0); ++i) objects.push_back(std::make_unique<Submitter>());
  std::vector<Submitter*> queue;
  for (auto _ : state) {
    for (const auto& object : objects) object->Submit(queue);
    benchmark::DoNotOptimize(queue.data());
    queue.clear();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BareQueue)->Arg(1000)->Arg(10000);

void Frame(benchmark::State& state) {
  Gfx::GraphicsFacade& facade = Facade();
  for (auto _ : state) {
    facade.Update();
    glFinish();
  }
  state.SetItemsProcessed(state.iterations());
}
// The GL work runs on the driver's threads: wall time is what a frame costs.
BENCHMARK(Frame)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

void BareFrame(benchmark::State& state) {
  Gfx::ResourceManager& resources = *Facade().GetResourceManager();
  const GLuint program = resources.GetShader(resources.loadShader("../../Assets/Shaders/gCopy"))->Program();
  const GLuint texture = resources.GetRenderTarget("Aux2")->TextureName(0);
  for (auto _ : state) {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glUseProgram(program);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture);
    Facade().FullScreenQuad(1, 1);
    Core::Window::Instance().SwapBuffers();
    glFinish();
  }
  glUseProgram(0);
  resources.UseNoShader();
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BareFrame)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

}  // namespace

BENCH_MAIN_WITH_RATIOS({"Visibility/1000/1", "BareQueue/1000"}, {"Visibility/1000/0", "BareQueue/1000"},
                       {"Visibility/10000/1", "BareQueue/10000"}, {"Visibility/10000/0", "BareQueue/10000"},
                       {"Frame/min_time:3.000/real_time", "BareFrame/min_time:3.000/real_time"})
