// Private-profile (INI) files and the WIN.INI profile, after
// GetPrivateProfileStringA / WritePrivateProfileStringA / WriteProfileStringA.
#pragma once

#include <cstdint>
#include <string>

#include "platform/win_types.h"

namespace plat {

class Profile {
public:
    virtual ~Profile() = default;

    // GetPrivateProfileStringA(section, key, def, buffer of `size` bytes, file).
    // Returns the value cut to size-1 bytes, or `def` (likewise cut) for a
    // missing file, section or key. Section and key names match without
    // regard to case, the first matching section and key win, the value is
    // trimmed and one pair of enclosing quotes is removed. A file name
    // without a path is looked up in the Windows directory; a relative path
    // is resolved against the current directory; file names match without
    // regard to case.
    virtual std::string getPrivateProfileString(const char* section, const char* key,
                                                const char* def, std::uint32_t size,
                                                const std::string& file) = 0;

    // WritePrivateProfileStringA: a null key deletes the section, a null
    // value deletes the key.
    virtual Err writePrivateProfileString(const char* section, const char* key,
                                          const char* value, const std::string& file) = 0;

    // GetProfileStringA / WriteProfileStringA on WIN.INI. All three
    // arguments null flushes the profile cache.
    virtual std::string getProfileString(const char* section, const char* key,
                                         const char* def, std::uint32_t size) = 0;
    virtual Err writeProfileString(const char* section, const char* key,
                                   const char* value) = 0;
};

}  // namespace plat
