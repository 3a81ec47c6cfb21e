-- The game's opening: runs once at start-up, after the materials and render passes exist.
print("game_OnStart: the game's scripts are running")

-- Escape ends the game (Scripts/game_QuitKey.lua).
Global.CreateEntity("../../Assets/Xml/entities/game_QuitKey.xml")
