// The registry, after RegOpenKeyExA, RegCreateKeyExA, RegQueryValueExA,
// RegSetValueExA, RegDeleteKeyA, RegCloseKey and the enumerations.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win_types.h"

namespace plat {

class Registry {
public:
    virtual ~Registry() = default;

    // `root` is a predefined key (HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER) or a
    // key opened before. Sub-key paths are matched without regard to case; a
    // trailing backslash is accepted as Windows accepts it.
    virtual Err openKey(HKey root, const std::string& subKey, std::uint32_t sam, HKey* out) = 0;
    virtual Err createKey(HKey root, const std::string& subKey, std::uint32_t sam, HKey* out,
                          std::uint32_t* disposition) = 0;
    virtual Err closeKey(HKey key) = 0;

    // RegQueryValueExA: `data` may be null to ask for the size only. When
    // the buffer is too small: ERROR_MORE_DATA with *size set to the size
    // needed. A missing value: ERROR_FILE_NOT_FOUND.
    virtual Err queryValue(HKey key, const char* name, std::uint32_t* type, std::uint8_t* data,
                           std::uint32_t* size) = 0;
    virtual Err setValue(HKey key, const char* name, std::uint32_t type,
                         const std::uint8_t* data, std::uint32_t size) = 0;
    virtual Err deleteValue(HKey key, const char* name) = 0;

    // RegDeleteKeyA: on the NT family a key with sub-keys is refused
    // (ERROR_ACCESS_DENIED); on Windows 9x the whole tree goes.
    virtual Err deleteKey(HKey root, const std::string& subKey) = 0;

    // RegEnumKeyExA / RegEnumValueA: ERROR_NO_MORE_ITEMS past the end.
    virtual Err enumKey(HKey key, std::uint32_t index, std::string* name) = 0;
    virtual Err enumValue(HKey key, std::uint32_t index, std::string* name, std::uint32_t* type,
                          std::vector<std::uint8_t>* data) = 0;
};

}  // namespace plat
