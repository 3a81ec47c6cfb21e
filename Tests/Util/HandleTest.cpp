#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Support/AssertRecorder.h"
#include "Util/Allocator.h"
#include "Util/Handle.h"

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

}  // namespace

TEST(Handle, BuiltFromNullIsNotValidButCountsOneReference) {
  Testing::AssertRecorder recorder;
  {
    WitnessHandle h(nullptr);
    EXPECT_FALSE(h.IsValid());
    EXPECT_EQ(h.References(), 1u);
    WitnessHandle copy(h);
    EXPECT_EQ(h.References(), 2u);
  }
  EXPECT_EQ(recorder.Count(), 0u);
}

TEST(Handle, CopiesKeepTheObjectAliveUntilTheLastGoes) {
  int deaths = 0;
  auto* first = new WitnessHandle(new Witness(&deaths));
  {
    WitnessHandle a(*first), b(*first);
    WitnessHandle c;
    c = b;
    EXPECT_EQ(first->References(), 4u);
  }
  EXPECT_EQ(deaths, 0);
  EXPECT_EQ(first->References(), 1u);
  EXPECT_EQ((*first)->m_Value, 42);
  delete first;
  EXPECT_EQ(deaths, 1);
}

TEST(Handle, AssigningToItselfOrToASharerChangesNothing) {
  int deaths = 0;
  WitnessHandle h(new Witness(&deaths));
  WitnessHandle sharer(h);
  WitnessHandle& alias = h;
  h = alias;
  h = sharer;
  sharer = h;
  EXPECT_EQ(h.References(), 2u);
  EXPECT_EQ(deaths, 0);
  EXPECT_TRUE(h.IsValid());
}

TEST(Handle, ReassignmentReleasesTheOldObject) {
  int deathsA = 0, deathsB = 0;
  WitnessHandle h(new Witness(&deathsA));
  WitnessHandle other(new Witness(&deathsB));
  h = other;
  EXPECT_EQ(deathsA, 1);
  EXPECT_EQ(deathsB, 0);
  EXPECT_EQ(other.References(), 2u);
  h = WitnessHandle();
  EXPECT_EQ(h.References(), 0u);
  EXPECT_FALSE(h.IsValid());
  EXPECT_EQ(other.References(), 1u);
}

TEST(Handle, DereferencingAnEmptyHandleIsReportedAndGivesNull) {
  Testing::AssertRecorder recorder;
  WitnessHandle empty;
  EXPECT_EQ(empty.Get(), nullptr);
  ASSERT_EQ(recorder.Comments(), std::vector<std::string>{"Dereferencing a NULL handle"});
  EXPECT_NE(recorder.Texts()[0].find("Assert \"m_objInst != 0\" failed"), std::string::npos);
  EXPECT_NE(recorder.Texts()[0].find("File: Source\\Util\\util_handle"), std::string::npos);

  recorder.Clear();
  WitnessHandle nothing(nullptr);
  EXPECT_EQ(nothing.operator->(), nullptr);
  EXPECT_EQ(recorder.Comments(), std::vector<std::string>{"Handle has a NULL pointer for data"});
}

TEST(Handle, LastHandleToAPooledObjectReturnsItsBlock) {
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
