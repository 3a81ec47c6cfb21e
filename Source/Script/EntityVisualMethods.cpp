#include "Script/EntityVisualMethods.h"

#include <string>

#include "Core/Window.h"
#include "Game/Entity.h"
#include "Graphics/Visuals.h"

namespace Spt {
namespace {

using Game::Entity;

// A method's arguments, above the entity's own userdata at index 1.
struct MethodArgs : Args {
  MethodArgs(lua_State* L, int count) : Args(L, count, 1) {}
};

template <class Kind>
Kind* VisualOf(Entity& self) {
  return dynamic_cast<Kind*>(self.GetVisual());
}

// Four numbers, read from the last to the first.
struct Four {
  float v[4];
  explicit Four(lua_State* L) {
    MethodArgs a(L, 4);
    for (int i = 4; i >= 1; --i) v[i - 1] = a.Float(i);
  }
};

}  // namespace

int VIS_Has(Entity& self, lua_State* L) { return lua_pushboolean(L, self.GetVisual() != nullptr), 1; }

int VIS_SetText(Entity& self, lua_State* L) {
  const char* text = MethodArgs(L, 1).String(1);
  if (auto* visual = VisualOf<Gfx::VisualText>(self)) visual->SetText(text);
  return 0;
}

int VIS_SetTextSize(Entity& self, lua_State* L) {
  const float size = MethodArgs(L, 1).Float(1);
  if (auto* visual = VisualOf<Gfx::VisualText>(self)) visual->SetSize(size);
  return 0;
}

int VIS_GetText(Entity& self, lua_State* L) {
  const auto* visual = VisualOf<Gfx::VisualText>(self);
  if (!visual) return lua_pushnil(L), 1;
  return lua_pushlstring(L, visual->Text().data(), visual->Text().size()), 1;
}

// The special value is kept.
int VIS_SetLightColor(Entity& self, lua_State* L) {
  const Util::Vec3 rgb = MethodArgs(L, 3).Vector(1);
  auto* light = VisualOf<Gfx::VisualLight>(self);
  if (!light) return 0;
  float color[4];
  light->GetColor(color);
  color[0] = rgb.x;
  color[1] = rgb.y;
  color[2] = rgb.z;
  light->SetColor(color);
  return 0;
}

int VIS_GetLightColor(Entity& self, lua_State* L) {
  const auto* light = VisualOf<Gfx::VisualLight>(self);
  if (!light) return lua_pushnil(L), 1;
  float color[4];
  light->GetColor(color);
  lua_createtable(L, 0, 3);
  const char* const fields[] = {"r", "g", "b"};
  for (int i = 0; i < 3; ++i) {
    lua_pushnumber(L, color[i]);
    lua_setfield(L, -2, fields[i]);
  }
  return 1;
}

int VIS_SetLightRadius(Entity& self, lua_State* L) {
  const float radius = MethodArgs(L, 1).Float(1);
  if (auto* light = VisualOf<Gfx::VisualLight>(self)) light->SetRadius(radius);
  return 0;
}

int VIS_GetLightRadius(Entity& self, lua_State* L) {
  const auto* light = VisualOf<Gfx::VisualLight>(self);
  if (!light) return lua_pushnil(L), 1;
  return lua_pushnumber(L, light->GetRadius()), 1;
}

int VIS_sTexCoords(Entity& self, lua_State* L) {
  const Four f(L);
  if (auto* quad = VisualOf<Gfx::Visual2D>(self)) quad->SetTexture(f.v[0], f.v[1], f.v[2], f.v[3]);
  return 0;
}

int VIS_sPosCoords(Entity& self, lua_State* L) {
  const Four f(L);
  if (auto* quad = VisualOf<Gfx::Visual2D>(self)) quad->SetCorners(f.v[0], f.v[1], f.v[2], f.v[3]);
  return 0;
}

// Fractions of the window: the place of a screen-space text whatever the resolution.
int VIS_sTextPos(Entity& self, lua_State* L) {
  const Util::Vec3 at = MethodArgs(L, 3).Vector(1);
  const bool window = Core::Window::Exists();
  const float width = window ? static_cast<float>(Core::Window::Instance().Width()) : 0.0f;
  const float height = window ? static_cast<float>(Core::Window::Instance().Height()) : 0.0f;
  self.SetPosition({at.x * width, at.y * height, at.z});
  return 0;
}

}  // namespace Spt
