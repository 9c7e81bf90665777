#include "setup/wizard/setup_wizard_dlg.h"

#include <cstdio>
#include <cstring>

#include "common/chinese_font.h"
#include "common/language_text.h"
#include "common/sys.h"
#include "platform/win_types.h"
#include "setup/config/driver_config.h"
#include "setup/pages/mode_page.h"
#include "setup/pages/model_page.h"
#include "setup/pages/os_page.h"
#include "setup/pages/port_page.h"
#include "setup/wizard/agreement_page.h"
#include "setup/wizard/install_command.h"
#include "ui/message_box.h"

namespace setup {

using ui::Kind;

const ui::DialogTemplate kWizardTemplate = {
    102, 296, 184,
    "\xB4\xF2\xD3\xA1\xBB\xFA\xC7\xFD\xB6\xAF\xB0\xB2\xD7\xB0\xB3\xCC\xD0\xF2",  // 打印机驱动安装程序
    ui::kCaption | ui::kSysMenu | ui::kMinimizeBox | ui::kCentered | ui::kAppWindow, "System", 10,
    {
        {kIdHelpHint, Kind::Static, 4, 172, 77, 8, "", 0},
        {kIdPageFrame, Kind::EtchedFrame, 96, 1, 193, 158, "", ui::kHidden},
        {kIdBack, Kind::PushButton, 112, 166, 50, 14, "< \xC9\xCF\xD2\xBB\xB2\xBD", ui::kDisabled | ui::kTabStop},
        {IDOK, Kind::DefPushButton, 168, 166, 50, 14, "\xCF\xC2\xD2\xBB\xB2\xBD >", ui::kDisabled | ui::kTabStop},
        {IDCANCEL, Kind::PushButton, 224, 166, 50, 14, "\xC8\xA1\xCF\xFB", ui::kTabStop},
        {ui::kNoId, Kind::EtchedLine, 100, 162, 189, 1, "", 0},
        {kIdPicture, Kind::Frame, 7, 5, 83, 158, "", 0},
    },
};

const ui::DialogTemplate kAboutTemplate = {
    100, 200, 62, "About", ui::kCaption | ui::kSysMenu | ui::kModalFrame | ui::kCentered, "System", 10,
    {
        {ui::kNoId, Kind::Icon, 9, 9, 20, 20, "128", 0},
        {1091, Kind::Static, 40, 10, 152, 8, "", 0},
        {1092, Kind::Static, 40, 24, 152, 8, "", 0},
        {IDOK, Kind::DefPushButton, 142, 42, 50, 14, "OK", ui::kGroup | ui::kTabStop},
    },
};

std::optional<ui::Font> sharedFont;
std::optional<plat::Bitmap> leftBitmap;
plat::Hwnd helpWindow = 0;
int reloadBaud = 1;
char portSection[200] = {};
char portFile[200] = {};

namespace {

constexpr const char kLeftPicture[] = "DRVCONFIG\\Left.bmp";
// ShellExecute's path buffer for the help file.
constexpr std::size_t kHelpPathSize = 100;

std::string SetupText(const char* key) { return common::LanguageText("Setup").GetText(key); }

// The support switch each Windows class needs, and the refusal without it.
struct SupportRule {
    int osClass;
    const char* key;
    const char* message;
};
constexpr SupportRule kSupportRules[] = {
    {1, "SystemNTSupported", "IDS_NOTSUPPORTNT"},
    {4, "System2003Supported", "IDS_NOTSUPPORT2003"},
    {5, "SystemVistaSupported", "IDS_NOTSUPPORTVISTA"},
    {6, "System2008Supported", "IDS_NOTSUPPORT2008"},
    {7, "SystemWin7Supported", "IDS_NOTSUPPORTWin7"},
};

template <class Page>
Page* PageAs(const SetupWizardDlg& wizard, int index) {
    return dynamic_cast<Page*>(wizard.GetPage(index));
}

}  // namespace

ui::Font ChineseFont() { return common::ChineseFont(); }

void ApplySharedFont(ui::Dialog& dialog) {
    if (sharedFont) dialog.SetDialogFont(*sharedFont);
}

// ---------------------------------------------------------------- SetupWizardDlg

SetupWizardDlg::SetupWizardDlg() : Dialog(kWizardTemplate) {
    On(kIdBack, ui::Notify::Clicked, &SetupWizardDlg::OnBack);
    // One wizard per run: its program-wide step state starts afresh with it.
    reloadBaud = 1;
    helpWindow = 0;
    std::memset(portSection, 0, sizeof portSection);
    std::memset(portFile, 0, sizeof portFile);
}

SetupWizardDlg::~SetupWizardDlg() = default;

void SetupWizardDlg::AddPage(const char* title, ui::Dialog* page, unsigned templateId) {
    pageTitles.emplace_back(title ? title : "");
    pages.push_back(page);
    pageTemplates.push_back(templateId);
}

ui::Dialog* SetupWizardDlg::GetPage(int index) const {
    if (index < 0 || index >= PageCount()) return nullptr;
    return pages[static_cast<std::size_t>(index)];
}

AgreementPage* SetupWizardDlg::GetAgreementPage() const { return PageAs<AgreementPage>(*this, kAgreementPageIndex); }
ModelPage* SetupWizardDlg::GetModelPage() const { return PageAs<ModelPage>(*this, kModelPageIndex); }
ModePage* SetupWizardDlg::GetModePage() const { return PageAs<ModePage>(*this, kModePageIndex); }
OsPage* SetupWizardDlg::GetOsPage() const { return PageAs<OsPage>(*this, kOsPageIndex); }
PortPage* SetupWizardDlg::GetPortPage() const { return PageAs<PortPage>(*this, kPortPageIndex); }

void SetupWizardDlg::DestroyPages() {
    for (ui::Dialog* page : pages)
        if (page) page->DestroyWindow();
}

int SetupWizardDlg::GetRunningOsClass() {
    plat::OsVersionInfo version;
    if (common::Sys().system().getVersionEx(&version) != 0) return 0;
    return OsClassOf(version, nullptr);
}

bool SetupWizardDlg::IsWow64() {
    // A system without IsWow64Process is no 64-bit Windows; a failing call
    // counts as no as well.
    bool wow64 = false;
    if (common::Sys().system().isWow64Process(&wow64) != 0) return false;
    return wow64;
}

bool SetupWizardDlg::IsUserAdmin() {
    bool admin = false;
    if (common::Sys().system().isUserAdmin(&admin) != 0) return false;
    return admin;
}

void SetupWizardDlg::Refuse(const char* key) {
    ui::WindowMessageBox(this, common::messageText().GetText(key));
    EndDialog(IDCANCEL);
}

bool SetupWizardDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    AppendSystemMenu(kAboutCommand, common::messageText().GetText("IDS_ABOUTBOX"));
    SetIcon(icon);

    if (IsWow64()) {
        Refuse("IDS_X64");
        return false;
    }

    if (chineseFont) {
        sharedFont = ChineseFont();
        ApplySharedFont(*this);
    }

    if (PageCount() > 0) {
        ui::Rect frame = ItemRect(kIdPageFrame);
        for (ui::Dialog* page : pages) {
            page->Create(*this);
            page->MoveTo(frame);
        }
        if (showAgreement) {
            ShowPage(kAgreementPageIndex);
        } else {
            EnableItem(IDOK, true);
            ShowPage(kModelPageIndex);
        }
    }

    SetItemText(kIdBack, SetupText("Back"));
    SetItemText(IDOK, SetupText(PageCount() > 1 ? "Next" : "Install"));
    SetItemText(IDCANCEL, SetupText("Cancel"));

    plat::Bitmap bitmap;
    if (common::Sys().files().loadBitmapFile(kLeftPicture, &bitmap) != 0) {
        Refuse("IDS_ERR_NOLEFT");
        return false;
    }
    leftBitmap = std::move(bitmap);

    int running = GetRunningOsClass();
    if (running >= 2 && running <= 7 && !IsUserAdmin()) {
        Refuse("IDS_ADMIN");
        return false;
    }
    return true;
}

bool SetupWizardDlg::ShowPage(int target) {
    // An index without a page changes nothing: the page shown stays shown.
    if (!GetPage(target)) return false;
    const int left = currentPage;
    ui::Dialog* leaving = GetPage(left);
    if (leaving) {
        if (!leaving->UpdateData(true)) return false;
        leaving->ShowWindow(SW_HIDE);
    }

    if (left == kModePageIndex && target < kModePageIndex) reloadBaud = 1;

    if (left == kAgreementPageIndex) {
        ModelPage* model = GetModelPage();
        EnableItem(IDOK, model && model->hasModels == 1);
    }

    if (target > left) {
        if (left == kModelPageIndex) LeaveModelPage();
        if (left == kOsPageIndex && !LeaveOsPage()) {
            leaving->ShowWindow(SW_SHOW);
            return false;
        }
    }

    currentPage = target;
    GetPage(target)->ShowWindow(SW_SHOW);
    return true;
}

void SetupWizardDlg::LeaveModelPage() {
    ModelPage* model = GetModelPage();
    if (!model) return;
    selection.printerType = model->printerType;
    char commonPath[200];
    ConfigPaths(selection.printerType, commonPath, portFile);
    // A section name that does not fit is cut, as the 200-character buffer cuts it.
    std::string section = std::string(model->modelName) + ".PORT";
    std::memset(portSection, 0, sizeof portSection);
    section.copy(portSection, sizeof portSection - 1);

    ModePage* mode = GetModePage();
    if (mode) mode->AllowAdvanced(ReadIniInt(portFile, portSection, "AdvancedSetup") != 0);
}

bool SetupWizardDlg::LeaveOsPage() {
    int support[8] = {};
    for (const SupportRule& rule : kSupportRules)
        support[rule.osClass] = ReadIniInt(portFile, portSection, rule.key);

    if (reloadBaud) {
        if (PortPage* port = GetPortPage()) port->PresetBaudRate(ReadIniInt(portFile, portSection, "BaudRate"));
        reloadBaud = 0;
    }

    OsPage* os = GetOsPage();
    const int chosen = os ? os->osClass : 0;
    for (const SupportRule& rule : kSupportRules) {
        if (rule.osClass == chosen && support[chosen] == 0) {
            ui::AppMessageBox(common::messageText().GetText(rule.message));
            return false;
        }
    }
    return true;
}

void SetupWizardDlg::EnterLastPage() {
    if (ModelPage* model = GetModelPage()) {
        selection.printerType = model->printerType;
        std::memcpy(selection.modelName, model->modelName, sizeof selection.modelName);
        selection.modelName[sizeof selection.modelName - 1] = '\0';
        selection.setAsDefault = model->setAsDefault;
    }
    char commonPath[200];
    ConfigPaths(selection.printerType, commonPath, selection.typeIniPath);
    if (ModePage* mode = GetModePage()) installMode = mode->installMode;
    if (OsPage* os = GetOsPage()) selection.osClass = os->osClass;
    if (PortPage* port = GetPortPage()) {
        port->installMode = installMode;
        port->FillPorts(selection.modelName, selection.osClass, selection.printerType);
    }
    SetItemText(IDOK, SetupText("Install"));
}

void SetupWizardDlg::OnNext() {
    selection.installFlags = 0;
    if (ShowPage(currentPage + 1) && IsLastPage()) EnterLastPage();
    EnableItem(kIdBack, true);
    FocusItem(IDOK);
}

void SetupWizardDlg::OnOK() {
    if (PageCount() > 0 && IsLastPage()) {
        OnInstall(*this);
        return;
    }
    OnNext();
}

void SetupWizardDlg::OnBack() {
    if (currentPage > 0) {
        SetItemText(IDOK, SetupText("Next"));
        ShowPage(currentPage - 1);
        if (!showAgreement && currentPage == kModelPageIndex) EnableItem(kIdBack, false);
    }
    if (currentPage <= 0) {
        EnableItem(kIdBack, false);
        FocusItem(IDOK);
    }
    EnableItem(IDOK, true);
}

void SetupWizardDlg::OnCancel() { EndDialog(IDCANCEL); }

void SetupWizardDlg::OnPaint(ui::Painter& painter) {
    if (IsIconic()) {
        painter.DrawIcon(icon);
        return;
    }
    if (leftBitmap) painter.DrawBitmap(kIdPicture, *leftBitmap);
}

void SetupWizardDlg::OnShowWindow(bool show) {
    SetWindowText(SetupText("Caption"));
    SetItemText(kIdHelpHint, SetupText("Help"));
}

bool SetupWizardDlg::OnHelp() {
    common::LanguageText help("Help Guide");
    plat::Desktop& desktop = common::Sys().desktop();
    helpWindow = desktop.findWindow(help.GetText("Caption"));
    if (helpWindow) {
        desktop.bringWindowToTop(helpWindow);
        desktop.openIcon(helpWindow);
        return true;
    }
    std::string path = ".\\" + help.GetText("Name");
    if (path.size() >= kHelpPathSize) {
        // A cut name would open some other file: say why nothing opens.
        std::string why;
        common::Sys().errorText().formatMessage(ERROR_FILENAME_EXCED_RANGE, &why);
        ui::WindowMessageBox(this, why);
        return true;
    }
    desktop.shellExecute("open", path.c_str(), nullptr, nullptr, SW_SHOW);
    return true;
}

bool SetupWizardDlg::OnSysCommand(int command) {
    if ((command & ui::kSysCommandMask) != kAboutCommand) return false;
    SetupAboutDlg about;
    about.DoModal(this);
    return true;
}

void SetupWizardDlg::OnDestroy() {
    pages.clear();
    pageTitles.clear();
    pageTemplates.clear();
    sharedFont.reset();
}

// ---------------------------------------------------------------- SetupAboutDlg

SetupAboutDlg::SetupAboutDlg() : Dialog(kAboutTemplate) {}

bool SetupAboutDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    chineseFont = ReadDeviceNameInt("LANGUAGE") == 0 ? 1 : 0;
    if (chineseFont) SetDialogFont(ChineseFont());
    common::LanguageText about("About");
    SetItemText(1091, about.GetText("Version"));
    SetItemText(1092, about.GetText("Copyright"));
    SetItemText(IDOK, about.GetText("OK"));
    SetWindowText(about.GetText("Caption"));
    return true;
}

}  // namespace setup
