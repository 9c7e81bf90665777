// What other programs and the hardware do to a simulated machine: the
// `winsim` commands, also used by TestMachine.
#pragma once

#include <string>

#include "platform/sim/machine_state.h"
#include "platform/spooler.h"

namespace plat::sim {

// Another program keeps the file open / lets it go ("" lets all go).
// False when the path is not a Windows path of this machine.
bool HoldFile(FolderState& state, const std::string& windowsPath, std::string* error);
void ReleaseFile(FolderState& state, const std::string& windowsPath);

// A top-level window that no program of this machine owns.
void OpenWindow(FolderState& state, const std::string& title);
bool CloseWindow(FolderState& state, const std::string& title);

// A named mutex that another program holds for as long as the machine lives.
void HoldMutex(FolderState& state, const std::string& name);

void PlugUsbPrinter(FolderState& state, int release);
void UnplugUsbPrinters(FolderState& state);

// The Spooler service started or stopped from outside.
void SetSpoolerState(FolderState& state, bool running);

// Queues print jobs on an existing printer (ERROR_INVALID_PRINTER_NAME when
// the spooler does not know it).
Err QueueJobs(FolderState& state, Spooler& spooler, const std::string& printer, int count);

}  // namespace plat::sim
