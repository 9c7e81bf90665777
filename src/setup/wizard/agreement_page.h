// The agreement page (template 133): License.txt in a read-only text box,
// and Accept or Reject; the wizard's Next button follows the choice.
#pragma once

#include "setup/wizard/edit_ex.h"
#include "ui/dialog.h"

namespace setup {

extern const ui::DialogTemplate kAgreementPageTemplate;   // 133

inline constexpr int kIdAgreementText = 1081;
inline constexpr int kIdAccept = 1057;
inline constexpr int kIdReject = 1058;
inline constexpr int kIdAgreementGroup = 1090;

// The agreement text box, one for the program.
extern CEditEx agreementText;

class AgreementPage : public ui::Dialog {
public:
    AgreementPage();
    ~AgreementPage() override;

    int loadLicense = 0;
    int chineseFont = 0;

protected:
    bool OnInitDialog() override;
    void OnShowWindow(bool show) override;
    void DoDataExchange(ui::DataExchange& dx) override;
    void OnOK() override {}
    void OnCancel() override {}

private:
    void EnableNext(bool on);
    // Reads License.txt into the text box; false when it cannot be opened.
    bool LoadLicense();
};

}  // namespace setup
