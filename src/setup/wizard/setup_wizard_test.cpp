#include "setup/wizard/setup_wizard_dlg.h"

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/win_types.h"
#include "setup/wizard/wizard_test_fixture.h"
#include "ui/app.h"
#include "ui/model.h"

namespace setup {
namespace {

using common::SimSys;
using plat::sim::TempMedium;
using plat::sim::TestMachineOptions;
using test::ControlLine;
using test::Step;
using test::WizardRun;

const char kX64[] = "This setup cannot install the printer drivers on 64-bit Windows.";
const char kNoLeft[] = "The picture DRVCONFIG\\Left.bmp cannot be loaded.";
const char kAdmin[] =
    "Only an administrator can install printer drivers.\\nLog on as an administrator and start the "
    "setup again.";
const char kNoLicense[] = "The licence agreement License.txt cannot be opened.";

// A medium whose one receipt model M has the port switches `portKeys`
// (besides its ports), for the step checks.
void WriteModel(TempMedium& medium, const std::string& portKeys, const std::string& devicename =
                    "DEVICENUMBER=1\r\nDEVICENAME1=M-ReceiptPrinter\r\nDEFAULTNAME=1\r\n") {
    medium.write("DRVCONFIG/setup.ini", "[DEVICENAME]\r\n" + devicename + "LANGUAGE=1\r\n");
    medium.write("DRVCONFIG/setup_receipt.ini",
                 "[M.PORT]\r\nUSBSUPPORTED=1\r\nLPTSUPPORTED=1\r\nCOMSUPPORTED=1\r\n" + portKeys);
}

class SetupWizardTest : public test::WizardTest {};

// The wizard refuses 64-bit Windows, a missing or broken left picture and,
// from Windows 2000 on, users who are not administrators; it closes at once.
TEST_F(SetupWizardTest, InitialisationRefusals) {
    struct Case {
        const char* name;
        const char* os;
        bool admin;
        bool wow64;
        const char* leftBmp;   // nullptr: remove it; "": keep the medium's
        const char* message;   // nullptr: the wizard opens
    } cases[] = {
        {"64-bit Windows", "win7", true, true, "", kX64},
        {"64-bit and not admin: the first refusal only", "win7", false, true, "", kX64},
        {"picture missing", "xp", true, false, nullptr, kNoLeft},
        {"picture not a bitmap", "xp", true, false, "not a picture", kNoLeft},
        {"not admin on XP", "xp", false, false, "", kAdmin},
        {"not admin on Windows 2000", "2000", false, false, "", kAdmin},
        {"not admin on Windows 7", "win7", false, false, "", kAdmin},
        {"not admin on Windows 95", "95", false, false, "", nullptr},
        {"admin on Vista", "vista", true, false, "", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempMedium medium;
        if (!c.leftBmp) medium.remove("DRVCONFIG/Left.bmp");
        else if (*c.leftBmp) medium.write("DRVCONFIG/Left.bmp", c.leftBmp);
        TestMachineOptions options = SimSys::WithMedium(medium.dir(), c.os);
        options.admin = c.admin;
        options.wow64 = c.wow64;
        SimSys sys(options);
        WizardRun run = Run(c.message ? "answer ok\n" : "dump\nkey ESCAPE\n", true);
        EXPECT_EQ(run.failStatus, 0) << run.err;
        EXPECT_EQ(run.result, IDCANCEL);
        if (c.message) {
            EXPECT_EQ(run.Messages(), std::vector<std::string>{c.message});
            EXPECT_TRUE(run.Dumps().empty()) << run.out;
        } else {
            EXPECT_TRUE(run.Messages().empty()) << run.out;
            ASSERT_EQ(run.Dumps().size(), 1u);
            EXPECT_NE(run.Dumps()[0].find("paint bitmap 1087"), std::string::npos) << run.out;
        }
    }
}

// The page order and the states of Back and Next on the way there and back,
// with and without the agreement page.
TEST_F(SetupWizardTest, PageOrderAndButtons) {
    SimSys sys;
    const char* withAgreement =
        "dump\n"
        "click 1057\ndump\n"
        "click 1058\ndump\n"
        "click 1057\nkey ENTER\ndump\n"
        "key ENTER\ndump\n"
        "key ENTER\ndump\n"
        "key ENTER\ndump\n"
        "click 1002\ndump\n"
        "click 1002\nclick 1002\ndump\n"
        "click 1002\ndump\n"
        "key ESCAPE\n";
    WizardRun run = Run(withAgreement, true);
    EXPECT_EQ(run.failStatus, 0) << run.err;
    std::vector<std::string> steps;
    for (const std::string& dump : run.Dumps()) steps.push_back(Step(dump));
    EXPECT_EQ(steps, (std::vector<std::string>{
                         "133 back=disabled next=disabled &Next >",
                         "133 back=disabled next=enabled &Next >",
                         "133 back=disabled next=disabled &Next >",
                         "131 back=enabled next=enabled &Next >",
                         "137 back=enabled next=enabled &Next >",
                         "130 back=enabled next=enabled &Next >",
                         "132 back=enabled next=enabled &Install",
                         "130 back=enabled next=enabled &Next >",
                         "131 back=enabled next=enabled &Next >",
                         "133 back=disabled next=enabled &Next >",
                     }));

    const char* withoutAgreement =
        "dump\n"
        "key ENTER\ndump\n"
        "click 1002\ndump\n"
        "key ENTER\nkey ENTER\nkey ENTER\ndump\n"
        "click 1002\nclick 1002\nclick 1002\ndump\n"
        "key ESCAPE\n";
    run = Run(withoutAgreement, false);
    EXPECT_EQ(run.failStatus, 0) << run.err;
    steps.clear();
    for (const std::string& dump : run.Dumps()) steps.push_back(Step(dump));
    EXPECT_EQ(steps, (std::vector<std::string>{
                         "131 back=disabled next=enabled &Next >",
                         "137 back=enabled next=enabled &Next >",
                         "131 back=disabled next=enabled &Next >",
                         "132 back=enabled next=enabled &Install",
                         "131 back=disabled next=enabled &Next >",
                     }));
}

// The pages are registered in their fixed order, with their titles and
// templates; with one page the button reads Install from the start.
TEST_F(SetupWizardTest, RegisteredPages) {
    SimSys sys;
    Run("key ESCAPE\n", false, false, {}, [](SetupWindows& w, ui::test::ScriptRun&) {
        EXPECT_EQ(w.wizard.pageTemplates, (std::vector<unsigned>{133, 131, 137, 130, 132}));
        EXPECT_EQ(w.wizard.pageTitles[1], "STEP 2\tSelect Install Module");
        EXPECT_EQ(w.wizard.pageTitles[3], "STEP 1\tSelect Install OS");
        EXPECT_EQ(w.wizard.pageTitles[4], "STEP 3\tSet Printer Port and Confirm Setup");
        EXPECT_EQ(w.wizard.GetPage(2), &w.modePage);
        EXPECT_EQ(w.wizard.GetPage(5), nullptr);
        EXPECT_EQ(w.wizard.GetPortPage(), &w.portPage);
    });

    // A wizard with the port page alone.
    ui::Hooks hooks;
    hooks.desktop = &common::Sys().desktop();
    hooks.clock = &common::Sys().clock();
    ui::test::ScriptRun script("dump\nkey ESCAPE\n", hooks);
    {
        SetupWizardDlg wizard;
        PortPage port;
        wizard.AddPage("only", &port, 132);
        ui::SetMainWindow(&wizard);
        EXPECT_EQ(wizard.DoModal(), IDCANCEL);
        ui::SetMainWindow(nullptr);
    }
    script.finish();
    EXPECT_NE(script.out().find("1 defbutton \"&Install\""), std::string::npos) << script.out();
}

// License.txt: a missing file closes the wizard before it appears; an empty
// one and a failed allocation leave an empty text; without LOADLICENSE the
// file is never read.
TEST_F(SetupWizardTest, AgreementText) {
    struct Case {
        const char* name;
        const char* license;   // nullptr: no file
        bool loadLicense;
        bool noMemory;
        const char* message;
        const char* text;      // the text box as the dump shows it
    } cases[] = {
        {"missing", nullptr, true, false, kNoLicense, nullptr},
        {"empty", "", true, false, nullptr, "\"\""},
        {"bytes unchanged", "A\r\n\xB4\xF2\xD3\xA1 B", true, false, nullptr, "\"A\\n打印 B\""},
        {"no memory for the text", "Terms", true, true, nullptr, "\"\""},
        {"not asked for", nullptr, false, false, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempMedium medium;
        if (c.license) medium.write("License.txt", c.license);
        else medium.remove("License.txt");
        SimSys sys(SimSys::WithMedium(medium.dir()));
        if (c.noMemory) sys.machine().failAlways("system.allocate", ERROR_NOT_ENOUGH_MEMORY);
        WizardRun run = Run(c.message ? "answer ok\n" : "dump\nkey ESCAPE\n", c.loadLicense);
        EXPECT_EQ(run.failStatus, 0) << run.err;
        EXPECT_EQ(run.result, IDCANCEL);
        EXPECT_EQ(run.Messages(), c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
        if (c.message) {
            EXPECT_TRUE(run.Dumps().empty()) << run.out;
            continue;
        }
        ASSERT_EQ(run.Dumps().size(), 1u) << run.out;
        const std::string dump = run.Dumps()[0];
        if (c.text) {
            // Drawn on the window background, not on the read-only grey.
            EXPECT_EQ(ControlLine(dump, 1081),
                      std::string("1081 edit ") + c.text + " enabled shown color=sys8 back=sys5");
        } else {
            EXPECT_EQ(test::ShownPages(dump), std::vector<int>{131});
        }
    }
}

// Leaving the agreement page when the configuration lists no model keeps
// Next disabled on the model page.
TEST_F(SetupWizardTest, NoModelsKeepNextDisabled) {
    TempMedium medium;
    WriteModel(medium, "", "DEVICENUMBER=0\r\n");
    SimSys sys(SimSys::WithMedium(medium.dir()));
    WizardRun run = Run("click 1057\nkey ENTER\ndump\nclick 1002\ndump\nkey ESCAPE\n", true);
    EXPECT_EQ(run.failStatus, 0) << run.err;
    ASSERT_EQ(run.Dumps().size(), 2u);
    EXPECT_EQ(Step(run.Dumps()[0]), "131 back=enabled next=disabled &Next >");
    EXPECT_EQ(Step(run.Dumps()[1]), "133 back=disabled next=enabled &Next >");
}

// Leaving the Windows page checks the model's support switch for the chosen
// Windows; a refusal keeps the Windows page.
TEST_F(SetupWizardTest, SupportPerWindowsVersion) {
    struct Case {
        const char* os;
        const char* key;       // the switch that must be set; nullptr: none needed
        const char* message;
    } cases[] = {
        {"95", nullptr, nullptr},
        {"98", nullptr, nullptr},
        {"nt4", "SystemNTSupported", "This printer model cannot be installed on Windows NT 4.0."},
        {"2000", nullptr, nullptr},
        {"xp", nullptr, nullptr},
        {"2003", "System2003Supported", "This printer model cannot be installed on Windows Server 2003."},
        {"vista", "SystemVistaSupported", "This printer model cannot be installed on Windows Vista."},
        {"2008", "System2008Supported", "This printer model cannot be installed on Windows Server 2008."},
        {"win7", "SystemWin7Supported", "This printer model cannot be installed on Windows 7."},
        {"2008r2", "SystemWin7Supported", "This printer model cannot be installed on Windows 7."},
        {"win8", nullptr, nullptr},
    };
    const char* allOthers =
        "SystemNTSupported=1\r\nSystem2003Supported=1\r\nSystemVistaSupported=1\r\n"
        "System2008Supported=1\r\nSystemWin7Supported=1\r\n";
    for (const Case& c : cases) {
        for (const char* value : {"", "0", "1"}) {
            SCOPED_TRACE(std::string(c.os) + " with the switch " + (*value ? value : "missing"));
            // Every other switch is set, so that only the one that counts decides.
            std::string keys;
            std::string all = allOthers;
            std::size_t from = 0;
            while (from < all.size()) {
                std::size_t end = all.find("\r\n", from);
                std::string line = all.substr(from, end - from);
                if (!c.key || line.rfind(c.key, 0) != 0) keys += line + "\r\n";
                from = end + 2;
            }
            if (c.key && *value) keys += std::string(c.key) + "=" + value + "\r\n";
            TempMedium medium;
            WriteModel(medium, keys);
            SimSys sys(SimSys::WithMedium(medium.dir(), c.os));
            const bool refused = c.key && std::strcmp(value, "1") != 0;
            std::string script = "key ENTER\nkey ENTER\n";
            if (refused) script += "answer ok\n";
            script += "key ENTER\ndump\nkey ESCAPE\n";
            WizardRun run = Run(script);
            EXPECT_EQ(run.failStatus, 0) << run.err;
            EXPECT_EQ(run.Messages(), refused ? std::vector<std::string>{c.message} : std::vector<std::string>{});
            ASSERT_EQ(run.Dumps().size(), 1u);
            EXPECT_EQ(Step(run.Dumps()[0]), refused ? "130 back=enabled next=enabled &Next >"
                                                     : "132 back=enabled next=enabled &Install");
        }
    }
}

// A model without AdvancedSetup forces the typical mode, even after the user
// chose advanced for another model; a model with it leaves the choice.
TEST_F(SetupWizardTest, ForcedTypicalMode) {
    TempMedium medium;
    medium.write("DRVCONFIG/setup.ini",
                 "[DEVICENAME]\r\nDEVICENUMBER=2\r\nDEVICENAME1=A-ReceiptPrinter\r\n"
                 "DEVICENAME2=B-ReceiptPrinter\r\nDEFAULTNAME=1\r\nLANGUAGE=1\r\n");
    medium.write("DRVCONFIG/setup_receipt.ini",
                 "[A.PORT]\r\nUSBSUPPORTED=1\r\nAdvancedSetup=1\r\n"
                 "[B.PORT]\r\nUSBSUPPORTED=1\r\n");
    SimSys sys(SimSys::WithMedium(medium.dir()));
    const char* script =
        "key ENTER\nclick 1067\ndump\n"           // A: advanced chosen
        "click 1002\nselect 1030 B\nkey ENTER\ndump\n"   // B: forced typical
        "key ENTER\nkey ENTER\n"                   // to the port page
        "click 1002\nclick 1002\nclick 1002\nselect 1030 A\nkey ENTER\ndump\n"   // A again
        "key ESCAPE\n";
    int modeAtPortPage = -1;
    WizardRun run = Run(script, false, false, [&](SetupWindows& w) { modeAtPortPage = w.portPage.installMode; });
    EXPECT_EQ(run.failStatus, 0) << run.err;
    ASSERT_EQ(run.Dumps().size(), 3u);
    const std::string advanced = run.Dumps()[0];
    EXPECT_EQ(ControlLine(advanced, 1067), "1067 autoradio \"&Advanced installation\" enabled shown checked");
    EXPECT_EQ(ControlLine(advanced, 1069).find("1069 static \"Connect and switch on only one USB printer"), 0u);
    EXPECT_NE(ControlLine(advanced, 1069).find("enabled shown"), std::string::npos);

    const std::string forced = run.Dumps()[1];
    EXPECT_EQ(ControlLine(forced, 1066), "1066 autoradio \"&Typical installation\" enabled shown checked");
    EXPECT_EQ(ControlLine(forced, 1067), "1067 autoradio \"&Advanced installation\" disabled shown unchecked");
    EXPECT_EQ(ControlLine(forced, 1068),
              "1068 static \"This printer model can only be installed with the typical installation.\" "
              "enabled shown");
    EXPECT_NE(ControlLine(forced, 1069).find("hidden"), std::string::npos);
    EXPECT_NE(ControlLine(forced, 1070).find("hidden"), std::string::npos);
    EXPECT_EQ(modeAtPortPage, 1);

    // Back to A: Advanced may be chosen again; the forced choice stays.
    const std::string again = run.Dumps()[2];
    EXPECT_EQ(ControlLine(again, 1067), "1067 autoradio \"&Advanced installation\" enabled shown unchecked");
    EXPECT_EQ(ControlLine(again, 1066), "1066 autoradio \"&Typical installation\" enabled shown checked");
}

// The port page's baud rate is preset from the model's BaudRate on the way
// from the Windows page, until the user goes back before the mode page.
TEST_F(SetupWizardTest, BaudRatePreset) {
    struct Case {
        const char* baud;
        int index;
    } cases[] = {{"110", 0}, {"9600", 5}, {"19200", 6}, {"38400", 7}, {"12345", 7},
                 {"", 7},    {"57600", 8}, {"115200", 9}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.baud);
        TempMedium medium;
        WriteModel(medium, *c.baud ? std::string("BaudRate=") + c.baud + "\r\n" : "");
        SimSys sys(SimSys::WithMedium(medium.dir()));
        int baud = -1;
        WizardRun run = Run("key ENTER\nkey ENTER\nkey ENTER\ndump\nkey ESCAPE\n", false, false,
                            [&](SetupWindows& w) { baud = w.portPage.baudRate; });
        EXPECT_EQ(run.failStatus, 0) << run.err;
        ASSERT_EQ(run.Dumps().size(), 1u);
        std::string line = ControlLine(run.Dumps()[0], 1041);
        EXPECT_EQ(line.substr(line.rfind(" sel=")), " sel=" + std::to_string(c.index));
        EXPECT_EQ(baud, std::atoi(c.baud));
    }

    // The user's rate survives Back to the Windows page; Back past the mode
    // page presets the configured rate again.
    TempMedium medium;
    WriteModel(medium, "BaudRate=9600\r\n");
    SimSys sys(SimSys::WithMedium(medium.dir()));
    const char* script =
        "key ENTER\nkey ENTER\nkey ENTER\n"
        "select 1049 KSCOM1:\nselect 1041 300\n"
        "click 1002\nkey ENTER\ndump\n"
        "click 1002\nclick 1002\nkey ENTER\nkey ENTER\ndump\n"      // back to the mode page only
        "click 1002\nclick 1002\nclick 1002\nkey ENTER\nkey ENTER\nkey ENTER\ndump\n"
        "key ESCAPE\n";
    WizardRun run = Run(script);
    EXPECT_EQ(run.failStatus, 0) << run.err;
    ASSERT_EQ(run.Dumps().size(), 3u);
    auto sel = [](const std::string& dump) {
        std::string line = ControlLine(dump, 1041);
        return line.substr(line.rfind(" sel="));
    };
    EXPECT_EQ(sel(run.Dumps()[0]), " sel=1");
    EXPECT_EQ(sel(run.Dumps()[1]), " sel=1");
    EXPECT_EQ(sel(run.Dumps()[2]), " sel=5");
}

// Entering the last page copies the pages' choices into the selection; going
// back and choosing again refreshes them.
TEST_F(SetupWizardTest, SelectionOnTheLastPage) {
    struct Case {
        const char* name;
        const char* os;
        const char* script;
        int printerType;
        const char* modelName;
        int setAsDefault;
        const char* typeIniPath;
        int installMode;
        int osClass;
    } cases[] = {
        {"the default model", "xp", "key ENTER\nkey ENTER\nkey ENTER\n", 0, "QPX-T510", 0,
         "D:\\DRVCONFIG\\setup_receipt.ini", 1, 3},
        {"a ticket printer, default, advanced", "win7",
         "click 1020\nclick 1046\nkey ENTER\nclick 1067\nkey ENTER\nkey ENTER\n", 1, "QPX-K76", 1,
         "D:\\DRVCONFIG\\setup_Ticket.ini", 0, 7},
        {"chosen again after going back", "2003",
         "click 1021\nselect 1032 QPX-L58\nclick 1046\nkey ENTER\nclick 1067\nkey ENTER\nkey ENTER\n"
         "click 1002\nclick 1002\nclick 1002\n"
         "click 1073\nclick 1046\nkey ENTER\nclick 1066\nkey ENTER\nkey ENTER\n",
         3, "QPX-E30", 0, "D:\\DRVCONFIG\\setup_Embedded.ini", 1, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimSys sys(SimSys::WithMedium("", c.os));
        InstallSelection seen;
        int mode = -1;
        WizardRun run = Run(std::string(c.script) + "key ESCAPE\n", false, false, [&](SetupWindows& w) {
            seen.printerType = w.wizard.selection.printerType;
            std::memcpy(seen.modelName, w.wizard.selection.modelName, sizeof seen.modelName);
            seen.setAsDefault = w.wizard.selection.setAsDefault;
            std::memcpy(seen.typeIniPath, w.wizard.selection.typeIniPath, sizeof seen.typeIniPath);
            seen.osClass = w.wizard.selection.osClass;
            mode = installMode;
        });
        EXPECT_EQ(run.failStatus, 0) << run.err;
        EXPECT_EQ(seen.printerType, c.printerType);
        EXPECT_STREQ(seen.modelName, c.modelName);
        EXPECT_EQ(seen.setAsDefault, c.setAsDefault);
        EXPECT_STREQ(seen.typeIniPath, c.typeIniPath);
        EXPECT_EQ(seen.osClass, c.osClass);
        EXPECT_EQ(mode, c.installMode);
    }
}

// F1 brings an open help window to the front, or opens the help file
// through the shell; a help file name too long for the path is refused.
TEST_F(SetupWizardTest, Help) {
    struct Case {
        const char* name;
        const char* helpName;      // Help Guide/Name
        bool windowOpen;
        const char* logged;        // expected in the machine's log
        const char* notLogged;
        const char* message;
    } cases[] = {
        {"help window open", "Drivanto_EN.CHM", true, "BringWindowToTop \"Drivanto Help\"", "ShellExecute",
         nullptr},
        {"help file opened", "Drivanto_EN.CHM", false,
         "ShellExecute \"open\" \".\\Drivanto_EN.CHM\" parameters (null) directory (null) show 5",
         "BringWindowToTop", nullptr},
        {"97 characters fit", nullptr, false, "ShellExecute \"open\" \".\\", nullptr, nullptr},
        {"98 characters do not", nullptr, false, nullptr, "ShellExecute",
         "The filename or extension is too long.\\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempMedium medium;
        std::string name = c.helpName ? c.helpName
                                      : std::string(std::strcmp(c.name, "97 characters fit") == 0 ? 97 : 98, 'h');
        medium.write("language/setup.ini", "[Help Guide]\r\nCaption=Drivanto Help\r\nName=" + name + "\r\n");
        SimSys sys(SimSys::WithMedium(medium.dir()));
        if (c.windowOpen) sys.machine().openWindow("Drivanto Help");
        std::string script = c.message ? "answer ok\nkey F1\nkey ESCAPE\n" : "key F1\nkey ESCAPE\n";
        WizardRun run = Run(script);
        EXPECT_EQ(run.failStatus, 0) << run.err;
        std::string log = sys.machine().log();
        if (c.logged) {
            EXPECT_NE(log.find(c.logged), std::string::npos) << log;
        }
        if (c.notLogged) {
            EXPECT_EQ(log.find(c.notLogged), std::string::npos) << log;
        }
        if (c.windowOpen) {
            EXPECT_NE(log.find("OpenIcon \"Drivanto Help\""), std::string::npos) << log;
        }
        EXPECT_EQ(run.Messages(), c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
    }
}

// The About box from the system menu: its texts, and the Chinese font when
// LANGUAGE is 0 or missing.
class AboutProbe : public SetupAboutDlg {
public:
    bool hasFont = false;
    ui::Font font;

protected:
    bool OnInitDialog() override {
        bool result = SetupAboutDlg::OnInitDialog();
        auto* model = static_cast<ui::ModelBackend*>(ui::detail::ActiveBackend());
        if (ui::ModelWindow* w = model->window(*this)) {
            hasFont = w->hasFont;
            font = w->font;
        }
        return result;
    }
};

// F1 stands in for the system menu here: the probe hands the command to
// the wizard's system-command handler.
class SysMenuProbe : public SetupWizardDlg {
public:
    int command = 0;
    bool handled = false;

protected:
    bool OnHelp() override {
        handled = ui::Events::SysCommand(*this, command);
        return true;
    }
};

TEST_F(SetupWizardTest, AboutBox) {
    SimSys sys;
    struct Command {
        int command;
        bool about;
    } commands[] = {{kAboutCommand, true}, {kAboutCommand | 0x3, true}, {0xF020, false}, {0x20, false}};
    for (const Command& c : commands) {
        SCOPED_TRACE(c.command);
        ui::Hooks hooks;
        hooks.desktop = &common::Sys().desktop();
        ui::test::ScriptRun script(c.about ? "key F1\ndump\nkey ENTER\nkey ESCAPE\n" : "key F1\nkey ESCAPE\n", hooks);
        SysMenuProbe wizard;
        wizard.command = c.command;
        ui::SetMainWindow(&wizard);
        wizard.DoModal();
        ui::SetMainWindow(nullptr);
        std::string err = script.finish();
        EXPECT_EQ(script.failStatus, 0) << err;
        EXPECT_EQ(wizard.handled, c.about);
        if (!c.about) continue;
        const std::string about = script.out();
        EXPECT_EQ(about.rfind("dialog 100", 0), 0u) << about;
        EXPECT_EQ(ControlLine(about, 1091), "1091 static \"Drivanto printer driver setup, version 2.1\" enabled shown");
        EXPECT_EQ(ControlLine(about, 1092), "1092 static \"Copyright (C) Kestran Devices\" enabled shown");
        EXPECT_EQ(ControlLine(about, 1), "1 defbutton \"OK\" enabled shown");
        EXPECT_NE(about.find("caption \"About Drivanto\""), std::string::npos) << about;
    }

    struct Case {
        const char* language;   // nullptr: the key missing
        bool chinese;
    } cases[] = {{"0", true}, {nullptr, true}, {"1", false}, {"2", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language ? c.language : "missing");
        TempMedium medium;
        medium.write("DRVCONFIG/setup.ini", std::string("[DEVICENAME]\r\n") +
                                                (c.language ? std::string("LANGUAGE=") + c.language + "\r\n" : ""));
        SimSys machine(SimSys::WithMedium(medium.dir()));
        ui::Hooks hooks;
        hooks.desktop = &common::Sys().desktop();
        ui::test::ScriptRun script("key ENTER\n", hooks);
        AboutProbe box;
        EXPECT_EQ(box.DoModal(), IDOK);
        script.finish();
        EXPECT_EQ(box.chineseFont, c.chinese ? 1 : 0);
        EXPECT_EQ(box.hasFont, c.chinese);
        if (c.chinese) {
            EXPECT_EQ(box.font, ChineseFont());
        }
    }
}

// With chineseFont the wizard makes the shared font, and the pages take it
// when they are created; the font goes with the wizard's window.
TEST_F(SetupWizardTest, SharedFont) {
    for (bool chinese : {true, false}) {
        SimSys sys;
        bool wizardFont = false, pageFont = false;
        Run("wait\nkey ESCAPE\n", false, chinese, {}, [&](SetupWindows& w, ui::test::ScriptRun& script) {
            ui::ModelBackend* model = &script.model();
            ui::StartWorker([&, model, windows = &w] {
                ui::CallOnUiThread([&, model, windows] {
                    wizardFont = model->window(windows->wizard)->hasFont;
                    pageFont = model->window(windows->osPage)->hasFont &&
                               model->window(windows->osPage)->font == ChineseFont();
                });
            });
        });
        EXPECT_EQ(wizardFont, chinese);
        EXPECT_EQ(pageFont, chinese);
        EXPECT_FALSE(sharedFont.has_value());
    }
}

}  // namespace
}  // namespace setup
