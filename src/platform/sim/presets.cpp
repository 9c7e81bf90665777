#include "platform/sim/presets.h"

#include <cstdio>
#include <filesystem>
#include <functional>

#include "platform/sim/clock.h"
#include "platform/sim/files.h"
#include "platform/sim/machine_state.h"
#include "platform/sim/pe_image.h"
#include "platform/sim/registry.h"
#include "platform/sim/sim_parts.h"

namespace plat::sim {

namespace fs = std::filesystem;

std::string OsPresetNames() {
    std::string out;
    for (const OsPreset& p : OsPresets()) out += std::string(out.empty() ? "" : ", ") + p.name;
    return out;
}

namespace {

void SetString(Registry& reg, HKey key, const char* name, const std::string& value) {
    reg.setValue(key, name, REG_SZ, reinterpret_cast<const std::uint8_t*>(value.c_str()),
                 static_cast<std::uint32_t>(value.size() + 1));
}

Err WithKey(Registry& reg, const std::string& path, const std::function<void(HKey)>& fill) {
    HKey key = 0;
    std::uint32_t disposition = 0;
    if (Err e = reg.createKey(HKEY_LOCAL_MACHINE, path, KEY_ALL_ACCESS, &key, &disposition)) return e;
    fill(key);
    return reg.closeKey(key);
}

void LayRegistry(Registry& reg, const OsPreset& os) {
    char version[32], build[16], number[48];
    std::snprintf(version, sizeof version, "%u.%u", os.major, os.minor);
    std::snprintf(build, sizeof build, "%u", os.build);
    std::snprintf(number, sizeof number, "%u.%u.%u", os.major, os.minor, os.build);
    if (os.platformId == VER_PLATFORM_WIN32_NT) {
        WithKey(reg, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", [&](HKey k) {
            SetString(reg, k, "ProductName", os.productName);
            SetString(reg, k, "CurrentVersion", version);
            SetString(reg, k, "CurrentBuildNumber", build);
            if (*os.csdVersion) SetString(reg, k, "CSDVersion", os.csdVersion);
        });
        // Default settings of the serial ports, as Windows keeps them.
        WithKey(reg, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports", [&](HKey k) {
            for (const char* com : {"COM1:", "COM2:", "COM3:", "COM4:"})
                SetString(reg, k, com, "9600,n,8,1");
            for (const char* other : {"FILE:", "LPT1:", "LPT2:", "LPT3:"}) SetString(reg, k, other, "");
        });
    } else {
        WithKey(reg, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", [&](HKey k) {
            SetString(reg, k, "ProductName", os.productName);
            SetString(reg, k, "VersionNumber", number);
            if (*os.csdVersion) SetString(reg, k, "SubVersionNumber", os.csdVersion);
        });
        // The port class: two serial ports, then two printer ports.
        struct PortEntry {
            const char* key;
            const char* name;
            const char* description;
            std::uint8_t subClass;
        };
        const PortEntry ports[] = {
            {"0000", "COM1", "Communications Port", 1},
            {"0001", "COM2", "Communications Port", 1},
            {"0002", "LPT1", "Printer Port", 0},
            {"0003", "LPT2", "Printer Port", 0},
        };
        for (const PortEntry& p : ports) {
            WithKey(reg, std::string("System\\CurrentControlSet\\Services\\Class\\Ports\\") + p.key,
                    [&](HKey k) {
                        SetString(reg, k, "DriverDesc", p.description);
                        SetString(reg, k, "PortName", p.name);
                        reg.setValue(k, "PortSubClass", REG_BINARY, &p.subClass, 1);
                    });
        }
    }
}

std::string WinIni(const OsPreset& os) {
    if (os.platformId == VER_PLATFORM_WIN32_NT) {
        return "; for 16-bit app support\r\n[fonts]\r\n[extensions]\r\n[mci extensions]\r\n"
               "[files]\r\n[Mail]\r\nMAPI=1\r\n";
    }
    return "[windows]\r\nload=\r\nrun=\r\nNullPort=None\r\n\r\n[Desktop]\r\nWallpaper=(None)\r\n\r\n"
           "[Ports]\r\nLPT1:=\r\nLPT2:=\r\nCOM1:=9600,n,8,1,x\r\nCOM2:=9600,n,8,1,x\r\n"
           "COM3:=9600,n,8,1,x\r\nCOM4:=9600,n,8,1,x\r\nFILE:=\r\n";
}

bool ValidVersion(const std::string& v) {
    int parts = 1;
    if (v.empty() || v.front() == '.' || v.back() == '.') return false;
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (v[i] == '.') {
            if (v[i - 1] == '.') return false;
            ++parts;
        } else if (v[i] < '0' || v[i] > '9') {
            return false;
        }
    }
    return parts == 4;
}

}  // namespace

bool CreateMachine(const NewMachineOptions& options, std::string* error) {
    const OsPreset* preset = FindOsPreset(options.os);
    if (!preset) {
        *error = "unknown OS \"" + options.os + "\"; known: " + OsPresetNames();
        return false;
    }
    if (!options.bulkusbVersion.empty() && !ValidVersion(options.bulkusbVersion)) {
        *error = "bad bulkusb.sys version \"" + options.bulkusbVersion +
                 "\": expected four numbers like 1.0.0.5";
        return false;
    }
    for (int release : options.usbPrinters) {
        if (release < 0 || release > 0xFFFF) {
            *error = "bad USB device release number " + std::to_string(release) + " (0..65535)";
            return false;
        }
    }
    const OsPreset& os = *preset;
    bool nt = os.platformId == VER_PLATFORM_WIN32_NT;
    std::error_code ec;
    fs::path dir(options.dir);
    if (fs::exists(dir / "machine.ini", ec)) {
        *error = options.dir + " already holds a machine";
        return false;
    }
    fs::create_directories(dir, ec);
    std::string sys = nt ? "system32" : "SYSTEM";
    for (const std::string& sub : {std::string("C/WINDOWS/") + sys, std::string("C/WINDOWS/Temp")}) {
        fs::create_directories(dir / sub, ec);
    }
    if (nt) fs::create_directories(dir / "C/WINDOWS/system32/drivers", ec);
    if (ec) {
        *error = options.dir + ": cannot create the machine folder: " + ec.message();
        return false;
    }

    char number[16];
    std::string ini = "[Machine]\n";
    ini += std::string("Os=") + os.name + "\n";
    ini += std::string("ProductName=") + os.productName + "\n";
    std::snprintf(number, sizeof number, "%u", os.major);
    ini += std::string("Major=") + number + "\n";
    std::snprintf(number, sizeof number, "%u", os.minor);
    ini += std::string("Minor=") + number + "\n";
    std::snprintf(number, sizeof number, "%u", os.build);
    ini += std::string("Build=") + number + "\n";
    ini += std::string("Platform=") + (nt ? "2" : "1") + "\n";
    ini += std::string("CSDVersion=") + os.csdVersion + "\n";
    ini += std::string("Admin=") + (options.admin ? "1" : "0") + "\n";
    // XP x64 exists only as a 64-bit system: the 32-bit programs always run under WOW64.
    bool wow64 = options.wow64 || std::string(os.name) == "xp64";
    ini += std::string("Wow64=") + (wow64 ? "1" : "0") + "\n";
    ini += "\n[Spooler]\nState=running\n";
    ini += "\n[USB]\n";
    for (std::size_t i = 0; i < options.usbPrinters.size(); ++i) {
        ini += "Printer" + std::to_string(i + 1) + "=" + std::to_string(options.usbPrinters[i]) + "\n";
    }
    ini += "\n[Time]\nSleptMs=0\n";
    std::string err;
    if (!WriteFileAtomically((dir / "machine.ini").string(), ini, &err) ||
        !WriteFileAtomically((dir / "registry.reg").string(), "REGEDIT4\n\n", &err) ||
        !WriteFileAtomically((dir / "log.txt").string(), "", &err)) {
        *error = err;
        return false;
    }

    FolderState state(dir.string(), "", "Drivanto.exe");
    SimRegistry registry(state, nt);
    SimFiles files(state, nt);
    SimClock clock(state, false);
    LayRegistry(registry, os);

    std::string sysDir = files.systemDirectory();
    char fileVersion[48];
    std::snprintf(fileVersion, sizeof fileVersion, "%u.%u.%u.0", os.major, os.minor, os.build);
    struct SystemFile {
        std::string path;
        const char* description;
        bool present;
    };
    bool from2000 = nt && os.major >= 5;
    bool fromXp = nt && (os.major > 5 || (os.major == 5 && os.minor >= 1));
    const SystemFile systemFiles[] = {
        {sysDir + "\\kernel32.dll", "Windows NT BASE API Client DLL", true},
        {sysDir + "\\winspool.drv", "Windows Spooler Driver", true},
        {sysDir + "\\newdev.dll", "Add Hardware Device Library", from2000},
        {sysDir + "\\srclient.dll", "System Restore Client Library", fromXp},
        {sysDir + "\\wbem\\framedyn.dll", "WMI SDK Provider Framework", fromXp},
    };
    if (fromXp) files.createDirectory(sysDir + "\\wbem");
    for (const SystemFile& f : systemFiles) {
        if (!f.present) continue;
        VersionFields v;
        v.fileVersion = fileVersion;
        v.productName = "Microsoft Windows Operating System";
        v.fileDescription = f.description;
        if (Err e = files.writeFile(f.path, BuildPeWithVersion(v))) {
            *error = f.path + ": cannot write, error " + std::to_string(e);
            return false;
        }
    }
    if (!options.bulkusbVersion.empty()) {
        files.createDirectory("C:\\WINDOWS\\system32");
        files.createDirectory("C:\\WINDOWS\\system32\\drivers");
        VersionFields v;
        v.fileVersion = options.bulkusbVersion;
        v.productName = "USB bulk transfer driver";
        v.fileDescription = "USB bulk transfer driver";
        if (Err e = files.writeFile("C:\\WINDOWS\\system32\\drivers\\bulkusb.sys", BuildPeWithVersion(v))) {
            *error = "bulkusb.sys: cannot write, error " + std::to_string(e);
            return false;
        }
    }
    if (Err e = files.writeFile("C:\\WINDOWS\\win.ini", WinIni(os))) {
        *error = "win.ini: cannot write, error " + std::to_string(e);
        return false;
    }
    SimContext ctx{state, registry, files, clock, os};
    LaySpoolerPreset(ctx);
    state.log(std::string("New machine: ") + os.name + (options.admin ? "" : ", not an administrator") +
              (wow64 ? ", WOW64" : ""));
    return true;
}

}  // namespace plat::sim
