-- The opening's caption: the game's name and a hint, near the top left of the window. `Entity`
-- is this script's entity, whose visual is the caption.
Entity:VIS_SetText("Hollowmere Drift\nDusk over the sky sea. Escape ends the game.")
Entity:VIS_sTextPos(0.03, 0.04, 0)
while true do
  coroutine.yield()
end
