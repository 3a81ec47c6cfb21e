#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Messaging/Messages.h"
#include "Support/AssertRecorder.h"

using Msg::MailMan;
using Log = std::vector<std::string>;

namespace {

// Logs the area messages and up vectors it receives as "name:area<n>" and "name:up"; a test may
// hang an action on the area handler, run after the log entry, or have it destroy itself on an
// area number.
class Listener : public Msg::MailBox {
 public:
  Listener(std::string name, Log* log) : m_Name(std::move(name)), m_Log(log) {}

  void Receive(const Util::Handle<Msg::gameAreaMsg>& message) override {
    m_Log->push_back(m_Name + ":area" + std::to_string(message->m_Area));
    if (m_Keep) m_Kept = message;
    if (m_OnArea) m_OnArea(message->m_Area);
    if (message->m_Area == m_DieAt) delete this;
  }
  void Receive(const Util::Handle<Msg::cameraSetUpVecMsg>&) override { m_Log->push_back(m_Name + ":up"); }

  std::function<void(int area)> m_OnArea;
  bool m_Keep = false;
  int m_DieAt = -1;
  Util::Handle<Msg::gameAreaMsg> m_Kept;

 private:
  std::string m_Name;
  Log* m_Log;
};

uint32_t AreaMessagesInUse() { return Util::Allocator<sizeof(Msg::gameAreaMsg)>::Instance().Stats().ObjectsInUse_; }

class PostOffice : public testing::Test {
 protected:
  void TearDown() override {
    if (!MailMan::Exists()) return;
    MailMan::Instance().Shutdown();
    MailMan::Destroy();
  }
  static void Post(int area) { MailMan::Instance().Post(new Msg::gameAreaMsg(area)); }

  Log m_Log;
};

}  // namespace

TEST_F(PostOffice, PostedMailWaitsForTheNextDeliveryAndGoesOnceInPostingOrderToTheMailboxesInCreationOrder) {
  Listener first("a", &m_Log);
  Msg::MailBox quiet;  // keeps every default handler
  Listener second("b", &m_Log);
  Post(1);
  Post(2);
  EXPECT_TRUE(m_Log.empty());
  EXPECT_EQ(MailMan::Instance().Queued(), 2u);
  MailMan::Instance().Deliver();
  MailMan::Instance().Deliver();
  EXPECT_EQ(m_Log, (Log{"a:area1", "b:area1", "a:area2", "b:area2"}));
  EXPECT_EQ(MailMan::Instance().Queued(), 0u);
}

TEST_F(PostOffice, InsideADeliveryNewMailAndNewMailboxesWaitTheirTurnAndDeliverDoesNothing) {
  Listener box("a", &m_Log);
  std::unique_ptr<Listener> late;
  bool soundDuringDelivery = false;
  box.m_OnArea = [&](int area) {
    if (area != 1) return;
    Post(3);
    late = std::make_unique<Listener>("new", &m_Log);
    MailMan::Instance().Deliver();  // leaves the running delivery alone
    soundDuringDelivery = MailMan::Instance().IsDelivering() && MailMan::Instance().Validate();
  };
  Post(1);
  Post(2);
  MailMan::Instance().Deliver();
  EXPECT_EQ(m_Log, (Log{"a:area1", "a:area2", "new:area2"}));
  EXPECT_TRUE(soundDuringDelivery);
  EXPECT_EQ(MailMan::Instance().Queued(), 1u);
  EXPECT_TRUE(MailMan::Instance().Validate());
  MailMan::Instance().Deliver();
  EXPECT_EQ(m_Log, (Log{"a:area1", "a:area2", "new:area2", "a:area3", "new:area3"}));
}

TEST_F(PostOffice, AMessageLivesWhileOfferedOrWhileAKeptHandleDoesThenItsBlockReturns) {
  const uint32_t inUse = AreaMessagesInUse();
  Msg::MailBox quiet;
  Listener box("a", &m_Log);
  box.m_OnArea = [&](int) { EXPECT_EQ(AreaMessagesInUse(), inUse + 1); };
  Post(1);
  MailMan::Instance().Deliver();
  EXPECT_EQ(AreaMessagesInUse(), inUse);  // nobody kept it
  box.m_Keep = true;
  Post(7);
  MailMan::Instance().Deliver();
  EXPECT_EQ(AreaMessagesInUse(), inUse + 1);
  EXPECT_EQ(box.m_Kept->m_Area, 7);
  box.m_Kept = Util::Handle<Msg::gameAreaMsg>();
  EXPECT_EQ(AreaMessagesInUse(), inUse);
}

TEST_F(PostOffice, ShutdownDestroysUndeliveredMailUnseenAndDestroyingWithoutItIsReportedButFreesItToo) {
  Testing::AssertRecorder recorder;
  const uint32_t inUse = AreaMessagesInUse();
  Listener box("a", &m_Log);
  Post(1);
  Post(2);
  MailMan::Instance().Shutdown();
  EXPECT_EQ(AreaMessagesInUse(), inUse);
  EXPECT_EQ(MailMan::Instance().Queued(), 0u);
  MailMan::Destroy();
  EXPECT_EQ(recorder.Count(), 0u);  // shut down: the destructor stays quiet

  Post(1);
  MailMan::Destroy();
  ASSERT_EQ(recorder.Comments(),
            std::vector<std::string>{"Tingle (aka Mailman) destructor is called without being shutdown."});
  EXPECT_NE(recorder.Texts()[0].find("File: ..\\..\\Source\\Messaging\\messaging_mailman"), std::string::npos);
  EXPECT_EQ(AreaMessagesInUse(), inUse);
  EXPECT_TRUE(m_Log.empty());
}

TEST_F(PostOffice, SentMailArrivesBeforeSendReturnsEvenInsideADelivery) {
  Listener first("a", &m_Log);
  Listener second("b", &m_Log);
  Msg::Send(new Msg::cameraSetUpVecMsg(Msg::Vec3{0, 1, 0}));
  EXPECT_EQ(m_Log, (Log{"a:up", "b:up"}));
  EXPECT_FALSE(MailMan::Exists());  // sending needs no post office

  m_Log.clear();
  first.m_OnArea = [](int) { Msg::Send(new Msg::cameraSetUpVecMsg(Msg::Vec3{0, 0, 1})); };
  Post(1);
  MailMan::Instance().Deliver();
  EXPECT_EQ(m_Log, (Log{"a:area1", "a:up", "b:up", "b:area1"}));
}

TEST_F(PostOffice, AMailboxDestroyedDuringABroadcastGetsNothingMoreAndTheRestStillDo) {
  Listener first("a", &m_Log);
  auto* second = new Listener("b", &m_Log);
  auto* third = new Listener("c", &m_Log);
  Listener fourth("d", &m_Log);
  first.m_OnArea = [&](int area) {
    if (area == 1) delete second;  // the next mailbox due
  };
  third->m_DieAt = 2;
  Post(1);
  Post(2);
  MailMan::Instance().Deliver();
  EXPECT_EQ(m_Log, (Log{"a:area1", "c:area1", "d:area1", "a:area2", "c:area2", "d:area2"}));
  EXPECT_TRUE(MailMan::Instance().Validate());
}

TEST_F(PostOffice, NullMailIsIgnored) {
  Listener box("a", &m_Log);
  MailMan::Instance().Post(nullptr);
  Msg::Send(nullptr);
  EXPECT_EQ(MailMan::Instance().Queued(), 0u);
  MailMan::Instance().Deliver();
  EXPECT_TRUE(m_Log.empty());
}
