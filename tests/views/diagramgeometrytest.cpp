// filled in with the window
