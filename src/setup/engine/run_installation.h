// The installation sequence: once the wizard has filled the selection, it
// brings the monitors and the print processor up to date, copies the driver
// files, adds the driver, creates the printer and applies the finishing
// touches, on a worker thread of its own.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

namespace setup {

struct InstallSelection;

// installStatus values.
enum InstallStatus : std::int32_t {
    kInstallRunning = 0,
    kInstallFailed = 1,
    kInstallSucceeded = 2,
};

// What the Install command hands to the worker; it lives on the command's
// stack until the progress dialog has ended. The command points `selection`
// at the wizard's InstallSelection and `installStatus` at the progress
// dialog's status, which it sets to kInstallRunning before the worker starts.
struct InstallThreadArgs {
    InstallSelection* selection = nullptr;
    std::atomic<std::int32_t>* installStatus = nullptr;
};

// The worker's entry. Everything it has to say goes into resultText; its
// last act is to store kInstallFailed or kInstallSucceeded into
// *args->installStatus with release semantics (read it with acquire).
// Returns 0.
unsigned RunInstallation(InstallThreadArgs* args);

// Starts RunInstallation on a new thread. The caller joins it before it
// touches the selection or resultText again.
std::thread StartInstallation(InstallThreadArgs* args);

}  // namespace setup
