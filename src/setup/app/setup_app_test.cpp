#include "setup/app/setup_app.h"

#include <string>

#include <gtest/gtest.h>

#include "common/language_text.h"
#include "common/sim_sys_for_tests.h"
#include "ui/message_box.h"
#include "ui/test_support.h"

namespace setup {
namespace {

using common::SimSys;
using plat::sim::TempMedium;

const char kNonsupport[] =
    "MESSAGE Drivanto | This version of Windows is not supported.\\nThe printer drivers need "
    "Windows 95, 2000, XP, Server 2003, Vista, Server 2008 or Windows 7.\n";
const char kClose[] =
    "MESSAGE Drivanto | The printer driver uninstaller is running.\\nClose it first, then start "
    "the setup again.\n";
const char kPortNull[] =
    "MESSAGE Drivanto | The driver configuration offers no port for the printer.\\nCheck the "
    "files in the DRVCONFIG folder of the installation medium.\n";

// The two titles of each program's window, in GBK.
const char kSetupTitleZh[] =
    "\xB4\xF2\xD3\xA1\xBB\xFA\xC7\xFD\xB6\xAF\xB0\xB2\xD7\xB0\xB3\xCC\xD0\xF2";
const char kUninstallTitleZh[] = "\xB4\xF2\xD3\xA1\xBB\xFA\xD0\xB6\xD4\xD8\xB3\xCC\xD0\xF2";

class SetupAppTest : public ::testing::Test {
protected:
    SetupAppTest() {
        ui::SetApplicationName("Drivanto");
        common::LanguageText::SetProgram(common::TextProgram::Setup);
    }

    // Runs the start-up; returns its outcome and the message box lines.
    StartupOutcome Start(std::string* messages = nullptr) {
        testing::internal::CaptureStdout();
        SetupApp app;
        EXPECT_FALSE(app.InitInstance());
        std::string out = testing::internal::GetCapturedStdout();
        if (messages) *messages = out;
        lastApp_ = app;
        return app.Outcome();
    }

    SetupApp lastApp_;
};

TEST_F(SetupAppTest, WindowsVersionsRefused) {
    struct Case {
        const char* os;
        bool refused;
    } cases[] = {
        {"95", false},   {"98", true},     {"me", true},    {"nt4", true},  {"2000", false},
        {"xp", false},   {"2003", false},  {"vista", false}, {"2008", false}, {"win7", false},
        {"win10", false},
    };
    for (const Case& c : cases) {
        SimSys sys(SimSys::WithMedium("", c.os));
        std::string messages;
        StartupOutcome outcome = Start(&messages);
        EXPECT_EQ(outcome, c.refused ? StartupOutcome::UnsupportedWindows : StartupOutcome::Passed)
            << c.os;
        EXPECT_EQ(messages, c.refused ? kNonsupport : "") << c.os;
    }
}

TEST_F(SetupAppTest, UninstallerWindowRefusesBeforeTheVersionCheck) {
    for (const char* title : {"Uninstall", kUninstallTitleZh}) {
        SimSys sys(SimSys::WithMedium("", "98"));
        sys.machine().platform().desktop().registerOwnWindow(title);
        std::string messages;
        EXPECT_EQ(Start(&messages), StartupOutcome::UninstallerOpen);
        EXPECT_EQ(messages, kClose);
    }
    // Another window of a similar title does not count.
    SimSys sys;
    sys.machine().platform().desktop().registerOwnWindow("Uninstall - Notes");
    EXPECT_EQ(Start(), StartupOutcome::Passed);
}

// A second copy ends silently; the first copy's window, found by either of
// its titles, comes to the front restored.
TEST_F(SetupAppTest, SecondCopyBringsTheFirstToTheFront) {
    struct Case {
        const char* title;
        bool found;
    } cases[] = {{"Drivanto", true}, {kSetupTitleZh, true}, {"Printer setup", false}};
    for (const Case& c : cases) {
        SimSys sys;
        plat::Desktop& desktop = sys.machine().platform().desktop();
        ASSERT_EQ(Start(), StartupOutcome::Passed);
        plat::Hwnd window = desktop.registerOwnWindow(c.title);
        desktop.setOwnWindowState(window, SW_SHOWMINIMIZED);
        std::string messages;
        EXPECT_EQ(Start(&messages), StartupOutcome::SecondCopy);
        EXPECT_EQ(messages, "");
        std::string log = sys.machine().log();
        std::string quoted = std::string("\"") + c.title + "\"";
        EXPECT_EQ(log.find("SetForegroundWindow " + quoted) != std::string::npos, c.found) << log;
        EXPECT_EQ(log.find("OpenIcon " + quoted) != std::string::npos, c.found) << log;
    }
}

// The port check looks at the last model of the list in all four type files.
TEST_F(SetupAppTest, PortCheck) {
    struct Case {
        const char* name;
        const char* devicename;   // section DEVICENAME of DRVCONFIG\setup.ini
        const char* receipt;      // DRVCONFIG\setup_receipt.ini
        const char* embedded;     // DRVCONFIG\setup_embedded.ini
        bool passes;
    } cases[] = {
        {"last model has ports",
         "DEVICENUMBER=2\r\nDEVICENAME1=A-ReceiptPrinter\r\nDEVICENAME2=B-ReceiptPrinter\r\n",
         "[A.PORT]\r\nUSBSUPPORTED=0\r\n[B.PORT]\r\nCOMSUPPORTED=1\r\n", "", true},
        {"last model without ports, an earlier one with",
         "DEVICENUMBER=2\r\nDEVICENAME1=A-ReceiptPrinter\r\nDEVICENAME2=B-ReceiptPrinter\r\n",
         "[A.PORT]\r\nUSBSUPPORTED=1\r\n[B.PORT]\r\nUSBSUPPORTED=0\r\nLPTSUPPORTED=0\r\n"
         "COMSUPPORTED=0\r\n",
         "", false},
        {"ports of the model in another type file",
         "DEVICENUMBER=1\r\nDEVICENAME1=B-ReceiptPrinter\r\n", "",
         "[B.PORT]\r\nLPTSUPPORTED=1\r\n", true},
        {"a negative switch is not 0",
         "DEVICENUMBER=1\r\nDEVICENAME1=B-LabelPrinter\r\n", "[B.PORT]\r\nUSBSUPPORTED=-1\r\n",
         "", true},
        {"no models", "DEVICENUMBER=0\r\nDEVICENAME1=A-ReceiptPrinter\r\n",
         "[A.PORT]\r\nUSBSUPPORTED=1\r\n", "", false},
        {"no model with a type",
         "DEVICENUMBER=1\r\nDEVICENAME1=A\r\n", "[A.PORT]\r\nUSBSUPPORTED=1\r\n", "", false},
        {"an untyped last entry is skipped",
         "DEVICENUMBER=2\r\nDEVICENAME1=A-TicketPrinter\r\nDEVICENAME2=Notes\r\n",
         "[A.PORT]\r\nCOMSUPPORTED=1\r\n[Notes.PORT]\r\nCOMSUPPORTED=0\r\n", "", true},
        {"an empty model name offers nothing",
         "DEVICENUMBER=1\r\nDEVICENAME1=-ReceiptPrinter\r\n", "[.PORT]\r\nCOMSUPPORTED=1\r\n",
         "", false},
    };
    for (const Case& c : cases) {
        TempMedium medium;
        medium.write("DRVCONFIG/setup.ini", std::string("[DEVICENAME]\r\n") + c.devicename);
        medium.write("DRVCONFIG/setup_receipt.ini", c.receipt);
        medium.write("DRVCONFIG/setup_embedded.ini", c.embedded);
        SimSys sys(SimSys::WithMedium(medium.dir()));
        std::string messages;
        EXPECT_EQ(Start(&messages), c.passes ? StartupOutcome::Passed : StartupOutcome::NoPort)
            << c.name;
        EXPECT_EQ(messages, c.passes ? "" : kPortNull) << c.name;
    }
}

TEST_F(SetupAppTest, AgreementAndFontSwitches) {
    struct Case {
        const char* keys;
        bool showAgreement;
        bool chineseFont;
    } cases[] = {
        {"LANGUAGE=1\r\nLOADLICENSE=1\r\n", true, false},
        {"LANGUAGE=0\r\nLOADLICENSE=0\r\n", false, true},
        {"", false, true},   // both missing
        {"LANGUAGE=English\r\nLOADLICENSE=2\r\n", true, true},
    };
    for (const Case& c : cases) {
        TempMedium medium;
        medium.write("DRVCONFIG/setup.ini", std::string("[DEVICENAME]\r\nDEVICENUMBER=1\r\n"
                                                        "DEVICENAME1=QPX-T510-ReceiptPrinter\r\n") +
                                                c.keys);
        SimSys sys(SimSys::WithMedium(medium.dir()));
        ASSERT_EQ(Start(), StartupOutcome::Passed) << c.keys;
        EXPECT_EQ(lastApp_.showAgreement, c.showAgreement) << c.keys;
        EXPECT_EQ(lastApp_.chineseFont, c.chineseFont) << c.keys;
    }
}

// Past the checks the start-up runs the wizard, on the agreement page when
// LOADLICENSE asks for it and on the model page otherwise.
TEST_F(SetupAppTest, RunsTheWizard) {
    struct Case {
        const char* keys;
        const char* firstPage;
    } cases[] = {{"LOADLICENSE=1\r\n", "page 133"}, {"LOADLICENSE=0\r\n", "page 131"}, {"", "page 131"}};
    for (const Case& c : cases) {
        TempMedium medium;
        medium.write("DRVCONFIG/setup.ini", std::string("[DEVICENAME]\r\nDEVICENUMBER=1\r\n"
                                                        "DEVICENAME1=QPX-T510-ReceiptPrinter\r\n") +
                                                c.keys);
        SimSys sys(SimSys::WithMedium(medium.dir()));
        ui::Hooks hooks;
        hooks.desktop = &sys.machine().platform().desktop();
        ui::test::ScriptRun run("dump\nkey ESCAPE\n", hooks);
        SetupApp app;
        EXPECT_FALSE(app.InitInstance());
        run.finish();
        EXPECT_EQ(run.failStatus, 0) << c.keys;
        EXPECT_EQ(app.Outcome(), StartupOutcome::Passed);
        EXPECT_EQ(app.WizardResult(), IDCANCEL);
        EXPECT_NE(run.out().find(c.firstPage), std::string::npos) << run.out();
        // The wizard's window is gone with the program's end of the wizard.
        EXPECT_EQ(sys.machine().platform().desktop().findWindow("Drivanto"), 0u);
    }
}

// The start-up values reach the wizard and every page.
TEST_F(SetupAppTest, StartupValuesReachThePages) {
    SimSys sys;
    for (bool agreement : {true, false}) {
        for (bool chinese : {true, false}) {
            SetupWindows w(agreement, chinese);
            EXPECT_EQ(w.wizard.showAgreement, agreement ? 1 : 0);
            EXPECT_EQ(w.agreementPage.loadLicense, agreement ? 1 : 0);
            const int flag = chinese ? 1 : 0;
            for (int pageFlag : {w.wizard.chineseFont, w.agreementPage.chineseFont, w.modelPage.chineseFont,
                                 w.modePage.chineseFont, w.osPage.chineseFont, w.portPage.chineseFont}) {
                EXPECT_EQ(pageFlag, flag) << agreement << chinese;
            }
            EXPECT_EQ(w.wizard.PageCount(), 5);
        }
    }
}

}  // namespace
}  // namespace setup
