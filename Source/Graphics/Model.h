// Model: static geometry as the renderer keeps it in memory, and the model files it comes from.
//
// A model owns its meshes; a mesh owns a vertex array of 68-byte records (the layout drawing reads
// directly, with a 68-byte stride) and an index array of u32, three per triangle. Models are kept
// by the resource manager's model catalogue by file name and drawn by visuals; what the graphics
// side compiles from a model to draw it (display lists) hangs on the model as its DrawData, made
// and replaced by the visuals, released with the model.
//
// Files, all read through the file layer so that they enter the asset pack:
// - a name containing "xml" or "XML" is read as the XML form (through Util::XmlReader), otherwise
//   a name containing "BIN" as binary, otherwise nothing is read (an assertion).
// - binary, first u32 0x64707831 ("1xpd"): chunks of (u32 id, u32 payload size, payload); the first
//   is the container, the rest are walked until id 0 or the end. "hsem" chunks are meshes: u32
//   vertex type (0 to 4), u32 index count and the indices, u32 vertex count and the vertices. Only
//   type 0 (56 bytes: position, normal, uv, tangent, bitangent) is kept; the others are read past.
// - binary, first u32 n (not 0): the simple form of one mesh, n bytes of name, u32 vertex count,
//   the 68-byte records, u32 index count, the indices. WriteModel writes this form.
// - binary, first u32 0: a model without meshes.
// A missing, truncated or corrupt file is reported on standard output and refused: nothing of it
// is kept and nothing is read past its end. Main thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Util/BoundingHierarchy.h"
#include "Util/Vec3.h"

namespace Gfx {

// 17 little-endian floats; the order is the file's and the drawing arrays'.
struct Vertex {
  float Position[3];
  float Normal[3];
  float Color[3];
  float uvCoord[2];
  float Tangent[3];
  float Bitangent[3];
};
static_assert(sizeof(Vertex) == 68, "vertex records are 68 bytes, unpadded");
static_assert(offsetof(Vertex, Normal) == 12 && offsetof(Vertex, Color) == 24 && offsetof(Vertex, uvCoord) == 36 &&
                  offsetof(Vertex, Tangent) == 44 && offsetof(Vertex, Bitangent) == 56,
              "drawing reads the fields at these offsets");

// The longest mesh name the simple form holds.
inline constexpr uint32_t kMaxMeshName = 300;

struct Mesh {
  std::string m_Name;
  std::vector<Vertex> m_Vertices;
  std::vector<uint32_t> m_Indices;

  uint32_t VertexCount() const { return static_cast<uint32_t>(m_Vertices.size()); }
  uint32_t IndexCount() const { return static_cast<uint32_t>(m_Indices.size()); }
  // Something to draw: vertices and indices. A mesh of a chunked file whose vertex type is not
  // kept has indices and no vertices; it is loaded but never drawn.
  bool Drawable() const { return !m_Vertices.empty() && !m_Indices.empty(); }
  // Every index names a vertex, unless the mesh has no vertices at all.
  bool Validate() const;
};

// What the graphics side compiles from a model for drawing; the model owns it.
class ModelDrawData {
 public:
  virtual ~ModelDrawData() = default;
};

class Model {
 public:
  Model() = default;
  explicit Model(std::string fileName) : m_FileName(std::move(fileName)) {}

  const std::string& FileName() const { return m_FileName; }
  // The clock's time (milliseconds) when the model was last loaded or made.
  double LoadTime() const { return m_LoadTime; }
  void SetLoadTime(double ms) { m_LoadTime = ms; }

  const std::vector<Mesh>& Meshes() const { return m_Meshes; }
  // After changing the meshes, call UpdateBounds.
  std::vector<Mesh>& Meshes() { return m_Meshes; }
  // The box around every vertex of every mesh; a zero box at the origin when there is none.
  const Util::BoundingBox& Bounds() const { return m_Bounds; }
  void UpdateBounds();

  ModelDrawData* DrawData() const { return m_DrawData.get(); }
  void SetDrawData(std::unique_ptr<ModelDrawData> data) { m_DrawData = std::move(data); }

  // Reads the file named (see the header comment) in place of the meshes; the file name and load
  // time are set in every case. False when nothing was read (a name of neither form, or a file
  // refused), which leaves the meshes as they were.
  bool Load(const char* path);

  // Every mesh valid and the box around them all.
  bool Validate() const;

 private:
  std::string m_FileName;
  double m_LoadTime = 0.0;
  std::vector<Mesh> m_Meshes;
  Util::BoundingBox m_Bounds{};
  std::unique_ptr<ModelDrawData> m_DrawData;
};

// The model in the file; null when nothing was read: a missing, truncated or corrupt file (with a
// line on standard output) or a name of neither form (an assertion). The model catalogue's loader.
std::unique_ptr<Model> LoadModel(const char* path);

// Writes one mesh in the simple form, replacing any old file; false (with a line on standard
// output) when the file cannot be written or the name is longer than kMaxMeshName. A mesh without
// a name is written as "mesh": a name length of 0 would read back as a file without meshes.
bool WriteModel(const char* path, const Mesh& mesh);

// The built-in models, made in memory and registered in the catalogue under these names.
inline constexpr const char kDiamondPlane[] = "DiamondPlane";
inline constexpr const char kEndBox[] = "EndBox";
inline constexpr const char kSkyBox[] = "SkyBox";
inline constexpr const char kSpline[] = "Spline";

// A flat square on the xz plane turned 45 degrees, its corners `size` from the centre on the x and
// z axes, facing +y.
std::unique_ptr<Model> MakeDiamondPlane(float size);
// A closed box from −size to +size on each axis, facing out.
std::unique_ptr<Model> MakeEndBox(float size);
// The same box facing in, to be seen from inside; each face maps the whole texture.
std::unique_ptr<Model> MakeSkyBox(float size);
// A six-sided tube of the radius through the points in order, closed at both ends; no mesh for
// fewer than two distinct points.
std::unique_ptr<Model> MakeSpline(const std::vector<Util::Vec3>& points, float radius);

}  // namespace Gfx
