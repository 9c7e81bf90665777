// The simulated machine as one Platform: the machine folder's state, its
// registry, files, clock and desktop, and the spooler, services, USB and
// cabinet parts built on them.
#pragma once

#include <memory>
#include <string>

#include "platform/platform.h"
#include "platform/sim/clock.h"
#include "platform/sim/desktop.h"
#include "platform/sim/error_text.h"
#include "platform/sim/files.h"
#include "platform/sim/machine_state.h"
#include "platform/sim/profile.h"
#include "platform/sim/registry.h"
#include "platform/sim/system.h"

namespace plat::sim {

struct SimPlatformOptions {
    std::string machineDir;
    std::string mediumDir;
    std::string programName = "Drivanto.exe";
    bool realTime = false;
};

class SimPlatform : public Platform {
public:
    // Null with a message naming the file (and line) when the machine folder
    // is missing or its machine.ini or registry.reg is damaged.
    static std::unique_ptr<SimPlatform> Open(const SimPlatformOptions& options, std::string* error);
    ~SimPlatform() override;

    Profile& profile() override { return *profile_; }
    Registry& registry() override { return *registry_; }
    Spooler& spooler() override { return *spooler_; }
    Services& services() override { return *services_; }
    Files& files() override { return *files_; }
    System& system() override { return *system_; }
    Desktop& desktop() override { return *desktop_; }
    UsbLibrary& usb() override { return *usb_; }
    Cabinets& cabinets() override { return *cabinets_; }
    ErrorText& errorText() override { return errorText_; }
    Clock& clock() override { return *clock_; }

    FolderState& state() { return *state_; }
    SimContext& context() { return *ctx_; }

private:
    SimPlatform() = default;

    std::unique_ptr<FolderState> state_;
    OsPreset os_{};
    std::unique_ptr<SimRegistry> registry_;
    std::unique_ptr<SimFiles> files_;
    std::unique_ptr<SimClock> clock_;
    std::unique_ptr<SimContext> ctx_;
    std::unique_ptr<Spooler> spooler_;
    std::unique_ptr<Services> services_;
    std::unique_ptr<UsbLibrary> usb_;
    std::unique_ptr<Cabinets> cabinets_;
    std::unique_ptr<SimProfile> profile_;
    std::unique_ptr<SimSystem> system_;
    std::unique_ptr<SimDesktop> desktop_;
    SimErrorText errorText_;
};

// The project's demo medium (<source>/media/demo).
std::string DemoMediumDir();

}  // namespace plat::sim
