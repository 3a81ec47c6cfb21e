#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "Support/AssertRecorder.h"
#include "Support/TempTree.h"
#include "Util/FileAccess.h"
#include "Util/XmlReader.h"
#include "Util/XmlWriter.h"

using Util::XmlReader;
using Util::XmlWriter;
using Texts = std::vector<std::string>;

namespace {

class Xml : public testing::Test {
 protected:
  void SetUp() override { Util::PackDirectory::Instance().Reset(); }
  void TearDown() override {
    Util::PackDirectory::Instance().Reset();
    EXPECT_EQ(m_Asserts.Texts(), Texts{});
  }
  Testing::TempTree m_Tree;
  Testing::AssertRecorder m_Asserts;
};

}  // namespace

// The writer's names follow the same rule (see the writer's tests: "layout.txt", "values").
TEST(XmlFileName, ExtensionIsAppendedReplacedOrKeptAndTheLeadingDotsNeverCount) {
  const std::pair<const char*, const char*> names[] = {
      {"../../Assets/XML/tutorial", "../../Assets/XML/tutorial.xml"},
      {"../../Assets/XML/a.isl", "../../Assets/XML/a.xml"},
      {"../../Assets/XML/tutorial.xml", "../../Assets/XML/tutorial.xml"},
      {"ab.cd", "ab.cd.xml"},  // a dot before position 5
      {"abcde.cd", "abcde.xml"},
  };
  for (const auto& [given, used] : names) EXPECT_EQ(XmlReader(given).Path(), used);
}

TEST_F(Xml, MissingUnparsableOrTooDeepDocumentsAreReportedAlikeAndFindNothing) {
  m_Tree.Write("Assets/broken.xml", "<XMLRoot><a></XMLRoot>");
  m_Tree.Write("Assets/noelement.xml", "just words");
  m_Tree.Write("Assets/binary.xml", std::string("\x00\xFF<\x01", 4));
  ASSERT_EQ(::mkfifo((m_Tree.Root() + "/Assets/pipe.xml").c_str(), 0600), 0);  // never waited on
  auto nested = [](int depth) {
    std::string open, close;
    for (int i = 0; i < depth; ++i) open += "<a>", close += "</a>";
    return "<XMLRoot>" + open + close + "</XMLRoot>";
  };
  m_Tree.Write("Assets/deep.xml", nested(60000));   // refused before the parser recurses that deep
  m_Tree.Write("Assets/deepest.xml", nested(255));  // 256 levels, the root's included, are allowed
  m_Tree.Write("Assets/deeper.xml", nested(256));
  EXPECT_TRUE(XmlReader("../../Assets/deepest").Open());
  for (const char* name : {"missing", "broken", "noelement", "binary", "pipe", "deep", "deeper"}) {
    XmlReader reader(std::string("../../Assets/") + name);
    EXPECT_FALSE(reader.Open()) << name;
    EXPECT_EQ(m_Asserts.Heads(), Texts{Testing::AssertRecorder::Head(
                                     "false", "../../Assets/" + std::string(name) + ".xml failed to open for reading.",
                                     "..\\..\\Source\\Util\\util_xmlparser")});
    m_Asserts.Clear();
    EXPECT_FALSE(reader.FindChild("a"));  // nothing to walk, nothing to crash on
    EXPECT_FALSE(reader.Enter());
    reader.Leave();
    EXPECT_FALSE(reader.Next());
    EXPECT_EQ(reader.Get<float>("x"), 0.0f);
  }
  // The reader opens through the file layer, so its paths go into the asset pack.
  EXPECT_EQ(Util::PackDirectory::Instance().Paths().size(), 8u);
}

// How the cursor finds, enters and leaves elements is at work in every definition file read.
TEST_F(Xml, ElementNamesAreComparedByteForByteAndLeavingTheRootLeavesNothing) {
  m_Tree.Write("Assets/Xml/entity.xml", "<?xml version=\"1.0\"?>\r\n<XMLRoot>\r\n<visual/><Visual/>\r\n</XMLRoot>\r\n");
  XmlReader reader("..\\..\\Assets\\XML\\entity");
  ASSERT_TRUE(reader.Open());
  EXPECT_TRUE(reader.CurrentNameIs("XMLRoot"));
  EXPECT_FALSE(reader.FindChild("VISUAL"));
  EXPECT_TRUE(reader.FindChild("Visual"));  // past the lower-case sibling
  EXPECT_FALSE(reader.CurrentNameIs("visual"));
  reader.Leave();
  reader.Leave();  // out of the root
  EXPECT_FALSE(reader.HasCurrent());
  EXPECT_FALSE(reader.CurrentNameIs("XMLRoot"));
}

TEST_F(Xml, TheWriterIndentsTwoSpacesPerLevelClosesEverythingOpenAndReportsAFileItCannotCreate) {
  {
    XmlWriter writer("../../Assets/layout.txt");
    ASSERT_TRUE(writer.OpenFile());
    writer.OpenElement("Outer");
    writer.OpenElement("Inner");
    writer.CloseElement();
    writer.CloseElement();
    writer.OpenElement("Left");
    writer.OpenElement("Open");
  }  // the writer goes with two elements and the root still open
  EXPECT_EQ(m_Tree.Read("Assets/layout.xml"),
            "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<XMLRoot>\n  <Outer>\n    <Inner>\n    </Inner>\n  </Outer>\n"
            "  <Left>\n    <Open>\n    </Open>\n  </Left>\n</XMLRoot>");
  XmlWriter writer("../../no/such/folder/out");
  EXPECT_FALSE(writer.OpenFile());
  EXPECT_EQ(m_Asserts.Comments(), Texts{"../../no/such/folder/out.xml failed to open for writing."});
  m_Asserts.Clear();
  writer.OpenElement("Ignored");
  writer.WriteValue("x", 1.0f);
  writer.CloseFile();
  EXPECT_FALSE(m_Tree.Exists("no"));
}

TEST_F(Xml, WrittenValuesReadBackExactlyByTypeAndKeyAmongDirectChildrenAndMissingOnesReadAsZero) {
  const std::string awkward = "a < b & \"c\" > d";
  {
    XmlWriter writer("..\\..\\Assets\\values");
    ASSERT_TRUE(writer.OpenFile());
    writer.OpenElement("Shared");
    writer.WriteValue("mass", awkward);
    writer.WriteValue("mass", 1.0f / 3.0f);
    writer.WriteValue("ghost", true);
    writer.OpenElement("Inner");
    writer.WriteValue("y", 2.0f);
  }
  XmlReader reader("../../Assets/values.xml");
  ASSERT_TRUE(reader.Open());
  ASSERT_TRUE(reader.FindChild("Shared"));
  EXPECT_EQ(reader.Get<float>("mass"), 1.0f / 3.0f);  // the string of that name is another type
  EXPECT_EQ(reader.Get<std::string>("mass"), awkward);
  EXPECT_TRUE(reader.Get<bool>("ghost"));
  EXPECT_EQ(reader.Get<float>("y"), 0.0f);  // only direct children count
  double unreadable = 7.0;
  EXPECT_FALSE(reader.Read("absent", unreadable));
  EXPECT_EQ(unreadable, 7.0);  // untouched
}
