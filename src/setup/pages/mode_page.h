// The installation mode page (template 137): typical or advanced, with the
// notes of the chosen mode.
#pragma once

#include "ui/dialog.h"

namespace setup {

extern const ui::DialogTemplate kModePageTemplate;   // 137

inline constexpr int kIdModeGroup = 1103;
inline constexpr int kIdTypical = 1066;
inline constexpr int kIdAdvanced = 1067;
inline constexpr int kIdRemarks = 1104;
inline constexpr int kIdNote1 = 1068;
inline constexpr int kIdNote2 = 1069;
inline constexpr int kIdNote3 = 1070;

class ModePage : public ui::Dialog {
public:
    ModePage();
    ~ModePage() override;

    int chineseFont = 0;
    int installMode = 1;   // 1 typical, 0 advanced

    // The wizard's verdict on the model: whether the advanced mode may be
    // chosen. Without it the page falls back to typical with its own note.
    void AllowAdvanced(bool allowed);

protected:
    bool OnInitDialog() override;
    void OnShowWindow(bool show) override;
    void OnOK() override {}
    void OnCancel() override {}

private:
    void OnTypical();
    void OnAdvanced();
};

}  // namespace setup
