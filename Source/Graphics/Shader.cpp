#include "Graphics/Shader.h"

#include <memory>
#include <vector>

#include "Graphics/GL.h"
#include "Util/ErrorLog.h"
#include "Util/FileAccess.h"

namespace Gfx {
namespace {

const char* TypeName(GLenum type) {
  switch (type) {
    case GL_VERTEX_SHADER:
      return "vertex shader ";
    case GL_FRAGMENT_SHADER:
      return "fragment shader ";
    default:
      return "unknown type ";
  }
}

// A GL info log as one text ending in a newline.
template <class GetLength, class GetLog>
std::string InfoLog(GLuint object, GetLength getLength, GetLog getLog) {
  GLint length = 0;
  getLength(object, GL_INFO_LOG_LENGTH, &length);
  std::vector<char> log(static_cast<size_t>(length > 0 ? length : 1), '\0');
  getLog(object, static_cast<GLsizei>(log.size()), nullptr, log.data());
  std::string text(log.data());
  if (text.empty() || text.back() != '\n') text += '\n';
  return text;
}

// Compiles one stage; a file that cannot be read is reported and compiled as an empty source, so
// that the failure shows in the program's link log as well.
GLuint Compile(GLenum type, const std::string& path, bool& ok) {
  const std::unique_ptr<char[]> text = Util::LoadTextFile(path.c_str());
  if (!text) Util::ErrorLog::Instance().Error("Shader source " + path + " is missing or empty\n");
  const char* source = text ? text.get() : "";
  const GLuint shader = glCreateShader(type);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  GLint compiled = GL_FALSE;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
  if (compiled != GL_TRUE) {
    ok = false;
    Util::ErrorLog::Instance().Error(std::string("Compilation error in ") + TypeName(type) +
                                     InfoLog(shader, glGetShaderiv, glGetShaderInfoLog));
  }
  return shader;
}

}  // namespace

Shader::Shader(const std::string& basePath) : m_BasePath(basePath) { Build(); }

Shader::~Shader() { Delete(); }

void Shader::Build() {
  bool ok = true;
  m_Vertex = Compile(GL_VERTEX_SHADER, m_BasePath + ".vs", ok);
  m_Fragment = Compile(GL_FRAGMENT_SHADER, m_BasePath + ".fs", ok);
  m_Program = glCreateProgram();
  glAttachShader(m_Program, m_Vertex);
  glAttachShader(m_Program, m_Fragment);
  glLinkProgram(m_Program);
  GLint linked = GL_FALSE;
  glGetProgramiv(m_Program, GL_LINK_STATUS, &linked);
  if (linked != GL_TRUE) {
    ok = false;
    Util::ErrorLog::Instance().Error("Linker error in shader " +
                                     InfoLog(m_Program, glGetProgramiv, glGetProgramInfoLog));
  }
  m_Linked = ok;
}

void Shader::Delete() {
  if (m_Program) glDeleteProgram(m_Program);
  if (m_Vertex) glDeleteShader(m_Vertex);
  if (m_Fragment) glDeleteShader(m_Fragment);
  m_Program = m_Vertex = m_Fragment = 0;
  m_Linked = false;
}

}  // namespace Gfx
