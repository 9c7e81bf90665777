// The spooler's view of the machine's registry: whole paths under
// HKEY_LOCAL_MACHINE, values read and written in one call, and the spooler's
// own key layout (where Windows keeps monitors, drivers, processors and
// printers).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace plat::sim {

inline constexpr const char* kPrintKey = "SYSTEM\\CurrentControlSet\\Control\\Print";
inline constexpr const char* kMonitorsKey = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors";
inline constexpr const char* kPrintersKey = "SYSTEM\\CurrentControlSet\\Control\\Print\\Printers";
inline constexpr const char* kEnvironmentsKey =
    "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments";
inline constexpr const char* kEnvNtX86 = "Windows NT x86";
inline constexpr const char* kEnvWin40 = "Windows 4.0";

class SpoolRegistry {
public:
    explicit SpoolRegistry(Registry& registry) : reg_(registry) {}

    bool exists(const std::string& path);
    // Sub-key names in the registry's order; none when the key is missing.
    std::vector<std::string> subKeys(const std::string& path);
    // Value names in the registry's order.
    std::vector<std::string> valueNames(const std::string& path);

    bool getString(const std::string& path, const char* name, std::string* out);
    std::string string(const std::string& path, const char* name);   // "" when missing
    bool getDword(const std::string& path, const char* name, std::uint32_t* out);
    std::uint32_t dword(const std::string& path, const char* name, std::uint32_t def = 0);
    std::vector<std::string> multiString(const std::string& path, const char* name);

    Err create(const std::string& path);
    Err setString(const std::string& path, const char* name, const std::string& value);
    Err setDword(const std::string& path, const char* name, std::uint32_t value);
    Err setMultiString(const std::string& path, const char* name,
                       const std::vector<std::string>& values);
    // The key with everything below it (RegDeleteKeyA refuses keys with
    // sub-keys on the NT family, so the tree goes bottom up).
    Err deleteTree(const std::string& path);

private:
    Registry& reg_;
};

}  // namespace plat::sim
