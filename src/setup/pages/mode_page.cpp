#include "setup/pages/mode_page.h"

#include "common/language_text.h"
#include "setup/wizard/setup_wizard_dlg.h"

namespace setup {

using ui::Kind;

const ui::DialogTemplate kModePageTemplate = {
    137, 197, 162, "", ui::kChild | ui::kControlParent, "System", 10,
    {
        {kIdModeGroup, Kind::GroupBox, 7, 7, 178, 147, "?", 0},
        {kIdTypical, Kind::AutoRadioButton, 38, 27, 46, 10, "?", ui::kGroup},
        {kIdAdvanced, Kind::AutoRadioButton, 38, 55, 46, 10, "?", 0},
        {ui::kNoId, Kind::EtchedLine, 16, 79, 160, 1, "", 0},
        {kIdRemarks, Kind::Static, 16, 89, 40, 8, "?", 0},
        {kIdNote1, Kind::Static, 32, 100, 149, 8, "?", 0},
        {kIdNote2, Kind::Static, 32, 116, 137, 8, "2", ui::kHidden},
        {kIdNote3, Kind::Static, 32, 133, 135, 8, "3", ui::kHidden},
    },
};

namespace {
std::string ModeText(const char* key) { return common::LanguageText("Mode").GetText(key); }
}  // namespace

ModePage::ModePage() : Dialog(kModePageTemplate) {
    On(kIdTypical, ui::Notify::Clicked, &ModePage::OnTypical);
    On(kIdAdvanced, ui::Notify::Clicked, &ModePage::OnAdvanced);
}

ModePage::~ModePage() = default;

bool ModePage::OnInitDialog() {
    Dialog::OnInitDialog();
    installMode = 1;
    CheckRadioButton(kIdTypical, kIdAdvanced, kIdTypical);
    SetItemText(kIdNote1, ModeText("Note1"));
    if (chineseFont == 1) ApplySharedFont(*this);
    return true;
}

void ModePage::OnTypical() {
    SetItemText(kIdNote1, ModeText("Note1"));
    ShowItem(kIdNote2, false);
    ShowItem(kIdNote3, false);
    installMode = 1;
}

void ModePage::OnAdvanced() {
    SetItemText(kIdNote1, ModeText("Note2"));
    SetItemText(kIdNote2, ModeText("Note3"));
    ShowItem(kIdNote2, true);
    ShowItem(kIdNote3, false);
    installMode = 0;
}

void ModePage::AllowAdvanced(bool allowed) {
    if (allowed) {
        EnableItem(kIdAdvanced, true);
        return;
    }
    EnableItem(kIdAdvanced, false);
    CheckRadioButton(kIdTypical, kIdAdvanced, kIdTypical);
    SetItemText(kIdNote1, common::messageText().GetText("IDS_TYPICAL_NOTES"));
    ShowItem(kIdNote2, false);
    ShowItem(kIdNote3, false);
    installMode = 1;
}

void ModePage::OnShowWindow(bool show) {
    SetItemText(kIdModeGroup, ModeText("Type"));
    SetItemText(kIdTypical, ModeText("Typical"));
    SetItemText(kIdAdvanced, ModeText("Advanced"));
    SetItemText(kIdRemarks, ModeText("Remarks"));
}

}  // namespace setup
