#include "uninstall/removal.h"

#include <gtest/gtest.h>

#include "uninstall/uninstall_list.h"
#include "uninstall/uninstall_test_fixture.h"

namespace uninstall {
namespace {

using test::FakeView;
using test::FileThere;
using test::KeyThere;
using test::Machine;
using Lines = std::vector<std::string>;

constexpr const char* kMonitorsKey = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\";
constexpr const char* kProcessorsKey =
    "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86\\Print Processors\\";

int Count(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

// The items of the dialog as the start-up fills them, checked or not.
void FillView(FakeView& view, bool checked) {
    for (const std::string& item : UninstallList(State().listPath, State().osClass).Items()) {
        view.Add(item, checked);
    }
}

bool DriverInstalled(const std::string& name) {
    const std::string print = "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\";
    for (const char* folder : {"Windows NT x86\\Drivers\\Version-3\\", "Windows NT x86\\Drivers\\Version-2\\",
                               "Windows 4.0\\Drivers\\"}) {
        if (KeyThere(print + folder + name)) return true;
    }
    return false;
}

// Runs the removal and answers the virtual time it paused.
std::uint64_t RunTimed(Machine& machine, FakeView& view) {
    std::uint64_t before = machine->sleptMs();
    RunRemoval(view);
    return machine->sleptMs() - before;
}

// --- The whole run -----------------------------------------------------------------

TEST(RunRemoval, RemovesEveryCheckedComponentWithItsKeysAndFiles) {
    Machine machine("xp");
    test::InstallComponents(true);
    test::InstallDriver(test::kRasterDriver, test::kLangMonitor);
    test::AddPrinter("Kitchen", "KSCOM1:", test::kRasterDriver, test::kProcessor);
    FakeView view;
    FillView(view, true);
    ASSERT_EQ(view.Texts(), (Lines{"Kitchen", test::kComMonitor, test::kLangMonitor, test::kUsbMonitor,
                                   test::kProcessor}));

    std::uint64_t slept = RunTimed(machine, view);

    EXPECT_EQ(view.log, (Lines{
                            "Removing the printer Kitchen ...",
                            "Kitchen has been removed.",
                            "Removing the driver of Kitchen ...",
                            "The printer driver has been removed.",
                            "Removing Kestran COM Port ...",
                            "Kestran COM Port has been removed.",
                            "Removing Kestran Language Monitor ...",
                            "Kestran Language Monitor has been removed.",
                            "Removing Kestran USB Port ...",
                            "Kestran USB Port has been removed.",
                            "Removing QPXPrint ...",
                            "QPXPrint has been removed.",
                        }));
    EXPECT_TRUE(view.items.empty());
    EXPECT_EQ(view.restartOffers, 1);
    // Five positions of 500 ms; the printer 100 + restart 2000 + 1000 +
    // driver 100 + 1000; three monitors and the processor restart 2000 + 500.
    EXPECT_EQ(slept, 5 * 500u + 4200u + 4 * 2500u);
    EXPECT_EQ(Count(machine->log(), "Service Spooler stopped"), 5);

    std::string system = test::SystemDir();
    for (const char* file : {"KSCOMMON.DLL", "KSCOMUI.DLL", "KSUSBMON.DLL", "KSUSBUI.DLL", "KSLANGMN.DLL"}) {
        EXPECT_FALSE(FileThere(system + "\\" + file)) << file;
    }
    EXPECT_FALSE(FileThere(test::ProcessorDir() + "\\QPXPROC.DLL"));
    EXPECT_FALSE(FileThere(test::DriverDir() + "\\3\\QPXDRV.DLL"));
    for (const char* key : {"SOFTWARE\\KESTRAN\\PORTNAME", "SOFTWARE\\KESTRAN\\INSTALLPRINTER"}) {
        EXPECT_FALSE(KeyThere(key)) << key;
    }
    EXPECT_FALSE(KeyThere(std::string(kMonitorsKey) + test::kUsbMonitor));
    EXPECT_FALSE(KeyThere(std::string(kProcessorsKey) + test::kProcessor));
    EXPECT_TRUE(KeyThere(std::string(kMonitorsKey) + "Local Port"));
    // The list is empty: only Exit comes back.
    EXPECT_EQ(view.enabled, (std::map<int, bool>{{kIdUninstall, false}, {kIdItems, false},
                                                 {kIdSelectAll, false}, {kIdExit, true},
                                                 {kIdUsbCheck, false}}));
}

TEST(RunRemoval, NothingCheckedOnlyPausesAndReturnsToIdle) {
    Machine machine("xp");
    test::InstallComponents(false);
    FakeView view;
    FillView(view, false);
    ASSERT_EQ(view.items.size(), 3u);
    EXPECT_EQ(RunTimed(machine, view), 1500u);
    EXPECT_EQ(view.items.size(), 3u);
    EXPECT_EQ(view.log, (Lines{"Check the items to remove, then press Uninstall."}));
    EXPECT_EQ(view.restartOffers, 0);
    EXPECT_EQ(view.reclassified, 1);
    EXPECT_EQ(view.enabled, (std::map<int, bool>{{kIdUninstall, true}, {kIdItems, true},
                                                 {kIdSelectAll, true}, {kIdExit, true},
                                                 {kIdUsbCheck, true}}));
    EXPECT_EQ(Count(machine->log(), "Service Spooler stopped"), 0);
}

TEST(RunRemoval, AdjacentCheckedItemsAreBothRemoved) {
    Machine machine("xp");
    test::InstallComponents(false);
    test::InstallDriver(test::kRasterDriver);
    for (const char* name : {"A", "B", "C"}) test::AddPrinter(name, "LPT1:", test::kRasterDriver);
    FakeView view;
    view.Add("A", true);
    view.Add("B", true);
    view.Add("C", false);
    RunTimed(machine, view);
    EXPECT_EQ(view.Texts(), (Lines{"C"}));
    EXPECT_EQ(view.current, (Lines{"A", "B"}));
    // The driver stays while C uses it.
    EXPECT_EQ(view.log[3], "The printer driver is still in use.");
    EXPECT_EQ(view.restartOffers, 1);
}

// --- Monitors and processors -------------------------------------------------------

TEST(RunRemoval, MonitorInUseIsRetriedOnceAfterARestart) {
    Machine machine("xp");
    test::InstallComponents(false);
    test::InstallDriver(test::kRasterDriver);
    test::AddPrinter("Kitchen", "KSCOM1:", test::kRasterDriver);
    FakeView view;
    view.Add(test::kComMonitor, true);
    EXPECT_EQ(RunTimed(machine, view), 500u + 2000u + 500u + 100u);
    EXPECT_EQ(view.log, (Lines{"Removing Kestran COM Port ...", "Kestran COM Port is in use and was not removed.",
                               "Check the items to remove, then press Uninstall."}));
    EXPECT_EQ(view.Texts(), (Lines{test::kComMonitor}));
    EXPECT_EQ(Count(machine->log(), "Service Spooler stopped"), 1);
    EXPECT_TRUE(FileThere(test::SystemDir() + "\\KSCOMMON.DLL"));
    EXPECT_EQ(view.restartOffers, 0);
}

TEST(RunRemoval, MonitorRemovedAtTheRetry) {
    Machine machine("xp");
    test::InstallComponents(false);
    machine->failCall("spooler.deleteMonitor", 1, RPC_S_SERVER_UNAVAILABLE);
    FakeView view;
    view.Add(test::kComMonitor, true);
    // Restart and retry, then the restart after the removal.
    EXPECT_EQ(RunTimed(machine, view), 500u + 2500u + 2500u);
    EXPECT_EQ(view.log[1], "Kestran COM Port has been removed.");
}

TEST(RunRemoval, MonitorFailingOtherwiseIsAnError) {
    Machine machine("xp");
    test::InstallComponents(false);
    machine->failAlways("spooler.deleteMonitor", ERROR_ACCESS_DENIED);
    FakeView view;
    view.Add(test::kComMonitor, true);
    RunTimed(machine, view);
    EXPECT_EQ(view.log[1], "Error while removing Kestran COM Port.");
}

TEST(RunRemoval, ComMonitorLeavesTheSetupsKeys) {
    Machine machine("xp");
    test::InstallComponents(false);
    FakeView view;
    view.Add(test::kComMonitor, true);
    RunTimed(machine, view);
    EXPECT_TRUE(KeyThere("SOFTWARE\\KESTRAN\\PORTNAME"));
    EXPECT_TRUE(KeyThere(std::string(kMonitorsKey) + test::kLangMonitor));
    EXPECT_TRUE(FileThere(test::SystemDir() + "\\KSLANGMN.DLL"));
}

TEST(RunRemoval, UsbMonitorTakesTheLanguageMonitorsRegistrationAlong) {
    Machine machine("xp");
    test::InstallComponents(false);
    FakeView view;
    view.Add(test::kUsbMonitor, true);
    RunTimed(machine, view);
    EXPECT_EQ(view.log[1], "Kestran USB Port has been removed.");
    EXPECT_FALSE(KeyThere("SOFTWARE\\KESTRAN\\PORTNAME"));
    EXPECT_FALSE(KeyThere("SOFTWARE\\KESTRAN\\INSTALLPRINTER"));
    EXPECT_FALSE(KeyThere(std::string(kMonitorsKey) + test::kLangMonitor));
    EXPECT_FALSE(FileThere(test::SystemDir() + "\\KSLANGMN.DLL"));
    EXPECT_TRUE(KeyThere(std::string(kMonitorsKey) + test::kComMonitor));
}

// An empty USBMONitorName would name the Monitors key itself; on Windows 9x
// deleting it takes every monitor along.
TEST(RunRemoval, EmptyMonitorKeyNameDeletesNoKey) {
    plat::sim::TempMedium medium;
    medium.write("Uninstall.ini",
                 "[KSMONITOR]\r\nMonitorNUM=1\r\nMONITORNAME1=USB Port\r\n"
                 "[KestranUSBPort.98]\r\nMonitorPDLLName=KSUSBMON.DLL\r\nUSBMONitorName=\r\n");
    Machine machine("98", medium.dir());
    test::InstallComponents(false);
    FakeView view;
    view.Add(test::kUsbMonitor, true);
    RunTimed(machine, view);
    EXPECT_EQ(view.log[1], "Kestran USB Port has been removed.");
    EXPECT_TRUE(KeyThere(std::string(kMonitorsKey) + test::kComMonitor));
    EXPECT_TRUE(KeyThere(std::string(kMonitorsKey) + "Local Port"));
}

TEST(RunRemoval, Windows9xKeepsMonitorsWhosePortsPrintersUse) {
    Machine machine("98");
    test::InstallComponents(false);
    test::InstallDriver(test::kRasterDriver);
    test::AddPrinter("Kitchen", "KSCOM2:", test::kRasterDriver);
    FakeView view;
    view.Add(test::kComMonitor, true);
    EXPECT_EQ(RunTimed(machine, view), 600u);
    EXPECT_EQ(view.log, (Lines{"Removing Kestran COM Port ...",
                               "Kestran COM Port cannot be removed while print jobs are waiting.",
                               "Kestran COM Port is in use and was not removed.",
                               "Check the items to remove, then press Uninstall."}));
    // Without a spooler service there is nothing to restart; the USB box stays off.
    EXPECT_EQ(view.enabled[kIdUsbCheck], false);
}

// The kind comes from the text alone: a printer named after a monitor entry
// is removed as a monitor, which the spooler does not know.
TEST(RunRemoval, PrinterNamedLikeAMonitorIsHandledAsOne) {
    Machine machine("xp");
    test::InstallComponents(false);
    test::InstallDriver(test::kRasterDriver);
    test::AddPrinter("Kestran USB Port 2", "LPT1:", test::kRasterDriver);
    FakeView view;
    view.Add("Kestran USB Port 2", true);
    EXPECT_EQ(RunTimed(machine, view), 500u + 2000u + 500u + 100u);
    EXPECT_EQ(view.log, (Lines{"Removing Kestran USB Port 2 ...", "Error while removing Kestran USB Port 2.",
                               "Check the items to remove, then press Uninstall."}));
    EXPECT_EQ(view.Texts(), (Lines{"Kestran USB Port 2"}));
    EXPECT_TRUE(KeyThere("SOFTWARE\\KESTRAN\\PORTNAME"));
}

TEST(RunRemoval, ProcessorInUseIsNotRetried) {
    Machine machine("xp");
    test::InstallComponents(true);
    test::InstallDriver(test::kRasterDriver);
    test::AddPrinter("Kitchen", "LPT1:", test::kRasterDriver, test::kProcessor);
    FakeView view;
    view.Add(test::kProcessor, true);
    EXPECT_EQ(RunTimed(machine, view), 600u);
    EXPECT_EQ(view.log[1], "QPXPrint is in use and was not removed.");
    EXPECT_TRUE(FileThere(test::ProcessorDir() + "\\QPXPROC.DLL"));

    machine->failAlways("spooler.deletePrintProcessor", ERROR_ACCESS_DENIED);
    FakeView again;
    again.Add(test::kProcessor, true);
    RunTimed(machine, again);
    EXPECT_EQ(again.log[1], "Error while removing QPXPrint.");
}

TEST(RunRemoval, ComponentFilesStayWhenTheirFolderIsUnknown) {
    Machine machine("xp");
    test::InstallComponents(true);
    machine->failAlways("files.getSystemDirectory", ERROR_INSUFFICIENT_BUFFER);
    machine->failAlways("spooler.getPrintProcessorDirectory", ERROR_INSUFFICIENT_BUFFER);
    FakeView view;
    view.Add(test::kComMonitor, true);
    view.Add(test::kProcessor, true);
    RunTimed(machine, view);
    EXPECT_EQ(view.log, (Lines{"Removing Kestran COM Port ...", "Get system Directory error.",
                               "Kestran COM Port has been removed.", "Removing QPXPrint ...",
                               "Get system Directory error.", "QPXPrint has been removed."}));
    machine->clearFaults();
    EXPECT_TRUE(FileThere(test::SystemDir() + "\\KSCOMMON.DLL"));
    EXPECT_TRUE(FileThere(test::ProcessorDir() + "\\QPXPROC.DLL"));
}

// --- Printers and their drivers ------------------------------------------------------

struct DriverCase {
    const char* what;
    const char* os;
    bool shared;                 // another printer keeps the driver
    bool plain;                  // winspool.drv without DeletePrinterDriverExA
    plat::Err fault;             // the deletion fails with this
    Lines driverLines;           // what follows the printer's success line
    bool driverRemains;
};

class DriverDeletionOutcome : public ::testing::TestWithParam<DriverCase> {};

TEST_P(DriverDeletionOutcome, LogsWhatBecameOfTheDriver) {
    const DriverCase& c = GetParam();
    Machine machine(c.os);
    if (c.plain) State().driverDeletion = DriverDeletion::Plain;
    test::InstallComponents(false);
    test::InstallDriver(test::kRasterDriver);
    test::AddPrinter("Kitchen", "LPT1:", test::kRasterDriver);
    if (c.shared) test::AddPrinter("Office", "LPT2:", test::kRasterDriver);
    if (c.fault) {
        machine->failAlways(c.plain ? "spooler.deletePrinterDriver" : "spooler.deletePrinterDriverEx", c.fault);
    }
    FakeView view;
    view.Add("Kitchen", true);
    RunTimed(machine, view);
    Lines expected = {"Removing the printer Kitchen ...", "Kitchen has been removed."};
    expected.insert(expected.end(), c.driverLines.begin(), c.driverLines.end());
    EXPECT_EQ(view.log, expected);
    EXPECT_TRUE(view.items.empty());
    plat::Handle printer = 0;
    EXPECT_NE(test::Sys().spooler().openPrinter("Kitchen", PRINTER_ALL_ACCESS, &printer), 0u);
    EXPECT_EQ(DriverInstalled(test::kRasterDriver), c.driverRemains);
}

const Lines kDriverRemoved = {"Removing the driver of Kitchen ...", "The printer driver has been removed."};

INSTANTIATE_TEST_SUITE_P(
    Cases, DriverDeletionOutcome,
    ::testing::Values(
        DriverCase{"Removed", "xp", false, false, 0, kDriverRemoved, false},
        DriverCase{"RemovedWithoutTheExEntry", "2000", false, true, 0, kDriverRemoved, false},
        DriverCase{"SharedDriver", "win7", true, false, 0,
                   {"Removing the driver of Kitchen ...", "The printer driver is still in use."}, true},
        DriverCase{"OtherError", "vista", false, false, ERROR_ACCESS_DENIED,
                   {"Removing the driver of Kitchen ...",
                    "Error while removing the printer driver, error code     er=5"}, true},
        DriverCase{"OtherErrorPlain", "2003", false, true, ERROR_ACCESS_DENIED,
                   {"Removing the driver of Kitchen ...",
                    "Error while removing the printer driver, error code     er=5"}, true},
        DriverCase{"Nt4KeepsTheDriver", "nt4", false, false, 0, {}, true},
        DriverCase{"Windows98KeepsTheDriver", "98", false, false, 0, {}, true}),
    [](const auto& info) { return std::string(info.param.what); });

struct HaltCase {
    const char* what;
    const char* op;              // the failing call ("" for queued jobs)
    int nth;                     // which call of the run fails
    plat::Err err;
    Lines log;                   // the printer's lines
    std::uint64_t slept;         // of the printer's position
};

class PrinterHalt : public ::testing::TestWithParam<HaltCase> {};

TEST_P(PrinterHalt, LeavesTheRestUntouched) {
    const HaltCase& c = GetParam();
    Machine machine("xp");
    test::InstallComponents(false);
    test::InstallDriver(test::kRasterDriver);
    test::AddPrinter("Kitchen", "LPT1:", test::kRasterDriver);
    test::AddPrinter("Office", "LPT2:", test::kRasterDriver);
    FakeView view;
    view.Add("Office", true);
    view.Add("Kitchen", true);
    view.Add(test::kComMonitor, true);
    view.usb = true;
    // Office goes; then Kitchen stops the run.
    if (*c.op) {
        machine->failCall(c.op, c.nth, c.err, std::string(c.op) == "spooler.openPrinter" ? "Kitchen" : "");
    } else {
        ASSERT_EQ(machine->queueJobs("Kitchen", 2), 0u);
    }
    std::uint64_t slept = RunTimed(machine, view);
    Lines expected = {"Removing the printer Office ...", "Office has been removed.",
                      "Removing the driver of Office ...", "The printer driver is still in use."};
    expected.insert(expected.end(), c.log.begin(), c.log.end());
    expected.push_back("Check the items to remove, then press Uninstall.");
    EXPECT_EQ(view.log, expected);
    EXPECT_EQ(view.Texts(), (Lines{"Kitchen", test::kComMonitor}));
    EXPECT_EQ(slept, 500u + 4200u + 500u + c.slept);
    EXPECT_EQ(view.restartOffers, 0);
    EXPECT_EQ(Count(machine->log(), "USB driver installer"), 0);
    EXPECT_EQ(view.enabled[kIdUninstall], true);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PrinterHalt,
    ::testing::Values(
        HaltCase{"CannotOpen", "spooler.openPrinter", 1, ERROR_ACCESS_DENIED, {"The printer Kitchen cannot be opened."}, 0},
        HaltCase{"QueuedJobs", "", 0, 0,
                 {"Removing the printer Kitchen ...", "Kitchen cannot be removed while print jobs are waiting."}, 100},
        // Office's size query and fetch come first.
        HaltCase{"InfoUnreadable", "spooler.getPrinter2", 3, ERROR_INVALID_HANDLE,
                 {"Removing the printer Kitchen ...", "The printer information cannot be read."}, 100},
        HaltCase{"NoMemory", "system.allocate", 2, ERROR_NOT_ENOUGH_MEMORY,
                 {"Removing the printer Kitchen ...", "Not enough memory."}, 100}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(RunRemoval, PrinterThatCannotBeDeletedRemainsAndTheRunGoesOn) {
    Machine machine("xp");
    test::InstallComponents(false);
    test::InstallDriver(test::kRasterDriver);
    test::AddPrinter("Kitchen", "LPT1:", test::kRasterDriver);
    machine->failCall("spooler.deletePrinter", 1, ERROR_ACCESS_DENIED);
    FakeView view;
    view.Add("Kitchen", true);
    view.Add(test::kComMonitor, true);
    RunTimed(machine, view);
    EXPECT_EQ(view.log, (Lines{"Removing the printer Kitchen ...", "Error while deleting the printer.",
                               "Removing Kestran COM Port ...", "Kestran COM Port has been removed.",
                               "Check the items to remove, then press Uninstall."}));
    EXPECT_EQ(view.Texts(), (Lines{"Kitchen"}));
    EXPECT_EQ(view.restartOffers, 1);
}

// --- The USB driver step ------------------------------------------------------------

TEST(RunRemoval, UsbStepAloneOnAnEmptyList) {
    Machine machine("xp");
    FakeView view;
    view.usb = true;
    EXPECT_TRUE(FileThere("C:\\WINDOWS\\system32\\drivers\\bulkusb.sys"));
    EXPECT_EQ(RunTimed(machine, view), 500u + 500u + 1000u);
    EXPECT_EQ(view.log, (Lines{"Removing the USB printer driver ...", "The USB printer driver step has finished."}));
    EXPECT_FALSE(FileThere("C:\\WINDOWS\\system32\\drivers\\bulkusb.sys"));
    EXPECT_NE(machine->log().find("\"D:\\USBDrv\\Install.exe\" parameters \"22\""), std::string::npos)
        << machine->log();
    EXPECT_EQ(view.restartOffers, 0);
    EXPECT_EQ(view.enabled, (std::map<int, bool>{{kIdUninstall, false}, {kIdItems, false},
                                                 {kIdSelectAll, false}, {kIdExit, true},
                                                 {kIdUsbCheck, false}}));
}

TEST(RunRemoval, UsbStepWaitsWhileTheInstallersWindowIsOpen) {
    Machine machine("xp");
    machine->openWindow("Kestran USB Driver Setup");
    // The window goes away when it is looked for the fourth time.
    machine->failCall("desktop.findWindow", 4, ERROR_INVALID_HANDLE);
    FakeView view;
    view.usb = true;
    EXPECT_EQ(RunTimed(machine, view), 500u + 3 * 1000u + 1500u);
}

TEST(RunRemoval, UsbStepWithoutInstallerStillFinishes) {
    plat::sim::TempMedium medium;
    medium.remove("USBDrv\\Install.exe");
    Machine machine("xp", medium.dir());
    test::InstallComponents(false);
    FakeView view;
    FillView(view, false);
    view.usb = true;
    EXPECT_EQ(RunTimed(machine, view), 3 * 500u + 2000u);
    EXPECT_EQ(view.log, (Lines{"Removing the USB printer driver ...", "The USB printer driver step has finished.",
                               "Check the items to remove, then press Uninstall."}));
    EXPECT_TRUE(FileThere("C:\\WINDOWS\\system32\\drivers\\bulkusb.sys"));
}

// --- The pre-check ---------------------------------------------------------------

struct PreCheckCase {
    const char* what;
    const char* op;           // "" for none
    plat::Err err;
    int jobsOnOffice;
    bool passes;
    Lines log;
    std::uint64_t slept;
};

class PreCheckOutcome : public ::testing::TestWithParam<PreCheckCase> {};

TEST_P(PreCheckOutcome, AnyLocalPrinterCanStopTheRun) {
    const PreCheckCase& c = GetParam();
    Machine machine("xp");
    test::InstallComponents(false);
    test::InstallDriver(test::kRasterDriver);
    test::InstallDriver("Generic Text");
    test::AddPrinter("Kitchen", "LPT1:", test::kRasterDriver);
    // Not the maker's, not listed: it counts all the same.
    test::AddPrinter("Office", "LPT2:", "Generic Text");
    if (c.jobsOnOffice) {
        ASSERT_EQ(machine->queueJobs("Office", c.jobsOnOffice), 0u);
    }
    if (*c.op) machine->failCall(c.op, 1, c.err, std::string(c.op) == "spooler.openPrinter" ? "Office" : "");
    FakeView view;
    std::uint64_t before = machine->sleptMs();
    EXPECT_EQ(PreCheck(view), c.passes);
    EXPECT_EQ(view.log, c.log);
    EXPECT_EQ(machine->sleptMs() - before, c.slept);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PreCheckOutcome,
    ::testing::Values(
        PreCheckCase{"NoJobs", "", 0, 0, true, {}, 0},
        PreCheckCase{"JobsOnAnUnlistedPrinter", "", 0, 1, false, {"The printer Office still holds print jobs."}, 100},
        PreCheckCase{"CannotOpen", "spooler.openPrinter", ERROR_ACCESS_DENIED, 0, false,
                     {"The printer Office cannot be opened."}, 0},
        PreCheckCase{"InfoUnreadable", "spooler.getPrinter2", ERROR_INVALID_HANDLE, 0, false,
                     {"The printer information cannot be read."}, 100},
        PreCheckCase{"NoMemory", "system.allocate", ERROR_NOT_ENOUGH_MEMORY, 0, false, {"Not enough memory."}, 100}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(PreCheck, PassesWithoutPrintersAndWhenTheSpoolerCannotList) {
    Machine machine("xp");
    FakeView view;
    EXPECT_TRUE(PreCheck(view));
    machine->setSpoolerRunning(false);
    EXPECT_TRUE(PreCheck(view));
    EXPECT_TRUE(view.log.empty());
}

// --- Spooler restart ------------------------------------------------------------------

TEST(RestartSpooler, StopsWaitsAndStartsWithoutWaitingForTheState) {
    Machine machine("xp");
    std::uint64_t before = machine->sleptMs();
    RestartSpooler();
    EXPECT_EQ(machine->sleptMs() - before, 2000u);
    std::string log = machine->log();
    EXPECT_LT(log.find("Service Spooler stopped"), log.find("Service Spooler started"));

    // A stopped spooler is started all the same.
    machine->setSpoolerRunning(false);
    RestartSpooler();
    EXPECT_EQ(Count(machine->log(), "Service Spooler started"), 2);

    Machine old("98");
    before = old->sleptMs();
    RestartSpooler();
    EXPECT_EQ(old->sleptMs() - before, 0u);
}

// --- Texts -----------------------------------------------------------------------------

TEST(FormatText, OnlyTheFirstPlaceholderIsFilled) {
    struct Case {
        const char* text;
        const char* expected;
    } cases[] = {
        {"%s has been removed.", "Kitchen has been removed."},
        {"Removed.", "Removed."},
        {"%s and %s", "Kitchen and %s"},
        {"%d%% %n %s", "%d%% %n Kitchen"},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatText(c.text, "Kitchen"), c.expected) << c.text;
    }
}

}  // namespace
}  // namespace uninstall
