// Making a new simulated machine from an OS preset.
#pragma once

#include <string>
#include <vector>

namespace plat::sim {

struct NewMachineOptions {
    std::string dir;                   // the machine folder (created; must not hold a machine)
    std::string os = "xp";             // an OS preset name
    bool admin = true;
    bool wow64 = false;
    std::vector<int> usbPrinters;      // device release numbers of attached printers
    std::string bulkusbVersion;        // "1.0.0.5": an installed bulkusb.sys; "" none
};

// Lays down the machine: machine.ini, registry.reg, log.txt and the C: drive
// with what that Windows has where the programs look. False with a message.
bool CreateMachine(const NewMachineOptions& options, std::string* error);

// "95, 98, me, ..." for messages.
std::string OsPresetNames();

}  // namespace plat::sim
