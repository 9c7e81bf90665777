#include "platform/sim/test_machine.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "platform/sim/faults.h"
#include "platform/sim/machine_ops.h"
#include "platform/sim/presets.h"
#include "platform/sim/show.h"
#include "platform/sim/sim_platform.h"

namespace plat::sim {

namespace fs = std::filesystem;

namespace {

std::string MakeTempDir(const char* prefix) {
    std::string templ = (fs::temp_directory_path() / (std::string(prefix) + "-XXXXXX")).string();
    if (!::mkdtemp(templ.data())) throw std::runtime_error("cannot make a temporary folder " + templ);
    return templ;
}

}  // namespace

struct TestMachine::Impl {
    std::string dir;
    std::unique_ptr<SimPlatform> machine;
    FaultPlan plan;
    std::unique_ptr<Platform> faulty;
};

TestMachine::TestMachine(const TestMachineOptions& options) : impl_(std::make_unique<Impl>()) {
    impl_->dir = MakeTempDir("drivanto-machine");
    NewMachineOptions n;
    n.dir = impl_->dir;
    n.os = options.os;
    n.admin = options.admin;
    n.wow64 = options.wow64;
    n.usbPrinters = options.usbPrinters;
    n.bulkusbVersion = options.bulkusbVersion;
    std::string error;
    if (!CreateMachine(n, &error)) {
        fs::remove_all(impl_->dir);
        throw std::runtime_error("TestMachine: " + error);
    }
    SimPlatformOptions o;
    o.machineDir = impl_->dir;
    o.mediumDir = options.mediumDir.empty() ? DemoMediumDir() : options.mediumDir;
    o.programName = options.programName;
    impl_->machine = SimPlatform::Open(o, &error);
    if (!impl_->machine) {
        fs::remove_all(impl_->dir);
        throw std::runtime_error("TestMachine: " + error);
    }
    impl_->faulty = MakeFaultyPlatform(*impl_->machine, impl_->plan);
}

TestMachine::~TestMachine() {
    std::string dir = impl_->dir;
    impl_.reset();
    std::error_code ec;
    fs::remove_all(dir, ec);
}

Platform& TestMachine::platform() { return *impl_->faulty; }
const std::string& TestMachine::dir() const { return impl_->dir; }
std::string TestMachine::show() { return ShowMachine(*impl_->machine); }

std::string TestMachine::log() {
    std::string text;
    ReadHostFile(impl_->dir + "/log.txt", &text);
    return text;
}

std::uint64_t TestMachine::sleptMs() { return ParseCount(impl_->machine->state().get("Time", "SleptMs", "0")); }
std::string TestMachine::hostPath(const std::string& windowsPath) {
    return impl_->machine->state().hostPath(windowsPath);
}

void TestMachine::failCall(const std::string& op, int nth, Err err, const std::string& argContains) {
    impl_->plan.failCall(op, nth, err, argContains);
}
void TestMachine::failAlways(const std::string& op, Err err, const std::string& argContains) {
    impl_->plan.failAlways(op, err, argContains);
}
void TestMachine::clearFaults() { impl_->plan.clear(); }

void TestMachine::openWindow(const std::string& title) { OpenWindow(impl_->machine->state(), title); }
void TestMachine::closeWindow(const std::string& title) { CloseWindow(impl_->machine->state(), title); }
void TestMachine::holdFile(const std::string& windowsPath) {
    std::string error;
    if (!HoldFile(impl_->machine->state(), windowsPath, &error)) throw std::runtime_error(error);
}
void TestMachine::releaseFile(const std::string& windowsPath) {
    ReleaseFile(impl_->machine->state(), windowsPath);
}
void TestMachine::holdMutex(const std::string& name) { HoldMutex(impl_->machine->state(), name); }
void TestMachine::setSpoolerRunning(bool running) { SetSpoolerState(impl_->machine->state(), running); }
Err TestMachine::queueJobs(const std::string& printer, int count) {
    return QueueJobs(impl_->machine->state(), impl_->machine->spooler(), printer, count);
}
MachineState& TestMachine::state() { return impl_->machine->state(); }

// ---------------------------------------------------------------------------

TempMedium::TempMedium() : dir_(MakeTempDir("drivanto-medium")) {
    std::error_code ec;
    fs::copy(DemoMediumDir(), dir_, fs::copy_options::recursive, ec);
    if (ec) throw std::runtime_error("TempMedium: cannot copy " + DemoMediumDir() + ": " + ec.message());
}

TempMedium::~TempMedium() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
}

namespace {
std::string HostRelative(const std::string& relativePath) {
    std::string p = relativePath;
    for (char& c : p) {
        if (c == '\\') c = '/';
    }
    return p;
}
}  // namespace

void TempMedium::write(const std::string& relativePath, const std::string& bytes) {
    fs::path p = fs::path(dir_) / HostRelative(relativePath);
    std::error_code ec;
    fs::create_directories(p.parent_path(), ec);
    std::string error;
    if (!WriteFileAtomically(p.string(), bytes, &error)) throw std::runtime_error(error);
}

void TempMedium::remove(const std::string& relativePath) {
    std::error_code ec;
    fs::remove_all(fs::path(dir_) / HostRelative(relativePath), ec);
}

}  // namespace plat::sim
