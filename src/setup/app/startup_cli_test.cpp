// The built drivanto program on machines made with the winsim tool: every
// start-up refusal shows its text and ends with a non-zero status.
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "platform/sim/program_run.h"

namespace {

namespace fs = std::filesystem;
using Outcome = plat::sim::ProgramOutcome;
using plat::sim::Quote;
using plat::sim::Shell;

class StartupCliTest : public plat::sim::ProgramRunTest {
protected:
    StartupCliTest() : ProgramRunTest("drivanto", "drivanto-cli") {}

    fs::path NewMachine(const std::string& name, const std::string& os) { return MakeMachine(dir_ / name, os); }
    Outcome Scripted(const fs::path& machine, const fs::path& medium, const std::string& script) {
        return RunScripted(machine, medium, script, "wizard-script.txt");
    }
    Outcome Drivanto(const fs::path& machine, const fs::path& medium) { return RunProgram(machine, medium); }

    const fs::path& drivanto_ = program_;
};

TEST_F(StartupCliTest, RefusesWindows98MeAndNt4) {
    for (const char* os : {"98", "me", "nt4"}) {
        Outcome run = Drivanto(NewMachine(os, os), demo_);
        EXPECT_EQ(run.status, 13) << os;
        EXPECT_EQ(run.out,
                  "MESSAGE Drivanto | This version of Windows is not supported.\\nThe printer "
                  "drivers need Windows 95, 2000, XP, Server 2003, Vista, Server 2008 or "
                  "Windows 7.\n")
            << os;
    }
}

TEST_F(StartupCliTest, RefusesWhileTheUninstallerIsOpen) {
    fs::path machine = NewMachine("xp", "xp");
    Outcome opened = Shell(Quote(winsim_) + " window " + Quote(machine) + " open Uninstall 2>&1");
    ASSERT_EQ(opened.status, 0) << opened.out;
    Outcome run = Drivanto(machine, demo_);
    EXPECT_EQ(run.status, 12);
    EXPECT_NE(run.out.find("MESSAGE Drivanto | The printer driver uninstaller is running."),
              std::string::npos)
        << run.out;
}

TEST_F(StartupCliTest, RefusesAConfigurationWhoseLastModelHasNoPort) {
    fs::path medium = dir_ / "medium";
    fs::copy(demo_, medium, fs::copy_options::recursive);
    {
        std::ofstream out(medium / "DRVCONFIG" / "setup_embedded.ini", std::ios::binary);
        out << "[QPX-E30.PORT]\r\nUSBSUPPORTED=0\r\nLPTSUPPORTED=0\r\nCOMSUPPORTED=0\r\n";
    }
    Outcome run = Drivanto(NewMachine("xp", "xp"), medium);
    EXPECT_EQ(run.status, 14);
    EXPECT_NE(run.out.find("MESSAGE Drivanto | The driver configuration offers no port"),
              std::string::npos)
        << run.out;
}

// Past the checks the wizard opens; Cancel ends the program.
TEST_F(StartupCliTest, PassesOnWindowsXpWithTheDemoMedium) {
    Outcome run = Scripted(NewMachine("xp", "xp"), demo_, "dump\nkey ESCAPE\n");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("dialog 102"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("page 133"), std::string::npos) << run.out;
}

// The wizard's own refusal, answered by the script: a user who is not an
// administrator on Windows XP.
TEST_F(StartupCliTest, WizardRefusesANonAdministrator) {
    fs::path machine = dir_ / "user";
    Outcome made = Shell(Quote(winsim_) + " new " + Quote(machine) + " --os xp --not-admin 2>&1");
    ASSERT_EQ(made.status, 0) << made.out;
    Outcome run = Scripted(machine, demo_, "answer ok\n");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.out,
              "MESSAGE Drivanto | Only an administrator can install printer drivers.\\nLog on as an "
              "administrator and start the setup again.\n");
}

// Without a terminal and without a script the wizard has nothing to draw on:
// the program says so and ends.
TEST_F(StartupCliTest, NoDisplayForTheWizard) {
    Outcome run = Shell(Quote(drivanto_) + " --machine " + Quote(NewMachine("xp", "xp")) +
                        " --medium " + Quote(demo_) + " </dev/null 2>&1");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("no display for the wizard"), std::string::npos) << run.out;
}

// The whole way to the port page with the demo medium on Windows XP: accept
// the agreement, keep the default model, typical mode, the detected Windows,
// then Cancel on the port page.
TEST_F(StartupCliTest, WalksToThePortPageAndCancels) {
    const char* script =
        "click 1057\n"
        "key ENTER\n"            // to the model page
        "key ENTER\n"            // to the mode page
        "key ENTER\n"            // to the Windows page
        "key ENTER\n"            // to the port page
        "dump\n"
        "click 2\n";
    fs::path machine = NewMachine("xp", "xp");
    Outcome run = Scripted(machine, demo_, script);
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("page 132"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("1 defbutton \"&Install\" enabled"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"USB_QPX-T510_1\""), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("1041 droplist \"\" disabled shown items=[\"110\",\"300\",\"1200\","
                           "\"2400\",\"4800\",\"9600\",\"19200\",\"38400\",\"57600\",\"115200\"] sel=5"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(run.out.find("MESSAGE"), std::string::npos) << run.out;
    // Cancel installs nothing.
    Outcome shown = Shell(Quote(winsim_) + " show " + Quote(machine) + " 2>&1");
    EXPECT_EQ(shown.out.find("QPX-T510"), std::string::npos) << shown.out;
}

// In a scripted run the refusal's box takes the script's answer; a script
// without one fails the run.
TEST_F(StartupCliTest, ScriptedRunAnswersTheRefusal) {
    fs::path machine = NewMachine("me", "me");
    struct Case {
        const char* script;
        int status;
    } cases[] = {{"# the refusal\nanswer ok\n", 13}, {"# no answer\n", 3}};
    for (const Case& c : cases) {
        fs::path script = dir_ / "script.txt";
        std::ofstream(script, std::ios::binary) << c.script;
        Outcome run = Shell(Quote(drivanto_) + " --machine " + Quote(machine) + " --medium " +
                            Quote(demo_) + " --script " + Quote(script) + " 2>&1");
        EXPECT_EQ(run.status, c.status) << c.script << run.out;
        EXPECT_NE(run.out.find("MESSAGE Drivanto | This version of Windows is not supported."),
                  std::string::npos)
            << run.out;
    }
}

TEST_F(StartupCliTest, UsageErrors) {
    struct Case {
        std::string arguments;
        const char* why;
    } cases[] = {
        {"", "--machine and --medium are required"},
        {"--machine", "--machine needs a value"},
        {"--medium x --machine", "--machine needs a value"},
        {"--colour blue", "unknown argument '--colour'"},
    };
    for (const Case& c : cases) {
        Outcome run = Shell(Quote(drivanto_) + " " + c.arguments + " 2>&1");
        EXPECT_EQ(run.status, 64) << c.arguments;
        EXPECT_NE(run.out.find(c.why), std::string::npos) << run.out;
    }
    Outcome missing = Drivanto(dir_ / "no-machine", demo_);
    EXPECT_EQ(missing.status, 70) << missing.out;
}

}  // namespace
