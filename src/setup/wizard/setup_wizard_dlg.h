// The setup's one top-level window: the left picture, one page at a time in
// the frame on the right, and Back, Next (Install on the last page) and
// Cancel below. It runs the checks of the step the user leaves and collects
// the pages' choices into the installation selection.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/win_types.h"
#include "setup/wizard/install_selection.h"
#include "ui/dialog.h"

namespace setup {

class AgreementPage;
class ModelPage;
class ModePage;
class OsPage;
class PortPage;

// Control ids of the wizard's template (102).
inline constexpr int kIdHelpHint = 1093;
inline constexpr int kIdPageFrame = 1001;
inline constexpr int kIdBack = 1002;
inline constexpr int kIdPicture = 1087;
inline constexpr int kIconId = 128;
inline constexpr int kAboutCommand = 16;

// The page indices the start-up registers the pages under.
inline constexpr int kAgreementPageIndex = 0;
inline constexpr int kModelPageIndex = 1;
inline constexpr int kModePageIndex = 2;
inline constexpr int kOsPageIndex = 3;
inline constexpr int kPortPageIndex = 4;

extern const ui::DialogTemplate kWizardTemplate;   // 102
extern const ui::DialogTemplate kAboutTemplate;    // 100

// The Chinese dialog font: GB2312, "宋体", 13 high, weight 400.
ui::Font ChineseFont();

// Program-wide objects of the wizard and its pages.
// The shared dialog font: empty until the wizard creates it, emptied again
// when the wizard's window goes.
extern std::optional<ui::Font> sharedFont;
// Applies the shared font to a dialog and each of its controls (nothing
// while the font does not exist).
void ApplySharedFont(ui::Dialog& dialog);
// The picture DRVCONFIG\Left.bmp, kept for the rest of the run.
extern std::optional<plat::Bitmap> leftBitmap;
// The help window found by the last F1 search.
extern plat::Hwnd helpWindow;
// 1: the next move from the operating-system page to the port page presets
// the port page's baud rate from the configuration.
extern int reloadBaud;
// Set when the user leaves the model page forward: the model's port section
// ("<model>.PORT") and the full path of its type file.
extern char portSection[200];
extern char portFile[200];

class SetupWizardDlg : public ui::Dialog {
public:
    SetupWizardDlg();
    ~SetupWizardDlg() override;

    int showAgreement = 0;
    int chineseFont = 0;
    std::vector<ui::Dialog*> pages;          // not owned; the index is the step
    std::vector<std::string> pageTitles;     // kept, never shown
    std::vector<unsigned> pageTemplates;
    int currentPage = -1;
    InstallSelection selection;
    int icon = kIconId;

    void AddPage(const char* title, ui::Dialog* page, unsigned templateId);
    ui::Dialog* GetPage(int index) const;   // nullptr outside 0..count-1
    int PageCount() const { return static_cast<int>(pages.size()); }
    bool IsLastPage() const { return currentPage == PageCount() - 1; }
    // Switches to the page at `target` with the checks of the step that is
    // left; false when the wizard stays where it is.
    virtual bool ShowPage(int target);
    // Destroys the window of every registered page.
    void DestroyPages();

    // The registered pages by their role (nullptr when not registered).
    AgreementPage* GetAgreementPage() const;
    ModelPage* GetModelPage() const;
    ModePage* GetModePage() const;
    OsPage* GetOsPage() const;
    PortPage* GetPortPage() const;

    // The OsClass of the running Windows (0..7).
    static int GetRunningOsClass();
    static bool IsUserAdmin();
    static bool IsWow64();

    // The buttons (public so that tests and the install command can press
    // them as the user does).
    void OnNext();
    void OnBack();

protected:
    bool OnInitDialog() override;
    void OnPaint(ui::Painter& painter) override;
    bool OnSysCommand(int command) override;
    void OnShowWindow(bool show) override;
    bool OnHelp() override;
    void OnOK() override;       // Next, or Install on the last page
    void OnCancel() override;
    void OnDestroy() override;

private:
    // Moving onto the last page: the selection from the pages, the port list.
    void EnterLastPage();
    // The checks of leaving the model page and the operating-system page.
    void LeaveModelPage();
    bool LeaveOsPage();
    // Ends the dialog during its initialisation with a message.
    void Refuse(const char* key);
};

// The About box from the system menu.
class SetupAboutDlg : public ui::Dialog {
public:
    SetupAboutDlg();
    int chineseFont = 0;

protected:
    bool OnInitDialog() override;
};

}  // namespace setup
