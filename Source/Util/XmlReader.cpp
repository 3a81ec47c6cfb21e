#include "Util/XmlReader.h"

#include <tinyxml.h>

#include <sys/stat.h>

#include <cstring>
#include <iterator>
#include <unordered_map>

#include "Util/Assert.h"
#include "Util/FileAccess.h"
#include "Util/XmlValue.h"

namespace Util {
namespace {

constexpr const char* kAssertFile = "..\\..\\Source\\Util\\util_xmlparser";

bool Named(const TiXmlElement* element, const char* name) {
  return element && name && std::strcmp(element->Value(), name) == 0;
}

// Deeper than any asset goes; TinyXML's parser recurses once per level, so a document nested tens
// of thousands deep would exhaust the stack.
constexpr size_t kMaxDepth = 256;

// How deep elements nest in a document, counted without parsing it, and stopping as soon as it
// is deeper than allowed. Comments, CDATA sections, declarations and processing instructions hold
// no element; a quoted attribute value may hold '>'.
bool NestsTooDeep(const char* p) {
  size_t depth = 0;
  while ((p = std::strchr(p, '<')) != nullptr) {
    const char* end = nullptr;
    if (std::strncmp(p, "<!--", 4) == 0) {
      end = std::strstr(p + 4, "-->");
    } else if (std::strncmp(p, "<![CDATA[", 9) == 0) {
      end = std::strstr(p + 9, "]]>");
    } else if (p[1] == '!' || p[1] == '?') {
      end = std::strchr(p, '>');
    } else {
      char quote = 0;
      for (end = p + 1; *end && (quote || *end != '>'); ++end) {
        if (quote && *end == quote)
          quote = 0;
        else if (!quote && (*end == '"' || *end == '\''))
          quote = *end;
      }
      if (!*end) return false;
      if (p[1] == '/') {
        if (depth > 0) --depth;
      } else if (end[-1] != '/' && ++depth > kMaxDepth) {
        return true;
      }
    }
    if (!end) return false;
    p = end + 1;
  }
  return false;
}

// Reads the file through the file layer (so it is registered for the asset pack) and parses it;
// null when it cannot be read, nests too deep, does not parse or holds no element. Line ends are
// made single LFs first, as TinyXML's own file loading does, and row and column tracking is off.
std::unique_ptr<TiXmlDocument> ParseDocument(const std::string& path, FileStamp& stamp) {
  size_t length = 0;
  const std::unique_ptr<char[]> text = LoadBinaryFile(path.c_str(), length, stamp);
  if (!text || NestsTooDeep(text.get())) return nullptr;
  char* out = text.get();
  for (size_t i = 0; i < length; ++i) {
    if (text[i] != '\r') {
      *out++ = text[i];
    } else {
      *out++ = '\n';
      if (i + 1 < length && text[i + 1] == '\n') ++i;
    }
  }
  *out = '\0';
  auto document = std::make_unique<TiXmlDocument>();
  document->SetTabSize(0);
  document->Parse(text.get(), nullptr, TIXML_DEFAULT_ENCODING);
  if (document->Error() || !document->RootElement()) return nullptr;
  return document;
}

// The parsed copies shared by OpenShared, by the path their readers open.
struct SharedDocument {
  std::shared_ptr<const TiXmlDocument> m_Document;
  FileStamp m_Stamp;
};
std::unordered_map<std::string, SharedDocument>& SharedDocuments() {
  static std::unordered_map<std::string, SharedDocument> documents;
  return documents;
}

}  // namespace

void ForgetSharedDocument(const std::string& path) {
  // Another spelling of the path may name the same file: it is known by its identity on disk.
  struct stat info {};
  const bool exists = ::stat(ResolvePath(path.c_str()).c_str(), &info) == 0;
  std::unordered_map<std::string, SharedDocument>& documents = SharedDocuments();
  for (auto it = documents.begin(); it != documents.end();) {
    const FileStamp& stamp = it->second.m_Stamp;
    const bool same = it->first == path || (exists && stamp.device == static_cast<uint64_t>(info.st_dev) &&
                                            stamp.inode == static_cast<uint64_t>(info.st_ino));
    it = same ? documents.erase(it) : std::next(it);
  }
}

void ForgetSharedDocuments() { SharedDocuments().clear(); }

std::string XmlFileName(const std::string& path) {
  // Dots before position 5 belong to a leading "../../".
  const size_t dot = path.rfind('.');
  if (dot == std::string::npos || dot < 5) return path + ".xml";
  if (path.compare(dot, std::string::npos, ".xml") == 0) return path;
  return path.substr(0, dot) + ".xml";
}

XmlReader::XmlReader(const std::string& path) : m_Path(XmlFileName(path)) {}

XmlReader::~XmlReader() = default;

bool XmlReader::Open() {
  FileStamp stamp;
  m_Document = ParseDocument(m_Path, stamp);
  return Start();
}

bool XmlReader::OpenShared() {
  std::unordered_map<std::string, SharedDocument>& documents = SharedDocuments();
  const auto known = documents.find(m_Path);
  if (known != documents.end() && Unchanged(known->second.m_Stamp)) {
    PackDirectory::Instance().Register(m_Path.c_str());
    m_Document = known->second.m_Document;
    return Start();
  }
  SharedDocument read;
  m_Document = read.m_Document = ParseDocument(m_Path, read.m_Stamp);
  if (m_Document)
    documents[m_Path] = std::move(read);
  else if (known != documents.end())
    documents.erase(known);
  return Start();
}

bool XmlReader::Start() {
  m_Open.clear();
  SetCurrent(nullptr);
  // A document that does not parse, or holds no element, is no more use than a missing one.
  if (!m_Document) {
    UTIL_ASSERT(false, m_Path + " failed to open for reading.");
    return false;
  }
  const TiXmlElement* root = m_Document->RootElement();
  m_Open.push_back(root);
  SetCurrent(root->FirstChildElement());
  return true;
}

bool XmlReader::FindChild(const char* name) {
  for (const TiXmlElement* element = m_Current; element; element = element->NextSiblingElement()) {
    if (Named(element, name)) {
      m_Open.push_back(element);
      SetCurrent(element->FirstChildElement());
      return true;
    }
  }
  return false;
}

bool XmlReader::Enter() {
  if (!m_Current) return false;
  m_Open.push_back(m_Current);
  SetCurrent(m_Current->FirstChildElement());
  return true;
}

void XmlReader::Leave() {
  if (m_Open.empty()) return;
  const TiXmlElement* left = m_Open.back();
  m_Open.pop_back();
  SetCurrent(left->NextSiblingElement());
}

bool XmlReader::Next() {
  if (!m_Current) return false;
  SetCurrent(m_Current->NextSiblingElement());
  return m_Current != nullptr;
}

bool XmlReader::Next(const char* name) {
  if (!m_Current || !name) return false;
  SetCurrent(m_Current->NextSiblingElement(name));
  return m_Current != nullptr;
}

XmlReader::Mark XmlReader::Here() const {
  Mark mark;
  mark.m_Open = m_Open;
  mark.m_Current = m_Current;
  return mark;
}

void XmlReader::Return(const Mark& mark) {
  m_Open = mark.m_Open;
  SetCurrent(mark.m_Current);
}

bool XmlReader::CurrentNameIs(const char* name) const { return !m_Open.empty() && Named(m_Open.back(), name); }

bool XmlReader::NameAttributeIs(const char* text) const {
  const char* name = Attribute("name");
  return name && text && std::strcmp(name, text) == 0;
}

const char* XmlReader::ElementName() const { return m_Current ? m_Current->Value() : ""; }

const char* XmlReader::Text() const {
  const char* text = m_Current ? m_Current->GetText() : nullptr;
  return text ? text : "";
}

const char* XmlReader::Attribute(const char* name) const {
  return m_Current && name ? m_Current->Attribute(name) : nullptr;
}

bool XmlReader::NextAttribute(std::string& name, std::string& value) {
  if (!m_AttributeStarted) {
    m_Attribute = m_Current ? m_Current->FirstAttribute() : nullptr;
    m_AttributeStarted = true;
  } else if (m_Attribute) {
    m_Attribute = m_Attribute->Next();
  }
  if (!m_Attribute) return false;
  name = m_Attribute->Name();
  value = m_Attribute->Value();
  return true;
}

template <class T>
bool XmlReader::ReadText(T& value) const {
  return m_Current && XmlValue::Parse(Text(), value);
}

template <class T>
bool XmlReader::ReadAttribute(const char* name, T& value) const {
  const char* text = Attribute(name);
  return text && XmlValue::Parse(text, value);
}

template <class T>
bool XmlReader::Read(const char* key, T& value) const {
  const TiXmlElement* element = FindTyped(XmlValue::Tag<T>::kName, key);
  if (!element) return false;
  const char* text = element->GetText();
  return XmlValue::Parse(text ? text : "", value);
}

void XmlReader::SetCurrent(const TiXmlElement* element) {
  m_Current = element;
  m_Attribute = nullptr;
  m_AttributeStarted = false;
}

const TiXmlElement* XmlReader::FindTyped(const char* type, const char* key) const {
  if (m_Open.empty() || !key) return nullptr;
  for (const TiXmlElement* child = m_Open.back()->FirstChildElement(type); child;
       child = child->NextSiblingElement(type)) {
    const char* name = child->Attribute("name");
    if (name && std::strcmp(name, key) == 0) return child;
  }
  return nullptr;
}

#define XML_READER_VALUE_TYPE(T)                                               \
  template bool XmlReader::ReadText<T>(T & value) const;                       \
  template bool XmlReader::ReadAttribute<T>(const char* name, T& value) const; \
  template bool XmlReader::Read<T>(const char* key, T& value) const;
XML_READER_VALUE_TYPE(float)
XML_READER_VALUE_TYPE(double)
XML_READER_VALUE_TYPE(int)
XML_READER_VALUE_TYPE(bool)
XML_READER_VALUE_TYPE(std::string)
#undef XML_READER_VALUE_TYPE

}  // namespace Util
