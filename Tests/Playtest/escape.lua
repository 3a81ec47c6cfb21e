-- Escape ends the game through its own script (Scripts/game_QuitKey.lua).
wait(5)
tap(keys.escape)
expect(wait_until(function() return not running() end, 3), "Escape ends the game")
