// The desktop of a simulated machine: top-level windows in machine.ini
// [Windows] (with the process that owns them), named mutexes in [Mutexes],
// shell launches and broadcasts in the log.
#pragma once

#include <string>
#include <vector>

#include "platform/desktop.h"
#include "platform/sim/files.h"
#include "platform/sim/machine_state.h"

namespace plat::sim {

// One top-level window as machine.ini keeps it: "Window<N>=<pid>|<title>|<show>".
// pid 0 is a window that no process of this machine owns (`winsim window`).
struct SimWindow {
    int number = 0;
    long pid = 0;
    std::string title;
    int show = SW_SHOWNORMAL;
};
std::vector<SimWindow> ReadWindows(FolderState& state);
void WriteWindows(FolderState& state, const std::vector<SimWindow>& windows);
bool ProcessAlive(long pid);   // pid 0 counts as alive: it belongs to no process
Hwnd WindowHandle(int number);

class SimDesktop : public Desktop {
public:
    SimDesktop(FolderState& state, SimFiles& files);

    Hwnd findWindow(const std::string& title) override;
    Err setForegroundWindow(Hwnd window) override;
    Err bringWindowToTop(Hwnd window) override;
    Err openIcon(Hwnd window) override;
    Err createMutex(const std::string& name, bool* alreadyExists) override;
    std::intptr_t shellExecute(const char* verb, const char* file, const char* parameters,
                               const char* directory, int show) override;
    Err broadcastWinIniChange(const char* section, std::uint32_t timeoutMs) override;
    Hwnd registerOwnWindow(const std::string& title) override;
    void setOwnWindowTitle(Hwnd window, const std::string& title) override;
    void setOwnWindowState(Hwnd window, int show) override;
    void unregisterOwnWindow(Hwnd window) override;

private:
    // The live window with that handle; false when there is none.
    bool liveWindow(Hwnd window, SimWindow* out);
    Err logWindowCall(const char* call, Hwnd window);
    // The medium's USB driver installer, run in place of a real program.
    void runUsbDriverInstaller(const std::string& exeWindowsPath, const std::string& parameters);

    FolderState& state_;
    SimFiles& files_;
};

}  // namespace plat::sim
