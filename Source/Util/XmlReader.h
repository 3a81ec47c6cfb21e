// XmlReader: a cursor over an XML asset, read through the file layer and parsed by TinyXML.
//
// The reader keeps a stack of open elements and a current element, the child of the innermost
// open element that the cursor stands on. Opening enters the document's root, so the cursor
// starts on the root's first child. Element names are compared byte for byte.
//
// Values follow the assets' typed convention: a child whose tag names the type (`float`, `int`,
// `double`, `bool`, `string`), whose `name` attribute is the key and whose text is the value,
// e.g. <float name="x">1.5</float>. `Read` looks such a child up among the children of the
// innermost open element without moving the cursor.
//
// The path gets the ".xml" extension on construction (see XmlFileName). A file that cannot be
// opened, nests elements more than 256 deep (refused before parsing) or does not parse, is an
// assertion and `Open` returns false; every later call is then harmless and finds nothing.
// Main thread only.
#pragma once

#include <memory>
#include <string>
#include <vector>

class TiXmlDocument;
class TiXmlElement;
class TiXmlAttribute;

namespace Util {

// The name rule of both XML classes: the text from the last "." on, when that dot is at
// position 5 or later, becomes ".xml"; a path without such a dot gets ".xml" appended.
std::string XmlFileName(const std::string& path);

// Drops the shared parsed copy of the file at that path (see XmlReader::OpenShared), however its
// readers spell the path; XmlWriter calls it for every file it has written.
void ForgetSharedDocument(const std::string& path);
// Drops every shared parsed copy (tests, which work in a new asset tree at a time).
void ForgetSharedDocuments();

class XmlReader {
 public:
  explicit XmlReader(const std::string& path);
  ~XmlReader();
  XmlReader(const XmlReader&) = delete;
  XmlReader& operator=(const XmlReader&) = delete;

  const std::string& Path() const { return m_Path; }

  bool Open();
  // Open on the parsed copy of the file that every reader of this path shares, for files read over
  // and over (entity definitions): parsed on first use, and again once the file has changed on
  // disk (its identity, size or times) or XmlWriter has written it. The path is registered for
  // the asset pack each time, and a failure is reported as by Open.
  bool OpenShared();
  // The document read; readers that opened the same shared copy hold the same one.
  const std::shared_ptr<const TiXmlDocument>& Document() const { return m_Document; }

  // From the current element on, the first sibling named `name` is entered; false if none.
  bool FindChild(const char* name);
  // The current element becomes the innermost open element; false when there is none.
  bool Enter();
  // Closes the innermost open element; the cursor moves to the sibling after it.
  void Leave();
  // The cursor moves to the next sibling element (with that name); false when there is none.
  bool Next();
  bool Next(const char* name);

  // Where the cursor is, open elements included, to come back to after handing the reader to
  // code that reads on from here (the element builders of entity definitions).
  class Mark {
    friend class XmlReader;
    std::vector<const TiXmlElement*> m_Open;
    const TiXmlElement* m_Current = nullptr;
  };
  Mark Here() const;
  void Return(const Mark& mark);

  bool HasCurrent() const { return m_Current != nullptr; }
  // The innermost open element's name is `name`.
  bool CurrentNameIs(const char* name) const;
  // The current element's "name" attribute is `text`.
  bool NameAttributeIs(const char* text) const;
  // The current element's tag, text and attributes; "" or null when absent.
  const char* ElementName() const;
  const char* Text() const;
  const char* Attribute(const char* name) const;
  // Walks the current element's attributes; starts over whenever the cursor moves.
  bool NextAttribute(std::string& name, std::string& value);

  // Values come as float, double, int, bool ("1"/"0" or "true"/"false") or std::string.
  // The current element's text, or one of its attributes, converted; false (value untouched)
  // when it is missing or is no such value.
  template <class T>
  bool ReadText(T& value) const;
  template <class T>
  bool ReadAttribute(const char* name, T& value) const;

  // The typed child of the innermost open element with this key; false (value untouched) when
  // there is none.
  template <class T>
  bool Read(const char* key, T& value) const;
  // The same, reading a missing value as 0, false or "": reader.Get<float>("x").
  template <class T>
  T Get(const char* key) const {
    T value{};
    Read(key, value);
    return value;
  }

 private:
  bool Start();
  void SetCurrent(const TiXmlElement* element);
  const TiXmlElement* FindTyped(const char* type, const char* key) const;

  std::string m_Path;
  std::shared_ptr<const TiXmlDocument> m_Document;
  std::vector<const TiXmlElement*> m_Open;
  const TiXmlElement* m_Current = nullptr;
  const TiXmlAttribute* m_Attribute = nullptr;
  bool m_AttributeStarted = false;
};

}  // namespace Util
