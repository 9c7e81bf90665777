// Starting the user interface: which back end shows the dialogs, the hooks it
// takes from the program, scripted runs, the user-interface thread.
#pragma once

#include <functional>
#include <istream>
#include <memory>
#include <ostream>
#include <string>

namespace plat {
class Desktop;
class Clock;
}  // namespace plat

namespace ui {

class Dialog;

struct Hooks {
    // Every top-level window the simulated back ends show is registered here,
    // so that another program on the same simulated machine finds it by title.
    plat::Desktop* desktop = nullptr;
    // Timers and `wait` in scripted runs advance this clock's virtual time.
    plat::Clock* clock = nullptr;
};

enum class Display {
    Auto,      // the terminal on Linux, real windows on Windows
    Script,    // the in-memory model driven by a script, no display
    Terminal,  // the in-memory model drawn with curses
    Native,    // real Win32 windows
    None,      // no display: message boxes print and take default answers
};

struct RunOptions {
    Display display = Display::Auto;
    Hooks hooks;
    // Scripted runs: the script (read line by line) and where MESSAGE lines and
    // dumps go. Null means standard input and standard output.
    std::istream* script = nullptr;
    std::ostream* out = nullptr;
    std::string scriptName = "script";
    // Called with the exit status when a script fails; the default prints
    // nothing more and ends the process at once.
    std::function<void(int status)> fail;
};

// Exit status of a failed script.
inline constexpr int kScriptFailed = 3;

// Reads "--script FILE" ("-" for standard input) from the command line and
// removes it from argc/argv, then starts the display. Returns 0, or an exit
// status (with a message on standard error) when the script cannot be read.
int Init(int& argc, char** argv, const Hooks& hooks = {});
// Starts the display with explicit options (tests, the sample program).
int Start(RunOptions options);
// Ends the display: a script must have nothing left but comments. Returns 0
// or kScriptFailed.
int Shutdown();

// The program's main window (the dialog it runs first): the owner of
// application message boxes when no dialog is active, and where a page finds
// the wizard's buttons.
void SetMainWindow(Dialog* dialog);
Dialog* MainWindow();

// True on the thread that called Init/Start.
bool OnUiThread();
// Runs `fn` on the user-interface thread and waits for it. On that thread it
// runs at once. Control operations called from another thread travel this way.
void CallOnUiThread(const std::function<void()>& fn);

// Starts a worker thread (detached). The model back end counts the running
// workers so that a scripted `wait` knows whether anything can still happen.
void StartWorker(std::function<void()> fn);
int RunningWorkers();

}  // namespace ui
