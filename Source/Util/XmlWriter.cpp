#include "Util/XmlWriter.h"

#include "Util/Assert.h"
#include "Util/FileAccess.h"
#include "Util/XmlReader.h"
#include "Util/XmlValue.h"

namespace Util {
namespace {

constexpr const char* kAssertFile = "..\\..\\Source\\Util\\util_xmlparser";

}  // namespace

XmlWriter::XmlWriter(const std::string& path) : m_Path(XmlFileName(path)) {}

XmlWriter::~XmlWriter() { CloseFile(); }

bool XmlWriter::OpenFile() {
  CloseFile();
  m_File.clear();
  m_File.open(ResolvePath(m_Path.c_str()), std::ios::out | std::ios::trunc);
  if (!m_File.is_open()) {
    UTIL_ASSERT(false, m_Path + " failed to open for writing.");
    return false;
  }
  m_File << "<?xml version=\"1.0\" encoding=\"utf-8\"?>";
  OpenElement("XMLRoot");
  return true;
}

void XmlWriter::CloseFile() {
  if (!m_File.is_open()) return;
  while (!m_Closing.empty()) CloseElement();
  m_File.close();
  // Readers that share a parsed copy of this file read it again.
  ForgetSharedDocument(m_Path);
}

void XmlWriter::OpenElement(const std::string& name) {
  if (!m_File.is_open()) return;
  NewLine();
  m_File << '<' << name << '>';
  m_Closing.push_back("</" + name + ">");
  m_Indent += 2;
}

void XmlWriter::CloseElement() {
  if (!m_File.is_open() || m_Closing.empty()) return;
  m_Indent -= 2;
  NewLine();
  m_File << m_Closing.back();
  m_Closing.pop_back();
}

template <class T>
void XmlWriter::Write(const T& value) {
  XmlValue::Format(value, m_Scratch);
  m_File << XmlValue::Escaped(m_Scratch);
}

template <class T>
void XmlWriter::WriteValue(const char* key, const T& value) {
  if (!m_File.is_open()) return;
  const char* tag = XmlValue::Tag<T>::kName;
  NewLine();
  m_File << '<' << tag << " name=\"" << XmlValue::Escaped(key) << "\">";
  Write(value);
  m_File << "</" << tag << '>';
}

void XmlWriter::NewLine() { m_File << '\n' << std::string(static_cast<size_t>(m_Indent), ' '); }

#define XML_WRITER_VALUE_TYPE(T)                     \
  template void XmlWriter::Write<T>(const T& value); \
  template void XmlWriter::WriteValue<T>(const char* key, const T& value);
XML_WRITER_VALUE_TYPE(float)
XML_WRITER_VALUE_TYPE(double)
XML_WRITER_VALUE_TYPE(int)
XML_WRITER_VALUE_TYPE(bool)
XML_WRITER_VALUE_TYPE(std::string)
#undef XML_WRITER_VALUE_TYPE

}  // namespace Util
