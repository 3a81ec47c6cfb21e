#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "Support/AssertRecorder.h"
#include "Support/TempTree.h"
#include "Util/BinaryStream.h"

using Util::BinaryStream;

namespace {

struct Shape {
  int32_t kind;
  float radius;
  double mass;
  uint8_t flags;  // followed by padding, stored as it lies in memory
};

struct Baked {
  Shape shape;
  uint32_t count;
  float heights[5];
  int16_t last;
};

// One routine saves and loads, as the stream's mode says.
void TransferBaked(BinaryStream& stream, Baked& baked) {
  stream.Transfer(baked.shape);
  stream.Transfer(baked.count);
  stream.TransferArray(baked.heights, baked.count);
  stream.Transfer(baked.last);
}

class BinaryStreams : public testing::Test {
 protected:
  Testing::TempTree m_Tree;
  Testing::AssertRecorder m_Asserts;
};

}  // namespace

TEST_F(BinaryStreams, ValuesAreTheirRawLittleEndianBytesBackToBack) {
  {
    BinaryStream out(BinaryStream::WRITE, "../../Assets/one.bin");
    int32_t one = 1;
    float unit = 1.0f;
    out.Transfer(one);
    out.Write(unit);
  }
  EXPECT_EQ(m_Tree.Read("Assets/one.bin"), std::string("\x01\x00\x00\x00\x00\x00\x80\x3F", 8));
  EXPECT_EQ(m_Asserts.Count(), 0u);
}

TEST_F(BinaryStreams, ReadingWithTheSameTransfersRestoresEveryValueBitForBit) {
  Baked saved;
  std::memset(&saved, 0xA5, sizeof saved);  // padding bytes too, so the images compare whole
  saved.shape = {3, 0.25f, -1e300, 0x81};
  saved.count = 4;
  const float heights[4] = {0.0f, -0.0f, 1e-40f, 3.5f};
  std::memcpy(saved.heights, heights, sizeof heights);
  saved.last = -2;
  {
    BinaryStream out(BinaryStream::WRITE, "..\\..\\Assets\\baked.bin");
    TransferBaked(out, saved);
  }
  EXPECT_EQ(m_Tree.Read("Assets/baked.bin").size(), sizeof(Shape) + 4 + 4 * sizeof(float) + 2);

  Baked loaded;
  std::memset(&loaded, 0xA5, sizeof loaded);
  BinaryStream in(BinaryStream::READ, "../../ASSETS/Baked.bin");
  TransferBaked(in, loaded);
  EXPECT_EQ(std::memcmp(&saved, &loaded, sizeof saved), 0);
  EXPECT_EQ(m_Asserts.Count(), 0u);
}

TEST_F(BinaryStreams, TransfersAgainstTheDirectionAreReportedAndMoveNothing) {
  m_Tree.Write("Assets/two.bin", std::string("\x07\x00\x00\x00\x09\x00\x00\x00", 8));
  BinaryStream in(BinaryStream::READ, "../../Assets/two.bin");
  int32_t value = 7;
  in.Write(value);
  ASSERT_EQ(m_Asserts.Count(), 1u);
  EXPECT_EQ(m_Asserts.Texts()[0].find("Assert \"m_ReadWrite == WRITE\" failed\n"
                                      "Comment: Trying to write to a binary stream that is open for reading\n"
                                      "File: Source\\Util\\util_binaryio\n"),
            0u);
  int32_t first = 0, second = 0;
  in.Read(first);
  in.Transfer(second);
  EXPECT_EQ(first, 7);
  EXPECT_EQ(second, 9);
  EXPECT_EQ(m_Tree.Read("Assets/two.bin").size(), 8u);

  m_Asserts.Clear();
  {
    BinaryStream out(BinaryStream::WRITE, "../../Assets/out.bin");
    int32_t untouched = 5;
    out.Read(untouched);
    EXPECT_EQ(untouched, 5);
    EXPECT_EQ(m_Asserts.Comments(),
              std::vector<std::string>{"Trying to read from a binary stream that is open for writing"});
    out.Write(int32_t{2});  // the failed read left the stream writable
  }
  EXPECT_EQ(m_Tree.Read("Assets/out.bin"), std::string("\x02\x00\x00\x00", 4));
}

TEST_F(BinaryStreams, AFileThatCannotBeOpenedIsReportedAndLeavesValuesAlone) {
  BinaryStream in(BinaryStream::READ, "../../Assets/absent.bin");
  EXPECT_FALSE(in.IsOpen());
  ASSERT_EQ(m_Asserts.Count(), 1u);
  EXPECT_EQ(m_Asserts.Texts()[0].find("Assert \"m_File.is_open()\" failed\n"
                                      "Comment: ../../Assets/absent.bin failed to open\n"
                                      "File: ..\\..\\Source\\Util\\util_binaryio\n"),
            0u);
  double value = 4.5;
  float values[2] = {1.0f, 2.0f};
  in.Transfer(value);
  in.ReadArray(values, 2);
  EXPECT_EQ(value, 4.5);
  EXPECT_EQ(values[1], 2.0f);
  EXPECT_EQ(m_Asserts.Count(), 1u);
}
