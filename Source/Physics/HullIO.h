// The binary form of hulls, used when bodies are saved and loaded (vines).
//
// A hull record is a 32-bit type code (-1 for no hull) and the shape's data: AABB minimum and
// maximum corners; OBB centre and three half edges; Sphere centre and radius; CollidableSet a
// 32-bit child count and the children's records from the last child to the first; HeightMap its
// bounds' corners, 32-bit sample width and depth, the samples, then its y scale. Values are raw
// little-endian floats and integers (BinaryStream).
//
// Reading takes exactly the bytes writing gives. A record that ends early, an unknown type code,
// a count or size no writer writes, or a value that is not a finite number is refused: nothing is
// built and the stream is left failed or at an unknown place. Main thread only.
#pragma once

#include "Util/BinaryStream.h"

namespace Phy {

class Collidable;

void WriteHull(Util::BinaryStream& stream, const Collidable* hull);
// True with the hull (null for the record of no hull) when the record reads whole; false and
// null otherwise.
bool ReadHull(Util::BinaryStream& stream, Collidable*& hull);

}  // namespace Phy
