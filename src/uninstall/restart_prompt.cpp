#include "uninstall/restart_prompt.h"

#include "common/language_text.h"
#include "common/sys.h"
#include "uninstall/uninstall_dlg.h"

namespace uninstall {
namespace {

const ui::DialogTemplate kRestartPrompt = {
    129, 193, 65, "", ui::kCaption | ui::kSysMenu | ui::kModalFrame | ui::kCentered, "System", 9,
    {
        {1014, ui::Kind::Static, 3, 6, 188, 9, "", ui::kCenter},
        {1015, ui::Kind::Static, 35, 19, 139, 12, "", 0},
        {1016, ui::Kind::Static, 35, 32, 133, 12, "", 0},
        {ui::kNoId, ui::Kind::Icon, 6, 20, 21, 20, "130", 0},
        {1, ui::Kind::DefPushButton, 36, 44, 38, 15, "", ui::kTabStop},
        {2, ui::Kind::PushButton, 120, 44, 38, 15, "", ui::kTabStop},
    },
};

}  // namespace

RestartPromptDlg::RestartPromptDlg() : Dialog(kRestartPrompt) {}

bool RestartPromptDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    chineseFont = ChineseLanguage() ? 1 : 0;
    if (chineseFont == 1) SetDialogFont(ChineseFont());
    common::LanguageText text("Reboot");
    SetItemText(1014, text.GetText("Note1"));
    SetItemText(1015, text.GetText("Note2"));
    SetItemText(1016, text.GetText("Note3"));
    SetItemText(1, text.GetText("Yes"));
    SetItemText(2, text.GetText("No"));
    SetWindowText(text.GetText("Title"));
    return true;
}

void RequestRestart(int osClass) {
    plat::System& system = common::Sys().system();
    if (osClass != 0 && system.enableShutdownPrivilege() != 0) return;
    system.exitWindowsEx(EWX_REBOOT, 0);
}

}  // namespace uninstall
