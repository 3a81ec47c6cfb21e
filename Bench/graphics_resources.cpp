// The renderer's resources at work, on the whole engine brought up on the game's own assets (a
// 1280 x 720 window on a 1920 x 1080 desktop, so run it under a display: Xvfb's llvmpipe will do).
// Run from the build's bin folder, where ../../Assets is the asset tree.
//
// MaterialBeginEnd: beginning and ending a material of six properties (SHADER, two TEXTUREs,
// UNIFORM, GAMEINFO, TIMER), its program current already, as a pass does for every queue it draws.
// Its anchor BareMaterialCalls makes the GL calls those properties come down to, with every
// uniform location known. PassChain: one frame of the game's whole pass chain with empty queues
// (the view set, every pass begun, rendered and ended, then finished by GL). Its anchor
// BareFullScreenQuad draws and finishes one textured full-screen quad into the window, the unit
// most of the chain is made of.
#include <GL/glew.h>
#include <benchmark/benchmark.h>

#include "Game/GameEngine.h"
#include "Graphics/GraphicsFacade.h"
#include "Graphics/Material.h"
#include "Graphics/RenderTarget.h"
#include "Graphics/ResourceManager.h"
#include "Graphics/Shader.h"
#include "Graphics/Texture.h"
#include "Messaging/Messages.h"

namespace {

struct RunningGame {
  RunningGame() { Game::GameEngine::Instance().Init(); }
  ~RunningGame() {
    Game::GameEngine::Instance().Shutdown();
    Game::GameEngine::Destroy();
  }
};

Gfx::ResourceManager& Resources() {
  static RunningGame game;
  return *Gfx::GraphicsFacade::Instance().GetResourceManager();
}

constexpr const char* kScene = "../../Assets/Shaders/gScene";

Gfx::Material& SixProperties() {
  Gfx::ResourceManager& resources = Resources();  // the engine first: it receives the definition
  const std::vector<std::string> types{"SHADER", "TEXTURE", "TEXTURE", "UNIFORM", "GAMEINFO", "TIMER"};
  const std::vector<std::string> parameters{
      kScene, "0 ../../Assets/Textures/grass.bmp", "1 ../../Assets/Textures/rock.bmp", "2 Kind", "ViewUp", "1.0"};
  Msg::Send(new Msg::materialMsg("gBenchSix", 6, types, parameters));
  return *resources.GetMaterial(resources.FindMaterial("gBenchSix"));
}

void MaterialBeginEnd(benchmark::State& state) {
  Gfx::Material& material = SixProperties();
  for (auto _ : state) {
    material.Begin();
    material.End();
  }
  glFinish();
}
BENCHMARK(MaterialBeginEnd);

void BareMaterialCalls(benchmark::State& state) {
  Gfx::ResourceManager& resources = Resources();
  const GLuint program = resources.GetShader(resources.loadShader(kScene))->Program();
  const GLuint grass = resources.GetTexture(resources.loadTexture("../../Assets/Textures/grass.bmp"))->Name();
  const GLuint rock = resources.GetTexture(resources.loadTexture("../../Assets/Textures/rock.bmp"))->Name();
  const GLint kind = glGetUniformLocation(program, "Kind");
  const GLint up = glGetUniformLocation(program, "ViewUp");
  const GLint timer = glGetUniformLocation(program, "Timer");
  glUseProgram(program);
  resources.UseNoShader();
  float time = 0.0f;
  for (auto _ : state) {
    glUseProgram(program);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, grass);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, rock);
    glUniform1i(kind, 2);
    glUniform3f(up, 0.0f, 1.0f, 0.0f);
    glUniform1f(timer, time += 0.033f);
  }
  glFinish();
}
BENCHMARK(BareMaterialCalls);

void PassChain(benchmark::State& state) {
  Gfx::ResourceManager& resources = Resources();
  Gfx::GraphicsFacade& facade = Gfx::GraphicsFacade::Instance();
  for (auto _ : state) {
    facade.SetView();
    resources.RunPasses();
    glFinish();
  }
  state.counters["passes"] = resources.PassCount();
}
BENCHMARK(PassChain)->Unit(benchmark::kMillisecond);

void BareFullScreenQuad(benchmark::State& state) {
  Gfx::ResourceManager& resources = Resources();
  const GLuint program = resources.GetShader(resources.loadShader("../../Assets/Shaders/gCopy"))->Program();
  const GLuint texture = resources.GetRenderTarget("Aux2")->TextureName(0);
  resources.UseNoShader();
  for (auto _ : state) {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, 1280, 720);
    glUseProgram(program);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, 1.0, 0.0, 1.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(0.0f, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(1.0f, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(1.0f, 1.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(0.0f, 1.0f);
    glEnd();
    glEnable(GL_DEPTH_TEST);
    glFinish();
  }
  glUseProgram(0);
}
BENCHMARK(BareFullScreenQuad)->Unit(benchmark::kMillisecond);

}  // namespace
