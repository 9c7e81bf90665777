#include "platform/sim/clock.h"

#include <string>
#include <thread>

namespace plat::sim {

namespace {
// Where the tick count of a virtual machine starts: a machine that has been
// up for a while, as the programs would find one.
constexpr std::uint64_t kBootTicks = 3600000;
}  // namespace

SimClock::SimClock(FolderState& state, bool realTime)
    : state_(state), realTime_(realTime), start_(std::chrono::steady_clock::now()) {}

void SimClock::sleep(std::uint32_t ms) {
    if (realTime_) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        return;
    }
    std::uint64_t total;
    {
        FolderState::Lock lock(state_);
        total = ParseCount(state_.get("Time", "SleptMs", "0")) + ms;
        state_.set("Time", "SleptMs", std::to_string(total));
    }
    state_.log("Sleep " + std::to_string(ms) + " ms (slept " + std::to_string(total) + " ms in all)");
}

std::uint64_t SimClock::tickCount() {
    if (realTime_) {
        auto d = std::chrono::steady_clock::now() - start_;
        return kBootTicks +
               static_cast<std::uint64_t>(
                   std::chrono::duration_cast<std::chrono::milliseconds>(d).count());
    }
    return kBootTicks + ParseCount(state_.get("Time", "SleptMs", "0"));
}

}  // namespace plat::sim
