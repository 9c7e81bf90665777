// The spooler, service control, USB library and cabinet parts of the
// simulated machine, and what they lay down on a new machine. Built on the
// machine's registry and files (SimContext), so the spooler's state lives in
// the registry keys where Windows keeps it.
#pragma once

#include <memory>

#include "platform/cabinet.h"
#include "platform/services.h"
#include "platform/spooler.h"
#include "platform/usb.h"
#include "platform/sim/sim_context.h"

namespace plat::sim {

std::unique_ptr<Spooler> MakeSimSpooler(SimContext& ctx);
std::unique_ptr<Services> MakeSimServices(SimContext& ctx);
std::unique_ptr<UsbLibrary> MakeSimUsb(SimContext& ctx);
std::unique_ptr<Cabinets> MakeSimCabinets(SimContext& ctx);

// On a new machine: the spooler's registry keys (built-in print processor
// WinPrint, the Local Port monitor), the driver and processor folders, the
// driver cache cabinet (2000..2003) and the driver store ntprint folder
// (Vista on), as the preset asks.
void LaySpoolerPreset(SimContext& ctx);

}  // namespace plat::sim
