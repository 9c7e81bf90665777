#include "uninstall/uninstall_dlg.h"

#include <gtest/gtest.h>

#include <tuple>

#include "ui/message_box.h"
#include "ui/test_support.h"
#include "uninstall/restart_prompt.h"
#include "uninstall/uninstall_app.h"
#include "uninstall/uninstall_test_fixture.h"

namespace uninstall {
namespace {

using test::Machine;

struct AppRun {
    int exitCode = -1;
    int scriptStatus = 0;   // non-zero when the script failed or was not used up
    std::string out;        // MESSAGE lines and dumps
    std::string err;
};

// The whole program on the machine, with a script for the user.
AppRun RunApp(const std::string& script) {
    ui::SetApplicationName("Uninstall");
    ui::Hooks hooks;
    hooks.desktop = &test::Sys().desktop();
    hooks.clock = &test::Sys().clock();
    ui::test::ScriptRun run(script, hooks);
    UninstallApp app;
    EXPECT_FALSE(app.InitInstance());
    AppRun result;
    result.err = run.finish();
    result.out = run.out();
    result.exitCode = app.ExitCode();
    result.scriptStatus = run.failStatus | run.shutdownStatus;
    return result;
}

constexpr const char* kChineseSetupTitle =
    "\xB4\xF2\xD3\xA1\xBB\xFA\xC7\xFD\xB6\xAF\xB0\xB2\xD7\xB0\xB3\xCC\xD0\xF2";
constexpr const char* kOwnChineseTitle = "\xB4\xF2\xD3\xA1\xBB\xFA\xD0\xB6\xD4\xD8\xB3\xCC\xD0\xF2";

// --- Start-up -----------------------------------------------------------------------

struct StartupCase {
    const char* what;
    const char* os;
    bool admin;
    const char* window;       // another program's window, "" none
    const char* removeFromMedium;
    UninstallOutcome outcome;
    const char* message;      // the text of the one message box, "" none
};

class Startup : public ::testing::TestWithParam<StartupCase> {};

TEST_P(Startup, RefusesOrShowsTheDialog) {
    const StartupCase& c = GetParam();
    plat::sim::TempMedium medium;
    if (*c.removeFromMedium) medium.remove(c.removeFromMedium);
    Machine machine(c.os, medium.dir(), c.admin);
    if (*c.window) machine->openWindow(c.window);
    bool refused = c.outcome != UninstallOutcome::Ran;
    AppRun run = RunApp(refused ? "answer ok\n" : "click 2\n");
    EXPECT_EQ(run.exitCode, static_cast<int>(c.outcome));
    EXPECT_EQ(run.scriptStatus, 0) << run.err;
    EXPECT_EQ(run.out, *c.message ? std::string("MESSAGE Uninstall | ") + c.message + "\n" : "");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Startup,
    ::testing::Values(
        StartupCase{"Runs", "xp", true, "", "", UninstallOutcome::Ran, ""},
        StartupCase{"SetupOpen", "xp", true, "Drivanto", "", UninstallOutcome::SetupOpen,
                    "The printer driver setup is running.\\nClose it first, then start the uninstaller again."},
        StartupCase{"ChineseSetupOpen", "xp", true, kChineseSetupTitle, "", UninstallOutcome::SetupOpen,
                    "The printer driver setup is running.\\nClose it first, then start the uninstaller again."},
        StartupCase{"Wow64BeforeRights", "xp64", false, "", "", UninstallOutcome::Wow64,
                    "This uninstaller cannot remove printer drivers on 64-bit Windows."},
        StartupCase{"NotAdmin", "win7", false, "", "", UninstallOutcome::NotAdmin,
                    "Only an administrator can remove printer drivers.\\nLog on as an administrator and start "
                    "the uninstaller again."},
        StartupCase{"NotAdminOnNt4", "nt4", false, "", "", UninstallOutcome::Ran, ""},
        StartupCase{"NotAdminOnWindows8", "win8", false, "", "", UninstallOutcome::Ran, ""},
        StartupCase{"NoList", "xp", true, "", "Uninstall.ini", UninstallOutcome::NoList,
                    "The uninstall list Uninstall.ini was not found."}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(StartupSecondCopy, BringsTheFirstCopyForwardSilently) {
    Machine machine("xp");
    machine->holdMutex("Uninstall");
    machine->openWindow(kOwnChineseTitle);
    AppRun run = RunApp("");
    EXPECT_EQ(run.exitCode, static_cast<int>(UninstallOutcome::SecondCopy));
    EXPECT_EQ(run.out, "");
    std::string log = machine->log();
    EXPECT_NE(log.find("SetForegroundWindow"), std::string::npos) << log;
    EXPECT_NE(log.find("OpenIcon"), std::string::npos) << log;
}

// --- The dialog ----------------------------------------------------------------------

TEST(MainDialog, ShowsTheMakersItemsAndTheTexts) {
    Machine machine("xp");
    test::InstallComponents(true);
    test::InstallDriver(test::kRasterDriver);
    test::InstallDriver("Generic Text");
    test::AddPrinter("Kitchen", "KSCOM1:", test::kRasterDriver);
    test::AddPrinter("Office", "LPT1:", "Generic Text");
    AppRun run = RunApp("dump\nclick 1012\ndump\nclick 2\n");
    EXPECT_EQ(run.scriptStatus, 0) << run.err;
    EXPECT_EQ(run.out,
              "dialog 102\n"
              "  1006 edit \"Check the printers, port monitors and print processors to remove,\\nthen press "
              "Uninstall.\" enabled shown\n"
              "  1010 listview \"\" enabled shown items=[[ ]\"Kitchen\",[ ]\"Kestran COM Port\",[ ]\"Kestran "
              "Language Monitor\",[ ]\"Kestran USB Port\",[ ]\"QPXPrint\"] sel=-1\n"
              "  1019 autocheckbox \"Also remove the USB printer driver\" enabled shown unchecked\n"
              "  1008 listbox \"\" enabled shown items=[\"Check the items to remove, then press Uninstall.\"] "
              "sel=0\n"
              "  1002 button \"&Uninstall\" enabled shown\n"
              "  1012 button \"Select &all\" enabled shown\n"
              "  2 button \"E&xit\" enabled shown\n"
              "caption \"Uninstall\"\n"
              "dialog 102\n"
              "  1006 edit \"Check the printers, port monitors and print processors to remove,\\nthen press "
              "Uninstall.\" enabled shown\n"
              "  1010 listview \"\" enabled shown items=[[x]\"Kitchen\",[x]\"Kestran COM Port\",[x]\"Kestran "
              "Language Monitor\",[x]\"Kestran USB Port\",[x]\"QPXPrint\"] sel=-1\n"
              "  1019 autocheckbox \"Also remove the USB printer driver\" enabled shown unchecked\n"
              "  1008 listbox \"\" enabled shown items=[\"Check the items to remove, then press Uninstall.\"] "
              "sel=0\n"
              "  1002 button \"&Uninstall\" enabled shown\n"
              "  1012 button \"Select &all\" enabled shown\n"
              "  2 button \"E&xit\" enabled shown\n"
              "caption \"Uninstall\"\n");
}

// The USB box: off without bulkusb.sys, and on 98, Me and NT 4.0 by the
// classification itself (not on 95).
TEST(MainDialog, UsbCheckBoxState) {
    struct Case {
        const char* os;
        bool driverInstalled;
        bool enabled;
    } cases[] = {{"xp", true, true},  {"xp", false, false}, {"98", true, false}, {"me", true, false},
                 {"nt4", true, false}, {"95", true, true},  {"win7", true, true}};
    for (const Case& c : cases) {
        Machine machine(c.os);
        if (!c.driverInstalled) {
            ASSERT_EQ(test::Sys().files().deleteFile("C:\\WINDOWS\\system32\\drivers\\bulkusb.sys"), 0u);
        }
        AppRun run = RunApp("dump\nclick 2\n");
        std::string line = std::string("1019 autocheckbox \"Also remove the USB printer driver\" ") +
                           (c.enabled ? "enabled" : "disabled");
        EXPECT_NE(run.out.find(line), std::string::npos) << c.os << "\n" << run.out << run.err;
    }
}

TEST(MainDialog, EmptyListDisablesOnlySelect) {
    Machine machine("xp");
    AppRun run = RunApp("dump\nclick 2\n");
    EXPECT_NE(run.out.find("1010 listview \"\" enabled shown items=[]"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("1002 button \"&Uninstall\" enabled"), std::string::npos);
    EXPECT_NE(run.out.find("1012 button \"Select &all\" disabled"), std::string::npos);
}

// The box comes while the dialog initialises, before its modal loop reads
// the script: it takes the answer that stands first in the script.
TEST(MainDialog, WithoutTheSpoolerLibraryTheDialogStillOpensFilled) {
    Machine machine("xp");
    test::InstallComponents(false);
    machine->failAlways("system.probeEntryPoint", ERROR_MOD_NOT_FOUND, "Winspool");
    AppRun run = RunApp("answer ok\ndump\nclick 2\n");
    EXPECT_EQ(run.scriptStatus, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, run.out.find('\n') + 1), "MESSAGE Uninstall | no Winspool lib  \n") << run.out;
    EXPECT_NE(run.out.find("[ ]\"Kestran COM Port\""), std::string::npos) << run.out;
    EXPECT_EQ(State().driverDeletion, DriverDeletion::Plain);
}

TEST(MainDialog, AboutBoxFromTheSystemMenu) {
    Machine machine("xp");
    UninstallDlg dlg;
    ui::SetApplicationName("Uninstall");
    ui::Hooks hooks;
    hooks.desktop = &test::Sys().desktop();
    ui::test::ScriptRun run("dump\nclick 1\nclick 2\n", hooks);
    // The About box runs from the system command; the script plays it.
    ui::CallOnUiThread([] {});
    UninstallAboutDlg about;
    about.DoModal();
    run.finish();
    EXPECT_EQ(run.out(),
              "dialog 100\n"
              "  - icon \"128\" enabled shown\n"
              "  1017 static \"Printer driver uninstaller, version 2.1\" enabled shown\n"
              "  1018 static \"Copyright (C) Kestran Devices\" enabled shown\n"
              "  1 defbutton \"OK\" enabled shown\n"
              "caption \"About Uninstall\"\n");
}

TEST(MainDialog, HelpOpensTheEnglishFileThenTheChineseOne) {
    struct Case {
        const char* what;
        const char* helpWindow;    // a window already open, "" none
        bool englishMissing;
        std::vector<const char*> expected;   // in the machine's log
        const char* absent;
    } cases[] = {
        {"English", "", false, {"\".\\Uninstall_EN.CHM\""}, "Uninstall_CN"},
        {"Chinese", "", true, {"\".\\Uninstall_EN.CHM\"", "\".\\Uninstall_CN.CHM\""}, "BringWindowToTop"},
        {"AlreadyOpen", "Uninstall", false, {"BringWindowToTop \"Uninstall\"", "OpenIcon \"Uninstall\""}, "CHM"},
    };
    for (const Case& c : cases) {
        plat::sim::TempMedium medium;
        // A Chinese title, so that the dialog itself is not the help window.
        medium.write("language\\uninstall.ini", std::string("[Uninstall]\r\nTitle=") + kOwnChineseTitle + "\r\n");
        if (c.englishMissing) medium.remove("Uninstall_EN.CHM");
        Machine machine("xp", medium.dir());
        if (*c.helpWindow) machine->openWindow(c.helpWindow);
        AppRun run = RunApp("key F1\nclick 2\n");
        EXPECT_EQ(run.scriptStatus, 0) << c.what << run.err;
        std::string log = machine->log();
        for (const char* line : c.expected) {
            EXPECT_NE(log.find(line), std::string::npos) << c.what << "\n" << log;
        }
        EXPECT_EQ(log.find(c.absent), std::string::npos) << c.what << "\n" << log;
    }
}

// Under the English title the dialog's own window answers to "Uninstall":
// the help opens all the same.
TEST(MainDialog, HelpUnderTheEnglishTitleIsNotMistakenForTheDialog) {
    Machine machine("xp");
    AppRun run = RunApp("key F1\nclick 2\n");
    EXPECT_EQ(run.scriptStatus, 0) << run.err;
    EXPECT_NE(machine->log().find("Uninstall_EN.CHM"), std::string::npos) << machine->log();
}

// What a dialog's window holds once it is initialised: its font, icon and
// system menu, as the model keeps them.
template <class D>
class Probe : public D {
public:
    explicit Probe(ui::test::ScriptRun& run) : run_(run) {}
    bool OnInitDialog() override {
        D::OnInitDialog();
        ui::ModelWindow* w = run_.model().window(*this);
        hasFont = w->hasFont;
        font = w->font;
        icon = w->icon;
        systemMenu = w->systemMenu;
        return true;
    }
    bool hasFont = false;
    ui::Font font;
    int icon = 0;
    std::vector<std::pair<int, std::string>> systemMenu;

private:
    ui::test::ScriptRun& run_;
};

TEST(Font, ChineseFontWhenTheLanguageValueIsZeroOrMissing) {
    struct Case {
        const char* what;
        const char* setupIni;   // null: no DRVCONFIG\setup.ini
        bool chinese;
    } cases[] = {
        {"Zero", "[DEVICENAME]\r\nLANGUAGE=0\r\n", true},
        {"Missing", nullptr, true},
        {"KeyMissing", "[DEVICENAME]\r\nDEFAULTNAME=1\r\n", true},
        {"One", "[DEVICENAME]\r\nLANGUAGE=1\r\n", false},
    };
    for (const Case& c : cases) {
        plat::sim::TempMedium medium;
        if (c.setupIni) {
            medium.write("DRVCONFIG\\setup.ini", c.setupIni);
        } else {
            medium.remove("DRVCONFIG\\setup.ini");
        }
        Machine machine("xp", medium.dir());
        EXPECT_EQ(ChineseLanguage(), c.chinese) << c.what;

        ui::SetApplicationName("Uninstall");
        ui::test::ScriptRun run("click 2\nclick 1\nclick 2\n");
        Probe<UninstallDlg> dlg(run);
        dlg.chineseFont = c.chinese ? 1 : 0;
        dlg.DoModal();
        Probe<UninstallAboutDlg> about(run);
        about.DoModal();
        Probe<RestartPromptDlg> prompt(run);
        prompt.DoModal();
        run.finish();
        for (auto [name, hasFont, font] : {std::tuple{"main", dlg.hasFont, dlg.font},
                                           std::tuple{"about", about.hasFont, about.font},
                                           std::tuple{"prompt", prompt.hasFont, prompt.font}}) {
            EXPECT_EQ(hasFont, c.chinese) << c.what << " " << name;
            if (hasFont) {
                EXPECT_EQ(font, ChineseFont()) << c.what << " " << name;
            }
        }
        EXPECT_EQ(dlg.icon, 128);
        EXPECT_EQ(dlg.systemMenu,
                  (std::vector<std::pair<int, std::string>>{{0x10, "&About Uninstall..."}}));
    }
}

// --- A run through the dialog, with the restart prompt ---------------------------------------

struct PromptCase {
    const char* what;
    const char* os;
    bool admin;
    const char* answer;       // the button pressed in the prompt
    const char* restartLog;   // what the machine logs of the restart, "" nothing
};

class RestartPrompt : public ::testing::TestWithParam<PromptCase> {};

TEST_P(RestartPrompt, AnswersDecideTheRestart) {
    const PromptCase& c = GetParam();
    plat::sim::TempMedium medium;
    Machine machine(c.os, medium.dir(), c.admin);
    test::InstallComponents(false);
    AppRun run = RunApp(std::string("check 1010 Kestran COM Port\nclick 1002\nwait\ndump\nclick ") + c.answer +
                        "\ndump\nclick 2\n");
    EXPECT_EQ(run.scriptStatus, 0) << run.err;
    EXPECT_NE(run.out.find("dialog 129\n"
                           "  1014 static \"The selected items have been removed.\" enabled shown\n"
                           "  1015 static \"Windows should be restarted to finish the removal.\" enabled shown\n"
                           "  1016 static \"Restart Windows now?\" enabled shown\n"
                           "  - icon \"130\" enabled shown\n"
                           "  1 defbutton \"&Yes\" enabled shown\n"
                           "  2 button \"&No\" enabled shown\n"
                           "caption \"Restart Windows\"\n"),
              std::string::npos)
        << run.out;
    // Back to idle with the rest of the list.
    EXPECT_NE(run.out.find("Kestran COM Port has been removed.\",\"Check the items to remove, then press "
                           "Uninstall.\"] sel=3"),
              std::string::npos)
        << run.out;
    std::string log = machine->log();
    if (*c.restartLog) {
        EXPECT_NE(log.find(c.restartLog), std::string::npos) << log;
    } else {
        EXPECT_EQ(log.find("ExitWindowsEx"), std::string::npos) << log;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RestartPrompt,
    ::testing::Values(PromptCase{"No", "xp", true, "2", ""},
                      PromptCase{"YesOnXp", "xp", true, "1",
                                 "Shutdown privilege enabled\nExitWindowsEx flags=0x2 reason=0x0"},
                      PromptCase{"YesOnNt4", "nt4", true, "1",
                                 "Shutdown privilege enabled\nExitWindowsEx flags=0x2 reason=0x0"}),
    [](const auto& info) { return std::string(info.param.what); });

// The restart request itself, by Windows class: the NT family needs the
// shutdown privilege; class 0 asks without it, which Windows 8 refuses.
TEST(RequestRestart, PrivilegeByClass) {
    struct Case {
        const char* os;
        bool admin;
        const char* expected;
    } cases[] = {
        {"98", true, "ExitWindowsEx flags=0x2 reason=0x0"},
        {"2000", true, "Shutdown privilege enabled\nExitWindowsEx flags=0x2 reason=0x0"},
        {"win7", false, "Shutdown privilege not assigned (not an administrator)\nExitWindowsEx flags=0x2 refused"},
        {"win8", true, "ExitWindowsEx flags=0x2 refused: shutdown privilege not held"},
    };
    for (const Case& c : cases) {
        Machine machine(c.os, "", c.admin);
        RequestRestart(ClassifyWindows());
        std::string log = machine->log();
        EXPECT_NE(log.find(c.expected), std::string::npos) << c.os << "\n" << log;
        if (std::string(c.os) == "98" || std::string(c.os) == "win8") {
            EXPECT_EQ(log.find("Shutdown privilege"), std::string::npos) << c.os;
        }
    }
}

TEST(ClassifyWindows, ClassOfEveryPreset) {
    struct Case {
        const char* os;
        int osClass;
    } cases[] = {{"95", 0},   {"98", 0},    {"me", 0},    {"nt4", 1},  {"2000", 2},   {"xp", 3},  {"xp64", 4},
                 {"2003", 4}, {"vista", 5}, {"2008", 6},  {"win7", 7}, {"2008r2", 7}, {"win8", 0}, {"win10", 0}};
    for (const Case& c : cases) {
        Machine machine(c.os);
        EXPECT_EQ(ClassifyWindows(), c.osClass) << c.os;
    }
}

}  // namespace
}  // namespace uninstall
