// Particle kinds, fireflies and waterfall ribbons, without drawing them.
#include <gtest/gtest.h>

#include <vector>

#include "Core/Clock.h"
#include "Graphics/Effects.h"
#include "Graphics/Fireflies.h"
#include "Graphics/GraphicsFacade.h"
#include "Graphics/LightScissor.h"
#include "Graphics/Particles.h"
#include "Graphics/VisualParticleSystem.h"
#include "Graphics/Waterfall.h"
#include "Messaging/Messages.h"
#include "Support/AssertRecorder.h"
#include "Support/FakeTimeSource.h"
#include "Support/Printed.h"
#include "Support/Systems.h"
#include "Util/Random.h"

using Util::Vec3;

namespace {

// What the particle systems post, as delivered.
class Posts : public Msg::MailBox {
 public:
  void Receive(const Util::Handle<Msg::graphicsLightMsg>& m) override { m_Lights.push_back(m->m_Position); }
  void Receive(const Util::Handle<Msg::gameFireflyCollidedMsg>& m) override { m_Collected.push_back(m->m_Position); }
  void Receive(const Util::Handle<Msg::graphicsLightVecMsg>& m) override {
    m_LightVecs.push_back({m->m_Positions, m->m_Count});
  }
  struct LightVec {
    const Vec3* positions;
    int32_t count;
  };
  std::vector<Msg::Vec4> m_Lights;
  std::vector<Vec3> m_Collected;
  std::vector<LightVec> m_LightVecs;
};

class EffectsTest : public testing::Test {
 protected:
  void SetUp() override {
    Util::Random::Instance().Seed(7);
    Clock::Instance().SetTimeSource(m_Time);
    m_Time.AdvanceMs(33.0);
    Clock::Instance().BeginFrame();
  }
  void TearDown() override {
    Clock::Instance().SetTimeSource(Clock::SystemTimeSource());
    Msg::MailMan::Instance().Shutdown();
    Msg::MailMan::Destroy();
  }
  void Deliver() { Msg::MailMan::Instance().Deliver(); }

  Testing::FakeTimeSource m_Time;
  Posts m_Posts;
};

TEST_F(EffectsTest, CometAtCapacityKeepsExactlyCapacityThroughDeaths) {
  Gfx::CometParticles comet(3);
  comet.Init(5);  // asks for a hundred
  EXPECT_EQ(comet.Count(), 5u);
  for (int update = 0; update < 10; ++update) {  // all five die together at the fourth
    comet.Update(Vec3{1, 2, 3});
    EXPECT_EQ(comet.Count(), 5u) << "update " << update;
    ASSERT_TRUE(comet.Validate());
  }
}

TEST_F(EffectsTest, FlashBurstsOnceAndStaysDarkUntilArmedAgain) {
  Gfx::FlashParticles flash(2);
  flash.Init(200);
  EXPECT_EQ(flash.Count(), 0u);
  flash.Update(Vec3{});
  EXPECT_EQ(flash.Count(), Gfx::FlashParticles::kBurst);
  for (int update = 0; update < 10; ++update) flash.Update(Vec3{});
  EXPECT_EQ(flash.Count(), 0u);
  EXPECT_FALSE(flash.Armed());
  Deliver();
  EXPECT_EQ(m_Posts.m_Lights.size(), 3u) << "a light while the sparks live, none after";
  flash.Arm();
  flash.Update(Vec3{});
  EXPECT_EQ(flash.Count(), Gfx::FlashParticles::kBurst);
}

TEST_F(EffectsTest, PollenEmittedAtTheEmitterDiesNextUpdateAndFarPollenDrifts) {
  Gfx::PollenParticle pollen;
  pollen.Init(10);
  pollen.Emit(3, Vec3{5, 5, 5});
  pollen.Emit(1, Vec3{50, 5, 5});
  pollen.Update(Vec3{5, 5, 5});
  ASSERT_EQ(pollen.Count(), 1u);
  EXPECT_GT(pollen.Positions()[0].x, 40.0f);
}

TEST_F(EffectsTest, RainRestartsInTheBoxRoundTheEmitterInsteadOfDying) {
  Gfx::RainParticlesPacked rain;
  rain.Init(64);
  const Vec3 emitter{1000, 0, 0};
  rain.Update(emitter);
  EXPECT_EQ(rain.Count(), 64u);
  for (uint32_t i = 0; i < rain.Count(); ++i) {
    EXPECT_LE(std::fabs(rain.Positions()[i].x - emitter.x), 97.0f);
    EXPECT_LT(rain.Ages()[i], 5000u + 34u);
  }
}

TEST_F(EffectsTest, CollectedFireflyPostsAndTheLastTakesItsSlot) {
  Gfx::FireflyParticles flies;
  flies.Init(8);
  const Vec3 lantern{0, 0, 0};
  flies.AddFireflies(1, 1, Vec3{0.5f, 0, 0}, Vec3{3, 0, 0}, 0);  // at the lantern already
  flies.AddFireflies(2, 2, Vec3{2, 0, 0}, Vec3{100, 0, 0}, 0);   // circling far away
  const Vec3 last = flies.Positions()[2];
  const Vec3 lastVelocity = flies.Velocity(2);
  flies.Update(lantern);
  ASSERT_EQ(flies.Count(), 2u);
  EXPECT_EQ(flies.Positions()[0], last) << "moved in, not stepped this update";
  EXPECT_EQ(flies.Velocity(0), lastVelocity);
  EXPECT_EQ(flies.Target(0), (Vec3{100, 0, 0}));
  EXPECT_EQ(flies.Attracted(0), 0);
  Deliver();
  ASSERT_EQ(m_Posts.m_Collected.size(), 1u);
  EXPECT_EQ(m_Posts.m_Collected[0], (Vec3{0.5f, 0, 0}));
  ASSERT_EQ(m_Posts.m_LightVecs.size(), 1u);
  EXPECT_EQ(m_Posts.m_LightVecs[0].positions, flies.Positions());
  EXPECT_EQ(m_Posts.m_LightVecs[0].count, 2);
}

TEST_F(EffectsTest, FirefliesOfEachKindStartAsTheirKindSays) {
  struct Case {
    int32_t kind;
    uint8_t attracted;
  } const cases[] = {{1, 1}, {2, 0}, {3, 1}, {4, 2}};
  const Vec3 centre{10, 20, 30};
  for (const Case& c : cases) {
    Gfx::FireflyParticles flies;
    flies.Init(16);
    flies.AddFireflies(6, c.kind, Vec3{4, 0, 0}, centre, 12);  // 12 lanterns: kinds 0, 1, 2
    ASSERT_EQ(flies.Count(), 6u);
    for (uint32_t i = 0; i < 6; ++i) {
      EXPECT_EQ(flies.Kind(i), i % 3);
      EXPECT_EQ(flies.Attracted(i), c.attracted) << "kind " << c.kind;
      EXPECT_EQ(flies.Target(i), centre);
      const Vec3 d = centre - flies.Positions()[i];
      EXPECT_NEAR(Util::Dot(flies.Velocity(i), d), 0.0f, 1e-3f) << "circles its centre, kind " << c.kind;
      if (c.kind == 4) {
        EXPECT_GE(d.x * d.x + d.z * d.z, 9.0f) << "the ring keeps clear of its centre";
      }
    }
  }
  Gfx::FireflyParticles flies;
  flies.Init(4);
  flies.AddFireflies(3, 7, Vec3{}, centre, 0);
  EXPECT_EQ(flies.Count(), 0u);
}

TEST_F(EffectsTest, FreeFireflyCirclesItsTargetUntilTheLanternComesNear) {
  Gfx::FireflyParticles flies;
  flies.Init(1);
  flies.AddFireflies(1, 2, Vec3{5, 0, 0}, Vec3{}, 0);
  const float radius = Util::Length(flies.Positions()[0]);
  for (int update = 0; update < 100; ++update) flies.Update(Vec3{0, 0, 100});
  EXPECT_GT(Util::Length(flies.Positions()[0]), 0.9f * radius);
  EXPECT_LT(Util::Length(flies.Positions()[0]), 2.0f * radius);
  EXPECT_EQ(flies.Attracted(0), 0);
  for (int update = 0; update < 300 && flies.Count() > 0; ++update) flies.Update(Vec3{0, 0, 12});
  EXPECT_EQ(flies.Count(), 0u) << "turned attracted within reach and flew in";
}

// The facade's three systems as the game drives them by message (no window: nothing is drawn).
TEST_F(EffectsTest, FireflySystemsComeWithTheirMessagesAndTheirLightsAndCatchesReachTheFacade) {
  Gfx::GraphicsFacade& facade = Gfx::GraphicsFacade::Instance();
  Testing::Printed([&] { facade.Init(); });
  const Gfx::Effects& effects = *facade.GetEffects();
  Msg::MailMan& mail = Msg::MailMan::Instance();
  mail.Post(new Msg::gameFireflySpawnMsg(Vec3{3, 0, 0}, Vec3{40, 0, 0}, 5, 2));
  Deliver();
  ASSERT_NE(effects.Fireflies(), nullptr);
  EXPECT_EQ(effects.Fireflies()->Count(), 5u);
  EXPECT_EQ(effects.BurstSystem(), nullptr);
  mail.Post(new Msg::gameLanternPositionMsg(Vec3{}));
  mail.Post(new Msg::gameFireflySpawnMsg(Vec3{0.5f, 0, 0}, Vec3{9, 0, 0}, 1, 1));  // caught at once
  Deliver();
  ASSERT_NE(effects.BurstSystem(), nullptr);
  ASSERT_NE(effects.LanternSystem(), nullptr);
  facade.SubmitVisuals();
  Deliver();
  EXPECT_EQ(effects.BurstSystem()->System()->Count(), Gfx::Effects::kBurst);
  ASSERT_EQ(facade.LightPositions().size(), 5u) << "the five left, one light each";
  EXPECT_EQ(facade.LightPositions()[4].x, effects.Fireflies()->Positions()[4].x);
  EXPECT_EQ(facade.LightPositions()[4].w, Gfx::FireflyParticles::kDefaultLights[4]);
  mail.Post(new Msg::addWaterfallMsg(Vec3{}, Vec3{1, 0, 0}, Vec3{0, -9, 0}, Vec3{1, -9, 0}, 3, 0.0f));
  Deliver();
  ASSERT_TRUE(Gfx::WaterfallManager::Exists());
  EXPECT_EQ(Gfx::WaterfallManager::Instance().Batch(0).m_Vertices.size(), 8u);
  Testing::ShutDown<Gfx::GraphicsFacade>();
  EXPECT_FALSE(Gfx::WaterfallManager::Exists()) << "the waterfalls go with the renderer";
}

// A point light's window rectangle under a 90-degree square view of 100 x 100 pixels.
TEST(LightRectTest, ALightCoversOnlyItsSpheresPixels) {
  Gfx::Mat4 projection;
  float* m = projection.m;
  m[10] = -1.0f;  // near 1, far infinite enough
  m[11] = -1.0f;
  m[14] = -2.0f;
  m[15] = 0.0f;
  const int viewport[4] = {0, 0, 100, 100};
  int rect[4] = {};
  EXPECT_EQ(Gfx::LightRect(projection, Vec3{0, 0, -10}, 1, 1, viewport, rect), Gfx::LightReach::Rect);
  EXPECT_GE(rect[0], 40);
  EXPECT_LE(rect[0] + rect[2], 60);
  EXPECT_LE(rect[1], 45) << "the sphere's pixels are all inside";
  EXPECT_GE(rect[1] + rect[3], 55);
  EXPECT_EQ(Gfx::LightRect(projection, Vec3{0, 0, 5}, 1, 1, viewport, rect), Gfx::LightReach::Outside);
  EXPECT_EQ(Gfx::LightRect(projection, Vec3{40, 0, -10}, 1, 1, viewport, rect), Gfx::LightReach::Outside);
  EXPECT_EQ(Gfx::LightRect(projection, Vec3{0, 0, -1.5f}, 1, 1, viewport, rect), Gfx::LightReach::Whole);
}

TEST(WaterfallTest, OneSegmentRibbonIsTwoTriangles) {
  Gfx::Ribbon ribbon;
  ASSERT_TRUE(Gfx::BuildRibbon(Vec3{0, 10, 0}, Vec3{2, 10, 0}, Vec3{0, 0, 0}, Vec3{2, 0, 0}, 1, ribbon));
  ASSERT_EQ(ribbon.m_Vertices.size(), 4u);
  EXPECT_EQ(ribbon.m_Indices, (std::vector<uint32_t>{1, 0, 3, 3, 0, 2}));
  EXPECT_EQ(ribbon.m_Vertices[3].Position[0], 2.0f);
  EXPECT_EQ(ribbon.m_Vertices[3].Position[1], 0.0f);
  EXPECT_EQ(ribbon.m_Vertices[1].uvCoord[0], 1.0f);
  EXPECT_NEAR(std::fabs(ribbon.m_Vertices[0].Normal[2]), 1.0f, 1e-6f);
}

TEST(WaterfallTest, BatchesSplitPastTheirVertexLimitAndRefuseWhatNeverFits) {
  Gfx::WaterfallManager& falls = Gfx::WaterfallManager::Instance();
  EXPECT_TRUE(falls.AddWaterfall(Vec3{}, Vec3{1, 0, 0}, Vec3{0, -9, 0}, Vec3{1, -9, 0}, 1));
  EXPECT_TRUE(falls.AddWaterfall(Vec3{}, Vec3{1, 0, 0}, Vec3{0, -9, 0}, Vec3{1, -9, 0}, 30000));
  EXPECT_TRUE(falls.AddWaterfall(Vec3{}, Vec3{1, 0, 0}, Vec3{0, -9, 0}, Vec3{1, -9, 0}, 30000));
  ASSERT_EQ(falls.BatchCount(), 2u);
  EXPECT_EQ(falls.Batch(0).m_Vertices.size(), 4u + 60002u);
  EXPECT_EQ(falls.Batch(0).m_Indices[6], 5u) << "the second ribbon's indices follow the first's vertices";
  EXPECT_EQ(falls.Batch(1).m_Vertices.size(), 60002u);
  EXPECT_EQ(falls.Batch(1).m_Indices[0], 1u) << "a new batch counts from its own first vertex";
  EXPECT_TRUE(falls.Validate());

  Testing::AssertRecorder asserts;
  EXPECT_FALSE(falls.AddWaterfall(Vec3{}, Vec3{1, 0, 0}, Vec3{0, -9, 0}, Vec3{1, -9, 0}, 40000));
  EXPECT_TRUE(asserts.Saw("Attempt to create falls will always fail"));
  EXPECT_NE(Testing::Printed([&] { EXPECT_FALSE(falls.AddWaterfall(Vec3{}, Vec3{}, Vec3{}, Vec3{}, 0)); }), "");
  EXPECT_EQ(falls.BatchCount(), 2u);
  Gfx::WaterfallManager::Destroy();
}

}  // namespace
