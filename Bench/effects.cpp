// Effects at work: 4,096 fireflies, and Dodod's skinned body. Run from the build's bin folder
// (../../Assets is the asset tree) under a display; Xvfb's llvmpipe will do. The drawing figures
// bring the whole engine up in its 1280 x 720 window.
//
// FireflyUpdate: one flight step of 4,096 fireflies circling their islands, with the light post and
// its delivery; its anchor BareFireflySteps moves as many points by their velocities. FireflyDraw:
// their camera-facing quads built and drawn with "gFireflyParticle" and finished by GL; anchor
// BareQuads draws as many quads from an array built once.
//
// SkinDododCpu: the controller's update (walk and idle mixed) and the deformation of Dodod's
// vertices on the CPU, then drawn; SkinDododPalette: the same pose drawn by a matrix-palette vertex
// shader from the bind-pose arrays with the five bone matrices as uniforms. Their anchor
// BareDododDraw draws the bind-pose arrays as they are. Items are vertices.
#include <GL/glew.h>
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "Core/Clock.h"
#include "Game/GameEngine.h"
#include "Graphics/AnimationController.h"
#include "Graphics/Camera.h"
#include "Graphics/EffectDrawing.h"
#include "Graphics/Effects.h"
#include "Graphics/Fireflies.h"
#include "Graphics/GraphicsFacade.h"
#include "Graphics/Material.h"
#include "Graphics/ModelDrawing.h"
#include "Graphics/RenderContext.h"
#include "Graphics/ResourceManager.h"
#include "Graphics/SkinnedMesh.h"
#include "Messaging/MailMan.h"
#include "Ratio.h"
#include "Util/Random.h"

namespace {

constexpr uint32_t kFireflies = 4096;

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

// 4,096 fireflies in 64 swarms over a square of islands, the lantern far off.
void Swarms(Gfx::FireflyParticles& flies) {
  Util::Random::Instance().Seed(3);
  flies.Init(kFireflies);
  for (int i = 0; i < 64; ++i)
    flies.AddFireflies(kFireflies / 64, 2, Util::Vec3{6, 0, 0},
                       Util::Vec3{static_cast<float>(i % 8) * 40.0f, 0.0f, static_cast<float>(i / 8) * 40.0f}, 0);
}

const Util::Vec3 kFarLantern{0.0f, 500.0f, 0.0f};

void FireflyUpdate(benchmark::State& state) {
  Gfx::FireflyParticles flies;
  Swarms(flies);
  for (auto _ : state) {
    flies.Update(kFarLantern);
    Msg::MailMan::Instance().Deliver();
  }
  state.SetItemsProcessed(state.iterations() * kFireflies);
}
BENCHMARK(FireflyUpdate);

void BareFireflySteps(benchmark::State& state) {
  std::vector<Util::Vec3> positions(kFireflies), velocities(kFireflies, Util::Vec3{0.1f, 0.0f, 0.2f});
  for (auto _ : state) {
    for (uint32_t i = 0; i < kFireflies; ++i) positions[i] += velocities[i] * 0.66f;
    benchmark::DoNotOptimize(positions.data());
  }
  state.SetItemsProcessed(state.iterations() * kFireflies);
}
BENCHMARK(BareFireflySteps);

// The view of the swarms from above and aside, and the fireflies' material begun.
struct FireflyScene {
  FireflyScene() {
    Gfx::ResourceManager& resources = Resources();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, 1280, 720);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(65.0, 1280.0 / 720.0, 1.0, 6000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(140, 120, -160, 140, 0, 140, 0, 1, 0);
    glGetFloatv(GL_MODELVIEW_MATRIX, view.m);
    material = resources.GetMaterial(resources.FindMaterial("gFireflyParticle"));
    material->Begin();
  }
  ~FireflyScene() { material->End(); }

  Gfx::Mat4 view;
  Gfx::Material* material = nullptr;
};

void FireflyDraw(benchmark::State& state) {
  Gfx::FireflyParticles flies;
  Swarms(flies);
  FireflyScene scene;
  std::vector<Gfx::ParticleVertex> quads;
  const float white[4] = {1, 1, 1, 1};
  for (auto _ : state) {
    Gfx::BuildParticleQuads(flies, scene.view, 1.0f, flies.Size(), white, quads);
    Gfx::DrawParticleQuads(quads);
    glFinish();
  }
  state.SetItemsProcessed(state.iterations() * kFireflies);
}
BENCHMARK(FireflyDraw)->Unit(benchmark::kMillisecond);

void BareQuads(benchmark::State& state) {
  Gfx::FireflyParticles flies;
  Swarms(flies);
  FireflyScene scene;
  std::vector<Gfx::ParticleVertex> quads;
  const float white[4] = {1, 1, 1, 1};
  Gfx::BuildParticleQuads(flies, scene.view, 1.0f, flies.Size(), white, quads);
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(3, GL_FLOAT, sizeof(Gfx::ParticleVertex), quads[0].m_Position);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glTexCoordPointer(2, GL_FLOAT, sizeof(Gfx::ParticleVertex), quads[0].m_Uv);
  for (auto _ : state) {
    glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(quads.size()));
    glFinish();
  }
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
  state.SetItemsProcessed(state.iterations() * kFireflies);
}
BENCHMARK(BareQuads)->Unit(benchmark::kMillisecond);

// ---- The whole frame ------------------------------------------------------------------------------

// One frame of the opening scene as the renderer draws it (the visibility step, every pass, GL
// finished) with 4,096 fireflies of the trail circling over the islands, each adding its light to
// the point-light pass, and their light post delivered for the next frame. Its anchor is the same
// frame with the trail empty; items are frames.
void FrameOf(benchmark::State& state, bool fireflies) {
  Resources();
  Gfx::GraphicsFacade& facade = Gfx::GraphicsFacade::Instance();
  Gfx::Effects& effects = *facade.GetEffects();
  effects.MoveToLantern(Util::Vec3{0.0f, 500.0f, 0.0f});
  Gfx::FireflyParticles& flies = *effects.Fireflies();
  flies.Init(Gfx::Effects::kCapacity);
  if (fireflies)
    for (int i = 0; i < 64; ++i)
      effects.SpawnFireflies(
          Util::Vec3{4, 0, 0},
          Util::Vec3{static_cast<float>(i % 8) * 8.0f - 28.0f, 6.0f, static_cast<float>(i / 8) * 8.0f - 28.0f},
          kFireflies / 64, 2);
  Gfx::RenderContext& context = *facade.GetRenderContext();
  // The opening's view of Dodod's island.
  Msg::Send(new Msg::cameraSetPosTarVecImmediateMsg(Util::Vec3{-14, 13, -15}, Util::Vec3{0, 5, 0}));
  facade.GetCamera()->Update();
  for (auto _ : state) {
    facade.SetView();
    facade.SubmitVisuals();
    state.counters["ground"] = static_cast<double>(context.QueueOf(0).size());
    state.counters["frameLights"] = static_cast<double>(facade.LightPositions().size());
    facade.GetResourceManager()->RunPasses();
    context.ClearQueues();
    facade.ClearLights();
    glFinish();
    Msg::MailMan::Instance().Deliver();
  }
  state.counters["lights"] = static_cast<double>(flies.Count());
  state.SetItemsProcessed(state.iterations());
  flies.Init(Gfx::Effects::kCapacity);
}

void FireflyFrame(benchmark::State& state) { FrameOf(state, true); }
BENCHMARK(FireflyFrame)->Unit(benchmark::kMillisecond)->Iterations(5);

void FrameWithoutFireflies(benchmark::State& state) { FrameOf(state, false); }
BENCHMARK(FrameWithoutFireflies)->Unit(benchmark::kMillisecond)->Iterations(5);

// ---- Dodod ---------------------------------------------------------------------------------------

struct Dodod {
  Dodod() {
    Gfx::Skeleton skeleton;
    skeleton.Load("../../Assets/Models/Dodod_skeleton.xml");
    mesh.Load("../../Assets/Models/Dodod_skinned.xml");
    controller = std::make_unique<Gfx::AnimationController>(std::move(skeleton));
    const size_t bones = controller->GetSkeleton().BoneCount();
    for (const char* file : {"../../Assets/Models/Dodod_walk.xml", "../../Assets/Models/Dodod_idle.xml"}) {
      Gfx::SkeletalTrack track(0, {});
      Gfx::SkeletalTrack::Load(file, bones, track);
      controller->PlayTrack(controller->AddTrack(std::move(track)));
    }
  }
  size_t Vertices() const { return mesh.BindMesh().m_Vertices.size(); }

  Gfx::SkinnedMesh mesh;
  std::unique_ptr<Gfx::AnimationController> controller;
};

// Dodod seen up close with the material it is drawn with.
struct DododScene {
  DododScene() {
    Gfx::ResourceManager& resources = Resources();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, 1280, 720);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(65.0, 1280.0 / 720.0, 1.0, 6000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0, 0.3, 3, 0, 0, 0, 0, 1, 0);
    material = resources.GetMaterial(resources.FindMaterial("gDodod"));
  }
  Gfx::Material* material = nullptr;
};

void SkinDododCpu(benchmark::State& state) {
  Dodod dodod;
  DododScene scene;
  scene.material->Begin();
  const std::vector<uint32_t>& indices = dodod.mesh.BindMesh().m_Indices;
  std::vector<Gfx::Vertex> skinned;
  for (auto _ : state) {
    dodod.controller->Update(33.0f);
    dodod.mesh.Deform(dodod.controller->SkinMatrices(), skinned);
    Gfx::DrawVertexArrays(skinned.data(), indices.data(), static_cast<uint32_t>(indices.size()), false);
    glFinish();
  }
  scene.material->End();
  state.SetItemsProcessed(state.iterations() * dodod.Vertices());
}
BENCHMARK(SkinDododCpu)->Unit(benchmark::kMicrosecond);

// A matrix-palette version of the scene's vertex stage, for the measurement only: bone indices in
// texture unit 3, weights in unit 4, five bone matrices.
constexpr const char* kPaletteVertex = R"(#version 110
uniform mat4 Bones[5];
varying vec4 Colour;
void main() {
  vec4 w = gl_MultiTexCoord4;
  ivec4 b = ivec4(gl_MultiTexCoord3);
  mat4 m = Bones[b.x] * w.x + Bones[b.y] * w.y + Bones[b.z] * w.z + Bones[b.w] * w.w;
  Colour = gl_Color * max(dot(normalize(gl_NormalMatrix * (m * vec4(gl_Normal, 0.0)).xyz), vec3(0.0, 0.0, 1.0)), 0.2);
  gl_Position = gl_ModelViewProjectionMatrix * (m * gl_Vertex);
})";
constexpr const char* kPaletteFragment = R"(#version 110
varying vec4 Colour;
void main() { gl_FragColor = Colour; })";

GLuint PaletteProgram() {
  const GLuint vs = glCreateShader(GL_VERTEX_SHADER), fs = glCreateShader(GL_FRAGMENT_SHADER);
  glShaderSource(vs, 1, &kPaletteVertex, nullptr);
  glShaderSource(fs, 1, &kPaletteFragment, nullptr);
  glCompileShader(vs);
  glCompileShader(fs);
  const GLuint program = glCreateProgram();
  glAttachShader(program, vs);
  glAttachShader(program, fs);
  glLinkProgram(program);
  return program;
}

void SkinDododPalette(benchmark::State& state) {
  Dodod dodod;
  DododScene scene;
  const GLuint program = PaletteProgram();
  const Gfx::Mesh& mesh = dodod.mesh.BindMesh();
  std::vector<float> bones, weights;
  for (const Gfx::SkinInfluence& influence : dodod.mesh.Influences())
    for (int i = 0; i < 4; ++i) {
      bones.push_back(static_cast<float>(influence.m_Bones[i]));
      weights.push_back(influence.m_Weights[i]);
    }
  glUseProgram(program);
  const GLint palette = glGetUniformLocation(program, "Bones");
  for (auto _ : state) {
    dodod.controller->Update(33.0f);
    const std::vector<Gfx::Mat4>& skin = dodod.controller->SkinMatrices();
    glUniformMatrix4fv(palette, static_cast<GLsizei>(skin.size()), GL_FALSE, skin[0].m);
    glClientActiveTexture(GL_TEXTURE3);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(4, GL_FLOAT, 0, bones.data());
    glClientActiveTexture(GL_TEXTURE4);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(4, GL_FLOAT, 0, weights.data());
    Gfx::DrawVertexArrays(mesh.m_Vertices.data(), mesh.m_Indices.data(), mesh.IndexCount(), false);
    glClientActiveTexture(GL_TEXTURE4);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glClientActiveTexture(GL_TEXTURE3);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glClientActiveTexture(GL_TEXTURE0);
    glFinish();
  }
  glUseProgram(0);
  Resources().UseNoShader();
  glDeleteProgram(program);
  state.SetItemsProcessed(state.iterations() * dodod.Vertices());
}
BENCHMARK(SkinDododPalette)->Unit(benchmark::kMicrosecond);

void BareDododDraw(benchmark::State& state) {
  Dodod dodod;
  DododScene scene;
  scene.material->Begin();
  const Gfx::Mesh& mesh = dodod.mesh.BindMesh();
  for (auto _ : state) {
    Gfx::DrawVertexArrays(mesh.m_Vertices.data(), mesh.m_Indices.data(), mesh.IndexCount(), false);
    glFinish();
  }
  scene.material->End();
  state.SetItemsProcessed(state.iterations() * dodod.Vertices());
}
BENCHMARK(BareDododDraw)->Unit(benchmark::kMicrosecond);

// The CPU's share alone: the controller's update and the deformation, without drawing.
void SkinDododCpuOnly(benchmark::State& state) {
  Dodod dodod;
  std::vector<Gfx::Vertex> skinned;
  for (auto _ : state) {
    dodod.controller->Update(33.0f);
    dodod.mesh.Deform(dodod.controller->SkinMatrices(), skinned);
    benchmark::DoNotOptimize(skinned.data());
  }
  state.SetItemsProcessed(state.iterations() * dodod.Vertices());
}
BENCHMARK(SkinDododCpuOnly)->Unit(benchmark::kMicrosecond);

// Its anchor: copying as many vertex records, the least that hands new vertices over each frame.
void BareDododCopy(benchmark::State& state) {
  Dodod dodod;
  const std::vector<Gfx::Vertex>& bound = dodod.mesh.BindMesh().m_Vertices;
  std::vector<Gfx::Vertex> copy(bound.size());
  for (auto _ : state) {
    std::memcpy(copy.data(), bound.data(), bound.size() * sizeof(Gfx::Vertex));
    benchmark::DoNotOptimize(copy.data());
  }
  state.SetItemsProcessed(state.iterations() * dodod.Vertices());
}
BENCHMARK(BareDododCopy)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCH_MAIN_WITH_RATIOS({"FireflyUpdate", "BareFireflySteps"}, {"FireflyDraw", "BareQuads"},
                       {"FireflyFrame/iterations:5", "FrameWithoutFireflies/iterations:5"},
                       {"SkinDododCpu", "BareDododDraw"}, {"SkinDododPalette", "BareDododDraw"},
                       {"SkinDododCpuOnly", "BareDododCopy"})
