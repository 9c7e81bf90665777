// The uninstaller's main dialog, its About box, and the start-up checks the
// dialog makes before it shows anything.
#pragma once

#include <string>

#include "ui/dialog.h"
#include "uninstall/removal.h"

namespace uninstall {

// Why the dialog closed at once; None when it ran.
enum class DialogRefusal { None, Wow64, NotAdmin, NoList };

// The font applied when DEVICENAME/LANGUAGE is 0: "宋体", 13 high, GB2312.
ui::Font ChineseFont();

// DEVICENAME/LANGUAGE of DRVCONFIG\setup.ini is 0 (or missing).
bool ChineseLanguage();

class UninstallDlg : public ui::Dialog, public RemovalView {
public:
    UninstallDlg();

    bool OnInitDialog() override;
    bool OnSysCommand(int command) override;
    void OnPaint(ui::Painter& painter) override;
    bool OnHelp() override;
    // While a run lasts, Enter and Escape end nothing (the worker still
    // uses the dialog).
    void OnOK() override;
    void OnCancel() override;

    // Classifies Windows; on 98, Me and NT 4.0 that disables the USB box.
    int Classify();

    // Button handlers.
    void OnUninstall();
    void OnSelectAll();

    // What the removal run sees (RemovalView).
    int ItemCount() override;
    bool IsChecked(int index) override;
    std::string ItemText(int index) override;
    void DeleteItem(int index) override;
    void Log(const std::string& line) override;
    bool UsbChecked() override;
    void EnableControl(int id, bool on) override;
    void SetCurrentItem(const std::string& name) override { currentItem = name; }
    int Reclassify() override { return Classify(); }
    void OfferRestart() override;

    int chineseFont = 0;
    std::string currentItem;
    // A refusal ends the dialog before it is shown; the application shows
    // its text once the dialog is gone (a box opened while the dialog
    // initialises could not be answered by a scripted run).
    DialogRefusal refusal = DialogRefusal::None;
    std::string refusalText;

private:
    bool running_ = false;   // a run lasts; touched on the user-interface thread only
    void Refuse(DialogRefusal why, const std::string& text);
};

class UninstallAboutDlg : public ui::Dialog {
public:
    UninstallAboutDlg();
    bool OnInitDialog() override;

    int chineseFont = 0;
};

}  // namespace uninstall
