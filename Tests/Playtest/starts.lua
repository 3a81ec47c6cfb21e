-- The shipped game starts and runs on the play-test clock: every frame lasts 33 ms of game time,
-- the game's random numbers come from the seed, and its frames can be captured.
seed(20240601)
wait(10)
expect(running(), "the game runs after ten frames")
expect(game("Global.TimeElapsed()") == 33, "a frame lasts 33 ms")
print("frames per second of game time: " .. game("Global.FPS()"))
print("the game's dice: " .. game("math.random(1000000)"))
expect(not game("Global.ControllerConnected()"), "no controller unless the play script plugs one in")

local first = capture("first")
wait(20)
local later = capture("later")
expect(first and later, "frames are captured")
local same, difference = compare(first, later, 2, 0.001)
expect(not same, "the opening scene moves by itself: the camera orbits Dodod")
print(string.format("largest difference %d, share %.4f", difference.largest, difference.share))
