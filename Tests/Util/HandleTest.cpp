#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Support/AssertRecorder.h"
#include "Util/Allocator.h"
#include "Util/Handle.h"

using Testing::AssertRecorder;
using Texts = std::vector<std::string>;

namespace {

// Reports its own destruction, so a test sees exactly when the last handle lets go.
class Witness {
 public:
  explicit Witness(int* deaths) : m_Deaths(deaths) {}
  virtual ~Witness() { ++*m_Deaths; }
  int m_Value = 42;

 private:
  int* m_Deaths;
};

class PooledWitness : public Witness, public Util::Pooled<PooledWitness> {
 public:
  using Witness::Witness;
  char m_Payload[300];
};

using WitnessHandle = Util::Handle<Witness>;

// No assertion may fail unless a test clears what it expected.
class Handle : public testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(m_Asserts.Texts(), Texts{}); }
  AssertRecorder m_Asserts;
};

}  // namespace

TEST_F(Handle, BuiltFromNullIsNotValidButCountsOneReference) {
  WitnessHandle h(nullptr);
  EXPECT_FALSE(h.IsValid());
  EXPECT_EQ(h.References(), 1u);
  WitnessHandle copy(h);
  EXPECT_EQ(h.References(), 2u);
}

TEST_F(Handle, CopiesKeepTheObjectAliveUntilTheLastGoes) {
  int deaths = 0;
  auto* first = new WitnessHandle(new Witness(&deaths));
  {
    WitnessHandle a(*first), b(*first), c;
    c = b;
    EXPECT_EQ(first->References(), 4u);
  }
  EXPECT_EQ(deaths, 0);
  EXPECT_EQ(first->References(), 1u);
  EXPECT_EQ((*first)->m_Value, 42);
  delete first;
  EXPECT_EQ(deaths, 1);
}

TEST_F(Handle, AssigningToItselfOrASharerChangesNothingAndAnotherObjectReleasesTheOld) {
  int deathsA = 0, deathsB = 0;
  WitnessHandle h(new Witness(&deathsA));
  WitnessHandle sharer(h);
  WitnessHandle& alias = h;
  h = alias;
  h = sharer;
  sharer = h;
  EXPECT_EQ(h.References(), 2u);
  EXPECT_EQ(deathsA, 0);
  EXPECT_TRUE(h.IsValid());

  WitnessHandle other(new Witness(&deathsB));
  h = other;
  sharer = other;
  EXPECT_EQ(deathsA, 1);
  EXPECT_EQ(deathsB, 0);
  EXPECT_EQ(other.References(), 3u);
  h = WitnessHandle();
  EXPECT_EQ(h.References(), 0u);
  EXPECT_FALSE(h.IsValid());
  EXPECT_EQ(other.References(), 2u);
}

TEST_F(Handle, DereferencingAnEmptyHandleIsReportedAndGivesNull) {
  WitnessHandle empty;
  WitnessHandle nothing(nullptr);
  EXPECT_EQ(empty.Get(), nullptr);
  EXPECT_EQ(nothing.operator->(), nullptr);
  EXPECT_EQ(m_Asserts.Heads(),
            (Texts{AssertRecorder::Head("m_objInst != 0", "Dereferencing a NULL handle", "Source\\Util\\util_handle"),
                   AssertRecorder::Head("m_objInst->object != 0", "Handle has a NULL pointer for data",
                                        "Source\\Util\\util_handle")}));
  m_Asserts.Clear();
}

TEST_F(Handle, LastHandleToAPooledObjectReturnsItsBlock) {
  auto& pool = Util::Allocator<sizeof(PooledWitness)>::Instance();
  const uint32_t inUse = pool.Stats().ObjectsInUse_;
  int deaths = 0;
  {
    Util::Handle<PooledWitness> h(new PooledWitness(&deaths));
    Util::Handle<PooledWitness> kept(h);
    EXPECT_EQ(pool.Stats().ObjectsInUse_, inUse + 1);
  }
  EXPECT_EQ(deaths, 1);
  EXPECT_EQ(pool.Stats().ObjectsInUse_, inUse);
}
