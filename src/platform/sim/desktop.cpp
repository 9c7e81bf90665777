#include "platform/sim/desktop.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace plat::sim {

namespace {
constexpr Hwnd kWindowBase = 0x10000;
constexpr std::intptr_t kSeErrFileNotFound = 2;
constexpr std::intptr_t kSeErrPathNotFound = 3;
constexpr std::intptr_t kShellSuccess = 42;

std::string Quote(const char* text) { return text ? "\"" + std::string(text) + "\"" : "(null)"; }
}  // namespace

bool ProcessAlive(long pid) {
    if (pid == 0) return true;
    if (pid < 0) return false;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

Hwnd WindowHandle(int number) { return kWindowBase + static_cast<Hwnd>(number); }

std::vector<SimWindow> ReadWindows(FolderState& state) {
    std::vector<SimWindow> out;
    for (const auto& [key, value] : state.section("Windows")) {
        if (key.size() < 7 || !EqualNoCase(key.substr(0, 6), "Window")) continue;
        std::size_t first = value.find('|'), last = value.rfind('|');
        if (first == std::string::npos || last == first) continue;
        SimWindow w;
        w.number = static_cast<int>(ParseCount(key.substr(6)));
        w.pid = static_cast<long>(ParseCount(value.substr(0, first)));
        w.title = value.substr(first + 1, last - first - 1);
        w.show = static_cast<int>(ParseCount(value.substr(last + 1)));
        if (w.number > 0) out.push_back(w);
    }
    return out;
}

void WriteWindows(FolderState& state, const std::vector<SimWindow>& windows) {
    std::vector<std::pair<std::string, std::string>> entries;
    for (const SimWindow& w : windows) {
        entries.emplace_back("Window" + std::to_string(w.number),
                             std::to_string(w.pid) + "|" + w.title + "|" + std::to_string(w.show));
    }
    state.setSection("Windows", entries);
}

SimDesktop::SimDesktop(FolderState& state, SimFiles& files) : state_(state), files_(files) {}

Hwnd SimDesktop::findWindow(const std::string& title) {
    for (const SimWindow& w : ReadWindows(state_)) {
        if (ProcessAlive(w.pid) && EqualNoCase(w.title, title)) return WindowHandle(w.number);
    }
    return 0;
}

bool SimDesktop::liveWindow(Hwnd window, SimWindow* out) {
    for (const SimWindow& w : ReadWindows(state_)) {
        if (WindowHandle(w.number) == window && ProcessAlive(w.pid)) {
            *out = w;
            return true;
        }
    }
    return false;
}

Err SimDesktop::logWindowCall(const char* call, Hwnd window) {
    SimWindow w;
    if (!liveWindow(window, &w)) return ERROR_INVALID_WINDOW_HANDLE;
    state_.log(std::string(call) + " \"" + w.title + "\"");
    return 0;
}

Err SimDesktop::setForegroundWindow(Hwnd window) { return logWindowCall("SetForegroundWindow", window); }

Err SimDesktop::bringWindowToTop(Hwnd window) { return logWindowCall("BringWindowToTop", window); }

Err SimDesktop::openIcon(Hwnd window) {
    FolderState::Lock lock(state_);
    if (Err e = logWindowCall("OpenIcon", window)) return e;
    std::vector<SimWindow> all = ReadWindows(state_);
    for (SimWindow& w : all) {
        if (WindowHandle(w.number) == window &&
            (w.show == SW_SHOWMINIMIZED || w.show == SW_MINIMIZE))
            w.show = SW_SHOWNORMAL;
    }
    WriteWindows(state_, all);
    return 0;
}

Err SimDesktop::createMutex(const std::string& name, bool* alreadyExists) {
    FolderState::Lock lock(state_);
    std::string owner = state_.get("Mutexes", name);
    if (!owner.empty() && ProcessAlive(static_cast<long>(ParseCount(owner)))) {
        *alreadyExists = true;
        return 0;
    }
    state_.set("Mutexes", name, std::to_string(::getpid()));
    *alreadyExists = false;
    return 0;
}

void SimDesktop::runUsbDriverInstaller(const std::string& exe, const std::string& parameters) {
    std::string folder = exe.substr(0, exe.find_last_of('\\'));
    std::string installed = "C:\\WINDOWS\\system32\\drivers\\bulkusb.sys";
    if (parameters == "2") {
        files_.createDirectory("C:\\WINDOWS\\system32");
        files_.createDirectory("C:\\WINDOWS\\system32\\drivers");
        Err e = files_.copyFile(folder + "\\bulkusb.sys", installed, false);
        state_.log("USB driver installer: copy " + folder + "\\bulkusb.sys to " + installed +
                   (e ? " failed, error " + std::to_string(e) : ""));
    } else if (parameters == "22") {
        Err e = files_.deleteFile(installed);
        state_.log("USB driver installer: delete " + installed +
                   (e ? " failed, error " + std::to_string(e) : ""));
    } else {
        state_.log("USB driver installer: parameters \"" + parameters + "\" ignored");
    }
}

std::intptr_t SimDesktop::shellExecute(const char* verb, const char* file, const char* parameters,
                                       const char* directory, int show) {
    std::string line = "ShellExecute " + Quote(verb) + " " + Quote(file) + " parameters " +
                       Quote(parameters) + " directory " + Quote(directory) + " show " +
                       std::to_string(show);
    std::string path = file ? file : "";
    bool relative = path.size() < 2 || (path[1] != ':' && path[0] != '\\');
    if (relative && directory && *directory) path = std::string(directory) + "\\" + path;
    ResolvedPath r;
    std::uint32_t attributes = 0;
    Err e = path.empty() ? ERROR_FILE_NOT_FOUND : state_.resolve(path, &r);
    if (!e) e = files_.getFileAttributes(r.windows, &attributes);
    if (e) {
        std::intptr_t result = e == ERROR_PATH_NOT_FOUND ? kSeErrPathNotFound : kSeErrFileNotFound;
        state_.log(line + " -> " + std::to_string(result) + " (not found)");
        return result;
    }
    state_.log(line + " -> " + std::to_string(kShellSuccess));
    std::size_t cut = r.windows.find_last_of('\\');
    std::string base = r.windows.substr(cut + 1);
    std::string folder = r.windows.substr(0, cut);
    std::string parent = folder.substr(folder.find_last_of('\\') + 1);
    if (EqualNoCase(base, "Install.exe") && EqualNoCase(parent, "USBDrv")) {
        runUsbDriverInstaller(r.windows, parameters ? parameters : "");
    }
    return kShellSuccess;
}

Err SimDesktop::broadcastWinIniChange(const char* section, std::uint32_t timeoutMs) {
    std::string how = timeoutMs ? "SendMessageTimeout " + std::to_string(timeoutMs) + " ms"
                                : std::string("SendNotifyMessage");
    state_.log("Broadcast WM_WININICHANGE " + Quote(section) + " (" + how + ")");
    return 0;
}

Hwnd SimDesktop::registerOwnWindow(const std::string& title) {
    FolderState::Lock lock(state_);
    std::vector<SimWindow> all = ReadWindows(state_);
    // Windows of ended processes are gone for good.
    std::erase_if(all, [](const SimWindow& w) { return !ProcessAlive(w.pid); });
    int number = 1;
    for (const SimWindow& w : all) number = std::max(number, w.number + 1);
    all.push_back({number, static_cast<long>(::getpid()), title, SW_SHOWNORMAL});
    WriteWindows(state_, all);
    return WindowHandle(number);
}

void SimDesktop::setOwnWindowTitle(Hwnd window, const std::string& title) {
    FolderState::Lock lock(state_);
    std::vector<SimWindow> all = ReadWindows(state_);
    for (SimWindow& w : all) {
        if (WindowHandle(w.number) == window && w.pid == ::getpid()) w.title = title;
    }
    WriteWindows(state_, all);
}

void SimDesktop::setOwnWindowState(Hwnd window, int show) {
    FolderState::Lock lock(state_);
    std::vector<SimWindow> all = ReadWindows(state_);
    for (SimWindow& w : all) {
        if (WindowHandle(w.number) == window && w.pid == ::getpid()) w.show = show;
    }
    WriteWindows(state_, all);
}

void SimDesktop::unregisterOwnWindow(Hwnd window) {
    FolderState::Lock lock(state_);
    std::vector<SimWindow> all = ReadWindows(state_);
    std::erase_if(all, [&](const SimWindow& w) {
        return WindowHandle(w.number) == window && w.pid == ::getpid();
    });
    WriteWindows(state_, all);
}

}  // namespace plat::sim
