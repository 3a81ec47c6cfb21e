#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "Support/AssertRecorder.h"
#include "Support/TempTree.h"
#include "Util/BinaryStream.h"

using Testing::AssertRecorder;
using Util::BinaryStream;
using Texts = std::vector<std::string>;

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

// No assertion may fail unless a test clears what it expected.
class BinaryStreams : public testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(m_Asserts.Texts(), Texts{}); }
  Testing::TempTree m_Tree;
  AssertRecorder m_Asserts;
};

}  // namespace

TEST_F(BinaryStreams, ValuesAreTheirRawLittleEndianBytesBackToBack) {
  {
    BinaryStream out(BinaryStream::WRITE, "../../Assets/one.bin");
    int32_t one = 1;
    out.Transfer(one);
    out.Write(1.0f);
  }
  EXPECT_EQ(m_Tree.Read("Assets/one.bin"), std::string("\x01\x00\x00\x00\x00\x00\x80\x3F", 8));
}

TEST_F(BinaryStreams, ReadingWithTheSameTransfersRestoresEveryValueBitForBit) {
  Baked saved, loaded;
  std::memset(&saved, 0xA5, sizeof saved);  // padding bytes too, so the images compare whole
  std::memset(&loaded, 0xA5, sizeof loaded);
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
  BinaryStream in(BinaryStream::READ, "../../ASSETS/Baked.bin");
  TransferBaked(in, loaded);
  EXPECT_EQ(std::memcmp(&saved, &loaded, sizeof saved), 0);
}

TEST_F(BinaryStreams, TransfersAgainstTheDirectionAreReportedAndMoveNothing) {
  m_Tree.Write("Assets/two.bin", std::string("\x07\x00\x00\x00\x09\x00\x00\x00", 8));
  int32_t first = 7, second = 0, untouched = 5;
  {
    BinaryStream in(BinaryStream::READ, "../../Assets/two.bin");
    in.Write(first);
    in.Read(first);  // the failed write left the stream readable
    in.Transfer(second);
    BinaryStream out(BinaryStream::WRITE, "../../Assets/out.bin");
    out.Read(untouched);
    out.Write(int32_t{2});  // the failed read left the stream writable
  }
  EXPECT_EQ(
      m_Asserts.Heads(),
      (Texts{AssertRecorder::Head("m_ReadWrite == WRITE", "Trying to write to a binary stream that is open for reading",
                                  "Source\\Util\\util_binaryio"),
             AssertRecorder::Head("m_ReadWrite == READ", "Trying to read from a binary stream that is open for writing",
                                  "Source\\Util\\util_binaryio")}));
  m_Asserts.Clear();
  EXPECT_EQ(std::make_tuple(first, second, untouched), std::make_tuple(7, 9, 5));
  EXPECT_EQ(m_Tree.Read("Assets/two.bin").size(), 8u);
  EXPECT_EQ(m_Tree.Read("Assets/out.bin"), std::string("\x02\x00\x00\x00", 4));
}

TEST_F(BinaryStreams, AFileThatCannotBeOpenedIsReportedAndLeavesValuesAlone) {
  BinaryStream in(BinaryStream::READ, "../../Assets/absent.bin");
  EXPECT_FALSE(in.IsOpen());
  double value = 4.5;
  float values[2] = {1.0f, 2.0f};
  in.Transfer(value);
  in.ReadArray(values, 2);
  EXPECT_EQ(value, 4.5);
  EXPECT_EQ(values[1], 2.0f);
  EXPECT_EQ(m_Asserts.Heads(), Texts{AssertRecorder::Head("m_File.is_open()", "../../Assets/absent.bin failed to open",
                                                          "..\\..\\Source\\Util\\util_binaryio")});
  m_Asserts.Clear();
}
