#include "common/sys.h"

#include <cstdio>
#include <cstdlib>

namespace common {
namespace {
plat::Platform* g_platform = nullptr;
}

plat::Platform& Sys() {
    if (!g_platform) {
        std::fputs("internal error: no platform installed\n", stderr);
        std::abort();
    }
    return *g_platform;
}

void SetSys(plat::Platform* platform) { g_platform = platform; }

}  // namespace common
