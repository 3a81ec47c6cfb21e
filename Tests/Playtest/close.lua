-- Closing the window ends the game like a quit request: the frame in progress completes.
wait(5)
close_window()
expect(wait(1) == false, "the game ends in the frame that saw the close")
expect(not running(), "closing the window ends the game")
