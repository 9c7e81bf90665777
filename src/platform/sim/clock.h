// Time on the simulated machine: virtual by default (a sleep adds to the
// machine's slept total and returns at once), real for the interactive
// front end.
#pragma once

#include <chrono>

#include "platform/clock.h"
#include "platform/sim/machine_state.h"

namespace plat::sim {

class SimClock : public Clock {
public:
    SimClock(FolderState& state, bool realTime);
    void sleep(std::uint32_t ms) override;
    std::uint64_t tickCount() override;

private:
    FolderState& state_;
    bool realTime_;
    std::chrono::steady_clock::time_point start_;
};

}  // namespace plat::sim
