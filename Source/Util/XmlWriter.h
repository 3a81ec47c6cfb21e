// XmlWriter: streams an indented XML document to a file, without TinyXML.
//
// A written document is the declaration line, then the root "XMLRoot" at indentation 0, each
// element on its own line two spaces deeper than its parent and each closing tag on its own line
// at its element's indentation. Every element still open, the root included, is closed when the
// file is closed, so each written file is well-formed. Text is escaped.
//
// The path gets the ".xml" extension on construction (XmlFileName) and is resolved like the
// asset loaders' paths; writing does not register it in the asset pack. Once the file is
// closed, readers that share a parsed copy of it (XmlReader::OpenShared) read it again. A file
// that cannot be created is an assertion and `OpenFile` returns false; later writes then do
// nothing. Main thread only.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace Util {

class XmlWriter {
 public:
  explicit XmlWriter(const std::string& path);
  ~XmlWriter();
  XmlWriter(const XmlWriter&) = delete;
  XmlWriter& operator=(const XmlWriter&) = delete;

  const std::string& Path() const { return m_Path; }

  bool OpenFile();
  // Closes every open element and the file.
  void CloseFile();

  void OpenElement(const std::string& name);
  void CloseElement();

  // A value (float, double, int, bool as "1"/"0", std::string) written as text right after an
  // opening tag.
  template <class T>
  void Write(const T& value);
  void Write(const char* text) { Write(std::string(text)); }

  // One typed element on its own line, the form XmlReader::Read finds:
  // <float name="x">1.5</float>.
  template <class T>
  void WriteValue(const char* key, const T& value);
  void WriteValue(const char* key, const char* text) { WriteValue(key, std::string(text)); }

 private:
  void NewLine();

  std::string m_Path;
  std::string m_Scratch;
  std::ofstream m_File;
  int32_t m_Indent = 0;
  std::vector<std::string> m_Closing;
};

}  // namespace Util
