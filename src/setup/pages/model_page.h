// The printer model page (template 131): one radio button and one drop-down
// list per printer type, the configuration's default model preselected, and
// the "set as default printer" check box.
#pragma once

#include "setup/config/driver_config.h"
#include "ui/dialog.h"

namespace setup {

extern const ui::DialogTemplate kModelPageTemplate;   // 131

// Per printer type 0..3: its radio button and its list.
inline constexpr int kTypeRadios[4] = {1019, 1020, 1021, 1073};
inline constexpr int kTypeLists[4] = {1030, 1031, 1032, 1074};
inline constexpr int kIdSetAsDefault = 1046;
inline constexpr int kIdModelGroup = 1094;

class ModelPage : public ui::Dialog {
public:
    ModelPage();
    ~ModelPage() override;

    char modelName[200] = {};   // the selected model as listed; "" for none
    int chineseFont = 0;
    DriverConfig config;        // only its model list is read
    int printerType = 0;        // 0..3; -1 when nothing is chosen
    ui::ComboBox typeLists[4];
    int setAsDefault = 0;       // check box 1046
    int hasModels = 0;          // 0 when the whole model list is empty

protected:
    bool OnInitDialog() override;
    void OnShowWindow(bool show) override;
    void DoDataExchange(ui::DataExchange& dx) override;
    void OnOK() override {}
    void OnCancel() override {}

private:
    void OnTypeClicked(int type);
    void OnListChanged(int type);
    // Copies the selected item of the type's list into modelName ("" for none).
    void TakeSelectedModel(int type);
};

}  // namespace setup
