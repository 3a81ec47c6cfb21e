#include "Support/AssertRecorder.h"

#include <algorithm>

namespace Testing {

AssertRecorder::AssertRecorder(Util::AssertChoice answer) {
  m_Previous = Util::SetAssertHandler([this, answer](const std::string& text) {
    m_Texts.push_back(text);
    return answer;
  });
}

AssertRecorder::~AssertRecorder() { Util::SetAssertHandler(m_Previous); }

std::vector<std::string> AssertRecorder::Comments() const {
  std::vector<std::string> comments;
  for (const std::string& text : m_Texts) {
    const std::string key = "\nComment: ";
    size_t begin = text.find(key);
    if (begin == std::string::npos) continue;
    begin += key.size();
    size_t end = text.find("\nFile: ", begin);
    comments.push_back(text.substr(begin, end - begin));
  }
  return comments;
}

std::vector<std::string> AssertRecorder::Heads() const {
  std::vector<std::string> heads;
  for (const std::string& text : m_Texts) heads.push_back(text.substr(0, text.rfind("\nLine: ")));
  return heads;
}

std::string AssertRecorder::Head(const std::string& expression, const std::string& comment, const std::string& file) {
  return "Assert \"" + expression + "\" failed\nComment: " + comment + "\nFile: " + file;
}

bool AssertRecorder::Saw(const std::string& comment) const {
  const std::vector<std::string> comments = Comments();
  return std::find(comments.begin(), comments.end(), comment) != comments.end();
}

}  // namespace Testing
