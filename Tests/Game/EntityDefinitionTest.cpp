#include "Game/EntityTesting.h"
#include "Util/XmlWriter.h"

using Game::Entity;
using Testing::ComponentLog;
using Testing::Definition;
using Testing::Numbered;
using Testing::Transform;
using Testing::Vector;
using Util::Vec3;
using Vecs = std::vector<Vec3>;
using Texts = std::vector<std::string>;

namespace {

class EntityDefinition : public Testing::EntityTest {};

}  // namespace

TEST_F(EntityDefinition, TheEntityElementNamesItAndSharedSetsTheTransform) {
  const std::string shared = Vector("Position", 1, 2, 3) + Vector("Rotation", 0, 90, 0) + Vector("Scale", 2, 3, 4) +
                             Vector("Velocity", -1, -2, -3);
  Entity entity(WriteEntity("lantern", Definition("Lantern", shared)).c_str());
  EXPECT_EQ(entity.GetName(), Numbered("Lantern", entity));
  EXPECT_EQ(Transform(entity), (Vecs{{1, 2, 3}, {0, 90, 0}, {2, 3, 4}, {-1, -2, -3}}));
  EXPECT_EQ(entity.GetRotationMatrix(), Util::Mat3::FromEulerDegrees({0, 90, 0}));
  EXPECT_EQ(entity.GetBounds().Min(), (Vec3{1, 2, 3}));  // the bounds stand where the entity stands
  EXPECT_FALSE(m_Tree.Exists("Assets/Packed.BIN"));
}

TEST_F(EntityDefinition, AFileChangedOnDiskOrWrittenByTheEngineIsReadAgainAndThePackListsItEachTime) {
  const std::string path = WriteEntity("kept", Definition("First"));
  Entity first(path.c_str());
  WriteEntity("kept", Definition("Second", Vector("Position", 1, 2, 3)));
  Util::PackDirectory::Instance().Reset();
  Entity second(path.c_str());
  EXPECT_EQ(second.GetName(), Numbered("Second", second));
  EXPECT_EQ(second.GetPosition(), (Vec3{1, 2, 3}));
  EXPECT_EQ(Util::PackDirectory::Instance().Paths(), Texts{path});
  {
    Util::XmlWriter writer(path);  // as the island editor writes definitions
    writer.OpenFile();
    writer.OpenElement("Entity");
    writer.WriteValue("name", "Secont");
  }
  Entity third(path.c_str());
  EXPECT_EQ(third.GetName(), Numbered("Secont", third));
  EXPECT_EQ(third.GetPosition(), (Vec3{0, 0, 0}));
}

TEST_F(EntityDefinition, SharedChildrenAreSoughtInOrderSoOneBeforeAnEarlierKindIsMissed) {
  // Scale before Position: Position is found after it, and the search for Scale starts after that.
  const std::string shared = Vector("Scale", 5, 5, 5) + Vector("Position", 1, 2, 3) + Vector("Velocity", 7, 8, 9);
  Entity entity(WriteEntity("late", Definition("Late", shared)).c_str());
  EXPECT_EQ(Transform(entity), (Vecs{{1, 2, 3}, {0, 0, 0}, {1, 1, 1}, {7, 8, 9}}));
  // Each is optional: a missing Position does not stop the others.
  Entity rest(WriteEntity("rest", Definition("Rest", Vector("Rotation", 0, 0, 45) + Vector("Scale", 3, 3, 3))).c_str());
  EXPECT_EQ(Transform(rest), (Vecs{{0, 0, 0}, {0, 0, 45}, {3, 3, 3}, {0, 0, 0}}));
}

TEST_F(EntityDefinition, AFileThatCannotBeOpenedOrParsedGivesAnEntityWithoutNameOrComponents) {
  Game::RegisterElementBuilder("Physics", Testing::BuildPhysics);
  const std::string broken =
      WriteEntity("broken", "<XMLRoot><Entity><string name=\"name\">Half</string></Entity><Physics>");
  for (const std::string& path : {std::string("../../Assets/Xml/entities/nowhere.xml"), broken}) {
    Entity entity(path.c_str());
    EXPECT_STREQ(entity.GetName(), "");
    EXPECT_EQ(entity.GetPhysics(), nullptr);
    EXPECT_EQ(m_Asserts.Comments(), Texts{path + " failed to open for reading."});
    m_Asserts.Clear();
  }
}

TEST_F(EntityDefinition, MalformedMissingOrUnknownContentsReadAsZeroEmptyOrNothing) {
  const std::string shared =
      "<Position><float name=\"x\">abc</float><float name=\"y\"></float><float name=\"z\">4</float></Position>"
      "<Scale><float name=\"x\">2</float></Scale>";
  Entity entity(
      WriteEntity("odd", "<?xml version=\"1.0\"?><XMLRoot><Entity><Shared>" + shared + "</Shared></Entity></XMLRoot>")
          .c_str());
  EXPECT_EQ(entity.GetName(), Numbered("", entity));
  EXPECT_EQ(entity.GetPosition(), (Vec3{0, 0, 4}));
  EXPECT_EQ(entity.GetScale(), (Vec3{2, 0, 0}));
  // A file without an Entity element leaves the entity nameless.
  Entity none(WriteEntity("none", "<XMLRoot><Sound/></XMLRoot>").c_str());
  EXPECT_STREQ(none.GetName(), "");
  // Sound and unknown elements are skipped, and reading goes on past them.
  Entity noisy(WriteEntity("noisy",
                           "<XMLRoot><Sound><string name=\"file\">x.wav</string></Sound><Gizmo><Entity/></Gizmo>"
                           "<Entity><string name=\"name\">After</string><Shared>" +
                               Vector("Position", 4, 5, 6) + "</Shared></Entity><Sound/></XMLRoot>")
                   .c_str());
  EXPECT_EQ(noisy.GetName(), Numbered("After", noisy));
  EXPECT_EQ(noisy.GetPosition(), (Vec3{4, 5, 6}));
  EXPECT_EQ(noisy.GetSound(), nullptr);
}

TEST_F(EntityDefinition, ARegisteredBuilderGetsTheReaderOnItsElementAndNoneMeansSkipped) {
  const std::string path =
      WriteEntity("body", Definition("Body", "", "<Physics><bool name=\"hull\">1</bool></Physics><Light/><Visual/>\n"));
  {
    Entity entity(path.c_str());  // no builders: only the Entity element counts
    EXPECT_EQ(entity.GetPhysics(), nullptr);
    EXPECT_EQ(entity.GetVisual(), nullptr);
  }
  Game::RegisterElementBuilder("Physics", Testing::BuildPhysics);
  Game::RegisterElementBuilder("Light", Testing::BuildVisual);
  Game::RegisterElementBuilder("Visual", Testing::BuildVisual);
  {
    Entity entity(path.c_str());
    auto* physics = dynamic_cast<Testing::RecordingPhysComp*>(entity.GetPhysics());
    ASSERT_NE(physics, nullptr);
    EXPECT_TRUE(physics->m_Hull);  // read from inside the element
    EXPECT_NE(entity.GetVisual(), nullptr);
    EXPECT_EQ(ComponentLog(), Texts{"~visual"});  // the second visual element replaced the first one
  }
  Game::RegisterElementBuilder("Visual", nullptr);
  Game::RegisterElementBuilder("Light", nullptr);
  Entity entity(path.c_str());
  EXPECT_NE(entity.GetPhysics(), nullptr);
  EXPECT_EQ(entity.GetVisual(), nullptr);
}

TEST_F(EntityDefinition, ReadingGoesOnAfterTheElementWhereverABuilderLeavesTheCursor) {
  const std::string path = WriteEntity("wander",
                                       "<XMLRoot><Physics><Hull><Sphere/></Hull></Physics><Light/>"
                                       "<Entity><string name=\"name\">Late</string><Shared>" +
                                           Vector("Position", 1, 1, 1) + "</Shared></Entity></XMLRoot>");
  // One builder stays inside its element, the other leaves far beyond it.
  Game::RegisterElementBuilder("Physics", [](Entity&, Util::XmlReader& reader) { reader.Enter(), reader.Enter(); });
  Game::RegisterElementBuilder("Light", [](Entity&, Util::XmlReader& reader) { reader.Leave(), reader.Leave(); });
  Entity entity(path.c_str());
  EXPECT_EQ(entity.GetName(), Numbered("Late", entity));
  EXPECT_EQ(entity.GetPosition(), (Vec3{1, 1, 1}));
}

TEST_F(EntityDefinition, OnlyTheElementsThatBuildersServeCanBeRegistered) {
  for (const char* tag : {"Entity", "Gizmo", static_cast<const char*>(nullptr)})
    Game::RegisterElementBuilder(tag, Testing::BuildVisual);
  EXPECT_EQ(m_Asserts.Comments(), (Texts{"Entity is not an element of an entity definition that a builder reads.",
                                         "Gizmo is not an element of an entity definition that a builder reads.",
                                         "(null) is not an element of an entity definition that a builder reads."}));
  m_Asserts.Clear();
  Entity entity(WriteEntity("plain", Definition("Plain", "", "<Gizmo/>")).c_str());
  EXPECT_EQ(entity.GetVisual(), nullptr);
  EXPECT_EQ(entity.GetName(), Numbered("Plain", entity));
}

TEST_F(EntityDefinition, AScriptElementGivesFileFlagAndTheDataOfEverySectionInOrder) {
  Game::RegisterElementBuilder("Script", Testing::BuildScript);
  const std::string script =
      "<Script><Data>"
      "<String><string name=\"string\">north</string><string name=\"name\">way</string></String>"
      "<String><string name=\"name\">empty</string></String>"
      "<Number><double name=\"number\">2.5</double><string name=\"name\">speed</string></Number>"
      "<String><string name=\"string\">hidden</string><string name=\"name\">late</string></String>"
      "<Number><double name=\"number\">-4</double><string name=\"name\">depth</string></Number>"
      "</Data>"
      "<string name=\"file\">../../Assets/Scripts/e_Vine.lua</string>"
      "<bool name=\"anything\">0</bool>"
      "<Data>"
      "<Number><double name=\"number\">oops</double><string name=\"name\">first</string></Number>"
      "<String><string name=\"string\">also hidden</string><string name=\"name\">second</string></String>"
      "</Data></Script>";
  Entity entity(WriteEntity("scripted", Definition("Scripted", "", script)).c_str());
  const Game::ScriptDefinition& read = Testing::LastScriptDefinition();
  EXPECT_EQ(read.m_File, "../../Assets/Scripts/e_Vine.lua");
  EXPECT_TRUE(read.m_Flag);  // a bool child, whatever it says
  using Strings = std::vector<std::pair<std::string, std::string>>;
  using Numbers = std::vector<std::pair<std::string, double>>;
  EXPECT_EQ(read.m_Strings, (Strings{{"way", "north"}, {"empty", ""}}));
  EXPECT_EQ(read.m_Numbers, (Numbers{{"speed", 2.5}, {"depth", -4.0}, {"first", 0.0}}));
  ASSERT_NE(entity.GetScript(), nullptr);
  EXPECT_EQ(entity.GetScript()->File(), "../../Assets/Scripts/e_Vine.lua");
  EXPECT_TRUE(entity.ScriptFlag());

  // Without a bool child the flag is false; a Script with nothing in it names no file.
  Entity plain(WriteEntity("plainscript", Definition("P", "", "<Script><int name=\"x\">1</int></Script>")).c_str());
  EXPECT_FALSE(read.m_Flag);
  EXPECT_EQ(read.m_File, "");
  EXPECT_TRUE(read.m_Strings.empty());
  EXPECT_FALSE(plain.ScriptFlag());
}
