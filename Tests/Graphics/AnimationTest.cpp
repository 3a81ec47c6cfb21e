// Skeletal animation: the controller's mixing and its misuse, and Dodod's generated rig read back
// and deformed.
#include "Graphics/AnimationController.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Graphics/SkinnedMesh.h"
#include "Support/AssertRecorder.h"
#include "Support/Printed.h"
#include "Support/TempTree.h"

using Gfx::AnimationController;
using Gfx::BonePose;
using Gfx::SkeletalTrack;

namespace {

// A skeleton of one bone at the origin.
Gfx::Skeleton OneBone() {
  Gfx::Skeleton skeleton;
  skeleton.AddBone(0, Gfx::Mat4{}, -1);
  return skeleton;
}

// A looping track of two keys of 100 ms, the bone at x = from, then x = to.
SkeletalTrack Slide(float from, float to) {
  BonePose a, b;
  a.m_Position.x = from;
  b.m_Position.x = to;
  return SkeletalTrack(Gfx::VertexTrack::kLoop, {{0.0f, 100.0f, {a}}, {100.0f, 200.0f, {b}}});
}

float BoneX(AnimationController& controller) { return controller.GetSkeleton().BoneAt(0).m_Pose.m_Position.x; }

TEST(AnimationTest, PlayingTracksMixInPairsInTrackOrder) {
  AnimationController controller(OneBone());
  controller.AddTrack(Slide(0.0f, 0.0f));
  controller.AddTrack(Slide(8.0f, 8.0f));
  controller.AddTrack(Slide(4.0f, 16.0f));
  EXPECT_EQ(controller.Update(10.0f), -1) << "nothing plays";
  controller.PlayTrack(0);
  controller.PlayTrack(1);
  EXPECT_EQ(controller.Update(50.0f), 0);
  EXPECT_FLOAT_EQ(BoneX(controller), 4.0f);
  controller.PlayTrack(2);  // at 50 of 200: x = 4 + 12 × 0.5 = 10
  controller.Update(50.0f);
  EXPECT_FLOAT_EQ(BoneX(controller), (4.0f + 10.0f) / 2.0f) << "the third weighs as much as the first two";
  EXPECT_TRUE(controller.Validate());
}

TEST(AnimationTest, PausedTrackKeepsItsTimeAndLeavesTheMix) {
  AnimationController controller(OneBone());
  controller.AddTrack(Slide(0.0f, 100.0f));
  controller.AddTrack(Slide(2.0f, 2.0f));
  controller.PlayTrack(0);
  controller.PlayTrack(1);
  controller.Update(30.0f);
  controller.PauseTrack(0);
  controller.Update(50.0f);
  EXPECT_FLOAT_EQ(controller.Track(0).Timing().Time(), 30.0f);
  EXPECT_FLOAT_EQ(BoneX(controller), 2.0f);
  controller.UnpauseTrack(0);
  controller.Update(10.0f);
  EXPECT_FLOAT_EQ(controller.Track(0).Timing().Time(), 40.0f);
  EXPECT_FLOAT_EQ(BoneX(controller), (40.0f + 2.0f) / 2.0f);
  controller.StopTrack(0);
  EXPECT_EQ(controller.Track(0).Timing().Time(), 0.0f);
  EXPECT_FALSE(controller.Track(0).Timing().Playing());
}

TEST(AnimationTest, MisusedTrackNumbersAnswerMinusOne) {
  AnimationController controller(OneBone());
  controller.AddTrack(Slide(0.0f, 1.0f));
  using Op = int32_t (AnimationController::*)(int32_t);
  const struct {
    Op op;
    const char* text;
  } ops[] = {{&AnimationController::PlayTrack, "AnimationController::PlayTrack: Track Does Not Exist"},
             {&AnimationController::PauseTrack, "AnimationController::PauseTrack: Track Does Not Exist"},
             {&AnimationController::UnpauseTrack, "AnimationController::UnpauseTrack: Track Does Not Exist"},
             {&AnimationController::StopTrack, "AnimationController::StopTrack: Track Does Not Exist"}};
  for (const auto& op : ops) {
    Testing::AssertRecorder asserts;
    EXPECT_EQ((controller.*op.op)(-1), -1);
    EXPECT_EQ(asserts.Count(), 0u) << "a negative number is ignored";
    EXPECT_EQ((controller.*op.op)(1), -1);
    EXPECT_EQ(asserts.Comments(), std::vector<std::string>{op.text});
  }
  Testing::AssertRecorder asserts;
  Gfx::Bone bone(0, Gfx::Mat4{});
  EXPECT_FALSE(bone.AddChild(nullptr));
  EXPECT_TRUE(asserts.Saw("AddChild Fail, child pointer is NULL"));
  EXPECT_TRUE(bone.Children().empty());
}

// Dodod's rig as the build generated it: the walk moves the feet and leaves the eyes' height.
TEST(AnimationTest, DododsRigReadsBackAndTheWalkMovesTheFeet) {
  Gfx::Skeleton skeleton;
  ASSERT_TRUE(skeleton.Load("../../Assets/Models/Dodod_skeleton.xml"));
  EXPECT_EQ(skeleton.BoneCount(), 5u);
  EXPECT_TRUE(skeleton.Validate());
  Gfx::SkinnedMesh mesh;
  ASSERT_TRUE(mesh.Load("../../Assets/Models/Dodod_skinned.xml"));
  EXPECT_TRUE(mesh.Validate());
  EXPECT_EQ(mesh.BonesNeeded(), 5u);
  SkeletalTrack walk(0, {}), idle(0, {});
  ASSERT_TRUE(SkeletalTrack::Load("../../Assets/Models/Dodod_walk.xml", 5, walk));
  ASSERT_TRUE(SkeletalTrack::Load("../../Assets/Models/Dodod_idle.xml", 5, idle));

  AnimationController controller(std::move(skeleton));
  std::vector<Gfx::Vertex> rest, walking;
  mesh.Deform(controller.SkinMatrices(), rest);
  const std::vector<Gfx::Vertex>& bound = mesh.BindMesh().m_Vertices;
  ASSERT_EQ(rest.size(), bound.size());
  for (size_t v = 0; v < rest.size(); v += 97) EXPECT_NEAR(rest[v].Position[1], bound[v].Position[1], 1e-5f);

  controller.PlayTrack(controller.AddTrack(std::move(walk)));
  controller.Update(1.0f);  // the left foot forward
  mesh.Deform(controller.SkinMatrices(), walking);
  float footShift = 0.0f;
  for (size_t v = 0; v < bound.size(); ++v)
    if (bound[v].Position[1] < -0.4f && bound[v].Position[0] > 0.1f)
      footShift = std::max(footShift, walking[v].Position[2] - bound[v].Position[2]);
  EXPECT_GT(footShift, 0.08f);
}

TEST(AnimationTest, BrokenRigFilesAreReportedAndRefused) {
  Testing::TempTree tree;
  const std::string pose = "<Pose><float name=\"x\">1</float></Pose>";
  tree.Write("Assets/a.xml", "<XMLRoot><Track><Key><float name=\"start\">0</float><float name=\"end\">5</float>" +
                                 pose + "</Key></Track></XMLRoot>");
  tree.Write("Assets/b.xml",
             "<XMLRoot><Header/><Bone><int name=\"id\">0</int><Matrix4D><Vector4D/></Matrix4D>"
             "</Bone></XMLRoot>");
  tree.Write("Assets/c.xml",
             "<XMLRoot><Mesh><int name=\"Subsets\">1</int><Subset><int name=\"Indices\">1</int>"
             "<int name=\"Vertices\">1</int><Index><int name=\"id\">1</int></Index><Vertex/>"
             "</Subset></Mesh></XMLRoot>");
  SkeletalTrack track(0, {});
  Gfx::Skeleton skeleton;
  Gfx::SkinnedMesh mesh;
  EXPECT_NE(Testing::Printed([&] { EXPECT_FALSE(SkeletalTrack::Load("../../Assets/a.xml", 2, track)); }), "");
  EXPECT_TRUE(SkeletalTrack::Load("../../Assets/a.xml", 1, track));
  EXPECT_NE(Testing::Printed([&] { EXPECT_FALSE(skeleton.Load("../../Assets/b.xml")); }), "");
  EXPECT_NE(Testing::Printed([&] { EXPECT_FALSE(mesh.Load("../../Assets/c.xml")); }), "");
  EXPECT_EQ(skeleton.BoneCount(), 0u);
  EXPECT_TRUE(mesh.BindMesh().m_Vertices.empty());
}

}  // namespace
