// Test support for the engine: a small installation medium of our own (one
// receipt model, its driver files, the three monitor DLLs and the print
// processor), a simulated machine with that medium as D:, and the selection
// filled the way the wizard's Install command fills it.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "common/sys.h"
#include "platform/sim/machine_state.h"
#include "platform/sim/test_machine.h"
#include "setup/engine/driver_file_copy.h"
#include "setup/engine/reg_key.h"
#include "setup/wizard/install_selection.h"

namespace setup::test {

inline const char* const kOsPresets[8] = {"98", "nt4", "2000", "xp", "2003", "vista", "2008", "win7"};
inline const char* const kOsSuffixes[8] = {"98", "NT", "2K", "XP", "2003", "Vista", "2008", "Win7"};

inline constexpr const char* kModel = "TP-100";
inline constexpr const char* kDriverName = "TP-100 Driver";
inline constexpr const char* kComMonitor = "Test COM Port";
inline constexpr const char* kUsbMonitor = "Test USB Port";
inline constexpr const char* kLangMonitor = "Test Language Monitor";
inline constexpr const char* kProcessor = "TP Processor";
inline constexpr const char* kUsbPort = "USB_TP100_1";

struct MediumOptions {
    bool languageMonitor = true;     // the monitor sections name a language monitor
    bool ddk = true;                 // the model uses the system's Unidrv files on 2000 on
    std::string dataFileDll = "TPOEM.DLL";
    std::string driverPath = "TPDRV.DLL";
    std::string processor = kProcessor;   // "WinPrint" for the system's own
    std::string model = kModel;
    int comVersion = 3, usbVersion = 5, languageVersion = 12, processorVersion = 4;
};

// The content a medium's file carries: its name and a version mark, so that
// a replaced file can be told from the old one.
inline std::string FileContent(const std::string& name, const std::string& mark = "v1") {
    std::string content = name + " " + mark + "\r\n";
    if (name == "TCOMMON.DLL") content += "SIM-PORTS=KSCOM1:,KSCOM2:\r\n";
    if (name == "TUSBMON.DLL") content += "SIM-PORTS-FROM-REGISTRY=SOFTWARE\\KESTRAN\\PORTNAME\r\n";
    return content;
}

inline const std::vector<std::string>& MediumFiles() {
    static const std::vector<std::string> files = {
        "TP100.GPD",  "TPDRV.DLL",   "TPUI.DLL",     "TPDRV.HLP",   "TPOEM.DLL",
        "TPOEM.INI",  "TPFONT.TTF",  "TPPROC.DLL",   "TCOMMON.DLL", "TCOMUI.DLL",
        "TUSBMON.DLL", "TUSBUI.DLL", "TLANGMON.DLL", "srclient.dll", "framedyn.dll",
        "newdev.dll", "ICONLIB.DLL", "DMCOLOR.DLL",  "UNIDRV.DLL",  "TTFSUB.GPD",
        "STDNAMES.GPD", "UNIRES.DLL"};
    return files;
}

inline std::string LanguageFile() {
    // Each text names its key, so a test sees which text was chosen.
    std::string text = "[Message]\r\n";
    for (const char* key :
         {"IDS_INF_NTRESTART", "IDS_INF_USBRESTART", "IDS_ERR_NEEDRESTART", "IDS_ERR_LOSTDRIVERFILE",
          "IDS_ERR_GETCURDIR", "IDS_ERR_GETPRODIR", "IDS_ERR_COPYFIEL", "IDS_ERR_COPYFIEL1",
          "IDS_ERR_DIRTYPE", "IDS_ERR_GETDRIVERDIR", "IDS_ERR_GETSYSDIR", "IDS_ERR_GETWINDIR",
          "IDS_ERR_ADDPRINTER", "IDS_ERR_TOOMANY", "IDS_ERR_ADDPRNDRV3", "IDS_ERR_ALLOCMEMORY",
          "IDS_ERR_ADDMONITOR", "IDS_ERR_ADDPROCESSOR"}) {
        text += std::string(key) + "=<" + key + ">\r\n";
    }
    return text;
}

inline std::string CommonConfig(const MediumOptions& o) {
    std::string text = "[DEVICENAME]\r\nDEVICENUMBER=1\r\nDEVICENAME1=" + o.model +
                       "-ReceiptPrinter\r\nDEFAULTNAME=1\r\n";
    for (const char* suffix : kOsSuffixes) {
        text += std::string("[COMMON-MONITOR.") + suffix + "]\r\n";
        text += "COMMONitorPName=" + std::string(kComMonitor) + "\r\nCOMMONitorPDLLName=TCOMMON.DLL\r\n"
                "COMMONitorPUIDLLName=TCOMUI.DLL\r\nCOMMONitorVersion=" + std::to_string(o.comVersion) + "\r\n";
        text += "USBMONitorPName=" + std::string(kUsbMonitor) + "\r\nUSBMONitorPDLLName=TUSBMON.DLL\r\n"
                "USBMONitorPUIDLLName=TUSBUI.DLL\r\nUSBMONitorVersion=" + std::to_string(o.usbVersion) + "\r\n";
        if (o.languageMonitor) {
            text += "USBLMONitorName=" + std::string(kLangMonitor) + "\r\nUSBLMONitorDLLName=TLANGMON.DLL\r\n"
                    "USBLMONitorVersion=" + std::to_string(o.languageVersion) + "\r\n";
        }
    }
    text += "[ProcessorVersion]\r\nDriverVersion=" + std::to_string(o.processorVersion) + "\r\n";
    text += "[SUPPORTED-USB-DEVICE]\r\n" + std::string(kUsbPort) + "=7\r\n";
    return text;
}

inline std::string ReceiptConfig(const MediumOptions& o) {
    std::string text = "[" + o.model + ".PORT]\r\nUSBSUPPORTED=1\r\nLPTSUPPORTED=1\r\nCOMSUPPORTED=1\r\n";
    for (int os = 0; os < 8; ++os) {
        text += "[" + o.model + "." + kOsSuffixes[os] + "]\r\n";
        for (const char* key : {"GDIDriverName", "DriverNameS", "DriverNameP", "DriverNameU"}) {
            text += std::string(key) + "=" + kDriverName + "\r\n";
        }
        for (const char* prefix : {"GDI", "STD"}) {
            std::string p = prefix;
            text += p + "DataFile=TP100.GPD\r\n" + p + "DriverPath=" + o.driverPath + "\r\n" + p +
                    "ConfigFile=TPUI.DLL\r\n" + p + "HelpFile=TPDRV.HLP\r\n" + p +
                    "DataFileDLLName=" + o.dataFileDll + "\r\n" + p + "DataOemuiDLL=0\r\n" + p +
                    "DataOemuniDLL=0\r\n" + p + "DataOemuniini=TPOEM.INI\r\n" + p +
                    "PrintProcessor=" + o.processor + "\r\n" + p + "ProcessorDLLName=TPPROC.DLL\r\n";
            text += p + "2KDDKDEV=" + (o.ddk && os >= 2 ? "1" : "0") + "\r\n";
        }
        text += "ATTRIBUTES=64\r\nControlFontFile=TPFONT.TTF\r\nUSBInternalID=0\r\n";
    }
    return text;
}

// A medium of our own in a temporary folder.
class EngineMedium {
public:
    explicit EngineMedium(const MediumOptions& options = {}) {
        medium_.write("language\\setup.ini", LanguageFile());
        medium_.write("DRVCONFIG\\setup.ini", CommonConfig(options));
        medium_.write("DRVCONFIG\\setup_receipt.ini", ReceiptConfig(options));
        for (const std::string& file : MediumFiles()) medium_.write("W32\\" + file, FileContent(file));
    }
    const std::string& dir() const { return medium_.dir(); }
    void write(const std::string& path, const std::string& bytes) { medium_.write(path, bytes); }
    void remove(const std::string& path) { medium_.remove(path); }

private:
    plat::sim::TempMedium medium_;
};

// A simulated machine, installed as the program's platform while it lives.
class EngineMachine {
public:
    EngineMachine(const std::string& os, const EngineMedium& medium) {
        plat::sim::TestMachineOptions options;
        options.os = os;
        options.mediumDir = medium.dir();
        machine_ = std::make_unique<plat::sim::TestMachine>(options);
        state_ = std::make_unique<plat::sim::FolderState>(machine_->dir(), medium.dir(), "Drivanto.exe");
        common::SetSys(&machine_->platform());
        ResetCabinetState();
        resultText.clear();
    }
    ~EngineMachine() { common::SetSys(nullptr); }

    plat::sim::TestMachine& machine() { return *machine_; }
    plat::Platform& sys() { return machine_->platform(); }
    plat::sim::FolderState& state() { return *state_; }

    // Another program keeps this Windows path open.
    void hold(const std::string& windowsPath) {
        auto held = state_->section("HeldFiles");
        held.emplace_back("File" + std::to_string(held.size() + 1), windowsPath);
        state_->setSection("HeldFiles", held);
    }

    std::string readFile(const std::string& windowsPath) {
        std::string bytes;
        if (sys().files().readFile(windowsPath, &bytes) != 0) return "<missing>";
        return bytes;
    }
    bool exists(const std::string& windowsPath) { return FileExists(windowsPath); }

    std::string systemDir() {
        std::string dir;
        sys().files().getSystemDirectory(260, &dir);
        return dir;
    }
    std::string driverDir() {
        std::string dir;
        sys().spooler().getPrinterDriverDirectory(nullptr, nullptr, 1, 260, &dir);
        return dir;
    }
    std::string processorDir() {
        std::string dir;
        sys().spooler().getPrintProcessorDirectory(nullptr, nullptr, 1, 260, &dir);
        return dir;
    }

    // A registry value, as a DWORD or a string; nullopt-like markers for tests.
    bool dword(const std::string& key, const char* name, std::uint32_t* value) {
        RegKey k;
        return k.Open(HKEY_LOCAL_MACHINE, key.c_str()) && k.GetDword(name, value);
    }
    std::string string(const std::string& key, const char* name) {
        RegKey k;
        char buffer[512] = {};
        if (!k.Open(HKEY_LOCAL_MACHINE, key.c_str()) || !k.QueryValue(name, buffer, sizeof buffer - 1)) {
            return "<none>";
        }
        return buffer;
    }
    void setDword(const std::string& key, const char* name, std::uint32_t value) {
        RegKey k;
        ASSERT_TRUE(OpenOrCreate(k, HKEY_LOCAL_MACHINE, key.c_str()));
        ASSERT_TRUE(k.SetDword(name, value));
    }

private:
    std::unique_ptr<plat::sim::TestMachine> machine_;
    std::unique_ptr<plat::sim::FolderState> state_;
};

// How often `part` stands in `text`, letter case aside (log lines).
inline int CountOf(std::string text, std::string part) {
    for (std::string* s : {&text, &part}) {
        for (char& c : *s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    int n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

inline int PortKindOf(const char* port) {
    if (std::strstr(port, "USB_")) return 2;
    if (std::strstr(port, "COM")) return 0;
    return 1;
}

// Fills the selection for `port` as the wizard's Install command does:
// driver files, driver and printer records, language monitor, the port
// suffix of the printer name, and for USB the monitor name and the port's
// record in the maker's keys.
inline void FillSelection(InstallSelection& s, int osClass, const char* port,
                          const std::string& model = kModel, int driverKind = 1) {
    s.printerType = 0;
    s.osClass = osClass;
    s.driverKind = driverKind;
    std::snprintf(s.modelName, sizeof s.modelName, "%s", model.c_str());
    std::snprintf(s.portName, sizeof s.portName, "%s", port);
    s.k7PortName[0] = 0;
    s.setAsDefault = 1;
    s.baudRate = 19200;
    s.dataBits = 7;
    s.stopBits = 2.0;
    s.parity = 'E';
    s.flowControl = 'x';
    s.installFlags = 0;
    s.portKind = PortKindOf(port);
    s.config.printerType = s.printerType;

    s.driverFiles = {};
    s.driverInfo = {};
    s.printerInfo = {};
    s.config.ReadDriverFiles(s.modelName, osClass, &s.driverFiles, driverKind);
    s.config.ReadDriverInfo(s.modelName, osClass, &s.driverInfo, driverKind, s.portKind);
    s.config.ReadPrinterInfo(s.modelName, osClass, &s.printerInfo, driverKind, s.portKind);
    s.printerInfo.pPortName = s.portName;
    LanguageMonitorInfo lm{};
    s.config.ReadLanguageMonitor(osClass, &lm, s.portKind);
    s.langMonitorName = lm.info.pName ? lm.info.pName : "";
    s.langMonitorEnv = lm.info.pEnvironment;
    s.langMonitorDll = lm.info.pDLLName ? lm.info.pDLLName : "";

    std::string name = s.printerInfo.pPrinterName ? s.printerInfo.pPrinterName : "";
    if (s.portKind == 2) {
        s.driverInfo.pMonitorName = const_cast<char*>(s.langMonitorName);
        std::snprintf(s.driverFiles.languageMonitorDll, 200, "%s", s.langMonitorDll);
        for (const char* n : {"1", "2", "3", "4"}) {
            if (std::strstr(port, (std::string("_") + n).c_str())) name += std::string("(U) ") + n;
        }
        RecordUsbPort(s.portName);
    } else {
        name += s.portKind == 0 ? "(S)" : "(P)";
    }
    std::snprintf(s.printerName, sizeof s.printerName, "%s", name.c_str());
    s.printerInfo.pPrinterName = s.printerName;
}

}  // namespace setup::test
