// Every message class of the catalogue, built with a distinct value in every field, posted and
// delivered: it must reach its own handler and no other, with every field as given, from the pool
// of its own size, and give its block back when the last handle goes. The cases are generated
// from the catalogue itself.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include "Messaging/Messages.h"
#include "Support/AssertRecorder.h"

namespace {

namespace Kind = Msg::Kind;

// Addresses standing for engine objects that are never looked at.
std::max_align_t g_Anchors[1024];
Msg::Vec3 g_Positions[1024];

// Sample<kind>: a value for a field made from a seed, the argument a sender would pass, a way to
// spoil the sender's copy once the message is built, and the comparison.
template <class T>
struct Sample {  // numbers
  static T Make(int seed) { return static_cast<T>(seed * 3 + 1); }
  static T Pass(const T& v) { return v; }
  static void Spoil(T&) {}
  static bool Same(const T& field, const T& expected) { return field == expected; }
};
template <>
struct Sample<float> {
  static float Make(int seed) { return static_cast<float>(seed) + 0.25f; }
  static float Pass(float v) { return v; }
  static void Spoil(float&) {}
  static bool Same(float field, float expected) { return field == expected; }
};
template <>
struct Sample<bool> {
  static bool Make(int) { return true; }  // the one value that is not the default
  static bool Pass(bool v) { return v; }
  static void Spoil(bool&) {}
  static bool Same(bool field, bool expected) { return field == expected; }
};
template <>
struct Sample<Msg::Vec3> {
  static Msg::Vec3 Make(int seed) { return Msg::Vec3{seed + 0.5f, seed + 1.5f, -seed - 2.5f}; }
  static Msg::Vec3 Pass(const Msg::Vec3& v) { return v; }
  static void Spoil(Msg::Vec3&) {}
  static bool Same(const Msg::Vec3& field, const Msg::Vec3& expected) { return field == expected; }
};
template <>
struct Sample<Msg::Vec4> {
  static Msg::Vec4 Make(int seed) { return Msg::Vec4{seed + 0.5f, seed + 1.5f, -seed - 2.5f, seed * 2.0f}; }
  static Msg::Vec4 Pass(const Msg::Vec4& v) { return v; }
  static void Spoil(Msg::Vec4&) {}
  static bool Same(const Msg::Vec4& field, const Msg::Vec4& expected) { return field == expected; }
};
template <>
struct Sample<Kind::lights> {
  static Kind::lights Make(int seed) { return {seed + 0.1f, seed + 0.2f, seed + 0.3f, seed + 0.4f, seed + 0.5f}; }
  static const Kind::lights& Pass(const Kind::lights& v) { return v; }
  static void Spoil(Kind::lights&) {}
  static bool Same(const Kind::lights& field, const Kind::lights& expected) { return field == expected; }
};
template <>
struct Sample<Msg::Text> {  // the sender's string, spoilt after the message is built
  static std::string Make(int seed) { return "../../Assets/text " + std::to_string(seed) + ".xml"; }
  static const char* Pass(const std::string& v) { return v.c_str(); }
  static void Spoil(std::string& v) { std::memset(&v[0], '#', v.size()); }
  static bool Same(const Msg::Text& field, const std::string& expected) {
    return field.Get() && expected == field.Get();
  }
};
template <>
struct Sample<std::string> {
  static std::string Make(int seed) { return "name " + std::to_string(seed); }
  static const std::string& Pass(const std::string& v) { return v; }
  static void Spoil(std::string& v) { v.assign(v.size(), '#'); }
  static bool Same(const std::string& field, const std::string& expected) { return field == expected; }
};
template <>
struct Sample<Kind::names> {
  static Kind::names Make(int seed) {
    const std::string s = std::to_string(seed);
    return {"first " + s, "second " + s, "third " + s};
  }
  static const Kind::names& Pass(const Kind::names& v) { return v; }
  static void Spoil(Kind::names& v) { v.assign(1, "#"); }
  static bool Same(const Kind::names& field, const Kind::names& expected) { return field == expected; }
};
template <class T>
struct Sample<T*> {  // engine objects and the firefly positions, by address only
  static T* Make(int seed) {
    if constexpr (std::is_same_v<std::remove_const_t<T>, Msg::Vec3>)
      return &g_Positions[seed % 1024];
    else
      return reinterpret_cast<T*>(&g_Anchors[seed % 1024]);
  }
  static T* Pass(T* v) { return v; }
  static void Spoil(T*&) {}
  static bool Same(T* field, T* expected) { return field == expected; }
};

// Overrides every handler: records which slots were called and keeps each message.
class EveryHandler : public Msg::MailBox {
 public:
#define HM_TEST_RECEIVE(slot, cls, ...)                   \
  void Receive(Util::Handle<Msg::cls> message) override { \
    m_Slots.push_back(slot);                              \
    m_##cls = message;                                    \
  }                                                       \
  Util::Handle<Msg::cls> m_##cls;
  HM_MESSAGE_CATALOGUE(HM_TEST_RECEIVE)
#undef HM_TEST_RECEIVE
  std::vector<int> m_Slots;
};

class MessageRoundTrip : public testing::Test {
 protected:
  void TearDown() override {
    Msg::MailMan::Instance().Shutdown();
    Msg::MailMan::Destroy();
  }
  Testing::AssertRecorder m_Recorder;
};

}  // namespace

#define HM_TEST_ARG(kind, name, ...) auto arg##name = Sample<Kind::kind>::Make(seed++);
#define HM_TEST_PASS(kind, name, ...) Sample<Kind::kind>::Pass(arg##name)
#define HM_TEST_SPOIL(kind, name, ...) Sample<Kind::kind>::Spoil(arg##name);
#define HM_TEST_CHECK(kind, name, ...) \
  EXPECT_TRUE(Sample<Kind::kind>::Same(got->m_##name, Sample<Kind::kind>::Make(seed++))) << #name;
#define HM_TEST_CASE(slot, cls, ...)                                                       \
  TEST_F(MessageRoundTrip, cls) {                                                          \
    auto& pool = Util::Allocator<sizeof(Msg::cls)>::Instance();                            \
    const uint32_t inUse = pool.Stats().ObjectsInUse_;                                     \
    Msg::MailBox quiet;                                                                    \
    EveryHandler box;                                                                      \
    int seed = (slot)*10;                                                                  \
    HM_FIELDS(HM_TEST_ARG, __VA_ARGS__)                                                    \
    Msg::MailMan::Instance().Post(new Msg::cls(HM_FIELD_LIST(HM_TEST_PASS, __VA_ARGS__))); \
    HM_FIELDS(HM_TEST_SPOIL, __VA_ARGS__)                                                  \
    EXPECT_EQ(pool.Stats().ObjectsInUse_, inUse + 1);                                      \
    Msg::MailMan::Instance().Deliver();                                                    \
    ASSERT_EQ(box.m_Slots, std::vector<int>{slot});                                        \
    const Util::Handle<Msg::cls>& got = box.m_##cls;                                       \
    ASSERT_TRUE(got.IsValid());                                                            \
    seed = (slot)*10;                                                                      \
    HM_FIELDS(HM_TEST_CHECK, __VA_ARGS__)                                                  \
    box.m_##cls = Util::Handle<Msg::cls>();                                                \
    EXPECT_EQ(pool.Stats().ObjectsInUse_, inUse);                                          \
    EXPECT_EQ(m_Recorder.Count(), 0u);                                                     \
    (void)seed;                                                                            \
  }
HM_MESSAGE_CATALOGUE(HM_TEST_CASE)

TEST(MessageCatalogue, HasEightyOneSlotsInOrder) {
  std::vector<int> slots;
#define HM_TEST_SLOT(slot, cls, ...) slots.push_back(Msg::cls::kSlot);
  HM_MESSAGE_CATALOGUE(HM_TEST_SLOT)
#undef HM_TEST_SLOT
  ASSERT_EQ(slots.size(), static_cast<size_t>(HM_MESSAGE_COUNT));
  for (size_t i = 0; i < slots.size(); ++i) EXPECT_EQ(slots[i], static_cast<int>(i) + 1);
}

TEST(MessageCatalogue, MusicLayerDefaultsToLayerMinusOneActionOneAndNoName) {
  Msg::soundMusicLayerMsg* message = new Msg::soundMusicLayerMsg();
  EXPECT_EQ(message->m_Layer, -1);
  EXPECT_EQ(message->m_Action, 1);
  EXPECT_EQ(message->m_Name.Get(), nullptr);
  delete message;
}

TEST(MessageCatalogue, TextIsCopiedSoTheSendersBufferMayGoAtOnce) {
  char* source = new char[32];
  std::strcpy(source, "Global.QuitGame()");
  Msg::scriptDoStringMsg* message = new Msg::scriptDoStringMsg(source);
  delete[] source;
  EXPECT_STREQ(message->m_Source.Get(), "Global.QuitGame()");
  delete message;
}
