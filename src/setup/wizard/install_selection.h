// The user's choices and what the driver configuration says for them: what
// the installation worker needs to know.
#pragma once

#include <cstdint>
#include <string>

#include "platform/spooler.h"
#include "setup/config/driver_config.h"

namespace setup {

struct InstallSelection {
    std::int32_t printerType = 0;
    std::int32_t osClass = 0;
    std::int32_t driverKind = 0;
    char modelName[200] = {};
    char portName[100] = {};
    char k7PortName[100] = {};
    std::int32_t setAsDefault = 0;
    std::int32_t baudRate = 0;
    std::int32_t dataBits = 0;
    double stopBits = 0;
    char parity = 0;
    char flowControl = 0;
    std::int32_t installFlags = 0;
    char typeIniPath[200] = {};
    std::int32_t portKind = 0;
    DriverConfig config;
    DriverFileSet driverFiles = {};
    plat::DRIVER_INFO_3 driverInfo = {};
    const char* langMonitorName = "";
    const char* langMonitorEnv = nullptr;
    const char* langMonitorDll = "";
    plat::PRINTER_INFO_2 printerInfo = {};
    char printerName[260] = {};   // storage for printerInfo.pPrinterName once numbered
};

// 1 typical, 0 advanced.
extern int installMode;

// The installation's result or failure text. It grows to hold the longest
// text the installation composes (a language text, a path and the system's
// description), so nothing is cut.
extern std::string resultText;

}  // namespace setup
