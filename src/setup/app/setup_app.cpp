#include "setup/app/setup_app.h"

#include "common/language_text.h"
#include "common/sys.h"
#include "setup/config/driver_config.h"
#include "ui/app.h"
#include "ui/message_box.h"

namespace setup {
namespace {

// Window titles, in the ANSI code page (GBK) like every text of the program.
// The setup's own window: "Drivanto" or its Chinese title.
constexpr const char* kSetupTitles[] = {
    "Drivanto",
    "\xB4\xF2\xD3\xA1\xBB\xFA\xC7\xFD\xB6\xAF\xB0\xB2\xD7\xB0\xB3\xCC\xD0\xF2",  // 打印机驱动安装程序
};
// The uninstaller's window.
constexpr const char* kUninstallTitles[] = {
    "Uninstall",
    "\xB4\xF2\xD3\xA1\xBB\xFA\xD0\xB6\xD4\xD8\xB3\xCC\xD0\xF2",  // 打印机卸载程序
};

void Refuse(const char* key) {
    common::LanguageText setupText("Setup");
    ui::AppMessageBox(setupText.GetText(key));
}

}  // namespace

bool SetupApp::AnotherCopyRuns() {
    plat::Desktop& desktop = common::Sys().desktop();
    bool exists = false;
    // The mutex is never released: it goes when the process ends.
    desktop.createMutex(ui::ApplicationName(), &exists);
    if (!exists) return false;
    plat::Hwnd window = desktop.findWindow(kSetupTitles[0]);
    if (!window) window = desktop.findWindow(kSetupTitles[1]);
    if (window) {
        desktop.setForegroundWindow(window);
        desktop.openIcon(window);
    }
    return true;
}

bool SetupApp::UninstallerWindowOpen() {
    plat::Desktop& desktop = common::Sys().desktop();
    return desktop.findWindow(kUninstallTitles[0]) || desktop.findWindow(kUninstallTitles[1]);
}

bool SetupApp::WindowsRefused() {
    plat::OsVersionInfo version;
    if (common::Sys().system().getVersionEx(&version) != 0) return false;
    // Windows 98 (4.10) and Me (4.90); Windows 95 (4.0) passes.
    if (version.platformId == 1 && version.minorVersion != 0) return true;
    // Windows NT 4.0.
    return version.platformId == 2 && version.majorVersion == 4 && version.minorVersion == 0;
}

std::string SetupApp::LastConfiguredModel() {
    DriverConfig config;
    std::string model;
    char name[200];
    int count = config.ModelCount();
    for (int entry = 1; entry <= count; ++entry) {
        if (config.ModelEntry(entry, name) >= 0) model = name;
    }
    return model;
}

bool SetupApp::ModelHasPort(const std::string& model) {
    std::string section = model + ".PORT";
    for (int type = 0; type < 4; ++type) {
        const char* file = TypeFileName(type);
        for (const char* key : {"USBSUPPORTED", "LPTSUPPORTED", "COMSUPPORTED"}) {
            if (ReadIniInt(file, section.c_str(), key) != 0) return true;
        }
    }
    return false;
}

StartupOutcome SetupApp::RunChecks() {
    if (AnotherCopyRuns()) return StartupOutcome::SecondCopy;
    if (UninstallerWindowOpen()) {
        Refuse("Close");
        return StartupOutcome::UninstallerOpen;
    }
    if (WindowsRefused()) {
        Refuse("Nonsupport");
        return StartupOutcome::UnsupportedWindows;
    }
    // A model list without a single typed entry offers nothing to install:
    // it is refused like a model without ports.
    std::string model = LastConfiguredModel();
    if (model.empty() || !ModelHasPort(model)) {
        Refuse("PortNull");
        return StartupOutcome::NoPort;
    }
    return StartupOutcome::Passed;
}

SetupWindows::SetupWindows(bool showAgreement, bool chineseFont) {
    wizard.showAgreement = showAgreement ? 1 : 0;
    agreementPage.loadLicense = wizard.showAgreement;
    if (chineseFont) {
        wizard.chineseFont = 1;
        agreementPage.chineseFont = 1;
        modePage.chineseFont = 1;
        osPage.chineseFont = 1;
        modelPage.chineseFont = 1;
        portPage.chineseFont = 1;
    }
    wizard.AddPage("\xD4\xC4\xB6\xC1\xB0\xE6\xC8\xA8\xC9\xF9\xC3\xF7", &agreementPage, 133);  // 阅读版权声明
    wizard.AddPage("STEP 2\tSelect Install Module", &modelPage, 131);
    wizard.AddPage("\xD1\xA1\xD4\xF1\xB0\xB2\xD7\xB0\xC4\xA3\xCA\xBD", &modePage, 137);  // 选择安装模式
    wizard.AddPage("STEP 1\tSelect Install OS", &osPage, 130);
    wizard.AddPage("STEP 3\tSet Printer Port and Confirm Setup", &portPage, 132);
}

int SetupWindows::Run() {
    ui::SetMainWindow(&wizard);
    int result = wizard.DoModal();
    ui::SetMainWindow(nullptr);
    return result;
}

bool SetupApp::InitInstance() {
    outcome_ = RunChecks();
    if (outcome_ != StartupOutcome::Passed) return false;
    // The three-dimensional control look is every back end's own.
    showAgreement = ReadIniInt("DRVCONFIG\\setup.ini", "DEVICENAME", "LOADLICENSE") != 0;
    chineseFont = ReadIniInt("DRVCONFIG\\setup.ini", "DEVICENAME", "LANGUAGE") == 0;
    SetupWindows windows(showAgreement, chineseFont);
    wizardResult_ = windows.Run();
    windows.wizard.DestroyPages();
    return false;
}

}  // namespace setup
