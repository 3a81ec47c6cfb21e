// Rigs Dodod: reads the generated model Dodod.BIN from the folder given on the command line and
// writes beside it the skeleton (Dodod_skeleton.xml), the mesh bound to it (Dodod_skinned.xml) and
// two animation tracks, a walk (Dodod_walk.xml) and an idle breath (Dodod_idle.xml).
//
// Dodod's shape (make_models.cpp): a body of radius 0.5 round the origin, two feet below at
// x = ±0.17, y = -0.45, z = 0.07, facing +z, and a scarf whose tail hangs behind at z ≈ -0.52. The
// skeleton: a root, the body under it, a foot on each side under the root, and the scarf's tail
// under the body. Vertices are bound by the part they belong to, which the model's palette tells:
// feet and the scarf's tail have colours of their own; all else follows the body. Everything is
// deterministic, so every build writes the same files.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "Graphics/Model.h"

namespace {

struct V3 {
  float x, y, z;
};

// Bones in file order, which is depth first (each bone followed by its children): the order of
// the poses and of the bone indices. The bind matrices are translations to these points.
enum Bone { kRoot, kBody, kScarf, kLeftFoot, kRightFoot, kBones };
constexpr int kParent[kBones] = {-1, kRoot, kBody, kRoot, kRoot};
constexpr V3 kAt[kBones] = {
    {0, 0, 0}, {0, 0, 0}, {0.13f, 0.02f, -0.52f}, {0.17f, -0.45f, 0.07f}, {-0.17f, -0.45f, 0.07f}};

// The model's colours of the parts that move on their own.
constexpr V3 kFeet{0.82f, 0.78f, 0.72f};
constexpr V3 kScarfTail{0.75f * 0.9f, 0.15f * 0.9f, 0.12f * 0.9f};

bool Near(const float* c, const V3& colour) {
  return std::fabs(c[0] - colour.x) < 0.003f && std::fabs(c[1] - colour.y) < 0.003f &&
         std::fabs(c[2] - colour.z) < 0.003f;
}

struct Influence {
  int bones[2];
  float weights[2];
};

Influence Bind(const Gfx::Vertex& v) {
  if (Near(v.Color, kFeet)) return {{v.Position[0] > 0.0f ? kLeftFoot : kRightFoot, kBody}, {1.0f, 0.0f}};
  if (Near(v.Color, kScarfTail)) {
    // The tail's top stays with the knot round the neck; the rest swings.
    const float t = v.Position[1] > -0.05f ? 0.5f : 1.0f;
    return {{kScarf, kBody}, {t, 1.0f - t}};
  }
  return {{kBody, kRoot}, {1.0f, 0.0f}};
}

void Vector(std::FILE* f, const char* name, const float* v, int n) {
  static const char* const kAxes[] = {"x", "y", "z"};
  std::fprintf(f, "<%s>", name);
  for (int i = 0; i < n; ++i) std::fprintf(f, "<float name=\"%s\">%.7g</float>", kAxes[i], v[i]);
  std::fprintf(f, "</%s>", name);
}

bool WriteSkinned(const std::string& path, const Gfx::Mesh& mesh) {
  std::FILE* f = std::fopen(path.c_str(), "w");
  if (!f) return false;
  std::fprintf(f, "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<XMLRoot>\n");
  std::fprintf(f,
               "  <Header><bool name=\"ExportTan_Bitan\">1</bool><bool name=\"ExportNormals\">1</bool>"
               "<bool name=\"ExportUVs\">1</bool><bool name=\"ExportVertexColor\">1</bool></Header>\n");
  std::fprintf(f, "  <Mesh>\n    <string name=\"name\">Dodod</string>\n    <int name=\"Subsets\">1</int>\n");
  std::fprintf(f, "    <Subset>\n      <int name=\"Indices\">%zu</int>\n      <int name=\"Vertices\">%zu</int>\n",
               mesh.m_Indices.size(), mesh.m_Vertices.size());
  for (uint32_t index : mesh.m_Indices) std::fprintf(f, "      <Index><int name=\"id\">%u</int></Index>\n", index);
  for (const Gfx::Vertex& v : mesh.m_Vertices) {
    std::fprintf(f, "      <Vertex>");
    Vector(f, "Position", v.Position, 3);
    Vector(f, "Normal", v.Normal, 3);
    Vector(f, "Color", v.Color, 3);
    Vector(f, "uvCoord", v.uvCoord, 2);
    Vector(f, "Tangent", v.Tangent, 3);
    Vector(f, "Bitangent", v.Bitangent, 3);
    const Influence influence = Bind(v);
    std::fprintf(f, "<BoneID><int name=\"id\">%d</int><int name=\"id\">%d</int></BoneID>", influence.bones[0],
                 influence.bones[1]);
    std::fprintf(f, "<BoneWeight><float name=\"weight\">%g</float><float name=\"weight\">%g</float></BoneWeight>",
                 influence.weights[0], influence.weights[1]);
    std::fprintf(f, "</Vertex>\n");
  }
  std::fprintf(f, "    </Subset>\n  </Mesh>\n</XMLRoot>\n");
  return std::fclose(f) == 0;
}

void WriteBone(std::FILE* f, int bone, int depth) {
  const std::string indent(2 * depth, ' ');
  std::fprintf(f, "%s<Bone>\n%s  <int name=\"id\">%d</int>\n%s  <Matrix4D>\n", indent.c_str(), indent.c_str(), bone,
               indent.c_str());
  const float t[3] = {kAt[bone].x, kAt[bone].y, kAt[bone].z};
  for (int row = 0; row < 4; ++row) {
    const float r[4] = {row == 0 ? 1.0f : 0.0f, row == 1 ? 1.0f : 0.0f, row == 2 ? 1.0f : 0.0f,
                        row < 3 ? t[row] : 1.0f};
    std::fprintf(f,
                 "%s    <Vector4D><float name=\"x\">%g</float><float name=\"y\">%g</float><float "
                 "name=\"z\">%g</float><float name=\"w\">%g</float></Vector4D>\n",
                 indent.c_str(), r[0], r[1], r[2], r[3]);
  }
  std::fprintf(f, "%s  </Matrix4D>\n", indent.c_str());
  for (int child = 0; child < kBones; ++child)
    if (kParent[child] == bone) WriteBone(f, child, depth + 1);
  std::fprintf(f, "%s</Bone>\n", indent.c_str());
}

bool WriteSkeleton(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "w");
  if (!f) return false;
  std::fprintf(
      f, "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<XMLRoot>\n  <Header><int name=\"Bones\">%d</int></Header>\n",
      kBones);
  WriteBone(f, kRoot, 1);
  std::fprintf(f, "</XMLRoot>\n");
  return std::fclose(f) == 0;
}

// A bone's pose in a key: moved from its rest place and turned about an axis (degrees).
struct Pose {
  V3 offset{0, 0, 0};
  V3 axis{1, 0, 0};
  float degrees = 0.0f;
};
using Key = std::vector<Pose>;  // one per bone

bool WriteTrack(const std::string& path, float keyLength, const std::vector<Key>& keys) {
  std::FILE* f = std::fopen(path.c_str(), "w");
  if (!f) return false;
  std::fprintf(f, "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<XMLRoot>\n  <Track>\n    <int name=\"mode\">0</int>\n");
  for (size_t k = 0; k < keys.size(); ++k) {
    std::fprintf(f, "    <Key>\n      <float name=\"start\">%g</float>\n      <float name=\"end\">%g</float>\n",
                 keyLength * static_cast<float>(k), keyLength * static_cast<float>(k + 1));
    for (int bone = 0; bone < kBones; ++bone) {
      const Pose& pose = keys[k][bone];
      // Local places: relative to the parent, whose bind is a translation too.
      const V3 parent = kParent[bone] < 0 ? V3{0, 0, 0} : kAt[kParent[bone]];
      const V3 p{kAt[bone].x - parent.x + pose.offset.x, kAt[bone].y - parent.y + pose.offset.y,
                 kAt[bone].z - parent.z + pose.offset.z};
      const float half = pose.degrees * 3.14159265f / 360.0f;
      const float s = std::sin(half);
      std::fprintf(
          f,
          "      <Pose><float name=\"x\">%.6g</float><float name=\"y\">%.6g</float><float name=\"z\">%.6g</float>"
          "<float name=\"qx\">%.6g</float><float name=\"qy\">%.6g</float><float name=\"qz\">%.6g</float>"
          "<float name=\"qw\">%.6g</float></Pose>\n",
          p.x, p.y, p.z, pose.axis.x * s, pose.axis.y * s, pose.axis.z * s, std::cos(half));
    }
    std::fprintf(f, "    </Key>\n");
  }
  std::fprintf(f, "  </Track>\n</XMLRoot>\n");
  return std::fclose(f) == 0;
}

Key Rest() { return Key(kBones); }

// The walk: four steps of 150 ms. A foot reaches forward as the other pushes back, the lifted foot
// passes under the body, the body dips on each contact and rolls toward the foot it stands on, and
// the scarf's tail flicks behind.
std::vector<Key> Walk() {
  std::vector<Key> keys;
  for (int step = 0; step < 4; ++step) {
    Key key = Rest();
    const float side = step < 2 ? 1.0f : -1.0f;  // which foot leads
    if (step % 2 == 0) {
      key[kLeftFoot].offset = {0, 0, 0.11f * side};
      key[kRightFoot].offset = {0, 0, -0.11f * side};
      key[kBody].offset = {0, -0.025f, 0};
      key[kScarf] = {{0, 0, 0}, {1, 0, 0}, 14.0f};
    } else {
      const Bone lifted = side > 0 ? kRightFoot : kLeftFoot;
      key[lifted].offset = {0, 0.08f, 0};
      key[kBody].offset = {0, 0.03f, 0};
      key[kBody].axis = {0, 0, 1};
      key[kBody].degrees = 5.0f * side;
      key[kScarf] = {{0, 0, 0}, {1, 0, 0}, -6.0f};
    }
    keys.push_back(key);
  }
  return keys;
}

// Idle: a slow breath of 1.8 s; the body rises a little and the scarf stirs.
std::vector<Key> Idle() {
  Key breathIn = Rest();
  breathIn[kBody].offset = {0, 0.018f, 0};
  breathIn[kScarf] = {{0, 0, 0}, {1, 0, 0}, 7.0f};
  return {Rest(), breathIn};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_dodod_rig <models folder>\n");
    return 1;
  }
  const std::string folder = std::string(argv[1]) + "/";
  // The engine's reader has said what is wrong with a file it refuses.
  const std::unique_ptr<Gfx::Model> model = Gfx::LoadModel((folder + "Dodod.BIN").c_str());
  if (!model || model->Meshes().size() != 1) {
    std::fprintf(stderr, "make_dodod_rig: %sDodod.BIN is not a model of one mesh\n", folder.c_str());
    return 1;
  }
  const Gfx::Mesh& mesh = model->Meshes().front();
  const bool written =
      WriteSkeleton(folder + "Dodod_skeleton.xml") && WriteSkinned(folder + "Dodod_skinned.xml", mesh) &&
      WriteTrack(folder + "Dodod_walk.xml", 150.0f, Walk()) && WriteTrack(folder + "Dodod_idle.xml", 900.0f, Idle());
  return written ? 0 : 1;
}
