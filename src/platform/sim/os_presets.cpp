// The Windows versions a simulated machine can be made as.
#include <cstring>
#include <strings.h>

#include "platform/sim/sim_context.h"

namespace plat::sim {

const std::vector<OsPreset>& OsPresets() {
    static const std::vector<OsPreset> presets = {
        // name    plat maj min build  product name                                   CSD                scm    cab    store  sdp    dpdex
        {"95",     1,   4,  0,  950,   "Microsoft Windows 95",                        "",                false, false, false, false, false},
        {"98",     1,   4,  10, 2222,  "Microsoft Windows 98",                        " A ",             false, false, false, false, false},
        {"me",     1,   4,  90, 3000,  "Microsoft Windows ME",                        " ",               false, false, false, false, false},
        {"nt4",    2,   4,  0,  1381,  "Microsoft Windows NT Workstation 4.0",        "Service Pack 6",  true,  false, false, false, false},
        {"2000",   2,   5,  0,  2195,  "Microsoft Windows 2000",                      "Service Pack 4",  true,  true,  false, true,  true},
        {"xp",     2,   5,  1,  2600,  "Microsoft Windows XP",                        "Service Pack 3",  true,  true,  false, true,  true},
        {"xp64",   2,   5,  2,  3790,  "Microsoft Windows XP Professional x64 Edition", "Service Pack 2", true, true,  false, true,  true},
        {"2003",   2,   5,  2,  3790,  "Microsoft Windows Server 2003",               "Service Pack 2",  true,  true,  false, true,  true},
        {"vista",  2,   6,  0,  6002,  "Windows Vista (TM) Business",                 "Service Pack 2",  true,  false, true,  true,  true},
        {"2008",   2,   6,  0,  6002,  "Windows Server (R) 2008 Standard",            "Service Pack 2",  true,  false, true,  true,  true},
        {"win7",   2,   6,  1,  7601,  "Windows 7 Professional",                      "Service Pack 1",  true,  false, true,  true,  true},
        {"2008r2", 2,   6,  1,  7601,  "Windows Server 2008 R2 Standard",             "Service Pack 1",  true,  false, true,  true,  true},
        {"win8",   2,   6,  2,  9200,  "Windows 8 Pro",                               "",                true,  false, true,  true,  true},
        {"win10",  2,   6,  2,  9200,  "Windows 10 Pro",                              "",                true,  false, true,  true,  true},
    };
    return presets;
}

const OsPreset* FindOsPreset(const std::string& name) {
    for (const OsPreset& p : OsPresets()) {
        if (strcasecmp(p.name, name.c_str()) == 0) return &p;
    }
    return nullptr;
}

}  // namespace plat::sim
