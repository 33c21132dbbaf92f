// Subcommands of kvcode. Each returns the process exit status.
#pragma once

namespace korvex::kvcode {

int runParse(int argc, char** argv);      // kvcode parse [--no-force-zero] FILE
int runSteps(int argc, char** argv);      // kvcode steps FILE INDEX [--upper] [--backward]
int runInfo(int argc, char** argv);       // kvcode info FILE
int runTransform(int argc, char** argv);  // kvcode transform MODE FILE
int runGen3b(int argc, char** argv);      // kvcode gen3b < statements
int runOffset(int argc, char** argv);     // kvcode offset FILE OFFSET_MM [--round]
int runTaper(int argc, char** argv);      // kvcode taper one|two ...
int runGuides(int argc, char** argv);     // kvcode guides FILE INDEX [--end | --steps L,U]
int runMultipass(int argc, char** argv);  // kvcode multipass FILE [options] | --segment LINE FILE
int runDoc(int argc, char** argv);        // kvcode doc FILE [--save OUT]
int runGroups(int argc, char** argv);     // kvcode groups FILE [--threshold UM] [--insert SEGMENT GROUP]
int runJoin(int argc, char** argv);       // kvcode join FILE OTHER DX DY

}  // namespace korvex::kvcode
