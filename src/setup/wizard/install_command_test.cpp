// The Install command through the wizard, as the user runs it: the demo
// medium on a simulated machine, a script that plays the user, and the
// machine's state afterwards.
#include "setup/wizard/install_command.h"

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

    Result Run(const std::string& script, const std::string& os = "xp", std::vector<int> printers = {},
               const std::string& bulkusb = "") {
        plat::sim::TestMachineOptions o = SimSys::WithMedium("", os);
        o.usbPrinters = std::move(printers);
        o.bulkusbVersion = bulkusb;
        SimSys sys(o);
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

}  // namespace
}  // namespace setup
