// For tests: a simulated machine installed as the program's platform for
// the lifetime of the object, so that program code reaches it via Sys().
#pragma once

#include <memory>
#include <string>

#include "common/sys.h"
#include "platform/sim/test_machine.h"

namespace common {

class SimSys {
public:
    explicit SimSys(const plat::sim::TestMachineOptions& options = {})
        : machine_(std::make_unique<plat::sim::TestMachine>(options)) {
        SetSys(&machine_->platform());
    }
    // The machine with `medium` mounted as D:.
    static plat::sim::TestMachineOptions WithMedium(const std::string& medium,
                                                   const std::string& os = "xp") {
        plat::sim::TestMachineOptions options;
        options.mediumDir = medium;
        options.os = os;
        return options;
    }
    ~SimSys() { SetSys(nullptr); }
    SimSys(const SimSys&) = delete;
    SimSys& operator=(const SimSys&) = delete;

    plat::sim::TestMachine& machine() { return *machine_; }

private:
    std::unique_ptr<plat::sim::TestMachine> machine_;
};

}  // namespace common
