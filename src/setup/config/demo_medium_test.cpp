// The demo medium is consistent: every model has its sections, every file the
// configuration names is on the medium, and what the programs load is real.
#include <algorithm>
#include <cstring>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "common/profile_read.h"
#include "common/sim_sys_for_tests.h"
#include "setup/config/driver_config.h"

namespace setup {
namespace {

using common::SimSys;

struct Model {
    std::string name;
    int type;
};

std::vector<Model> DemoModels() {
    DriverConfig config;
    std::vector<Model> models;
    char name[200];
    for (int entry = 1; entry <= config.ModelCount(); ++entry) {
        int type = config.ModelEntry(entry, name);
        if (type >= 0) models.push_back({name, type});
    }
    return models;
}

bool OnMedium(const std::string& path) {
    std::uint32_t attributes = 0;
    return common::Sys().files().getFileAttributes("D:\\" + path, &attributes) == 0;
}

bool NamesFile(const char* value) { return value[0] != '\0' && value[0] != '0'; }

TEST(DemoMediumTest, ModelsHaveDriversForEveryWindowsVersionAndTheirFilesAreInW32) {
    SimSys sys;
    std::vector<Model> models = DemoModels();
    ASSERT_EQ(models.size(), 8u);
    std::set<std::string> types;
    for (const Model& model : models) {
        types.insert(std::to_string(model.type));
        DriverConfig config;
        config.printerType = model.type;
        for (int osClass = 0; osClass <= 7; ++osClass) {
            for (int driverKind = 0; driverKind <= 1; ++driverKind) {
                SCOPED_TRACE(model.name + " osClass " + std::to_string(osClass) +
                             " driverKind " + std::to_string(driverKind));
                DriverFileSet files = {};
                config.ReadDriverFiles(model.name.c_str(), osClass, &files, driverKind);
                for (const char* file :
                     {files.driverPath, files.dataFile, files.configFile, files.helpFile,
                      files.processorDll, files.dataFileDll, files.oemUniDll, files.oemUniIni,
                      files.oemUiDll, files.controlFontFile, files.usbInternalId}) {
                    if (NamesFile(file)) {
                        EXPECT_TRUE(OnMedium(std::string("W32\\") + file)) << file;
                    }
                }
                EXPECT_TRUE(NamesFile(files.driverPath));
                EXPECT_TRUE(NamesFile(files.dataFile));
                // A universal-driver model needs its DataFileDLLName.
                if (config.ReadDdkFlag(model.name.c_str(), osClass, driverKind)) {
                    EXPECT_TRUE(NamesFile(files.dataFileDll));
                }
                for (int portKind = 0; portKind <= 2; ++portKind) {
                    plat::PRINTER_INFO_2 printer = {};
                    config.ReadPrinterInfo(model.name.c_str(), osClass, &printer, driverKind,
                                           portKind);
                    EXPECT_TRUE(NamesFile(printer.pDriverName));
                    EXPECT_NE(std::string(printer.pDriverName).find(model.name),
                              std::string::npos);
                    EXPECT_TRUE(NamesFile(printer.pPrintProcessor));
                    EXPECT_NE(printer.Attributes, 0u);
                }
            }
        }
    }
    EXPECT_EQ(types.size(), 4u) << "models of every printer type";
}

TEST(DemoMediumTest, MonitorsProcessorAndSystemFilesAreOnTheMedium) {
    SimSys sys;
    DriverConfig config;
    for (int osClass = 0; osClass <= 7; ++osClass) {
        SCOPED_TRACE("osClass " + std::to_string(osClass));
        PortMonitorInfo monitors = {};
        config.ReadPortMonitors(osClass, &monitors);
        const char* moduleNames[] = {monitors.comMonitor.pDLLName, monitors.usbMonitor.pDLLName,
                                     monitors.comUiDll, monitors.usbUiDll};
        for (const char* file : moduleNames) {
            EXPECT_TRUE(NamesFile(file));
            EXPECT_TRUE(OnMedium(std::string("W32\\") + file)) << file;
        }
        EXPECT_GT(monitors.comVersion, 0);
        EXPECT_GT(monitors.usbVersion, 0);
        LanguageMonitorInfo language = {};
        config.ReadLanguageMonitor(osClass, &language, 2);
        EXPECT_STRNE(language.info.pName, "");
        EXPECT_TRUE(OnMedium(std::string("W32\\") + language.info.pDLLName));
        EXPECT_GT(language.version, 0);
    }
    EXPECT_GT(config.ReadProcessorVersion(), 0);
    for (const char* file : {"W32\\DMCOLOR.DLL", "W32\\ICONLIB.DLL", "W32\\srclient.dll",
                             "W32\\framedyn.dll", "W32\\newdev.dll", "W32\\UNIDRV.DLL",
                             "W32\\TTFSUB.GPD", "W32\\STDNAMES.GPD", "W32\\UNIRES.DLL",
                             "USBDrv\\Install.exe", "USBDrv\\BULKUSB.INF", "KsUsbInt.dll",
                             "License.txt", "Uninstall.ini"}) {
        EXPECT_TRUE(OnMedium(file)) << file;
    }
}

TEST(DemoMediumTest, PortsAndUsbDeviceCodesOfEveryModel) {
    SimSys sys;
    std::vector<Model> models = DemoModels();
    for (const Model& model : models) {
        std::string section = model.name + ".PORT";
        const char* file = TypeFileName(model.type);
        int usb = ReadIniInt(file, section.c_str(), "USBSUPPORTED");
        int ports = usb + ReadIniInt(file, section.c_str(), "LPTSUPPORTED") +
                    ReadIniInt(file, section.c_str(), "COMSUPPORTED");
        EXPECT_GT(ports, 0) << model.name;
        EXPECT_GT(ReadIniInt(file, section.c_str(), "BaudRate"), 0) << model.name;
        if (!usb) continue;
        // The port names as the printer records them; a QPX-K7 model's ports
        // are recorded under USB_QPX-K7_<n>.
        std::string base = model.name.find("QPX-K7") != std::string::npos ? "QPX-K7" : model.name;
        for (int n = 1; n <= 4; ++n) {
            std::string port = "USB_" + base + "_" + std::to_string(n);
            EXPECT_NE(ReadIniInt("DRVCONFIG\\setup.ini", "SUPPORTED-USB-DEVICE", port.c_str()), 0)
                << port;
        }
    }
}

TEST(DemoMediumTest, PictureAndUsbDriverAreRealFiles) {
    SimSys sys;
    plat::Bitmap bitmap;
    ASSERT_EQ(common::Sys().files().loadBitmapFile("D:\\DRVCONFIG\\Left.bmp", &bitmap), 0u);
    EXPECT_GT(bitmap.width, 0);
    EXPECT_GT(bitmap.height, bitmap.width);
    std::uint32_t size = 0;
    EXPECT_EQ(common::Sys().files().getFileVersionInfoSize("D:\\USBDrv\\bulkusb.sys", &size), 0u);
    EXPECT_GT(size, 0u);
}

TEST(DemoMediumTest, UninstallListNamesTheDemoPrintersMonitorsAndProcessor) {
    SimSys sys;
    const std::string list = "D:\\Uninstall.ini";
    auto read = [&](const char* section, const std::string& key) {
        return common::ReadProfileText(section, key.c_str(), "0", 30, list);
    };
    std::vector<Model> models = DemoModels();
    int printers = common::TextToInt(read("KSPRINTER", "PRINTERNUM"));
    ASSERT_LT(printers, 10);
    std::set<std::string> names;
    for (int k = 1; k <= printers; ++k) names.insert(read("KSPRINTER", "PRINTERNAME" + std::to_string(k)));
    for (const Model& model : models) EXPECT_TRUE(names.count(model.name)) << model.name;

    DriverConfig config;
    PortMonitorInfo monitors = {};
    config.ReadPortMonitors(3, &monitors);
    LanguageMonitorInfo language = {};
    config.ReadLanguageMonitor(3, &language, 2);
    std::set<std::string> listedMonitors;
    int count = common::TextToInt(read("KSMONITOR", "MonitorNUM"));
    for (int k = 1; k <= count; ++k) listedMonitors.insert(read("KSMONITOR", "MONITORNAME" + std::to_string(k)));
    for (const char* name : {monitors.comMonitor.pName, monitors.usbMonitor.pName, language.info.pName}) {
        EXPECT_TRUE(listedMonitors.count(name)) << name;
        // Per Windows version: the monitor's name without blanks and the suffix.
        std::string section = name;
        section.erase(std::remove(section.begin(), section.end(), ' '), section.end());
        for (const char* suffix : {".98", ".NT", ".2K", ".2003", ".Vista", ".2008", ".Win7"}) {
            std::string dll = read((section + suffix).c_str(), "MonitorPDLLName");
            EXPECT_TRUE(OnMedium("W32\\" + dll)) << section << suffix;
        }
    }
    EXPECT_EQ(read("KSPROC", "PROCNAME1"), "QPXPrint");
    EXPECT_EQ(read("QPXPrint.Win7", "ProcessorDllName"), "QPXPROC.DLL");
}

}  // namespace
}  // namespace setup
