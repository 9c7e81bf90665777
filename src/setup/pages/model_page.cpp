#include "setup/pages/model_page.h"

#include <cstring>

#include "common/language_text.h"
#include "setup/wizard/setup_wizard_dlg.h"

namespace setup {

using ui::Kind;

const ui::DialogTemplate kModelPageTemplate = {
    131, 200, 162, "", ui::kChild | ui::kControlParent, "System", 10,
    {
        {1019, Kind::AutoRadioButton, 12, 27, 50, 10, "\xCA\xD5\xBE\xDD\xB4\xF2\xD3\xA1\xBB\xFA", ui::kGroup},  // 收据打印机
        {1020, Kind::AutoRadioButton, 13, 55, 52, 10, "\xC6\xB1\xBE\xDD\xB4\xF2\xD3\xA1\xBB\xFA", 0},  // 票据打印机
        {1021, Kind::AutoRadioButton, 14, 83, 50, 10, "\xB1\xEA\xC7\xA9\xB4\xF2\xD3\xA1\xBB\xFA", 0},  // 标签打印机
        {1073, Kind::AutoRadioButton, 15, 111, 57, 10, "\xC7\xB6\xC8\xEB\xCA\xBD\xB4\xF2\xD3\xA1\xBB\xFA", 0},  // 嵌入式打印机
        {1030, Kind::DropList, 73, 25, 110, 89, "", ui::kVScroll | ui::kTabStop},
        {1031, Kind::DropList, 74, 53, 110, 81, "", ui::kVScroll | ui::kTabStop},
        {1032, Kind::DropList, 74, 81, 110, 78, "", ui::kVScroll | ui::kTabStop},
        {1074, Kind::DropList, 74, 109, 110, 108, "", ui::kVScroll | ui::kTabStop},
        {kIdSetAsDefault, Kind::AutoCheckBox, 7, 149, 85, 10,
         "\xC9\xE8\xD6\xC3\xCE\xAA\xC4\xAC\xC8\xCF\xB4\xF2\xD3\xA1\xBB\xFA", ui::kTabStop},  // 设置为默认打印机
        {kIdModelGroup, Kind::GroupBox, 7, 4, 186, 136, "\xD1\xA1\xD4\xF1\xB0\xB2\xD7\xB0\xB4\xF2\xD3\xA1\xBB\xFA", 0},  // 选择安装打印机
    },
};

namespace {
// The language key (section Series) of each type's radio text.
constexpr const char* kTypeKeys[4] = {"Receipt", "Ticket", "Label", "Embedded"};
}  // namespace

ModelPage::ModelPage() : Dialog(kModelPageTemplate) {
    for (int t = 0; t < 4; ++t) {
        On(kTypeRadios[t], ui::Notify::Clicked, [this, t] { OnTypeClicked(t); });
        On(kTypeLists[t], ui::Notify::SelChange, [this, t] { OnListChanged(t); });
    }
}

ModelPage::~ModelPage() = default;

void ModelPage::DoDataExchange(ui::DataExchange& dx) {
    for (int t = 0; t < 4; ++t) dx.Control(kTypeLists[t], typeLists[t]);
    dx.Check(kIdSetAsDefault, setAsDefault);
}

bool ModelPage::OnInitDialog() {
    Dialog::OnInitDialog();

    const int count = config.ModelCount();
    hasModels = 1;
    char name[200];
    for (int entry = 1; entry <= count; ++entry) {
        int type = config.ModelEntry(entry, name);
        if (type >= 0) typeLists[type].AddString(name);
    }
    for (ui::ComboBox& list : typeLists) {
        list.SetCurSel(0);
        list.Enable(false);
    }
    bool anyModel = false;
    for (int t = 0; t < 4; ++t) {
        if (typeLists[t].GetCount() == 0) {
            EnableItem(kTypeRadios[t], false);
            typeLists[t].Enable(false);
        } else {
            anyModel = true;
        }
    }
    if (!anyModel) hasModels = 0;

    int type = config.DefaultModel(name);
    // A default entry beyond DEVICENUMBER can name a type whose list is
    // empty: there is nothing to preselect then.
    if (type >= 0 && type <= 3 && typeLists[type].GetCount() == 0) type = -1;
    if (type >= 0 && type <= 3) {
        for (int t = 0; t < 4; ++t) CheckButton(kTypeRadios[t], t == type ? 1 : 0);
        ui::ComboBox& list = typeLists[type];
        // From the second item on, wrapping to the first: the first item
        // whose text begins with the default's name.
        list.SetCurSel(list.FindString(0, name));
        if (list.GetCurSel() != ui::ComboBox::kNone) {
            std::string selected = list.GetSelectedText();
            std::memset(modelName, 0, sizeof modelName);
            std::strncpy(modelName, selected.c_str(), sizeof modelName - 1);
        }
        list.Enable(true);
    }
    printerType = type;

    if (chineseFont == 1) ApplySharedFont(*this);
    return true;
}

void ModelPage::TakeSelectedModel(int type) {
    std::memset(modelName, 0, sizeof modelName);
    ui::ComboBox& list = typeLists[type];
    if (list.GetCurSel() == ui::ComboBox::kNone) return;
    std::strncpy(modelName, list.GetSelectedText().c_str(), sizeof modelName - 1);
}

void ModelPage::OnTypeClicked(int type) {
    for (ui::ComboBox& list : typeLists) list.Enable(false);
    TakeSelectedModel(type);
    typeLists[type].Enable(true);
    printerType = type;
}

void ModelPage::OnListChanged(int type) { TakeSelectedModel(type); }

void ModelPage::OnShowWindow(bool show) {
    common::LanguageText series("Series");
    SetItemText(kIdModelGroup, series.GetText("Select"));
    for (int t = 0; t < 4; ++t) SetItemText(kTypeRadios[t], series.GetText(kTypeKeys[t]));
    SetItemText(kIdSetAsDefault, series.GetText("Default"));
}

}  // namespace setup
