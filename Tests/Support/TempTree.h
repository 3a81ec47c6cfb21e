// A throw-away directory laid out like the repository: <root>/Assets/ and a working directory
// <root>/run/bin, two levels below the root, so that "../../Assets/" resolves into the tree.
// The process works in that directory while the tree lives; the old directory comes back after.
#pragma once

#include <string>

namespace Testing {

class TempTree {
 public:
  TempTree();
  ~TempTree();
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  const std::string& Root() const { return m_Root; }
  std::string WorkDir() const { return m_Root + "/run/bin"; }
  // Writes a file at a path relative to the root, creating its folders.
  void Write(const std::string& relative, const std::string& contents) const;
  std::string Read(const std::string& relative) const;
  bool Exists(const std::string& relative) const;

 private:
  std::string m_Root;
  std::string m_OldDir;
};

}  // namespace Testing
