#include "Game/EntityTesting.h"
#include "Util/XmlWriter.h"

using Game::Entity;
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

TEST_F(EntityDefinition, TheEntityElementNamesItAndSharedChildrenSoughtInOrderSetTheTransform) {
  const std::string shared = Vector("Position", 1, 2, 3) + Vector("Rotation", 0, 90, 0) + Vector("Scale", 2, 3, 4) +
                             Vector("Velocity", -1, -2, -3);
  Entity entity(WriteEntity("lantern", Definition("Lantern", shared)).c_str());
  EXPECT_EQ(entity.GetName(), Numbered("Lantern", entity));
  EXPECT_EQ(Transform(entity), (Vecs{{1, 2, 3}, {0, 90, 0}, {2, 3, 4}, {-1, -2, -3}}));
  EXPECT_EQ(entity.GetRotationMatrix(), Util::Mat3::FromEulerDegrees({0, 90, 0}));
  EXPECT_EQ(entity.GetBounds().Min(), (Vec3{1, 2, 3}));  // the bounds stand where the entity stands
  // Scale before Position is missed: the search for it starts after Position. Malformed or missing
  // values read as 0.
  const std::string late = Vector("Scale", 5, 5, 5) +
                           "<Position><float name=\"x\">abc</float><float name=\"y\"></float>"
                           "<float name=\"z\">4</float></Position>" +
                           Vector("Velocity", 7, 8, 9);
  Entity odd(WriteEntity("late", Definition("", late)).c_str());
  EXPECT_EQ(odd.GetName(), Numbered("", odd));
  EXPECT_EQ(Transform(odd), (Vecs{{0, 0, 4}, {0, 0, 0}, {1, 1, 1}, {7, 8, 9}}));
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

TEST_F(EntityDefinition, AFileThatCannotBeParsedGivesAnEntityWithoutNameOrComponents) {
  Game::RegisterElementBuilder("Physics", Testing::BuildPhysics);
  const std::string path =
      WriteEntity("broken", "<XMLRoot><Entity><string name=\"name\">Half</string></Entity><Physics>");
  Entity entity(path.c_str());
  EXPECT_STREQ(entity.GetName(), "");
  EXPECT_EQ(entity.GetPhysics(), nullptr);
  EXPECT_EQ(m_Asserts.Comments(), Texts{path + " failed to open for reading."});
  m_Asserts.Clear();
}

TEST_F(EntityDefinition, RegisteredBuildersGetTheReaderOnTheirElementsAndReadingGoesOnWhereverTheyLeaveIt) {
  const std::string path =
      WriteEntity("body", Definition("Body", "", "<Physics><bool name=\"hull\">1</bool></Physics><Light/><Visual/>"));
  EXPECT_EQ(Entity(path.c_str()).GetPhysics(), nullptr);  // no builders yet: only the Entity element counts
  Game::RegisterElementBuilder("Physics", Testing::BuildPhysics);
  Game::RegisterElementBuilder("Light", Testing::BuildVisual);
  Game::RegisterElementBuilder("Visual", Testing::BuildVisual);
  {
    Entity entity(path.c_str());  // read before: the builders of now serve it
    auto* physics = dynamic_cast<Testing::RecordingPhysComp*>(entity.GetPhysics());
    ASSERT_NE(physics, nullptr);
    EXPECT_TRUE(physics->m_Hull);  // read from inside the element
    EXPECT_NE(entity.GetVisual(), nullptr);
    EXPECT_EQ(Testing::ComponentLog(), Texts{"~visual"});  // the second visual element replaced the first one
  }
  Game::RegisterElementBuilder("Visual", nullptr);
  Game::RegisterElementBuilder("Light", nullptr);
  Entity entity(path.c_str());
  EXPECT_NE(entity.GetPhysics(), nullptr);
  EXPECT_EQ(entity.GetVisual(), nullptr);

  for (const char* tag : {"Entity", "Gizmo", static_cast<const char*>(nullptr)})
    Game::RegisterElementBuilder(tag, Testing::BuildVisual);
  EXPECT_EQ(m_Asserts.Comments(), (Texts{"Entity is not an element of an entity definition that a builder reads.",
                                         "Gizmo is not an element of an entity definition that a builder reads.",
                                         "(null) is not an element of an entity definition that a builder reads."}));
  m_Asserts.Clear();
  // Reading goes on past Sound and unknown elements, and after each element wherever its builder
  // leaves the cursor: one stays inside its element, the other leaves far beyond it.
  Game::RegisterElementBuilder("Physics", [](Entity&, Util::XmlReader& reader) { reader.Enter(), reader.Enter(); });
  Game::RegisterElementBuilder("Light", [](Entity&, Util::XmlReader& reader) { reader.Leave(), reader.Leave(); });
  Entity late(WriteEntity("late",
                          "<XMLRoot><Physics><Hull><Sphere/></Hull></Physics><Light/><Gizmo><Entity/></Gizmo>"
                          "<Sound><string name=\"file\">x.wav</string></Sound><Entity><string name=\"name\">"
                          "Late</string><Shared>" +
                              Vector("Position", 1, 1, 1) + "</Shared></Entity><Sound/></XMLRoot>")
                  .c_str());
  EXPECT_EQ(late.GetName(), Numbered("Late", late));
  EXPECT_EQ(late.GetPosition(), (Vec3{1, 1, 1}));
  EXPECT_EQ(late.GetVisual(), nullptr);
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
      "<Data><Number><double name=\"number\">oops</double><string name=\"name\">first</string></Number></Data>"
      "</Script>";
  Entity entity(WriteEntity("scripted", Definition("Scripted", "", script)).c_str());
  const Game::ScriptDefinition& read = Testing::LastScriptDefinition();
  EXPECT_EQ(read.m_File, "../../Assets/Scripts/e_Vine.lua");
  EXPECT_TRUE(read.m_Flag);  // a bool child, whatever it says
  using Strings = std::vector<std::pair<std::string, std::string>>;
  using Numbers = std::vector<std::pair<std::string, double>>;
  EXPECT_EQ(read.m_Strings, (Strings{{"way", "north"}, {"empty", ""}}));
  EXPECT_EQ(read.m_Numbers, (Numbers{{"speed", 2.5}, {"depth", -4.0}, {"first", 0.0}}));
  EXPECT_TRUE(entity.ScriptFlag());
  // Without a bool child the flag is false; a Script with nothing in it names no file.
  Entity plain(WriteEntity("plainscript", Definition("P", "", "<Script><int name=\"x\">1</int></Script>")).c_str());
  EXPECT_FALSE(read.m_Flag);
  EXPECT_EQ(read.m_File, "");
  EXPECT_FALSE(plain.ScriptFlag());
}
