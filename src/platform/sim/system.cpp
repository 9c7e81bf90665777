#include "platform/sim/system.h"

#include <cstdio>

#include "platform/sim/pe_declarations.h"

namespace plat::sim {

OsPreset MachineOs(FolderState& state) {
    std::string name = state.get("Machine", "Os");
    OsPreset os{};
    if (const OsPreset* p = FindOsPreset(name)) os = *p;
    // What machine.ini says wins over the preset's numbers.
    auto num = [&](const char* key, std::uint32_t def) {
        std::string v = state.get("Machine", key);
        return v.empty() ? def : static_cast<std::uint32_t>(ParseCount(v));
    };
    os.platformId = num("Platform", os.platformId ? os.platformId : VER_PLATFORM_WIN32_NT);
    os.major = num("Major", os.major);
    os.minor = num("Minor", os.minor);
    os.build = num("Build", os.build);
    if (!os.name) {
        bool nt2000 = os.platformId == VER_PLATFORM_WIN32_NT && os.major >= 5;
        os.name = "";
        os.productName = "";
        os.csdVersion = "";
        os.hasScm = os.platformId == VER_PLATFORM_WIN32_NT;
        os.setDefaultPrinterExport = nt2000;
        os.deletePrinterDriverExExport = nt2000;
    }
    return os;
}

SimSystem::SimSystem(FolderState& state, SimFiles& files) : state_(state), files_(files) {}

bool SimSystem::ntFamily() {
    return ParseCount(state_.get("Machine", "Platform", "2")) == VER_PLATFORM_WIN32_NT;
}

Err SimSystem::getVersionEx(OsVersionInfo* out) {
    OsPreset os = MachineOs(state_);
    out->majorVersion = os.major;
    out->minorVersion = os.minor;
    out->buildNumber = os.build;
    out->platformId = os.platformId;
    out->csdVersion = state_.get("Machine", "CSDVersion", os.csdVersion ? os.csdVersion : "");
    return 0;
}

Err SimSystem::isWow64Process(bool* wow64) {
    if (Err e = probeEntryPoint("kernel32.dll", "IsWow64Process")) return e;
    *wow64 = state_.get("Machine", "Wow64", "0") == "1";
    return 0;
}

Err SimSystem::isUserAdmin(bool* admin) {
    *admin = state_.get("Machine", "Admin", "1") == "1";
    return 0;
}

Err SimSystem::enableShutdownPrivilege() {
    if (!ntFamily()) return ERROR_CALL_NOT_IMPLEMENTED;   // no tokens on Windows 9x
    bool admin = false;
    isUserAdmin(&admin);
    if (!admin) {
        // AdjustTokenPrivileges itself succeeds here (it only leaves
        // ERROR_NOT_ALL_ASSIGNED behind); the privilege stays off, so the
        // restart request is what fails.
        state_.log("Shutdown privilege not assigned (not an administrator)");
        return 0;
    }
    shutdownPrivilege_ = true;
    state_.log("Shutdown privilege enabled");
    return 0;
}

Err SimSystem::exitWindowsEx(std::uint32_t flags, std::uint32_t reason) {
    char buf[96];
    if (ntFamily() && !shutdownPrivilege_) {
        std::snprintf(buf, sizeof buf, "ExitWindowsEx flags=0x%x refused: shutdown privilege not held",
                      flags);
        state_.log(buf);
        return ERROR_PRIVILEGE_NOT_HELD;
    }
    std::snprintf(buf, sizeof buf, "ExitWindowsEx flags=0x%x reason=0x%x", flags, reason);
    state_.log(buf);
    return 0;
}

Err SimSystem::probeEntryPoint(const std::string& dll, const std::string& proc) {
    std::string name = dll;
    std::size_t slash = name.find_last_of("\\/");
    std::string base = slash == std::string::npos ? name : name.substr(slash + 1);
    if (base.find('.') == std::string::npos) {
        name += ".dll";
        base += ".dll";
    }
    // LoadLibraryA's search: the program's folder, the system and the
    // Windows folders, then the current directory.
    std::vector<std::string> candidates;
    if (slash != std::string::npos) {
        candidates.push_back(name);
    } else {
        candidates = {"D:\\" + name, files_.systemDirectory() + "\\" + name, "C:\\WINDOWS\\" + name};
    }
    std::string bytes;
    bool found = false;
    for (const std::string& c : candidates) {
        if (files_.readFile(c, &bytes) == 0) {
            found = true;
            break;
        }
    }
    if (!found) return ERROR_MOD_NOT_FOUND;

    OsPreset os = MachineOs(state_);
    bool nt = os.platformId == VER_PLATFORM_WIN32_NT;
    std::string lower = FoldCase(base);
    if (lower == "kernel32.dll" && proc == "IsWow64Process") {
        bool has = nt && (os.major > 5 || (os.major == 5 && os.minor >= 1));
        return has ? 0 : ERROR_PROC_NOT_FOUND;
    }
    if (lower == "winspool.drv" && proc == "SetDefaultPrinterA") {
        return os.setDefaultPrinterExport ? 0 : ERROR_PROC_NOT_FOUND;
    }
    if (lower == "winspool.drv" && proc == "DeletePrinterDriverExA") {
        return os.deletePrinterDriverExExport ? 0 : ERROR_PROC_NOT_FOUND;
    }
    std::string exports;
    if (!FindDeclaration(bytes, "SIM-EXPORTS", &exports)) return 0;
    for (const std::string& name : SplitList(exports)) {
        if (name == proc) return 0;   // entry point names match exactly
    }
    return ERROR_PROC_NOT_FOUND;
}

Err SimSystem::allocate(std::size_t) { return 0; }

}  // namespace plat::sim
