#include "platform/sim/sim_platform.h"

#include <sys/stat.h>

#include <cstdlib>

#include "platform/sim/sim_parts.h"

namespace plat::sim {

namespace {
bool IsDir(const std::string& p) {
    struct stat st;
    return !p.empty() && ::stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}
}  // namespace

std::string DemoMediumDir() {
    const char* env = std::getenv("DRIVANTO_SOURCE_DIR");
    std::string source = env && *env ? env : DRIVANTO_SOURCE_DIR;
    return source + "/media/demo";
}

std::unique_ptr<SimPlatform> SimPlatform::Open(const SimPlatformOptions& options,
                                               std::string* error) {
    if (!IsDir(options.machineDir)) {
        *error = "no simulated machine at \"" + options.machineDir + "\" (make one with winsim new)";
        return nullptr;
    }
    std::string medium = options.mediumDir.empty() ? DemoMediumDir() : options.mediumDir;
    if (!IsDir(medium)) {
        *error = "the medium folder \"" + medium + "\" does not exist";
        return nullptr;
    }
    std::unique_ptr<SimPlatform> p(new SimPlatform());
    p->state_ = std::make_unique<FolderState>(options.machineDir, medium, options.programName);
    if (!p->state_->check(error)) return nullptr;
    p->os_ = MachineOs(*p->state_);
    bool nt = p->os_.platformId == VER_PLATFORM_WIN32_NT;
    p->registry_ = std::make_unique<SimRegistry>(*p->state_, nt);
    if (!p->registry_->check(error)) return nullptr;
    p->files_ = std::make_unique<SimFiles>(*p->state_, nt);
    p->clock_ = std::make_unique<SimClock>(*p->state_, options.realTime);
    p->ctx_ = std::make_unique<SimContext>(
        SimContext{*p->state_, *p->registry_, *p->files_, *p->clock_, p->os_});
    p->spooler_ = MakeSimSpooler(*p->ctx_);
    p->services_ = MakeSimServices(*p->ctx_);
    p->usb_ = MakeSimUsb(*p->ctx_);
    p->cabinets_ = MakeSimCabinets(*p->ctx_);
    p->profile_ = std::make_unique<SimProfile>(*p->state_, *p->files_);
    p->system_ = std::make_unique<SimSystem>(*p->state_, *p->files_);
    p->desktop_ = std::make_unique<SimDesktop>(*p->state_, *p->files_);
    return p;
}

SimPlatform::~SimPlatform() = default;

}  // namespace plat::sim
