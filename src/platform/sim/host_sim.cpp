// On Linux a program's platform is a simulated machine in a folder.
#include <memory>

#include "platform/host.h"
#include "platform/sim/faults.h"
#include "platform/sim/sim_platform.h"

namespace plat {

namespace {

// The machine with the fault rules of its machine.ini [Faults] section in
// front of it (scripted runs that want a call to fail).
class ScriptedPlatform : public Platform {
public:
    ScriptedPlatform(std::unique_ptr<sim::SimPlatform> machine, std::unique_ptr<sim::FaultPlan> plan)
        : machine_(std::move(machine)), plan_(std::move(plan)),
          faulty_(sim::MakeFaultyPlatform(*machine_, *plan_)) {}
    Profile& profile() override { return faulty_->profile(); }
    Registry& registry() override { return faulty_->registry(); }
    Spooler& spooler() override { return faulty_->spooler(); }
    Services& services() override { return faulty_->services(); }
    Files& files() override { return faulty_->files(); }
    System& system() override { return faulty_->system(); }
    Desktop& desktop() override { return faulty_->desktop(); }
    UsbLibrary& usb() override { return faulty_->usb(); }
    Cabinets& cabinets() override { return faulty_->cabinets(); }
    ErrorText& errorText() override { return faulty_->errorText(); }
    Clock& clock() override { return faulty_->clock(); }

private:
    std::unique_ptr<sim::SimPlatform> machine_;
    std::unique_ptr<sim::FaultPlan> plan_;
    std::unique_ptr<Platform> faulty_;
};

}  // namespace

std::unique_ptr<Platform> CreateHostPlatform(const HostOptions& options, std::string* error) {
    sim::SimPlatformOptions o;
    o.machineDir = options.machineDir;
    o.mediumDir = options.mediumDir;
    o.programName = options.programName.empty() ? "Drivanto.exe" : options.programName;
    o.realTime = options.realTime;
    std::string err;
    std::unique_ptr<sim::SimPlatform> machine = sim::SimPlatform::Open(o, &err);
    if (!machine) {
        if (error) *error = err;
        return nullptr;
    }
    auto rules = machine->state().section("Faults");
    if (rules.empty()) return machine;
    auto plan = std::make_unique<sim::FaultPlan>();
    for (const auto& [op, spec] : rules) {
        if (!plan->addRule(op, spec, &err)) {
            if (error) *error = options.machineDir + "/machine.ini [Faults]: " + err;
            return nullptr;
        }
    }
    return std::make_unique<ScriptedPlatform>(std::move(machine), std::move(plan));
}

}  // namespace plat
