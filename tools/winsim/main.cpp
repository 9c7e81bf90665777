// winsim: makes, shows and changes simulated Windows machines (see
// docs/simulated-machine.md).
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "platform/sim/machine_ops.h"
#include "platform/sim/presets.h"
#include "platform/sim/show.h"
#include "platform/sim/sim_platform.h"

namespace {

using plat::sim::SimPlatform;

const char kUsage[] =
    "usage:\n"
    "  winsim new DIR --os NAME [--not-admin] [--wow64] [--usb-printer RELEASE]... [--bulkusb VERSION]\n"
    "  winsim show DIR\n"
    "  winsim job DIR PRINTER COUNT\n"
    "  winsim usb DIR plug RELEASE | unplug\n"
    "  winsim hold DIR PATH | release [PATH]     (also: winsim release DIR [PATH])\n"
    "  winsim spooler DIR start | stop\n"
    "  winsim window DIR open | close TITLE\n";

int Fail(const std::string& message) {
    std::cerr << "winsim: " << message << "\n";
    return 1;
}

int Usage(const std::string& message) {
    std::cerr << "winsim: " << message << "\n" << kUsage;
    return 2;
}

// A whole decimal number in [low, high].
bool ParseNumber(const std::string& text, long low, long high, long* out) {
    if (text.empty()) return false;
    char* end = nullptr;
    long v = std::strtol(text.c_str(), &end, 10);
    if (*end || v < low || v > high) return false;
    *out = v;
    return true;
}

int New(const std::vector<std::string>& a) {
    plat::sim::NewMachineOptions o;
    o.dir = a[1];
    o.os.clear();
    for (std::size_t i = 2; i < a.size(); ++i) {
        const std::string& f = a[i];
        auto value = [&](std::string* out) {
            if (i + 1 >= a.size()) return false;
            *out = a[++i];
            return true;
        };
        std::string v;
        if (f == "--os") {
            if (!value(&o.os)) return Usage("--os needs a name");
        } else if (f == "--not-admin") {
            o.admin = false;
        } else if (f == "--wow64") {
            o.wow64 = true;
        } else if (f == "--usb-printer") {
            long release = 0;
            if (!value(&v) || !ParseNumber(v, 0, 0xFFFF, &release))
                return Usage("--usb-printer needs a device release number 0..65535");
            o.usbPrinters.push_back(static_cast<int>(release));
        } else if (f == "--bulkusb") {
            if (!value(&o.bulkusbVersion)) return Usage("--bulkusb needs a version like 1.0.0.5");
        } else {
            return Usage("unknown option " + f);
        }
    }
    if (o.os.empty()) return Usage("new needs --os NAME (" + plat::sim::OsPresetNames() + ")");
    std::string error;
    if (!plat::sim::CreateMachine(o, &error)) return Fail(error);
    std::cout << "made a " << o.os << " machine in " << o.dir << "\n";
    return 0;
}

int Run(const std::vector<std::string>& a) {
    const std::string& cmd = a[0];
    if (cmd == "new") return New(a);
    plat::sim::SimPlatformOptions o;
    o.machineDir = a[1];
    // The medium does not matter to these commands; any folder will do.
    o.mediumDir = a[1];
    std::string error;
    std::unique_ptr<SimPlatform> m = SimPlatform::Open(o, &error);
    if (!m) return Fail(error);
    auto& state = m->state();
    if (cmd == "show") {
        if (a.size() != 2) return Usage("show takes only the machine folder");
        std::cout << plat::sim::ShowMachine(*m);
        return 0;
    }
    if (cmd == "job") {
        long count = 0;
        if (a.size() != 4 || !ParseNumber(a[3], 1, 100000, &count))
            return Usage("job needs a printer name and a job count of 1 or more");
        if (plat::Err e = plat::sim::QueueJobs(state, m->spooler(), a[2], static_cast<int>(count))) {
            std::string text;
            m->errorText().formatMessage(e, &text);
            return Fail("cannot queue jobs on \"" + a[2] + "\": error " + std::to_string(e) + " " + text);
        }
        return 0;
    }
    if (cmd == "usb") {
        long release = 0;
        if (a.size() == 4 && a[2] == "plug" && ParseNumber(a[3], 0, 0xFFFF, &release)) {
            plat::sim::PlugUsbPrinter(state, static_cast<int>(release));
            return 0;
        }
        if (a.size() == 3 && a[2] == "unplug") {
            plat::sim::UnplugUsbPrinters(state);
            return 0;
        }
        return Usage("usb needs plug RELEASE (0..65535) or unplug");
    }
    if (cmd == "hold" && a.size() >= 3 && a[2] == "release") {
        // "winsim hold DIR release [PATH]" is the same as "winsim release DIR [PATH]".
        if (a.size() > 4) return Usage("release takes at most one path");
        plat::sim::ReleaseFile(state, a.size() == 4 ? a[3] : "");
        return 0;
    }
    if (cmd == "hold") {
        if (a.size() != 3) return Usage("hold needs a Windows path");
        if (!plat::sim::HoldFile(state, a[2], &error)) return Fail(error);
        return 0;
    }
    if (cmd == "release") {
        if (a.size() > 3) return Usage("release takes at most one path");
        plat::sim::ReleaseFile(state, a.size() == 3 ? a[2] : "");
        return 0;
    }
    if (cmd == "spooler") {
        if (a.size() != 3 || (a[2] != "start" && a[2] != "stop")) return Usage("spooler needs start or stop");
        plat::sim::SetSpoolerState(state, a[2] == "start");
        return 0;
    }
    if (cmd == "window") {
        if (a.size() != 4 || (a[2] != "open" && a[2] != "close")) return Usage("window needs open|close TITLE");
        if (a[2] == "open") {
            plat::sim::OpenWindow(state, a[3]);
        } else if (!plat::sim::CloseWindow(state, a[3])) {
            return Fail("no window titled \"" + a[3] + "\" opened with winsim");
        }
        return 0;
    }
    return Usage("unknown command " + cmd);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> a(argv + 1, argv + argc);
    if (a.size() == 1 && (a[0] == "--help" || a[0] == "-h" || a[0] == "help")) {
        std::cout << kUsage;
        return 0;
    }
    if (a.size() < 2) return Usage(a.empty() ? "no command" : "no machine folder");
    return Run(a);
}
