#include "Graphics/Model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "Graphics/ModelAnimation.h"
#include "Support/AssertRecorder.h"
#include "Support/Printed.h"
#include "Support/TempTree.h"

using Gfx::Mesh;
using Gfx::Vertex;

namespace {

std::string U32(uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }

// A triangle pair whose every float differs, so any field read from the wrong place shows.
Mesh SampleMesh(const std::string& name) {
  Mesh mesh{name, std::vector<Vertex>(4), {0, 1, 2, 2, 1, 3}};
  for (size_t v = 0; v < 4; ++v) {
    float* f = reinterpret_cast<float*>(&mesh.m_Vertices[v]);
    for (int i = 0; i < 17; ++i) f[i] = static_cast<float>(v * 100 + i) + 0.25f;
  }
  return mesh;
}

void ExpectSameMesh(const Mesh& a, const Mesh& b) {
  EXPECT_EQ(a.m_Name, b.m_Name);
  EXPECT_EQ(a.m_Indices, b.m_Indices);
  ASSERT_EQ(a.m_Vertices.size(), b.m_Vertices.size());
  EXPECT_EQ(0, std::memcmp(a.m_Vertices.data(), b.m_Vertices.data(), a.m_Vertices.size() * sizeof(Vertex)));
}

// A chunked file: the container, a chunk of another kind, the mesh chunks, the end mark.
std::string Chunked(const std::vector<std::string>& meshes) {
  std::string out = "1xpd" + U32(0) + "ignr" + U32(3) + "abc";
  for (const std::string& payload : meshes) out += "hsem" + U32(static_cast<uint32_t>(payload.size())) + payload;
  return out + U32(0) + U32(0);
}

// One triangle over the first vertices; record v holds the floats v × 100, v × 100 + 1, ...
std::string MeshPayload(uint32_t type, uint32_t recordSize, uint32_t vertexCount) {
  std::string out = U32(type) + U32(3) + U32(0) + U32(1 % vertexCount) + U32(2 % vertexCount) + U32(vertexCount);
  for (uint32_t f = 0; f < vertexCount * recordSize / 4; ++f) {
    const float value = static_cast<float>(f / (recordSize / 4) * 100 + f % (recordSize / 4));
    out.append(reinterpret_cast<const char*>(&value), 4);
  }
  return out;
}

class ModelFileTest : public testing::Test {
 protected:
  void SetUp() override { m_Tree.Write("Assets/Models/readme", ""); }
  std::unique_ptr<Gfx::Model> LoadFile(const std::string& name, const std::string& contents) {
    m_Tree.Write("Assets/Models/" + name, contents);
    return Gfx::LoadModel(("../../Assets/Models/" + name).c_str());
  }
  // The mesh (the model's first) as the writer writes it and the reader reads it back.
  Mesh RoundTrip(const Gfx::Model& model, const Mesh& mesh = {}) {
    EXPECT_TRUE(Gfx::WriteModel("../../Assets/Models/again.BIN", model.Meshes().empty() ? mesh : model.Meshes()[0]));
    const auto again = Gfx::LoadModel("../../Assets/Models/again.BIN");
    return again && !again->Meshes().empty() ? again->Meshes()[0] : Mesh{};
  }

  Testing::TempTree m_Tree;
  Testing::AssertRecorder m_Asserts;
};

TEST_F(ModelFileTest, SimpleFormRoundTripsAndSetsBounds) {
  const Mesh mesh = SampleMesh("sample");
  ASSERT_TRUE(Gfx::WriteModel("../../Assets/Models/sample.BIN", mesh));
  EXPECT_EQ(m_Tree.Read("Assets/Models/sample.BIN").size(), 4 + 6 + 4 + 4 * 68 + 4 + 6 * 4);
  const auto model = Gfx::LoadModel("../../Assets/Models/sample.BIN");
  ASSERT_TRUE(model);
  ExpectSameMesh(model->Meshes().at(0), mesh);
  EXPECT_EQ(model->Bounds().m_Min, (Util::Vec3{0.25f, 1.25f, 2.25f}));
  EXPECT_EQ(model->Bounds().m_Max, (Util::Vec3{300.25f, 301.25f, 302.25f}));
  EXPECT_TRUE(model->Validate());
  // An unnamed mesh keeps its geometry: a zero name length would read back as no mesh at all.
  EXPECT_EQ(RoundTrip(Gfx::Model(), SampleMesh("")).VertexCount(), 4u);
}

TEST_F(ModelFileTest, ChunkedFormKeepsTypeZeroReadsPastTheOthersAndSkipsInvalidTypes) {
  const auto model = LoadFile("chunked.BIN", Chunked({MeshPayload(0, 56, 3), MeshPayload(4, 80, 2)}));
  ASSERT_TRUE(model && model->Meshes().size() == 2);
  const Mesh& kept = model->Meshes()[0];
  ASSERT_EQ(kept.VertexCount(), 3u);
  // Position and normal as stored, no colour, then uv, tangent and bitangent.
  const Vertex& v = kept.m_Vertices[2];
  EXPECT_EQ((std::vector<float>{v.Position[0], v.Normal[2], v.Color[0], v.Color[2], v.uvCoord[0], v.Tangent[0],
                                v.Bitangent[2]}),
            (std::vector<float>{200, 205, 0, 0, 206, 208, 213}));
  EXPECT_EQ(model->Meshes()[1].VertexCount(), 0u);
  ExpectSameMesh(RoundTrip(*model), Mesh{"mesh", kept.m_Vertices, kept.m_Indices});

  const auto typeTwo = LoadFile("typetwo.BIN", Chunked({MeshPayload(2, 68, 4)}));
  ASSERT_TRUE(typeTwo && typeTwo->Meshes().size() == 1);
  EXPECT_EQ(typeTwo->Meshes()[0].IndexCount(), 3u);
  EXPECT_EQ(typeTwo->Meshes()[0].VertexCount(), 0u);
  EXPECT_EQ(m_Asserts.Count(), 0u);

  const auto badType = LoadFile("badtype.BIN", Chunked({MeshPayload(7, 56, 3), MeshPayload(0, 56, 3)}));
  EXPECT_EQ(m_Asserts.Comments(), std::vector<std::string>{"LoadModelFrom: Invalid Vertex Type"});
  ASSERT_TRUE(badType && badType->Meshes().size() == 1);
  EXPECT_EQ(badType->Meshes()[0].VertexCount(), 3u);
}

TEST_F(ModelFileTest, TruncatedFilesAreRefusedAtEveryLength) {
  ASSERT_TRUE(Gfx::WriteModel("../../Assets/Models/whole.BIN", SampleMesh("sample")));
  const std::string simple = m_Tree.Read("Assets/Models/whole.BIN");
  const std::string chunked = Chunked({MeshPayload(0, 56, 3), MeshPayload(1, 76, 2)});
  // A chunked file cut right after a chunk is a shorter whole file.
  const std::set<size_t> boundaries{8, 19, 27 + MeshPayload(0, 56, 3).size(), chunked.size() - 8};
  for (const std::string* file : {&simple, &chunked}) {
    for (size_t length = 1; length < file->size(); ++length) {
      const bool boundary = file == &chunked && boundaries.count(length);
      std::unique_ptr<Gfx::Model> model;
      const std::string printed = Testing::Printed([&] { model = LoadFile("cut.BIN", file->substr(0, length)); });
      EXPECT_EQ(model == nullptr, !boundary) << "cut at " << length;
      EXPECT_EQ(printed.find("not loaded") != std::string::npos, !boundary);
    }
  }
}

TEST_F(ModelFileTest, CorruptCountsNamesAndIndicesAreRefused) {
  Mesh pastEnd = SampleMesh("p");
  pastEnd.m_Indices[4] = 4;
  ASSERT_TRUE(Gfx::WriteModel("../../Assets/Models/past.BIN", pastEnd));
  for (const std::string& bytes : {U32(1) + "n" + U32(0xffffffffu), U32(301) + std::string(301, 'n') + U32(0) + U32(0),
                                   m_Tree.Read("Assets/Models/past.BIN")}) {
    Testing::Printed([&] { EXPECT_EQ(LoadFile("corrupt.BIN", bytes), nullptr); });
  }
  const auto none = LoadFile("empty.BIN", U32(0));
  ASSERT_TRUE(none);
  EXPECT_TRUE(none->Meshes().empty());
  Testing::Printed([&] { EXPECT_EQ(Gfx::LoadModel("../../Assets/Models/missing.BIN"), nullptr); });
}

TEST_F(ModelFileTest, XmlFormAppendsSubsetsAndRoundTripsThroughTheWriter) {
  auto vertex = [](float x, bool colour) {
    std::string v = "<Vertex><Position><float name=\"x\">" + std::to_string(x) +
                    "</float><float name=\"y\">2</float><float name=\"z\">3</float></Position>"
                    "<uvCoord><float name=\"x\">0.5</float><float name=\"y\">0.25</float></uvCoord>"
                    "<Tangent><float name=\"x\">1</float></Tangent>";
    if (colour) v += "<Color><float name=\"x\">0.9</float><float name=\"z\">0.1</float></Color>";
    return v + "</Vertex>";
  };
  auto subset = [&](float base) {
    std::string s = "<Subset><int name=\"Indices\">3</int><int name=\"Vertices\">3</int>";
    for (int i : {0, 2, 1}) s += "<Index><int name=\"id\">" + std::to_string(i) + "</int></Index>";
    for (int i = 0; i < 3; ++i) s += vertex(base + i, i == 1);
    return s + "</Subset>";
  };
  const std::string header =
      "<?xml version=\"1.0\"?><XMLRoot><Header><bool name=\"ExportNormals\">1</bool></Header>"
      "<Mesh><string name=\"name\">rock</string><int name=\"Subsets\">";
  const auto model = LoadFile("rockBIN.xml", header + "2</int>" + subset(0) + subset(10) + "</Mesh></XMLRoot>");
  ASSERT_TRUE(model);
  const Mesh& mesh = model->Meshes().at(0);
  EXPECT_EQ(mesh.m_Name, "rock");
  EXPECT_EQ(mesh.m_Indices, (std::vector<uint32_t>{0, 2, 1, 3, 5, 4}));
  ASSERT_EQ(mesh.VertexCount(), 6u);
  const Vertex &third = mesh.m_Vertices[3], &fourth = mesh.m_Vertices[4];
  EXPECT_EQ((std::vector<float>{fourth.Position[0], fourth.Color[0], fourth.Color[1], third.Color[0], third.uvCoord[1],
                                third.Tangent[0], third.Normal[0]}),
            (std::vector<float>{11, 0.9f, 0, 0, 0.25f, 1, 0}));
  ExpectSameMesh(RoundTrip(*model), mesh);

  Testing::Printed(
      [&] { EXPECT_EQ(LoadFile("short.xml", header + "3</int>" + subset(0) + "</Mesh></XMLRoot>"), nullptr); });
  EXPECT_EQ(m_Asserts.Count(), 0u);
  EXPECT_EQ(Gfx::LoadModel("../../Assets/Models/model.obj"), nullptr);
  EXPECT_EQ(m_Asserts.Comments(), std::vector<std::string>{"Trying to load ancient model, this shouldn't work"});
}

TEST(VertexTrack, AdvancesWrapsAndStopsAsItsModeSays) {
  using Gfx::VertexTrack;
  struct Case {
    int32_t mode;
    float length, time, dt;
    float expectedTime;
    bool stillPlaying;
  } cases[] = {
      {VertexTrack::kLoop, 1000, 900, 300, 100, true},  // dt limited to 200, then wrapped
      {VertexTrack::kLoop, 1000, 100, -150, 950, true},
      {VertexTrack::kLoop, 30, 0, 200, 20, true},  // shorter than one step: wrapped into the span
      {VertexTrack::kOnce, 1000, 900, 150, 1000, false},
      {VertexTrack::kOnce, 1000, 50, -80, 0, true},
  };
  for (const Case& c : cases) {
    VertexTrack track(c.mode, {{0, c.length * 0.5f}, {c.length * 0.5f, c.length}});
    track.Play();
    track.SetTime(c.time);
    track.Advance(c.dt);
    EXPECT_FLOAT_EQ(track.Time(), c.expectedTime) << c.mode << " " << c.time << " " << c.dt;
    EXPECT_EQ(track.Playing(), c.stillPlaying);
  }
}

TEST(AnimatedModel, BlendsWeightedTracksAndRefusesFramesOfOtherCounts) {
  Testing::AssertRecorder asserts;
  Gfx::AnimatedModel animation("walk", 2);
  EXPECT_TRUE(animation.gIndices().empty());
  auto frame = [](float x) {
    Mesh mesh = SampleMesh("f");
    for (Vertex& v : mesh.m_Vertices) v.Position[0] = v.Normal[1] = x;
    return mesh;
  };
  ASSERT_TRUE(animation.AddAnimation(frame(0), 100));
  ASSERT_TRUE(animation.AddAnimation(frame(10), 100));
  Mesh fewer = frame(5);
  fewer.m_Indices.pop_back();
  Mesh more = frame(5);
  more.m_Vertices.emplace_back();
  EXPECT_FALSE(animation.AddAnimation(fewer, 100));
  EXPECT_FALSE(animation.AddAnimation(more, 100));
  EXPECT_EQ(asserts.Comments(),
            (std::vector<std::string>{"gIndices: can't get indices without atleast 1 frame of animation",
                                      "AddAnimation: IndexBuffer size does not match",
                                      "AddAnimation: VertexBuffer size does not match"}));
  EXPECT_TRUE(animation.Validate());
  EXPECT_EQ(animation.gIndices().size(), 6u);

  // Loop at 150: halfway from frame 1 back round to frame 0; once at 25: a quarter of the way to
  // frame 1.
  Gfx::VertexTrack loop = animation.MakeTrack(Gfx::VertexTrack::kLoop), once = animation.MakeTrack(1);
  loop.SetTime(150);
  once.SetTime(25);
  std::vector<Vertex> out;
  animation.BeginBlend(out);
  animation.Blend(loop, 0.5f, out);
  animation.Blend(once, 0.5f, out);
  EXPECT_FLOAT_EQ(out[3].Position[0], 0.5f * 5 + 0.5f * 2.5f);
  EXPECT_FLOAT_EQ(out[3].Normal[1], out[3].Position[0]);
  EXPECT_EQ(out[3].Color[0], 306.25f);  // colours are the first frame's
  once.SetTime(200);
  animation.BeginBlend(out);
  animation.Blend(once, 1.0f, out);
  EXPECT_FLOAT_EQ(out[0].Position[0], 10.0f);  // a single play holds the last frame at its end
}

}  // namespace
