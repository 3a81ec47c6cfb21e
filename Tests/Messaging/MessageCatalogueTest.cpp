// The message classes against the catalogue as the design lists it, transcribed here by hand:
// slot, class name and the kinds of the fields in order.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "Messaging/Messages.h"

namespace {

struct Row {
  int slot;
  const char* name;
  const char* kinds;
};

// clang-format off
const Row kDesign[] = {
    {1, "gameStatTrackMsg", "i32 i32"}, {2, "gameAreaMsg", "i32"},
    {3, "gameAddPopupMsgToQueueMsg", "i32 f32 f32 f32 string boolean"}, {4, "gameSetIslandRadiusMsg", "f32"},
    {5, "gameSetIslandHomeMsg", "vec3"}, {6, "gameFireflySpawnMsg", "vec3 vec3 i32 u8"},
    {7, "gameLanternPositionMsg", "vec3"}, {8, "gameFireflySoundOnOff", "boolean"},
    {9, "gameFireflyCollidedMsg", "vec3 f32"}, {10, "debugSetLineLayerMsg", "i32"},
    {11, "debugAddLineMsg", "vec3 vec3 vec3 i32"}, {12, "debugSetMsg", "boolean"}, {13, "debugMsg", ""},
    {14, "eManLanternMsg", "entity"}, {15, "eManDododMsg", "entity"}, {16, "eManAddLanternMsg", "text"},
    {17, "eManAddDododMsg", "text"}, {18, "eManRemovedMsg", "text i32"}, {19, "eManRemoveByPtrMsg", "entity"},
    {20, "eManRemoveByFullNameMsg", "text"}, {21, "eManRemoveByNameMsg", "text"},
    {22, "eManAddedMsg", "entity boolean"}, {23, "eManAddAtMsg", "text vec3 vec3"}, {24, "eManAddMsg", "text"},
    {25, "collisionMsg", "entity entity"}, {26, "cameraSetModeMsg", "i32"}, {27, "cameraRepulsiveMsg", "vec3"},
    {28, "cameraSetPosTarVecImmediateMsg", "vec3 vec3"}, {29, "cameraSetTarVecImmediateMsg", "vec3"},
    {30, "cameraSetPosVecImmediateMsg", "vec3"}, {31, "cameraLetterboxMsg", "f32"}, {32, "cameraPullBackMsg", ""},
    {33, "cameraGetInfoMsg", "i32 vec3"}, {34, "cameraSetInfoMsg", "i32 vec3"}, {35, "cameraUpdateThird", "vec3"},
    {36, "cameraSetUpVecMsg", "vec3"}, {37, "cameraSetPhiMinMax", "f32 f32 boolean"},
    {38, "cameraSetZoomMinMax", "f32 f32 boolean"}, {39, "cameraSetViewVecMsg", "vec3"},
    {40, "cameraSetTargetPosVecMsg", "vec3"}, {41, "cameraSetPosVecMsg", "vec3"},
    {42, "cameraSetTargetObjMsg", "visual"}, {43, "renderPassMsg", "string i32 i32 names names names"},
    {44, "materialMsg", "string i32 names names"}, {45, "materialCollectionMsg", "string i32 names names"},
    {46, "graphicsSetBlendFourMsg", "vec4"}, {47, "addWaterfallMsg", "vec3 vec3 vec3 vec3 i32 f32"},
    {48, "graphicsSetFadeMsg", "f32"}, {49, "graphicsSetFilterMsg", "i32"}, {50, "graphicsSetShadowMsg", "i32"},
    {51, "graphicsSetResMsg", "i32"}, {52, "graphicsResMsg", "i32 i32"}, {53, "graphicsPassMsg", "string"},
    {54, "graphicsDododWalkStateMsg", "f32"}, {55, "graphicsIslandRefreshMsg", "text"},
    {56, "graphicsIslandYScaleMsg", "f32 f32"}, {57, "graphicsIslandMaterialMsg", "string"},
    {58, "graphicsIslandBottomMsg", "string"}, {59, "graphicsIslandTopMsg", "string"},
    {60, "graphicsIslandXmlMsg", "string"}, {61, "graphicsIslandNewMsg", "string"},
    {62, "graphicsLanternMsg", "vec4"}, {63, "graphicsLightVecMsg", "positions lights i32"},
    {64, "graphicsLightMsg", "vec4 vec4"}, {65, "graphicsVineColorMsg", "f32"}, {66, "graphicsFOVMsg", "f32"},
    {67, "graphicsIslandCreateMsg", "i32 i32 i32"}, {68, "graphicsPickedMsg", "entity"},
    {69, "graphicsPickMsg", "i32 i32"}, {70, "soundIncFFComboMsg", ""}, {71, "soundFFComboMsg", "i32"},
    {72, "soundMusicLayerMsg", "i32 i32 text"}, {73, "soundSpiralSwerveMsg", "boolean"},
    {74, "soundColoredFireflyMsg", "text"}, {75, "soundStopVineGrowthMsg", ""},
    {76, "soundPlayVineGrowthMsg", "text boolean"}, {77, "soundPlay2DMsg", "boolean text"},
    {78, "soundPlay3DMsg", "boolean vec3 text"}, {79, "scriptDoFileMsg", "text"}, {80, "scriptDoStringMsg", "text"},
    {81, "scriptReloadMsg", "text"},
};
// clang-format on

// What the code declares, row by row; each kind has a space before it.
#define HM_TEST_KIND(kind, name, ...) " " #kind
#define HM_TEST_ROW(slot, cls, ...) {Msg::cls::kSlot, #cls, "" HM_FIELDS(HM_TEST_KIND, __VA_ARGS__)},
const Row kDeclared[] = {HM_MESSAGE_CATALOGUE(HM_TEST_ROW)};
#undef HM_TEST_ROW
#undef HM_TEST_KIND

}  // namespace

TEST(MessageCatalogue, MatchesTheDesignSlotByNameAndFieldKinds) {
  ASSERT_EQ(std::size(kDeclared), std::size(kDesign));
  for (size_t i = 0; i < std::size(kDesign); ++i) {
    const std::string kinds = *kDesign[i].kinds ? std::string(" ") + kDesign[i].kinds : "";
    EXPECT_EQ(kDeclared[i].slot, kDesign[i].slot) << kDesign[i].name;
    EXPECT_STREQ(kDeclared[i].name, kDesign[i].name);
    EXPECT_EQ(kDeclared[i].kinds, kinds) << kDesign[i].name;
  }
}

TEST(MessageCatalogue, TextIsCopiedAndDefaultsAreTheDesigns) {
  char buffer[] = "a = 1";
  const std::unique_ptr<Msg::scriptDoStringMsg> message(new Msg::scriptDoStringMsg(buffer));
  std::memset(buffer, '#', sizeof buffer - 1);
  EXPECT_STREQ(message->m_Source.Get(), "a = 1");
  const std::unique_ptr<Msg::soundMusicLayerMsg> layer(new Msg::soundMusicLayerMsg());
  EXPECT_EQ(layer->m_Layer, -1);
  EXPECT_EQ(layer->m_Action, 1);
  EXPECT_EQ(layer->m_Name.Get(), nullptr);
}
