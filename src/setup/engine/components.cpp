#include "setup/engine/components.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "common/sys.h"
#include "setup/config/driver_config.h"
#include "setup/engine/driver_file_copy.h"
#include "setup/engine/engine_text.h"
#include "setup/engine/reg_key.h"
#include "setup/engine/spooler_service.h"
#include "setup/wizard/install_selection.h"

namespace setup {
namespace {

constexpr std::uint32_t kDirSize = 256;
constexpr std::uint32_t kAfterProcessorInstallMs = 200;
constexpr std::uint32_t kAfterStopMs = 500;
constexpr std::uint32_t kAfterSecondStartMs = 2500;

// A monitor as the configuration describes it.
struct Monitor {
    std::string name;
    const char* environment = nullptr;
    std::string dll;
    std::string uiDll;   // empty for the language monitor
    std::uint32_t version = 0;
};

std::string Text(const char* text) { return text ? text : ""; }

Monitor ComMonitor(const PortMonitorInfo& info) {
    return {Text(info.comMonitor.pName), info.comMonitor.pEnvironment,
            Text(info.comMonitor.pDLLName), info.comUiDll,
            static_cast<std::uint32_t>(info.comVersion)};
}

Monitor UsbMonitor(const PortMonitorInfo& info) {
    return {Text(info.usbMonitor.pName), info.usbMonitor.pEnvironment,
            Text(info.usbMonitor.pDLLName), info.usbUiDll,
            static_cast<std::uint32_t>(info.usbVersion)};
}

Monitor LanguageMonitor(const LanguageMonitorInfo& info) {
    return {Text(info.info.pName), info.info.pEnvironment, Text(info.info.pDLLName), "",
            static_cast<std::uint32_t>(info.version)};
}

PortMonitorInfo ReadMonitors(DriverConfig& config, int osClass) {
    PortMonitorInfo info{};
    config.ReadPortMonitors(osClass, &info);
    return info;
}

LanguageMonitorInfo ReadLanguage(DriverConfig& config, int osClass) {
    LanguageMonitorInfo info{};
    config.ReadLanguageMonitor(osClass, &info, 2);
    return info;
}

enum class Installed { Absent, Outdated, Current };

// The version rule: a component without its key is absent; one whose
// "DriverVersion" cannot be read or is below the configured one is outdated.
Installed CompareInstalled(const std::string& keyPath, std::uint32_t configured) {
    RegKey key;
    if (!key.Open(HKEY_LOCAL_MACHINE, keyPath.c_str())) return Installed::Absent;
    std::uint32_t installed = 0;
    if (!key.GetDword("DriverVersion", &installed) || configured > installed) {
        return Installed::Outdated;
    }
    return Installed::Current;
}

void WriteVersion(const std::string& keyPath, const char* driver, std::uint32_t version) {
    RegKey key;
    if (!key.Open(HKEY_LOCAL_MACHINE, keyPath.c_str())) return;
    if (driver) key.SetString("Driver", driver);
    key.SetDword("DriverVersion", version);
}

// The DLL the spooler loads for a component ("Driver"), "" when unknown.
std::string DriverValue(const std::string& keyPath) {
    RegKey key;
    char value[261] = {};
    if (!key.Open(HKEY_LOCAL_MACHINE, keyPath.c_str()) || !key.QueryValue("Driver", value, 260)) {
        return "";
    }
    return value;
}

bool EqualNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

bool InUse(int copyResult) { return copyResult == kCopyInUse || copyResult == kCopyDenied; }

// CopyDriverFile on a modifiable copy of `name`; *copied is the name as it
// went to disk (upper case, with the "n" when `nPrefix`).
int CopyNamed(const std::string& name, int kind, int osClass, bool nPrefix,
              std::string& resultText, std::string* copied = nullptr) {
    std::string buffer = name;
    int result = CopyDriverFile(buffer.data(), kind, osClass, nPrefix, resultText);
    if (copied) *copied = (nPrefix ? "n" : "") + std::string(buffer.c_str());
    return result;
}

bool IsSet(const std::string& entry) { return !entry.empty(); }

// A monitor whose key does not exist: copy its DLL (under the "n" name when
// the old file is held open), register it and record its version. False
// when the spooler refused the registration.
bool InstallMissingMonitor(const Monitor& monitor, int osClass, std::string& resultText) {
    std::string dll = monitor.dll;
    if (IsSet(dll)) {
        int result = CopyNamed(dll, SystemDir, osClass, false, resultText, &dll);
        if (InUse(result)) CopyNamed(monitor.dll, SystemDir, osClass, true, resultText, &dll);
    }
    if (IsSet(monitor.uiDll)) CopyNamed(monitor.uiDll, SystemDir, osClass, false, resultText);
    if (!InstallMonitor(monitor.name.c_str(), monitor.environment, dll.c_str(), resultText)) {
        return false;
    }
    WriteVersion(MonitorKeyPath(monitor.name), nullptr, monitor.version);
    return true;
}

int CheckMonitor(const Monitor& monitor, int osClass, int outdatedBit, std::string& resultText) {
    switch (CompareInstalled(MonitorKeyPath(monitor.name), monitor.version)) {
    case Installed::Outdated:
        return outdatedBit;
    case Installed::Current:
        return 0;
    case Installed::Absent:
        break;
    }
    return InstallMissingMonitor(monitor, osClass, resultText) ? 0 : kMonitorRegistrationFailed;
}

// Replaces an outdated monitor DLL in the system folder. A DLL the spooler
// still holds goes in as "n" + name and "Driver" points the spooler to it;
// otherwise "Driver" is written only when `writeDriver`.
bool ReplaceMonitorDll(const Monitor& monitor, int osClass, bool writeDriver,
                       std::string& resultText) {
    std::string keyPath = MonitorKeyPath(monitor.name);
    std::string dll;
    int result = CopyNamed(monitor.dll, SystemDir, osClass, false, resultText, &dll);
    if (InUse(result)) {
        CopyNamed(monitor.dll, SystemDir, osClass, true, resultText, &dll);
        WriteVersion(keyPath, dll.c_str(), monitor.version);
    } else if (!resultText.empty()) {
        return false;
    } else {
        // A monitor once replaced under the "n" name still has the spooler
        // load that older file; point it back at the file just written.
        std::string loaded = DriverValue(keyPath);
        bool driverElsewhere = !loaded.empty() && !EqualNoCase(loaded, dll);
        WriteVersion(keyPath, writeDriver || driverElsewhere ? dll.c_str() : nullptr,
                     monitor.version);
    }
    if (IsSet(monitor.uiDll)) CopyNamed(monitor.uiDll, SystemDir, osClass, false, resultText);
    return true;
}

// Windows 98/Me: the spooler keeps running, so a DLL in use is written under
// the "n" name; in use under both names needs a restart first.
bool ReplaceOnWindows9x(const std::string& keyPath, const std::string& dllName, int kind,
                        std::uint32_t version, std::string& resultText) {
    RegKey key;
    OpenOrCreate(key, HKEY_LOCAL_MACHINE, keyPath.c_str());
    std::string dll;
    int result = CopyNamed(dllName, kind, 0, false, resultText, &dll);
    if (InUse(result)) {
        result = CopyNamed(dllName, kind, 0, true, resultText, &dll);
        if (InUse(result)) {
            resultText = MessageText("IDS_ERR_NEEDRESTART");
            return false;
        }
    }
    key.SetString("Driver", dll.c_str());
    key.SetDword("DriverVersion", version);
    return true;
}

// The replacement itself on the NT family, while the spooler is stopped.
bool ReplaceWhileStopped(InstallSelection& selection, int processorVersion,
                         const std::string& processorDir, std::string& resultText) {
    int osClass = selection.osClass;
    int flags = selection.installFlags;
    PortMonitorInfo monitors = ReadMonitors(selection.config, osClass);
    if (flags & kComMonitorOutdated) {
        return ReplaceMonitorDll(ComMonitor(monitors), osClass, false, resultText);
    }
    if (flags & kUsbMonitorOutdated) {
        return ReplaceMonitorDll(UsbMonitor(monitors), osClass, true, resultText);
    }
    if (flags & kProcessorOutdated) {
        std::string currentDir;
        if (common::Sys().files().getCurrentDirectory(kDirSize, &currentDir) != ERROR_SUCCESS) {
            resultText = MessageText("IDS_ERR_GETCURDIR");
            return false;
        }
        std::string dll = selection.driverFiles.processorDll;
        std::string source = JoinPath(currentDir, "W32\\" + dll);
        if (common::Sys().files().copyFile(source, JoinPath(processorDir, dll), false) !=
            ERROR_SUCCESS) {
            resultText = MessageText("IDS_ERR_COPYFIEL") + source;
            return false;
        }
        WriteVersion(ProcessorKeyPath(osClass, Text(selection.printerInfo.pPrintProcessor)),
                     nullptr, static_cast<std::uint32_t>(processorVersion));
    }
    return true;
}

std::uint32_t SleepAfterStart(int osClass) {
    if (osClass == 1 || osClass == 2) return 1000;
    if (osClass == 3 || osClass == 4) return 2500;
    return 0;
}

bool UpgradeOnNt(InstallSelection& selection, int processorVersion, std::string& resultText) {
    plat::Clock& clock = common::Sys().clock();
    std::string processorDir;
    if (selection.installFlags & kProcessorOutdated) {
        // Asked for while the spooler still runs: it answers this call.
        if (common::Sys().spooler().getPrintProcessorDirectory(nullptr, nullptr, 1, kDirSize,
                                                               &processorDir) != ERROR_SUCCESS) {
            resultText = MessageText("IDS_ERR_GETPRODIR");
            return false;
        }
    }
    StopSpooler();
    clock.sleep(kAfterStopMs);

    if (!ReplaceWhileStopped(selection, processorVersion, processorDir, resultText)) {
        // Leave the machine with its spooler running; the failure text stays.
        std::string ignored;
        StartSpooler(ignored);
        WaitSpoolerRunning(ignored);
        return false;
    }

    // A refused start matters only if the spooler does not run afterwards.
    std::string startText;
    StartSpooler(startText);
    if (std::uint32_t ms = SleepAfterStart(selection.osClass)) clock.sleep(ms);
    std::string waitText;
    std::uint32_t state = WaitSpoolerRunning(waitText);
    if (state == SERVICE_RUNNING) return true;
    if (state == SERVICE_STOPPED || state == SERVICE_STOP_PENDING) {
        resultText.clear();
        startText.clear();
        StartSpooler(startText);
        clock.sleep(kAfterSecondStartMs);
        // Every later step needs the spooler: a second refusal ends the
        // installation with its own text.
        if (!startText.empty()) {
            resultText = startText;
            return false;
        }
        return true;
    }
    resultText = waitText;
    return false;
}

bool UpgradeOnWindows9x(InstallSelection& selection, int processorVersion,
                        std::string& resultText) {
    if (selection.installFlags & kUsbMonitorOutdated) {
        Monitor usb = UsbMonitor(ReadMonitors(selection.config, 0));
        return ReplaceOnWindows9x(MonitorKeyPath(usb.name), usb.dll, SystemDir, usb.version,
                                  resultText);
    }
    if (selection.installFlags & kProcessorOutdated) {
        return ReplaceOnWindows9x(
            ProcessorKeyPath(0, Text(selection.printerInfo.pPrintProcessor)),
            selection.driverFiles.processorDll, ProcessorDir,
            static_cast<std::uint32_t>(processorVersion), resultText);
    }
    return true;
}

}  // namespace

std::string MonitorKeyPath(const std::string& monitorName) {
    return "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\" + monitorName;
}

std::string ProcessorKeyPath(int osClass, const std::string& processorName) {
    const char* environment = osClass == 0 ? "Windows 4.0" : "Windows NT x86";
    return std::string("SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\") +
           environment + "\\Print Processors\\" + processorName;
}

int CheckPortMonitor(DriverConfig& config, int printerType, int osClass, const char* portName,
                     std::string& resultText) {
    std::string port = Text(portName);
    if (port.find("LPT") != std::string::npos) return 0;
    config.printerType = printerType;
    PortMonitorInfo monitors = ReadMonitors(config, osClass);

    int result = 0;
    Monitor com = ComMonitor(monitors);
    if (port.find("COM") != std::string::npos && IsSet(com.dll) && osClass != 0) {
        int r = CheckMonitor(com, osClass, kComMonitorOutdated, resultText);
        if (r < 0) return r;
        result |= r;
    }
    Monitor usb = UsbMonitor(monitors);
    if (port.find("USB_") != std::string::npos && IsSet(usb.dll) && osClass != 1) {
        int r = CheckMonitor(usb, osClass, kUsbMonitorOutdated, resultText);
        if (r < 0) return r;
        result |= r;
    }
    return result;
}

int CheckPrintProcessor(int osClass, const char* processorName, const char* processorDll,
                        std::string& resultText) {
    std::string name = Text(processorName);
    if (name.empty() || name == "WinPrint") return 0;
    DriverConfig config;
    std::uint32_t version = static_cast<std::uint32_t>(config.ReadProcessorVersion());
    std::string keyPath = ProcessorKeyPath(osClass, name);
    switch (CompareInstalled(keyPath, version)) {
    case Installed::Outdated:
        return kProcessorOutdated;
    case Installed::Current:
        return 0;
    case Installed::Absent:
        break;
    }
    std::string dll = Text(processorDll);
    if (IsSet(dll)) CopyNamed(dll, ProcessorDir, osClass, false, resultText, &dll);
    int result = InstallProcessor(name.c_str(), dll.c_str(), osClass);
    if (result != 1) {
        resultText = MessageText("IDS_ERR_ADDPROCESSOR");
        return kProcessorRegistrationFailed;
    }
    WriteVersion(keyPath, nullptr, version);
    common::Sys().clock().sleep(kAfterProcessorInstallMs);
    return 0;
}

int CheckLanguageMonitor(DriverConfig& config, int printerType, int osClass,
                         const char* portName, std::string& resultText) {
    if (Text(portName).find("USB_") == std::string::npos) return 0;
    config.printerType = printerType;
    Monitor monitor = LanguageMonitor(ReadLanguage(config, osClass));
    if (monitor.name.empty() || osClass == 1) return 0;
    return CheckMonitor(monitor, osClass, kLanguageMonitorOutdated, resultText);
}

bool InstallMonitor(const char* name, const char* environment, const char* dllName,
                    std::string& resultText) {
    // The record's fields are not const in the spooler's structure; the
    // spooler only reads them.
    std::string nameCopy = Text(name), environmentCopy = Text(environment), dllCopy = Text(dllName);
    plat::MONITOR_INFO_2 info{};
    info.pName = nameCopy.data();
    info.pEnvironment = environment ? environmentCopy.data() : nullptr;
    info.pDLLName = dllCopy.data();
    plat::Err err = common::Sys().spooler().addMonitor(nullptr, 2, info);
    if (err == ERROR_SUCCESS || err == ERROR_PRINT_MONITOR_ALREADY_INSTALLED ||
        err == ERROR_ALREADY_EXISTS) {
        return true;
    }
    resultText = TextWithSystemError("IDS_ERR_ADDMONITOR", err);
    return false;
}

int InstallProcessor(const char* name, const char* dllName, int osClass) {
    plat::Err err = common::Sys().spooler().addPrintProcessor(
        nullptr, osClass == 0 ? "Windows 4.0" : nullptr, dllName, name);
    if (err == ERROR_SUCCESS) return 1;
    if (err == ERROR_INVALID_PARAMETER || err == ERROR_ALREADY_EXISTS ||
        err == ERROR_PRINT_PROCESSOR_ALREADY_INSTALLED) {
        return static_cast<int>(err);
    }
    return 0;
}

bool UpgradeComponents(InstallSelection& selection, int processorVersion,
                       std::string& resultText) {
    if (selection.osClass >= 1 && selection.osClass <= 7) {
        return UpgradeOnNt(selection, processorVersion, resultText);
    }
    return UpgradeOnWindows9x(selection, processorVersion, resultText);
}

bool UpgradeLanguageMonitor(InstallSelection& selection, std::string& resultText) {
    selection.installFlags = CheckLanguageMonitor(selection.config, selection.printerType,
                                                  selection.osClass, selection.portName,
                                                  resultText);
    if (selection.installFlags == kMonitorRegistrationFailed) return false;
    Monitor monitor = LanguageMonitor(ReadLanguage(selection.config, selection.osClass));
    if (!(selection.installFlags & kLanguageMonitorOutdated)) return true;
    return ReplaceMonitorDll(monitor, selection.osClass, true, resultText);
}

}  // namespace setup
