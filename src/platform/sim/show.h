// The canonical text dump of a simulated machine (`winsim show`), described
// in docs/simulated-machine.md.
#pragma once

#include <string>

#include "platform/sim/sim_platform.h"

namespace plat::sim {

std::string ShowMachine(SimPlatform& machine);

}  // namespace plat::sim
