// The built uninstall program on machines made with the winsim tool, run
// with scripts: the start-up refusals, a whole removal with the restart
// prompt, and the USB driver step alone.
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "platform/host.h"
#include "platform/sim/program_run.h"
#include "uninstall/uninstall_test_fixture.h"

namespace uninstall {
namespace {

namespace fs = std::filesystem;
using Outcome = plat::sim::ProgramOutcome;
using plat::sim::Quote;
using plat::sim::Shell;

class UninstallCli : public plat::sim::ProgramRunTest {
protected:
    UninstallCli() : ProgramRunTest("uninstall", "uninstall-cli") {}

    fs::path NewMachine(const std::string& os, const std::string& flags = "") {
        return MakeMachine(dir_ / ("m" + std::to_string(++machines_)), os, flags);
    }
    // Installs the maker's components and one printer on the machine, as
    // the setup leaves them.
    void Seed(const fs::path& machine) {
        plat::HostOptions options;
        options.programName = "Uninstall.exe";
        options.machineDir = machine;
        options.mediumDir = demo_;
        std::string error;
        std::unique_ptr<plat::Platform> platform = plat::CreateHostPlatform(options, &error);
        ASSERT_TRUE(platform) << error;
        common::SetSys(platform.get());
        test::InstallComponents(true);
        test::InstallDriver(test::kRasterDriver, test::kLangMonitor);
        test::AddPrinter("Kitchen", "KSCOM1:", test::kRasterDriver, test::kProcessor);
        common::SetSys(nullptr);
    }
    Outcome Run(const fs::path& machine, const std::string& script, const fs::path& medium = {}) {
        return RunScripted(machine, medium.empty() ? demo_ : medium, script);
    }
    // The spooler's part of `winsim show`: printers to ports.
    std::string Spooler(const fs::path& machine) {
        std::string shown = Show(machine);
        std::size_t from = shown.find("\nPrinters:");
        std::size_t to = shown.find("\nFiles under");
        return from == std::string::npos ? shown : shown.substr(from, to - from);
    }
    std::string Log(const fs::path& machine) {
        std::ifstream in(machine / "log.txt", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    const fs::path& uninstall_ = program_;
    int machines_ = 0;
};

TEST_F(UninstallCli, StartupRefusalsEndWithTheirStatus) {
    fs::path setupOpen = NewMachine("xp");
    ASSERT_EQ(Shell(Quote(winsim_) + " window " + Quote(setupOpen) + " open Drivanto").status, 0);
    fs::path noList = dir_ / "medium";
    fs::copy(demo_, noList, fs::copy_options::recursive);
    fs::remove(noList / "Uninstall.ini");
    struct Case {
        fs::path machine;
        fs::path medium;
        int status;
        const char* message;
    } cases[] = {
        {setupOpen, {}, 12, "The printer driver setup is running.\\nClose it first, then start the uninstaller again."},
        {NewMachine("xp64"), {}, 13, "This uninstaller cannot remove printer drivers on 64-bit Windows."},
        {NewMachine("vista", "--not-admin"), {}, 14,
         "Only an administrator can remove printer drivers.\\nLog on as an administrator and start the "
         "uninstaller again."},
        {NewMachine("xp"), noList, 15, "The uninstall list Uninstall.ini was not found."},
    };
    for (const Case& c : cases) {
        Outcome run = Run(c.machine, "answer ok\n", c.medium);
        EXPECT_EQ(run.status, c.status) << run.out;
        EXPECT_EQ(run.out, std::string("MESSAGE Uninstall | ") + c.message + "\n");
    }
}

TEST_F(UninstallCli, UsageErrors) {
    EXPECT_EQ(Shell(Quote(uninstall_) + " --machine 2>&1").status, 64);
    EXPECT_EQ(Shell(Quote(uninstall_) + " --bogus x 2>&1").status, 64);
    Outcome missing = Shell(Quote(uninstall_) + " --machine " + Quote(dir_ / "none") + " --medium " +
                            Quote(demo_) + " --script /dev/null 2>&1");
    EXPECT_EQ(missing.status, 70) << missing.out;
}

TEST_F(UninstallCli, RemovesEverythingAndRestartsWindows) {
    fs::path machine = NewMachine("xp");
    Seed(machine);
    ASSERT_NE(Spooler(machine).find("Kestran COM Port"), std::string::npos);
    Outcome run = Run(machine,
                      "click 1012\n"
                      "click 1002\n"
                      "wait\n"
                      "click 1\n"       // Yes in the restart prompt
                      "dump\n"
                      "click 2\n");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("  1010 listview \"\" disabled shown items=[] sel=-1\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"QPXPrint has been removed.\"] sel=12"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("  2 button \"E&xit\" enabled shown\n"), std::string::npos) << run.out;
    std::string shown = Spooler(machine);
    EXPECT_EQ(shown.find("Kestran"), std::string::npos) << shown;
    EXPECT_EQ(shown.find("Kitchen"), std::string::npos) << shown;
    std::string log = Log(machine);
    EXPECT_NE(log.find("Shutdown privilege enabled"), std::string::npos) << log;
    EXPECT_NE(log.find("ExitWindowsEx flags=0x2 reason=0x0"), std::string::npos) << log;
}

TEST_F(UninstallCli, UsbDriverStepAlone) {
    fs::path machine = NewMachine("2000", "--bulkusb 1.0.0.5");
    Outcome run = Run(machine,
                      "click 1019\n"
                      "click 1002\n"
                      "wait\n"
                      "dump\n"
                      "click 2\n");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("items=[\"Check the items to remove, then press Uninstall.\",\"Removing the USB printer "
                           "driver ...\",\"The USB printer driver step has finished.\"] sel=2"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("  1002 button \"&Uninstall\" disabled shown\n"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("dialog 129"), std::string::npos) << run.out;
    EXPECT_FALSE(fs::exists(machine / "C" / "WINDOWS" / "system32" / "drivers" / "bulkusb.sys"));
    EXPECT_EQ(Log(machine).find("ExitWindowsEx"), std::string::npos);
}

TEST_F(UninstallCli, QueuedJobsStopTheRunBeforeItStarts) {
    fs::path machine = NewMachine("win7");
    Seed(machine);
    ASSERT_EQ(Shell(Quote(winsim_) + " job " + Quote(machine) + " Kitchen 1").status, 0);
    Outcome run = Run(machine, "click 1012\nclick 1002\nwait\ndump\nclick 2\n");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("\"The printer Kitchen still holds print jobs.\"] sel=1"), std::string::npos) << run.out;
    EXPECT_NE(Spooler(machine).find("Kestran COM Port"), std::string::npos);
}

}  // namespace
}  // namespace uninstall
