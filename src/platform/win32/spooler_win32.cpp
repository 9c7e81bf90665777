// The print spooler through winspool. What the spooler hands back is copied
// out of the caller-sized buffer into owned records; the size query keeps
// Windows' rule, since the real call decides with the caller's byte count.
// Entry points that older spoolers lack (DeletePrinterDriverExA and
// SetDefaultPrinterA before Windows 2000) are looked up at run time.
#include <windows.h>
#include <winspool.h>

#include <vector>

#include "platform/win32/win32_parts.h"
#include "platform/win32/win32_util.h"

namespace plat::win32 {
namespace {

// A buffer of the caller's byte count, aligned for the records the spooler
// writes into it; null when the caller asks for the size only. A count that
// cannot be had leaves it !ok(): the caller answers ERROR_NOT_ENOUGH_MEMORY
// rather than handing the spooler a buffer smaller than it was told.
class SpoolBuffer {
public:
    explicit SpoolBuffer(std::uint32_t bytes) {
        const std::uint64_t words = (std::uint64_t{bytes} + sizeof(void*) - 1) / sizeof(void*);
        ok_ = words <= SIZE_MAX && TryResize(words_, static_cast<std::size_t>(words));
    }
    bool ok() const { return ok_; }
    LPBYTE data() { return words_.empty() ? nullptr : reinterpret_cast<LPBYTE>(words_.data()); }
    template <class T>
    const T* as() const {
        return reinterpret_cast<const T*>(words_.data());
    }

private:
    std::vector<void*> words_;
    bool ok_ = false;
};

// Calls `Fn` exported by winspool.drv, looked up by name; a spooler without
// the export answers ERROR_PROC_NOT_FOUND.
template <class Fn, class... Args>
Err CallSpoolerExport(const char* name, Args... args) {
    LoadedLibrary winspool("winspool.drv");
    if (!winspool.loaded()) return winspool.error();
    Fn fn = winspool.find<Fn>(name);
    if (!fn) return ERROR_PROC_NOT_FOUND;
    return Checked([&] { return fn(args...); });
}

using DeletePrinterDriverFn = BOOL(WINAPI*)(LPSTR, LPSTR, LPSTR);
using DeletePrinterDriverExFn = BOOL(WINAPI*)(LPSTR, LPSTR, LPSTR, DWORD, DWORD);
using SetDefaultPrinterFn = BOOL(WINAPI*)(LPCSTR);

// The level-1 enumerations (ports, monitors, print processors) all hand back
// records whose first field is the name.
template <class Record, class Call>
Err EnumNames(std::uint32_t cbBuf, std::uint32_t* cbNeeded, std::vector<std::string>* out,
              Call call) {
    SpoolBuffer buffer(cbBuf);
    if (!buffer.ok()) return ERROR_NOT_ENOUGH_MEMORY;
    DWORD needed = 0, returned = 0;
    SetLastError(0);
    const BOOL ok = call(buffer.data(), static_cast<DWORD>(cbBuf), &needed, &returned);
    if (cbNeeded) *cbNeeded = needed;
    if (!ok) return LastError();
    if (out) {
        out->clear();
        const Record* records = buffer.as<Record>();
        for (DWORD i = 0; i < returned; ++i) out->push_back(Owned(records[i].pName));
    }
    return 0;
}

PrinterInfo2 FromRecord(const PRINTER_INFO_2A& r) {
    PrinterInfo2 p;
    p.serverName = Owned(r.pServerName);
    p.printerName = Owned(r.pPrinterName);
    p.shareName = Owned(r.pShareName);
    p.portName = Owned(r.pPortName);
    p.driverName = Owned(r.pDriverName);
    p.comment = Owned(r.pComment);
    p.location = Owned(r.pLocation);
    p.sepFile = Owned(r.pSepFile);
    p.printProcessor = Owned(r.pPrintProcessor);
    p.datatype = Owned(r.pDatatype);
    p.parameters = Owned(r.pParameters);
    p.attributes = r.Attributes;
    p.priority = r.Priority;
    p.defaultPriority = r.DefaultPriority;
    p.startTime = r.StartTime;
    p.untilTime = r.UntilTime;
    p.status = r.Status;
    p.cJobs = r.cJobs;
    p.averagePPM = r.AveragePPM;
    return p;
}

// An owned text back into a record field: an empty text stays "none" where
// the spooler had none, so that writing back a record read before changes
// nothing the caller did not change.
LPSTR Field(const std::string& owned, LPSTR current) {
    if (owned.empty() && current == nullptr) return nullptr;
    return Mutable(owned.c_str());
}

// Reads the printer's current level-2 record with the size query.
Err ReadPrinter2(HANDLE printer, SpoolBuffer* out) {
    DWORD needed = 0;
    SetLastError(0);
    if (!GetPrinterA(printer, 2, nullptr, 0, &needed)) {
        const Err e = LastError();
        if (e != ERROR_INSUFFICIENT_BUFFER) return e;
    }
    for (int attempt = 0; attempt < 4; ++attempt) {
        *out = SpoolBuffer(needed);
        if (!out->ok()) return ERROR_NOT_ENOUGH_MEMORY;
        SetLastError(0);
        if (GetPrinterA(printer, 2, out->data(), needed, &needed)) return 0;
        const Err e = LastError();
        if (e != ERROR_INSUFFICIENT_BUFFER) return e;  // else the record grew meanwhile
    }
    return ERROR_INSUFFICIENT_BUFFER;
}

class Win32Spooler final : public Spooler {
public:
    Err addPrinterDriver(const char* server, std::uint32_t level,
                         const DRIVER_INFO_3& info) override {
        // Level 2 is the head of level 3, so one record serves both.
        if (level != 2 && level != 3) return ERROR_INVALID_LEVEL;
        DRIVER_INFO_3A d{};
        d.cVersion = info.cVersion;
        d.pName = info.pName;
        d.pEnvironment = info.pEnvironment;
        d.pDriverPath = info.pDriverPath;
        d.pDataFile = info.pDataFile;
        d.pConfigFile = info.pConfigFile;
        d.pHelpFile = info.pHelpFile;
        d.pDependentFiles = info.pDependentFiles;
        d.pMonitorName = info.pMonitorName;
        d.pDefaultDataType = info.pDefaultDataType;
        return Checked([&] {
            return AddPrinterDriverA(Mutable(server), level, reinterpret_cast<LPBYTE>(&d));
        });
    }

    Err deletePrinterDriver(const char* server, const char* environment,
                            const char* driverName) override {
        return CallSpoolerExport<DeletePrinterDriverFn>("DeletePrinterDriverA", Mutable(server),
                                                        Mutable(environment), Mutable(driverName));
    }

    Err deletePrinterDriverEx(const char* server, const char* environment, const char* driverName,
                              std::uint32_t deleteFlag, std::uint32_t versionFlag) override {
        return CallSpoolerExport<DeletePrinterDriverExFn>(
            "DeletePrinterDriverExA", Mutable(server), Mutable(environment), Mutable(driverName),
            static_cast<DWORD>(deleteFlag), static_cast<DWORD>(versionFlag));
    }

    Err addPrinter(const char* server, std::uint32_t level, const PRINTER_INFO_2& info,
                   Handle* printer) override {
        if (level != 2) return ERROR_INVALID_LEVEL;
        PRINTER_INFO_2A p{};
        p.pServerName = info.pServerName;
        p.pPrinterName = info.pPrinterName;
        p.pShareName = info.pShareName;
        p.pPortName = info.pPortName;
        p.pDriverName = info.pDriverName;
        p.pComment = info.pComment;
        p.pLocation = info.pLocation;
        p.pDevMode = static_cast<LPDEVMODEA>(info.pDevMode);
        p.pSepFile = info.pSepFile;
        p.pPrintProcessor = info.pPrintProcessor;
        p.pDatatype = info.pDatatype;
        p.pParameters = info.pParameters;
        p.pSecurityDescriptor = static_cast<PSECURITY_DESCRIPTOR>(info.pSecurityDescriptor);
        p.Attributes = info.Attributes;
        p.Priority = info.Priority;
        p.DefaultPriority = info.DefaultPriority;
        p.StartTime = info.StartTime;
        p.UntilTime = info.UntilTime;
        p.Status = info.Status;
        p.cJobs = info.cJobs;
        p.AveragePPM = info.AveragePPM;
        SetLastError(0);
        const HANDLE h = AddPrinterA(Mutable(server), level, reinterpret_cast<LPBYTE>(&p));
        if (!h) return LastError();
        if (printer) {
            *printer = ToHandle(h);
        } else {
            ClosePrinter(h);
        }
        return 0;
    }

    Err openPrinter(const char* name, std::uint32_t desiredAccess, Handle* printer) override {
        PRINTER_DEFAULTSA defaults{};
        defaults.DesiredAccess = desiredAccess;
        HANDLE h = nullptr;
        SetLastError(0);
        if (!OpenPrinterA(Mutable(name), &h, desiredAccess ? &defaults : nullptr)) {
            return LastError();
        }
        *printer = ToHandle(h);
        return 0;
    }

    Err closePrinter(Handle printer) override {
        return Checked([&] { return ClosePrinter(FromHandle<HANDLE>(printer)); });
    }

    Err getPrinter2(Handle printer, std::uint32_t cbBuf, std::uint32_t* cbNeeded,
                    PrinterInfo2* out) override {
        SpoolBuffer buffer(cbBuf);
        if (!buffer.ok()) return ERROR_NOT_ENOUGH_MEMORY;
        DWORD needed = 0;
        SetLastError(0);
        const BOOL ok = GetPrinterA(FromHandle<HANDLE>(printer), 2, buffer.data(),
                                    static_cast<DWORD>(cbBuf), &needed);
        if (cbNeeded) *cbNeeded = needed;
        if (!ok) return LastError();
        if (out) *out = FromRecord(*buffer.as<PRINTER_INFO_2A>());
        return 0;
    }

    Err setPrinter2(Handle printer, const PrinterInfo2& info) override {
        // The owned record carries no device mode or security descriptor:
        // take those (and which texts are "none") from the printer as it is.
        const HANDLE h = FromHandle<HANDLE>(printer);
        SpoolBuffer current(0);
        if (const Err e = ReadPrinter2(h, &current)) return e;
        PRINTER_INFO_2A p = *current.as<PRINTER_INFO_2A>();
        p.pServerName = Field(info.serverName, p.pServerName);
        p.pPrinterName = Field(info.printerName, p.pPrinterName);
        p.pShareName = Field(info.shareName, p.pShareName);
        p.pPortName = Field(info.portName, p.pPortName);
        p.pDriverName = Field(info.driverName, p.pDriverName);
        p.pComment = Field(info.comment, p.pComment);
        p.pLocation = Field(info.location, p.pLocation);
        p.pSepFile = Field(info.sepFile, p.pSepFile);
        p.pPrintProcessor = Field(info.printProcessor, p.pPrintProcessor);
        p.pDatatype = Field(info.datatype, p.pDatatype);
        p.pParameters = Field(info.parameters, p.pParameters);
        p.Attributes = info.attributes;
        p.Priority = info.priority;
        p.DefaultPriority = info.defaultPriority;
        p.StartTime = info.startTime;
        p.UntilTime = info.untilTime;
        p.Status = info.status;
        p.cJobs = info.cJobs;
        p.AveragePPM = info.averagePPM;
        return Checked([&] { return SetPrinterA(h, 2, reinterpret_cast<LPBYTE>(&p), 0); });
    }

    Err deletePrinter(Handle printer) override {
        return Checked([&] { return DeletePrinter(FromHandle<HANDLE>(printer)); });
    }

    Err enumPrinters5(std::uint32_t flags, const char* name, std::uint32_t cbBuf,
                      std::uint32_t* cbNeeded, std::vector<PrinterInfo5>* out) override {
        SpoolBuffer buffer(cbBuf);
        if (!buffer.ok()) return ERROR_NOT_ENOUGH_MEMORY;
        DWORD needed = 0, returned = 0;
        SetLastError(0);
        const BOOL ok = EnumPrintersA(flags, Mutable(name), 5, buffer.data(),
                                      static_cast<DWORD>(cbBuf), &needed, &returned);
        if (cbNeeded) *cbNeeded = needed;
        if (!ok) return LastError();
        if (out) {
            out->clear();
            const PRINTER_INFO_5A* records = buffer.as<PRINTER_INFO_5A>();
            for (DWORD i = 0; i < returned; ++i) {
                PrinterInfo5 p;
                p.printerName = Owned(records[i].pPrinterName);
                p.portName = Owned(records[i].pPortName);
                p.attributes = records[i].Attributes;
                p.deviceNotSelectedTimeout = records[i].DeviceNotSelectedTimeout;
                p.transmissionRetryTimeout = records[i].TransmissionRetryTimeout;
                out->push_back(std::move(p));
            }
        }
        return 0;
    }

    Err enumPorts1(const char* server, std::uint32_t cbBuf, std::uint32_t* cbNeeded,
                   std::vector<std::string>* out) override {
        return EnumNames<PORT_INFO_1A>(
            cbBuf, cbNeeded, out, [&](LPBYTE b, DWORD cb, LPDWORD need, LPDWORD count) {
                return EnumPortsA(Mutable(server), 1, b, cb, need, count);
            });
    }

    Err enumMonitors1(const char* server, std::uint32_t cbBuf, std::uint32_t* cbNeeded,
                      std::vector<std::string>* out) override {
        return EnumNames<MONITOR_INFO_1A>(
            cbBuf, cbNeeded, out, [&](LPBYTE b, DWORD cb, LPDWORD need, LPDWORD count) {
                return EnumMonitorsA(Mutable(server), 1, b, cb, need, count);
            });
    }

    Err enumPrintProcessors1(const char* server, const char* environment, std::uint32_t cbBuf,
                             std::uint32_t* cbNeeded, std::vector<std::string>* out) override {
        return EnumNames<PRINTPROCESSOR_INFO_1A>(
            cbBuf, cbNeeded, out, [&](LPBYTE b, DWORD cb, LPDWORD need, LPDWORD count) {
                return EnumPrintProcessorsA(Mutable(server), Mutable(environment), 1, b, cb, need,
                                            count);
            });
    }

    Err addMonitor(const char* server, std::uint32_t level, const MONITOR_INFO_2& info) override {
        if (level != 2) return ERROR_INVALID_LEVEL;
        MONITOR_INFO_2A m{};
        m.pName = info.pName;
        m.pEnvironment = info.pEnvironment;
        m.pDLLName = info.pDLLName;
        return Checked(
            [&] { return AddMonitorA(Mutable(server), level, reinterpret_cast<LPBYTE>(&m)); });
    }

    Err deleteMonitor(const char* server, const char* environment,
                      const char* monitorName) override {
        return Checked([&] {
            return DeleteMonitorA(Mutable(server), Mutable(environment), Mutable(monitorName));
        });
    }

    Err addPrintProcessor(const char* server, const char* environment, const char* pathName,
                          const char* processorName) override {
        return Checked([&] {
            return AddPrintProcessorA(Mutable(server), Mutable(environment), Mutable(pathName),
                                      Mutable(processorName));
        });
    }

    Err deletePrintProcessor(const char* server, const char* environment,
                             const char* processorName) override {
        return Checked([&] {
            return DeletePrintProcessorA(Mutable(server), Mutable(environment),
                                         Mutable(processorName));
        });
    }

    Err getPrinterDriverDirectory(const char* server, const char* environment, std::uint32_t level,
                                  std::uint32_t cbBuf, std::string* out) override {
        return Directory(cbBuf, out, [&](LPBYTE b, DWORD cb, LPDWORD need) {
            return GetPrinterDriverDirectoryA(Mutable(server), Mutable(environment), level, b, cb,
                                              need);
        });
    }

    Err getPrintProcessorDirectory(const char* server, const char* environment, std::uint32_t level,
                                   std::uint32_t cbBuf, std::string* out) override {
        return Directory(cbBuf, out, [&](LPBYTE b, DWORD cb, LPDWORD need) {
            return GetPrintProcessorDirectoryA(Mutable(server), Mutable(environment), level, b, cb,
                                               need);
        });
    }

    Err setDefaultPrinter(const char* printerName) override {
        return CallSpoolerExport<SetDefaultPrinterFn>("SetDefaultPrinterA", printerName);
    }

private:
    template <class Call>
    static Err Directory(std::uint32_t cbBuf, std::string* out, Call call) {
        std::vector<char> buffer;  // with one spare zero to end the text
        if (!TryResize(buffer, std::size_t{cbBuf} + 1)) return ERROR_NOT_ENOUGH_MEMORY;
        DWORD needed = 0;
        SetLastError(0);
        if (!call(cbBuf ? reinterpret_cast<LPBYTE>(buffer.data()) : nullptr,
                  static_cast<DWORD>(cbBuf), &needed)) {
            return LastError();
        }
        out->assign(buffer.data());
        return 0;
    }
};

}  // namespace

std::unique_ptr<Spooler> MakeSpooler() { return std::make_unique<Win32Spooler>(); }

}  // namespace plat::win32
