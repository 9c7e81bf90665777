#include "setup/config/driver_config.h"

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/sim_sys_for_tests.h"

namespace setup {
namespace {

using common::SimSys;
using plat::sim::TempMedium;

// A medium whose configuration files are written by the test.
class DriverConfigTest : public ::testing::Test {
protected:
    void Common(const std::string& text) { medium_.write("DRVCONFIG/setup.ini", text); }
    void Receipt(const std::string& text) { medium_.write("DRVCONFIG/setup_receipt.ini", text); }
    SimSys& Machine() {
        if (!sys_) sys_ = std::make_unique<SimSys>(SimSys::WithMedium(medium_.dir()));
        return *sys_;
    }

    TempMedium medium_;
    std::unique_ptr<SimSys> sys_;
};

// The zero-separated dependent-file list as separate names.
std::vector<std::string> Names(const char* list) {
    std::vector<std::string> names;
    for (const char* p = list; *p; p += std::strlen(p) + 1) names.emplace_back(p);
    return names;
}

TEST_F(DriverConfigTest, ModelEntryTypeSuffixes) {
    struct Case {
        const char* value;   // nullptr: the key is missing
        int type;
        const char* model;
    } cases[] = {
        {"QPX-T510-ReceiptPrinter", 0, "QPX-T510"},
        {"Y-TicketPrinter", 1, "Y"},
        {"A-LabelPrinter", 2, "A"},
        {"B-EmbeddedPrinter", 3, "B"},
        // The suffixes are tried in type order, each anywhere in the text.
        {"X-TicketPrinter-ReceiptPrinter", 0, "X-TicketPrinter"},
        {"-LabelPrinter tail", 2, ""},
        {"\"Q-ReceiptPrinter\"", 0, "Q"},
        {"  Spaced-TicketPrinter  ", 1, "Spaced"},
        {"QPX-T510", -1, "QPX-T510"},
        {"QPX-T510-receiptprinter", -1, "QPX-T510-receiptprinter"},
        {nullptr, -1, "0"},
    };
    for (const Case& c : cases) {
        Common(c.value ? std::string("[DEVICENAME]\r\nDEVICENAME7=") + c.value + "\r\n"
                       : std::string("[DEVICENAME]\r\n"));
        Machine();
        DriverConfig config;
        char model[200];
        std::memset(model, 'x', sizeof model);
        EXPECT_EQ(config.ModelEntry(7, model), c.type) << (c.value ? c.value : "(missing)");
        EXPECT_STREQ(model, c.model);
    }
}

TEST_F(DriverConfigTest, ModelEntryCutsLongNamesTo199Characters) {
    std::string name(250, 'M');
    Common("[DEVICENAME]\r\nDEVICENAME1=" + name + "-ReceiptPrinter\r\n");
    Machine();
    DriverConfig config;
    char model[200];
    // The suffix lies beyond the limit, so no type is found.
    EXPECT_EQ(config.ModelEntry(1, model), -1);
    EXPECT_EQ(std::string(model), name.substr(0, 199));
}

TEST_F(DriverConfigTest, ModelCountAndDefaultModel) {
    struct Case {
        const char* devicename;   // body of section DEVICENAME
        int count;
        int defaultType;
        const char* defaultModel;
    } cases[] = {
        {"DEVICENUMBER=3\r\nDEFAULTNAME=3\r\nDEVICENAME3=B-EmbeddedPrinter\r\n", 3, 3, "B"},
        {"devicenumber= 12 \r\nDefaultName=1\r\nDEVICENAME1=A-TicketPrinter\r\n", 12, 1, "A"},
        {"DEVICENUMBER=abc\r\nDEVICENAME1=A-TicketPrinter\r\n", 0, -1, "0"},
        {"DEVICENAME0=Zero-LabelPrinter\r\n", 0, 2, "Zero"},   // DEFAULTNAME missing asks for entry 0
        {"DEFAULTNAME=2x\r\nDEVICENAME2=Two-ReceiptPrinter\r\n", 0, 0, "Two"},
    };
    for (const Case& c : cases) {
        Common(std::string("[DEVICENAME]\r\n") + c.devicename);
        Machine();
        DriverConfig config;
        char model[200];
        EXPECT_EQ(config.ModelCount(), c.count) << c.devicename;
        EXPECT_EQ(config.DefaultModel(model), c.defaultType) << c.devicename;
        EXPECT_STREQ(model, c.defaultModel);
    }
    medium_.remove("DRVCONFIG/setup.ini");
    DriverConfig config;
    char model[200];
    EXPECT_EQ(config.ModelCount(), 0);
    EXPECT_EQ(config.DefaultModel(model), -1);
}

TEST_F(DriverConfigTest, FirstSectionAndKeyWinWhateverTheirCase) {
    Common("[devicename]\r\nDEVICENUMBER=4\r\nDeviceNumber=5\r\n[DEVICENAME]\r\nDEVICENUMBER=6\r\n");
    Machine();
    EXPECT_EQ(DriverConfig().ModelCount(), 4);
}

TEST_F(DriverConfigTest, ConfigurationIsReadAnewByEveryOperation) {
    Common("[DEVICENAME]\r\nDEVICENUMBER=2\r\n");
    Machine();
    DriverConfig config;
    EXPECT_EQ(config.ModelCount(), 2);
    Common("[DEVICENAME]\r\nDEVICENUMBER=3\r\n");
    EXPECT_EQ(config.ModelCount(), 3);
}

// The driver name by Windows version and port; the file keys by driver kind.
TEST_F(DriverConfigTest, ReadDriverInfoNamesAndFiles) {
    std::string text;
    for (const char* suffix : {".98", ".NT", ".2K", ".XP", ".2003", ".Vista", ".2008", ".Win7"}) {
        text += std::string("[M") + suffix + "]\r\nGDIDriverName=gdi" + suffix +
                "\r\nDriverNameS=serial" + suffix + "\r\nDriverNameP=parallel" + suffix +
                "\r\nDriverNameU=usb" + suffix +
                "\r\nGDIDriverPath=G.DLL\r\nGDIDataFile=G.GPD\r\nGDIConfigFile=GUI.DLL"
                "\r\nGDIHelpFile=G.HLP\r\nSTDDriverPath=S.DLL\r\nSTDDataFile=S.DAT"
                "\r\nSTDConfigFile=SUI.DLL\r\nSTDHelpFile=S.HLP\r\n";
    }
    Receipt(text);
    Machine();
    struct Case {
        int osClass, driverKind, portKind;
        std::uint32_t cVersion;   // 99: left as the caller set it
        const char* name;
        const char* driverPath;
        bool windows40;
    } cases[] = {
        {0, 1, 2, 0, "gdi.98", "G.DLL", true},
        {0, 0, 0, 0, "gdi.98", "S.DLL", true},
        {1, 0, 2, 2, "gdi.NT", "S.DLL", false},   // NT 4.0: GDIDriverName even for USB and STD
        {2, 1, 0, 3, "serial.2K", "G.DLL", false},
        {3, 1, 1, 3, "parallel.XP", "G.DLL", false},
        {4, 0, 2, 3, "usb.2003", "S.DLL", false},
        {5, 1, 2, 3, "usb.Vista", "G.DLL", false},
        {6, 0, 1, 3, "parallel.2008", "S.DLL", false},
        {7, 1, 0, 3, "serial.Win7", "G.DLL", false},
        {7, 1, 5, 3, "", "G.DLL", false},          // no name key for another port kind
        {7, 2, 0, 3, "serial.Win7", "", false},    // no file keys for another driver kind
        {8, 1, 0, 99, "0", "0", false},            // unknown Windows: every key at its default
        {-1, 1, 0, 99, "0", "0", false},
    };
    for (const Case& c : cases) {
        DriverConfig config;
        config.printerType = 0;
        plat::DRIVER_INFO_3 info = {};
        info.cVersion = 99;
        config.ReadDriverInfo("M", c.osClass, &info, c.driverKind, c.portKind);
        SCOPED_TRACE(testing::Message() << "osClass " << c.osClass << " driverKind "
                                        << c.driverKind << " portKind " << c.portKind);
        EXPECT_EQ(info.cVersion, c.cVersion);
        EXPECT_STREQ(info.pName, c.name);
        EXPECT_STREQ(info.pDriverPath, c.driverPath);
        if (c.windows40) {
            EXPECT_STREQ(info.pEnvironment, "Windows 4.0");
        } else {
            EXPECT_EQ(info.pEnvironment, nullptr);
        }
        EXPECT_EQ(info.pMonitorName, nullptr);
    }
}

TEST_F(DriverConfigTest, DependentFilesFollowTheGdiUniversalDriverFlag) {
    const std::string section =
        "GDIDataFile=A.GPD\r\nGDIDataFileDLLName=0\r\nGDIDataOemuiDLL=B.DLL\r\n"
        "STDDataFile=S.DAT\r\nSTDDataOemuniDLL=C.DLL\r\nSTDDataOemuniini=0X.INI\r\n";
    Receipt("[M.XP]\r\nGDI2KDDKDEV=1\r\nSTD2KDDKDEV=0\r\n" + section +
            "[M.NT]\r\nGDI2KDDKDEV=1\r\n" + section +
            "[M.2K]\r\nGDI2KDDKDEV=0\r\nSTD2KDDKDEV=1\r\n" + section +
            "[M.Vista]\r\nGDI2KDDKDEV= 7\r\n" + section);
    Machine();
    struct Case {
        int osClass, driverKind;
        std::vector<std::string> names;
    } cases[] = {
        {3, 1, {"A.GPD", "TTFSUB.GPD", "UNIRES.DLL", "STDNAMES.GPD", "B.DLL"}},
        // The STD keys give the files, the GDI key decides.
        {3, 0, {"S.DAT", "TTFSUB.GPD", "UNIRES.DLL", "STDNAMES.GPD", "C.DLL"}},
        {1, 1, {}},   // not before Windows 2000
        {2, 0, {}},   // STD2KDDKDEV plays no part here
        {5, 1, {"A.GPD", "TTFSUB.GPD", "UNIRES.DLL", "STDNAMES.GPD", "B.DLL"}},
    };
    for (const Case& c : cases) {
        DriverConfig config;
        config.printerType = 0;
        plat::DRIVER_INFO_3 info = {};
        config.ReadDriverInfo("M", c.osClass, &info, c.driverKind, 0);
        ASSERT_NE(info.pDependentFiles, nullptr);
        EXPECT_EQ(Names(info.pDependentFiles), c.names)
            << "osClass " << c.osClass << " driverKind " << c.driverKind;
    }
}

TEST_F(DriverConfigTest, DependentFilesLongerThan200BytesAreKeptWhole) {
    std::string a(150, 'A'), b(150, 'B'), c(150, 'C');
    Receipt("[M.Win7]\r\nGDI2KDDKDEV=1\r\nGDIDataFile=" + a + ".GPD\r\nGDIDataFileDLLName=" + b +
            ".DLL\r\nGDIDataOemuniini=" + c + ".INI\r\n");
    Machine();
    DriverConfig config;
    config.printerType = 0;
    plat::DRIVER_INFO_3 info = {};
    config.ReadDriverInfo("M", 7, &info, 1, 2);
    EXPECT_EQ(Names(info.pDependentFiles),
              (std::vector<std::string>{a + ".GPD", "TTFSUB.GPD", "UNIRES.DLL", "STDNAMES.GPD",
                                        b + ".DLL", c + ".INI"}));
}

TEST_F(DriverConfigTest, ReadPrinterInfo) {
    Receipt("[M.XP]\r\nDriverNameU=M USB\r\nGDIPrintProcessor=QPXPrint\r\n"
            "STDPrintProcessor=WinPrint\r\nATTRIBUTES=576\r\n"
            "[N.XP]\r\nDriverNameU=N USB\r\nATTRIBUTES=0x40\r\n"
            "[O.XP]\r\nATTRIBUTES=\"64\"\r\n");
    Machine();
    struct Case {
        const char* model;
        int driverKind;
        const char* driverName;
        const char* processor;
        std::uint32_t attributes;
    } cases[] = {
        {"M", 1, "M USB", "QPXPrint", 576},
        {"M", 0, "M USB", "WinPrint", 576},
        {"M", 3, "M USB", "", 0},
        {"N", 1, "N USB", "0", 0},   // decimal only: 0x40 reads as 0
        {"O", 0, "0", "0", 64},
        {"P", 1, "0", "0", 0},       // ATTRIBUTES missing
    };
    for (const Case& c : cases) {
        DriverConfig config;
        config.printerType = 0;
        plat::PRINTER_INFO_2 info = {};
        config.ReadPrinterInfo(c.model, 3, &info, c.driverKind, 2);
        SCOPED_TRACE(testing::Message() << c.model << " driverKind " << c.driverKind);
        EXPECT_STREQ(info.pPrinterName, c.model);
        EXPECT_STREQ(info.pDriverName, c.driverName);
        EXPECT_STREQ(info.pPrintProcessor, c.processor);
        EXPECT_EQ(info.Attributes, c.attributes);
        EXPECT_EQ(info.pPortName, nullptr);
    }
}

TEST_F(DriverConfigTest, RecordsKeepTheirTextsUntilTheSameOperationRunsAgain) {
    Receipt("[M.XP]\r\nDriverNameP=first\r\nGDIDataFile=F.GPD\r\n"
            "[N.XP]\r\nDriverNameP=second\r\nGDIDataFile=S.GPD\r\n");
    Machine();
    DriverConfig config;
    config.printerType = 0;
    plat::DRIVER_INFO_3 driver = {};
    plat::PRINTER_INFO_2 printer = {};
    config.ReadDriverInfo("M", 3, &driver, 1, 1);
    config.ReadPrinterInfo("N", 3, &printer, 1, 1);
    EXPECT_STREQ(driver.pName, "first");
    EXPECT_STREQ(driver.pDataFile, "F.GPD");
    EXPECT_STREQ(printer.pDriverName, "second");
}

TEST_F(DriverConfigTest, ReadDriverFiles) {
    Receipt("[M.2K]\r\nGDIDataFile=GD\r\nGDIConfigFile=GC\r\nGDIHelpFile=GH\r\n"
            "GDIProcessorDLLName=GP\r\nGDIDriverPath=GDP\r\nGDIDataFileDLLName=GDD\r\n"
            "GDIDataOemuiDLL=GOU\r\nGDIDataOemuniDLL=GON\r\nGDIDataOemuniini=GOI\r\n"
            "STDDataFile=SD\r\nControlFontFile=FONT.TTF\r\n");
    Machine();
    DriverConfig config;
    config.printerType = 0;
    DriverFileSet files = {};
    std::strcpy(files.languageMonitorDll, "kept");
    config.ReadDriverFiles("M", 2, &files, 1);
    struct Field {
        const char* field;
        const char* value;
    } fields[] = {
        {files.dataFile, "GD"},        {files.configFile, "GC"},   {files.helpFile, "GH"},
        {files.processorDll, "GP"},    {files.driverPath, "GDP"},  {files.dataFileDll, "GDD"},
        {files.oemUiDll, "GOU"},       {files.oemUniDll, "GON"},   {files.oemUniIni, "GOI"},
        {files.controlFontFile, "FONT.TTF"}, {files.usbInternalId, "0"},
        {files.languageMonitorDll, "kept"},   // not the configuration's field
    };
    for (const Field& f : fields) EXPECT_STREQ(f.field, f.value) << f.value;

    config.ReadDriverFiles("M", 2, &files, 0);
    EXPECT_STREQ(files.dataFile, "SD");
    EXPECT_STREQ(files.driverPath, "0");

    DriverFileSet untouched = {};
    config.ReadDriverFiles("M", 2, &untouched, 2);
    EXPECT_STREQ(untouched.dataFile, "");
    EXPECT_STREQ(untouched.controlFontFile, "");
}

// printerType selects the type file, whatever the letter case of its name on
// the medium; another type reads every key at its default.
// A copy reads like the original but keeps its texts in storage of its own.
TEST_F(DriverConfigTest, CopiesHaveStorageOfTheirOwn) {
    Receipt("[M.XP]\r\nDriverNameS=original\r\n[N.XP]\r\nDriverNameS=copy\r\n");
    Machine();
    DriverConfig original;
    original.printerType = 0;
    plat::PRINTER_INFO_2 first = {};
    original.ReadPrinterInfo("M", 3, &first, 1, 0);
    DriverConfig copy(original);
    EXPECT_EQ(copy.printerType, 0);
    plat::PRINTER_INFO_2 second = {};
    copy.ReadPrinterInfo("N", 3, &second, 1, 0);
    EXPECT_STREQ(first.pDriverName, "original");
    EXPECT_STREQ(second.pDriverName, "copy");
    DriverConfig assigned;
    assigned = copy;
    copy = DriverConfig();
    EXPECT_EQ(assigned.CommonPath(), "D:\\DRVCONFIG\\setup.ini");
}

TEST_F(DriverConfigTest, PrinterTypeSelectsTheTypeFile) {
    medium_.write("DRVCONFIG/setup_receipt.ini", "[M.XP]\r\nDriverNameS=receipt\r\n");
    medium_.write("DRVCONFIG/setup_ticket.ini", "[M.XP]\r\nDriverNameS=ticket\r\n");
    // The demo's files give way to the same names in other letter cases.
    medium_.remove("DRVCONFIG/setup_lable.ini");
    medium_.remove("DRVCONFIG/setup_embedded.ini");
    medium_.write("DRVCONFIG/setup_Lable.ini", "[M.XP]\r\nDriverNameS=label\r\n");
    medium_.write("DRVCONFIG/SETUP_EMBEDDED.INI", "[M.XP]\r\nDriverNameS=embedded\r\n");
    Machine();
    const char* expected[] = {"receipt", "ticket", "label", "embedded"};
    DriverConfig config;
    for (int type = -1; type <= 4; ++type) {
        config.printerType = type;
        plat::PRINTER_INFO_2 info = {};
        config.ReadPrinterInfo("M", 3, &info, 1, 0);
        EXPECT_STREQ(info.pDriverName, type >= 0 && type < 4 ? expected[type] : "0")
            << "printerType " << type;
    }
}

TEST_F(DriverConfigTest, ReadLanguageMonitor) {
    Common("[COMMON-MONITOR.XP]\r\nUSBLMONitorName=Kestran Language Monitor\r\n"
           "USBLMONitorDLLName=KSLANGMN.DLL\r\nUSBLMONitorVersion=12\r\n"
           "[COMMON-MONITOR.98]\r\nUSBLMONitorName=LM98\r\nUSBLMONitorDLLName=L98.DLL\r\n"
           "USBLMONitorVersion=2\r\n"
           "[COMMON-MONITOR.2K]\r\nUSBLMONitorName=A\r\nUSBLMONitorDLLName=B\r\n"
           "USBLMONitorVersion=3\r\n"
           "[COMMON-MONITOR]\r\nUSBLMONitorName=NoSuffix\r\nUSBLMONitorDLLName=NS.DLL\r\n");
    Machine();
    struct Case {
        int osClass, portKind;
        const char* name;
        const char* dll;
        int version;
        bool windows40;
    } cases[] = {
        {3, 2, "Kestran Language Monitor", "KSLANGMN.DLL", 12, false},
        {0, 2, "LM98", "L98.DLL", 2, true},
        {2, 2, "", "", 0, false},   // three one-character values: no language monitor
        {4, 2, "", "", 0, false},   // all missing
        {9, 2, "NoSuffix", "NS.DLL", 0, false},
        {3, 0, "", "", -5, false},  // no language monitor on COM or LPT; version untouched
        {3, 1, "", "", -5, false},
    };
    for (const Case& c : cases) {
        DriverConfig config;
        LanguageMonitorInfo info = {};
        info.version = -5;
        config.ReadLanguageMonitor(c.osClass, &info, c.portKind);
        SCOPED_TRACE(testing::Message() << "osClass " << c.osClass << " portKind " << c.portKind);
        EXPECT_STREQ(info.info.pName, c.name);
        EXPECT_STREQ(info.info.pDLLName, c.dll);
        EXPECT_EQ(info.version, c.version);
        if (c.windows40) {
            EXPECT_STREQ(info.info.pEnvironment, "Windows 4.0");
        } else {
            EXPECT_EQ(info.info.pEnvironment, nullptr);
        }
    }
    DriverConfig config;
    LanguageMonitorInfo untouched = {};
    config.ReadLanguageMonitor(3, &untouched, 7);
    EXPECT_EQ(untouched.info.pName, nullptr);
}

TEST_F(DriverConfigTest, ReadPortMonitorsAndProcessorVersion) {
    Common("[COMMON-MONITOR.Vista]\r\nUSBMONitorPName=Kestran USB Port\r\n"
           "USBMONitorPDLLName=KSUSBMON.DLL\r\nUSBMONitorPUIDLLName=KSUSBUI.DLL\r\n"
           "USBMONitorVersion=5\r\nCOMMONitorPName=Kestran COM Port\r\n"
           "COMMONitorPDLLName=KSCOMMON.DLL\r\nCOMMONitorPUIDLLName=KSCOMUI.DLL\r\n"
           "COMMONitorVersion=3\r\n"
           "[ProcessorVersion]\r\nDriverVersion=123456789012\r\n");
    Machine();
    DriverConfig config;
    PortMonitorInfo info = {};
    config.ReadPortMonitors(5, &info);
    EXPECT_STREQ(info.usbMonitor.pName, "Kestran USB Port");
    EXPECT_STREQ(info.usbMonitor.pDLLName, "KSUSBMON.DLL");
    EXPECT_STREQ(info.usbUiDll, "KSUSBUI.DLL");
    EXPECT_EQ(info.usbVersion, 5);
    EXPECT_STREQ(info.comMonitor.pName, "Kestran COM Port");
    EXPECT_STREQ(info.comMonitor.pDLLName, "KSCOMMON.DLL");
    EXPECT_STREQ(info.comUiDll, "KSCOMUI.DLL");
    EXPECT_EQ(info.comVersion, 3);
    EXPECT_EQ(info.usbMonitor.pEnvironment, nullptr);

    PortMonitorInfo missing = {};
    config.ReadPortMonitors(0, &missing);
    EXPECT_STREQ(missing.usbMonitor.pName, "0");
    EXPECT_STREQ(missing.comUiDll, "0");
    EXPECT_EQ(missing.comVersion, 0);
    EXPECT_STREQ(missing.comMonitor.pEnvironment, "Windows 4.0");
    EXPECT_STREQ(missing.usbMonitor.pEnvironment, "Windows 4.0");

    // DriverVersion is cut to 11 characters before it is converted.
    EXPECT_EQ(config.ReadProcessorVersion(), 2147483647);
    Common("[ProcessorVersion]\r\nDriverVersion=4\r\n");
    EXPECT_EQ(config.ReadProcessorVersion(), 4);
}

TEST_F(DriverConfigTest, ReadDdkFlag) {
    struct Case {
        const char* gdi;   // GDI2KDDKDEV, nullptr: missing
        const char* std;   // STD2KDDKDEV
        int driverKind;
        bool flag;
    } cases[] = {
        {"1", "0", 1, true},   {"10", "0", 1, true},  {"0", "1", 1, false},
        {"2", "1", 1, false},  {nullptr, "1", 1, false}, {"1", "1", 0, true},
        {"1", "0", 0, false},  {"1", "1", 2, false},  {" 1", "0", 1, true},
        {"01", "0", 1, false},
    };
    for (const Case& c : cases) {
        std::string text = "[M.Win7]\r\nSTD2KDDKDEV=" + std::string(c.std) + "\r\n";
        if (c.gdi) text += "GDI2KDDKDEV=" + std::string(c.gdi) + "\r\n";
        Receipt(text);
        Machine();
        DriverConfig config;
        config.printerType = 0;
        EXPECT_EQ(config.ReadDdkFlag("M", 7, c.driverKind), c.flag)
            << "GDI " << (c.gdi ? c.gdi : "(missing)") << " STD " << c.std << " driverKind "
            << c.driverKind;
    }
}

TEST_F(DriverConfigTest, PathsUnderTheProgramDirectory) {
    Machine();
    EXPECT_EQ(ProgramDirectory(), "D:\\");
    DriverConfig config;
    EXPECT_EQ(config.CommonPath(), "D:\\DRVCONFIG\\setup.ini");
    EXPECT_EQ(config.TypePath(2), "D:\\DRVCONFIG\\setup_lable.ini");
    EXPECT_EQ(config.TypePath(4), "");

    struct Case {
        int type;
        const char* typePath;
    } cases[] = {
        {0, "D:\\DRVCONFIG\\setup_receipt.ini"}, {1, "D:\\DRVCONFIG\\setup_Ticket.ini"},
        {2, "D:\\DRVCONFIG\\setup_Lable.ini"},   {3, "D:\\DRVCONFIG\\setup_Embedded.ini"},
        {4, "D:\\"},                              {-1, "D:\\"},
    };
    for (const Case& c : cases) {
        char common[200], type[200];
        std::memset(common, 'x', sizeof common);
        std::memset(type, 'x', sizeof type);
        ConfigPaths(c.type, common, type);
        EXPECT_STREQ(common, "D:\\DRVCONFIG\\setup.ini");
        EXPECT_STREQ(type, c.typePath) << "type " << c.type;
    }
}

TEST_F(DriverConfigTest, IntegerReadsRelativeToTheCurrentDirectory) {
    Common("[DEVICENAME]\r\nLANGUAGE=1\r\nLOADLICENSE=yes\r\n[Other]\r\nLANGUAGE=5\r\n");
    Machine();
    EXPECT_EQ(ReadDeviceNameInt("LANGUAGE"), 1);
    EXPECT_EQ(ReadDeviceNameInt("LOADLICENSE"), 0);
    EXPECT_EQ(ReadDeviceNameInt("MISSING"), 0);
    EXPECT_EQ(ReadIniInt("DRVCONFIG\\setup.ini", "Other", "LANGUAGE"), 5);
    EXPECT_EQ(ReadIniInt("DRVCONFIG\\nothere.ini", "Other", "LANGUAGE"), 0);
}

}  // namespace
}  // namespace setup
