// How a program gets its Platform at start-up. Each build links exactly one
// definition: the simulated machine on Linux, the real calls on Windows.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace plat {

struct HostOptions {
    std::string programName;   // "Drivanto.exe" or "Uninstall.exe"
    std::string machineDir;    // simulated machine folder (--machine); empty on Windows
    std::string mediumDir;     // host folder mounted as D: (--medium); empty on Windows
    bool realTime = false;     // simulated sleeps really wait (interactive front end)
};

// Builds the platform for this process. On failure returns null and puts a
// clear message (naming the file and line for a damaged machine) in *error.
std::unique_ptr<Platform> CreateHostPlatform(const HostOptions& options, std::string* error);

}  // namespace plat
