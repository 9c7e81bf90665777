// Small helpers shared by the Win32 services: error numbers, handle casts,
// entry points looked up at run time and the "fits in the caller's buffer"
// rule of the folder getters.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win_types.h"

namespace plat::win32 {

// GetLastError as our error number; some calls fail without setting it, and
// a failure must never read as success.
inline Err LastErrorOr(Err fallback) {
    const DWORD e = GetLastError();
    return e != 0 ? static_cast<Err>(e) : fallback;
}
inline Err LastError() { return LastErrorOr(ERROR_CAN_NOT_COMPLETE); }

// Runs a call that answers TRUE or FALSE: 0, or the error it left. The
// error number is cleared first: some calls (Wine's spooler among them) fail
// without setting one, and a stale number from an earlier call must not pass
// for theirs.
template <class Call>
Err Checked(Call call) {
    SetLastError(0);
    if (call()) return 0;
    return LastError();
}

template <class H>
Handle ToHandle(H h) {
    return reinterpret_cast<Handle>(h);
}
template <class H>
H FromHandle(Handle h) {
    return reinterpret_cast<H>(h);
}

// GetProcAddress gives a FARPROC; the detour through void(*)() is how a
// function pointer is re-typed without the compiler taking it for a mistake.
template <class Fn>
Fn ProcAs(FARPROC p) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(p));
}

// A library loaded for one operation and released when it ends.
class LoadedLibrary {
public:
    // A null name loads nothing (and reports ERROR_MOD_NOT_FOUND).
    explicit LoadedLibrary(const char* name) : module_(name ? LoadLibraryA(name) : nullptr) {
        error_ = module_ ? 0 : LastErrorOr(ERROR_MOD_NOT_FOUND);
    }
    ~LoadedLibrary() {
        if (module_) FreeLibrary(module_);
    }
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;

    bool loaded() const { return module_ != nullptr; }
    Err error() const { return error_; }
    template <class Fn>
    Fn find(const char* proc) const {
        return module_ ? ProcAs<Fn>(GetProcAddress(module_, proc)) : nullptr;
    }

private:
    HMODULE module_;
    Err error_;
};

// Sizes come from callers and from the system; a block that cannot be had
// is ERROR_NOT_ENOUGH_MEMORY, never an exception across the seam.
template <class Container>
bool TryResize(Container& c, std::size_t n) {
    try {
        c.resize(n);
        return true;
    } catch (...) {
        return false;
    }
}

// The folder getters: `call(buffer, cch)` returns the length written, or the
// size needed when the buffer is too small, or 0 on failure.
template <class Call>
Err FetchString(std::uint32_t cch, std::string* out, Call call) {
    std::vector<char> buffer;
    if (!TryResize(buffer, cch ? cch : 1)) return ERROR_NOT_ENOUGH_MEMORY;
    SetLastError(0);
    const DWORD n = call(buffer.data(), static_cast<DWORD>(cch));
    if (n == 0) return LastError();
    if (n >= cch) return ERROR_INSUFFICIENT_BUFFER;
    out->assign(buffer.data(), n);
    return 0;
}

// Strings of the callers' records go to the ANSI calls as LPSTR.
inline LPSTR Mutable(const char* s) { return const_cast<LPSTR>(s); }
inline std::string Owned(const char* s) { return s ? std::string(s) : std::string(); }

}  // namespace plat::win32
