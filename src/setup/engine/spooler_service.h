// The Spooler service, stopped and started around the replacement of a
// monitor or processor DLL on the Windows NT family.
#pragma once

#include <cstdint>
#include <string>

namespace setup {

// Sends the stop control (whatever it answers) and sleeps 100 ms; does not
// wait for the stopped state.
void StopSpooler();

// Starts the service; a refusal other than "already running" leaves
// "Start spool service error, error code = <n>" in resultText.
void StartSpooler(std::string& resultText);

// Queries the state up to 10 times, 300 ms apart, until it is running (4).
// Returns the last state seen (1 when the service cannot be reached); any
// state but 4 leaves "StartSpoolService error" in resultText.
std::uint32_t WaitSpoolerRunning(std::string& resultText);

}  // namespace setup
