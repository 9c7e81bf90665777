// The simulated spooler's contract: one test per call, the expected Win32
// error next to each call, the state checked where Windows keeps it
// (registry keys, WIN.INI, the driver folders). Differences between Windows
// versions are noted beside the checks.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "platform/sim/sim_context.h"
#include "platform/sim/sim_platform.h"
#include "platform/sim/spooler_registry.h"
#include "platform/sim/test_machine.h"

namespace plat::sim {
namespace {


const char* const kDriverDirNt = "C:\\WINDOWS\\system32\\spool\\drivers\\w32x86";
const char* const kProcessorDirNt = "C:\\WINDOWS\\system32\\spool\\prtprocs\\w32x86";
const char* const kMonitorKey = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\";
const char* const kPrinterKey = "SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\";
const char* const kDriverKeyV3 =
    "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86\\Drivers\\Version-3\\";

// A machine with the spooler's calls at hand and a few ways to set the
// scene: driver files in place, a driver, a printer, a monitor DLL.
class SpoolerTest : public ::testing::Test {
protected:
    explicit SpoolerTest(const std::string& os = "xp") : machine_(Options(os)) {}
    static TestMachineOptions Options(const std::string& os) {
        TestMachineOptions o;
        o.os = os;
        return o;
    }

    Spooler& spooler() { return machine_.platform().spooler(); }
    Files& files() { return machine_.platform().files(); }
    SpoolRegistry reg() { return SpoolRegistry(machine_.platform().registry()); }
    std::string driverDir() {
        std::string dir;
        EXPECT_EQ(spooler().getPrinterDriverDirectory(nullptr, nullptr, 1, 260, &dir), ERROR_SUCCESS);
        return dir;
    }
    void put(const std::string& path, const std::string& bytes = "x") {
        ASSERT_EQ(files().writeFile(path, bytes), ERROR_SUCCESS) << path;
    }
    bool exists(const std::string& path) {
        std::uint32_t a = 0;
        return files().getFileAttributes(path, &a) == ERROR_SUCCESS;
    }

    // DRIVER_INFO_3 over owned strings.
    struct Driver {
        std::string name = "KS Receipt", driver = "KSDRV.DLL", data = "KS.GPD", config = "KSUI.DLL",
                    help = "KS.HLP", monitor, dependents = std::string("KS.DAT\0KS.RDT\0", 14);
        std::uint32_t version = 3;
        DRIVER_INFO_3 info() {
            return DRIVER_INFO_3{version,        name.data(),
                                 nullptr,        driver.data(),
                                 data.data(),    config.data(),
                                 help.empty() ? nullptr : help.data(),
                                 dependents.data(),
                                 monitor.empty() ? nullptr : monitor.data(),
                                 nullptr};
        }
        std::vector<std::string> files() const {
            return {driver, data, config, help, "KS.DAT", "KS.RDT"};
        }
    };
    void putDriverFiles(const Driver& d) {
        for (const std::string& f : d.files()) put(driverDir() + "\\" + f);
    }
    void addDriver() { addDriver(Driver()); }
    void addDriver(Driver d) {
        putDriverFiles(d);
        ASSERT_EQ(spooler().addPrinterDriver(nullptr, 3, d.info()), ERROR_SUCCESS);
    }

    struct Printer {
        std::string name = "KS-80(S)", port = "COM1:", driver = "KS Receipt", processor = "WinPrint";
        std::uint32_t attributes = PRINTER_ATTRIBUTE_LOCAL;
        PRINTER_INFO_2 info() {
            PRINTER_INFO_2 p{};
            p.pPrinterName = name.data();
            p.pPortName = port.data();
            p.pDriverName = driver.data();
            p.pPrintProcessor = processor.data();
            p.Attributes = attributes;
            return p;
        }
    };
    Err addPrinter() { return addPrinter(Printer()); }
    Err addPrinter(Printer p) {
        Handle h = 0;
        PRINTER_INFO_2 info = p.info();
        Err err = spooler().addPrinter(nullptr, 2, info, &h);
        if (err == ERROR_SUCCESS) spooler().closePrinter(h);
        return err;
    }
    Handle open(const std::string& name) {
        Handle h = 0;
        EXPECT_EQ(spooler().openPrinter(name.c_str(), PRINTER_ALL_ACCESS, &h), ERROR_SUCCESS) << name;
        return h;
    }
    void deletePrinter(const std::string& name) {
        Handle h = open(name);
        EXPECT_EQ(spooler().deletePrinter(h), ERROR_SUCCESS) << name;
        spooler().closePrinter(h);
    }
    // A monitor DLL in the system directory carrying these declarations.
    void putMonitorDll(const std::string& name, const std::string& declarations) {
        put("C:\\WINDOWS\\system32\\" + name, "MZ image\n" + declarations + "\n");
    }
    Err addMonitor(const std::string& name, const std::string& dll) {
        MONITOR_INFO_2 m{const_cast<char*>(name.c_str()), nullptr, const_cast<char*>(dll.c_str())};
        return spooler().addMonitor(nullptr, 2, m);
    }
    std::vector<std::string> ports() {
        std::uint32_t needed = 0;
        std::vector<std::string> out;
        EXPECT_EQ(spooler().enumPorts1(nullptr, 1 << 20, &needed, &out), ERROR_SUCCESS);
        return out;
    }
    std::string winIniDevice() {
        return machine_.platform().profile().getProfileString("windows", "device", "", 260);
    }

    TestMachine machine_;
};

class SpoolerTest9x : public SpoolerTest {
protected:
    SpoolerTest9x() : SpoolerTest("98") {}
};
class SpoolerTestNt4 : public SpoolerTest {
protected:
    SpoolerTestNt4() : SpoolerTest("nt4") {}
};

// --- AddPrinterDriverA --------------------------------------------------------

TEST_F(SpoolerTest, AddPrinterDriverCopiesIntoTheVersionFolderAndRegisters) {
    addDriver();
    for (const char* f : {"KSDRV.DLL", "KS.GPD", "KSUI.DLL", "KS.HLP", "KS.DAT", "KS.RDT"}) {
        EXPECT_TRUE(exists(std::string(kDriverDirNt) + "\\3\\" + f)) << f;
    }
    std::string key = std::string(kDriverKeyV3) + "KS Receipt";
    EXPECT_EQ(reg().string(key, "Driver"), "KSDRV.DLL");
    EXPECT_EQ(reg().string(key, "Data File"), "KS.GPD");
    EXPECT_EQ(reg().string(key, "Configuration File"), "KSUI.DLL");
    EXPECT_EQ(reg().multiString(key, "Dependent Files"), (std::vector<std::string>{"KS.DAT", "KS.RDT"}));
    EXPECT_EQ(reg().dword(key, "Version", 99), 3u);
    EXPECT_NE(machine_.log().find("Printer driver added: \"KS Receipt\""), std::string::npos) << machine_.log();
    // Adding it again replaces it.
    EXPECT_EQ(spooler().addPrinterDriver(nullptr, 3, Driver().info()), ERROR_SUCCESS);
}

TEST_F(SpoolerTest, AddPrinterDriverNeedsEveryFileInTheDriverDirectory) {
    for (std::string missing : {"KSDRV.DLL", "KS.GPD", "KSUI.DLL", "KS.HLP", "KS.DAT", "KS.RDT"}) {
        Driver d;
        d.name = "Missing " + missing;
        putDriverFiles(d);
        ASSERT_EQ(files().deleteFile(driverDir() + "\\" + missing), ERROR_SUCCESS);
        EXPECT_EQ(spooler().addPrinterDriver(nullptr, 3, d.info()), ERROR_FILE_NOT_FOUND) << missing;
        EXPECT_FALSE(reg().exists(std::string(kDriverKeyV3) + d.name)) << missing;
        // Files left from an earlier round would hide the next case.
        for (const std::string& f : d.files()) files().deleteFile(driverDir() + "\\3\\" + f);
    }
}

TEST_F(SpoolerTest, AddPrinterDriverRefusesBadArguments) {
    putDriverFiles(Driver());
    Driver noData;
    noData.data.clear();
    DRIVER_INFO_3 info = noData.info();
    info.pDataFile = nullptr;
    EXPECT_EQ(spooler().addPrinterDriver(nullptr, 3, info), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(spooler().addPrinterDriver(nullptr, 4, Driver().info()), ERROR_INVALID_LEVEL);
    Driver d;
    DRIVER_INFO_3 otherEnv = d.info();
    otherEnv.pEnvironment = const_cast<char*>("Windows IA64");
    EXPECT_EQ(spooler().addPrinterDriver(nullptr, 3, otherEnv), ERROR_INVALID_ENVIRONMENT);
    Driver withMonitor;
    withMonitor.monitor = "KS Language Monitor";
    EXPECT_EQ(spooler().addPrinterDriver(nullptr, 3, withMonitor.info()), ERROR_UNKNOWN_PRINT_MONITOR);
    EXPECT_EQ(spooler().addPrinterDriver("\\\\OTHER", 3, Driver().info()), RPC_S_SERVER_UNAVAILABLE);
}

TEST_F(SpoolerTestNt4, AddPrinterDriverUsesVersionTwoFolder) {
    Driver d;
    d.version = 2;
    addDriver(d);
    EXPECT_TRUE(exists(std::string(kDriverDirNt) + "\\2\\KSDRV.DLL"));
    EXPECT_TRUE(reg().exists(
        "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86\\Drivers\\Version-2\\KS Receipt"));
}

TEST_F(SpoolerTest9x, AddPrinterDriverKeepsFilesInTheSystemFolder) {
    EXPECT_EQ(driverDir(), "C:\\WINDOWS\\SYSTEM");
    Driver d;
    d.version = 0;
    addDriver(d);
    EXPECT_TRUE(reg().exists(
        "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows 4.0\\Drivers\\KS Receipt"));
}

// --- DeletePrinterDriverA / DeletePrinterDriverExA -------------------------

TEST_F(SpoolerTest, DeletePrinterDriverRefusesUnknownAndUsedDrivers) {
    EXPECT_EQ(spooler().deletePrinterDriver(nullptr, nullptr, "No Such Driver"), ERROR_UNKNOWN_PRINTER_DRIVER);
    addDriver();
    ASSERT_EQ(addPrinter(), ERROR_SUCCESS);
    EXPECT_EQ(spooler().deletePrinterDriver(nullptr, nullptr, "KS Receipt"), ERROR_PRINTER_DRIVER_IN_USE);
    deletePrinter("KS-80(S)");
    EXPECT_EQ(spooler().deletePrinterDriver(nullptr, nullptr, "ks receipt"), ERROR_SUCCESS);
    EXPECT_FALSE(reg().exists(std::string(kDriverKeyV3) + "KS Receipt"));
    // DeletePrinterDriverA leaves the files.
    EXPECT_TRUE(exists(std::string(kDriverDirNt) + "\\3\\KSDRV.DLL"));
}

TEST_F(SpoolerTest, DeletePrinterDriverExRemovesFilesNoOtherDriverUses) {
    addDriver();
    Driver other;
    other.name = "KS Ticket";
    other.driver = "KSDRV2.DLL";
    addDriver(other);   // shares KS.GPD, KSUI.DLL, KS.HLP, KS.DAT, KS.RDT
    EXPECT_EQ(spooler().deletePrinterDriverEx(nullptr, nullptr, "KS Receipt", DPD_DELETE_ALL_FILES, 0),
              ERROR_PRINTER_DRIVER_IN_USE);
    EXPECT_TRUE(reg().exists(std::string(kDriverKeyV3) + "KS Receipt"));
    EXPECT_EQ(spooler().deletePrinterDriverEx(nullptr, nullptr, "KS Receipt", DPD_DELETE_UNUSED_FILES, 0),
              ERROR_SUCCESS);
    EXPECT_FALSE(exists(std::string(kDriverDirNt) + "\\3\\KSDRV.DLL"));
    EXPECT_TRUE(exists(std::string(kDriverDirNt) + "\\3\\KS.GPD"));
    EXPECT_EQ(spooler().deletePrinterDriverEx(nullptr, nullptr, "KS Ticket", DPD_DELETE_SPECIFIC_VERSION, 2),
              ERROR_UNKNOWN_PRINTER_DRIVER);
}

TEST_F(SpoolerTest, DeletePrinterDriverExRemovesOnlyTheVersionAskedFor) {
    addDriver();
    Driver v2;
    v2.version = 2;
    addDriver(v2);   // the same name as a kernel-mode driver: both versions are kept
    const std::string v2Key =
        "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86\\Drivers\\Version-2\\KS Receipt";
    ASSERT_TRUE(reg().exists(v2Key));
    ASSERT_TRUE(reg().exists(std::string(kDriverKeyV3) + "KS Receipt"));
    EXPECT_EQ(spooler().deletePrinterDriverEx(nullptr, nullptr, "KS Receipt",
                                              DPD_DELETE_SPECIFIC_VERSION | DPD_DELETE_UNUSED_FILES, 2),
              ERROR_SUCCESS);
    EXPECT_FALSE(reg().exists(v2Key));
    EXPECT_FALSE(exists(std::string(kDriverDirNt) + "\\2\\KSDRV.DLL"));
    EXPECT_TRUE(reg().exists(std::string(kDriverKeyV3) + "KS Receipt"));
    EXPECT_TRUE(exists(std::string(kDriverDirNt) + "\\3\\KSDRV.DLL"));
}

TEST_F(SpoolerTestNt4, DeletePrinterDriverExIsNotExported) {
    EXPECT_EQ(spooler().deletePrinterDriverEx(nullptr, nullptr, "KS Receipt", DPD_DELETE_UNUSED_FILES, 0),
              ERROR_PROC_NOT_FOUND);
}

// --- AddPrinterA --------------------------------------------------------------

TEST_F(SpoolerTest, AddPrinterKeepsThePrinterInTheRegistry) {
    addDriver();
    Handle h = 0;
    Printer p;
    ASSERT_EQ(spooler().addPrinter(nullptr, 2, p.info(), &h), ERROR_SUCCESS);
    EXPECT_NE(h, 0u);
    EXPECT_EQ(spooler().closePrinter(h), ERROR_SUCCESS);
    std::string key = std::string(kPrinterKey) + "KS-80(S)";
    EXPECT_EQ(reg().string(key, "Port"), "COM1:");
    EXPECT_EQ(reg().string(key, "Printer Driver"), "KS Receipt");
    EXPECT_EQ(reg().string(key, "Print Processor"), "WinPrint");
    EXPECT_EQ(reg().dword(key, "Attributes"), PRINTER_ATTRIBUTE_LOCAL);
    EXPECT_NE(machine_.log().find("Printer added: \"KS-80(S)\""), std::string::npos);
}

TEST_F(SpoolerTest, AddPrinterChecksNameDriverPortAndProcessor) {
    addDriver();
    ASSERT_EQ(addPrinter(), ERROR_SUCCESS);
    struct Case {
        const char* what;
        std::function<void(Printer&)> change;
        Err expected;
    } cases[] = {
        {"same name", [](Printer&) {}, ERROR_PRINTER_ALREADY_EXISTS},
        {"same name, other case", [](Printer& p) { p.name = "ks-80(s)"; }, ERROR_PRINTER_ALREADY_EXISTS},
        {"empty name", [](Printer& p) { p.name.clear(); }, ERROR_INVALID_PRINTER_NAME},
        {"comma in the name", [](Printer& p) { p.name = "a,b"; }, ERROR_INVALID_PRINTER_NAME},
        {"backslash in the name", [](Printer& p) { p.name = "a\\b"; }, ERROR_INVALID_PRINTER_NAME},
        {"unknown port", [](Printer& p) { p.name = "n1"; p.port = "COM9:"; }, ERROR_UNKNOWN_PORT},
        {"no port", [](Printer& p) { p.name = "n2"; p.port.clear(); }, ERROR_UNKNOWN_PORT},
        {"unknown driver", [](Printer& p) { p.name = "n3"; p.driver = "Nope"; }, ERROR_UNKNOWN_PRINTER_DRIVER},
        {"unknown processor", [](Printer& p) { p.name = "n4"; p.processor = "KSProc"; }, ERROR_UNKNOWN_PRINTPROCESSOR},
        // GBK "\x95\x5C" has a trail byte equal to a backslash.
        {"double-byte name", [](Printer& p) { p.name = "\xB4\xF2\x95\x5C"; }, ERROR_SUCCESS},
        {"two known ports", [](Printer& p) { p.name = "n5"; p.port = "LPT1:,LPT2:"; }, ERROR_SUCCESS},
    };
    for (const Case& c : cases) {
        Printer p;
        c.change(p);
        EXPECT_EQ(addPrinter(p), c.expected) << c.what;
    }
    Printer p;
    EXPECT_EQ(spooler().addPrinter(nullptr, 1, p.info(), nullptr), ERROR_INVALID_LEVEL);
}

// --- OpenPrinterA / GetPrinterA / SetPrinterA / ClosePrinter ------------------

TEST_F(SpoolerTest, OpenPrinterAndClosePrinter) {
    Handle h = 0;
    EXPECT_EQ(spooler().openPrinter("Nobody", PRINTER_ALL_ACCESS, &h), ERROR_INVALID_PRINTER_NAME);
    EXPECT_EQ(spooler().openPrinter(nullptr, PRINTER_ALL_ACCESS, &h), ERROR_INVALID_PRINTER_NAME);
    addDriver();
    ASSERT_EQ(addPrinter(), ERROR_SUCCESS);
    h = open("KS-80(S)");
    EXPECT_EQ(spooler().closePrinter(h), ERROR_SUCCESS);
    EXPECT_EQ(spooler().closePrinter(h), ERROR_INVALID_HANDLE);
}

TEST_F(SpoolerTest, GetPrinterSizeQueryAndJobs) {
    addDriver();
    ASSERT_EQ(addPrinter(), ERROR_SUCCESS);
    machine_.state().set("Jobs", "KS-80(S)", "3");
    Handle h = open("KS-80(S)");
    std::uint32_t needed = 0;
    PrinterInfo2 info;
    EXPECT_EQ(spooler().getPrinter2(h, 0, &needed, &info), ERROR_INSUFFICIENT_BUFFER);
    // Fixed record 84, DEVMODE 156, name 9, port 6, driver 11, processor 9, datatype 4.
    EXPECT_EQ(needed, 84u + 156u + 9u + 6u + 11u + 9u + 4u);
    std::uint32_t again = 0;
    EXPECT_EQ(spooler().getPrinter2(h, needed - 1, &again, &info), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(again, needed);
    ASSERT_EQ(spooler().getPrinter2(h, needed, &again, &info), ERROR_SUCCESS);
    EXPECT_EQ(info.printerName, "KS-80(S)");
    EXPECT_EQ(info.portName, "COM1:");
    EXPECT_EQ(info.driverName, "KS Receipt");
    EXPECT_EQ(info.printProcessor, "WinPrint");
    EXPECT_EQ(info.datatype, "RAW");
    EXPECT_EQ(info.cJobs, 3u);
    EXPECT_EQ(spooler().getPrinter2(h + 1000, needed, &again, &info), ERROR_INVALID_HANDLE);
    spooler().closePrinter(h);
}

TEST_F(SpoolerTest9x, SetPrinterWithTheDefaultAttributeMakesTheDefaultPrinter) {
    Driver d;
    d.version = 0;
    addDriver(d);
    Printer p;
    p.port = "LPT1:";
    ASSERT_EQ(addPrinter(p), ERROR_SUCCESS);
    Handle h = open(p.name);
    std::uint32_t needed = 0;
    PrinterInfo2 info;
    ASSERT_EQ(spooler().getPrinter2(h, 4096, &needed, &info), ERROR_SUCCESS);
    EXPECT_EQ(info.attributes & PRINTER_ATTRIBUTE_DEFAULT, 0u);
    info.attributes |= PRINTER_ATTRIBUTE_DEFAULT;
    EXPECT_EQ(spooler().setPrinter2(h, info), ERROR_SUCCESS);
    EXPECT_EQ(winIniDevice(), "KS-80(S),KS Receipt,LPT1:");
    ASSERT_EQ(spooler().getPrinter2(h, 4096, &needed, &info), ERROR_SUCCESS);
    EXPECT_NE(info.attributes & PRINTER_ATTRIBUTE_DEFAULT, 0u);
    // The attribute itself is not stored; the default lives in WIN.INI.
    EXPECT_EQ(reg().dword(std::string(kPrinterKey) + p.name, "Attributes") & PRINTER_ATTRIBUTE_DEFAULT, 0u);
    info.portName = "COM7:";
    EXPECT_EQ(spooler().setPrinter2(h, info), ERROR_UNKNOWN_PORT);
    spooler().closePrinter(h);
}

// --- DeletePrinter --------------------------------------------------------------

TEST_F(SpoolerTest, DeletePrinterWithJobsWaitsForThem) {
    addDriver();
    ASSERT_EQ(addPrinter(), ERROR_SUCCESS);
    ASSERT_EQ(spooler().setDefaultPrinter("KS-80(S)"), ERROR_SUCCESS);
    machine_.state().set("Jobs", "KS-80(S)", "2");
    Handle h = open("KS-80(S)");
    EXPECT_EQ(spooler().deletePrinter(h), ERROR_SUCCESS);
    spooler().closePrinter(h);
    // Still there while its jobs are queued, marked as pending deletion.
    h = open("KS-80(S)");
    PrinterInfo2 info;
    std::uint32_t needed = 0;
    ASSERT_EQ(spooler().getPrinter2(h, 4096, &needed, &info), ERROR_SUCCESS);
    EXPECT_NE(info.status & PRINTER_STATUS_PENDING_DELETION, 0u);
    spooler().closePrinter(h);
    EXPECT_EQ(addPrinter(), ERROR_PRINTER_ALREADY_EXISTS);
    // The jobs end: the next call finds the printer gone, and the default with it.
    machine_.state().set("Jobs", "KS-80(S)", "0");
    EXPECT_EQ(spooler().openPrinter("KS-80(S)", PRINTER_ALL_ACCESS, &h), ERROR_INVALID_PRINTER_NAME);
    EXPECT_FALSE(reg().exists(std::string(kPrinterKey) + "KS-80(S)"));
    EXPECT_EQ(winIniDevice(), "");
}

// --- EnumPrintersA level 5 ------------------------------------------------------

TEST_F(SpoolerTest, EnumPrintersLevel5) {
    std::uint32_t needed = 99;
    std::vector<PrinterInfo5> list;
    EXPECT_EQ(spooler().enumPrinters5(PRINTER_ENUM_LOCAL, nullptr, 0, &needed, &list), ERROR_SUCCESS);
    EXPECT_EQ(needed, 0u);
    EXPECT_TRUE(list.empty());
    addDriver();
    ASSERT_EQ(addPrinter(), ERROR_SUCCESS);
    Printer second;
    second.name = "KS-80(P)";
    second.port = "LPT1:";
    ASSERT_EQ(addPrinter(second), ERROR_SUCCESS);
    EXPECT_EQ(spooler().enumPrinters5(PRINTER_ENUM_LOCAL, nullptr, 0, &needed, &list), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(needed, (20u + 9u + 6u) + (20u + 9u + 6u));
    ASSERT_EQ(spooler().enumPrinters5(PRINTER_ENUM_LOCAL, nullptr, needed, &needed, &list), ERROR_SUCCESS);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1].portName == "LPT1:" || list[0].portName == "LPT1:", true);
    EXPECT_EQ(list[0].transmissionRetryTimeout, 45000u);
}

// --- EnumPortsA / AddMonitorA / DeleteMonitorA / EnumMonitorsA ------------------

TEST_F(SpoolerTest, PortsComeFromTheMonitors) {
    EXPECT_EQ(ports(), (std::vector<std::string>{"LPT1:", "LPT2:", "LPT3:", "COM1:", "COM2:", "COM3:",
                                                 "COM4:", "FILE:"}));
    putMonitorDll("KSCOMMON.DLL", "SIM-PORTS=KSCOM1:, KSCOM2:");
    ASSERT_EQ(addMonitor("KS COM Monitor", "KSCOMMON.DLL"), ERROR_SUCCESS);
    putMonitorDll("KSUSBMON.DLL", "SIM-PORTS-FROM-REGISTRY=SOFTWARE\\KESTRAN\\PORTNAME");
    ASSERT_EQ(addMonitor("KS USB Monitor", "KSUSBMON.DLL"), ERROR_SUCCESS);
    ASSERT_EQ(reg().setString("SOFTWARE\\KESTRAN\\PORTNAME", "USB_KS-80_1", "x"), ERROR_SUCCESS);
    std::vector<std::string> all = ports();
    for (const char* p : {"KSCOM1:", "KSCOM2:", "USB_KS-80_1"}) {
        EXPECT_NE(std::find(all.begin(), all.end(), p), all.end()) << p;
    }
    // The Local Port monitor's own list, where the serial settings live.
    ASSERT_EQ(reg().setString("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports", "COM1:", "9600,n,8,1"),
              ERROR_SUCCESS);
    ASSERT_EQ(reg().setString("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports", "COM5:", ""),
              ERROR_SUCCESS);
    all = ports();
    EXPECT_EQ(std::count(all.begin(), all.end(), "COM1:"), 1);
    EXPECT_EQ(std::count(all.begin(), all.end(), "COM5:"), 1);
    // The size query: each PORT_INFO_1 is 4 bytes and its name.
    std::uint32_t needed = 0;
    std::vector<std::string> out;
    EXPECT_EQ(spooler().enumPorts1(nullptr, 0, &needed, &out), ERROR_INSUFFICIENT_BUFFER);
    std::uint32_t expected = 0;
    for (const std::string& p : all) expected += 4 + static_cast<std::uint32_t>(p.size()) + 1;
    EXPECT_EQ(needed, expected);
    EXPECT_EQ(spooler().enumPorts1(nullptr, needed - 1, &needed, &out), ERROR_INSUFFICIENT_BUFFER);
}

TEST_F(SpoolerTest, AddMonitorNeedsItsDllAndRefusesASecondCopy) {
    EXPECT_EQ(addMonitor("KS COM Monitor", "KSCOMMON.DLL"), ERROR_MOD_NOT_FOUND);
    putMonitorDll("KSCOMMON.DLL", "SIM-PORTS=KSCOM1:");
    EXPECT_EQ(addMonitor("KS COM Monitor", "KSCOMMON.DLL"), ERROR_SUCCESS);
    EXPECT_EQ(reg().string(std::string(kMonitorKey) + "KS COM Monitor", "Driver"), "KSCOMMON.DLL");
    EXPECT_EQ(addMonitor("KS COM Monitor", "KSCOMMON.DLL"), ERROR_PRINT_MONITOR_ALREADY_INSTALLED);
    EXPECT_EQ(addMonitor("ks com monitor", "OTHER.DLL"), ERROR_PRINT_MONITOR_ALREADY_INSTALLED);
    MONITOR_INFO_2 noName{nullptr, nullptr, const_cast<char*>("KSCOMMON.DLL")};
    EXPECT_EQ(spooler().addMonitor(nullptr, 2, noName), ERROR_INVALID_PARAMETER);
    MONITOR_INFO_2 ok{const_cast<char*>("M"), nullptr, const_cast<char*>("KSCOMMON.DLL")};
    EXPECT_EQ(spooler().addMonitor(nullptr, 1, ok), ERROR_INVALID_LEVEL);
    std::uint32_t needed = 0;
    std::vector<std::string> monitors;
    ASSERT_EQ(spooler().enumMonitors1(nullptr, 4096, &needed, &monitors), ERROR_SUCCESS);
    EXPECT_EQ(monitors, (std::vector<std::string>{"KS COM Monitor", "Local Port"}))
        << "(sorted as the registry keeps keys)";
    EXPECT_NE(machine_.log().find("Port monitor added: \"KS COM Monitor\""), std::string::npos);
}

TEST_F(SpoolerTest, AddMonitorOverAKeyWithoutDriverInstallsIt) {
    // The setup may have written its version value before the monitor was added.
    ASSERT_EQ(reg().setDword(std::string(kMonitorKey) + "KS COM Monitor", "DriverVersion", 5), ERROR_SUCCESS);
    putMonitorDll("KSCOMMON.DLL", "SIM-PORTS=KSCOM1:");
    EXPECT_EQ(addMonitor("KS COM Monitor", "KSCOMMON.DLL"), ERROR_SUCCESS);
    EXPECT_EQ(reg().dword(std::string(kMonitorKey) + "KS COM Monitor", "DriverVersion"), 5u);
}

TEST_F(SpoolerTest, DeleteMonitorRefusesWhileAPrinterUsesItsPorts) {
    EXPECT_EQ(spooler().deleteMonitor(nullptr, nullptr, "KS COM Monitor"), ERROR_UNKNOWN_PRINT_MONITOR);
    putMonitorDll("KSCOMMON.DLL", "SIM-PORTS=KSCOM1:");
    ASSERT_EQ(addMonitor("KS COM Monitor", "KSCOMMON.DLL"), ERROR_SUCCESS);
    // Values the setup keeps below the monitor's key go with it.
    ASSERT_EQ(reg().setDword(std::string(kMonitorKey) + "KS COM Monitor\\Ports\\KSCOM1:", "Baud", 9600),
              ERROR_SUCCESS);
    addDriver();
    Printer p;
    p.port = "KSCOM1:";
    ASSERT_EQ(addPrinter(p), ERROR_SUCCESS);
    EXPECT_EQ(spooler().deleteMonitor(nullptr, nullptr, "KS COM Monitor"), ERROR_PRINT_MONITOR_IN_USE);
    deletePrinter(p.name);
    EXPECT_EQ(spooler().deleteMonitor(nullptr, nullptr, "KS COM Monitor"), ERROR_SUCCESS);
    EXPECT_FALSE(reg().exists(std::string(kMonitorKey) + "KS COM Monitor"));
    std::vector<std::string> left = ports();
    EXPECT_EQ(std::count(left.begin(), left.end(), "KSCOM1:"), 0);
    EXPECT_NE(machine_.log().find("Port monitor deleted: \"KS COM Monitor\""), std::string::npos);
}

TEST_F(SpoolerTest, DeleteMonitorRefusesALanguageMonitorADriverNames) {
    putMonitorDll("KSLANGMN.DLL", "");
    ASSERT_EQ(addMonitor("KS Language Monitor", "KSLANGMN.DLL"), ERROR_SUCCESS);
    Driver d;
    d.monitor = "KS Language Monitor";
    addDriver(d);
    EXPECT_EQ(spooler().deleteMonitor(nullptr, nullptr, "KS Language Monitor"), ERROR_PRINT_MONITOR_IN_USE);
}

// --- AddPrintProcessorA / DeletePrintProcessorA / EnumPrintProcessorsA ------

TEST_F(SpoolerTest, PrintProcessors) {
    const std::string key =
        "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86\\Print Processors\\KSProc";
    EXPECT_EQ(spooler().addPrintProcessor(nullptr, nullptr, "KSPROC.DLL", "KSProc"), ERROR_MOD_NOT_FOUND);
    put(std::string(kProcessorDirNt) + "\\KSPROC.DLL");
    EXPECT_EQ(spooler().addPrintProcessor(nullptr, nullptr, "KSPROC.DLL", "KSProc"), ERROR_SUCCESS);
    EXPECT_EQ(reg().string(key, "Driver"), "KSPROC.DLL");
    EXPECT_EQ(spooler().addPrintProcessor(nullptr, nullptr, "KSPROC.DLL", "KSProc"),
              ERROR_PRINT_PROCESSOR_ALREADY_INSTALLED);
    EXPECT_EQ(spooler().addPrintProcessor(nullptr, nullptr, nullptr, "KSProc"), ERROR_INVALID_PARAMETER);
    std::uint32_t needed = 0;
    std::vector<std::string> names;
    EXPECT_EQ(spooler().enumPrintProcessors1(nullptr, nullptr, 0, &needed, &names), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(needed, (4u + 7u) + (4u + 9u));
    ASSERT_EQ(spooler().enumPrintProcessors1(nullptr, "Windows NT x86", needed, &needed, &names), ERROR_SUCCESS);
    EXPECT_EQ(names, (std::vector<std::string>{"KSProc", "WinPrint"}));
    EXPECT_EQ(spooler().enumPrintProcessors1(nullptr, "Windows Alpha", 4096, &needed, &names), ERROR_INVALID_ENVIRONMENT);

    addDriver();
    Printer p;
    p.processor = "KSProc";
    ASSERT_EQ(addPrinter(p), ERROR_SUCCESS);
    EXPECT_EQ(spooler().deletePrintProcessor(nullptr, nullptr, "KSProc"), ERROR_CAN_NOT_COMPLETE);
    deletePrinter(p.name);
    EXPECT_EQ(spooler().deletePrintProcessor(nullptr, nullptr, "KSProc"), ERROR_SUCCESS);
    EXPECT_FALSE(reg().exists(key));
    EXPECT_EQ(spooler().deletePrintProcessor(nullptr, nullptr, "KSProc"), ERROR_UNKNOWN_PRINTPROCESSOR);
}

// --- GetPrinterDriverDirectoryA / GetPrintProcessorDirectoryA ----------------

TEST_F(SpoolerTest, Directories) {
    std::string dir;
    EXPECT_EQ(spooler().getPrinterDriverDirectory(nullptr, nullptr, 1, 256, &dir), ERROR_SUCCESS);
    EXPECT_EQ(dir, kDriverDirNt);
    EXPECT_EQ(spooler().getPrintProcessorDirectory(nullptr, nullptr, 1, 256, &dir), ERROR_SUCCESS);
    EXPECT_EQ(dir, kProcessorDirNt);
    EXPECT_EQ(spooler().getPrinterDriverDirectory(nullptr, "Windows 4.0", 1, 256, &dir), ERROR_SUCCESS);
    EXPECT_EQ(dir, "C:\\WINDOWS\\system32\\spool\\drivers\\win40");
    std::string untouched = "same";
    auto exact = static_cast<std::uint32_t>(std::string(kDriverDirNt).size() + 1);
    EXPECT_EQ(spooler().getPrinterDriverDirectory(nullptr, nullptr, 1, exact - 1, &untouched),
              ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(untouched, "same");
    EXPECT_EQ(spooler().getPrinterDriverDirectory(nullptr, nullptr, 1, exact, &dir), ERROR_SUCCESS);
    EXPECT_EQ(spooler().getPrinterDriverDirectory(nullptr, nullptr, 2, 256, &dir), ERROR_INVALID_LEVEL);
    EXPECT_EQ(spooler().getPrintProcessorDirectory(nullptr, "Windows IA64", 1, 256, &dir), ERROR_INVALID_ENVIRONMENT);
}

TEST_F(SpoolerTest9x, Directories) {
    std::string dir;
    EXPECT_EQ(spooler().getPrintProcessorDirectory(nullptr, nullptr, 1, 256, &dir), ERROR_SUCCESS);
    EXPECT_EQ(dir, "C:\\WINDOWS\\SYSTEM");
    // Windows 9x serves only its own environment.
    EXPECT_EQ(spooler().getPrinterDriverDirectory(nullptr, "Windows NT x86", 1, 256, &dir), ERROR_INVALID_ENVIRONMENT);
}

// --- SetDefaultPrinterA ---------------------------------------------------------

TEST_F(SpoolerTest, SetDefaultPrinterWritesWinIni) {
    EXPECT_EQ(spooler().setDefaultPrinter("Nobody"), ERROR_INVALID_PRINTER_NAME);
    addDriver();
    ASSERT_EQ(addPrinter(), ERROR_SUCCESS);
    EXPECT_EQ(spooler().setDefaultPrinter("ks-80(s)"), ERROR_SUCCESS);
    EXPECT_EQ(winIniDevice(), "KS-80(S),KS Receipt,COM1:");
    std::uint32_t needed = 0;
    std::vector<PrinterInfo5> list;
    ASSERT_EQ(spooler().enumPrinters5(PRINTER_ENUM_LOCAL, nullptr, 4096, &needed, &list), ERROR_SUCCESS);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_NE(list[0].attributes & PRINTER_ATTRIBUTE_DEFAULT, 0u);
}

TEST_F(SpoolerTestNt4, SetDefaultPrinterIsNotExported) {
    EXPECT_EQ(spooler().setDefaultPrinter("KS-80(S)"), ERROR_PROC_NOT_FOUND);
}

// --- two programs on one machine ---------------------------------------------

// The setup and the uninstaller, running at the same time, see one spooler.
TEST_F(SpoolerTest, SecondProgramSeesTheSameSpooler) {
    SimPlatformOptions o;
    o.machineDir = machine_.dir();
    o.mediumDir = DemoMediumDir();
    o.programName = "Uninstall.exe";
    std::string error;
    auto other = SimPlatform::Open(o, &error);
    ASSERT_TRUE(other) << error;

    addDriver();
    ASSERT_EQ(addPrinter(), ERROR_SUCCESS);
    Handle h = 0;
    ASSERT_EQ(other->spooler().openPrinter("KS-80(S)", PRINTER_ALL_ACCESS, &h), ERROR_SUCCESS);
    EXPECT_EQ(other->spooler().deletePrinter(h), ERROR_SUCCESS);
    other->spooler().closePrinter(h);
    EXPECT_EQ(spooler().openPrinter("KS-80(S)", PRINTER_ALL_ACCESS, &h), ERROR_INVALID_PRINTER_NAME);

    Handle manager = 0, service = 0;
    ASSERT_EQ(other->services().openSCManager(nullptr, SC_MANAGER_ALL_ACCESS, &manager), ERROR_SUCCESS);
    ASSERT_EQ(other->services().openService(manager, "Spooler", SERVICE_STOP, &service), ERROR_SUCCESS);
    ASSERT_EQ(other->services().controlService(service, SERVICE_CONTROL_STOP, nullptr), ERROR_SUCCESS);
    std::string dir;
    EXPECT_EQ(spooler().getPrinterDriverDirectory(nullptr, nullptr, 1, 256, &dir), RPC_S_SERVER_UNAVAILABLE);
    other->services().closeServiceHandle(service);
    other->services().closeServiceHandle(manager);
}

// --- a stopped spooler -------------------------------------------------------

TEST_F(SpoolerTest, StoppedSpoolerAnswersNothing) {
    addDriver();
    ASSERT_EQ(addPrinter(), ERROR_SUCCESS);
    Handle h = open("KS-80(S)");
    machine_.state().set("Spooler", "State", "stopped");
    std::uint32_t n = 0;
    std::string s;
    std::vector<std::string> names;
    std::vector<PrinterInfo5> printers;
    PrinterInfo2 info;
    Driver d;
    Printer p;
    MONITOR_INFO_2 m{const_cast<char*>("M"), nullptr, const_cast<char*>("M.DLL")};
    Handle h2 = 0;
    struct Case {
        const char* call;
        std::function<Err()> run;
    } cases[] = {
        {"AddPrinterDriver", [&] { return spooler().addPrinterDriver(nullptr, 3, d.info()); }},
        {"DeletePrinterDriver", [&] { return spooler().deletePrinterDriver(nullptr, nullptr, "KS Receipt"); }},
        {"DeletePrinterDriverEx", [&] { return spooler().deletePrinterDriverEx(nullptr, nullptr, "KS Receipt", 1, 0); }},
        {"AddPrinter", [&] { return spooler().addPrinter(nullptr, 2, p.info(), &h2); }},
        {"OpenPrinter", [&] { return spooler().openPrinter("KS-80(S)", PRINTER_ALL_ACCESS, &h2); }},
        {"GetPrinter", [&] { return spooler().getPrinter2(h, 4096, &n, &info); }},
        {"SetPrinter", [&] { return spooler().setPrinter2(h, info); }},
        {"DeletePrinter", [&] { return spooler().deletePrinter(h); }},
        {"EnumPrinters", [&] { return spooler().enumPrinters5(PRINTER_ENUM_LOCAL, nullptr, 4096, &n, &printers); }},
        {"EnumPorts", [&] { return spooler().enumPorts1(nullptr, 4096, &n, &names); }},
        {"EnumMonitors", [&] { return spooler().enumMonitors1(nullptr, 4096, &n, &names); }},
        {"EnumPrintProcessors", [&] { return spooler().enumPrintProcessors1(nullptr, nullptr, 4096, &n, &names); }},
        {"AddMonitor", [&] { return spooler().addMonitor(nullptr, 2, m); }},
        {"DeleteMonitor", [&] { return spooler().deleteMonitor(nullptr, nullptr, "Local Port"); }},
        {"AddPrintProcessor", [&] { return spooler().addPrintProcessor(nullptr, nullptr, "P.DLL", "P"); }},
        {"DeletePrintProcessor", [&] { return spooler().deletePrintProcessor(nullptr, nullptr, "WinPrint"); }},
        {"GetPrinterDriverDirectory", [&] { return spooler().getPrinterDriverDirectory(nullptr, nullptr, 1, 256, &s); }},
        {"GetPrintProcessorDirectory", [&] { return spooler().getPrintProcessorDirectory(nullptr, nullptr, 1, 256, &s); }},
        {"SetDefaultPrinter", [&] { return spooler().setDefaultPrinter("KS-80(S)"); }},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.run(), RPC_S_SERVER_UNAVAILABLE) << c.call;
    }
    EXPECT_TRUE(reg().exists(std::string(kPrinterKey) + "KS-80(S)"));
    // ClosePrinter still releases the handle.
    EXPECT_EQ(spooler().closePrinter(h), RPC_S_SERVER_UNAVAILABLE);
    machine_.state().set("Spooler", "State", "running");
    EXPECT_EQ(spooler().closePrinter(h), ERROR_INVALID_HANDLE);
}

}  // namespace
}  // namespace plat::sim
