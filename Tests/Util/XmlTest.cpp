#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <string>
#include <vector>

#include "Support/AssertRecorder.h"
#include "Support/TempTree.h"
#include "Util/FileAccess.h"
#include "Util/XmlReader.h"
#include "Util/XmlWriter.h"

using Util::XmlReader;
using Util::XmlWriter;

namespace {

const char kEntityFile[] =
    "<?xml version=\"1.0\"?>\r\n"
    "<XMLRoot>\r\n"
    "  <Entity>\r\n"
    "    <string name=\"name\">Lantern</string>\r\n"
    "  </Entity>\r\n"
    "  <visual/>\r\n"
    "  <Visual kind=\"mesh\" name=\"gLantern\" lod=\"2\">\r\n"
    "    <string name=\"model\">Lantern.BIN</string>\r\n"
    "  </Visual>\r\n"
    "  <Physics>\r\n"
    "    <float name=\"inverse_mass\">0.5</float>\r\n"
    "    <string name=\"mass\">not the float</string>\r\n"
    "    <float name=\"mass\">2</float>\r\n"
    "    <bool name=\"ghost\">1</bool>\r\n"
    "    <int name=\"layer\">-3</int>\r\n"
    "    <double name=\"bad\">pi</double>\r\n"
    "    <Acceleration><float name=\"y\">-9.8</float></Acceleration>\r\n"
    "    <Hull/>\r\n"
    "  </Physics>\r\n"
    "  <Script/>\r\n"
    "</XMLRoot>\r\n";

class Xml : public testing::Test {
 protected:
  void SetUp() override {
    Util::PackDirectory::Instance().Reset();
    m_Tree.Write("Assets/entity.xml", kEntityFile);
  }
  void TearDown() override { Util::PackDirectory::Instance().Reset(); }

  Testing::TempTree m_Tree;
  Testing::AssertRecorder m_Asserts;
};

}  // namespace

TEST(XmlFileName, ExtensionIsAppendedReplacedOrKeptAndTheLeadingDotsNeverCount) {
  const std::pair<const char*, const char*> names[] = {
      {"../../Assets/XML/tutorial", "../../Assets/XML/tutorial.xml"},
      {"../../Assets/XML/tutorial.txt", "../../Assets/XML/tutorial.xml"},
      {"../../Assets/XML/tutorial.xml", "../../Assets/XML/tutorial.xml"},
      {"../../Assets/XML/tutorial.XML", "../../Assets/XML/tutorial.xml"},
      {"../../a", "../../a.xml"},
      {"ab.cd", "ab.cd.xml"},  // a dot before position 5
      {"abcde.cd", "abcde.xml"},
  };
  for (const auto& [given, used] : names) EXPECT_EQ(Util::XmlFileName(given), used) << given;
  EXPECT_EQ(XmlReader("../../Assets/XML/islands/a.isl").Path(), "../../Assets/XML/islands/a.xml");
  EXPECT_EQ(XmlWriter("../../Assets/tweakables").Path(), "../../Assets/tweakables.xml");
}

TEST_F(Xml, MissingOrUnparsableDocumentsAreReportedAlikeAndFindNothing) {
  m_Tree.Write("Assets/broken.xml", "<XMLRoot><a></XMLRoot>");
  m_Tree.Write("Assets/noelement.xml", "just words");
  m_Tree.Write("Assets/empty.xml", "");
  m_Tree.Write("Assets/binary.xml", std::string("\x00\xFF<\x01", 4));
  ASSERT_EQ(::mkfifo((m_Tree.Root() + "/Assets/pipe.xml").c_str(), 0600), 0);  // never waited on
  auto nested = [](int depth) {
    std::string open, close;
    for (int i = 0; i < depth; ++i) open += "<a>", close += "</a>";
    return "<XMLRoot>" + open + close + "</XMLRoot>";
  };
  m_Tree.Write("Assets/deep.xml", nested(60000));  // refused before the parser recurses that deep
  for (const char* name : {"missing", "broken", "noelement", "empty", "binary", "pipe", "deep"}) {
    m_Asserts.Clear();
    XmlReader reader(std::string("../../Assets/") + name);
    EXPECT_FALSE(reader.Open()) << name;
    ASSERT_EQ(m_Asserts.Count(), 1u) << name;
    EXPECT_EQ(
        m_Asserts.Heads()[0],
        Testing::AssertRecorder::Head("false", "../../Assets/" + std::string(name) + ".xml failed to open for reading.",
                                      "..\\..\\Source\\Util\\util_xmlparser"));
    // Nothing to walk, nothing to crash on.
    EXPECT_FALSE(reader.FindChild("a"));
    EXPECT_FALSE(reader.Enter());
    reader.Leave();
    EXPECT_FALSE(reader.Next());
    EXPECT_EQ(reader.Get<float>("x"), 0.0f);
    EXPECT_STREQ(reader.Text(), "");
  }
  // The reader opens through the file layer, so its paths go into the asset pack.
  EXPECT_EQ(Util::PackDirectory::Instance().Paths().size(), 7u);
  // 256 levels, the root's included, are as deep as a document may go.
  m_Tree.Write("Assets/deepest.xml", nested(255));
  EXPECT_TRUE(XmlReader("../../Assets/deepest.xml").Open());
  m_Tree.Write("Assets/deepest.xml", nested(256));
  EXPECT_FALSE(XmlReader("../../Assets/deepest.xml").Open());
  m_Asserts.Clear();
}

TEST_F(Xml, CursorEntersFindsLeavesAndComparesNamesByteForByte) {
  m_Tree.Write("Assets/Xml/entities/lantern.xml", kEntityFile);
  XmlReader reader("..\\..\\Assets\\XML\\entities\\lantern");
  ASSERT_TRUE(reader.Open());
  EXPECT_EQ(m_Asserts.Count(), 0u);
  EXPECT_TRUE(reader.CurrentNameIs("XMLRoot"));
  EXPECT_STREQ(reader.ElementName(), "Entity");

  EXPECT_TRUE(reader.FindChild("Entity"));  // the current element itself counts
  EXPECT_TRUE(reader.CurrentNameIs("Entity"));
  EXPECT_TRUE(reader.NameAttributeIs("name"));
  EXPECT_EQ(reader.Get<std::string>("name"), "Lantern");
  reader.Leave();
  EXPECT_STREQ(reader.ElementName(), "visual");

  EXPECT_FALSE(reader.FindChild("VISUAL"));
  EXPECT_STREQ(reader.ElementName(), "visual");  // a failed search leaves the cursor
  EXPECT_TRUE(reader.FindChild("Visual"));       // skips the lower-case sibling
  EXPECT_TRUE(reader.CurrentNameIs("Visual"));
  EXPECT_FALSE(reader.CurrentNameIs("visual"));
  EXPECT_EQ(reader.Get<std::string>("model"), "Lantern.BIN");
  reader.Leave();

  EXPECT_STREQ(reader.ElementName(), "Physics");
  EXPECT_TRUE(reader.Next("Script"));
  EXPECT_FALSE(reader.Next());
  EXPECT_FALSE(reader.HasCurrent());
  reader.Leave();  // out of the root: nothing left
  EXPECT_FALSE(reader.HasCurrent());
  EXPECT_FALSE(reader.CurrentNameIs("XMLRoot"));
}

TEST_F(Xml, TypedValuesAreFoundByTagAndKeyAndMissingOnesReadAsZero) {
  XmlReader reader("../../Assets/entity.xml");
  ASSERT_TRUE(reader.Open());
  ASSERT_TRUE(reader.FindChild("Physics"));
  EXPECT_EQ(reader.Get<float>("inverse_mass"), 0.5f);
  EXPECT_EQ(reader.Get<float>("mass"), 2.0f);  // the string of that name is another type
  EXPECT_EQ(reader.Get<std::string>("mass"), "not the float");
  EXPECT_TRUE(reader.Get<bool>("ghost"));
  EXPECT_EQ(reader.Get<int>("layer"), -3);
  EXPECT_EQ(reader.Get<float>("y"), 0.0f);  // only direct children count
  EXPECT_EQ(reader.Get<float>("absent"), 0.0f);
  EXPECT_EQ(reader.Get<std::string>("absent"), "");
  double unreadable = 7.0;
  EXPECT_FALSE(reader.Read("bad", unreadable));
  EXPECT_EQ(unreadable, 7.0);

  ASSERT_TRUE(reader.FindChild("Acceleration"));
  EXPECT_FLOAT_EQ(reader.Get<float>("y"), -9.8f);
  reader.Leave();
  EXPECT_STREQ(reader.ElementName(), "Hull");
}

TEST_F(Xml, AMarkBringsTheCursorBackWithEveryOpenElementHoweverFarItWent) {
  XmlReader reader("../../Assets/entity.xml");
  ASSERT_TRUE(reader.Open());
  ASSERT_TRUE(reader.FindChild("Physics"));
  ASSERT_TRUE(reader.Next("Acceleration"));
  const XmlReader::Mark mark = reader.Here();
  reader.Enter();
  reader.Leave();
  reader.Leave();
  reader.Leave();  // out of the root
  EXPECT_FALSE(reader.HasCurrent());
  reader.Return(mark);
  EXPECT_STREQ(reader.ElementName(), "Acceleration");
  EXPECT_TRUE(reader.CurrentNameIs("Physics"));
  EXPECT_EQ(reader.Get<float>("mass"), 2.0f);
  reader.Leave();
  EXPECT_STREQ(reader.ElementName(), "Script");  // the element after Physics, as before
}

TEST_F(Xml, CurrentElementOffersItsTextAndAttributes) {
  XmlReader reader("../../Assets/entity.xml");
  ASSERT_TRUE(reader.Open());
  ASSERT_TRUE(reader.Next("Visual"));
  int lod = 0;
  EXPECT_TRUE(reader.ReadAttribute("lod", lod));
  EXPECT_EQ(lod, 2);
  EXPECT_STREQ(reader.Attribute("kind"), "mesh");
  EXPECT_EQ(reader.Attribute("missing"), nullptr);

  std::vector<std::string> seen;
  std::string name, value;
  while (reader.NextAttribute(name, value)) seen.push_back(name + "=" + value);
  EXPECT_EQ(seen, (std::vector<std::string>{"kind=mesh", "name=gLantern", "lod=2"}));
  EXPECT_FALSE(reader.NextAttribute(name, value));

  ASSERT_TRUE(reader.Enter());
  std::string model;
  EXPECT_TRUE(reader.ReadText(model));
  EXPECT_EQ(model, "Lantern.BIN");
  EXPECT_TRUE(reader.NextAttribute(name, value));  // the cursor moved: the walk starts over
  EXPECT_EQ(name + "=" + value, "name=model");
}

TEST_F(Xml, WriterIndentsTwoSpacesPerLevelAndClosesEverythingOpen) {
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
            "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
            "<XMLRoot>\n"
            "  <Outer>\n"
            "    <Inner>\n"
            "    </Inner>\n"
            "  </Outer>\n"
            "  <Left>\n"
            "    <Open>\n"
            "    </Open>\n"
            "  </Left>\n"
            "</XMLRoot>");
  EXPECT_EQ(m_Asserts.Count(), 0u);
}

TEST_F(Xml, WrittenValuesReadBackExactly) {
  const float third = 1.0f / 3.0f;
  const double tiny = 1e-300;
  const std::string awkward = "a < b & \"c\" > d";
  {
    XmlWriter writer("..\\..\\Assets\\values");
    ASSERT_TRUE(writer.OpenFile());
    writer.OpenElement("Shared");
    writer.WriteValue("third", third);
    writer.WriteValue("tiny", tiny);
    writer.WriteValue("count", -12);
    writer.WriteValue("ghost", true);
    writer.WriteValue("text", awkward);
    writer.WriteValue("file", "../../Assets/Models/a.BIN");
    writer.CloseElement();
    writer.OpenElement("Streamed");
    writer.Write(0.1f);
    writer.CloseFile();
  }
  XmlReader reader("../../Assets/values.xml");
  ASSERT_TRUE(reader.Open());
  ASSERT_TRUE(reader.FindChild("Shared"));
  EXPECT_EQ(reader.Get<float>("third"), third);
  EXPECT_EQ(reader.Get<double>("tiny"), tiny);
  EXPECT_EQ(reader.Get<int>("count"), -12);
  EXPECT_TRUE(reader.Get<bool>("ghost"));
  EXPECT_EQ(reader.Get<std::string>("text"), awkward);
  EXPECT_EQ(reader.Get<std::string>("file"), "../../Assets/Models/a.BIN");
  reader.Leave();
  float streamed = 0.0f;
  EXPECT_TRUE(reader.ReadText(streamed));
  EXPECT_EQ(streamed, 0.1f);
}

TEST_F(Xml, WriterThatCannotCreateItsFileReportsAndWritesNothing) {
  XmlWriter writer("../../no/such/folder/out");
  EXPECT_FALSE(writer.OpenFile());
  EXPECT_EQ(m_Asserts.Comments(), std::vector<std::string>{"../../no/such/folder/out.xml failed to open for writing."});
  writer.OpenElement("Ignored");
  writer.WriteValue("x", 1.0f);
  writer.CloseFile();
  EXPECT_FALSE(m_Tree.Exists("no"));
}
