-- The editor's Levels entity. Its tools come with the in-game editor; until then it waits.
while true do
  coroutine.yield()
end
