-- The opening view: the camera follows Dodod and turns slowly round him, a full turn in under a
-- minute.
local kTurnSpeed = 0.1
local dodod = Global.FindEntityByName("Dodod")
if dodod then
  Global.SetCameraTargetObject(dodod)
end
while true do
  Global.UpdateCameraThird(kTurnSpeed, 0, 1)
  coroutine.yield()
end
