// The XML mesh form shared by models and skinned meshes: a <Mesh> with <string name="name">,
// <int name="Subsets"> and that many <Subset>; a subset holds <int name="Indices">, <int
// name="Vertices">, the <Index> elements (<int name="id">, counted from the subset's first vertex)
// and the <Vertex> elements, each with vectors <Position>, <Normal>, <Color>, <Tangent>,
// <Bitangent> (<float> x, y, z) and <uvCoord> (x, y). A missing vector reads as zeros.
#pragma once

#include <functional>

#include "Graphics/Model.h"

namespace Util {
class XmlReader;
}

namespace Gfx {

// Called with each <Vertex> element current, after its vectors are read, so that a form that
// adds to the vertex (bone weights) reads the rest.
using XmlVertexExtra = std::function<void(Util::XmlReader&)>;

// Reads the <Mesh> element current in `reader` into `mesh` (its name and subsets); the text of the
// first problem found, or null.
const char* ReadXmlMesh(Util::XmlReader& reader, Mesh& mesh, const XmlVertexExtra& extra = {});

}  // namespace Gfx
