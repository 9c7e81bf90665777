// The running system: version, WOW64, the Administrators group, the
// shutdown privilege and restart, entry-point probes and memory.
#include <windows.h>

#include <vector>

#include "platform/win32/win32_parts.h"
#include "platform/win32/win32_util.h"

namespace plat::win32 {
namespace {

using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);

class TokenHandle {
public:
    TokenHandle() = default;
    ~TokenHandle() {
        if (h_) CloseHandle(h_);
    }
    TokenHandle(const TokenHandle&) = delete;
    TokenHandle& operator=(const TokenHandle&) = delete;
    HANDLE* put() { return &h_; }
    HANDLE get() const { return h_; }

private:
    HANDLE h_ = nullptr;
};

class Win32System final : public System {
public:
    Err getVersionEx(OsVersionInfo* out) override {
        OSVERSIONINFOA v{};
        v.dwOSVersionInfoSize = sizeof v;  // 148 bytes: the plain record
        if (!GetVersionExA(&v)) return LastError();
        out->majorVersion = v.dwMajorVersion;
        out->minorVersion = v.dwMinorVersion;
        out->buildNumber = v.dwBuildNumber;
        out->platformId = v.dwPlatformId;
        out->csdVersion.assign(v.szCSDVersion, strnlen(v.szCSDVersion, sizeof v.szCSDVersion));
        return 0;
    }

    Err isWow64Process(bool* wow64) override {
        *wow64 = false;
        // The kernel library from the system folder by full path, or by name.
        char folder[261] = {};
        std::string path = "kernel32.dll";
        const UINT n = GetSystemDirectoryA(folder, sizeof folder);
        if (n > 0 && n < sizeof folder) path = std::string(folder, n) + "\\kernel32.dll";
        LoadedLibrary kernel(path.c_str());
        LoadedLibrary fallback(kernel.loaded() ? nullptr : "kernel32.dll");
        const LoadedLibrary& lib = kernel.loaded() ? kernel : fallback;
        if (!lib.loaded()) return lib.error();
        const auto isWow64 = lib.find<IsWow64ProcessFn>("IsWow64Process");
        if (!isWow64) return ERROR_PROC_NOT_FOUND;
        BOOL flag = FALSE;
        if (!isWow64(GetCurrentProcess(), &flag)) return LastError();
        *wow64 = flag != FALSE;
        return 0;
    }

    Err isUserAdmin(bool* admin) override {
        *admin = false;
        TokenHandle token;
        if (!OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, token.put())) {
            const Err e = LastError();
            if (e != ERROR_NO_TOKEN) return e;
            if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put())) {
                return LastError();
            }
        }
        DWORD needed = 0;
        if (GetTokenInformation(token.get(), TokenGroups, nullptr, 0, &needed)) {
            return ERROR_INVALID_DATA;  // a token always has groups
        }
        if (const Err e = LastError(); e != ERROR_INSUFFICIENT_BUFFER) return e;
        std::vector<void*> buffer(needed / sizeof(void*) + 1);
        if (!GetTokenInformation(token.get(), TokenGroups, buffer.data(),
                                 static_cast<DWORD>(buffer.size() * sizeof(void*)), &needed)) {
            return LastError();
        }
        SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
        PSID administrators = nullptr;
        if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS,
                                      0, 0, 0, 0, 0, 0, &administrators)) {
            return LastError();
        }
        // Any entry counts, enabled or not, deny-only included.
        const auto* groups = reinterpret_cast<const TOKEN_GROUPS*>(buffer.data());
        for (DWORD i = 0; i < groups->GroupCount && !*admin; ++i) {
            if (EqualSid(groups->Groups[i].Sid, administrators)) *admin = true;
        }
        FreeSid(administrators);
        return 0;
    }

    Err enableShutdownPrivilege() override {
        TokenHandle token;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY,
                              token.put())) {
            return LastError();
        }
        TOKEN_PRIVILEGES privileges{};
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        if (!LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege",
                                   &privileges.Privileges[0].Luid)) {
            return LastError();
        }
        // AdjustTokenPrivileges succeeds even when it could not enable the
        // privilege (ERROR_NOT_ALL_ASSIGNED); callers go by its result, as
        // ExitWindowsEx will tell them the rest.
        if (!AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr)) {
            return LastError();
        }
        return 0;
    }

    Err exitWindowsEx(std::uint32_t flags, std::uint32_t reason) override {
        return Checked([&] { return ExitWindowsEx(flags, reason); });
    }

    Err probeEntryPoint(const std::string& dll, const std::string& proc) override {
        LoadedLibrary lib(dll.c_str());
        if (!lib.loaded()) return lib.error();
        if (!lib.find<FARPROC>(proc.c_str())) return ERROR_PROC_NOT_FOUND;
        return 0;
    }

    Err allocate(std::size_t bytes) override {
        const HLOCAL block = LocalAlloc(LPTR, bytes);
        if (!block) return ERROR_NOT_ENOUGH_MEMORY;
        LocalFree(block);
        return 0;
    }
};

}  // namespace

std::unique_ptr<System> MakeSystem() { return std::make_unique<Win32System>(); }

}  // namespace plat::win32
