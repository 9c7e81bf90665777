// Test support: a simulated machine with the maker's components installed
// the way the setup leaves them (monitors, print processor, drivers and
// printers, the maker's registry keys), and a stand-in for the main dialog
// that records what the removal run does to it.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/language_text.h"
#include "common/sys.h"
#include "platform/sim/test_machine.h"
#include "uninstall/removal.h"
#include "uninstall/uninstall_state.h"

namespace uninstall::test {

inline constexpr const char* kComMonitor = "Kestran COM Port";
inline constexpr const char* kUsbMonitor = "Kestran USB Port";
inline constexpr const char* kLangMonitor = "Kestran Language Monitor";
inline constexpr const char* kProcessor = "QPXPrint";
inline constexpr const char* kRasterDriver = "QPX-T510 Raster";
inline constexpr const char* kLabelDriver = "QPX-L40 Raster";
inline constexpr const char* kUsbPort = "USB_QPX_1";

inline plat::Platform& Sys() { return common::Sys(); }

inline std::string SystemDir() {
    std::string dir;
    Sys().files().getSystemDirectory(260, &dir);
    return dir;
}
inline std::string ProcessorDir() {
    std::string dir;
    Sys().spooler().getPrintProcessorDirectory(nullptr, nullptr, 1, 260, &dir);
    return dir;
}
inline std::string DriverDir() {
    std::string dir;
    Sys().spooler().getPrinterDriverDirectory(nullptr, nullptr, 1, 260, &dir);
    return dir;
}
inline bool FileThere(const std::string& path) {
    std::uint32_t attributes = 0;
    return Sys().files().getFileAttributes(path, &attributes) == 0;
}
inline bool KeyThere(const std::string& key) {
    plat::HKey k = 0;
    if (Sys().registry().openKey(HKEY_LOCAL_MACHINE, key, KEY_QUERY_VALUE, &k) != 0) return false;
    Sys().registry().closeKey(k);
    return true;
}
inline void MakeKey(const std::string& key, const char* value = nullptr) {
    plat::HKey k = 0;
    std::uint32_t disposition = 0;
    ASSERT_EQ(Sys().registry().createKey(HKEY_LOCAL_MACHINE, key, KEY_ALL_ACCESS, &k, &disposition), 0u) << key;
    if (value) {
        std::string data = "1";
        Sys().registry().setValue(k, value, REG_SZ, reinterpret_cast<const std::uint8_t*>(data.c_str()), 2);
    }
    Sys().registry().closeKey(k);
}

inline void InstallMonitor(const std::string& name, const std::string& dll, const std::string& declarations) {
    ASSERT_EQ(Sys().files().writeFile(SystemDir() + "\\" + dll, dll + "\r\n" + declarations), 0u);
    std::string n = name, d = dll;
    plat::MONITOR_INFO_2 info{n.data(), nullptr, d.data()};
    ASSERT_EQ(Sys().spooler().addMonitor(nullptr, 2, info), 0u) << name;
}

inline void InstallProcessor(const std::string& name, const std::string& dll) {
    ASSERT_EQ(Sys().files().writeFile(ProcessorDir() + "\\" + dll, dll + "\r\n"), 0u);
    ASSERT_EQ(Sys().spooler().addPrintProcessor(nullptr, nullptr, dll.c_str(), name.c_str()), 0u);
}

inline void InstallDriver(const std::string& name, const char* languageMonitor = nullptr) {
    std::string dir = DriverDir();
    for (const char* file : {"QPXDRV.DLL", "QPXUI.DLL", "QPX.GPD"}) {
        ASSERT_EQ(Sys().files().writeFile(dir + "\\" + file, file), 0u);
    }
    std::string n = name, driver = "QPXDRV.DLL", data = "QPX.GPD", config = "QPXUI.DLL",
                monitor = languageMonitor ? languageMonitor : "", datatype = "RAW";
    plat::DRIVER_INFO_3 info{};
    info.cVersion = 3;
    info.pName = n.data();
    info.pDriverPath = driver.data();
    info.pDataFile = data.data();
    info.pConfigFile = config.data();
    info.pMonitorName = languageMonitor ? monitor.data() : nullptr;
    info.pDefaultDataType = datatype.data();
    ASSERT_EQ(Sys().spooler().addPrinterDriver(nullptr, 3, info), 0u) << name;
}

inline void AddPrinter(const std::string& name, const std::string& port, const std::string& driver,
                       const std::string& processor = "WinPrint") {
    std::string n = name, p = port, d = driver, pp = processor, datatype = "RAW";
    plat::PRINTER_INFO_2 info{};
    info.pPrinterName = n.data();
    info.pPortName = p.data();
    info.pDriverName = d.data();
    info.pPrintProcessor = pp.data();
    info.pDatatype = datatype.data();
    plat::Handle printer = 0;
    ASSERT_EQ(Sys().spooler().addPrinter(nullptr, 2, info, &printer), 0u) << name;
    Sys().spooler().closePrinter(printer);
}

// The maker's three monitors (the COM one serving KSCOM1: and KSCOM2:, the
// USB one the ports recorded under SOFTWARE\KESTRAN\PORTNAME) and its print
// processor, as the setup registers them.
inline void InstallComponents(bool withProcessor) {
    MakeKey("SOFTWARE\\KESTRAN\\PORTNAME", kUsbPort);
    MakeKey("SOFTWARE\\KESTRAN\\INSTALLPRINTER", "QPX-T510");
    InstallMonitor(kComMonitor, "KSCOMMON.DLL", "SIM-PORTS=KSCOM1:,KSCOM2:\r\n");
    ASSERT_EQ(Sys().files().writeFile(SystemDir() + "\\KSCOMUI.DLL", "ui"), 0u);
    InstallMonitor(kUsbMonitor, "KSUSBMON.DLL", "SIM-PORTS-FROM-REGISTRY=SOFTWARE\\KESTRAN\\PORTNAME\r\n");
    ASSERT_EQ(Sys().files().writeFile(SystemDir() + "\\KSUSBUI.DLL", "ui"), 0u);
    InstallMonitor(kLangMonitor, "KSLANGMN.DLL", "");
    if (withProcessor) InstallProcessor(kProcessor, "QPXPROC.DLL");
}

// A simulated machine of the given Windows with the demo medium (or another
// medium) as D:, installed as the program's platform; the uninstaller's
// state taken as its start-up takes it.
class Machine {
public:
    explicit Machine(const std::string& os, const std::string& medium = "", bool admin = true) {
        plat::sim::TestMachineOptions options;
        options.os = os;
        options.admin = admin;
        options.mediumDir = medium;
        options.programName = "Uninstall.exe";
        options.bulkusbVersion = "1.0.0.5";
        machine_ = std::make_unique<plat::sim::TestMachine>(options);
        common::SetSys(&machine_->platform());
        common::LanguageText::SetProgram(common::TextProgram::Uninstall);
        State() = UninstallState{};
        State().osClass = ClassifyWindows();
        State().driverDeletion =
            Sys().system().probeEntryPoint("Winspool.drv", "DeletePrinterDriverExA") == 0 ? DriverDeletion::Ex
                                                                                           : DriverDeletion::Plain;
        State().listPath = "D:\\Uninstall.ini";
    }
    ~Machine() { common::SetSys(nullptr); }
    plat::sim::TestMachine& operator*() { return *machine_; }
    plat::sim::TestMachine* operator->() { return machine_.get(); }

private:
    std::unique_ptr<plat::sim::TestMachine> machine_;
};

// The main dialog as the run sees it.
class FakeView : public RemovalView {
public:
    struct Item {
        std::string text;
        bool checked = false;
    };
    std::vector<Item> items;
    std::vector<std::string> log;
    bool usb = false;
    std::map<int, bool> enabled;   // the last state each control was given
    int restartOffers = 0;
    int reclassified = 0;
    std::vector<std::string> current;

    void Add(const std::string& text, bool checked) { items.push_back({text, checked}); }
    std::vector<std::string> Texts() const {
        std::vector<std::string> out;
        for (const Item& i : items) out.push_back(i.text);
        return out;
    }

    int ItemCount() override { return static_cast<int>(items.size()); }
    bool IsChecked(int index) override { return items.at(index).checked; }
    std::string ItemText(int index) override { return items.at(index).text; }
    void DeleteItem(int index) override { items.erase(items.begin() + index); }
    void Log(const std::string& line) override { log.push_back(line); }
    bool UsbChecked() override { return usb; }
    void EnableControl(int id, bool on) override { enabled[id] = on; }
    void SetCurrentItem(const std::string& name) override { current.push_back(name); }
    int Reclassify() override {
        ++reclassified;
        return ClassifyWindows();
    }
    void OfferRestart() override { ++restartOffers; }
};

}  // namespace uninstall::test
