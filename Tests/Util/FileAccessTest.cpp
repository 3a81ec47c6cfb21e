#include <gmock/gmock.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "Support/Printed.h"
#include "Support/TempTree.h"
#include "Util/FileAccess.h"

using testing::HasSubstr;
using Testing::Printed;
using Util::PackDirectory;

namespace {

// This program checks one run's archive at a time; its own exit writes none.

std::string U32(uint32_t value) {
  std::string bytes;
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>(value >> (8 * i)));
  return bytes;
}

std::string Header(uint32_t sizeField, uint32_t count) {
  return "horf" + U32(sizeField) + U32(count) + std::string(16, '\0');
}

std::string Entry(uint32_t offset, uint32_t size, const std::string& path) {
  return U32(offset) + U32(size) + path + std::string(260 - path.size(), '\0') + std::string(20, '\0');
}

std::string Zeros(size_t n) { return std::string(n, '\0'); }

class FileAccess : public testing::Test {
 protected:
  void SetUp() override { PackDirectory::Instance().Reset(); }
  void TearDown() override { PackDirectory::Instance().Reset(); }

  std::vector<std::string> Paths() const { return PackDirectory::Instance().Paths(); }

  Testing::TempTree m_Tree;
};

}  // namespace

TEST_F(FileAccess, ArchiveHoldsEveryDistinctPathPaddedInOrderOfFirstOpening) {
  m_Tree.Write("Assets/empty.txt", "");
  m_Tree.Write("Assets/four.bin", std::string("\x01\x02\x03\x04", 4));
  m_Tree.Write("Assets/seven.bin", "abcdefg");
  m_Tree.Write("Assets/Xml/a.xml", "<a/>\n");
  m_Tree.Write("Assets/crlf.txt", "a\r\nb\r\n");

  size_t length = 0;
  Util::LoadBinaryFile("../../Assets/empty.txt", length);
  Util::LoadTextFile("../../Assets/missing.txt");
  Util::LoadBinaryFile("../../Assets/four.bin", length);
  Util::LoadBinaryFile("../../Assets/four.bin", length);  // known already
  Util::OpenAssetFile("../../Assets/seven.bin", "rb");
  Util::OpenFileWithSize("../../Assets/XML/a.xml", length);  // the folder on disk is Xml
  Util::LoadTextFile("../../Assets/Xml/a.xml");
  EXPECT_STREQ(Util::LoadTextFile("../../Assets/crlf.txt").get(), "a\nb\n");
  ASSERT_EQ(Paths().size(), 7u);

  ASSERT_TRUE(Util::WriteAssetPack());
  // Data begins at 28 + 7 × 288 = 2044; sizes are the length plus 8 − length mod 4.
  const std::string expected = Header(12 + 2120, 7) +                           //
                               Entry(2044, 8, "../../Assets/empty.txt") +       //
                               Entry(2052, 8, "../../Assets/missing.txt") +     //
                               Entry(2060, 12, "../../Assets/four.bin") +       //
                               Entry(2072, 12, "../../Assets/seven.bin") +      //
                               Entry(2084, 12, "../../Assets/XML/a.xml") +      //
                               Entry(2096, 12, "../../Assets/Xml/a.xml") +      //
                               Entry(2108, 12, "../../Assets/crlf.txt") +       //
                               Zeros(8) + Zeros(8) +                            //
                               std::string("\x01\x02\x03\x04", 4) + Zeros(8) +  //
                               "abcdefg" + Zeros(5) +                           //
                               "<a/>\n" + Zeros(7) + "<a/>\n" + Zeros(7) +      //
                               "a\r\nb\r\n" + Zeros(6);
  const std::string archive = m_Tree.Read("Assets/Packed.BIN");
  EXPECT_EQ(archive.size(), 2120u);
  EXPECT_EQ(archive, expected);

  // Writing releases the directory: a second archive is the header alone.
  EXPECT_TRUE(Paths().empty());
  ASSERT_TRUE(Util::WriteAssetPack());
  EXPECT_EQ(m_Tree.Read("Assets/Packed.BIN"), Header(28, 0));
}

TEST_F(FileAccess, AnArchiveThatCannotBeCreatedIsReportedAndNotWritten) {
  m_Tree.Write("Assets/four.bin", "1234");
  size_t length = 0;
  Util::LoadBinaryFile("../../Assets/four.bin", length);
  EXPECT_EQ(Printed([] { EXPECT_FALSE(Util::WriteAssetPack("../../no/such/folder/Packed.BIN")); }),
            "failed to open file for write.\n");
  EXPECT_FALSE(m_Tree.Exists("no"));
}

TEST_F(FileAccess, TheArchiveIsWrittenBesideThePreviousOneAndOnlyThenReplacesIt) {
  m_Tree.Write("Assets/Packed.BIN", "previous pack");
  std::ifstream previous(m_Tree.Root() + "/Assets/Packed.BIN");  // open from before the write
  ASSERT_TRUE(Util::WriteAssetPack());
  // The previous file was never truncated in place, and nothing is left beside the new one.
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(previous), {}), "previous pack");
  EXPECT_EQ(m_Tree.Read("Assets/Packed.BIN"), Header(28, 0));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_Tree.Root() + "/Assets"), {}), 1);
}

TEST_F(FileAccess, OnlyAProgramThatAsksForTheArchiveWritesItAtItsNormalExit) {
  m_Tree.Write("Assets/four.bin", "1234");
  for (bool asked : {false, true}) {
    EXPECT_EXIT(
        {
          if (asked) PackDirectory::Instance().SetWriteAtExit(true);  // the default is not to
          size_t length = 0;
          Util::LoadBinaryFile("../../Assets/four.bin", length);
          std::exit(0);
        },
        testing::ExitedWithCode(0), "");
    EXPECT_EQ(m_Tree.Exists("Assets/Packed.BIN"), asked);
  }
  EXPECT_EQ(m_Tree.Read("Assets/Packed.BIN"),
            Header(12 + 328, 1) + Entry(316, 12, "../../Assets/four.bin") + "1234" + Zeros(8));
}

TEST_F(FileAccess, TextLoadingDropsTheCarriageReturnOfEachPairAndEndsWithNul) {
  m_Tree.Write("Assets/windows.txt", "one\r\ntwo\r\nlone\rcr\r");
  size_t length = 99;
  const std::unique_ptr<char[]> text = Util::LoadTextFile("../../Assets/windows.txt", &length);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(std::string(text.get(), length + 1), std::string("one\ntwo\nlone\rcr\r", 17));
  EXPECT_EQ(length, 16u);

  m_Tree.Write("Assets/empty.txt", "");
  EXPECT_EQ(Util::LoadTextFile("../../Assets/empty.txt", &length), nullptr);
  EXPECT_EQ(length, 0u);
}

TEST_F(FileAccess, BinaryLoadingGivesTheBytesAndTheirLengthWithANulAfter) {
  const std::string bytes("\x00\xFF\r\n\x7F", 5);
  m_Tree.Write("Assets/data.bin", bytes);
  size_t length = 0;
  const std::unique_ptr<char[]> data = Util::LoadBinaryFile("../../Assets/data.bin", length);
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(length, 5u);
  EXPECT_EQ(std::string(data.get(), 6), bytes + '\0');

  length = 7;
  EXPECT_EQ(Util::LoadBinaryFile("../../Assets/none.bin", length), nullptr);
  EXPECT_EQ(length, 0u);
  length = 7;
  EXPECT_EQ(Util::LoadBinaryFile("../../Assets", length), nullptr);  // a folder is no file
  EXPECT_EQ(length, 0u);
}

TEST_F(FileAccess, StreamsOpenAtTheStartAndAMissingFileLeavesTheLengthAlone) {
  m_Tree.Write("Assets/seven.bin", "abcdefg");
  size_t length = 0;
  const Util::FilePtr file = Util::OpenFileWithSize("../../Assets/seven.bin", length);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(length, 7u);
  char first = 0;
  EXPECT_EQ(std::fread(&first, 1, 1, file.get()), 1u);
  EXPECT_EQ(first, 'a');

  length = 42;
  EXPECT_EQ(Util::OpenFileWithSize("../../Assets/none.bin", length), nullptr);
  EXPECT_EQ(length, 42u);

  // The mode passes through: a stream opened for writing creates the file.
  Util::FilePtr out = Util::OpenAssetFile("../../Assets/new.txt", "w");
  ASSERT_NE(out, nullptr);
  std::fputs("made", out.get());
  out.reset();
  EXPECT_EQ(m_Tree.Read("Assets/new.txt"), "made");
}

TEST_F(FileAccess, APipeADeviceOrAFolderIsNoAssetAndNeverHoldsUpTheLoadersOrTheArchive) {
  m_Tree.Write("Assets/folder/inside", "");
  ASSERT_EQ(::mkfifo((m_Tree.Root() + "/Assets/pipe").c_str(), 0600), 0);
  size_t length = 7;
  for (const char* path : {"../../Assets/pipe", "/dev/zero", "../../Assets/folder"}) {
    EXPECT_EQ(Util::LoadTextFile(path), nullptr) << path;
    EXPECT_EQ(Util::LoadBinaryFile(path, length), nullptr) << path;
    EXPECT_EQ(Util::OpenAssetFile(path, "rb"), nullptr) << path;
    EXPECT_EQ(Util::OpenAssetFile(path, "w"), nullptr) << path;
    EXPECT_EQ(Util::OpenFileWithSize(path, length), nullptr) << path;
  }
  ASSERT_TRUE(Util::WriteAssetPack());  // each listed without data
  EXPECT_EQ(m_Tree.Read("Assets/Packed.BIN").size(), 28 + 3 * (288 + 8u));
}

TEST_F(FileAccess, MissingFilesAreRegisteredButNullPathsAndRawReadsAreNot) {
  size_t length = 0;
  EXPECT_EQ(Util::LoadTextFile(nullptr), nullptr);
  EXPECT_EQ(Util::LoadBinaryFile(nullptr, length), nullptr);
  EXPECT_EQ(Util::OpenAssetFile(nullptr, "rb"), nullptr);
  EXPECT_EQ(Util::OpenFileWithSize(nullptr, length), nullptr);
  m_Tree.Write("Assets/raw.bin", "raw");
  EXPECT_STREQ(Util::ReadFileRaw("../../Assets/raw.bin", length).get(), "raw");
  EXPECT_TRUE(Paths().empty());

  Util::LoadTextFile("../../Assets/gone.lua");
  EXPECT_EQ(Paths(), std::vector<std::string>{"../../Assets/gone.lua"});
}

TEST_F(FileAccess, PathsOpenAsWrittenThenWithBackslashesThenIgnoringCase) {
  m_Tree.Write("Assets/Xml/entities/Lantern.xml", "lantern");
  const char* spellings[] = {
      "../../Assets/Xml/entities/Lantern.xml",
      "..\\..\\Assets\\Xml\\entities\\Lantern.xml",
      "..\\..\\Assets\\XML\\Entities\\lantern.XML",
      "../../assets/xml/ENTITIES/LANTERN.xml",
  };
  for (const char* path : spellings) {
    const std::unique_ptr<char[]> text = Util::LoadTextFile(path);
    ASSERT_NE(text, nullptr) << path;
    EXPECT_STREQ(text.get(), "lantern") << path;
  }
  // Each spelling is its own entry, kept byte for byte.
  EXPECT_EQ(Paths(), std::vector<std::string>(std::begin(spellings), std::end(spellings)));

  // A spelling that exists as written wins over one that only matches ignoring case.
  m_Tree.Write("Assets/XML/entities/Lantern.xml", "upper");
  EXPECT_STREQ(Util::LoadTextFile("../../Assets/XML/entities/Lantern.xml").get(), "upper");
  EXPECT_STREQ(Util::LoadTextFile("../../Assets/Xml/entities/Lantern.xml").get(), "lantern");

  // A file still to be created lands in the folders that exist, whatever their case.
  EXPECT_EQ(Util::ResolvePath("..\\..\\Assets\\xml\\entities\\New.xml"), "../../Assets/XML/entities/New.xml");
  EXPECT_EQ(Util::ResolvePath("../../Assets/Sounds/New.wav"), "../../Assets/Sounds/New.wav");
}

TEST_F(FileAccess, PathsTooLongForAnArchiveEntryAreOpenedAndLeftOutOfThePackWithOneLine) {
  const std::string folder = "../../Assets/";
  const std::string fits = folder + std::string(259 - folder.size(), 'f');
  const std::string tooLong = folder + std::string(260 - folder.size(), 'l');
  m_Tree.Write(fits.substr(6), "fits");
  m_Tree.Write(tooLong.substr(6), "long");

  size_t length = 5;
  const std::string out = Printed([&] {
    EXPECT_STREQ(Util::LoadTextFile(fits.c_str()).get(), "fits");
    EXPECT_STREQ(Util::LoadTextFile(tooLong.c_str()).get(), "long");
    EXPECT_NE(Util::OpenFileWithSize(tooLong.c_str(), length), nullptr);
  });
  EXPECT_EQ(length, 4u);
  EXPECT_THAT(out, HasSubstr("a path of 260 characters"));
  EXPECT_THAT(out, HasSubstr(tooLong));
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1);
  EXPECT_EQ(Paths(), std::vector<std::string>{fits});
}

TEST_F(FileAccess, TwoThreadsRegisteringAtOnceLoseNoPathAndDuplicateNone) {
  constexpr int kFiles = 200;
  auto load = [](const char* prefix) {
    size_t length = 0;
    for (int i = 0; i < kFiles; ++i) {
      Util::LoadBinaryFile(("../../Assets/" + std::string(prefix) + std::to_string(i)).c_str(), length);
      Util::LoadBinaryFile("../../Assets/shared", length);
    }
  };
  std::thread worker(load, "worker");
  load("main");
  worker.join();

  std::vector<std::string> paths = Paths();
  std::sort(paths.begin(), paths.end());
  EXPECT_EQ(paths.size(), 2u * kFiles + 1);
  EXPECT_EQ(std::adjacent_find(paths.begin(), paths.end()), paths.end());
}
