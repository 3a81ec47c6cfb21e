-- A play test whose check does not hold fails and names the check.
wait(2)
expect(running(), "the game runs")
expect(game("Global.ControllerConnected()"), "a controller nobody plugged in")
