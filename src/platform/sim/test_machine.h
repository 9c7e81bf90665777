// A simulated machine for tests: a new machine from an OS preset in a fresh
// temporary folder (removed again), the medium mounted as D:, and the
// program running as D:\<program> with D:\ as its current directory.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/sim/sim_context.h"

namespace plat::sim {

struct TestMachineOptions {
    std::string os = "xp";                 // an OS preset name
    bool admin = true;
    bool wow64 = false;
    std::vector<int> usbPrinters;          // device release numbers of attached printers
    std::string bulkusbVersion;            // installed C:\WINDOWS\system32\drivers\bulkusb.sys, "" none
    std::string mediumDir;                 // host folder for D:; "" is the project's media/demo
    std::string programName = "Drivanto.exe";
};

class TestMachine {
public:
    explicit TestMachine(const TestMachineOptions& options = {});
    ~TestMachine();
    TestMachine(const TestMachine&) = delete;
    TestMachine& operator=(const TestMachine&) = delete;

    Platform& platform();
    const std::string& dir() const;        // the machine folder
    std::string show();                    // the `winsim show` text of the machine
    std::string log();                     // log.txt
    std::uint64_t sleptMs();               // virtual time slept so far
    std::string hostPath(const std::string& windowsPath);

    // Make the nth call (1-based, counted from now) of an operation fail with
    // `err`; `op` is "<service>.<method>" as the seam names them
    // ("spooler.addPrinter", "files.copyFile", "registry.openKey"). With
    // `argContains`, only calls whose first text argument contains it count.
    void failCall(const std::string& op, int nth, Err err, const std::string& argContains = "");
    // Every call from now on (that matches) fails.
    void failAlways(const std::string& op, Err err, const std::string& argContains = "");
    void clearFaults();

    // What other programs and the hardware do meanwhile, as `winsim` does it.
    void openWindow(const std::string& title);      // a window no process of ours owns
    void closeWindow(const std::string& title);
    void holdFile(const std::string& windowsPath);  // another program keeps it open
    void releaseFile(const std::string& windowsPath = "");   // "" lets all go
    void holdMutex(const std::string& name);        // another copy holds the mutex
    void setSpoolerRunning(bool running);
    // Queues print jobs on an existing printer (as `winsim job`); the
    // spooler's error when it does not know the printer.
    Err queueJobs(const std::string& printer, int count);
    // machine.ini and log.txt directly, for what the helpers above do not cover.
    MachineState& state();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// A copy of the project's demo medium in a fresh temporary folder, for tests
// that change the medium; removed with the object.
class TempMedium {
public:
    TempMedium();
    ~TempMedium();
    const std::string& dir() const { return dir_; }
    // Writes (or replaces) a file, by its path relative to the medium.
    void write(const std::string& relativePath, const std::string& bytes);
    void remove(const std::string& relativePath);

private:
    std::string dir_;
};

}  // namespace plat::sim
