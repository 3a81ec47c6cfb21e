// Skeleton: the bone hierarchy that drives a skinned mesh.
//
// A bone has an identifier, a bind matrix (where the bone stands in the model when the mesh is
// bound to it: bone space to model space), its local pose (position and rotation relative to its
// parent) and its children. The skeleton owns its bones in file order, parents before children,
// which is also the order of the poses in an animation and of the bone indices of a skinned mesh.
// With no animation the bones keep their rest pose, the local pose their bind matrices give.
//
// Skeleton file (XML, read through the file layer): a <Header>, then one root <Bone> whose
// children nest; each <Bone> holds <int name="id">, a <Matrix4D> of four <Vector4D> rows (floats
// "x", "y", "z", "w"; the translation is the fourth column) and its child <Bone> elements. A file
// that cannot be read, has no bone, or has a matrix that cannot be inverted is reported on
// standard output and refused. Main thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Graphics/RenderContext.h"
#include "Util/Vec3.h"

namespace Gfx {

// A rotation as a quaternion (x, y, z, w); identity (0, 0, 0, 1).
struct Quat {
  float x = 0.0f, y = 0.0f, z = 0.0f, w = 1.0f;
};

// One bone's local position and rotation.
struct BonePose {
  Util::Vec3 m_Position;
  Quat m_Rotation;
};

// The rotation and translation of a pose as a matrix; the quaternion is normalised first, since
// mixed poses are not (a zero quaternion gives no rotation).
Mat4 PoseMatrix(const BonePose& pose);
// The rotation part of a rigid matrix as a quaternion, and its translation.
BonePose PoseOf(const Mat4& m);

class Bone {
 public:
  Bone(int32_t id, const Mat4& bind) : m_Id(id), m_Bind(bind) {}

  // Null is refused with an assertion.
  bool AddChild(Bone* child);

  int32_t Id() const { return m_Id; }
  const Mat4& Bind() const { return m_Bind; }
  const std::vector<Bone*>& Children() const { return m_Children; }

  BonePose m_Pose;

 private:
  int32_t m_Id;
  Mat4 m_Bind;
  std::vector<Bone*> m_Children;  // owned by the skeleton
};

class Skeleton {
 public:
  Skeleton() = default;
  Skeleton(Skeleton&&) = default;
  Skeleton& operator=(Skeleton&&) = default;

  // Reads a skeleton file in place of the bones; false (with a line on standard output) when it
  // is refused, which leaves the skeleton as it was.
  bool Load(const char* path);

  // A bone under the parent (-1 for the root); its rest pose is taken from the bind matrices.
  // Returns its index, or -1 for a parent that is not an earlier bone or a singular bind matrix.
  int32_t AddBone(int32_t id, const Mat4& bind, int32_t parent);

  size_t BoneCount() const { return m_Bones.size(); }
  Bone& BoneAt(size_t i) { return *m_Bones[i]; }
  const Bone& BoneAt(size_t i) const { return *m_Bones[i]; }
  int32_t Parent(size_t i) const { return m_Parents[i]; }
  // Every bone's rest pose, in bone order.
  const std::vector<BonePose>& RestPose() const { return m_Rest; }

  // Each bone's local pose from `poses` (bone order; missing ones keep theirs).
  void SetPose(const std::vector<BonePose>& poses);
  // The skinning matrices of the current pose: each bone's model-space transform times the
  // inverse of its bind matrix, so that a vertex bound in the bind pose follows its bone.
  void SkinMatrices(std::vector<Mat4>& out) const;

  // Parents come before their children, and each bone is its parent's child.
  bool Validate() const;

 private:
  std::vector<std::unique_ptr<Bone>> m_Bones;
  std::vector<int32_t> m_Parents;
  std::vector<Mat4> m_InverseBind;
  std::vector<BonePose> m_Rest;
  mutable std::vector<Mat4> m_World;  // scratch of SkinMatrices
};

}  // namespace Gfx
