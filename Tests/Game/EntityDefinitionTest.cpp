#include "Game/EntityTesting.h"

using Game::Entity;
using Testing::ComponentLog;
using Testing::Definition;
using Testing::Vector;
using Util::Vec3;

namespace {

class EntityDefinition : public Testing::EntityTest {};

}  // namespace

TEST_F(EntityDefinition, TheEntityElementNamesItAndSharedSetsTheTransform) {
  const std::string shared = Vector("Position", 1, 2, 3) + Vector("Rotation", 0, 90, 0) + Vector("Scale", 2, 3, 4) +
                             Vector("Velocity", -1, -2, -3);
  Entity entity(WriteEntity("lantern", Definition("Lantern", shared)).c_str());
  EXPECT_EQ(std::string(entity.GetName()), "Lantern" + std::to_string(entity.GetID()));
  EXPECT_EQ(entity.GetPosition(), (Vec3{1, 2, 3}));
  EXPECT_EQ(entity.GetRotation(), (Vec3{0, 90, 0}));
  EXPECT_EQ(entity.GetRotationMatrix(), Util::Mat3::FromEulerDegrees({0, 90, 0}));
  EXPECT_EQ(entity.GetScale(), (Vec3{2, 3, 4}));
  EXPECT_EQ(entity.GetVelocity(), (Vec3{-1, -2, -3}));
  // The bounds stand where the entity stands.
  EXPECT_EQ(entity.GetBounds().Min(), (Vec3{1, 2, 3}));
  EXPECT_EQ(m_Tree.Exists("Assets/Packed.BIN"), false);
}

TEST_F(EntityDefinition, SharedChildrenAreSoughtInOrderSoOneBeforeAnEarlierKindIsMissed) {
  // Scale before Position: Position is found after it, and the search for Scale starts after that.
  const std::string shared = Vector("Scale", 5, 5, 5) + Vector("Position", 1, 2, 3) + Vector("Velocity", 7, 8, 9);
  Entity entity(WriteEntity("late", Definition("Late", shared)).c_str());
  EXPECT_EQ(entity.GetPosition(), (Vec3{1, 2, 3}));
  EXPECT_EQ(entity.GetScale(), (Vec3{1, 1, 1}));
  EXPECT_EQ(entity.GetVelocity(), (Vec3{7, 8, 9}));

  // Each is optional: a missing Position does not stop the others.
  Entity rest(WriteEntity("rest", Definition("Rest", Vector("Rotation", 0, 0, 45) + Vector("Scale", 3, 3, 3))).c_str());
  EXPECT_EQ(rest.GetPosition(), Vec3{});
  EXPECT_EQ(rest.GetRotation(), (Vec3{0, 0, 45}));
  EXPECT_EQ(rest.GetScale(), (Vec3{3, 3, 3}));
}

TEST_F(EntityDefinition, AFileThatCannotBeOpenedGivesAnEntityWithoutNameOrComponents) {
  Game::RegisterElementBuilder("Physics", Testing::BuildPhysics);
  Entity missing("../../Assets/Xml/entities/nowhere.xml");
  EXPECT_STREQ(missing.GetName(), "");
  EXPECT_EQ(missing.GetPhysics(), nullptr);
  EXPECT_EQ(m_Asserts.Comments(),
            std::vector<std::string>{"../../Assets/Xml/entities/nowhere.xml failed to open for reading."});

  // A document that does not parse is reported the same way.
  m_Asserts.Clear();
  const std::string broken =
      WriteEntity("broken", "<XMLRoot><Entity><string name=\"name\">Half</string></Entity><Physics>");
  Entity half(broken.c_str());
  EXPECT_STREQ(half.GetName(), "");
  EXPECT_EQ(half.GetPhysics(), nullptr);
  EXPECT_EQ(m_Asserts.Comments(), std::vector<std::string>{broken + " failed to open for reading."});
  m_Asserts.Clear();
}

TEST_F(EntityDefinition, MalformedOrMissingValuesReadAsZeroOrEmpty) {
  const std::string shared =
      "<Position><float name=\"x\">abc</float><float name=\"y\"></float><float name=\"z\">4</float></Position>"
      "<Scale><float name=\"x\">2</float></Scale>";
  const std::string file = "<?xml version=\"1.0\"?><XMLRoot><Entity><Shared>" + shared + "</Shared></Entity></XMLRoot>";
  Entity entity(WriteEntity("odd", file).c_str());
  EXPECT_EQ(std::string(entity.GetName()), std::to_string(entity.GetID()));  // base name ""
  EXPECT_EQ(entity.GetPosition(), (Vec3{0, 0, 4}));
  EXPECT_EQ(entity.GetScale(), (Vec3{2, 0, 0}));

  // A file without an Entity element leaves the entity nameless.
  Entity none(WriteEntity("none", "<XMLRoot><Sound/></XMLRoot>").c_str());
  EXPECT_STREQ(none.GetName(), "");
}

TEST_F(EntityDefinition, SoundAndUnknownElementsAreIgnoredAndReadingGoesOnPastThem) {
  const std::string file =
      "<XMLRoot><Sound><string name=\"file\">x.wav</string></Sound><Gizmo><Entity/></Gizmo>"
      "<Entity><string name=\"name\">After</string><Shared>" +
      Vector("Position", 4, 5, 6) + "</Shared></Entity><Sound/></XMLRoot>";
  Entity entity(WriteEntity("noisy", file).c_str());
  EXPECT_EQ(std::string(entity.GetName()), "After" + std::to_string(entity.GetID()));
  EXPECT_EQ(entity.GetPosition(), (Vec3{4, 5, 6}));
  EXPECT_EQ(entity.GetSound(), nullptr);
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
    ComponentLog().clear();
    Entity entity(path.c_str());
    auto* physics = dynamic_cast<Testing::RecordingPhysComp*>(entity.GetPhysics());
    ASSERT_NE(physics, nullptr);
    EXPECT_TRUE(physics->m_Hull);  // read from inside the element
    EXPECT_NE(entity.GetVisual(), nullptr);
    // The second visual element replaced the first one.
    EXPECT_EQ(ComponentLog(), std::vector<std::string>{"~visual"});
  }
  Game::RegisterElementBuilder("Visual", nullptr);
  Game::RegisterElementBuilder("Light", nullptr);
  {
    Entity entity(path.c_str());
    EXPECT_NE(entity.GetPhysics(), nullptr);
    EXPECT_EQ(entity.GetVisual(), nullptr);
  }
}

namespace {

// Builders that leave the cursor anywhere: inside their element, or far beyond it.
void BuilderThatStaysInside(Entity&, Util::XmlReader& reader) {
  reader.Enter();
  reader.Enter();
}
void BuilderThatLeavesTooOften(Entity&, Util::XmlReader& reader) {
  reader.Leave();
  reader.Leave();
}

}  // namespace

TEST_F(EntityDefinition, ReadingGoesOnAfterTheElementWhereverABuilderLeavesTheCursor) {
  const std::string file =
      "<XMLRoot><Physics><Hull><Sphere/></Hull></Physics><Light/>"
      "<Entity><string name=\"name\">Late</string><Shared>" +
      Vector("Position", 1, 1, 1) + "</Shared></Entity></XMLRoot>";
  const std::string path = WriteEntity("wander", file);
  Game::RegisterElementBuilder("Physics", BuilderThatStaysInside);
  Game::RegisterElementBuilder("Light", BuilderThatLeavesTooOften);
  Entity entity(path.c_str());
  EXPECT_EQ(std::string(entity.GetName()), "Late" + std::to_string(entity.GetID()));
  EXPECT_EQ(entity.GetPosition(), (Vec3{1, 1, 1}));
}

TEST_F(EntityDefinition, OnlyTheElementsThatBuildersServeCanBeRegistered) {
  Game::RegisterElementBuilder("Entity", Testing::BuildVisual);
  Game::RegisterElementBuilder("Sound", Testing::BuildVisual);
  Game::RegisterElementBuilder(nullptr, Testing::BuildVisual);
  EXPECT_EQ(m_Asserts.Comments(),
            (std::vector<std::string>{"Entity is not an element of an entity definition that a builder reads.",
                                      "Sound is not an element of an entity definition that a builder reads.",
                                      "(null) is not an element of an entity definition that a builder reads."}));
  m_Asserts.Clear();
  Entity entity(WriteEntity("plain", Definition("Plain", "", "<Sound/>")).c_str());
  EXPECT_EQ(entity.GetVisual(), nullptr);
  EXPECT_EQ(std::string(entity.GetName()), "Plain" + std::to_string(entity.GetID()));
}

TEST_F(EntityDefinition, AScriptElementGivesFileFlagAndTheDataOfEverySectionInOrder) {
  Game::RegisterElementBuilder("Script", Testing::BuildScript);
  const std::string script =
      "<Script>"
      "<Data>"
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
      "</Data>"
      "</Script>";
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
  EXPECT_FALSE(Testing::LastScriptDefinition().m_Flag);
  EXPECT_EQ(Testing::LastScriptDefinition().m_File, "");
  EXPECT_TRUE(Testing::LastScriptDefinition().m_Strings.empty());
  EXPECT_FALSE(plain.ScriptFlag());
}
