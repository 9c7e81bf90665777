// Cabinet files, after SetupIterateCabinetA with a callback that decides,
// file by file, whether to extract and where to.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/win_types.h"

namespace plat {

enum class CabFileAction { Skip, Copy };

class Cabinets {
public:
    virtual ~Cabinets() = default;
    // The callback gets each file's name inside the cabinet and its size and
    // answers Copy (with *targetPath set to a full Windows path) or Skip.
    // Returns 0 when the cabinet was iterated without error.
    using FileCallback = std::function<CabFileAction(const std::string& nameInCabinet,
                                                     std::uint32_t size, std::string* targetPath)>;
    virtual Err iterateCabinet(const std::string& cabinetPath, const FileCallback& onFile) = 0;
};

}  // namespace plat
