// The installation sequence end to end on simulated machines: every Windows
// class and port kind, component upgrades, and every failure it reports.
#include "setup/engine/run_installation.h"

#include <gtest/gtest.h>

#include <cctype>
#include <functional>

#include "setup/engine/components.h"
#include "setup/engine/engine_test_fixture.h"

namespace setup::test {
namespace {

// Runs the sequence on its worker thread as the Install command does and
// returns the status it left.
std::int32_t RunWorker(InstallSelection& selection) {
    std::atomic<std::int32_t> status{kInstallRunning};
    InstallThreadArgs args{&selection, &status};
    std::thread worker = StartInstallation(&args);
    worker.join();
    return status.load(std::memory_order_acquire);
}

// The port of a second installation: a USB printer's name cannot be
// numbered, so it goes on the next USB port.
const char* SecondPort(const char* port) { return PortKindOf(port) == 2 ? "USB_TP100_2" : port; }


std::string DefaultPrinter(EngineMachine& m) {
    return m.sys().profile().getProfileString("windows", "device", "", 512);
}

struct PortCase {
    const char* port;
    bool languageMonitor;
    const char* printerSuffix;
};

const PortCase kPorts[] = {
    {"LPT1:", true, "(P)"},
    {"COM1:", true, "(S)"},
    {"KSCOM2:", true, "(S)"},
    {"USB_TP100_1", true, "(U) 1"},
    {"USB_TP100_1", false, "(U) 1"},
};

class EndToEnd : public ::testing::TestWithParam<std::tuple<int, int>> {};

// After the run the machine holds the driver, the printer under its name on
// the port, the monitors and processor with their versions, the files, the
// serial settings and the default printer; resultText holds the final text.
TEST_P(EndToEnd, InstallsEverything) {
    const int os = std::get<0>(GetParam());
    const PortCase& pc = kPorts[std::get<1>(GetParam())];
    const bool usb = PortKindOf(pc.port) == 2;
    const bool com = PortKindOf(pc.port) == 0;
    if (os == 1 && usb) GTEST_SKIP() << "the Install command refuses USB on NT 4.0";
    if (os == 0 && std::strstr(pc.port, "KSCOM")) GTEST_SKIP() << "no COM port monitor on 98/Me";

    MediumOptions options;
    options.languageMonitor = pc.languageMonitor;
    EngineMedium medium(options);
    EngineMachine m(kOsPresets[os], medium);
    InstallSelection s;
    FillSelection(s, os, pc.port);

    ASSERT_EQ(RunWorker(s), kInstallSucceeded) << resultText << "\n" << m.machine().show();
    const std::string printer = std::string(kModel) + pc.printerSuffix;
    EXPECT_STREQ(s.modelName, printer.c_str());
    if (os == 0) {
        EXPECT_EQ(resultText, "");
    } else {
        EXPECT_EQ(resultText, usb ? "<IDS_INF_USBRESTART>" : "<IDS_INF_NTRESTART>");
    }

    // The printer on its port with its driver, and the default printer.
    plat::Handle h = 0;
    ASSERT_EQ(m.sys().spooler().openPrinter(printer.c_str(), 0, &h), 0u) << m.machine().show();
    plat::PrinterInfo2 info;
    std::uint32_t needed = 0;
    m.sys().spooler().getPrinter2(h, 0, &needed, &info);
    ASSERT_EQ(m.sys().spooler().getPrinter2(h, needed, &needed, &info), 0u);
    m.sys().spooler().closePrinter(h);
    EXPECT_EQ(info.portName, pc.port);
    EXPECT_EQ(info.driverName, kDriverName);
    EXPECT_EQ(info.printProcessor, kProcessor);
    EXPECT_EQ(DefaultPrinter(m).substr(0, printer.size() + 1), printer + ",") << m.machine().show();

    // Files where the driver and the spooler expect them.
    for (const char* file : {"TPUI.DLL", "TP100.GPD", "TPDRV.DLL", "TPDRV.HLP", "TPOEM.DLL", "TPOEM.INI"}) {
        EXPECT_TRUE(m.exists(JoinPath(m.driverDir(), file))) << file;
    }
    EXPECT_TRUE(m.exists(JoinPath(m.driverDir(), "3\\TPFONT.TTF")));
    EXPECT_TRUE(m.exists(JoinPath(m.processorDir(), "TPPROC.DLL")));
    if (os >= 2) {
        for (const char* file : {"TTFSUB.GPD", "STDNAMES.GPD", "UNIRES.DLL"}) {
            EXPECT_TRUE(m.exists(JoinPath(m.driverDir(), file))) << file;
        }
    }

    // Components and their versions.
    std::uint32_t version = 0;
    EXPECT_TRUE(m.dword(ProcessorKeyPath(os, kProcessor), "DriverVersion", &version));
    EXPECT_EQ(version, 4u);
    const bool comMonitor = com && os != 0;
    auto monitorVersion = [&m](const char* name) -> std::uint32_t {
        std::uint32_t v = 0;
        return m.dword(MonitorKeyPath(name), "DriverVersion", &v) ? v : 0;
    };
    EXPECT_EQ(monitorVersion(kComMonitor), comMonitor ? 3u : 0u);
    EXPECT_EQ(monitorVersion(kUsbMonitor), usb ? 5u : 0u);
    EXPECT_EQ(monitorVersion(kLangMonitor), usb && pc.languageMonitor ? 12u : 0u);

    // Serial settings of the COM port (the maker's KSCOM2: sets COM2:).
    if (com) {
        const char* comPort = std::strstr(pc.port, "COM");
        const std::string settings = "19200,e,7,2,x";
        if (os == 0) {
            EXPECT_EQ(m.sys().profile().getProfileString("Ports", comPort, "", 100), settings);
        } else {
            EXPECT_EQ(m.string("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports", comPort), settings);
        }
        EXPECT_EQ(s.parity, 'e');
    }
    if (usb) {
        EXPECT_TRUE(m.dword("SOFTWARE\\KESTRAN\\PRINTERPORT\\", kUsbPort, &version));
        EXPECT_EQ(version, 0u);
    }
    // A first installation replaces nothing: the spooler keeps running.
    EXPECT_EQ(CountOf(m.machine().log(), "Spooler stopped"), 0);
}

INSTANTIATE_TEST_SUITE_P(AllWindowsAndPorts, EndToEnd,
                         ::testing::Combine(::testing::Range(0, 8), ::testing::Range(0, 5)),
                         [](const auto& info) {
                             const PortCase& pc = kPorts[std::get<1>(info.param)];
                             std::string name = std::string("os") + kOsPresets[std::get<0>(info.param)] +
                                                "_" + pc.port + (pc.languageMonitor ? "" : "_noLangMon");
                             for (char& c : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             }
                             return name;
                         });

// The way the progress dialog watches the worker: it polls the status
// with acquire loads, and once the status is set the result text is
// complete, before the worker thread has been joined.
TEST(RunInstallation, StatusPublishesTheResultText) {
    EngineMedium medium;
    EngineMachine m("win7", medium);
    InstallSelection s;
    FillSelection(s, 7, "COM1:");
    std::atomic<std::int32_t> status{kInstallRunning};
    InstallThreadArgs args{&s, &status};
    std::thread worker = StartInstallation(&args);
    std::int32_t seen = kInstallRunning;
    while ((seen = status.load(std::memory_order_acquire)) == kInstallRunning) std::this_thread::yield();
    EXPECT_EQ(seen, kInstallSucceeded);
    EXPECT_EQ(resultText, "<IDS_INF_NTRESTART>");
    EXPECT_STREQ(s.modelName, "TP-100(S)");
    worker.join();
}

// A second installation of the same model on a parallel port numbers the
// printer, and the numbered one becomes the default printer.
TEST(RunInstallation, TakenNameIsNumberedAndMadeDefault) {
    EngineMedium medium;
    EngineMachine m("xp", medium);
    for (const char* expected : {"TP-100(P)", "TP-100(P)(1)", "TP-100(P)(2)"}) {
        InstallSelection s;
        FillSelection(s, 3, "LPT1:");
        ASSERT_EQ(RunWorker(s), kInstallSucceeded) << resultText;
        EXPECT_STREQ(s.modelName, expected);
        EXPECT_EQ(DefaultPrinter(m).substr(0, std::strlen(expected) + 1), std::string(expected) + ",");
    }
}

// One outdated component per run is replaced with the spooler stopped and
// started around it on the NT family; on 98/Me the spooler is left alone.
struct UpgradeCase {
    const char* name;
    int os;
    const char* port;
    std::string key;
    const char* dll;
    std::uint32_t newVersion;
    bool writesDriver;
    bool stopsSpooler;   // the language monitor is replaced with the spooler running
};

void PrintTo(const UpgradeCase& c, std::ostream* os) { *os << c.name; }

class Upgrade : public ::testing::TestWithParam<UpgradeCase> {};

TEST_P(Upgrade, ReplacesTheOutdatedComponent) {
    const UpgradeCase& c = GetParam();
    EngineMedium medium;
    EngineMachine m(kOsPresets[c.os], medium);
    {
        InstallSelection first;
        FillSelection(first, c.os, c.port);
        ASSERT_EQ(RunWorker(first), kInstallSucceeded) << resultText;
    }
    m.setDword(c.key, "DriverVersion", 1);
    const std::string dllDir = std::string(c.dll) == "TPPROC.DLL" ? m.processorDir() : m.systemDir();
    medium.write(std::string("W32\\") + c.dll, FileContent(c.dll, "v2"));
    const std::string logBefore = m.machine().log();
    const std::uint64_t sleptBefore = m.machine().sleptMs();

    InstallSelection s;
    FillSelection(s, c.os, SecondPort(c.port));
    ASSERT_EQ(RunWorker(s), kInstallSucceeded) << resultText << m.machine().show();

    std::uint32_t version = 0;
    EXPECT_TRUE(m.dword(c.key, "DriverVersion", &version));
    EXPECT_EQ(version, c.newVersion);
    EXPECT_EQ(m.readFile(JoinPath(dllDir, c.dll)), FileContent(c.dll, "v2"));
    const std::string log = m.machine().log().substr(logBefore.size());
    const std::uint64_t slept = m.machine().sleptMs() - sleptBefore;
    if (!c.stopsSpooler) {
        EXPECT_EQ(CountOf(log, "Spooler stopped"), 0) << log;
        EXPECT_EQ(slept, 0u);
    } else {
        EXPECT_EQ(CountOf(log, "Spooler stopped"), 1) << log;
        EXPECT_EQ(CountOf(log, "Spooler started"), 1) << log;
        EXPECT_LT(log.find("Spooler stopped"), log.find("Spooler started"));
        // 100 after the stop control, 500 before the files, and the pause
        // after the start that the Windows version needs.
        const std::uint64_t afterStart = c.os <= 2 ? 1000 : c.os <= 4 ? 2500 : 0;
        EXPECT_EQ(slept, 600 + afterStart);
    }
    if (c.writesDriver) {
        EXPECT_EQ(m.string(c.key, "Driver"), c.dll);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Components, Upgrade,
    ::testing::Values(
        UpgradeCase{"ComMonitorXp", 3, "COM1:", MonitorKeyPath(kComMonitor), "TCOMMON.DLL", 3, false, true},
        UpgradeCase{"ComMonitorNt4", 1, "KSCOM1:", MonitorKeyPath(kComMonitor), "TCOMMON.DLL", 3, false, true},
        UpgradeCase{"UsbMonitorVista", 5, "USB_TP100_1", MonitorKeyPath(kUsbMonitor), "TUSBMON.DLL", 5, true, true},
        UpgradeCase{"Processor2000", 2, "LPT1:", ProcessorKeyPath(2, kProcessor), "TPPROC.DLL", 4, false, true},
        UpgradeCase{"ProcessorWin7", 7, "LPT1:", ProcessorKeyPath(7, kProcessor), "TPPROC.DLL", 4, false, true},
        UpgradeCase{"LanguageMonitor2003", 4, "USB_TP100_1", MonitorKeyPath(kLangMonitor), "TLANGMON.DLL", 12, true, false},
        UpgradeCase{"UsbMonitor98", 0, "USB_TP100_1", MonitorKeyPath(kUsbMonitor), "TUSBMON.DLL", 5, true, false},
        UpgradeCase{"Processor98", 0, "LPT1:", ProcessorKeyPath(0, kProcessor), "TPPROC.DLL", 4, true, false}),
    [](const auto& info) { return std::string(info.param.name); });

// A spooler still stopped after the wait is started once more, and the
// installation goes on after a further 2500 ms.
TEST(RunInstallation, SpoolerStartedAgainWhenStillStopped) {
    EngineMedium medium;
    EngineMachine m("xp", medium);
    {
        InstallSelection first;
        FillSelection(first, 3, "COM1:");
        ASSERT_EQ(RunWorker(first), kInstallSucceeded) << resultText;
    }
    m.setDword(MonitorKeyPath(kComMonitor), "DriverVersion", 1);
    m.machine().failCall("services.startService", 1, ERROR_SERVICE_REQUEST_TIMEOUT);
    const std::uint64_t before = m.machine().sleptMs();
    InstallSelection s;
    FillSelection(s, 3, "COM1:");
    ASSERT_EQ(RunWorker(s), kInstallSucceeded) << resultText;
    EXPECT_EQ(resultText, "<IDS_INF_NTRESTART>");
    // stop 100 + 500, after the start 2500, ten queries 3000, again 2500
    EXPECT_EQ(m.machine().sleptMs() - before, 600u + 2500u + 3000u + 2500u);
    EXPECT_EQ(m.state().get("Spooler", "State", "running"), "running");
}

// With the COM monitor and the processor both outdated, one run replaces
// only the monitor; the next run the processor.
TEST(RunInstallation, OneUpgradePerRun) {
    EngineMedium medium;
    EngineMachine m("xp", medium);
    auto run = [&] {
        InstallSelection s;
        FillSelection(s, 3, "COM1:");
        EXPECT_EQ(RunWorker(s), kInstallSucceeded) << resultText;
    };
    run();
    m.setDword(MonitorKeyPath(kComMonitor), "DriverVersion", 1);
    m.setDword(ProcessorKeyPath(3, kProcessor), "DriverVersion", 1);
    run();
    std::uint32_t com = 0, processor = 0;
    m.dword(MonitorKeyPath(kComMonitor), "DriverVersion", &com);
    m.dword(ProcessorKeyPath(3, kProcessor), "DriverVersion", &processor);
    EXPECT_EQ(com, 3u);
    EXPECT_EQ(processor, 1u);
    run();
    m.dword(ProcessorKeyPath(3, kProcessor), "DriverVersion", &processor);
    EXPECT_EQ(processor, 4u);
}

// A monitor DLL held open by the spooler is written as "n" + name, and the
// monitor's key points the spooler to it.
TEST(RunInstallation, HeldMonitorDllGoesInUnderTheNName) {
    for (int os : {3, 0}) {
        SCOPED_TRACE(kOsPresets[os]);
        EngineMedium medium;
        EngineMachine m(kOsPresets[os], medium);
        {
            InstallSelection first;
            FillSelection(first, os, "USB_TP100_1");
            ASSERT_EQ(RunWorker(first), kInstallSucceeded) << resultText;
        }
        m.setDword(MonitorKeyPath(kUsbMonitor), "DriverVersion", 1);
        m.hold(JoinPath(m.systemDir(), "TUSBMON.DLL"));
        medium.write("W32\\TUSBMON.DLL", FileContent("TUSBMON.DLL", "v2"));

        InstallSelection s;
        FillSelection(s, os, "USB_TP100_2");
        ASSERT_EQ(RunWorker(s), kInstallSucceeded) << resultText << m.machine().show();
        EXPECT_EQ(m.string(MonitorKeyPath(kUsbMonitor), "Driver"), "nTUSBMON.DLL");
        EXPECT_EQ(m.readFile(JoinPath(m.systemDir(), "nTUSBMON.DLL")), FileContent("TUSBMON.DLL", "v2"));
        EXPECT_EQ(m.readFile(JoinPath(m.systemDir(), "TUSBMON.DLL")), FileContent("TUSBMON.DLL"));
    }
}

// A COM monitor replaced under the "n" name is pointed back at its own
// name by the next replacement, so the spooler loads the newest DLL.
TEST(RunInstallation, ComMonitorReturnsFromTheNName) {
    EngineMedium medium;
    EngineMachine m("xp", medium);
    const std::string key = MonitorKeyPath(kComMonitor);
    const std::string dll = JoinPath(m.systemDir(), "TCOMMON.DLL");
    auto upgrade = [&](const std::string& mark) {
        m.setDword(key, "DriverVersion", 1);
        medium.write("W32\\TCOMMON.DLL", FileContent("TCOMMON.DLL", mark));
        InstallSelection s;
        FillSelection(s, 3, "COM1:");
        EXPECT_EQ(RunWorker(s), kInstallSucceeded) << resultText;
    };
    {
        InstallSelection first;
        FillSelection(first, 3, "COM1:");
        ASSERT_EQ(RunWorker(first), kInstallSucceeded) << resultText;
    }
    EXPECT_EQ(m.string(key, "Driver"), "TCOMMON.DLL");
    m.hold(dll);
    upgrade("v2");
    EXPECT_EQ(m.string(key, "Driver"), "nTCOMMON.DLL");
    m.state().setSection("HeldFiles", {});
    upgrade("v3");
    EXPECT_EQ(m.string(key, "Driver"), "TCOMMON.DLL");
    EXPECT_EQ(m.readFile(dll), FileContent("TCOMMON.DLL", "v3"));
}

// Every failure the sequence reports: its text, status 1, no crash.
struct FailureCase {
    const char* name;
    int os;
    const char* port;
    MediumOptions medium;
    std::function<void(EngineMachine&, EngineMedium&)> arrange;
    std::string expected;     // the whole text, or its beginning with `prefixOnly`
    bool prefixOnly;
    bool secondRun = false;   // `arrange` installed once already
    bool spoolerLeftStopped = false;
};

void InstallFirst(EngineMachine& m, int os, const char* port) {
    InstallSelection s;
    FillSelection(s, os, port);
    ASSERT_EQ(RunWorker(s), kInstallSucceeded) << resultText;
}

MediumOptions WithDriverPath(const char* path) {
    MediumOptions o;
    o.driverPath = path;
    return o;
}
MediumOptions WithDataFileDll(const char* name) {
    MediumOptions o;
    o.dataFileDll = name;
    return o;
}
MediumOptions WithWinPrint() {
    MediumOptions o;
    o.processor = "WinPrint";
    return o;
}

std::vector<FailureCase> FailureCases() {
    auto fail = [](const char* op, int nth, plat::Err err, const char* arg = "") {
        return [=](EngineMachine& m, EngineMedium&) { m.machine().failCall(op, nth, err, arg); };
    };
    auto outdated = [](int os, const char* port, std::string key) {
        return [=](EngineMachine& m, EngineMedium&) {
            InstallFirst(m, os, port);
            m.setDword(key, "DriverVersion", 1);
        };
    };
    const std::string denied = "\nAccess is denied.";
    return {
        {"MonitorRefused", 3, "COM1:", {}, fail("spooler.addMonitor", 1, ERROR_ACCESS_DENIED),
         "<IDS_ERR_ADDMONITOR>" + denied, true},
        {"LanguageMonitorRefused", 3, "USB_TP100_1", {},
         fail("spooler.addMonitor", 1, ERROR_ACCESS_DENIED, "Language"), "<IDS_ERR_ADDMONITOR>" + denied, true},
        {"ProcessorRefused", 3, "LPT1:", {}, fail("spooler.addPrintProcessor", 1, ERROR_INVALID_PARAMETER),
         "<IDS_ERR_ADDPROCESSOR>", false},
        {"ProcessorAlreadyThere", 5, "LPT1:", {},
         fail("spooler.addPrintProcessor", 1, ERROR_PRINT_PROCESSOR_ALREADY_INSTALLED), "<IDS_ERR_ADDPROCESSOR>",
         false},
        {"ProcessorDirectoryInUpgrade", 3, "LPT1:", {},
         [=](EngineMachine& m, EngineMedium& md) {
             outdated(3, "LPT1:", ProcessorKeyPath(3, kProcessor))(m, md);
             m.machine().failCall("spooler.getPrintProcessorDirectory", 1, ERROR_INVALID_HANDLE);
         },
         "<IDS_ERR_GETPRODIR>", false},
        {"CurrentDirectoryInUpgrade", 3, "LPT1:", {},
         [=](EngineMachine& m, EngineMedium& md) {
             outdated(3, "LPT1:", ProcessorKeyPath(3, kProcessor))(m, md);
             m.machine().failCall("files.getCurrentDirectory", 1, ERROR_INVALID_HANDLE);
         },
         "<IDS_ERR_GETCURDIR>", false},
        {"ProcessorCopyInUpgrade", 3, "LPT1:", {},
         [=](EngineMachine& m, EngineMedium& md) {
             outdated(3, "LPT1:", ProcessorKeyPath(3, kProcessor))(m, md);
             m.machine().failCall("files.copyFile", 1, ERROR_PATH_NOT_FOUND, "TPPROC");
         },
         "<IDS_ERR_COPYFIEL>D:\\W32\\TPPROC.DLL", false},
        {"MonitorCopyInUpgrade", 3, "COM1:", {},
         [=](EngineMachine& m, EngineMedium& md) {
             outdated(3, "COM1:", MonitorKeyPath(kComMonitor))(m, md);
             m.machine().failCall("files.copyFile", 1, ERROR_PATH_NOT_FOUND, "TCOMMON");
         },
         "<IDS_ERR_COPYFIEL>TCOMMON.DLL\nThe system cannot find the path specified.", true},
        {"InUseTwiceOn98", 0, "USB_TP100_1", {},
         [=](EngineMachine& m, EngineMedium& md) {
             outdated(0, "USB_TP100_1", MonitorKeyPath(kUsbMonitor))(m, md);
             // An earlier replacement left the "n" file, and the spooler holds both.
             m.sys().files().writeFile(JoinPath(m.systemDir(), "nTUSBMON.DLL"), "old");
             m.hold(JoinPath(m.systemDir(), "TUSBMON.DLL"));
             m.hold(JoinPath(m.systemDir(), "nTUSBMON.DLL"));
         },
         "<IDS_ERR_NEEDRESTART>", false, true},
        {"SpoolerStaysStartPending", 3, "COM1:", {},
         [=](EngineMachine& m, EngineMedium& md) {
             outdated(3, "COM1:", MonitorKeyPath(kComMonitor))(m, md);
             m.state().set("Spooler", "StartPendingQueries", "20");
         },
         "StartSpoolService error", false},
        {"SpoolerRefusesToStart", 3, "COM1:", {},
         [=](EngineMachine& m, EngineMedium& md) {
             outdated(3, "COM1:", MonitorKeyPath(kComMonitor))(m, md);
             m.machine().failAlways("services.startService", ERROR_SERVICE_DISABLED);
         },
         "Start spool service error, error code = 1058", false, false, true},
        {"PortListUnreadable", 3, "USB_TP100_1", {}, fail("spooler.enumPorts1", 2, ERROR_INVALID_HANDLE),
         "<IDS_ERR_ALLOCMEMORY>\nThe handle is invalid.", true},
        {"PortListNoMemory", 3, "USB_TP100_1", {}, fail("system.allocate", 1, ERROR_NOT_ENOUGH_MEMORY),
         "<IDS_ERR_ALLOCMEMORY>", false},
        {"DriverPathEmpty", 3, "LPT1:", WithDriverPath(""), nullptr, "<IDS_ERR_LOSTDRIVERFILE>", false},
        {"DdkWithoutDataFileDll", 3, "LPT1:", WithDataFileDll(""), nullptr, "<IDS_ERR_LOSTDRIVERFILE>", false},
        {"DriverFileCopyFailed", 3, "LPT1:", {}, fail("files.copyFile", 1, ERROR_PATH_NOT_FOUND, "TP100.GPD"),
         "<IDS_ERR_COPYFIEL>TP100.GPD\nThe system cannot find the path specified.", true},
        {"DriverFileInUse", 3, "LPT1:", {},
         [](EngineMachine& m, EngineMedium&) {
             InstallFirst(m, 3, "LPT1:");
             m.hold(JoinPath(m.driverDir(), "TPDRV.DLL"));
         },
         "<IDS_ERR_COPYFIEL>TPDRV.DLL\nThe process cannot access the file", true},
        {"DriverDirectory", 3, "LPT1:", {}, fail("spooler.getPrinterDriverDirectory", 1, ERROR_INVALID_HANDLE),
         "<IDS_ERR_GETDRIVERDIR>", false},
        {"SystemDirectory", 3, "LPT1:", {}, fail("files.getSystemDirectory", 1, ERROR_INVALID_HANDLE),
         "<IDS_ERR_GETSYSDIR>", false},
        {"CurrentDirectory", 3, "LPT1:", WithWinPrint(), fail("files.getCurrentDirectory", 1, ERROR_INVALID_HANDLE),
         "<IDS_ERR_GETCURDIR>", false},
        {"Dmcolor98", 0, "LPT1:",
         [] {
             MediumOptions o;
             o.model = "QPX-T510";
             return o;
         }(),
         fail("files.copyFile", 1, ERROR_PATH_NOT_FOUND, "DMCOLOR"),
         "<IDS_ERR_COPYFIEL>DMCOLOR.DLL\nThe system cannot find the path specified.", true},
        // A text EnsureSystemDriverFiles leaves is seen by the language
        // monitor's upgrade.
        {"NoSystemFilesSeenByLanguageMonitor", 5, "USB_TP100_1", {},
         [=](EngineMachine& m, EngineMedium& md) {
             outdated(5, "USB_TP100_1", MonitorKeyPath(kLangMonitor))(m, md);
             for (const char* f : {"TTFSUB.GPD", "STDNAMES.GPD", "UNIRES.DLL"}) {
                 m.sys().files().deleteFile(JoinPath(m.driverDir(), f));
             }
             m.machine().failAlways("files.findFirstFile", ERROR_FILE_NOT_FOUND, "ntprint");
         },
         "Couldn't find system files.\nThe system cannot find the file specified.", true, true},
        {"SearchHandleSeenByLanguageMonitor", 6, "USB_TP100_1", {},
         [=](EngineMachine& m, EngineMedium& md) {
             outdated(6, "USB_TP100_1", MonitorKeyPath(kLangMonitor))(m, md);
             m.sys().files().deleteFile(JoinPath(m.driverDir(), "UNIRES.DLL"));
             m.machine().failAlways("files.findClose", ERROR_INVALID_HANDLE);
         },
         "Couldn't close search handle.", false, true},
        {"DriverRefused", 3, "LPT1:", {}, fail("spooler.addPrinterDriver", 1, ERROR_FILE_NOT_FOUND),
         "<IDS_ERR_ADDPRNDRV3>\nThe system cannot find the file specified.", true},
        {"PrinterRefused", 3, "LPT1:", {}, fail("spooler.addPrinter", 1, ERROR_ACCESS_DENIED),
         "<IDS_ERR_ADDPRINTER>" + denied, true},
        {"UsbNameTaken", 5, "USB_TP100_1", {},
         [](EngineMachine& m, EngineMedium&) { InstallFirst(m, 5, "USB_TP100_1"); }, "<IDS_ERR_TOOMANY>", false},
        {"AllNumberedNamesTaken", 3, "COM1:", {},
         [](EngineMachine& m, EngineMedium&) {
             m.machine().failAlways("spooler.addPrinter", ERROR_PRINTER_ALREADY_EXISTS);
         },
         "<IDS_ERR_TOOMANY>", false},
    };
}

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class Failure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(Failure, EndsWithItsText) {
    const FailureCase& c = GetParam();
    EngineMedium medium(c.medium);
    EngineMachine m(kOsPresets[c.os], medium);
    if (c.arrange) c.arrange(m, medium);
    if (HasFatalFailure()) return;
    InstallSelection s;
    FillSelection(s, c.os, c.secondRun ? SecondPort(c.port) : c.port, c.medium.model);
    EXPECT_EQ(RunWorker(s), kInstallFailed) << m.machine().show();
    if (c.prefixOnly) {
        EXPECT_EQ(resultText.substr(0, c.expected.size()), c.expected) << resultText;
    } else {
        EXPECT_EQ(resultText, c.expected);
    }
    // A failure while components were replaced still leaves the spooler
    // running, unless it refuses to start at all.
    EXPECT_EQ(m.state().get("Spooler", "State", "running"), c.spoolerLeftStopped ? "stopped" : "running");
    m.machine().clearFaults();
}

INSTANTIATE_TEST_SUITE_P(Table, Failure, ::testing::ValuesIn(FailureCases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace setup::test
