// The spooler's records of the installation: the printer driver, the
// printer under a free name, the port list probe for USB ports, and the
// default printer.
#pragma once

#include <string>

#include "platform/spooler.h"

namespace setup {

// AddPrinterDriverA level 3 on the local machine.
bool AddDriver(const plat::DRIVER_INFO_3& info, std::string& resultText);

// AddPrinterA level 2. A taken name is tried again as name(1) .. name(98),
// unless `noNumbering` (USB ports). On return info->pPrinterName points to
// `nameBuffer` (260 bytes) holding the name the printer was created under,
// or an empty name when it was not created.
bool AddPrinterNumbered(plat::PRINTER_INFO_2* info, char* nameBuffer, bool noNumbering,
                        std::string& resultText);

// Whether the spooler's port list can be read (EnumPortsA level 1).
bool ProbePortList(std::string& resultText);

// Makes `printerName` the default printer, the way the running Windows
// keeps it. Never writes a text.
bool MakeDefaultPrinter(const char* printerName);

}  // namespace setup
