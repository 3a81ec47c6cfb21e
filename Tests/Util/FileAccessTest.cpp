#include "Util/FileAccess.h"

#include <gmock/gmock.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "Support/Printed.h"
#include "Support/TempTree.h"

using Testing::Printed;
using Util::PackDirectory;
using Texts = std::vector<std::string>;

namespace {

std::string U32(uint32_t value) {
  std::string bytes;
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>(value >> (8 * i)));
  return bytes;
}

std::string Header(uint32_t sizeField, uint32_t count) {
  return "horf" + U32(sizeField) + U32(count) + std::string(16, '\0');
}

std::string Entry(uint32_t offset, uint32_t size, const std::string& path) {
  return U32(offset) + U32(size) + path + std::string(260 - path.size() + 20, '\0');
}

// This program checks one run's archive at a time; its own exit writes none.
class FileAccess : public testing::Test {
 protected:
  void SetUp() override { PackDirectory::Instance().Reset(); }
  void TearDown() override { PackDirectory::Instance().Reset(); }
  Texts Paths() const { return PackDirectory::Instance().Paths(); }
  Testing::TempTree m_Tree;
};

}  // namespace

// The archive is written to a new file beside the previous one, which is replaced only then.
TEST_F(FileAccess, TheArchiveHoldsEveryDistinctPathOnceInOrderOfFirstOpeningWithItsBytesPadded) {
  const struct {
    std::string path, bytes;
    uint32_t size;  // padded
  } files[] = {
      {"empty", "", 8},        {"missing", "", 8},     {"four", "\x01\x02\x03\x04", 12}, {"seven", "ab\r\ncd\n", 12},
      {"XML/a", "<a/>\n", 12}, {"Xml/a", "<a/>\n", 12}};
  for (int i : {0, 2, 3, 5}) m_Tree.Write("Assets/" + files[i].path, files[i].bytes);
  m_Tree.Write("Assets/Packed.BIN", "previous pack");
  std::ifstream previous(m_Tree.Root() + "/Assets/Packed.BIN");  // open from before the write
  auto path = [&](int i) { return "../../Assets/" + files[i].path; };
  size_t length = 0;
  Util::LoadBinaryFile(path(0).c_str(), length);
  Util::LoadTextFile(path(1).c_str());
  Util::LoadBinaryFile(path(2).c_str(), length);
  Util::LoadBinaryFile(path(2).c_str(), length);  // known already
  Util::OpenAssetFile(path(3).c_str(), "rb");
  Util::OpenFileWithSize(path(4).c_str(), length);  // the folder on disk is Xml
  Util::LoadTextFile(path(5).c_str());
  ASSERT_TRUE(Util::WriteAssetPack());
  std::string directory, data;
  uint32_t offset = 28 + 6 * 288;
  for (const auto& f : files) {
    directory += Entry(offset, f.size, "../../Assets/" + f.path);
    data += f.bytes + std::string(f.size - f.bytes.size(), '\0');  // raw bytes, line ends as they are
    offset += f.size;
  }
  EXPECT_EQ(m_Tree.Read("Assets/Packed.BIN"), Header(12 + offset, 6) + directory + data);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(previous), {}), "previous pack");  // never cut in place
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_Tree.Root() + "/Assets"), {}), 5);
  // Writing released the directory: a run that loaded nothing has the header alone.
  ASSERT_TRUE(Util::WriteAssetPack());
  EXPECT_EQ(m_Tree.Read("Assets/Packed.BIN"), Header(28, 0));
  EXPECT_EQ(Printed([] { EXPECT_FALSE(Util::WriteAssetPack("../../no/such/folder/Packed.BIN")); }),
            "failed to open file for write.\n");
  EXPECT_FALSE(m_Tree.Exists("no"));
}

TEST_F(FileAccess, AProgramThatAsksForTheArchiveWritesItAtItsNormalExit) {
  m_Tree.Write("Assets/four.bin", "1234");
  EXPECT_EXIT(
      {
        PackDirectory::Instance().SetWriteAtExit(true);  // the game does; test programs do not
        size_t length = 0;
        Util::LoadBinaryFile("../../Assets/four.bin", length);
        std::exit(0);
      },
      testing::ExitedWithCode(0), "");
  EXPECT_EQ(m_Tree.Read("Assets/Packed.BIN"),
            Header(12 + 328, 1) + Entry(316, 12, "../../Assets/four.bin") + "1234" + std::string(8, '\0'));
}

TEST_F(FileAccess, LoadersGiveTheBytesAndANulTextWithoutTheCarriageReturnOfEachPairAndStreamsAtTheStart) {
  m_Tree.Write("Assets/windows.txt", "one\r\ntwo\r\nlone\rcr\r");
  m_Tree.Write("Assets/data.bin", std::string("\x00\xFF\r\n\x7F", 5));
  m_Tree.Write("Assets/empty.txt", "");
  size_t length = 99;
  std::unique_ptr<char[]> got = Util::LoadTextFile("../../Assets/windows.txt", &length);
  EXPECT_EQ(std::string(got.get(), length + 1), std::string("one\ntwo\nlone\rcr\r", 17));
  got = Util::LoadBinaryFile("../../Assets/data.bin", length);
  EXPECT_EQ(std::string(got.get(), length + 1), std::string("\x00\xFF\r\n\x7F", 6));
  EXPECT_EQ(Util::LoadTextFile("../../Assets/empty.txt", &length), nullptr);
  EXPECT_EQ(length, 0u);
  length = 7;
  EXPECT_EQ(Util::LoadBinaryFile("../../Assets/none.bin", length), nullptr);
  EXPECT_EQ(length, 0u);
  const Util::FilePtr file = Util::OpenFileWithSize("../../Assets/data.bin", length);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(length, 5u);
  EXPECT_EQ(std::fgetc(file.get()), 0);
  EXPECT_EQ(Util::OpenFileWithSize("../../Assets/none.bin", length), nullptr);
  EXPECT_EQ(length, 5u);  // left alone
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

TEST_F(FileAccess, PathsOpenAsWrittenThenWithBackslashesThenIgnoringCaseAndEachSpellingIsItsOwnEntry) {
  m_Tree.Write("Assets/Xml/entities/Lantern.xml", "lantern");
  m_Tree.Write("Assets/XML/entities/Lantern.xml", "upper");
  const Texts spellings = {"..\\..\\Assets\\Xml\\entities\\Lantern.xml", "../../assets/xml/ENTITIES/LANTERN.xml",
                           "../../Assets/XML/entities/Lantern.xml"};
  // A spelling that exists as written wins; ignoring case, the smallest of the names that match.
  const Texts found = {"lantern", "upper", "upper"};
  for (size_t i = 0; i < spellings.size(); ++i)
    EXPECT_STREQ(Util::LoadTextFile(spellings[i].c_str()).get(), found[i].c_str()) << spellings[i];
  EXPECT_EQ(Paths(), spellings);
  // A file still to be created lands in the folders that exist, whatever their case.
  EXPECT_EQ(Util::ResolvePath("..\\..\\Assets\\xml\\entities\\New.xml"), "../../Assets/XML/entities/New.xml");
  EXPECT_EQ(Util::ResolvePath("../../Assets/Sounds/New.wav"), "../../Assets/Sounds/New.wav");
}

TEST_F(FileAccess, PathsTooLongForAnArchiveEntryAreOpenedAndLeftOutOfThePackWithOneLine) {
  const std::string fits = "../../Assets/" + std::string(246, 'f');
  const std::string tooLong = "../../Assets/" + std::string(247, 'l');
  m_Tree.Write(fits.substr(6), "fits");
  m_Tree.Write(tooLong.substr(6), "long");
  const std::string out = Printed([&] {
    EXPECT_STREQ(Util::LoadTextFile(fits.c_str()).get(), "fits");
    for (int i = 0; i < 2; ++i) EXPECT_STREQ(Util::LoadTextFile(tooLong.c_str()).get(), "long");
  });
  EXPECT_THAT(out, testing::HasSubstr("a path of 260 characters"));
  EXPECT_THAT(out, testing::HasSubstr(tooLong));
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1);
  EXPECT_EQ(Paths(), Texts{fits});
}

TEST_F(FileAccess, TwoThreadsRegisteringAtOnceLoseNoPathAndDuplicateNone) {
  auto load = [](const std::string& prefix) {
    size_t length = 0;
    Util::LoadBinaryFile(("../../Assets/" + prefix).c_str(), length);  // loaders register as below
    for (int i = 0; i < 50000; ++i) {
      PackDirectory::Instance().Register(("../../Assets/" + prefix + std::to_string(i)).c_str());
      PackDirectory::Instance().Register("../../Assets/shared");
    }
  };
  std::thread worker(load, "worker");
  load("main");
  worker.join();
  Texts paths = Paths();
  std::sort(paths.begin(), paths.end());
  EXPECT_EQ(paths.size(), 100003u);
  EXPECT_EQ(std::adjacent_find(paths.begin(), paths.end()), paths.end());
}
