// The running system of a simulated machine, from machine.ini [Machine].
#pragma once

#include <atomic>

#include "platform/system.h"
#include "platform/sim/files.h"
#include "platform/sim/machine_state.h"

namespace plat::sim {

// The OS preset a machine was made from, or one built from [Machine] when
// the name is not a known preset.
OsPreset MachineOs(FolderState& state);

class SimSystem : public System {
public:
    SimSystem(FolderState& state, SimFiles& files);

    Err getVersionEx(OsVersionInfo* out) override;
    Err isWow64Process(bool* wow64) override;
    Err isUserAdmin(bool* admin) override;
    Err enableShutdownPrivilege() override;
    Err exitWindowsEx(std::uint32_t flags, std::uint32_t reason) override;
    Err probeEntryPoint(const std::string& dll, const std::string& proc) override;
    Err allocate(std::size_t bytes) override;

private:
    bool ntFamily();
    FolderState& state_;
    SimFiles& files_;
    std::atomic<bool> shutdownPrivilege_{false};
};

}  // namespace plat::sim
