#include "platform/sim/show.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <sstream>

#include "platform/sim/spooler_registry.h"

namespace plat::sim {

namespace {

namespace fs = std::filesystem;

std::string Hex(std::uint32_t x) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08x", x);
    return buf;
}

template <typename T, typename Call>
Err SizedCall(Call call, std::vector<T>* out) {
    std::uint32_t needed = 0;
    Err e = call(0u, &needed, out);
    if (e == ERROR_INSUFFICIENT_BUFFER) e = call(needed, &needed, out);
    return e;
}

void ShowPrinters(std::ostream& o, Platform& p) {
    Spooler& sp = p.spooler();
    std::vector<PrinterInfo5> printers;
    Err e = SizedCall<PrinterInfo5>(
        [&](std::uint32_t cb, std::uint32_t* need, std::vector<PrinterInfo5>* out) {
            return sp.enumPrinters5(PRINTER_ENUM_LOCAL, nullptr, cb, need, out);
        },
        &printers);
    o << "Printers:\n";
    if (e) {
        o << "  (not listed: error " << e << ")\n";
        return;
    }
    if (printers.empty()) o << "  (none)\n";
    for (const PrinterInfo5& pi : printers) {
        o << "  " << pi.printerName << "\n";
        Handle h = 0;
        PrinterInfo2 info;
        std::uint32_t needed = 0;
        Err ge = sp.openPrinter(pi.printerName.c_str(), PRINTER_ALL_ACCESS, &h);
        if (!ge) {
            ge = sp.getPrinter2(h, 0, &needed, &info);
            if (ge == ERROR_INSUFFICIENT_BUFFER) ge = sp.getPrinter2(h, needed, &needed, &info);
            sp.closePrinter(h);
        }
        if (ge) {
            o << "    Port: " << pi.portName << "\n    (details: error " << ge << ")\n";
            continue;
        }
        o << "    Driver: " << info.driverName << "\n";
        o << "    Port: " << info.portName << "\n";
        o << "    Print processor: " << info.printProcessor << "\n";
        o << "    Attributes: " << Hex(info.attributes) << "\n";
        o << "    Jobs: " << info.cJobs << "\n";
    }
}

void ShowDefaultPrinter(std::ostream& o, Platform& p) {
    std::string device = p.profile().getProfileString("windows", "device", "", 1024);
    std::string name = device.substr(0, device.find(','));
    o << "Default printer: " << (name.empty() ? "(none)" : name) << "\n";
}

void ShowDrivers(std::ostream& o, Platform& p) {
    SpoolRegistry reg(p.registry());
    o << "Drivers:\n";
    bool any = false;
    for (const std::string& env : reg.subKeys(kEnvironmentsKey)) {
        std::string drivers = std::string(kEnvironmentsKey) + "\\" + env + "\\Drivers";
        // Drivers sit in Version-N keys on the NT family, directly on 9x.
        std::vector<std::pair<std::string, std::string>> found;   // (version, key path)
        for (const std::string& sub : reg.subKeys(drivers)) {
            std::string path = drivers + "\\" + sub;
            std::string tmp;
            if (reg.getString(path, "Driver", &tmp)) {
                found.emplace_back("", path);
                continue;
            }
            for (const std::string& d : reg.subKeys(path)) found.emplace_back(sub, path + "\\" + d);
        }
        for (const auto& [version, path] : found) {
            any = true;
            o << "  " << path.substr(path.find_last_of('\\') + 1) << "\n";
            o << "    Environment: " << env << "\n";
            if (!version.empty()) o << "    Version: " << version << "\n";
            for (const char* v : {"Driver", "Data File", "Configuration File", "Help File", "Monitor",
                                  "Datatype"}) {
                std::string text = reg.string(path, v);
                if (!text.empty()) o << "    " << v << ": " << text << "\n";
            }
            std::string deps;
            for (const std::string& f : reg.multiString(path, "Dependent Files"))
                deps += (deps.empty() ? "" : ", ") + f;
            if (!deps.empty()) o << "    Dependent Files: " << deps << "\n";
        }
    }
    if (!any) o << "  (none)\n";
}

void ShowNames(std::ostream& o, const char* title, Err e, const std::vector<std::string>& names,
               const std::function<std::string(const std::string&)>& detail = nullptr) {
    o << title << ":\n";
    if (e) {
        o << "  (not listed: error " << e << ")\n";
        return;
    }
    if (names.empty()) o << "  (none)\n";
    for (const std::string& n : names) {
        o << "  " << n;
        if (detail) o << detail(n);
        o << "\n";
    }
}

void ShowFiles(std::ostream& o, const std::string& root) {
    o << "Files under C:\\WINDOWS:\n";
    std::vector<std::pair<std::string, std::string>> entries;   // (sort key, line)
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::end(it);
         it.increment(ec)) {
        std::string rel = fs::relative(it->path(), root, ec).string();
        if (rel.find(".new-") != std::string::npos) continue;
        std::replace(rel.begin(), rel.end(), '/', '\\');
        std::string line = "  C:\\WINDOWS\\" + rel;
        if (it->is_directory(ec)) {
            line += "\\";
        } else {
            line += "  " + std::to_string(it->file_size(ec));
        }
        entries.emplace_back(FoldCase(rel), line);
    }
    std::sort(entries.begin(), entries.end());
    for (const auto& e : entries) o << e.second << "\n";
}

}  // namespace

std::string ShowMachine(SimPlatform& machine) {
    std::ostringstream o;
    FolderState& st = machine.state();
    OsVersionInfo v;
    machine.system().getVersionEx(&v);
    o << "OS: " << st.get("Machine", "Os") << " (" << st.get("Machine", "ProductName") << ", "
      << v.majorVersion << "." << v.minorVersion << "." << v.buildNumber << ", platform "
      << v.platformId;
    if (!v.csdVersion.empty() && TrimBlanks(v.csdVersion) != "") o << ", " << TrimBlanks(v.csdVersion);
    o << ")\n";
    o << "Administrator: " << (st.get("Machine", "Admin", "1") == "1" ? "yes" : "no") << "\n";
    o << "WOW64: " << (st.get("Machine", "Wow64", "0") == "1" ? "yes" : "no") << "\n";
    o << "Spooler: " << st.get("Spooler", "State", "running") << "\n";
    o << "USB printers:";
    auto usb = st.section("USB");
    if (usb.empty()) o << " (none)";
    for (const auto& [k, val] : usb) o << " " << k << "=" << val;
    o << "\n";
    o << "Held files:";
    auto held = st.section("HeldFiles");
    if (held.empty()) o << " (none)";
    for (const auto& [k, val] : held) o << " " << val;
    o << "\n";
    o << "Windows:";
    bool anyWindow = false;
    for (const SimWindow& w : ReadWindows(st)) {
        if (!ProcessAlive(w.pid)) continue;
        anyWindow = true;
        o << " \"" << w.title << "\"" << (w.pid ? "" : " (winsim)");
    }
    if (!anyWindow) o << " (none)";
    o << "\n";
    o << "Slept: " << ParseCount(st.get("Time", "SleptMs", "0")) << " ms\n\n";

    ShowPrinters(o, machine);
    ShowDefaultPrinter(o, machine);
    ShowDrivers(o, machine);

    Spooler& sp = machine.spooler();
    std::vector<std::string> names;
    auto listed = [&](auto call) {
        names.clear();
        return SizedCall<std::string>(call, &names);
    };
    Err e = listed([&](std::uint32_t cb, std::uint32_t* need, std::vector<std::string>* out) {
        return sp.enumMonitors1(nullptr, cb, need, out);
    });
    ShowNames(o, "Monitors", e, names, [&](const std::string& n) {
        std::string dll =
            SpoolRegistry(machine.registry()).string(std::string(kMonitorsKey) + "\\" + n, "Driver");
        return dll.empty() ? std::string() : " (" + dll + ")";
    });
    e = listed([&](std::uint32_t cb, std::uint32_t* need, std::vector<std::string>* out) {
        return sp.enumPrintProcessors1(nullptr, nullptr, cb, need, out);
    });
    ShowNames(o, "Print processors", e, names);
    e = listed([&](std::uint32_t cb, std::uint32_t* need, std::vector<std::string>* out) {
        return sp.enumPorts1(nullptr, cb, need, out);
    });
    ShowNames(o, "Ports", e, names);
    o << "\n";

    ShowFiles(o, st.hostPath("C:\\WINDOWS"));
    o << "\nwin.ini:\n";
    std::string winIni;
    if (machine.files().readFile("C:\\WINDOWS\\win.ini", &winIni) == 0) {
        std::istringstream in(winIni);
        std::string line;
        while (std::getline(in, line)) {
            line = TrimBlanks(line);
            if (!line.empty()) o << "  " << line << "\n";
        }
    }
    o << "\nRegistry:\n";
    std::string reg;
    ReadHostFile(st.machineDir() + "/registry.reg", &reg);
    o << reg;
    if (!reg.empty() && reg.back() != '\n') o << "\n";
    o << "\nLog:\n";
    std::string log;
    ReadHostFile(st.machineDir() + "/log.txt", &log);
    o << log;
    return o.str();
}

}  // namespace plat::sim
