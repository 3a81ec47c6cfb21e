#include <tuple>

#include "Game/EntityTesting.h"

using Game::Entity;
using Testing::Definition;
using Util::Vec3;
using Entities = std::vector<Entity*>;

namespace {

class EntityManager : public Testing::EntityTest {
 protected:
  void SetUp() override {
    EntityTest::SetUp();
    m_Vine = WriteEntity("e_Vine", Definition("Vine"));
    m_OldVine = WriteEntity("e_OldVine", Definition("OldVine"));
  }

  Entity* Vine() { return Manager().CreateEntity(m_Vine.c_str()); }
  Entity* OldVine() { return Manager().CreateEntity(m_OldVine.c_str()); }

  std::string m_Vine, m_OldVine;
};

}  // namespace

TEST_F(EntityManager, EntitiesAreListedInCreationOrderFoundAndRemovedByPartOfANameAFullNameAnIdOrAPointer) {
  const size_t queued = Msg::MailMan::Instance().Queued();
  const float color[4] = {1, 1, 1, 1};
  EXPECT_EQ(Manager().CreateEntity(nullptr), nullptr);
  EXPECT_EQ(Manager().CreateLight(nullptr, color, 2.0f), nullptr);
  EXPECT_EQ(Msg::MailMan::Instance().Queued(), queued);  // nothing made, nothing announced

  Entity* vine = Vine();
  const std::string shortName = vine->GetName();  // "Vine<n>"
  // Uses up IDs until the next entity's is the short one's with a 1 after it.
  while (Entity().GetID() + 1 < vine->GetID() * 10 + 1) {
  }
  Entity* longer = Vine();
  ASSERT_EQ(std::string(longer->GetName()), shortName + "1");
  Entity* old = OldVine();
  Entity* last = Vine();
  EXPECT_EQ(Manager().Entities(), (Entities{vine, longer, old, last}));
  EXPECT_EQ(Manager().Count(), 4u);
  EXPECT_EQ(Manager().FindByName("Vine"), vine);  // the earliest whose name contains it
  EXPECT_EQ(Manager().FindByName("Old"), old);
  EXPECT_EQ(Manager().FindByFullName(shortName.c_str()), vine);
  EXPECT_EQ(Manager().FindByFullName("Vine"), nullptr);
  EXPECT_EQ(Manager().FindByID(old->GetID()), old);
  EXPECT_EQ(Manager().FindByID(last->GetID() + 1), nullptr);
  EXPECT_EQ(Manager().FindByName(nullptr), Manager().FindByFullName(nullptr));
  EXPECT_EQ(Manager().FindByName(nullptr), nullptr);

  // From the head, the middle and the tail, then the last one left; each leaves the list sound.
  const int32_t oldId = old->GetID();
  Entity bare;
  EXPECT_FALSE(Manager().RemoveByPtr(&bare) || Manager().RemoveByPtr(nullptr));
  EXPECT_TRUE(Manager().RemoveByFullName(shortName.c_str()) && Manager().Validate());
  EXPECT_FALSE(Manager().RemoveByFullName(shortName.c_str()));  // "Vine<n>" is not "Vine<n>1"
  EXPECT_TRUE(Manager().RemoveByID(oldId) && Manager().Validate());
  EXPECT_TRUE(Manager().RemoveByPtr(last) && Manager().Validate());
  EXPECT_EQ(Manager().Entities(), Entities{longer});
  EXPECT_TRUE(Manager().RemoveByName(shortName.c_str()) && Manager().Validate());  // part of "Vine<n>1"
  EXPECT_FALSE(Manager().RemoveByID(oldId) || Manager().RemoveByPtr(last) || Manager().RemoveByName("Vine"));
  EXPECT_TRUE(Manager().Entities().empty());

  Entity* again = OldVine();
  Entity* next = Vine();
  EXPECT_EQ(Manager().Entities(), (Entities{again, next}));
  EXPECT_EQ(Manager().FindByName("Vine"), again);
  EXPECT_TRUE(Manager().Validate());
}

TEST_F(EntityManager, RemovalIsAnnouncedAtOnceWithACopyOfTheNameWhileTheEntityLivesAndShutdownRemovesTheRest) {
  Testing::ManagerLog log;
  const auto& entities = Util::Allocator<sizeof(Entity)>::Instance();
  const size_t live = Util::AutoList<Entity>::Count();
  Entity* vine = Vine();
  const std::string name = vine->GetName();
  const int32_t id = vine->GetID();
  const std::vector<int32_t> rest = {OldVine()->GetID(), Vine()->GetID()};
  const uint32_t inUse = entities.Stats().ObjectsInUse_;
  const size_t queued = Msg::MailMan::Instance().Queued();

  ASSERT_TRUE(Manager().RemoveByName("Vine"));
  ASSERT_EQ(log.m_Removed.size(), 1u);  // during the call, not at a delivery
  const Testing::ManagerLog::Removed& notice = log.m_Removed[0];
  // No longer listed, still alive.
  EXPECT_EQ(std::make_tuple(notice.name, notice.id, notice.stillListed, notice.alive),
            std::make_tuple(name, id, false, true));
  EXPECT_EQ(Msg::MailMan::Instance().Queued(), queued);  // nothing posted
  // The entity has gone back to its pool; the kept notice still holds its own copy of the name.
  EXPECT_EQ(entities.Stats().ObjectsInUse_, inUse - 1);
  EXPECT_EQ(std::string(log.m_RemovedKept[0]->m_FullName.Get()), name);

  Manager().Shutdown();
  ASSERT_EQ(log.m_Removed.size(), 3u);
  EXPECT_EQ((std::vector<int32_t>{log.m_Removed[1].id, log.m_Removed[2].id}), rest);
  EXPECT_EQ(Util::AutoList<Entity>::Count(), live);
  EXPECT_TRUE(Manager().Validate());
  Game::EntityManager::Destroy();  // empty: quietly
}

TEST_F(EntityManager, CreationIsAnnouncedAtTheNextDeliveryWithTheScriptFlag) {
  Game::RegisterElementBuilder("Script", Testing::BuildScript);
  Game::RegisterElementBuilder("Light", Testing::BuildVisual);
  const std::string scripted = WriteEntity(
      "e_Firefly", Definition("Firefly", "", "<Script><string name=\"file\">f.lua</string><bool/></Script>"));
  const std::string lamp =
      WriteEntity("e_Lamp", Definition("Lamp", "", "<Light/><Script><bool name=\"always\">1</bool></Script>"));
  Testing::ManagerLog log;
  Entity* plain = Vine();
  Entity* firefly = Manager().CreateEntity(scripted.c_str());
  const std::vector<float> color = {0.25f, 0.5f, 0.75f, 1.0f};
  Entity* light = Manager().CreateLight(lamp.c_str(), color.data(), 40.0f);
  EXPECT_TRUE(log.m_Added.empty());  // posted, not sent

  Msg::MailMan::Instance().Deliver();
  // A light is announced unflagged, script or not.
  EXPECT_EQ(log.m_Added, (decltype(log.m_Added){{plain, false}, {firefly, true}, {light, false}}));
  EXPECT_TRUE(light->ScriptFlag());
  auto* visual = dynamic_cast<Testing::RecordingVisual*>(light->GetVisual());
  ASSERT_NE(visual, nullptr);
  EXPECT_EQ(visual->m_Color, color);
  EXPECT_EQ(visual->m_Radius, 40.0f);
  // A light without a visual has nothing to colour.
  EXPECT_NE(Manager().CreateLight(m_Vine.c_str(), color.data(), 1.0f), nullptr);
}

TEST_F(EntityManager, MessagesCreatePlaceAndRemoveEntitiesAtTheDelivery) {
  Game::RegisterElementBuilder("Physics", Testing::BuildPhysics);
  const std::string body =
      WriteEntity("e_Body", Definition("Body", "", "<Physics><bool name=\"hull\">1</bool></Physics>"));
  Manager();  // the manager is a mailbox from here on
  Msg::MailMan& post = Msg::MailMan::Instance();
  post.Post(new Msg::eManAddMsg(m_Vine.c_str()));
  post.Post(new Msg::eManAddAtMsg(body.c_str(), Vec3{100, 20, 30}, Vec3{0, 45, 0}));
  post.Post(new Msg::eManAddMsg(m_OldVine.c_str()));
  post.Post(new Msg::eManAddMsg(nullptr));
  EXPECT_EQ(Manager().Count(), 0u);
  post.Deliver();
  ASSERT_EQ(Manager().Count(), 3u);

  Entity* placed = Manager().FindByName("Body");
  ASSERT_NE(placed, nullptr);
  EXPECT_EQ(placed->GetPosition(), (Vec3{100, 20, 30}));
  EXPECT_EQ(placed->GetRotation(), (Vec3{0, 45, 0}));
  EXPECT_EQ(Testing::ComponentLog(), (std::vector<std::string>{"translate", "rotate"}));  // placed, then turned

  const int32_t oldId = Manager().FindByName("OldVine")->GetID();
  const std::string vineName = Manager().FindByName("Vine")->GetName();
  post.Post(new Msg::eManRemoveByPtrMsg(placed));
  post.Post(new Msg::eManRemoveByFullNameMsg("OldVine"));  // not a full name
  post.Post(new Msg::eManRemoveByNameMsg("Old"));
  post.Post(new Msg::eManRemoveByPtrMsg(placed));  // gone by then
  post.Deliver();
  EXPECT_EQ(Manager().Entities(), Entities{Manager().FindByFullName(vineName.c_str())});
  EXPECT_EQ(Manager().FindByID(oldId), nullptr);
  post.Post(new Msg::eManRemoveByFullNameMsg(vineName.c_str()));
  post.Deliver();
  EXPECT_EQ(Manager().Count(), 0u);
}

TEST_F(EntityManager, DestroyingTheManagerWithEntitiesLeftIsReportedAndTheyGoAnyway) {
  const size_t live = Util::AutoList<Entity>::Count();
  Vine();
  Vine();
  Game::EntityManager::Destroy();
  EXPECT_EQ(m_Asserts.Heads(), std::vector<std::string>{Testing::AssertRecorder::Head(
                                   "m_frst == 0", "Entity manager destructor being called with entities still active.",
                                   "Source\\Game\\game_entitymanager")});
  EXPECT_EQ(Util::AutoList<Entity>::Count(), live);
  m_Asserts.Clear();
}
