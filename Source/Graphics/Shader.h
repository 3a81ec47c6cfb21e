// Shader: a GLSL program linked from the two source files of a base path, base + ".vs" (vertex)
// and base + ".fs" (fragment), read through the file layer so that they go into the asset pack.
// Compile and link errors are reported through the error log with the GL's own log; the program
// is kept and used all the same, so its catalogue index stays valid. Owned by the resource
// manager's catalogue, keyed by the base path. Main thread only.
#pragma once

#include <cstdint>
#include <string>

namespace Gfx {

class Shader {
 public:
  // Reads, compiles and links at once.
  explicit Shader(const std::string& basePath);
  ~Shader();
  Shader(const Shader&) = delete;
  Shader& operator=(const Shader&) = delete;

  // Reads the sources again, compiles and links (after Delete, when resources are rebuilt).
  void Build();
  // Deletes the program and both shader objects.
  void Delete();

  uint32_t Program() const { return m_Program; }
  uint32_t VertexShader() const { return m_Vertex; }
  uint32_t FragmentShader() const { return m_Fragment; }
  const std::string& BasePath() const { return m_BasePath; }
  // Whether the last build compiled and linked cleanly.
  bool Linked() const { return m_Linked; }

 private:
  uint32_t m_Program = 0;
  uint32_t m_Vertex = 0;
  uint32_t m_Fragment = 0;
  std::string m_BasePath;
  bool m_Linked = false;
};

}  // namespace Gfx
