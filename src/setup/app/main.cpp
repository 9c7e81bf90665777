// Drivanto, the setup program. On Windows it runs against the real machine;
// elsewhere against a simulated machine folder, with the installation
// medium mounted as its D: drive and used as the current directory:
//
//   drivanto --machine DIR --medium DIR [--script FILE|-]
//
// Without --script the wizard is drawn in the terminal; when standard input
// or output is no terminal there is nothing to draw on: message boxes are
// printed as MESSAGE lines and the wizard does not appear.
//
// Exit status: 0 when the start-up checks pass (the wizard ran, or could not
// be shown); 11 when another copy runs,
// 12 when the uninstaller is open, 13 on a refused Windows version, 14 when
// the configured printer offers no port; 3 when a script fails; 64 for a
// usage error and 70 when the machine cannot be opened.
#include <cstdio>

#include "common/program_main.h"
#include "setup/app/setup_app.h"

int main(int argc, char** argv) {
    common::ProgramMain program;
    program.exeName = "Drivanto.exe";
    program.program = common::TextProgram::Setup;
    return common::RunProgramMain(argc, argv, program, [] {
        setup::SetupApp app;
        app.InitInstance();
        if (app.Outcome() == setup::StartupOutcome::Passed && app.WizardResult() < 0) {
            std::fputs("drivanto: no display for the wizard: run it in a terminal or with --script\n",
                       stderr);
        }
        return app.ExitCode();
    });
}
