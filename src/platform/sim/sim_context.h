// What the parts of the simulated machine share: the machine folder's state
// file (machine.ini), the log, the mapping of Windows paths to host files,
// and the machine's own registry, files and clock through the seam.
//
// machine.ini (sections and keys; names match without regard to case):
//   [Machine]  Os=xp  ProductName=...  Major=5  Minor=1  Build=2600
//              Platform=2  CSDVersion=...  Admin=1  Wow64=0
//   [Spooler]  State=running|stopped
//              StartPendingQueries=N   status queries after a start that
//                                      still answer SERVICE_START_PENDING
//   [USB]      Printer1=<device release number>  Printer2=...  (attached printers)
//   [HeldFiles] File1=<Windows path>  ...        (files another program keeps open)
//   [Windows]  Window<N>=<pid>|<title>|<show>     (top-level windows; pid 0: a
//                                                 window of no process here)
//   [Mutexes]  <name>=<pid>                       (pid 0: held by another program)
//   [Time]     SleptMs=<virtual milliseconds slept so far>
//   [Jobs]     <printer name>=<queued job count>
//   [Attributes] <Windows path>=<hex attributes>   (files whose attributes are not plain archive)
//   [Faults]   <service>.<method>=<nth>|*:<error>[:<text>]   calls that fail in scripted runs
//
// Declarations that simulated DLLs carry as plain text lines (anywhere in
// the file, typically after a real PE image):
//   SIM-PORTS=KSCOM1:,KSCOM2:                      a port monitor's ports
//   SIM-PORTS-FROM-REGISTRY=SOFTWARE\KESTRAN\PORTNAME  ...and every value
//                                                  name under that HKLM key
//   SIM-EXPORTS=OpenDeviceX,GetDescriptor,uWrite,CloseDevice
//                                                  a library's entry points (all
//                                                  four when the line is missing)
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/registry.h"

namespace plat::sim {

// One row of the OS preset table.
struct OsPreset {
    const char* name;          // "95", "98", "me", "nt4", "2000", "xp", "xp64", "2003",
                               // "vista", "2008", "win7", "2008r2", "win8", "win10"
    std::uint32_t platformId;  // 1 Windows 9x, 2 NT
    std::uint32_t major, minor, build;
    const char* productName;
    const char* csdVersion;
    bool hasScm;               // a service control manager (NT family)
    bool driverCacheCab;       // C:\WINDOWS\Driver Cache\i386\*.cab with the Unidrv files (2000..2003)
    bool driverStore;          // C:\WINDOWS\System32\DriverStore\FileRepository\ntprint... (Vista on)
    bool setDefaultPrinterExport;   // winspool.drv exports SetDefaultPrinterA (2000 on)
    bool deletePrinterDriverExExport;  // winspool.drv exports DeletePrinterDriverExA (2000 on)
};

const OsPreset* FindOsPreset(const std::string& name);
const std::vector<OsPreset>& OsPresets();

// machine.ini and log.txt. Every call sees the state as it is on disk now
// (another process may have changed it) and writes atomically.
class MachineState {
public:
    virtual ~MachineState() = default;
    virtual std::string get(const std::string& section, const std::string& key,
                            const std::string& def = "") = 0;
    virtual void set(const std::string& section, const std::string& key,
                     const std::string& value) = 0;
    virtual void erase(const std::string& section, const std::string& key) = 0;
    virtual std::vector<std::pair<std::string, std::string>> section(const std::string& name) = 0;
    // One line appended to log.txt.
    virtual void log(const std::string& line) = 0;
    // The host path of a Windows path ("C:\WINDOWS\x" -> "<machine>/C/WINDOWS/x",
    // "D:\x" -> "<medium>/x"), matching existing names without regard to case.
    virtual std::string hostPath(const std::string& windowsPath) = 0;
    // Whether another program holds this Windows path open ([HeldFiles]).
    virtual bool isHeld(const std::string& windowsPath) = 0;
};

struct SimContext {
    MachineState& state;
    Registry& registry;
    Files& files;
    Clock& clock;
    const OsPreset& os;
};

}  // namespace plat::sim
