#include "platform/sim/machine_ops.h"

#include "platform/sim/desktop.h"

namespace plat::sim {

bool HoldFile(FolderState& state, const std::string& windowsPath, std::string* error) {
    ResolvedPath r;
    if (state.resolve(windowsPath, &r) != 0) {
        if (error) *error = "\"" + windowsPath + "\" is not a path on this machine (C: or D:)";
        return false;
    }
    FolderState::Lock lock(state);
    if (state.isHeld(r.windows)) return true;
    auto held = state.section("HeldFiles");
    int n = 1;
    for (const auto& [k, v] : held) {
        if (k.size() > 4) n = std::max(n, static_cast<int>(ParseCount(k.substr(4))) + 1);
    }
    held.emplace_back("File" + std::to_string(n), r.windows);
    state.setSection("HeldFiles", held);
    state.log("Held open by another program: " + r.windows);
    return true;
}

void ReleaseFile(FolderState& state, const std::string& windowsPath) {
    FolderState::Lock lock(state);
    auto held = state.section("HeldFiles");
    ResolvedPath r;
    bool all = windowsPath.empty() || state.resolve(windowsPath, &r) != 0;
    std::erase_if(held, [&](const auto& e) {
        ResolvedPath h;
        return all || (state.resolve(e.second, &h) == 0 && EqualNoCase(h.windows, r.windows));
    });
    state.setSection("HeldFiles", held);
    state.log(all ? std::string("Released all held files") : "Released: " + r.windows);
}

void OpenWindow(FolderState& state, const std::string& title) {
    FolderState::Lock lock(state);
    std::vector<SimWindow> all = ReadWindows(state);
    std::erase_if(all, [](const SimWindow& w) { return !ProcessAlive(w.pid); });
    int number = 1;
    for (const SimWindow& w : all) number = std::max(number, w.number + 1);
    all.push_back({number, 0, title, SW_SHOWNORMAL});
    WriteWindows(state, all);
    state.log("Window opened by another program: \"" + title + "\"");
}

bool CloseWindow(FolderState& state, const std::string& title) {
    FolderState::Lock lock(state);
    std::vector<SimWindow> all = ReadWindows(state);
    std::size_t before = all.size();
    std::erase_if(all, [&](const SimWindow& w) { return w.pid == 0 && EqualNoCase(w.title, title); });
    if (all.size() == before) return false;
    WriteWindows(state, all);
    state.log("Window closed by another program: \"" + title + "\"");
    return true;
}

void HoldMutex(FolderState& state, const std::string& name) { state.set("Mutexes", name, "0"); }

void PlugUsbPrinter(FolderState& state, int release) {
    FolderState::Lock lock(state);
    auto usb = state.section("USB");
    usb.emplace_back("Printer" + std::to_string(usb.size() + 1), std::to_string(release));
    state.setSection("USB", usb);
    state.log("USB printer plugged in, device release " + std::to_string(release));
}

void UnplugUsbPrinters(FolderState& state) {
    state.setSection("USB", {});
    state.log("USB printers unplugged");
}

void SetSpoolerState(FolderState& state, bool running) {
    state.set("Spooler", "State", running ? "running" : "stopped");
    state.log(running ? "Spooler started from outside" : "Spooler stopped from outside");
}

Err QueueJobs(FolderState& state, Spooler& spooler, const std::string& printer, int count) {
    Handle h = 0;
    if (Err e = spooler.openPrinter(printer.c_str(), PRINTER_ALL_ACCESS, &h)) return e;
    spooler.closePrinter(h);
    FolderState::Lock lock(state);
    std::uint64_t jobs = ParseCount(state.get("Jobs", printer, "0")) + static_cast<std::uint64_t>(count);
    state.set("Jobs", printer, std::to_string(jobs));
    state.log("Queued " + std::to_string(count) + " print job(s) on \"" + printer + "\"");
    return 0;
}

}  // namespace plat::sim
