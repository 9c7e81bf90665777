// The desktop: top-level windows by title, the named single-instance mutex,
// shell launches, broadcasts of WM_WININICHANGE.
#pragma once

#include <cstdint>
#include <string>

#include "platform/win_types.h"

namespace plat {

class Desktop {
public:
    virtual ~Desktop() = default;

    // FindWindowA(NULL, title): 0 when no top-level window has that title.
    virtual Hwnd findWindow(const std::string& title) = 0;
    virtual Err setForegroundWindow(Hwnd window) = 0;
    virtual Err bringWindowToTop(Hwnd window) = 0;
    // OpenIcon: restore a minimised window.
    virtual Err openIcon(Hwnd window) = 0;

    // CreateMutexA(NULL, TRUE, name); *alreadyExists as GetLastError() ==
    // ERROR_ALREADY_EXISTS tells. The mutex lives until the process ends.
    virtual Err createMutex(const std::string& name, bool* alreadyExists) = 0;

    // ShellExecuteA(NULL, verb, file, parameters, directory, show): the
    // result as Windows gives it (greater than 32 is success).
    virtual std::intptr_t shellExecute(const char* verb, const char* file, const char* parameters,
                                       const char* directory, int show) = 0;

    // WM_WININICHANGE to all top-level windows; `section` may be null.
    // SendNotifyMessageA when `timeoutMs` is 0, else SendMessageTimeoutA
    // (SMTO_NORMAL) with that timeout.
    virtual Err broadcastWinIniChange(const char* section, std::uint32_t timeoutMs) = 0;

    // The program's own top-level windows, as the user-interface back end
    // shows them. Real windows need nothing here (the calls do nothing and
    // return 0); a simulated machine records them so that another program
    // finds them with findWindow while this process lives.
    virtual Hwnd registerOwnWindow(const std::string& title) = 0;
    virtual void setOwnWindowTitle(Hwnd window, const std::string& title) = 0;
    virtual void setOwnWindowState(Hwnd window, int show) = 0;
    virtual void unregisterOwnWindow(Hwnd window) = 0;
};

}  // namespace plat
