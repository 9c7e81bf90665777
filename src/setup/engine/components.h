// The spooler components besides the driver: the COM and USB port monitors,
// the USB language monitor and the print processor. Each is found missing
// (installed at once), outdated (replaced by UpgradeComponents or
// UpgradeLanguageMonitor) or current, by the "DriverVersion" the setup keeps
// in the component's registry key.
#pragma once

#include <cstdint>
#include <string>

namespace setup {

class DriverConfig;
struct InstallSelection;

// Bits of installFlags: which component is outdated.
enum InstallFlagBits : int {
    kComMonitorOutdated = 1,
    kUsbMonitorOutdated = 2,
    kLanguageMonitorOutdated = 4,
    kProcessorOutdated = 8,
};

constexpr int kMonitorRegistrationFailed = -15;
constexpr int kProcessorRegistrationFailed = -14;

// Registry keys (under HKEY_LOCAL_MACHINE) of a monitor and of a processor.
std::string MonitorKeyPath(const std::string& monitorName);
std::string ProcessorKeyPath(int osClass, const std::string& processorName);

// The port monitor of the port (none for LPT): 0, kComMonitorOutdated,
// kUsbMonitorOutdated, or kMonitorRegistrationFailed with the text.
int CheckPortMonitor(DriverConfig& config, int printerType, int osClass, const char* portName,
                     std::string& resultText);

// 0, kProcessorOutdated, or kProcessorRegistrationFailed with the text.
// "WinPrint" is the system's own and never checked.
int CheckPrintProcessor(int osClass, const char* processorName, const char* processorDll,
                        std::string& resultText);

// The language monitor of a USB port: 0, kLanguageMonitorOutdated, or
// kMonitorRegistrationFailed with the text.
int CheckLanguageMonitor(DriverConfig& config, int printerType, int osClass,
                         const char* portName, std::string& resultText);

// AddMonitorA level 2; an already installed monitor counts as success.
bool InstallMonitor(const char* name, const char* environment, const char* dllName,
                    std::string& resultText);

// AddPrintProcessorA: 1 on success; 87, 183 or 3005 for those errors; 0 for
// any other failure. Writes no text.
int InstallProcessor(const char* name, const char* dllName, int osClass);

// Replaces the first outdated component of COM monitor, USB monitor and
// processor (installFlags), stopping the spooler around it on the NT
// family. False when the installation must end as failed.
bool UpgradeComponents(InstallSelection& selection, int processorVersion,
                       std::string& resultText);

// Checks the language monitor and replaces its DLL when outdated (the
// spooler keeps running). False when the installation must end as failed.
bool UpgradeLanguageMonitor(InstallSelection& selection, std::string& resultText);

}  // namespace setup
