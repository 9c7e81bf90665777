// The built drivanto program installs printers on machines made with the
// winsim tool, as a user does it through the wizard; `winsim show` then
// holds the printer.
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "platform/sim/program_run.h"

namespace {

namespace fs = std::filesystem;
using Outcome = plat::sim::ProgramOutcome;

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

const char kInstalled[] = "MESSAGE Drivanto | The printer driver has been installed.\n";
const char kUsbInstalled[] =
    "MESSAGE Drivanto | The printer driver has been installed.\\nDisconnect the USB cable and connect it again "
    "before printing.\n";

class InstallCliTest : public plat::sim::ProgramRunTest {
protected:
    InstallCliTest() : ProgramRunTest("drivanto", "drivanto-install") {}

    fs::path NewMachine(const std::string& os, const std::string& options = "") {
        return MakeMachine(dir_ / os, os, options);
    }
    Outcome Install(const fs::path& machine, const std::string& script) { return RunScripted(machine, demo_, script); }
};

// Accept the agreement, keep the first receipt printer, typical mode, the
// detected Windows; on the port page the script goes on.
const char kToPortPage[] = "click 1057\nkey ENTER\nkey ENTER\nkey ENTER\nkey ENTER\n";

TEST_F(InstallCliTest, ParallelPrinterOnEveryNtVersion) {
    for (const char* os : {"2000", "xp", "2003", "vista", "2008", "win7"}) {
        fs::path machine = NewMachine(os);
        Outcome run = Install(machine, std::string(kToPortPage) + "select 1049 LPT1:\nanswer ok\nkey ENTER\nwait\n");
        EXPECT_EQ(run.status, 0) << os << "\n" << run.out;
        EXPECT_EQ(run.out, kInstalled) << os;
        std::string show = Show(machine);
        EXPECT_TRUE(Has(show, "Printers:\n  QPX-T510(P)\n")) << os << "\n" << show;
        EXPECT_TRUE(Has(show, "    Port: LPT1:\n")) << os;
    }
}

TEST_F(InstallCliTest, UsbPrinterWithItsNumberChanged) {
    // The printer reports release 0x0102 (port 3); the driver is not installed yet.
    fs::path machine = NewMachine("xp", "--usb-printer 258");
    Outcome run = Install(machine, std::string(kToPortPage) + "dump\nanswer yes\nanswer ok\nkey ENTER\nwait\n");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_TRUE(Has(run.out, "sel=11")) << run.out;   // USB_QPX-T510_1 preselected
    EXPECT_TRUE(Has(run.out, "MESSAGE Drivanto | The USB number of the connected printer differs")) << run.out;
    EXPECT_TRUE(Has(run.out, kUsbInstalled)) << run.out;
    std::string show = Show(machine);
    EXPECT_TRUE(Has(show, "USB printers: Printer1=256")) << show;
    EXPECT_TRUE(Has(show, "  QPX-T510(U) 1\n    Driver: QPX-T510 USB\n    Port: USB_QPX-T510_1\n")) << show;
    EXPECT_TRUE(Has(show, "C:\\WINDOWS\\system32\\drivers\\bulkusb.sys")) << show;
    EXPECT_TRUE(Has(show, "  Kestran USB Port (KSUSBMON.DLL)")) << show;
}

TEST_F(InstallCliTest, SerialPrinterDefaultWithItsSettings) {
    fs::path machine = NewMachine("win7");
    Outcome run = Install(machine,
                          "click 1057\nkey ENTER\nselect 1030 QPX-N520\nclick 1046\nkey ENTER\nkey ENTER\nkey ENTER\n"
                          "select 1049 KSCOM1:\nselect 1041 38400\nselect 1043 Odd\nanswer ok\nkey ENTER\nwait\n");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.out, kInstalled);
    std::string show = Show(machine);
    EXPECT_TRUE(Has(show, "  QPX-N520(S)\n")) << show;
    EXPECT_TRUE(Has(show, "    Port: KSCOM1:\n")) << show;
    EXPECT_TRUE(Has(show, "Default printer: QPX-N520(S)\n")) << show;
    EXPECT_TRUE(Has(show, "\"COM1:\"=\"38400,o,8,1,p\"")) << show;
}

}  // namespace
