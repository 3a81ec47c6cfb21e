// Installs an assertion handler that records every failed assertion and answers with a chosen
// button (Ignore unless told otherwise); restores the previous handler when it goes.
#pragma once

#include <string>
#include <vector>

#include "Util/Assert.h"

namespace Testing {

class AssertRecorder {
 public:
  explicit AssertRecorder(Util::AssertChoice answer = Util::AssertChoice::Ignore);
  ~AssertRecorder();
  AssertRecorder(const AssertRecorder&) = delete;
  AssertRecorder& operator=(const AssertRecorder&) = delete;

  const std::vector<std::string>& Texts() const { return m_Texts; }
  size_t Count() const { return m_Texts.size(); }
  // The "Comment: " lines of the recorded texts, in order.
  std::vector<std::string> Comments() const;
  // The recorded texts without their last line, the line number: what stays when code moves.
  std::vector<std::string> Heads() const;
  bool Saw(const std::string& comment) const;
  void Clear() { m_Texts.clear(); }

  // The text of a failed assertion as Heads() gives it.
  static std::string Head(const std::string& expression, const std::string& comment, const std::string& file);

 private:
  std::vector<std::string> m_Texts;
  Util::AssertHandler m_Previous;
};

}  // namespace Testing
