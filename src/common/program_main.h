// The start of both programs' main: the command line, the platform, the
// dialog framework; then the program's own start-up, then the framework's end.
//
//   <program> --machine DIR --medium DIR [--script FILE|-]
//
// On Windows the program runs against the real machine; elsewhere against a
// simulated machine folder, with the installation medium mounted as its D:
// drive and used as the current directory. Without --script the dialogs are
// drawn in the terminal; when standard input or output is no terminal there
// is nothing to draw on: message boxes are printed as MESSAGE lines.
#pragma once

#include <functional>
#include <string>

#include "common/language_text.h"

namespace common {

inline constexpr int kUsageError = 64;     // a bad command line
inline constexpr int kMachineError = 70;   // the machine cannot be opened

struct ProgramMain {
    std::string exeName;       // "Drivanto.exe" or "Uninstall.exe"
    TextProgram program = TextProgram::Setup;
    // Simulated pauses really wait when the dialogs are drawn in a terminal.
    bool realTimeOnTerminal = false;
};

// Runs the program: parses argv, opens the platform and installs it as the
// program's Sys, starts the framework, calls `startUp` (the program's own
// InitInstance), then ends the framework. Returns the exit status: the
// framework's when it failed (a script that went wrong), else startUp's;
// kUsageError and kMachineError before anything ran.
int RunProgramMain(int argc, char** argv, const ProgramMain& program, const std::function<int()>& startUp);

}  // namespace common
