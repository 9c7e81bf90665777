// Our Windows numbers must be Windows' own. This file sees win_types.h
// before <windows.h> (every other file here sees them the other way round):
// both orders compile, and each of our values is compared with the SDK's; a
// name the SDK does not know fails the build too.
// The predefined registry roots are pointers in the SDK; registry_win32.cpp
// maps them.
#include <type_traits>

#include "platform/win_types.h"

// DRIVANTO_SHARED_NUMBERS(X): every number win_types.h defines, listed by
// the build from the header itself.
#include "win_types_names.h"

#define DRIVANTO_CAPTURE(name) constexpr auto kOurs_##name = name;
DRIVANTO_SHARED_NUMBERS(DRIVANTO_CAPTURE)

#include <windows.h>
#include <winspool.h>

#define DRIVANTO_SAME(name)                                                                    \
    static_assert(kOurs_##name == static_cast<std::remove_cv_t<decltype(kOurs_##name)>>(name), \
                  #name " differs from the Windows SDK");
DRIVANTO_SHARED_NUMBERS(DRIVANTO_SAME)
