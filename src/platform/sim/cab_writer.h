// Writing cabinet (.cab) files: one uncompressed folder holding the given
// files, as the simulated machine's driver cache and the tests need them.
#pragma once

#include <string>
#include <vector>

namespace plat::sim {

struct CabEntry {
    std::string name;    // the name inside the cabinet, "unidrv.dll" or "sub\x.gpd"
    std::string bytes;
};

// The bytes of a cabinet with the files in this order.
std::string WriteCabinet(const std::vector<CabEntry>& files);

}  // namespace plat::sim
