// The message catalogue: every message class, in receive-handler slot order, with its fields.
//
// One row per class: MSG(slot, class, fields...), each field (kind, Name) or (kind, Name, default)
// in constructor order. The kinds are those of Message.h (Msg::Kind). A field Name becomes the
// member m_Name. Everything else about the messages is generated from this list: the classes
// (Messages.h), the receive handlers of MailBox and their order, and each class's deliver
// operation bound to its own handler.
//
// Who sends and who receives is noted at the head of each family; "at once" marks messages that
// are sent rather than posted.
#pragma once

// clang-format off
#define HM_MESSAGE_CATALOGUE(MSG)                                                                              \
  /* Game: GlobalStateData, GraphicsFacade, SoundEngine. */                                                    \
  MSG( 1, gameStatTrackMsg,               (i32, Stat), (i32, Mode))                                            \
  MSG( 2, gameAreaMsg,                    (i32, Area))                                                         \
  MSG( 3, gameAddPopupMsgToQueueMsg,      (i32, Count), (f32, X), (f32, Y), (f32, Time), (string, Text),       \
                                          (boolean, Extended))                                                 \
  MSG( 4, gameSetIslandRadiusMsg,         (f32, Radius))                                                       \
  MSG( 5, gameSetIslandHomeMsg,           (vec3, Home))                                                        \
  MSG( 6, gameFireflySpawnMsg,            (vec3, Position), (vec3, Second), (i32, Count), (u8, Kind))          \
  MSG( 7, gameLanternPositionMsg,         (vec3, Position))                                                    \
  MSG( 8, gameFireflySoundOnOff,          (boolean, On))                                                       \
  MSG( 9, gameFireflyCollidedMsg,         (vec3, Position), (f32, Fourth))                                     \
  /* Debug: GraphicsFacade. */                                                                                 \
  MSG(10, debugSetLineLayerMsg,           (i32, Layer))                                                        \
  MSG(11, debugAddLineMsg,                (vec3, Start), (vec3, End), (vec3, Third), (i32, Layer))             \
  MSG(12, debugSetMsg,                    (boolean, On))                                                       \
  MSG(13, debugMsg)                                                                                            \
  /* Entity manager: EntityManager, Player, Grid. eManRemovedMsg is sent at once. */                           \
  MSG(14, eManLanternMsg,                 (entity, Lantern))                                                   \
  MSG(15, eManDododMsg,                   (entity, Dodod))                                                     \
  MSG(16, eManAddLanternMsg,              (text, File))                                                        \
  MSG(17, eManAddDododMsg,                (text, File))                                                        \
  MSG(18, eManRemovedMsg,                 (text, FullName), (i32, Id))                                         \
  MSG(19, eManRemoveByPtrMsg,             (entity, Entity))                                                    \
  MSG(20, eManRemoveByFullNameMsg,        (text, FullName))                                                    \
  MSG(21, eManRemoveByNameMsg,            (text, Name))                                                        \
  MSG(22, eManAddedMsg,                   (entity, Entity), (boolean, Scripted))                               \
  MSG(23, eManAddAtMsg,                   (text, File), (vec3, Position), (vec3, Rotation))                    \
  MSG(24, eManAddMsg,                     (text, File))                                                        \
  MSG(25, collisionMsg,                   (entity, First), (entity, Second))                                   \
  /* Camera: Camera unless noted. 35 to 42 are sent at once. */                                                \
  MSG(26, cameraSetModeMsg,               (i32, Mode))                                                         \
  MSG(27, cameraRepulsiveMsg,             (vec3, Force))                                                       \
  MSG(28, cameraSetPosTarVecImmediateMsg, (vec3, Position), (vec3, Target))                                    \
  MSG(29, cameraSetTarVecImmediateMsg,    (vec3, Target))                                                      \
  MSG(30, cameraSetPosVecImmediateMsg,    (vec3, Position))                                                    \
  MSG(31, cameraLetterboxMsg,             (f32, Direction))              /* GlobalStateData */                 \
  MSG(32, cameraPullBackMsg)                                                                                   \
  MSG(33, cameraGetInfoMsg,               (i32, Kind), (vec3, Value)) /* Grid, SoundEngine, GlobalStateData */ \
  MSG(34, cameraSetInfoMsg,               (i32, Kind), (vec3, Value))                                          \
  MSG(35, cameraUpdateThird,              (vec3, Third))                                                       \
  MSG(36, cameraSetUpVecMsg,              (vec3, Up))                                                          \
  MSG(37, cameraSetPhiMinMax,             (f32, Min), (f32, Max), (boolean, Clamp))                            \
  MSG(38, cameraSetZoomMinMax,            (f32, Min), (f32, Max), (boolean, Clamp))                            \
  MSG(39, cameraSetViewVecMsg,            (vec3, View))                                                        \
  MSG(40, cameraSetTargetPosVecMsg,       (vec3, Target))                                                      \
  MSG(41, cameraSetPosVecMsg,             (vec3, Position))                                                    \
  MSG(42, cameraSetTargetObjMsg,          (visual, Visual))                                                    \
  /* Resources: ResourceManager, all sent at once, fields in the script functions' argument order. */          \
  MSG(43, renderPassMsg,                  (string, Name), (i32, StateCount), (i32, MaterialCount),             \
                                          (names, StateTypes), (names, StateParams), (names, Materials))       \
  MSG(44, materialMsg,                    (string, Name), (i32, PropertyCount), (names, PropertyTypes),        \
                                          (names, PropertyParams))                                             \
  MSG(45, materialCollectionMsg,          (string, Name), (i32, MaterialCount), (names, Keys),                 \
                                          (names, Materials))                                                  \
  /* Graphics: GraphicsFacade unless noted. graphicsPassMsg is sent at once. */                                \
  MSG(46, graphicsSetBlendFourMsg,        (vec4, Blend))                                                       \
  MSG(47, addWaterfallMsg,                (vec3, P1), (vec3, P2), (vec3, P3), (vec3, P4), (i32, Segments),     \
                                          (f32, Value))                                                        \
  MSG(48, graphicsSetFadeMsg,             (f32, Fade))                                                         \
  MSG(49, graphicsSetFilterMsg,           (i32, Filter))                                                       \
  MSG(50, graphicsSetShadowMsg,           (i32, Shadow))                                                       \
  MSG(51, graphicsSetResMsg,              (i32, Resolution))                                                   \
  MSG(52, graphicsResMsg,                 (i32, Width), (i32, Height))   /* GlobalStateData */                 \
  MSG(53, graphicsPassMsg,                (string, Pass))                                                      \
  MSG(54, graphicsDododWalkStateMsg,      (f32, WalkState))                                                    \
  MSG(55, graphicsIslandRefreshMsg,       (text, Name))                  /* IslandEditor, to 61 */             \
  MSG(56, graphicsIslandYScaleMsg,        (f32, Top), (f32, Bottom))                                           \
  MSG(57, graphicsIslandMaterialMsg,      (string, Material))                                                  \
  MSG(58, graphicsIslandBottomMsg,        (string, Texture))                                                   \
  MSG(59, graphicsIslandTopMsg,           (string, Texture))                                                   \
  MSG(60, graphicsIslandXmlMsg,           (string, File))                                                      \
  MSG(61, graphicsIslandNewMsg,           (string, File))                                                      \
  MSG(62, graphicsLanternMsg,             (vec4, Lantern))                                                     \
  MSG(63, graphicsLightVecMsg,            (positions, Positions), (lights, Lights), (i32, Count))              \
  MSG(64, graphicsLightMsg,               (vec4, Position), (vec4, Color))                                     \
  MSG(65, graphicsVineColorMsg,           (f32, Amount))                                                       \
  MSG(66, graphicsFOVMsg,                 (f32, Growth))                                                       \
  MSG(67, graphicsIslandCreateMsg,        (i32, A), (i32, B), (i32, C))  /* IslandEditor */                    \
  MSG(68, graphicsPickedMsg,              (entity, Picked))              /* LevelEditor */                     \
  MSG(69, graphicsPickMsg,                (i32, X), (i32, Y))                                                  \
  /* Sound: SoundEngine unless noted. */                                                                       \
  MSG(70, soundIncFFComboMsg)                                                                                  \
  MSG(71, soundFFComboMsg,                (i32, Combo))                  /* GlobalStateData */                 \
  MSG(72, soundMusicLayerMsg,             (i32, Layer, -1), (i32, Action, 1), (text, Name, nullptr))           \
  MSG(73, soundSpiralSwerveMsg,           (boolean, On))                                                       \
  MSG(74, soundColoredFireflyMsg,         (text, Name))                                                        \
  MSG(75, soundStopVineGrowthMsg)                                                                              \
  MSG(76, soundPlayVineGrowthMsg,         (text, Name), (boolean, Restart))                                    \
  MSG(77, soundPlay2DMsg,                 (boolean, Music), (text, Name))                                      \
  MSG(78, soundPlay3DMsg,                 (boolean, Music), (vec3, Position), (text, Name))                    \
  /* Script: ScriptEngine. */                                                                                  \
  MSG(79, scriptDoFileMsg,                (text, File))                                                        \
  MSG(80, scriptDoStringMsg,              (text, Source))                                                      \
  MSG(81, scriptReloadMsg,                (text, Name))
// clang-format on

#define HM_MESSAGE_COUNT 81

// Expansion helpers. HM_FIELDS(F, fields...) applies F to each field: F(kind, Name[, default]).
// HM_FIELD_LIST does the same with commas between the results.
#define HM_CAT(a, b) HM_CAT_I(a, b)
#define HM_CAT_I(a, b) a##b
#define HM_COUNT(...) HM_COUNT_I(__VA_OPT__(__VA_ARGS__, ) 8, 7, 6, 5, 4, 3, 2, 1, 0, ~)
#define HM_COUNT_I(_1, _2, _3, _4, _5, _6, _7, _8, n, ...) n

#define HM_FIELDS(F, ...) HM_CAT(HM_FIELDS_, HM_COUNT(__VA_ARGS__))(F, __VA_ARGS__)
#define HM_FIELDS_0(F, ...)
#define HM_FIELDS_1(F, a) F a
#define HM_FIELDS_2(F, a, ...) F a HM_FIELDS_1(F, __VA_ARGS__)
#define HM_FIELDS_3(F, a, ...) F a HM_FIELDS_2(F, __VA_ARGS__)
#define HM_FIELDS_4(F, a, ...) F a HM_FIELDS_3(F, __VA_ARGS__)
#define HM_FIELDS_5(F, a, ...) F a HM_FIELDS_4(F, __VA_ARGS__)
#define HM_FIELDS_6(F, a, ...) F a HM_FIELDS_5(F, __VA_ARGS__)
#define HM_FIELDS_7(F, a, ...) F a HM_FIELDS_6(F, __VA_ARGS__)
#define HM_FIELDS_8(F, a, ...) F a HM_FIELDS_7(F, __VA_ARGS__)

#define HM_FIELD_LIST(F, ...) HM_CAT(HM_FIELD_LIST_, HM_COUNT(__VA_ARGS__))(F, __VA_ARGS__)
#define HM_FIELD_LIST_0(F, ...)
#define HM_FIELD_LIST_1(F, a) F a
#define HM_FIELD_LIST_2(F, a, ...) F a, HM_FIELD_LIST_1(F, __VA_ARGS__)
#define HM_FIELD_LIST_3(F, a, ...) F a, HM_FIELD_LIST_2(F, __VA_ARGS__)
#define HM_FIELD_LIST_4(F, a, ...) F a, HM_FIELD_LIST_3(F, __VA_ARGS__)
#define HM_FIELD_LIST_5(F, a, ...) F a, HM_FIELD_LIST_4(F, __VA_ARGS__)
#define HM_FIELD_LIST_6(F, a, ...) F a, HM_FIELD_LIST_5(F, __VA_ARGS__)
#define HM_FIELD_LIST_7(F, a, ...) F a, HM_FIELD_LIST_6(F, __VA_ARGS__)
#define HM_FIELD_LIST_8(F, a, ...) F a, HM_FIELD_LIST_7(F, __VA_ARGS__)
