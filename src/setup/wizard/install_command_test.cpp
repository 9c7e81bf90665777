// The Install command through the wizard, as the user runs it: the demo
// medium on a simulated machine, a script that plays the user, and the
// machine's state afterwards.
#include "setup/wizard/install_command.h"

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "common/language_text.h"
#include "common/sim_sys_for_tests.h"
#include "setup/app/setup_app.h"
#include "setup/wizard/install_selection.h"
#include "ui/message_box.h"
#include "ui/test_support.h"

namespace setup {
namespace {

using common::SimSys;

const char kInstalled[] = "MESSAGE Drivanto | The printer driver has been installed.\n";
const char kUsbInstalled[] =
    "MESSAGE Drivanto | The printer driver has been installed.\\nDisconnect the USB cable and connect it again "
    "before printing.\n";
const char kChangeId[] =
    "MESSAGE Drivanto | The USB number of the connected printer differs from the selected port.\\nChange the "
    "printer's USB number now?\n";
const char kNoUsbDevice[] =
    "MESSAGE Drivanto | No USB printer answers.\\nConnect the printer, switch it on and try again.\n";
const char kRestart[] =
    "MESSAGE Drivanto | The printer driver has been installed.\\nWindows must be restarted before the printer "
    "can be used.\\nRestart Windows now?\n";

// From the agreement to the port page of the demo's first receipt printer.
const char kToPortPage[] = "click 1057\nkey ENTER\nkey ENTER\nkey ENTER\nkey ENTER\n";
const char kToPortPageAdvanced[] = "click 1057\nkey ENTER\nkey ENTER\nclick 1067\nkey ENTER\nkey ENTER\n";

struct Result {
    int wizard;        // the wizard's end
    std::string out;   // message boxes
    std::string show;  // the machine afterwards
    std::string log;
};

class InstallCommandTest : public ::testing::Test {
protected:
    InstallCommandTest() {
        ui::SetApplicationName("Drivanto");
        common::LanguageText::SetProgram(common::TextProgram::Setup);
        resultText.clear();
        installMode = 1;
    }

    // Runs the wizard with the script on a new machine; `prepare` sets the
    // machine up first (windows, faults).
    Result Run(const std::string& script, const std::string& os = "xp", std::vector<int> printers = {},
               const std::string& bulkusb = "",
               const std::function<void(plat::sim::TestMachine&)>& prepare = nullptr) {
        plat::sim::TestMachineOptions o = SimSys::WithMedium("", os);
        o.usbPrinters = std::move(printers);
        o.bulkusbVersion = bulkusb;
        SimSys sys(o);
        if (prepare) prepare(sys.machine());
        plat::Platform& p = sys.machine().platform();
        ui::test::ScriptRun run(script, ui::Hooks{&p.desktop(), &p.clock()});
        SetupWindows windows(true, false);
        Result r;
        r.wizard = windows.Run();
        EXPECT_EQ(run.finish(), "");
        EXPECT_EQ(run.failStatus, 0);
        r.out = run.out();
        r.show = sys.machine().show();
        r.log = sys.machine().log();
        return r;
    }
};

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST_F(InstallCommandTest, ParallelPort) {
    Result r = Run(std::string(kToPortPage) + "select 1049 LPT2:\nanswer ok\nkey ENTER\nwait\n");
    EXPECT_EQ(r.wizard, IDOK);
    EXPECT_EQ(r.out, kInstalled);
    EXPECT_TRUE(Has(r.show, "  QPX-T510(P)\n    Driver: QPX-T510 Parallel\n    Port: LPT2:\n")) << r.show;
}

TEST_F(InstallCommandTest, SerialPortWithItsSettings) {
    // The QPX-N520's standard driver (the serial port's) needs no universal driver files.
    Result r = Run("click 1057\nkey ENTER\nselect 1030 QPX-N520\nkey ENTER\nkey ENTER\nkey ENTER\n"
                   "select 1049 KSCOM2:\nselect 1041 19200\nselect 1043 Even\nselect 1042 7\nselect 1044 2\n"
                   "select 1045 Xon / Xoff\nanswer ok\nkey ENTER\nwait\n");
    EXPECT_EQ(r.out, kInstalled);
    EXPECT_TRUE(Has(r.show, "  QPX-N520(S)\n")) << r.show;
    EXPECT_TRUE(Has(r.show, "    Port: KSCOM2:\n")) << r.show;
    // The virtual port KSCOM2: carries the settings of COM2:.
    EXPECT_TRUE(Has(r.show, "\"COM2:\"=\"19200,e,7,2,x\"")) << r.show;
}

TEST_F(InstallCommandTest, UsbTypicalChangesTheNumberWhenTheUserAgrees) {
    // The printer reports 2 (port 3); the typical installation wants port 1.
    Result r = Run(std::string(kToPortPage) + "answer yes\nanswer ok\nkey ENTER\nwait\n", "xp", {2});
    EXPECT_EQ(r.out, std::string(kChangeId) + kUsbInstalled);
    EXPECT_TRUE(Has(r.log, "1D 49 20 00\n")) << r.log;   // the identity command for port 1
    EXPECT_TRUE(Has(r.show, "USB printers: Printer1=0")) << r.show;
    EXPECT_TRUE(Has(r.show, "  QPX-T510(U) 1\n")) << r.show;
    EXPECT_TRUE(Has(r.show, "    Port: USB_QPX-T510_1\n")) << r.show;
    // The driver installer ran first (no bulkusb.sys) and the port is recorded.
    EXPECT_TRUE(Has(r.log, "USBDrv\\Install.exe")) << r.log;
    EXPECT_TRUE(Has(r.show, "C:\\WINDOWS\\system32\\drivers\\bulkusb.sys")) << r.show;
    EXPECT_TRUE(Has(r.show, "[HKEY_LOCAL_MACHINE\\SOFTWARE\\KESTRAN\\PORTNAME]")) << r.show;
    EXPECT_TRUE(Has(r.show, "\"D8\"=dword:00000000")) << r.show;
}

// The command waits while the driver installer's window is open; one that
// never closes holds it up ten minutes, then the installation goes on.
TEST_F(InstallCommandTest, WaitsForTheDriverInstallersWindow) {
    Result r = Run(std::string(kToPortPage) + "answer ok\nkey ENTER\nwait\n", "xp", {8}, "",
                   [](plat::sim::TestMachine& m) { m.openWindow("Kestran USB Driver Setup"); });
    EXPECT_EQ(r.wizard, IDOK);
    EXPECT_EQ(r.out, kUsbInstalled);
    std::size_t launched = r.log.find("USBDrv\\Install.exe");
    ASSERT_NE(launched, std::string::npos) << r.log;
    std::size_t waits = 0;
    for (std::size_t at = r.log.find("Sleep 1000 ms", launched); at != std::string::npos;
         at = r.log.find("Sleep 1000 ms", at + 1))
        ++waits;
    EXPECT_EQ(waits, 600u + 1);   // every second for ten minutes, then once more
    EXPECT_TRUE(Has(r.show, "  QPX-T510(U) 1\n")) << r.show;
}

TEST_F(InstallCommandTest, UsbTypicalStopsWhenTheUserDeclines) {
    Result r = Run(std::string(kToPortPage) + "answer no\nkey ENTER\nkey ESCAPE\n", "xp", {2}, "1.0.0.6");
    EXPECT_EQ(r.wizard, IDCANCEL);   // the wizard stayed open until Cancel
    EXPECT_EQ(r.out, kChangeId);
    EXPECT_FALSE(Has(r.log, "write:")) << r.log;
    EXPECT_TRUE(Has(r.show, "Printers:\n  (none)")) << r.show;
    EXPECT_FALSE(Has(r.log, "Install.exe")) << r.log;   // the installed driver is as new as the medium's
}

TEST_F(InstallCommandTest, UsbTypicalWithoutQuestion) {
    struct Case {
        const char* what;
        std::vector<int> printers;
    } cases[] = {{"already port 1", {8}}, {"no printer", {}}};
    for (const Case& c : cases) {
        Result r = Run(std::string(kToPortPage) + "select 1049 USB_QPX-T510_1\nanswer ok\nkey ENTER\nwait\n", "xp",
                       c.printers, "1.0.0.6");
        EXPECT_EQ(r.out, kUsbInstalled) << c.what;
        EXPECT_FALSE(Has(r.log, "write:")) << c.what;
        EXPECT_TRUE(Has(r.show, "  QPX-T510(U) 1\n")) << c.what;
    }
}

TEST_F(InstallCommandTest, UsbAdvanced) {
    // A printer reporting 9 is on port 2.
    Result same = Run(std::string(kToPortPageAdvanced) + "answer ok\nkey ENTER\nwait\n", "xp", {9}, "1.0.0.6");
    EXPECT_EQ(same.out, kUsbInstalled);
    EXPECT_TRUE(Has(same.show, "  QPX-T510(U) 2\n    Driver: QPX-T510 USB\n    Port: USB_QPX-T510_2\n")) << same.show;

    Result moved = Run(std::string(kToPortPageAdvanced) + "select 1049 USB_QPX-T510_3\nanswer yes\nanswer ok\n"
                                                         "key ENTER\nwait\n",
                       "xp", {9}, "1.0.0.6");
    EXPECT_EQ(moved.out, std::string(kChangeId) + kUsbInstalled);
    EXPECT_TRUE(Has(moved.log, "1D 49 20 02\n")) << moved.log;
    EXPECT_TRUE(Has(moved.show, "  QPX-T510(U) 3\n")) << moved.show;

    Result none = Run(std::string(kToPortPageAdvanced) + "select 1049 USB_QPX-T510_1\nanswer ok\nkey ENTER\nkey ESCAPE\n",
                      "xp", {}, "1.0.0.6");
    EXPECT_EQ(none.out, kNoUsbDevice);
    EXPECT_TRUE(Has(none.show, "Printers:\n  (none)")) << none.show;

    // Two printers: the port page and Install each say so; Install stops.
    Result two = Run("click 1057\nkey ENTER\nkey ENTER\nclick 1067\nkey ENTER\nanswer ok\nkey ENTER\n"
                     "select 1049 USB_QPX-T510_1\nanswer ok\nkey ENTER\nkey ESCAPE\n",
                     "xp", {8, 9}, "1.0.0.6");
    const std::string onePrinter =
        "MESSAGE Drivanto | More than one USB printer is connected.\\nConnect only the printer you want to install.\n";
    EXPECT_EQ(two.out, onePrinter + onePrinter);
    EXPECT_FALSE(Has(two.log, "write:")) << two.log;
    EXPECT_TRUE(Has(two.show, "Printers:\n  (none)")) << two.show;
}

TEST_F(InstallCommandTest, Windows98OffersTheRestart) {
    // The progress dialog ends at 90 on Windows 98; the result is shown once
    // the installation has ended all the same.
    Result no = Run(std::string(kToPortPage) + "select 1049 LPT1:\nanswer ok\nanswer no\nkey ENTER\nwait\n", "98");
    EXPECT_EQ(no.wizard, IDOK);
    EXPECT_EQ(no.out, std::string("MESSAGE Drivanto | The printer driver has been installed.\n") + kRestart);
    EXPECT_TRUE(Has(no.show, "  QPX-T510(P)\n")) << no.show;
    EXPECT_FALSE(Has(no.log, "restart")) << no.log;

    Result yes = Run(std::string(kToPortPage) + "select 1049 LPT1:\nanswer ok\nanswer yes\nkey ENTER\nwait\n", "98");
    EXPECT_EQ(yes.out, std::string(kInstalled) + kRestart);
    EXPECT_TRUE(Has(yes.log, "ExitWindowsEx")) << yes.log;
}

TEST_F(InstallCommandTest, RestartRefusedByWindows) {
    Result r = Run(std::string(kToPortPage) + "select 1049 LPT1:\nanswer ok\nanswer yes\nanswer ok\nkey ENTER\nwait\n",
                   "98", {}, "", [](plat::sim::TestMachine& m) { m.failAlways("system.exitWindowsEx", 5); });
    EXPECT_EQ(r.wizard, IDOK);
    EXPECT_EQ(r.out, std::string(kInstalled) + kRestart +
                         "MESSAGE Drivanto | Windows could not be restarted. Please restart it yourself.\n");
}

}  // namespace
}  // namespace setup

namespace setup {
namespace {

// The MESSAGE line of a language text of section Message.
std::string Line(const char* key) {
    std::string text = common::messageText().GetText(key);
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.replace(at, 2, "\\n");
    return "MESSAGE Drivanto | " + text + "\n";
}

// The command called on a wizard whose selection and port page are filled by
// hand: the refusals before the installation starts.
class InstallRefusalTest : public ::testing::Test {
protected:
    InstallRefusalTest() {
        ui::SetApplicationName("Drivanto");
        common::LanguageText::SetProgram(common::TextProgram::Setup);
        installMode = 1;
    }
    // Fills the selection for `model` on `osClass` and the port page's port.
    void Choose(SetupWindows& w, const char* model, int osClass, const char* port) {
        std::snprintf(w.wizard.selection.modelName, sizeof w.wizard.selection.modelName, "%s", model);
        w.wizard.selection.osClass = osClass;
        w.wizard.selection.printerType = 0;
        char common[200];
        ConfigPaths(0, common, w.wizard.selection.typeIniPath);
        std::snprintf(w.portPage.portName, sizeof w.portPage.portName, "%s", port);
    }
    // Presses Install once; the message boxes it showed.
    std::string Install(SetupWindows& w) {
        ui::test::ScriptRun run("answer ok\n");
        OnInstall(w.wizard);
        EXPECT_EQ(run.finish(), "");
        return run.out();
    }
};

TEST_F(InstallRefusalTest, RefusedChoices) {
    struct Case {
        const char* what;
        const char* os;
        const char* model;
        int osClass;
        const char* port;
        const char* key;
    } cases[] = {
        {"no model", "xp", "", 3, "LPT1:", "IDS_ERR_SELPRINTER"},
        {"no port", "xp", "QPX-T510", 3, "", "IDS_ERR_NOSUPPORTINTERFACE"},
        {"an unknown port", "xp", "QPX-T510", 3, "FILE:", "IDS_ERR_NOSUPPORTINTERFACE"},
        {"Server 2003 not supported", "2003", "QPX-X", 4, "LPT1:", "IDS_NOTSUPPORT2003"},
        {"Server 2008 not supported", "2008", "QPX-R80", 6, "LPT1:", "IDS_NOTSUPPORT2008"},
        {"Windows 7 not supported", "win7", "QPX-R80", 7, "LPT1:", "IDS_NOTSUPPORTWin7"},
        {"NT 4.0 not supported", "nt4", "QPX-X", 1, "LPT1:", "IDS_NOTSUPPORTNT"},
    };
    for (const Case& c : cases) {
        SimSys sys(SimSys::WithMedium("", c.os));
        SetupWindows w(false, false);
        Choose(w, c.model, c.osClass, c.port);
        EXPECT_EQ(Install(w), Line(c.key)) << c.what;
        EXPECT_TRUE(Has(sys.machine().show(), "Printers:\n  (none)")) << c.what;
    }
}

TEST_F(InstallRefusalTest, UsbOnNt4IsRefusedAfterThePortIsRecorded) {
    SimSys sys(SimSys::WithMedium("", "nt4"));
    SetupWindows w(false, false);
    Choose(w, "QPX-T510", 1, "USB_QPX-K7_3");
    EXPECT_EQ(Install(w), Line("IDS_ERR_NOSUPPORTUSB"));
    const InstallSelection& s = w.wizard.selection;
    EXPECT_EQ(s.portKind, 2);
    EXPECT_STREQ(s.k7PortName, "USB_QPX-K7_3");
    EXPECT_STREQ(s.printerInfo.pPortName, "USB_QPX-K7_3");
    EXPECT_STREQ(s.printerInfo.pPrinterName, "QPX-T510(U) 3");
    std::string show = sys.machine().show();
    EXPECT_TRUE(Has(show, "[HKEY_LOCAL_MACHINE\\SOFTWARE\\KESTRAN\\PORTNAME]\n\"USB_QPX-K7_3\"=dword:")) << show;
    EXPECT_TRUE(Has(show, "Printers:\n  (none)")) << show;
}

TEST_F(InstallRefusalTest, UsbWinsOverCom) {
    SimSys sys(SimSys::WithMedium("", "nt4"));
    SetupWindows w(false, false);
    Choose(w, "QPX-T510", 1, "USB_COM_2");
    EXPECT_EQ(Install(w), Line("IDS_ERR_NOSUPPORTUSB"));
    EXPECT_EQ(w.wizard.selection.portKind, 2);
    EXPECT_STREQ(w.wizard.selection.printerInfo.pPrinterName, "QPX-T510(U) 2");
    EXPECT_STREQ(w.wizard.selection.k7PortName, "");
    EXPECT_STREQ(w.wizard.selection.printerInfo.pPortName, "USB_COM_2");
}

}  // namespace
}  // namespace setup
