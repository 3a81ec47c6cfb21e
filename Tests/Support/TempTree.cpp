#include "Support/TempTree.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "Util/XmlReader.h"

namespace fs = std::filesystem;

namespace Testing {

TempTree::TempTree() {
  std::string pattern = (fs::temp_directory_path() / "hollowmere-XXXXXX").string();
  char* made = ::mkdtemp(pattern.data());
  m_Root = made ? made : pattern;
  fs::create_directories(m_Root + "/Assets");
  fs::create_directories(WorkDir());
  m_OldDir = fs::current_path().string();
  fs::current_path(WorkDir());
  // Files parsed in another tree are not this tree's, whatever their stamps say.
  Util::ForgetSharedDocuments();
}

TempTree::~TempTree() {
  std::error_code ignored;
  fs::current_path(m_OldDir, ignored);
  fs::remove_all(m_Root, ignored);
}

void TempTree::Write(const std::string& relative, const std::string& contents) const {
  const fs::path path = fs::path(m_Root) / relative;
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary);
  out << contents;
}

std::string TempTree::Read(const std::string& relative) const {
  std::ifstream in(fs::path(m_Root) / relative, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

bool TempTree::Exists(const std::string& relative) const { return fs::exists(fs::path(m_Root) / relative); }

}  // namespace Testing
