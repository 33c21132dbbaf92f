// korvex --render PROGRAM --out FILE.png [--size WxH] [--zoom N] [--machined K] [--lang en|zh]
//
// Draws a program as the graph view shows it, with no card, window, display or settings file:
// the program is loaded as `kvcode parse` loads it, fitted into W x H (1200x800 by default),
// zoomed |N| steps around the centre (in for N > 0), and with --machined K drawn as a forward cut
// over the whole program with segments 0..K-1 machined and K current, no step of it done. Prints
// scale=, level=, originX=, originY= and drawMs= (the full repaint), one per line.
#pragma once

#include <optional>

namespace korvex {

// Runs --render when it is on the command line and returns the exit status (0; 1 when the
// program does not load, with the loader's message on standard error; 2 for a bad option).
// Nothing when the program is to start normally.
std::optional<int> answerRenderOption(int& argc, char** argv);

}  // namespace korvex
