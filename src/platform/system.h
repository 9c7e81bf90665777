// The running system: version, WOW64, the user's rights, restart, exported
// entry points of system libraries, and memory for the size-query pattern.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/win_types.h"

namespace plat {

// GetVersionExA with an OSVERSIONINFOA (148 bytes).
struct OsVersionInfo {
    std::uint32_t majorVersion = 0;
    std::uint32_t minorVersion = 0;
    std::uint32_t buildNumber = 0;
    std::uint32_t platformId = 0;
    std::string csdVersion;
};

class System {
public:
    virtual ~System() = default;
    virtual Err getVersionEx(OsVersionInfo* out) = 0;
    // IsWow64Process on the current process, looked up in kernel32.dll; where
    // the export is missing: ERROR_PROC_NOT_FOUND.
    virtual Err isWow64Process(bool* wow64) = 0;
    // Whether the token of the current thread (or, without one, of the
    // process) holds the built-in Administrators group, in any state.
    virtual Err isUserAdmin(bool* admin) = 0;
    // OpenProcessToken + LookupPrivilegeValueA("SeShutdownPrivilege") +
    // AdjustTokenPrivileges; the error is that of AdjustTokenPrivileges.
    virtual Err enableShutdownPrivilege() = 0;
    virtual Err exitWindowsEx(std::uint32_t flags, std::uint32_t reason) = 0;
    // LoadLibraryA(dll) + GetProcAddress(proc) + FreeLibrary: 0 when the
    // library exports the entry point, ERROR_MOD_NOT_FOUND or
    // ERROR_PROC_NOT_FOUND otherwise.
    virtual Err probeEntryPoint(const std::string& dll, const std::string& proc) = 0;
    // LocalAlloc / GlobalAlloc of a zero-filled block; ERROR_NOT_ENOUGH_MEMORY
    // when the block cannot be had.
    virtual Err allocate(std::size_t bytes) = 0;
};

}  // namespace plat
