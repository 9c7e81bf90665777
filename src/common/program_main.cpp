#include "common/program_main.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <memory>
#ifndef _WIN32
#include <unistd.h>
#endif
#include <vector>

#include "common/sys.h"
#include "platform/host.h"
#include "ui/app.h"
#include "ui/message_box.h"

namespace common {
namespace {

struct Arguments {
    plat::HostOptions host;
    // What the dialog framework reads: the program name and --script.
    std::vector<char*> uiArgs;
    bool scripted = false;
};

std::string Usage(const std::string& command) {
    return "usage: " + command +
           " --machine DIR --medium DIR [--script FILE|-]\n"
           "  --machine DIR   the simulated Windows machine (made with `winsim new`)\n"
           "  --medium DIR    the installation medium, mounted as D: and used as the\n"
           "                  current directory\n"
           "  --script FILE   answers for the dialogs and message boxes ('-' reads\n"
           "                  standard input)\n";
}

// Parses the command line; on a usage error prints why and returns false.
bool ParseArguments(int argc, char** argv, const std::string& command, bool realTimeOnTerminal,
                    Arguments* args) {
    const std::string usage = Usage(command);
    const char* name = command.c_str();
    args->uiArgs.push_back(argv[0]);
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        if (option == "--help" || option == "-h") {
            std::fputs(usage.c_str(), stdout);
            std::exit(0);
        }
        if (option != "--machine" && option != "--medium" && option != "--script") {
            std::fprintf(stderr, "%s: unknown argument '%s'\n%s", name, argv[i], usage.c_str());
            return false;
        }
        if (i + 1 >= argc || argv[i + 1][0] == '\0') {
            std::fprintf(stderr, "%s: %s needs a value\n%s", name, option.c_str(), usage.c_str());
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
        std::fprintf(stderr, "%s: --machine and --medium are required\n%s", name, usage.c_str());
        return false;
    }
    // The terminal front end shows the pauses as they are.
    if (realTimeOnTerminal) args->host.realTime = !args->scripted && ::isatty(0) && ::isatty(1);
#else
    (void)realTimeOnTerminal;
#endif
    args->uiArgs.push_back(nullptr);
    return true;
}

}  // namespace

int RunProgramMain(int argc, char** argv, const ProgramMain& program, const std::function<int()>& startUp) {
    // "Drivanto.exe": the window titles say "Drivanto", messages "drivanto: ".
    const std::string title = program.exeName.substr(0, program.exeName.rfind('.'));
    std::string command = title;
    for (char& c : command) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));

    Arguments args;
    if (!ParseArguments(argc, argv, command, program.realTimeOnTerminal, &args)) return kUsageError;
    args.host.programName = program.exeName;

    std::string error;
    std::unique_ptr<plat::Platform> platform = plat::CreateHostPlatform(args.host, &error);
    if (!platform) {
        std::fprintf(stderr, "%s: %s\n", command.c_str(), error.c_str());
        return kMachineError;
    }
    SetSys(platform.get());
    ui::SetApplicationName(title);
    LanguageText::SetProgram(program.program);

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

    int exitCode = startUp();
    std::fflush(stdout);
    int uiStatus = ui::Shutdown();
    SetSys(nullptr);
    return uiStatus != 0 ? uiStatus : exitCode;
}

}  // namespace common
