// Uninstall, the uninstaller. On Windows it runs against the real machine;
// elsewhere against a simulated machine folder, with the installation
// medium mounted as its D: drive and used as the current directory:
//
//   uninstall --machine DIR --medium DIR [--script FILE|-]
//
// Without --script the dialogs are drawn in the terminal and pauses really
// wait; with it they run in virtual time.
//
// Exit status: 0 when the main dialog ran; 11 when another copy runs, 12
// when the setup program is open, 13 under 64-bit Windows, 14 for a user
// who is not an administrator, 15 when the uninstall list is not found;
// 3 when a script fails; 64 for a usage error and 70 when the machine
// cannot be opened.
#include <cstdio>

#include "common/program_main.h"
#include "uninstall/uninstall_app.h"

int main(int argc, char** argv) {
    common::ProgramMain program;
    program.exeName = "Uninstall.exe";
    program.program = common::TextProgram::Uninstall;
    program.realTimeOnTerminal = true;
    return common::RunProgramMain(argc, argv, program, [] {
        uninstall::UninstallApp app;
        app.InitInstance();
        if (app.Outcome() == uninstall::UninstallOutcome::Ran && app.DialogResult() < 0) {
            std::fputs("uninstall: no display for the dialog: run it in a terminal or with --script\n", stderr);
        }
        return app.ExitCode();
    });
}
