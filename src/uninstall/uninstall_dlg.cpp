#include "uninstall/uninstall_dlg.h"

#include <cctype>

#include "common/chinese_font.h"
#include "common/language_text.h"
#include "common/profile_read.h"
#include "common/sys.h"
#include "ui/app.h"
#include "ui/message_box.h"
#include "uninstall/restart_prompt.h"
#include "uninstall/uninstall_list.h"
#include "uninstall/uninstall_state.h"

namespace uninstall {
namespace {

constexpr int kIdNote = 1006;
constexpr int kAboutCommand = 0x10;

const ui::DialogTemplate kMainDialog = {
    102, 193, 168, "",
    ui::kCaption | ui::kSysMenu | ui::kMinimizeBox | ui::kModalFrame | ui::kCentered | ui::kAppWindow,
    "System", 9,
    {
        {kIdNote, ui::Kind::Edit, 8, 5, 178, 22, "", ui::kMultiLine | ui::kReadOnly | ui::kAutoVScroll},
        {kIdItems, ui::Kind::ListView, 7, 27, 178, 50, "", ui::kBorder | ui::kTabStop},
        {kIdUsbCheck, ui::Kind::AutoCheckBox, 6, 83, 185, 10, "", ui::kTabStop},
        {kIdLog, ui::Kind::ListBox, 7, 98, 178, 44, "", ui::kVScroll | ui::kBorder | ui::kNoIntegralHeight},
        {kIdUninstall, ui::Kind::PushButton, 7, 149, 46, 15, "", ui::kTabStop},
        {kIdSelectAll, ui::Kind::PushButton, 73, 149, 45, 14, "", ui::kTabStop},
        {kIdExit, ui::Kind::PushButton, 137, 149, 45, 14, "", ui::kTabStop},
    },
};

const ui::DialogTemplate kAboutBox = {
    100, 180, 62, "", ui::kCaption | ui::kSysMenu | ui::kModalFrame | ui::kCentered, "System", 9,
    {
        {ui::kNoId, ui::Kind::Icon, 11, 14, 21, 20, "128", 0},
        {1017, ui::Kind::Static, 40, 10, 132, 8, "", 0},
        {1018, ui::Kind::Static, 40, 24, 132, 8, "", 0},
        {1, ui::Kind::DefPushButton, 123, 41, 50, 14, "", ui::kGroup | ui::kTabStop},
    },
};

bool SameTitle(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

}  // namespace

ui::Font ChineseFont() { return common::ChineseFont(); }

bool ChineseLanguage() {
    return common::ReadProfileInt("DEVICENAME", "LANGUAGE", "DRVCONFIG\\setup.ini") == 0;
}

UninstallDlg::UninstallDlg() : Dialog(kMainDialog) {
    On(kIdUninstall, ui::Notify::Clicked, &UninstallDlg::OnUninstall);
    On(kIdSelectAll, ui::Notify::Clicked, &UninstallDlg::OnSelectAll);
}

void UninstallDlg::Refuse(DialogRefusal why, const std::string& text) {
    refusal = why;
    refusalText = text;
    EndDialog(IDCANCEL);
}

int UninstallDlg::Classify() {
    int osClass = ClassifyWindows();
    if (ClassDisablesUsb()) EnableItem(kIdUsbCheck, false);
    return osClass;
}

bool UninstallDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    plat::Platform& sys = common::Sys();
    if (chineseFont == 1) SetDialogFont(ChineseFont());
    AppendSystemMenu(kAboutCommand, common::messageText().GetText("IDS_ABOUTBOX"));
    SetIcon(128);

    bool wow64 = false;
    if (sys.system().isWow64Process(&wow64) == 0 && wow64) {
        Refuse(DialogRefusal::Wow64, common::messageText().GetText("IDS_X64"));
        return true;
    }
    View(kIdItems).SetExtendedStyle(ui::kLvCheckBoxes | ui::kLvGridLines | ui::kLvTrackSelect |
                                    ui::kLvFullRowSelect);

    UninstallState& state = State();
    state.listPath.clear();
    state.osClass = Classify();
    if (state.osClass >= 2 && state.osClass <= 7) {
        bool admin = false;
        if (sys.system().isUserAdmin(&admin) != 0 || !admin) {
            Refuse(DialogRefusal::NotAdmin, common::messageText().GetText("IDS_ADMIN"));
            return true;
        }
    }
    if (const char* key = LocateUninstallList(&state.listPath)) {
        Refuse(DialogRefusal::NoList, common::messageText().GetText(key));
        return true;
    }

    ui::ListView items = View(kIdItems);
    for (const std::string& item : UninstallList(state.listPath, state.osClass).Items()) {
        items.InsertItem(items.GetItemCount(), item);
    }
    if (items.GetItemCount() == 0) EnableItem(kIdSelectAll, false);
    Log(common::messageText().GetText("IDS_SELECTPRN1"));

    common::LanguageText text("Uninstall");
    SetItemText(kIdNote, text.GetText("Note"));
    SetItemText(kIdUninstall, text.GetText("Uninstall"));
    SetItemText(kIdSelectAll, text.GetText("Select"));
    SetItemText(kIdExit, text.GetText("Exit"));
    SetItemText(kIdUsbCheck, text.GetText("USBuninstall"));
    SetWindowText(text.GetText("Title"));

    plat::Err spooler = sys.system().probeEntryPoint("Winspool.drv", "DeletePrinterDriverExA");
    if (spooler == ERROR_MOD_NOT_FOUND) {
        state.driverDeletion = DriverDeletion::Plain;
        ui::WindowMessageBox(this, "no Winspool lib  ");
        return true;
    }
    state.driverDeletion = spooler == 0 ? DriverDeletion::Ex : DriverDeletion::Plain;

    std::string windows;
    plat::Handle find = 0;
    plat::FindData found;
    if (sys.files().getWindowsDirectory(260, &windows) == 0 &&
        sys.files().findFirstFile(windows + "\\System32\\drivers\\bulkusb.sys", &find, &found) == 0) {
        sys.files().findClose(find);
    } else {
        EnableItem(kIdUsbCheck, false);
    }
    return true;
}

bool UninstallDlg::OnSysCommand(int command) {
    if ((command & ui::kSysCommandMask) != kAboutCommand) return false;
    UninstallAboutDlg about;
    about.DoModal(this);
    return true;
}

void UninstallDlg::OnPaint(ui::Painter& painter) {
    if (IsIconic()) painter.DrawIcon(128);
}

bool UninstallDlg::OnHelp() {
    plat::Desktop& desktop = common::Sys().desktop();
    // A window titled "Uninstall" is the help already open, unless it is
    // this dialog under its English title: then it cannot be told apart and
    // the help is opened.
    plat::Hwnd help = SameTitle(GetWindowText(), "Uninstall") ? 0 : desktop.findWindow("Uninstall");
    if (help) {
        desktop.bringWindowToTop(help);
        desktop.openIcon(help);
        return true;
    }
    if (desktop.shellExecute("open", ".\\Uninstall_EN.CHM", nullptr, nullptr, SW_SHOW) <= 32) {
        desktop.shellExecute("open", ".\\Uninstall_CN.CHM", nullptr, nullptr, SW_SHOW);
    }
    return true;
}

void UninstallDlg::OnUninstall() {
    if (running_ || !PreCheck(*this)) return;
    running_ = true;
    // The worker's last act on the dialog is enabling Exit again; after it
    // the dialog may close at once, so the worker touches nothing more.
    ui::StartWorker([this] { RunRemoval(*this); });
}

void UninstallDlg::OnSelectAll() {
    ui::ListView items = View(kIdItems);
    for (int i = 0; i < items.GetItemCount(); ++i) items.SetCheckState(i, true);
}

void UninstallDlg::OnOK() {
    if (!running_) Dialog::OnOK();
}

void UninstallDlg::OnCancel() {
    if (!running_) Dialog::OnCancel();
}

int UninstallDlg::ItemCount() { return View(kIdItems).GetItemCount(); }
bool UninstallDlg::IsChecked(int index) { return View(kIdItems).GetCheckState(index); }
std::string UninstallDlg::ItemText(int index) { return View(kIdItems).GetItemText(index); }
void UninstallDlg::DeleteItem(int index) { View(kIdItems).DeleteItem(index); }

void UninstallDlg::Log(const std::string& line) {
    ui::ListControl log = List(kIdLog);
    int at = log.AddString(line);
    log.SetCurSel(at);
}

bool UninstallDlg::UsbChecked() { return IsButtonChecked(kIdUsbCheck) == 1; }
void UninstallDlg::EnableControl(int id, bool on) {
    if (id != kIdExit || !on) {
        EnableItem(id, on);
        return;
    }
    // Exit comes back last: from then on the run is over.
    ui::CallOnUiThread([this] {
        running_ = false;
        EnableItem(kIdExit, true);
    });
}

void UninstallDlg::OfferRestart() {
    RestartPromptDlg prompt;
    if (prompt.DoModal(this) != IDOK) return;
    RequestRestart(Classify());
}

UninstallAboutDlg::UninstallAboutDlg() : Dialog(kAboutBox) {}

bool UninstallAboutDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    chineseFont = 0;
    if (ChineseLanguage()) chineseFont = 1;
    if (chineseFont == 1) SetDialogFont(ChineseFont());
    common::LanguageText text("About");
    SetItemText(1017, text.GetText("Version"));
    SetItemText(1018, text.GetText("Copyright"));
    SetItemText(1, text.GetText("OK"));
    SetWindowText(text.GetText("Title"));
    return true;
}

}  // namespace uninstall
