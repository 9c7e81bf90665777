// The system's description of an error number, and the clock.
#include <windows.h>

#include "platform/win32/win32_parts.h"
#include "platform/win32/win32_util.h"

namespace plat::win32 {
namespace {

class Win32ErrorText final : public ErrorText {
public:
    bool formatMessage(Err code, std::string* text) override {
        LPSTR message = nullptr;
        const DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                           FORMAT_MESSAGE_IGNORE_INSERTS,
                                       nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                       reinterpret_cast<LPSTR>(&message), 0, nullptr);
        if (n == 0 || !message) {
            if (message) LocalFree(message);
            return false;
        }
        text->assign(message, n);
        LocalFree(message);
        return true;
    }
};

class Win32Clock final : public Clock {
public:
    void sleep(std::uint32_t ms) override { Sleep(ms); }
    // GetTickCount, as every Windows since 95 has it; it wraps after 49.7 days.
    std::uint64_t tickCount() override { return GetTickCount(); }
};

}  // namespace

std::unique_ptr<ErrorText> MakeErrorText() { return std::make_unique<Win32ErrorText>(); }
std::unique_ptr<Clock> MakeClock() { return std::make_unique<Win32Clock>(); }

}  // namespace plat::win32
