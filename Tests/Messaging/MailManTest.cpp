#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Messaging/Messages.h"
#include "Support/AssertRecorder.h"
#include "Support/Systems.h"

using Msg::MailMan;
using Log = std::vector<std::string>;
using AreaMessage = Util::Handle<Msg::gameAreaMsg>;

namespace {

// Logs the area messages and up vectors it receives as "name:area<n>" and "name:up"; a test may
// hang an action on the area handler, run after the log entry, or have it destroy itself on an
// area number.
struct Listener : Msg::MailBox {
  Listener(std::string name, Log* log) : m_Name(std::move(name)), m_Log(log) {}

  void Receive(const AreaMessage& message) override {
    m_Log->push_back(m_Name + ":area" + std::to_string(message->m_Area));
    if (m_OnArea) m_OnArea(message);
    if (message->m_Area == m_DieAt) delete this;
  }
  void Receive(const Util::Handle<Msg::cameraSetUpVecMsg>&) override { m_Log->push_back(m_Name + ":up"); }

  std::string m_Name;
  Log* m_Log;
  std::function<void(const AreaMessage&)> m_OnArea;
  int m_DieAt = -1;
};

uint32_t AreaMessagesInUse() { return Util::Allocator<sizeof(Msg::gameAreaMsg)>::Instance().Stats().ObjectsInUse_; }

class PostOffice : public testing::Test {
 protected:
  void TearDown() override { Testing::ShutDown<MailMan>(); }
  static void Post(int area) { MailMan::Instance().Post(new Msg::gameAreaMsg(area)); }
  static void Deliver() { MailMan::Instance().Deliver(); }

  Log m_Log;
};

}  // namespace

TEST_F(PostOffice, SentMailArrivesAtOncePostedMailAtTheNextDeliveryOnceInPostingOrderAndCreationOrder) {
  Listener first("a", &m_Log);
  Msg::MailBox quiet;  // keeps every default handler
  Listener second("b", &m_Log);
  Msg::Send(new Msg::cameraSetUpVecMsg(Msg::Vec3{0, 1, 0}));
  EXPECT_EQ(m_Log, (Log{"a:up", "b:up"}));
  EXPECT_FALSE(MailMan::Exists());  // sending needs no post office
  Post(1);
  Post(2);
  MailMan::Instance().Post(nullptr);  // null mail is ignored, posted or sent
  Msg::Send(nullptr);
  EXPECT_EQ(MailMan::Instance().Queued(), 2u);
  Deliver();
  Deliver();
  EXPECT_EQ(m_Log, (Log{"a:up", "b:up", "a:area1", "b:area1", "a:area2", "b:area2"}));
  EXPECT_EQ(MailMan::Instance().Queued(), 0u);
}

TEST_F(PostOffice, InsideADeliverySentMailArrivesAtOnceAndNewMailAndNewMailboxesWaitTheirTurn) {
  Listener box("a", &m_Log);
  std::unique_ptr<Listener> late;
  bool soundDuringDelivery = false;
  box.m_OnArea = [&](const AreaMessage& message) {
    if (message->m_Area != 1) return;
    Post(3);
    late = std::make_unique<Listener>("new", &m_Log);
    Deliver();  // leaves the running delivery alone
    Msg::Send(new Msg::cameraSetUpVecMsg(Msg::Vec3{0, 0, 1}));
    soundDuringDelivery = MailMan::Instance().IsDelivering() && MailMan::Instance().Validate();
  };
  Post(1);
  Post(2);
  Deliver();
  EXPECT_EQ(m_Log, (Log{"a:area1", "a:up", "new:up", "a:area2", "new:area2"}));
  EXPECT_TRUE(soundDuringDelivery);
  EXPECT_EQ(MailMan::Instance().Queued(), 1u);
  EXPECT_TRUE(MailMan::Instance().Validate());
  Deliver();
  EXPECT_EQ(m_Log.back(), "new:area3");
}

TEST_F(PostOffice, AMessageLivesWhileOfferedOrKeptAndUndeliveredMailIsDestroyedUnseen) {
  Testing::AssertRecorder recorder;
  const uint32_t inUse = AreaMessagesInUse();
  Listener box("a", &m_Log);
  Msg::MailBox after;  // the message is still alive when it is offered to the last mailbox
  AreaMessage kept;
  box.m_OnArea = [&](const AreaMessage& message) {
    if (message->m_Area == 7) kept = message;
  };
  Post(1);
  Post(7);
  Deliver();
  EXPECT_EQ(AreaMessagesInUse(), inUse + 1);  // only the kept one
  EXPECT_EQ(kept->m_Area, 7);
  kept = AreaMessage();
  EXPECT_EQ(AreaMessagesInUse(), inUse);

  m_Log.clear();
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

TEST_F(PostOffice, AMailboxDestroyedDuringABroadcastGetsNothingMoreAndTheRestStillDo) {
  Listener first("a", &m_Log);
  auto* second = new Listener("b", &m_Log);
  auto* third = new Listener("c", &m_Log);
  Listener fourth("d", &m_Log);
  first.m_OnArea = [&](const AreaMessage& message) {
    if (message->m_Area == 1) delete second;  // the next mailbox due
  };
  third->m_DieAt = 2;  // itself, in its own handler
  Post(1);
  Post(2);
  Deliver();
  EXPECT_EQ(m_Log, (Log{"a:area1", "c:area1", "d:area1", "a:area2", "c:area2", "d:area2"}));
  EXPECT_TRUE(MailMan::Instance().Validate());
}
