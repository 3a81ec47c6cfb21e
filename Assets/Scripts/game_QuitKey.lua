-- Ends the game when Escape is pressed. Like every entity script it is a coroutine: it looks at
-- the key once per run and yields until the next frame.
local kEscape = 27

while true do
  if Global.IsTriggered(kEscape) then
    print("Escape pressed: quitting")
    Global.QuitGame()
  end
  coroutine.yield()
end
