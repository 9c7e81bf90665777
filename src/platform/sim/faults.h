// Fault injection for the simulated machine: a pass-through layer over every
// service that makes chosen calls fail with a chosen error number. Calls are
// named "<service>.<method>" ("files.copyFile", "spooler.addPrinter").
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace plat::sim {

class FaultPlan {
public:
    // The nth matching call from now on (1-based) fails with `err`; with
    // `argContains`, only calls whose text argument contains it count.
    void failCall(const std::string& op, int nth, Err err, const std::string& argContains = "");
    void failAlways(const std::string& op, Err err, const std::string& argContains = "");
    void clear();
    // Rules from text, one per line or entry: "<op>=<nth>|*:<err>[:<argContains>]"
    // (machine.ini [Faults]). False with a message for a malformed rule.
    bool addRule(const std::string& op, const std::string& spec, std::string* error);

    // Counts the call; the error to fail it with, or 0.
    Err check(const char* op, const std::string& arg);

private:
    struct Rule {
        std::string op, argContains;
        int remaining = 0;   // calls until the failing one; 0 with `always`
        bool always = false;
        bool spent = false;
        Err err = 0;
    };
    std::mutex mutex_;
    std::vector<Rule> rules_;
};

// The platform with every call passing through `plan` first. `inner` must
// outlive the result.
std::unique_ptr<Platform> MakeFaultyPlatform(Platform& inner, FaultPlan& plan);

}  // namespace plat::sim
