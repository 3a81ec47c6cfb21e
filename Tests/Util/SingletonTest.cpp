#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Support/AssertRecorder.h"
#include "Util/Singleton.h"

namespace {

int g_Alive = 0;

class Explicit : public Util::Singleton<Explicit> {
 public:
  int value = 0;

 private:
  friend class Util::Singleton<Explicit>;
  Explicit() : Singleton(true) { ++g_Alive; }
  ~Explicit() override { --g_Alive; }
};

class Automatic : public Util::Singleton<Automatic> {
 private:
  friend class Util::Singleton<Automatic>;
  Automatic() : Singleton(false) { ++g_Alive; }
  ~Automatic() override { --g_Alive; }
};

// Its constructor asks for its own instance once, so two instances compete for the one record.
class Reentrant : public Util::Singleton<Reentrant> {
 public:
  static int constructed;
  static Reentrant* inner;

 private:
  friend class Util::Singleton<Reentrant>;
  Reentrant() : Singleton(true) {
    if (++constructed == 1) inner = &Instance();
  }
};
int Reentrant::constructed = 0;
Reentrant* Reentrant::inner = nullptr;

class Forgotten : public Util::Singleton<Forgotten> {
 private:
  friend class Util::Singleton<Forgotten>;
  Forgotten() : Singleton(true) {}
};

}  // namespace

TEST(Singleton, InstanceIsCreatedOnceOnFirstUseAndAfterAnExplicitDestroyAFreshOne) {
  Testing::AssertRecorder recorder;
  Explicit::Destroy();  // never created: nothing
  Automatic::Destroy();
  EXPECT_EQ(g_Alive, 0);
  EXPECT_FALSE(Explicit::Exists());
  Explicit& a = Explicit::Instance();
  a.value = 7;
  EXPECT_TRUE(Explicit::Exists());
  EXPECT_EQ(&Explicit::Instance(), &a);
  EXPECT_EQ(Explicit::Instance().value, 7);
  EXPECT_EQ(g_Alive, 1);
  Explicit::Destroy();
  EXPECT_EQ(g_Alive, 0);
  EXPECT_FALSE(Explicit::Exists());
  EXPECT_EQ(Explicit::Instance().value, 0);
  Explicit::Destroy();
  EXPECT_EQ(recorder.Count(), 0u);
}

TEST(Singleton, ExplicitlyDestroyingAnAutomaticOneIsReportedButStillDeletes) {
  Testing::AssertRecorder recorder;
  Automatic::Instance();
  Automatic::Destroy();
  EXPECT_EQ(recorder.Heads(), std::vector<std::string>{Testing::AssertRecorder::Head(
                                  "record.m_ExplicitDelete == true",
                                  "Somebody is explicitly destroying a singleton when they shouldn't be.",
                                  "Source\\Util\\util_singleton")});
  EXPECT_FALSE(Automatic::Exists());
  EXPECT_EQ(g_Alive, 0);
}

TEST(Singleton, ASecondInstanceForTheSameRecordIsReportedAndReplacesTheFirst) {
  Testing::AssertRecorder recorder;
  Reentrant& r = Reentrant::Instance();
  EXPECT_EQ(Reentrant::constructed, 2);
  EXPECT_TRUE(recorder.Saw("Assigning a new singleton to a SingletonDestructor that is already in use"));
  EXPECT_EQ(&Reentrant::Instance(), &r);
  EXPECT_NE(Reentrant::inner, &r);
  Reentrant::Destroy();
  // The replaced instance is nobody's any more; the test deletes it through the virtual base.
  delete static_cast<Util::Singleton<Reentrant>*>(Reentrant::inner);
}

// The default handler prints to standard error; the record's teardown at exit must report an
// explicit one still alive and delete an automatic one quietly.
TEST(SingletonDeathTest, AtExitAnExplicitOneAliveIsReportedAndAnAutomaticOneGoesQuietly) {
  EXPECT_EXIT(
      {
        Util::SetAssertHandler(nullptr);
        Forgotten::Instance();
        std::exit(0);
      },
      testing::ExitedWithCode(0), "Somebody forgot to explicitly destroy a singleton when they should have.");
  EXPECT_EXIT(
      {
        Util::SetAssertHandler(nullptr);
        Automatic::Instance();
        std::fprintf(stderr, "clean");
        std::exit(0);
      },
      testing::ExitedWithCode(0), "^clean$");
}
