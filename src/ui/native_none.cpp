// What a build lacks: real windows on Linux, the curses terminal on Windows.
#include "ui/app_internal.h"
#include "ui/model.h"

namespace ui {
#ifdef _WIN32
std::unique_ptr<Driver> MakeTerminalDriver() { return nullptr; }
#else
namespace detail {
std::unique_ptr<Backend> MakeNativeBackend() { return nullptr; }
}  // namespace detail
#endif
}  // namespace ui
