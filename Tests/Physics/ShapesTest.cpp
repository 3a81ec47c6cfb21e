#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>

#include "Physics/CollidableSet.h"
#include "Physics/HeightMap.h"
#include "Physics/OBB.h"
#include "Physics/Sphere.h"
#include "Support/AssertRecorder.h"

using namespace Phy;
using Util::Vec3;
using Shape = std::unique_ptr<Collidable>;

namespace {

struct Random {
  std::mt19937 rng{1234};
  float operator()(float low, float high) { return std::uniform_real_distribution<float>(low, high)(rng); }
  Vec3 Point(float low, float high) { return {(*this)(low, high), (*this)(low, high), (*this)(low, high)}; }
};

Collidable* RandomShape(int kind, Random& r) {
  switch (kind) {
    case kTypeAABB: {
      const Vec3 min = r.Point(-3, 1);
      return new AABB(min, min + r.Point(0.3f, 3));
    }
    case kTypeOBB: {
      auto* box = new OBB(OBB::FromExtents(r(0.5f, 3), r(0.5f, 3), r(0.5f, 3), r(0, 6.3f), r(0, 6.3f), r.Point(-2, 2)));
      box->Turn(Util::Mat3::FromEulerDegrees(r.Point(0, 360)), box->GetCenter());
      return box;
    }
    case kTypeSphere:
      return new Sphere(r.Point(-2, 2), r(0.3f, 2));
    case kTypeSet: {
      auto* set = new CollidableSet();
      set->Add(RandomShape(kTypeSphere, r));
      set->Add(RandomShape(kTypeAABB, r));
      return set;
    }
    default: {  // rolling ground about y = 0 with holes, upward or hanging down, x and z from -5 to 6
      std::vector<uint8_t> samples(36);
      for (uint8_t& s : samples) s = r(0, 1) < 0.15f ? 0 : static_cast<uint8_t>(r(1, 255));
      return new HeightMap(AABB({-5, -2, -5}, {6, 2, 6}), (r(0, 1) < 0.5f ? 4.0f : -4.0f) / 255, 6, 6, samples);
    }
  }
}

// A point inside both shapes, looked for among random points of their bounds' common box.
bool Witness(const Collidable& a, const Collidable& b, Random& r) {
  const AABB x = a.GetBounds(), y = b.GetBounds();
  const Vec3 low{std::max(x.m_Min.x, y.m_Min.x), std::max(x.m_Min.y, y.m_Min.y), std::max(x.m_Min.z, y.m_Min.z)};
  const Vec3 high{std::min(x.m_Max.x, y.m_Max.x), std::min(x.m_Max.y, y.m_Max.y), std::min(x.m_Max.z, y.m_Max.z)};
  if (!(low.x < high.x && low.y < high.y && low.z < high.z)) return false;
  for (int i = 0; i < 6000; ++i) {
    const Vec3 p{r(low.x, high.x), r(low.y, high.y), r(low.z, high.z)};
    if (a.ContainsPoint(p) && b.ContainsPoint(p)) return true;
  }
  return false;
}

// Two boxes apart along one of the fifteen axes of the full separating-axis test: what the
// design's six-axis box tests may still call a collision.
bool ApartOnSomeAxis(const Collidable& a, const Collidable& b) {
  auto box = [](const Collidable& s) {
    return s.GetType() == kTypeAABB ? OBB::FromAABB(static_cast<const AABB&>(s)) : static_cast<const OBB&>(s);
  };
  const OBB p = box(a), q = box(b);
  Vec3 pc[8], qc[8], axes[15];
  p.Corners(pc);
  q.Corners(qc);
  for (int i = 0; i < 3; ++i) {
    axes[i] = p.Edge(i);
    axes[3 + i] = q.Edge(i);
    for (int j = 0; j < 3; ++j) axes[6 + 3 * i + j] = Util::Cross(p.Edge(i), q.Edge(j));
  }
  for (const Vec3& axis : axes) {
    float pl = 1e30f, ph = -1e30f, ql = 1e30f, qh = -1e30f;
    for (int k = 0; k < 8; ++k) {
      pl = std::min(pl, Util::Dot(pc[k], axis)), ph = std::max(ph, Util::Dot(pc[k], axis));
      ql = std::min(ql, Util::Dot(qc[k], axis)), qh = std::max(qh, Util::Dot(qc[k], axis));
    }
    if (Util::LengthSquared(axis) > 1e-8f && (ph <= ql || qh <= pl)) return true;
  }
  return false;
}

bool Boxy(const Collidable& s) { return s.GetType() == kTypeAABB || s.GetType() == kTypeOBB; }

}  // namespace

// Every pair of kinds, both ways round, against points sampled in both shapes: a shared point
// means a collision; a collision without one is a thin overlap that a slightly larger shape
// shows, or the boxes' missing cross-product axes.
TEST(ShapePairs, AgreeWithSampledOverlapForEveryPairOfKinds) {
  Random r;
  for (int a = 0; a <= kTypeHeightMap; ++a)
    for (int b = a; b <= kTypeHeightMap; ++b) {
      if (a == kTypeHeightMap && b == kTypeHeightMap) continue;
      int collided = 0, missed = 0;
      for (int trial = 0; trial < 150; ++trial) {
        const Shape x(RandomShape(a, r)), y(RandomShape(b, r));
        const bool collides = x->Collides(*y);
        ASSERT_EQ(collides, y->Collides(*x)) << a << " " << b << " trial " << trial;
        if (Witness(*x, *y, r)) {
          ASSERT_TRUE(collides) << a << " " << b << " trial " << trial;
        } else if (collides) {
          Shape bigX(x->Clone()), bigY(y->Clone());
          bigX->Scale(1.2f), bigY->Scale(1.2f);
          if (a == kTypeHeightMap) bigY->Scale(1.3f);
          ASSERT_TRUE(Witness(*bigX, *bigY, r) || (Boxy(*x) && Boxy(*y) && ApartOnSomeAxis(*x, *y)))
              << a << " " << b << " trial " << trial;
        }
        (collides ? collided : missed)++;
      }
      EXPECT_GT(collided, 5) << a << " " << b;  // the cases are not all one way
      EXPECT_GT(missed, 5) << a << " " << b;
    }
}

TEST(ShapePairs, TouchingIsNotOverlapping) {
  const OBB turned({1, 2, 3}, {3, 4, 0}, {-4, 3, 0}, {0, 0, 5});  // turned, in exact numbers
  const struct {
    Shape a, b;
  } touching[] = {
      {Shape(new Sphere({0, 0, 0}, 1)), Shape(new Sphere({3, 0, 0}, 2))},
      {Shape(new AABB({0, 0, 0}, {1, 1, 1})), Shape(new AABB({1, 0, 0}, {2, 1, 1}))},
      {Shape(new AABB({0, 0, 0}, {1, 1, 1})), Shape(new OBB(OBB::FromAABB(AABB({0, 1, 0}, {1, 2, 1}))))},
      {Shape(new OBB(turned)), Shape([&] {
         auto* next = new OBB(turned);
         next->Translate(turned.Edge(0));
         return next;
       }())},
      {Shape(new Sphere({0, 3, 0}, 1)), Shape(new AABB({-1, 0, -1}, {1, 2, 1}))},
      {Shape(new Sphere({0, 3, 0}, 1)), Shape(new OBB(OBB::FromAABB(AABB({-1, 0, -1}, {1, 2, 1}))))},
  };
  for (const auto& pair : touching) {
    EXPECT_FALSE(pair.a->Collides(*pair.b)) << pair.a->GetType() << " " << pair.b->GetType();
    EXPECT_FALSE(pair.b->Collides(*pair.a)) << pair.a->GetType() << " " << pair.b->GetType();
  }
  // Points on the surface are not inside.
  EXPECT_FALSE(AABB({0, 0, 0}, {1, 1, 1}).ContainsPoint({1, 0.5f, 0.5f}));
  EXPECT_FALSE(OBB::FromAABB(AABB({0, 0, 0}, {1, 1, 1})).ContainsPoint({0.5f, 0, 0.5f}));
  EXPECT_FALSE(Sphere({0, 0, 0}, 2).ContainsPoint({0, 2, 0}));
}

TEST(ShapePushOut, PointsLeaveTheWayTheyCameOrByTheNearestFace) {
  Vec3 p{0.5f, 0.5f, 0.5f};
  AABB({0, 0, 0}, {1, 1, 1}).PushOut({0.5f, 3, 0.5f}, p);  // from above: back to the top face
  EXPECT_EQ(p, (Vec3{0.5f, 1, 0.5f}));
  p = {0.5f, 0.2f, 0.9f};
  AABB({0, 0, 0}, {1, 1, 1}).PushOut({0.5f, 0.5f, 0.5f}, p);  // from inside: to the nearest face
  EXPECT_EQ(p, (Vec3{0.5f, 0.2f, 1}));
  p = {3, 0, 0};
  Sphere({0, 0, 0}, 1).PushOut({3, 5, 5}, p);  // its way misses the sphere: it stays
  EXPECT_EQ(p, (Vec3{3, 0, 0}));
  const OBB box = OBB::FromExtents(2, 2, 2, 0.5f, 0.25f, {0, 0, 0});
  p = box.GetCenter() + box.Edge(1) * 0.4f;
  box.PushOut(box.GetCenter(), p);
  EXPECT_NEAR(Util::Length(p - (box.GetCenter() + box.Edge(1) * 0.5f)), 0.0f, 1e-5f);
}

TEST(BoxParticles, AnUndisturbedBoxReadsBackUnchangedAndAPushOnAnyCornerMovesIt) {
  OBB box = OBB::FromExtents(1, 2, 3, 0.4f, 1.1f, {5, 6, 7});
  Vec3 points[8], again[8];
  box.WriteParticles(points);
  box.ReadParticles(points);
  box.WriteParticles(again);
  for (int i = 0; i < 8; ++i) EXPECT_NEAR(Util::Length(again[i] - points[i]), 0.0f, 1e-5f) << i;
  // Each corner pushed up drags the box up a little, at its own size: no corner can fold over
  // and leave the box behind.
  for (int corner = 0; corner < 8; ++corner) {
    OBB pushed = box;
    pushed.WriteParticles(points);
    points[corner].y += 0.3f;
    pushed.ReadParticles(points);
    EXPECT_GT(pushed.GetCenter().y, box.GetCenter().y + 0.01f) << corner;
    for (int e = 0; e < 3; ++e) EXPECT_NEAR(Util::Length(pushed.Edge(e)), Util::Length(box.Edge(e)), 1e-4f);
    EXPECT_TRUE(pushed.Validate());
  }
}

TEST(CollidableSets, ANullChildIsRefusedAndAnEmptySetTouchesNothing) {
  Testing::AssertRecorder asserts;
  CollidableSet set;
  EXPECT_FALSE(set.Add(nullptr));
  EXPECT_EQ(asserts.Comments(), std::vector<std::string>{"Null object being added to a collidable set"});
  const Sphere sphere({0, 0, 0}, 5);
  EXPECT_FALSE(set.Collides(sphere));
  EXPECT_FALSE(sphere.Collides(set));
  EXPECT_FALSE(set.ContainsPoint({0, 0, 0}));
  // Particles are the children's, in child order.
  set.Add(new OBB(OBB::FromAABB(AABB({0, 0, 0}, {1, 1, 1}))));
  set.Add(new Sphere({0, 0, 0}, 1));
  set.Add(new OBB(OBB::FromAABB(AABB({5, 0, 0}, {6, 1, 1}))));
  Vec3 points[16];
  set.WriteParticles(points);
  EXPECT_EQ(set.GetParticleCount(), 16);
  EXPECT_EQ(points[8], (Vec3{5, 0, 0}));
  EXPECT_TRUE(set.Validate());
}
