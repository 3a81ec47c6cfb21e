#include "Support/GameTree.h"

namespace Testing {

GameTree::GameTree() {
  for (const char* name : {"gfx_material_1", "gfx_material_post", "gfx_render_passes_1", "game_OnStart"})
    Script(std::string(name) + ".lua", "");
  for (const char* name : {"editor_DebugConsole", "editor_DebugFPS", "editor_Levels", "editor_Islands"})
    EntityFile(name);
  // The renderer's and the sound engine's catalogues, empty: read at start-up where a display or
  // an audio device is there.
  Write("Assets/Xml/materialsMin.xml", "<?xml version=\"1.0\"?>\n<XMLRoot/>\n");
  Write("Assets/Xml/allsounds.xml", "<?xml version=\"1.0\"?>\n<XMLRoot/>\n");
}

std::string GameTree::Script(const std::string& name, const std::string& text) const {
  Write("Assets/Scripts/" + name, text);
  return "../../Assets/Scripts/" + name;
}

std::string GameTree::EntityFile(const std::string& name, const std::string& elements) const {
  Write("Assets/Xml/entities/" + name + ".xml", "<?xml version=\"1.0\"?>\n<XMLRoot><Entity><string name=\"name\">" +
                                                    name + "</string></Entity>" + elements + "</XMLRoot>\n");
  return "../../Assets/Xml/entities/" + name + ".xml";
}

std::string GameTree::Definition(const std::string& name, const std::string& script, bool flag,
                                 const std::string& data) const {
  return EntityFile(name, "<Script><string name=\"file\">" + script + "</string>" +
                              (flag ? "<bool name=\"always\">1</bool>" : "") + data + "</Script>");
}

}  // namespace Testing
