-- The game's opening: runs once at start-up, after the materials and render passes exist.
print("game_OnStart: the game's scripts are running")

-- Escape ends the game (Scripts/game_QuitKey.lua).
Global.CreateEntity("../../Assets/Xml/entities/game_QuitKey.xml")

local entities = "../../Assets/Xml/entities/"

-- Islands of the opening: Dodod's home, the lantern's island beside it and two in the distance.
for _, island in ipairs({"e_IslandHome", "e_IslandLantern", "e_IslandFar", "e_IslandLow"}) do
  Global.CreateEntity(entities .. island .. ".xml")
end

-- The height of an island's grass at (x, z): a flattened dome over its rim (as the models are
-- made), a little lower so that what stands there stands in the grass.
local home = {x = 0, y = 3, z = 0, radius = 16, dome = 1.5}
local lantern = {x = 48, y = -3.8, z = 30, radius = 30, dome = 3}
local function Ground(island, x, z)
  local f = ((x - island.x) ^ 2 + (z - island.z) ^ 2) / island.radius ^ 2
  return island.y + island.dome * (1 - f) - 0.15
end

-- What stands on them: {file, island, x, z, turn about y in degrees}.
local props = {
  {"e_Tree", home, 6, -5, 0}, {"e_TreeRound", home, -7, 4, 40}, {"e_Tree", home, -3, -8, 70},
  {"e_Tree", home, 9, 6, 15}, {"e_TreeRound", home, 2, 10, 0}, {"e_Tree", home, -10, -6, 30},
  {"e_Tree", home, 11, -2, 0}, {"e_Stone", home, 3, 3.5, 0}, {"e_Stone", home, -4, 2, 120},
  {"e_Stone", home, 5, -2, 60},
  {"e_Tree", lantern, 30, 27, 10}, {"e_TreeRound", lantern, 40, 13, 0}, {"e_Tree", lantern, 29, 15, 200},
  {"e_Tree", lantern, 43, 25, 90}, {"e_TreeRound", lantern, 38, 30, 30}, {"e_Tree", lantern, 47, 18, 60},
  {"e_TreeRound", lantern, 55, 36, 0}, {"e_Tree", lantern, 60, 24, 100}, {"e_Tree", lantern, 52, 42, 45},
  {"e_Stone", lantern, 33, 24, 30}, {"e_Stone", lantern, 37.5, 18.5, 0}, {"e_Stone", lantern, 45, 33, 80},
}
for _, p in ipairs(props) do
  Global.CreateEntityAt(entities .. p[1] .. ".xml", p[3], Ground(p[2], p[3], p[4]), p[4], 0, p[5], 0)
end
-- The post the lantern hangs from (the player places the lantern at the post's hook).
Global.CreateEntityAt(entities .. "e_LanternPost.xml", 34.45, -1.67, 21.0, 0, 0, 0)

-- Fireflies resting over the grass, each a small warm light.
for _, at in ipairs({{3, 2}, {-5, -2}, {-2, 7}}) do
  Global.CreateEntityAt(entities .. "e_Firefly.xml", at[1], Ground(home, at[1], at[2]) + 1.2, at[2], 0, 0, 0)
end
for _, at in ipairs({{44, 36}, {53, 26}, {31, 18}}) do
  Global.CreateEntityAt(entities .. "e_Firefly.xml", at[1], Ground(lantern, at[1], at[2]) + 1.2, at[2], 0, 0, 0)
end

-- Dodod and the lantern, placed by the player.
Global.CreateDodod(entities .. "game_Dodod.xml")
Global.CreateLantern(entities .. "game_Lantern.xml")

-- The fireflies that gather at the lantern (it hangs at the post's hook): a swarm circling over
-- each near island (kind 2: the radius first, then the centre), a ring of them round the lantern's
-- island that turn to the lantern when they stray within reach (kind 4), and a few from the far
-- island that fly to it at once (kind 3), each a small light as it goes.
Global.GameLanternPosition(35.003, 0.062, 20.997)
Global.FireflySpawnMsg(5, 0, 0, home.x, home.y + 4, home.z, 18, 2)
Global.FireflySpawnMsg(7, 0, 0, 56, 1.5, 40, 16, 2)
Global.FireflySpawnMsg(14, 0, 0, lantern.x, lantern.y + 4, lantern.z, 24, 4)
Global.FireflySpawnMsg(4, 0, 0, -70, 18, 95, 6, 3)

-- The weather of the season: pollen drifts over the islands in summer, rain falls in fall and
-- winter. The opening is summer.
local season = "summer"
local weather = {summer = "game_Pollen", fall = "game_Rain", winter = "game_Rain"}
Global.CreateEntityAt(entities .. weather[season] .. ".xml", 12, 10, 8, 0, 0, 0)

-- A comet crossing the sky (its script steers it), and water falling from the lantern's island's
-- edge on the side that faces Dodod's: the top edge under the grass, the foot 46 units below.
Global.CreateEntity(entities .. "game_Comet.xml")
Global.AddWaterfall(27.62, -3.9, 7.99, 29.65, -3.9, 5.47, 23.59, -49.8, 5.51, 26.37, -49.8, 2.06, 30, 0)

-- The caption, and the view turning slowly round Dodod (game_Orbit.lua follows him once he is
-- there), the lantern's island behind him.
Global.CreateEntity(entities .. "game_Title.xml")
Global.CreateEntity(entities .. "game_Orbit.xml")
local target = {x = 0, y = 5, z = 0}
local eye = {x = -14, y = 13, z = -15}
Global.SetCameraTargetPositionVector(target.x, target.y, target.z)
Global.SetCameraPositionVector(eye.x, eye.y, eye.z)
Global.JumpCameraPositionTarget(eye.x, eye.y, eye.z, target.x, target.y, target.z)
