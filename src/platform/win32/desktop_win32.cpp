// The desktop: windows by title, the single-instance mutex, the shell and
// the WM_WININICHANGE broadcast. The program's own windows are real windows
// here, so registering them is nothing to do.
#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

#include "platform/win32/win32_parts.h"
#include "platform/win32/win32_util.h"

namespace plat::win32 {
namespace {

// SetForegroundWindow refuses without an error number when another program
// holds the foreground; OpenIcon answers false for a window that is not
// minimised. A bad handle sets ERROR_INVALID_WINDOW_HANDLE itself.
Err WindowCall(BOOL ok) { return ok ? 0 : LastError(); }

class Win32Desktop final : public Desktop {
public:
    Hwnd findWindow(const std::string& title) override {
        return ToHandle(FindWindowA(nullptr, title.c_str()));
    }

    Err setForegroundWindow(Hwnd window) override {
        SetLastError(0);
        return WindowCall(SetForegroundWindow(FromHandle<HWND>(window)));
    }

    Err bringWindowToTop(Hwnd window) override {
        SetLastError(0);
        return WindowCall(BringWindowToTop(FromHandle<HWND>(window)));
    }

    Err openIcon(Hwnd window) override {
        SetLastError(0);
        return WindowCall(OpenIcon(FromHandle<HWND>(window)));
    }

    Err createMutex(const std::string& name, bool* alreadyExists) override {
        // The handle is kept open on purpose: the mutex marks this process
        // until it ends.
        SetLastError(0);
        const HANDLE mutex = CreateMutexA(nullptr, TRUE, name.c_str());
        const DWORD e = GetLastError();
        if (!mutex) return e ? e : ERROR_INVALID_HANDLE;
        if (alreadyExists) *alreadyExists = e == ERROR_ALREADY_EXISTS;
        return 0;
    }

    std::intptr_t shellExecute(const char* verb, const char* file, const char* parameters,
                               const char* directory, int show) override {
        return reinterpret_cast<std::intptr_t>(
            ShellExecuteA(nullptr, verb, file, parameters, directory, show));
    }

    Err broadcastWinIniChange(const char* section, std::uint32_t timeoutMs) override {
        const auto lParam = reinterpret_cast<LPARAM>(section);
        SetLastError(0);
        if (timeoutMs == 0) {
            return Checked(
                [&] { return SendNotifyMessageA(HWND_BROADCAST, WM_WININICHANGE, 0, lParam); });
        }
        DWORD_PTR result = 0;
        if (SendMessageTimeoutA(HWND_BROADCAST, WM_WININICHANGE, 0, lParam, SMTO_NORMAL, timeoutMs,
                                &result)) {
            return 0;
        }
        return LastErrorOr(ERROR_TIMEOUT);
    }

    Hwnd registerOwnWindow(const std::string&) override { return 0; }
    void setOwnWindowTitle(Hwnd, const std::string&) override {}
    void setOwnWindowState(Hwnd, int) override {}
    void unregisterOwnWindow(Hwnd) override {}
};

}  // namespace

std::unique_ptr<Desktop> MakeDesktop() { return std::make_unique<Win32Desktop>(); }

}  // namespace plat::win32
