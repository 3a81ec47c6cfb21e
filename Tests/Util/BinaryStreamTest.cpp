#include "Util/BinaryStream.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "Support/AssertRecorder.h"
#include "Support/TempTree.h"

using Testing::AssertRecorder;
using Util::BinaryStream;
using Texts = std::vector<std::string>;

// Reading is checked below with the misuses; structures and arrays read back bit for bit in the
// physics tests of stored hulls.
TEST(BinaryStreams, ValuesAreTheirRawLittleEndianBytesBackToBack) {
  Testing::TempTree tree;
  AssertRecorder recorder;
  int32_t one = 1;
  float unit = 1.0f;
  {
    BinaryStream out(BinaryStream::WRITE, "..\\..\\Assets\\one.bin");
    out.Transfer(one);
    out.Write(unit);
  }
  EXPECT_EQ(tree.Read("Assets/one.bin"), std::string("\x01\x00\x00\x00\x00\x00\x80\x3F", 8));
  EXPECT_EQ(recorder.Count(), 0u);
}

TEST(BinaryStreams, AFileThatCannotBeOpenedOrATransferAgainstTheDirectionIsReportedAndMovesNothing) {
  Testing::TempTree tree;
  AssertRecorder recorder;
  tree.Write("Assets/two.bin", std::string("\x07\x00\x00\x00\x09\x00\x00\x00", 8));
  int32_t values[3] = {0, 0, 5};
  {
    BinaryStream in(BinaryStream::READ, "../../ASSETS/Two.bin");
    in.Write(values[0]);
    in.Read(values[0]);  // the failed write left the stream readable
    in.Transfer(values[1]);
    BinaryStream out(BinaryStream::WRITE, "../../Assets/out.bin");
    out.Read(values[2]);
    out.Write(int32_t{2});  // the failed read left the stream writable
    BinaryStream(BinaryStream::READ, "../../Assets/absent.bin").Transfer(values[2]);
  }
  const char* file = "Source\\Util\\util_binaryio";
  EXPECT_EQ(recorder.Heads(),
            (Texts{AssertRecorder::Head("m_ReadWrite == WRITE",
                                        "Trying to write to a binary stream that is open for reading", file),
                   AssertRecorder::Head("m_ReadWrite == READ",
                                        "Trying to read from a binary stream that is open for writing", file),
                   AssertRecorder::Head("m_File.is_open()", "../../Assets/absent.bin failed to open",
                                        "..\\..\\Source\\Util\\util_binaryio")}));
  EXPECT_EQ(std::vector<int32_t>(values, values + 3), (std::vector<int32_t>{7, 9, 5}));
  EXPECT_EQ(tree.Read("Assets/two.bin").size(), 8u);
  EXPECT_EQ(tree.Read("Assets/out.bin"), std::string("\x02\x00\x00\x00", 4));
}
