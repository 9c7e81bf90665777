#include "uninstall/uninstall_state.h"

#include <cstdint>
#include <cstring>

#include "common/language_text.h"
#include "common/sys.h"

namespace uninstall {

namespace {

// ProductName under HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion, read
// into 256 bytes; "" when it cannot be read.
std::string ProductName() {
    plat::Registry& registry = common::Sys().registry();
    plat::HKey key = 0;
    if (registry.openKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
                         KEY_QUERY_VALUE, &key) != 0) {
        return "";
    }
    std::uint8_t buffer[256] = {};
    std::uint32_t size = sizeof buffer - 1;
    std::uint32_t type = 0;
    std::string name;
    if (registry.queryValue(key, "ProductName", &type, buffer, &size) == 0) {
        name.assign(reinterpret_cast<const char*>(buffer), strnlen(reinterpret_cast<const char*>(buffer), size));
    }
    registry.closeKey(key);
    return name;
}

}  // namespace

int ClassifyWindows() {
    plat::OsVersionInfo v;
    if (common::Sys().system().getVersionEx(&v) != 0) return 0;
    if (v.platformId == 1) return 0;
    if (v.platformId != 2) return -1;
    if (v.majorVersion == 4 && v.minorVersion == 0) return 1;
    if (v.majorVersion == 5) {
        if (v.minorVersion == 0) return 2;
        if (v.minorVersion == 1) return 3;
        if (v.minorVersion == 2) return 4;
    }
    if (v.majorVersion == 6) {
        if (v.minorVersion == 0) return ProductName().find("2008") != std::string::npos ? 6 : 5;
        if (v.minorVersion == 1) return 7;
    }
    return 0;
}

bool ClassDisablesUsb() {
    plat::OsVersionInfo v;
    if (common::Sys().system().getVersionEx(&v) != 0) return false;
    if (v.platformId == 1) return v.minorVersion > 0;
    return v.platformId == 2 && v.majorVersion == 4 && v.minorVersion == 0;
}

const char* SectionSuffix(int osClass) {
    static const char* const kSuffixes[8] = {".98", ".NT", ".2K", ".2K", ".2003", ".Vista", ".2008", ".Win7"};
    return osClass >= 0 && osClass <= 7 ? kSuffixes[osClass] : "";
}

UninstallState& State() {
    static UninstallState state;
    return state;
}

std::string FormatText(const std::string& text, const std::string& name) {
    std::string out = text;
    std::string::size_type at = out.find("%s");
    if (at != std::string::npos) out.replace(at, 2, name);
    return out;
}

std::string MessageText(const char* key, const std::string& name) {
    return FormatText(common::messageText().GetText(key), name);
}

void Pause(unsigned ms) { common::Sys().clock().sleep(ms); }

}  // namespace uninstall
