#include "uninstall/uninstall_app.h"

#include "common/language_text.h"
#include "common/sys.h"
#include "ui/app.h"
#include "ui/message_box.h"
#include "uninstall/uninstall_dlg.h"

namespace uninstall {
namespace {

// Window titles, in the ANSI code page (GBK) like every text of the program.
constexpr const char kOwnTitle[] = "\xB4\xF2\xD3\xA1\xBB\xFA\xD0\xB6\xD4\xD8\xB3\xCC\xD0\xF2";  // 打印机卸载程序
// The setup program's window: its Chinese title or "Drivanto".
constexpr const char* kSetupTitles[] = {
    "\xB4\xF2\xD3\xA1\xBB\xFA\xC7\xFD\xB6\xAF\xB0\xB2\xD7\xB0\xB3\xCC\xD0\xF2",  // 打印机驱动安装程序
    "Drivanto",
};

}  // namespace

bool UninstallApp::AnotherCopyRuns() {
    plat::Desktop& desktop = common::Sys().desktop();
    bool exists = false;
    // The mutex is never released: it goes when the process ends.
    desktop.createMutex(ui::ApplicationName(), &exists);
    if (!exists) return false;
    if (plat::Hwnd window = desktop.findWindow(kOwnTitle)) {
        desktop.setForegroundWindow(window);
        desktop.openIcon(window);
    }
    return true;
}

bool UninstallApp::SetupWindowOpen() {
    plat::Desktop& desktop = common::Sys().desktop();
    return desktop.findWindow(kSetupTitles[0]) || desktop.findWindow(kSetupTitles[1]);
}

bool UninstallApp::InitInstance() {
    outcome_ = UninstallOutcome::Ran;
    if (AnotherCopyRuns()) {
        outcome_ = UninstallOutcome::SecondCopy;
        return false;
    }
    if (SetupWindowOpen()) {
        ui::AppMessageBox(common::LanguageText("Uninstall").GetText("Close"));
        outcome_ = UninstallOutcome::SetupOpen;
        return false;
    }
    UninstallDlg dlg;
    dlg.chineseFont = ChineseLanguage() ? 1 : 0;
    ui::SetMainWindow(&dlg);
    dialogResult_ = dlg.DoModal();
    ui::SetMainWindow(nullptr);
    if (dlg.refusal != DialogRefusal::None) ui::WindowMessageBox(nullptr, dlg.refusalText);
    switch (dlg.refusal) {
    case DialogRefusal::None: break;
    case DialogRefusal::Wow64: outcome_ = UninstallOutcome::Wow64; break;
    case DialogRefusal::NotAdmin: outcome_ = UninstallOutcome::NotAdmin; break;
    case DialogRefusal::NoList: outcome_ = UninstallOutcome::NoList; break;
    }
    return false;
}

}  // namespace uninstall
