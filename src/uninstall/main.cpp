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
#include <cstdlib>
#ifndef _WIN32
#include <unistd.h>
#endif
#include <memory>
#include <string>
#include <vector>

#include "common/language_text.h"
#include "common/sys.h"
#include "platform/host.h"
#include "ui/app.h"
#include "ui/message_box.h"
#include "uninstall/uninstall_app.h"

namespace {

constexpr int kUsageError = 64;
constexpr int kMachineError = 70;

const char kUsage[] =
    "usage: uninstall --machine DIR --medium DIR [--script FILE|-]\n"
    "  --machine DIR   the simulated Windows machine (made with `winsim new`)\n"
    "  --medium DIR    the installation medium, mounted as D: and used as the\n"
    "                  current directory\n"
    "  --script FILE   answers for the dialogs and message boxes ('-' reads\n"
    "                  standard input)\n";

struct Arguments {
    plat::HostOptions host;
    std::vector<char*> uiArgs;   // the program name and --script for the framework
    bool scripted = false;
};

bool ParseArguments(int argc, char** argv, Arguments* args) {
    args->uiArgs.push_back(argv[0]);
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        if (option == "--help" || option == "-h") {
            std::fputs(kUsage, stdout);
            std::exit(0);
        }
        if (option != "--machine" && option != "--medium" && option != "--script") {
            std::fprintf(stderr, "uninstall: unknown argument '%s'\n%s", argv[i], kUsage);
            return false;
        }
        if (i + 1 >= argc || argv[i + 1][0] == '\0') {
            std::fprintf(stderr, "uninstall: %s needs a value\n%s", option.c_str(), kUsage);
            return false;
        }
        ++i;
        if (option == "--machine") {
            args->host.machineDir = argv[i];
        } else if (option == "--medium") {
            args->host.mediumDir = argv[i];
        } else {
            args->scripted = true;
            args->uiArgs.push_back(argv[i - 1]);
            args->uiArgs.push_back(argv[i]);
        }
    }
#ifndef _WIN32
    if (args->host.machineDir.empty() || args->host.mediumDir.empty()) {
        std::fprintf(stderr, "uninstall: --machine and --medium are required\n%s", kUsage);
        return false;
    }
    // The terminal front end shows the pauses as they are.
    args->host.realTime = !args->scripted && ::isatty(0) && ::isatty(1);
#endif
    args->uiArgs.push_back(nullptr);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Arguments args;
    if (!ParseArguments(argc, argv, &args)) return kUsageError;
    args.host.programName = "Uninstall.exe";

    std::string error;
    std::unique_ptr<plat::Platform> platform = plat::CreateHostPlatform(args.host, &error);
    if (!platform) {
        std::fprintf(stderr, "uninstall: %s\n", error.c_str());
        return kMachineError;
    }
    common::SetSys(platform.get());
    ui::SetApplicationName("Uninstall");
    common::LanguageText::SetProgram(common::TextProgram::Uninstall);

    ui::Hooks hooks;
    hooks.desktop = &platform->desktop();
    hooks.clock = &platform->clock();
    int status = 0;
#ifdef _WIN32
    const bool framework = true;   // real windows, or a script
#else
    const bool framework = args.scripted || (::isatty(0) && ::isatty(1));
#endif
    if (framework) {
        int uiArgc = static_cast<int>(args.uiArgs.size()) - 1;
        status = ui::Init(uiArgc, args.uiArgs.data(), hooks);
    } else {
        // No terminal to draw on: message boxes are printed as MESSAGE lines.
        ui::RunOptions options;
        options.display = ui::Display::None;
        options.hooks = hooks;
        status = ui::Start(options);
    }
    if (status != 0) return status;

    uninstall::UninstallApp app;
    app.InitInstance();
    if (app.Outcome() == uninstall::UninstallOutcome::Ran && app.DialogResult() < 0) {
        std::fputs("uninstall: no display for the dialog: run it in a terminal or with --script\n", stderr);
    }
    std::fflush(stdout);
    int uiStatus = ui::Shutdown();
    common::SetSys(nullptr);
    return uiStatus != 0 ? uiStatus : app.ExitCode();
}
