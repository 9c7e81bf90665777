// Time: sleeping and the tick count. A simulated machine sleeps in virtual
// time and logs the total; the real one really sleeps.
#pragma once

#include <cstdint>

namespace plat {

class Clock {
public:
    virtual ~Clock() = default;
    virtual void sleep(std::uint32_t ms) = 0;
    virtual std::uint64_t tickCount() = 0;
};

}  // namespace plat
