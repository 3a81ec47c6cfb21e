// A throw-away asset tree (TempTree) holding what the engine needs to start: the four start-up
// scripts, empty, and the editor's four entity files; and writers for further scripts and entity
// definition files, which give each file's path as the game names it.
#pragma once

#include <string>

#include "Support/TempTree.h"

namespace Testing {

class GameTree : public TempTree {
 public:
  GameTree();

  // Assets/Scripts/<name>.
  std::string Script(const std::string& name, const std::string& text) const;
  // Assets/Xml/entities/<name>.xml: an entity of that name, then the given top-level elements.
  std::string EntityFile(const std::string& name, const std::string& elements = "") const;
  // An entity file whose Script element names the script, with the flag that runs it every frame
  // when asked, and the given Data elements.
  std::string Definition(const std::string& name, const std::string& script, bool flag = false,
                         const std::string& data = "") const;
};

}  // namespace Testing
