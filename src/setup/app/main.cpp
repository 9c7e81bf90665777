// Drivanto, the setup program. On Windows it runs against the real machine;
// elsewhere against a simulated machine folder, with the installation
// medium mounted as its D: drive:
//
//   drivanto --machine DIR --medium DIR [--script FILE|-]
//
// Exit status: 0 when the start-up checks pass, 2 when another copy runs,
// 3 when the uninstaller is open, 4 on a refused Windows version, 5 when
// the configured printer offers no port, 64 for a usage error and 70 when
// the machine cannot be opened.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "common/language_text.h"
#include "common/sys.h"
#include "platform/host.h"
#include "setup/app/setup_app.h"
#include "ui/message_box.h"

namespace {

constexpr int kUsageError = 64;
constexpr int kMachineError = 70;

const char kUsage[] =
    "usage: drivanto --machine DIR --medium DIR [--script FILE|-]\n"
    "  --machine DIR   the simulated Windows machine (made with `winsim new`)\n"
    "  --medium DIR    the installation medium, mounted as D: and used as the\n"
    "                  current directory\n"
    "  --script FILE   answers for the dialogs and message boxes ('-' reads\n"
    "                  standard input)\n";

struct Arguments {
    plat::HostOptions host;
    std::string script;
};

// Parses the command line; on a usage error prints why and returns false.
bool ParseArguments(int argc, char** argv, Arguments* args) {
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        if (option == "--help" || option == "-h") {
            std::fputs(kUsage, stdout);
            std::exit(0);
        }
        std::string* target = nullptr;
        if (option == "--machine") {
            target = &args->host.machineDir;
        } else if (option == "--medium") {
            target = &args->host.mediumDir;
        } else if (option == "--script") {
            target = &args->script;
        } else {
            std::fprintf(stderr, "drivanto: unknown argument '%s'\n%s", argv[i], kUsage);
            return false;
        }
        if (i + 1 >= argc || argv[i + 1][0] == '\0') {
            std::fprintf(stderr, "drivanto: %s needs a value\n%s", option.c_str(), kUsage);
            return false;
        }
        *target = argv[++i];
    }
#ifndef _WIN32
    if (args->host.machineDir.empty() || args->host.mediumDir.empty()) {
        std::fprintf(stderr, "drivanto: --machine and --medium are required\n%s", kUsage);
        return false;
    }
#endif
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Arguments args;
    if (!ParseArguments(argc, argv, &args)) return kUsageError;
    args.host.programName = "Drivanto.exe";

    std::string error;
    std::unique_ptr<plat::Platform> platform = plat::CreateHostPlatform(args.host, &error);
    if (!platform) {
        std::fprintf(stderr, "drivanto: %s\n", error.c_str());
        return kMachineError;
    }
    common::SetSys(platform.get());
    ui::SetApplicationName("Drivanto");
    common::LanguageText::SetProgram(common::TextProgram::Setup);

    setup::SetupApp app;
    app.InitInstance();
    if (app.Outcome() == setup::StartupOutcome::Passed) {
        std::fputs("Drivanto: the start-up checks passed; the wizard is not built yet, so the "
                   "program ends here.\n",
                   stdout);
    }
    std::fflush(stdout);
    common::SetSys(nullptr);
    return app.ExitCode();
}
