// Message: the base of the 81 message classes, and the field types they carry.
//
// A message adds only data fields to this base. It is allocated from the pool of its size and
// either posted to the post office (MailMan::Post, delivered at the next delivery) or sent at once
// (Send: broadcast to every mailbox before the call returns). Delivery hands it to the mailboxes in
// a Util::Handle; the last handle to go destroys it. Main thread only.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "Game/EntityRef.h"
#include "Util/Vec3.h"

namespace Gfx {
class Visual;
}

namespace Msg {

class MailMan;

// Messages carry the engine's own vector type, so receivers take the values as they are.
using Vec3 = Util::Vec3;
struct Vec4 {
  float x = 0.0f, y = 0.0f, z = 0.0f, w = 0.0f;
};
inline bool operator==(const Vec4& a, const Vec4& b) { return a.x == b.x && a.y == b.y && a.z == b.z && a.w == b.w; }

// An owned, NUL-terminated copy of a character string, made on construction and freed with the
// message; the sender's string may go as soon as the message is built. Null stays null.
class Text {
 public:
  explicit Text(const char* source);
  ~Text();
  Text(const Text&) = delete;
  Text& operator=(const Text&) = delete;

  const char* Get() const { return m_Chars; }

 private:
  char* m_Chars;
};

// The field kinds of the catalogue, under the names it uses.
namespace Kind {
using i32 = int32_t;
using u32 = uint32_t;
using u8 = uint8_t;
using f32 = float;
using boolean = bool;
using vec3 = Vec3;
using vec4 = Vec4;
using text = Text;
using string = std::string;
using names = std::vector<std::string>;  // a list of names, in order
using entity = Game::EntityRef;          // not owned; null once the entity died
using visual = Gfx::Visual*;             // not owned
using positions = const Vec3*;           // an array owned by the sender (the firefly system)
using lights = std::array<float, 5>;     // the firefly system's five light values
}  // namespace Kind

// How a constructor takes a field of each kind.
template <class T>
struct ParamOf {
  using type = T;
};
template <>
struct ParamOf<Text> {
  using type = const char*;
};
template <>
struct ParamOf<std::string> {
  using type = const std::string&;
};
template <>
struct ParamOf<Kind::names> {
  using type = const Kind::names&;
};
template <class T>
using Param = typename ParamOf<T>::type;

class Message {
 public:
  virtual ~Message() = default;
  // Broadcasts this message to every mailbox now, then lets it go (it lives on only in handles a
  // receiver kept). The post office calls it with itself, which the message does not use.
  virtual void Deliver(MailMan* postOffice) = 0;

  Message(const Message&) = delete;
  Message& operator=(const Message&) = delete;

 protected:
  Message() = default;
};

// Sends a message at once: every mailbox has seen it when this returns, and it is destroyed then
// unless a receiver kept a handle. Null is ignored.
void Send(Message* message);

}  // namespace Msg
