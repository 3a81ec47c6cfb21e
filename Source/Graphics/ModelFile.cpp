// The model files: the reader chosen by name, the two binary forms, the XML form and the writer of
// the simple form. Every read is bounded by the bytes the file holds; a model is kept only when
// its whole file read cleanly.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

#include "Core/Clock.h"
#include "Graphics/MeshXml.h"
#include "Graphics/Model.h"
#include "Util/Assert.h"
#include "Util/FileAccess.h"
#include "Util/XmlReader.h"

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "model files are read as memory images");

namespace Gfx {
namespace {

constexpr const char* kAssertFile = "Source\\Graphics\\graphics_model";

constexpr uint32_t kChunkedMagic = 0x64707831;  // "1xpd" in file order
constexpr uint32_t kMeshChunk = 0x6d657368;     // "hsem" in file order
constexpr uint32_t kChunkHeaderSize = 8;
// Record sizes of the chunked form's vertex types; only type 0 is kept.
constexpr uint32_t kVertexTypeSizes[] = {56, 76, 68, 44, 80};
const std::string kUnnamedMesh = "mesh";
constexpr uint32_t kVertexTypes = sizeof(kVertexTypeSizes) / sizeof(kVertexTypeSizes[0]);

void Report(const char* path, const char* problem) {
  std::printf("Model file %s: %s; not loaded.\n", path, problem);
  std::fflush(stdout);
}

// A cursor over a stretch of an open file that never moves past its end: a read that does not
// fit, or that the file no longer holds, fails.
class ByteReader {
 public:
  ByteReader(std::FILE* file, size_t begin, size_t end) : m_File(file), m_Position(begin), m_End(end) {}

  size_t Remaining() const { return m_End - m_Position; }
  bool AtEnd() const { return m_Position == m_End; }

  bool U32(uint32_t& value) { return Bytes(&value, sizeof(value)); }
  bool Bytes(void* out, size_t count) {
    if (count > Remaining()) return false;
    if (count == 0) return true;
    // Readers of one file take turns (a chunk's and the walk's), each from its own place.
    if (::ftello(m_File) != static_cast<off_t>(m_Position) &&
        ::fseeko(m_File, static_cast<off_t>(m_Position), SEEK_SET) != 0) {
      return false;
    }
    if (std::fread(out, 1, count, m_File) != count) return false;
    m_Position += count;
    return true;
  }
  bool Skip(size_t count) {
    if (count > Remaining()) return false;
    m_Position += count;
    return true;
  }
  // Whether `count` records of `size` bytes fit in what is left, without overflowing.
  bool Fits(uint32_t count, size_t size) const { return size == 0 || count <= Remaining() / size; }
  // A reader over the next `count` bytes; this one moves past them.
  bool Sub(size_t count, ByteReader& sub) {
    if (count > Remaining()) return false;
    sub = ByteReader(m_File, m_Position, m_Position + count);
    m_Position += count;
    return true;
  }

 private:
  std::FILE* m_File;
  size_t m_Position;
  size_t m_End;
};

bool ReadIndices(ByteReader& in, std::vector<uint32_t>& indices) {
  uint32_t count = 0;
  if (!in.U32(count) || !in.Fits(count, sizeof(uint32_t))) return false;
  indices.resize(count);
  return in.Bytes(indices.data(), size_t{count} * sizeof(uint32_t));
}

bool IndicesInRange(const Mesh& mesh) {
  const uint32_t vertices = mesh.VertexCount();
  return std::all_of(mesh.m_Indices.begin(), mesh.m_Indices.end(), [&](uint32_t i) { return i < vertices; });
}

// One "hsem" payload. False for a payload shorter than its fields say.
bool ReadMeshChunk(ByteReader& in, std::vector<Mesh>& meshes) {
  uint32_t type = 0;
  if (!in.U32(type)) return false;
  if (!UTIL_ASSERT(type < kVertexTypes, "LoadModelFrom: Invalid Vertex Type")) {
    return true;  // its record size is unknown: the chunk is passed over by its size
  }
  Mesh mesh;
  uint32_t vertexCount = 0;
  if (!ReadIndices(in, mesh.m_Indices) || !in.U32(vertexCount) || !in.Fits(vertexCount, kVertexTypeSizes[type])) {
    return false;
  }
  if (type == 0) {
    std::vector<float> records(size_t{vertexCount} * 14);
    if (!in.Bytes(records.data(), records.size() * sizeof(float))) return false;
    mesh.m_Vertices.resize(vertexCount);
    const float* record = records.data();
    for (Vertex& vertex : mesh.m_Vertices) {
      std::memcpy(vertex.Position, record, 6 * sizeof(float));  // position and normal
      std::fill(std::begin(vertex.Color), std::end(vertex.Color), 0.0f);
      std::memcpy(vertex.uvCoord, record + 6, 8 * sizeof(float));  // uv, tangent and bitangent
      record += 14;
    }
  } else {
    in.Skip(size_t{vertexCount} * kVertexTypeSizes[type]);
  }
  meshes.push_back(std::move(mesh));
  return true;
}

// After the magic: the rest of the container's header, then the chunks that follow it.
const char* ReadChunked(ByteReader& in, std::vector<Mesh>& meshes) {
  uint32_t id = 0, size = 0;
  if (!in.U32(size)) return "the container's header is cut short";
  while (!in.AtEnd()) {
    if (in.Remaining() < kChunkHeaderSize) return "a chunk header is cut short";
    in.U32(id);
    in.U32(size);
    if (id == 0) break;
    ByteReader payload(nullptr, 0, 0);
    if (!in.Sub(size, payload)) return "a chunk runs past the end of the file";
    if (id != kMeshChunk) continue;
    const size_t before = meshes.size();
    if (!ReadMeshChunk(payload, meshes)) return "a mesh runs past the end of its chunk";
    // Drawing reads every vertex an index names: a mesh with vertices must hold all of them.
    if (meshes.size() > before && !meshes.back().Validate()) return "a mesh has an index past its vertices";
  }
  return nullptr;
}

const char* ReadSimple(ByteReader& in, uint32_t nameLength, std::vector<Mesh>& meshes) {
  if (nameLength > kMaxMeshName) return "the mesh name is longer than 300 bytes";
  Mesh mesh;
  mesh.m_Name.resize(nameLength);
  uint32_t vertexCount = 0;
  if (!in.Bytes(mesh.m_Name.data(), nameLength) || !in.U32(vertexCount) || !in.Fits(vertexCount, sizeof(Vertex))) {
    return "the file ends inside its vertices";
  }
  mesh.m_Vertices.resize(vertexCount);
  if (!in.Bytes(mesh.m_Vertices.data(), size_t{vertexCount} * sizeof(Vertex)))
    return "the file ends inside its vertices";
  if (!ReadIndices(in, mesh.m_Indices)) return "the file ends inside its indices";
  if (!mesh.Validate()) return "an index is past the vertices";
  meshes.push_back(std::move(mesh));
  return nullptr;
}

bool ReadBinary(const char* path, std::vector<Mesh>& meshes) {
  size_t length = 0;
  const Util::FilePtr file = Util::OpenFileWithSize(path, length);
  if (!file) {
    Report(path, "missing");
    return false;
  }
  ByteReader in(file.get(), 0, length);
  uint32_t first = 0;
  if (!in.U32(first)) {
    Report(path, "shorter than its first word");
    return false;
  }
  if (first == 0) return true;
  const char* problem = first == kChunkedMagic ? ReadChunked(in, meshes) : ReadSimple(in, first, meshes);
  if (problem) Report(path, problem);
  return problem == nullptr;
}

constexpr struct {
  const char* name;
  size_t offset;
  int size;
} kXmlVectors[] = {
    {"Position", offsetof(Vertex, Position), 3}, {"Normal", offsetof(Vertex, Normal), 3},
    {"uvCoord", offsetof(Vertex, uvCoord), 2},   {"Bitangent", offsetof(Vertex, Bitangent), 3},
    {"Tangent", offsetof(Vertex, Tangent), 3},   {"Color", offsetof(Vertex, Color), 3},
};
constexpr const char* kAxes[] = {"x", "y", "z"};

void ReadXmlVertex(Util::XmlReader& reader, Vertex& vertex) {
  const Util::XmlReader::Mark start = reader.Here();
  for (const auto& field : kXmlVectors) {
    float* out = reinterpret_cast<float*>(reinterpret_cast<char*>(&vertex) + field.offset);
    reader.Return(start);
    const bool present = reader.FindChild(field.name);
    for (int i = 0; i < field.size; ++i) out[i] = present ? reader.Get<float>(kAxes[i]) : 0.0f;
  }
  reader.Return(start);
}

// One subset appended to the mesh; a problem's text, or null.
const char* ReadXmlSubset(Util::XmlReader& reader, Mesh& mesh, const XmlVertexExtra& extra) {
  const int indices = reader.Get<int>("Indices");
  const int vertices = reader.Get<int>("Vertices");
  const uint32_t base = mesh.VertexCount();
  const Util::XmlReader::Mark start = reader.Here();
  int found = 0;
  while (reader.FindChild("Index")) {
    int index = -1;
    reader.Read("id", index);
    reader.Leave();
    if (index < 0 || index >= vertices) return "an index is outside its subset";
    mesh.m_Indices.push_back(base + static_cast<uint32_t>(index));
    ++found;
  }
  if (found != indices) return "a subset's index count differs from its Index elements";
  reader.Return(start);
  found = 0;
  while (reader.FindChild("Vertex")) {
    mesh.m_Vertices.emplace_back();
    ReadXmlVertex(reader, mesh.m_Vertices.back());
    if (extra) extra(reader);
    reader.Leave();
    ++found;
  }
  if (found != vertices) return "a subset's vertex count differs from its Vertex elements";
  return nullptr;
}

// XML form: <Header> with the export flags, then <Mesh> elements. What was exported is present, so
// the header's flags need not be consulted.
bool ReadXml(const char* path, std::vector<Mesh>& meshes) {
  Util::XmlReader reader(path);
  if (!reader.Open()) return false;  // the reader has reported it
  const Util::XmlReader::Mark top = reader.Here();
  const char* problem = nullptr;
  while (!problem && reader.FindChild("Mesh")) {
    Mesh mesh;
    problem = ReadXmlMesh(reader, mesh);
    meshes.push_back(std::move(mesh));
    reader.Leave();
  }
  reader.Return(top);
  if (problem) Report(reader.Path().c_str(), problem);
  return problem == nullptr;
}

Util::BoundingBox BoundsOf(const std::vector<Mesh>& meshes) {
  constexpr float kHuge = std::numeric_limits<float>::max();
  Util::Vec3 low{kHuge, kHuge, kHuge}, high{-kHuge, -kHuge, -kHuge};
  bool any = false;
  for (const Mesh& mesh : meshes) {
    for (const Vertex& v : mesh.m_Vertices) {
      low = {std::min(low.x, v.Position[0]), std::min(low.y, v.Position[1]), std::min(low.z, v.Position[2])};
      high = {std::max(high.x, v.Position[0]), std::max(high.y, v.Position[1]), std::max(high.z, v.Position[2])};
    }
    any = any || !mesh.m_Vertices.empty();
  }
  return any ? Util::BoundingBox{low, high} : Util::BoundingBox{};
}

bool Contains(const char* text, const char* part) { return std::strstr(text, part) != nullptr; }

bool Put(std::FILE* file, const void* data, size_t bytes) {
  return bytes == 0 || std::fwrite(data, 1, bytes, file) == bytes;
}

}  // namespace

const char* ReadXmlMesh(Util::XmlReader& reader, Mesh& mesh, const XmlVertexExtra& extra) {
  reader.Read("name", mesh.m_Name);
  const int subsets = reader.Get<int>("Subsets");
  int found = 0;
  const char* problem = nullptr;
  while (!problem && reader.FindChild("Subset")) {
    problem = ReadXmlSubset(reader, mesh, extra);
    reader.Leave();
    ++found;
  }
  if (!problem && found != subsets) problem = "a mesh's subset count differs from its Subset elements";
  return problem;
}

bool Mesh::Validate() const { return m_Vertices.empty() || IndicesInRange(*this); }

void Model::UpdateBounds() { m_Bounds = BoundsOf(m_Meshes); }

bool Model::Validate() const {
  const Util::BoundingBox box = BoundsOf(m_Meshes);
  return std::all_of(m_Meshes.begin(), m_Meshes.end(), [](const Mesh& mesh) { return mesh.Validate(); }) &&
         box.m_Min == m_Bounds.m_Min && box.m_Max == m_Bounds.m_Max;
}

bool Model::Load(const char* path) {
  m_FileName = path ? path : "";
  std::vector<Mesh> meshes;
  bool read = false;
  if (!path) {
    Report("(none)", "no file name");
  } else if (Contains(path, "xml") || Contains(path, "XML")) {
    read = ReadXml(path, meshes);
  } else if (Contains(path, "BIN")) {
    read = ReadBinary(path, meshes);
  } else {
    UTIL_ASSERT(false, "Trying to load ancient model, this shouldn't work");
  }
  if (read) {
    m_Meshes = std::move(meshes);
    UpdateBounds();
  }
  m_LoadTime = Clock::Instance().Now();
  return read;
}

std::unique_ptr<Model> LoadModel(const char* path) {
  auto model = std::make_unique<Model>();
  if (!model->Load(path)) return nullptr;
  return model;
}

bool WriteModel(const char* path, const Mesh& mesh) {
  if (!path) return false;
  if (mesh.m_Name.size() > kMaxMeshName) {
    std::printf("Model file %s: the mesh name is longer than 300 bytes; not written.\n", path);
    return false;
  }
  const std::string resolved = Util::ResolvePath(path);
  std::FILE* file = std::fopen(resolved.c_str(), "wb");
  if (!file) {
    std::printf("Model file %s: cannot be written.\n", path);
    return false;
  }
  // A name length of 0 would read back as a file without meshes: an unnamed mesh is written under
  // a name of its own.
  const std::string& name = mesh.m_Name.empty() ? kUnnamedMesh : mesh.m_Name;
  const uint32_t nameLength = static_cast<uint32_t>(name.size());
  const uint32_t vertexCount = mesh.VertexCount();
  const uint32_t indexCount = mesh.IndexCount();
  bool written =
      Put(file, &nameLength, sizeof(nameLength)) && Put(file, name.data(), nameLength) &&
      Put(file, &vertexCount, sizeof(vertexCount)) && Put(file, mesh.m_Vertices.data(), vertexCount * sizeof(Vertex)) &&
      Put(file, &indexCount, sizeof(indexCount)) && Put(file, mesh.m_Indices.data(), indexCount * sizeof(uint32_t));
  written = (std::fclose(file) == 0) && written;
  if (!written) std::printf("Model file %s: writing failed.\n", path);
  return written;
}

}  // namespace Gfx
