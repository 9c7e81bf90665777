#include "setup/engine/spooler_objects.h"

#include <cstdio>
#include <cstring>

#include "common/sys.h"
#include "setup/engine/engine_text.h"

namespace setup {
namespace {

constexpr std::size_t kPrinterNameSize = 260;
constexpr int kLastNumber = 98;
constexpr std::uint32_t kBroadcastTimeoutMs = 1000;

plat::Spooler& Spool() { return common::Sys().spooler(); }

void SetName(plat::PRINTER_INFO_2* info, char* nameBuffer, const std::string& name) {
    std::snprintf(nameBuffer, kPrinterNameSize, "%s", name.c_str());
    info->pPrinterName = nameBuffer;
}

plat::Err TryAdd(plat::PRINTER_INFO_2* info, char* nameBuffer, const std::string& name) {
    SetName(info, nameBuffer, name);
    plat::Handle printer = 0;
    plat::Err err = Spool().addPrinter(nullptr, 2, *info, &printer);
    if (err == ERROR_SUCCESS) Spool().closePrinter(printer);
    return err;
}

// "base(n)", with the base cut so that the number always fits in the
// spooler's 260-character name.
std::string NumberedName(const std::string& base, int n) {
    std::string suffix = "(" + std::to_string(n) + ")";
    std::size_t room = kPrinterNameSize - 1 - suffix.size();
    return base.substr(0, room) + suffix;
}

// Opens the printer and reads its level-2 record with the size query
// Windows asks for. False (with the printer closed) when any step fails.
bool ReadPrinter(const char* printerName, plat::Handle* printer, plat::PrinterInfo2* info) {
    if (Spool().openPrinter(printerName, PRINTER_ALL_ACCESS, printer) != ERROR_SUCCESS) {
        return false;
    }
    std::uint32_t needed = 0;
    if (Spool().getPrinter2(*printer, 0, &needed, info) == ERROR_INSUFFICIENT_BUFFER &&
        needed != 0 && common::Sys().system().allocate(needed) == ERROR_SUCCESS &&
        Spool().getPrinter2(*printer, needed, &needed, info) == ERROR_SUCCESS) {
        return true;
    }
    Spool().closePrinter(*printer);
    return false;
}

}  // namespace

bool AddDriver(const plat::DRIVER_INFO_3& info, std::string& resultText) {
    plat::Err err = Spool().addPrinterDriver(nullptr, 3, info);
    if (err == ERROR_SUCCESS) return true;
    resultText = TextWithSystemError("IDS_ERR_ADDPRNDRV3", err);
    return false;
}

bool AddPrinterNumbered(plat::PRINTER_INFO_2* info, char* nameBuffer, bool noNumbering,
                        std::string& resultText) {
    // The name may already live in nameBuffer; keep a copy as the base.
    const std::string base = info->pPrinterName ? info->pPrinterName : "";
    plat::Err err = TryAdd(info, nameBuffer, base);
    if (err == ERROR_SUCCESS) return true;

    if (err == ERROR_PRINTER_ALREADY_EXISTS) {
        if (!noNumbering) {
            for (int n = 1; n <= kLastNumber; ++n) {
                err = TryAdd(info, nameBuffer, NumberedName(base, n));
                if (err == ERROR_SUCCESS) return true;
                if (err != ERROR_PRINTER_ALREADY_EXISTS) break;
            }
        }
        if (err == ERROR_PRINTER_ALREADY_EXISTS) {
            resultText = MessageText("IDS_ERR_TOOMANY");
            SetName(info, nameBuffer, "");
            return false;
        }
    }
    resultText = TextWithSystemError("IDS_ERR_ADDPRINTER", err);
    SetName(info, nameBuffer, "");
    return false;
}

bool ProbePortList(std::string& resultText) {
    std::uint32_t needed = 0;
    std::vector<std::string> ports;
    Spool().enumPorts1(nullptr, 0, &needed, &ports);
    if (common::Sys().system().allocate(needed) != ERROR_SUCCESS) {
        resultText = MessageText("IDS_ERR_ALLOCMEMORY");
        return false;
    }
    plat::Err err = Spool().enumPorts1(nullptr, needed, &needed, &ports);
    if (err == ERROR_SUCCESS) return true;
    resultText = TextWithSystemError("IDS_ERR_ALLOCMEMORY", err);
    return false;
}

bool MakeDefaultPrinter(const char* printerName) {
    if (!printerName) return false;
    plat::OsVersionInfo version;
    if (common::Sys().system().getVersionEx(&version) != ERROR_SUCCESS) return false;
    plat::Desktop& desktop = common::Sys().desktop();

    if (version.platformId == VER_PLATFORM_WIN32_WINDOWS) {
        // Windows 98/Me keep the default as an attribute of the printer.
        plat::Handle printer = 0;
        plat::PrinterInfo2 info;
        if (!ReadPrinter(printerName, &printer, &info)) return false;
        info.attributes |= PRINTER_ATTRIBUTE_DEFAULT;
        plat::Err err = Spool().setPrinter2(printer, info);
        Spool().closePrinter(printer);
        if (err != ERROR_SUCCESS) return false;
        desktop.broadcastWinIniChange("windows", kBroadcastTimeoutMs);
        return true;
    }
    if (version.platformId != VER_PLATFORM_WIN32_NT) return true;

    if (version.majorVersion < 5) {
        // NT 4.0 keeps it in the [windows] section of WIN.INI.
        plat::Handle printer = 0;
        plat::PrinterInfo2 info;
        if (!ReadPrinter(printerName, &printer, &info)) return false;
        Spool().closePrinter(printer);
        if (info.driverName.empty() || info.portName.empty()) return false;
        std::string device = std::string(printerName) + "," + info.driverName + "," + info.portName;
        if (common::Sys().profile().writeProfileString("windows", "device", device.c_str()) !=
            ERROR_SUCCESS) {
            return false;
        }
    } else if (Spool().setDefaultPrinter(printerName) != ERROR_SUCCESS) {
        return false;
    }
    desktop.broadcastWinIniChange(nullptr, kBroadcastTimeoutMs);
    return true;
}

}  // namespace setup
