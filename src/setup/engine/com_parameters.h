// The serial settings chosen on the port page, written where Windows keeps
// a port's default settings: the NT Ports key, or on Windows 98/Me the
// WIN.INI [Ports] entry and the port class's device-control block.
#pragma once

#include <cstdint>
#include <string>

namespace setup {

struct InstallSelection;

// "9600,n,8,1,p": baud rate, parity, data bits, stop bits, flow letter.
std::string ComSettingsText(int baudRate, char parity, int dataBits, double stopBits,
                            char flowControl);

// The 28-byte serial device-control block for those settings.
std::string ComDeviceControlBlock(int baudRate, char parity, int dataBits, double stopBits,
                                  char flowControl);

// Writes the selection's serial settings for its COM port (the maker's
// KSCOMn: ports write those of COMn:). Lower-cases the selection's parity.
// Reports nothing; a key that does not open is skipped.
void WriteComParameters(InstallSelection& selection);

}  // namespace setup
