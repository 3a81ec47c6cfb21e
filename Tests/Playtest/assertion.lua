-- An assertion in the game is printed and counted as a failed check; no dialog waits.
wait(2)
game("Global.sRangeInversion(7, 1, 1)")
wait(2)
expect(running(), "the game goes on after the assertion")
