// The print spooler, after the winspool calls: drivers, printers, ports,
// monitors, print processors, their directories and the default printer.
//
// The structures that a caller fills for the spooler keep the Windows names
// and layouts (ANSI strings as char pointers; a null pointer is "none").
// What the spooler hands back is given as owned values; the size query of
// Windows is kept: a call with `cbBuf` smaller than the size Windows would
// need fails with ERROR_INSUFFICIENT_BUFFER and sets *cbNeeded.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win_types.h"

namespace plat {

struct DRIVER_INFO_3 {
    std::uint32_t cVersion;
    char* pName;
    char* pEnvironment;
    char* pDriverPath;
    char* pDataFile;
    char* pConfigFile;
    char* pHelpFile;
    char* pDependentFiles;   // zero-separated list ending in an empty string
    char* pMonitorName;
    char* pDefaultDataType;
};

struct PRINTER_INFO_2 {
    char* pServerName;
    char* pPrinterName;
    char* pShareName;
    char* pPortName;
    char* pDriverName;
    char* pComment;
    char* pLocation;
    void* pDevMode;
    char* pSepFile;
    char* pPrintProcessor;
    char* pDatatype;
    char* pParameters;
    void* pSecurityDescriptor;
    std::uint32_t Attributes;
    std::uint32_t Priority;
    std::uint32_t DefaultPriority;
    std::uint32_t StartTime;
    std::uint32_t UntilTime;
    std::uint32_t Status;
    std::uint32_t cJobs;
    std::uint32_t AveragePPM;
};

struct MONITOR_INFO_2 {
    char* pName;
    char* pEnvironment;
    char* pDLLName;
};

// A printer as GetPrinterA level 2 reports it.
struct PrinterInfo2 {
    std::string serverName, printerName, shareName, portName, driverName, comment, location,
        sepFile, printProcessor, datatype, parameters;
    std::uint32_t attributes = 0, priority = 0, defaultPriority = 0, startTime = 0,
                  untilTime = 0, status = 0, cJobs = 0, averagePPM = 0;
};

// A printer as EnumPrintersA level 5 reports it.
struct PrinterInfo5 {
    std::string printerName, portName;
    std::uint32_t attributes = 0, deviceNotSelectedTimeout = 0, transmissionRetryTimeout = 0;
};

class Spooler {
public:
    virtual ~Spooler() = default;

    // `server` null or "" is the local machine; `environment` null is the
    // machine's own ("Windows NT x86", or "Windows 4.0" on Windows 9x).
    virtual Err addPrinterDriver(const char* server, std::uint32_t level,
                                 const DRIVER_INFO_3& info) = 0;
    virtual Err deletePrinterDriver(const char* server, const char* environment,
                                    const char* driverName) = 0;
    virtual Err deletePrinterDriverEx(const char* server, const char* environment,
                                      const char* driverName, std::uint32_t deleteFlag,
                                      std::uint32_t versionFlag) = 0;

    // AddPrinterA level 2; on success *printer is an open handle.
    virtual Err addPrinter(const char* server, std::uint32_t level, const PRINTER_INFO_2& info,
                           Handle* printer) = 0;
    virtual Err openPrinter(const char* name, std::uint32_t desiredAccess, Handle* printer) = 0;
    virtual Err closePrinter(Handle printer) = 0;
    virtual Err getPrinter2(Handle printer, std::uint32_t cbBuf, std::uint32_t* cbNeeded,
                            PrinterInfo2* out) = 0;
    // SetPrinterA level 2 with the record as read by getPrinter2.
    virtual Err setPrinter2(Handle printer, const PrinterInfo2& info) = 0;
    virtual Err deletePrinter(Handle printer) = 0;

    virtual Err enumPrinters5(std::uint32_t flags, const char* name, std::uint32_t cbBuf,
                              std::uint32_t* cbNeeded, std::vector<PrinterInfo5>* out) = 0;
    // EnumPortsA level 1: port names.
    virtual Err enumPorts1(const char* server, std::uint32_t cbBuf, std::uint32_t* cbNeeded,
                           std::vector<std::string>* out) = 0;
    // EnumMonitorsA level 1: monitor names.
    virtual Err enumMonitors1(const char* server, std::uint32_t cbBuf, std::uint32_t* cbNeeded,
                              std::vector<std::string>* out) = 0;
    // EnumPrintProcessorsA level 1: processor names.
    virtual Err enumPrintProcessors1(const char* server, const char* environment,
                                     std::uint32_t cbBuf, std::uint32_t* cbNeeded,
                                     std::vector<std::string>* out) = 0;

    // AddMonitorA level 2.
    virtual Err addMonitor(const char* server, std::uint32_t level, const MONITOR_INFO_2& info) = 0;
    virtual Err deleteMonitor(const char* server, const char* environment,
                              const char* monitorName) = 0;
    virtual Err addPrintProcessor(const char* server, const char* environment,
                                  const char* pathName, const char* processorName) = 0;
    virtual Err deletePrintProcessor(const char* server, const char* environment,
                                     const char* processorName) = 0;

    // GetPrinterDriverDirectoryA / GetPrintProcessorDirectoryA, level 1, into
    // a buffer of cbBuf bytes (too small: ERROR_INSUFFICIENT_BUFFER).
    virtual Err getPrinterDriverDirectory(const char* server, const char* environment,
                                          std::uint32_t level, std::uint32_t cbBuf,
                                          std::string* out) = 0;
    virtual Err getPrintProcessorDirectory(const char* server, const char* environment,
                                           std::uint32_t level, std::uint32_t cbBuf,
                                           std::string* out) = 0;

    // SetDefaultPrinterA as exported by winspool.drv from Windows 2000 on;
    // where the export is missing: ERROR_PROC_NOT_FOUND.
    virtual Err setDefaultPrinter(const char* printerName) = 0;
};

}  // namespace plat
