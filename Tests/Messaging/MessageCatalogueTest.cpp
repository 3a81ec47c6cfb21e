// Every message class of the catalogue, built with a distinct value in every field, posted and
// delivered: it must reach its own handler and no other, with every field as given (text copied,
// so the sender's buffer may change at once), from the pool of its own size, and give its block
// back when the last handle goes. The cases are generated from the catalogue itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Messaging/Messages.h"
#include "Support/AssertRecorder.h"

namespace {

namespace Kind = Msg::Kind;

// Addresses standing for engine objects that are never looked at.
std::max_align_t g_Anchors[1024];
Msg::Vec3 g_Positions[1024];

// A value of each field kind made from a seed; As<kind> picks the overload.
template <class T>
struct As {};
template <class T>
T Make(As<T>, int seed) {  // numbers
  return static_cast<T>(seed * 3 + 1);
}
float Make(As<float>, int seed) { return static_cast<float>(seed) + 0.25f; }
bool Make(As<bool>, int) { return true; }  // the one value that is not the default
Msg::Vec3 Make(As<Msg::Vec3>, int seed) { return {seed + 0.5f, seed + 1.5f, -seed - 2.5f}; }
Msg::Vec4 Make(As<Msg::Vec4>, int seed) { return {seed + 0.5f, seed + 1.5f, -seed - 2.5f, seed * 2.0f}; }
Kind::lights Make(As<Kind::lights>, int seed) {
  return {seed + 0.1f, seed + 0.2f, seed + 0.3f, seed + 0.4f, seed + 0.5f};
}
std::string Make(As<Msg::Text>, int seed) { return "../../Assets/text " + std::to_string(seed) + ".xml"; }
std::string Make(As<std::string>, int seed) { return "name " + std::to_string(seed); }
Kind::names Make(As<Kind::names>, int seed) {
  const std::string s = std::to_string(seed);
  return {"first " + s, "second " + s, "third " + s};
}
const Msg::Vec3* Make(As<Kind::positions>, int seed) { return &g_Positions[seed % 1024]; }
template <class T>
T* Make(As<T*>, int seed) {  // engine objects, by address only
  return reinterpret_cast<T*>(&g_Anchors[seed % 1024]);
}

// The argument a sender passes: text as a C string into the sender's own buffer.
template <class K, class V>
const V& Pass(As<K>, const V& value) {
  return value;
}
const char* Pass(As<Msg::Text>, const std::string& value) { return value.c_str(); }

// Overwrites the sender's copy once the message is built.
template <class V>
void Spoil(V&) {}
void Spoil(std::string& value) { std::fill(value.begin(), value.end(), '#'); }
void Spoil(Kind::names& value) { value.assign(1, "#"); }

template <class F, class V>
bool Same(const F& field, const V& expected) {
  return field == expected;
}
bool Same(const Msg::Text& field, const std::string& expected) { return field.Get() && expected == field.Get(); }

// Overrides every handler: records which slots were called and keeps each message.
class EveryHandler : public Msg::MailBox {
 public:
#define HM_TEST_RECEIVE(slot, cls, ...)                   \
  void Receive(const Util::Handle<Msg::cls>& message) override { \
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

#define HM_TEST_ARG(kind, name, ...) auto arg##name = Make(As<Kind::kind>{}, seed++);
#define HM_TEST_PASS(kind, name, ...) Pass(As<Kind::kind>{}, arg##name)
#define HM_TEST_SPOIL(kind, name, ...) Spoil(arg##name);
#define HM_TEST_CHECK(kind, name, ...) EXPECT_TRUE(Same(got->m_##name, Make(As<Kind::kind>{}, seed++))) << #name;
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
  const std::unique_ptr<Msg::soundMusicLayerMsg> message(new Msg::soundMusicLayerMsg());
  EXPECT_EQ(message->m_Layer, -1);
  EXPECT_EQ(message->m_Action, 1);
  EXPECT_EQ(message->m_Name.Get(), nullptr);
}
