-- The comet's course: a wide circle high in the sky, tilted so that it rises over the islands and
-- sinks behind them, about a minute round. `Entity` is the comet.
local kCentre = {x = 40, y = 150, z = 60}
local kRadius = 320
local kTilt = 0.35    -- how far the circle leans out of the horizontal (radians)
local kSpeed = 0.0001 -- radians per millisecond
local angle = 2.4
while true do
  angle = angle + kSpeed * Global.TimeElapsed()
  local c, s = math.cos(angle), math.sin(angle)
  Entity:SHR_sPosition(kCentre.x + kRadius * c, kCentre.y + kRadius * s * math.sin(kTilt),
                       kCentre.z + kRadius * s * math.cos(kTilt))
  coroutine.yield()
end
