// The 1,000,000-line 3B benchmark program, generated from a fixed seed. The code library's load
// benchmark and the document's pipeline benchmark both load it, so they measure the same work.
#pragma once

#include <string>

namespace korvex::bench {

inline constexpr int kProgramLines = 1000000;

// About half straight lines of 0.1 to 2 mm and half arcs of 0.5 to 5 mm radius sweeping up to
// a quarter turn, as a 3B file with its header and end.
std::string generateProgram(int lines = kProgramLines);

}  // namespace korvex::bench
