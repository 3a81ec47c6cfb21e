// Entity definition files: the XML documents under "../../Assets/Xml/entities/" that entities are
// built from.
//
// The root's children are visited in document order and each is handled by its tag:
//   Entity        the base name (string "name") and an optional Shared child with, in this
//                 order, Position, Rotation, Scale and Velocity (float "x", "y", "z" each); each
//                 is looked for after the one found before it, so one out of order is missed.
//   Visual, Visual2D, VisualParticle, Light, VisualAnimated, VisualSkinned, Physics, Script, Sound
//                 handed to the builder registered for the tag; skipped while none is.
//   anything else ignored.
// A value that is missing or malformed reads as 0 or "". The reader never learns about the
// subsystems behind the builders: each registers its own in its Init. Main thread only.
//
// Each file is read once into a record of what its elements do (the name, the Shared values, the
// builders' elements), and entities are built from the record; the path is registered for the
// asset pack at every use, and a file changed on disk or written by XmlWriter is read again
// (see XmlReader::OpenShared). The builders still receive a reader on their element.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "Util/XmlReader.h"

namespace Game {

class Entity;

// Builds a component of the entity from an element. The reader stands on the element: it is the
// current element, so the builder enters it to read its values and children (Enter, Get, FindChild,
// Leave). Wherever the builder leaves the cursor, the file's reading goes on after the element.
using ElementBuilder = void (*)(Entity& entity, Util::XmlReader& reader);

// One builder per tag of the table above ("Script", "Visual", "Visual2D", "VisualParticle",
// "Light", "VisualAnimated", "VisualSkinned", "Physics", "Sound"); a later registration replaces an earlier one and null
// removes it. Another tag is a misuse: reported, and nothing is registered.
void RegisterElementBuilder(const char* tag, ElementBuilder builder);

// Reads the definition file at path into the entity (the entity's constructor calls it). A file
// that cannot be opened is reported by the XML layer and leaves the entity as it was.
void ReadEntityDefinition(Entity& entity, const char* path);

// What a Script element says, for the builder that makes the script component: the Lua file
// (string "file"), the flag (true when the element has a `bool` child, whatever it holds), and the
// entries of its Data children in order. In each Data the String children come first (string
// "string", string "name") and then the Number children (double "number", string "name"); a String
// after a Number in the same Data is not read.
struct ScriptDefinition {
  std::string m_File;
  bool m_Flag = false;
  std::vector<std::pair<std::string, std::string>> m_Strings;  // (name, text)
  std::vector<std::pair<std::string, double>> m_Numbers;       // (name, number)
};

// Reads the Script element the reader stands on (as a builder receives it).
ScriptDefinition ReadScriptDefinition(Util::XmlReader& reader);

}  // namespace Game
