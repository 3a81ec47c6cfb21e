#include <SDL.h>
#include <gtest/gtest.h>

#include <memory>

#include "Physics/CollidableSet.h"
#include "Physics/HeightMap.h"
#include "Physics/HullIO.h"
#include "Physics/OBB.h"
#include "Physics/PhysComp.h"
#include "Physics/Sphere.h"
#include "Support/AssertRecorder.h"
#include "Support/TempTree.h"
#include "Util/FileAccess.h"

using namespace Phy;
using Util::Vec3;

namespace {

// Writes a bitmap of w × h pixels of the given depth (8: greyscale palette) into the tree.
void WriteBitmap(const std::string& path, int w, int h, int bits, const std::vector<uint8_t>& values) {
  SDL_Surface* s =
      SDL_CreateRGBSurfaceWithFormat(0, w, h, bits, bits == 8 ? SDL_PIXELFORMAT_INDEX8 : SDL_PIXELFORMAT_RGB24);
  if (bits == 8) {
    SDL_Color grey[256];
    for (int i = 0; i < 256; ++i) grey[i] = {static_cast<Uint8>(i), static_cast<Uint8>(i), static_cast<Uint8>(i), 255};
    SDL_SetPaletteColors(s->format->palette, grey, 0, 256);
  }
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w * (bits / 8); ++x)
      static_cast<uint8_t*>(s->pixels)[y * s->pitch + x] = values[static_cast<size_t>(y * w + x / (bits / 8))];
  ASSERT_EQ(SDL_SaveBMP(s, path.c_str()), 0);
  SDL_FreeSurface(s);
}

// One cell of samples h00, h10, h01, h11, one unit of height a step.
HeightMap Cell(uint8_t h00, uint8_t h10, uint8_t h01, uint8_t h11) {
  return HeightMap(AABB({0, 0, 0}, {3, 255, 3}), 1.0f, 2, 2, {h00, h10, h01, h11});
}

}  // namespace

TEST(HeightMaps, AnEightBitBitmapGivesTheSamplesAndItsSizeTheBounds) {
  Testing::TempTree tree;
  Util::PackDirectory::Instance().Reset();
  WriteBitmap(tree.Root() + "/Assets/ground.bmp", 3, 2, 8, {10, 20, 30, 0, 50, 60});
  const HeightMap map({0, 0, 0}, {10, 255, 10}, "../../Assets/ground.bmp", 2.0f);
  EXPECT_EQ(Util::PackDirectory::Instance().Paths(), std::vector<std::string>{"../../Assets/ground.bmp"});
  ASSERT_EQ(map.SampleWidth(), 3);
  EXPECT_EQ(map.Sample(2, 0), 30);
  EXPECT_EQ(map.Sample(1, 1), 50);
  // 2 × 3 − 1 by 2 × 2 − 1 about the given centre (5, 5), moved by (1, 0, 1).
  EXPECT_EQ(map.GetBounds().Min(), (Vec3{3.5f, 0, 4.5f}));
  EXPECT_EQ(map.GetBounds().Max(), (Vec3{8.5f, 255, 7.5f}));
  EXPECT_FLOAT_EQ(map.YScale(), 2.0f);
  EXPECT_FLOAT_EQ(map.HeightAt(5.5f, 4.5f), 40.0f);  // sample (1, 0), 20 × 2
}

TEST(HeightMaps, HolesAndTheTriangleOfEachCell) {
  const struct {
    uint8_t h[4];  // h00, h10, h01, h11
    float fx, fz, height;
  } cases[] = {
      {{0, 0, 50, 50}, 0.5f, 0.9f, 0},    // two corners missing: a hole
      {{0, 40, 40, 40}, 0.8f, 0.8f, 40},  // h00 missing: the far triangle is ground
      {{0, 40, 40, 40}, 0.2f, 0.2f, 0},   // ... and the near one a hole
      {{40, 0, 20, 40}, 0.2f, 0.6f, 32},  // h10 missing: fx < fz is ground
      {{40, 0, 20, 40}, 0.6f, 0.2f, 0},     {{40, 20, 0, 40}, 0.6f, 0.2f, 32},        // h01 missing: fz < fx
      {{40, 20, 0, 40}, 0.2f, 0.6f, 0},     {{40, 20, 60, 0}, 0.2f, 0.2f, 40},        // h11 missing: fx + fz < 1
      {{40, 20, 60, 0}, 0.6f, 0.6f, 0},     {{10, 20, 30, 40}, 0.25f, 0.25f, 17.5f},  // full, split along h10-h01
      {{10, 50, 50, 10}, 0.25f, 0.75f, 30},                                           // full, split along h00-h11
  };
  for (const auto& c : cases)
    EXPECT_FLOAT_EQ(Cell(c.h[0], c.h[1], c.h[2], c.h[3]).HeightAt(2 * c.fx, 2 * c.fz), c.height)
        << int(c.h[0]) << " " << int(c.h[1]) << " " << int(c.h[2]) << " " << int(c.h[3]) << " " << c.fx << "," << c.fz;
  // Past the last sample there is no ground, and nothing reads beyond the samples.
  EXPECT_FLOAT_EQ(Cell(9, 9, 9, 9).HeightAt(2.5f, 1.0f), 0.0f);
  EXPECT_FALSE(Cell(9, 9, 9, 9).ContainsPoint({2.5f, 1, 1}));
  EXPECT_TRUE(Cell(9, 9, 9, 9).ContainsPoint({1.5f, 1, 1}));
}

TEST(HeightMaps, ADownwardMapHoldsWhatIsAboveItsSurface) {
  const HeightMap under(AABB({0, -255, 0}, {15, 0, 15}), -1.0f, 8, 8, std::vector<uint8_t>(64, 100));
  EXPECT_FLOAT_EQ(under.HeightAt(7, 7), -100.0f);
  EXPECT_TRUE(under.ContainsPoint({7, -50, 7}));
  EXPECT_FALSE(under.ContainsPoint({7, -150, 7}));
  Vec3 p{7, -90, 7};
  under.PushOut({7, -90, 7}, p);  // onto the surface below it
  EXPECT_FLOAT_EQ(p.y, -100.0f);
}

TEST(HeightMaps, ABitmapThatIsMissingOrNotEightBitIsRefused) {
  Testing::TempTree tree;
  Testing::AssertRecorder asserts;
  WriteBitmap(tree.Root() + "/Assets/deep.bmp", 2, 2, 24, {1, 2, 3, 4});
  const HeightMap deep({0, 0, 0}, {4, 4, 4}, "../../Assets/deep.bmp", 1.0f);
  const HeightMap none({0, 0, 0}, {4, 4, 4}, "../../Assets/none.bmp", 1.0f);
  EXPECT_EQ(asserts.Comments(), (std::vector<std::string>{"Only 8-bit heightmaps supported",
                                                          "Can't load ../../Assets/none.bmp as a heightmap."}));
  for (const HeightMap* map : {&deep, &none}) {
    EXPECT_EQ(map->SampleWidth(), 0);
    EXPECT_FALSE(map->Collides(Sphere({2, 0, 2}, 10)));
    EXPECT_FALSE(map->ContainsPoint({2, 1, 2}));
  }
}

// A hull of every kind and a body carrying it, written and read back: the same shapes in the
// same order, and every shorter file refused.
TEST(BinaryHulls, ReadBackWhatIsWrittenAndRefuseEveryTruncation) {
  Testing::TempTree tree;
  Testing::AssertRecorder asserts;
  auto* hull = new CollidableSet();
  hull->Add(new OBB(OBB::FromExtents(1, 2, 4, 0.5f, 0, {1, 2, 3})));
  hull->Add(new Sphere({4, 5, 6}, 0.5f));
  hull->Add(new HeightMap(AABB({0, -8, 0}, {3, 0, 3}), -0.25f, 2, 2, {1, 2, 3, 4}));
  auto* inner = new CollidableSet();
  inner->Add(new AABB({0, 0, 0}, {1, 1, 1}));
  hull->Add(inner);
  PhysComp body(nullptr);
  body.SetMass(2.0f);
  body.SetGhost(true);
  body.SetAccel({0, -10, 0});
  body.AddHull(hull);
  {
    Util::BinaryStream out(Util::BinaryStream::WRITE, "body.bin");
    body.Write(out);
  }
  const std::string bytes = tree.Read("run/bin/body.bin");
  for (size_t length = 0; length <= bytes.size(); ++length) {
    tree.Write("run/bin/cut.bin", bytes.substr(0, length));
    Util::BinaryStream in(Util::BinaryStream::READ, "cut.bin");
    std::unique_ptr<PhysComp> read(PhysComp::Read(in, nullptr));
    ASSERT_EQ(read != nullptr, length == bytes.size()) << length << " of " << bytes.size();
    if (!read) continue;
    EXPECT_EQ(read->Mass(), 2.0f);
    EXPECT_TRUE(read->IsGhost());
    EXPECT_EQ(read->GetAccel(), (Vec3{0, -10, 0}));
    EXPECT_EQ(read->HullOffset(), body.HullOffset());
    const Collidable& back = *read->Hull();
    ASSERT_EQ(back.GetType(), kTypeSet);
    auto& set = const_cast<Collidable&>(back);
    ASSERT_EQ(set.GetChildCount(), 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(set.GetChild(i)->GetType(), hull->GetChild(i)->GetType()) << i;
    EXPECT_EQ(static_cast<HeightMap*>(set.GetChild(2))->YScale(), -0.25f);
    const AABB a = back.GetBounds(), b = hull->GetBounds();
    EXPECT_NEAR(Util::Length(a.Min() - b.Min()) + Util::Length(a.Max() - b.Max()), 0.0f, 1e-5f);
  }
  // A count no writer writes is refused before anything is made of it.
  tree.Write("run/bin/huge.bin", std::string("\x03\0\0\0\xff\xff\xff\x7f", 8));
  Util::BinaryStream in(Util::BinaryStream::READ, "huge.bin");
  Collidable* read = nullptr;
  EXPECT_FALSE(ReadHull(in, read));
  EXPECT_EQ(read, nullptr);
}
