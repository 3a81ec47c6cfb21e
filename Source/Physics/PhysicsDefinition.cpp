// The Physics element of an entity definition. Values are typed children: `float` "mass",
// "inverse_mass" and "elasticity" in document order (of mass and inverse mass the later wins),
// the first `bool` child when it is "ghost", an `Acceleration` (float "x", "y", "z"), and `Hull`
// elements. A Hull holds, taken kind by kind in this order: `Set` (a nested hull whose shapes
// form a set), `Sphere` (float "r", default 1; `Center`), `AABB` (`Min`, `Max`), `OBB` (float
// "width", "height", "depth", "theta", "phi" in radians; `offset`) and `HeightMap` (float
// "y_scale"; `Min`, `Max`; string "file"). Missing numbers read as 0. The shapes are given
// relative to the entity: the hull is scaled, turned and placed by the entity's transform.
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>

#include "Game/Entity.h"
#include "Physics/CollidableSet.h"
#include "Physics/HeightMap.h"
#include "Physics/OBB.h"
#include "Physics/PhysComp.h"
#include "Physics/Sphere.h"
#include "Util/XmlReader.h"

namespace Phy {
namespace {

using Mark = Util::XmlReader::Mark;
using Util::Vec3;

constexpr int kDeepestSet = 16;

bool Is(const char* a, const char* b) { return std::strcmp(a, b) == 0; }

// One reading of a Physics element: the reader and the first problem found, in words. The
// cursor always comes back to where a lookup began.
class Reading {
 public:
  Reading(Util::XmlReader& reader, std::string& error) : m_Reader(reader), m_Error(error) {}

  Util::XmlReader& Reader() { return m_Reader; }
  bool Fail(const std::string& what) {
    if (m_Error.empty()) m_Error = what;
    return false;
  }

  // The current element's text as a finite number.
  bool Text(const char* key, float& value) {
    float read = 0.0f;
    if (!m_Reader.ReadText(read) || !std::isfinite(read))
      return Fail(std::string("the float \"") + key + "\" is not a number");
    value = read;
    return true;
  }

  // The `float` child `key` of the open element whose first child is `first`; `value` keeps
  // what it holds when there is none.
  bool Float(const Mark& first, const char* key, float& value) {
    bool ok = true;
    for (m_Reader.Return(first); m_Reader.HasCurrent(); m_Reader.Next())
      if (Is(m_Reader.ElementName(), "float") && m_Reader.NameAttributeIs(key)) {
        ok = Text(key, value);
        break;
      }
    m_Reader.Return(first);
    return ok;
  }

  // The child `tag` with float "x", "y", "z"; zero without it.
  bool Vector(const Mark& first, const char* tag, Vec3& v) {
    v = Vec3{};
    m_Reader.Return(first);
    bool ok = true;
    if (m_Reader.FindChild(tag)) {
      const Mark inner = m_Reader.Here();
      ok = Float(inner, "x", v.x) && Float(inner, "y", v.y) && Float(inner, "z", v.z);
    }
    m_Reader.Return(first);
    return ok;
  }

  // Every child `tag` in document order, each entered and handed to `read` with its first child.
  bool EachChild(const Mark& first, const char* tag, const std::function<bool(const Mark&)>& read) {
    bool ok = true;
    m_Reader.Return(first);
    while (ok && m_Reader.HasCurrent()) {
      if (!Is(m_Reader.ElementName(), tag)) {
        m_Reader.Next();
        continue;
      }
      const Mark child = m_Reader.Here();
      m_Reader.Enter();
      ok = read(m_Reader.Here());
      m_Reader.Return(child);
      m_Reader.Next();
    }
    m_Reader.Return(first);
    return ok;
  }

 private:
  Util::XmlReader& m_Reader;
  std::string& m_Error;
};

using Add = std::function<void(Collidable*)>;

bool ReadShapes(Reading& in, const Mark& first, const Add& add, int depth);

bool ReadSet(Reading& in, const Mark& first, const Add& add, int depth) {
  if (depth >= kDeepestSet) return in.Fail("sets are nested too deep");
  auto set = std::make_unique<CollidableSet>();
  if (!ReadShapes(
          in, first, [&set](Collidable* shape) { set->Add(shape); }, depth + 1))
    return false;
  add(set.release());
  return true;
}

bool ReadSphere(Reading& in, const Mark& first, const Add& add) {
  float radius = 1.0f;
  Vec3 center;
  if (!in.Float(first, "r", radius) || !in.Vector(first, "Center", center)) return false;
  if (!(radius > 0.0f)) return in.Fail("a Sphere's radius is not positive");
  add(new Sphere(center, radius));
  return true;
}

bool Ordered(const Vec3& min, const Vec3& max) { return min.x <= max.x && min.y <= max.y && min.z <= max.z; }

bool ReadAABB(Reading& in, const Mark& first, const Add& add) {
  Vec3 min, max;
  if (!in.Vector(first, "Min", min) || !in.Vector(first, "Max", max)) return false;
  if (!Ordered(min, max)) return in.Fail("an AABB's Min lies beyond its Max");
  add(new AABB(min, max));
  return true;
}

bool ReadOBB(Reading& in, const Mark& first, const Add& add) {
  float width = 0.0f, height = 0.0f, depth = 0.0f, theta = 0.0f, phi = 0.0f;
  Vec3 offset;
  if (!in.Float(first, "width", width) || !in.Float(first, "height", height) || !in.Float(first, "depth", depth) ||
      !in.Float(first, "theta", theta) || !in.Float(first, "phi", phi) || !in.Vector(first, "offset", offset))
    return false;
  if (!(width > 0.0f && height > 0.0f && depth > 0.0f))
    return in.Fail("an OBB's width, height or depth is not positive");
  add(new OBB(OBB::FromExtents(width, height, depth, theta, phi, offset)));
  return true;
}

bool ReadHeightMap(Reading& in, const Mark& first, const Add& add) {
  float yScale = 0.0f;
  Vec3 min, max;
  if (!in.Float(first, "y_scale", yScale) || !in.Vector(first, "Min", min) || !in.Vector(first, "Max", max))
    return false;
  if (!Ordered(min, max)) return in.Fail("a HeightMap's Min lies beyond its Max");
  std::string file;
  in.Reader().Read("file", file);
  add(new HeightMap(min, max, file, yScale));
  return true;
}

bool ReadShapes(Reading& in, const Mark& first, const Add& add, int depth) {
  return in.EachChild(first, "Set", [&](const Mark& m) { return ReadSet(in, m, add, depth); }) &&
         in.EachChild(first, "Sphere", [&](const Mark& m) { return ReadSphere(in, m, add); }) &&
         in.EachChild(first, "AABB", [&](const Mark& m) { return ReadAABB(in, m, add); }) &&
         in.EachChild(first, "OBB", [&](const Mark& m) { return ReadOBB(in, m, add); }) &&
         in.EachChild(first, "HeightMap", [&](const Mark& m) { return ReadHeightMap(in, m, add); });
}

}  // namespace

PhysComp* PhysComp::FromDefinition(Game::Entity* owner, Util::XmlReader& reader, std::string& error) {
  error.clear();
  if (!reader.Enter()) {
    error = "no Physics element";
    return nullptr;
  }
  Reading in(reader, error);
  const Mark first = reader.Here();
  std::unique_ptr<PhysComp> body(new PhysComp(owner));

  bool ok = true, sawBool = false;
  for (; ok && reader.HasCurrent(); reader.Next()) {
    const char* tag = reader.ElementName();
    float value = 0.0f;
    if (Is(tag, "float")) {
      if (reader.NameAttributeIs("mass")) {
        ok = in.Text("mass", value) &&
             ((value > 0.0f && std::isfinite(1.0f / value)) || in.Fail("the mass is not a positive number"));
        if (ok) body->SetMass(value);
      } else if (reader.NameAttributeIs("inverse_mass")) {
        ok = in.Text("inverse_mass", value) && (value >= 0.0f || in.Fail("the inverse mass is negative"));
        if (ok) body->SetInverseMass(value);
      } else if (reader.NameAttributeIs("elasticity")) {
        ok = in.Text("elasticity", value) && (value >= 0.0f || in.Fail("the elasticity is negative"));
        if (ok) body->SetElasticity(value);
      }
    } else if (Is(tag, "bool") && !sawBool) {
      sawBool = true;
      bool ghost = false;
      if (reader.NameAttributeIs("ghost")) {
        ok = reader.ReadText(ghost) || in.Fail("the bool \"ghost\" is neither 0 nor 1");
        body->SetGhost(ghost);
      }
    }
  }

  Vec3 accel;
  ok = ok && in.Vector(first, "Acceleration", accel);
  body->SetAccel(accel);

  // The shapes are read about the entity's origin, then given its scale, rotation and place.
  ok = ok && in.EachChild(first, "Hull", [&](const Mark& inner) {
    Collidable* hull = nullptr;
    if (!ReadShapes(
            in, inner, [&hull](Collidable* shape) { Join(hull, shape); }, 0)) {
      delete hull;
      return false;
    }
    if (!hull) return true;
    if (owner) {
      const float scale = owner->GetScale().x;
      if (scale > 0.0f && scale != 1.0f) hull->Scale(scale);
      body->m_Turned = Util::Mat3::FromEulerDegrees(owner->GetRotation());
      hull->Turn(body->m_Turned, Vec3{});
      hull->Translate(owner->GetPosition());
    }
    body->AddHull(hull);
    return true;
  });

  reader.Return(first);
  reader.Leave();
  return ok ? body.release() : nullptr;
}

}  // namespace Phy
