// Builds without real windows.
#include "ui/app_internal.h"

#ifndef _WIN32
namespace ui::detail {
std::unique_ptr<Backend> MakeNativeBackend() { return nullptr; }
}  // namespace ui::detail
#endif
