#include "setup/wizard/agreement_page.h"

#include "common/language_text.h"
#include "common/sys.h"
#include "platform/win_types.h"
#include "setup/wizard/setup_wizard_dlg.h"
#include "ui/app.h"
#include "ui/message_box.h"

namespace setup {

using ui::Kind;

const ui::DialogTemplate kAgreementPageTemplate = {
    133, 197, 162, "", ui::kChild | ui::kControlParent, "System", 10,
    {
        {kIdAgreementText, Kind::Edit, 9, 13, 179, 121, "",
         ui::kMultiLine | ui::kReadOnly | ui::kVScroll | ui::kBorder | ui::kTabStop},
        {kIdAccept, Kind::AutoRadioButton, 34, 140, 54, 10, "\xBD\xD3\xCA\xDC", ui::kGroup | ui::kTabStop},  // 接受
        {kIdReject, Kind::AutoRadioButton, 109, 140, 52, 10, "\xB2\xBB\xBD\xD3\xCA\xDC", 0},  // 不接受
        {kIdAgreementGroup, Kind::GroupBox, 6, 4, 183, 151, "", 0},
    },
};

CEditEx agreementText;

namespace {
constexpr const char kLicenseFile[] = "License.txt";
}  // namespace

AgreementPage::AgreementPage() : Dialog(kAgreementPageTemplate) {
    On(kIdAccept, ui::Notify::Clicked, [this] { EnableNext(true); });
    On(kIdReject, ui::Notify::Clicked, [this] { EnableNext(false); });
}

AgreementPage::~AgreementPage() {
    // The text box outlives the page; it must not keep pointing at it.
    if (agreementText.Owner() == this) agreementText.Detach();
}

void AgreementPage::DoDataExchange(ui::DataExchange& dx) { dx.Control(kIdAgreementText, agreementText); }

void AgreementPage::EnableNext(bool on) {
    if (ui::Dialog* main = ui::MainWindow()) main->EnableItem(IDOK, on);
}

bool AgreementPage::LoadLicense() {
    std::string bytes;
    if (common::Sys().files().readFile(kLicenseFile, &bytes) != 0) return false;
    // The text is shown from a zeroed block a little larger than the file.
    const std::size_t block = ((bytes.size() + 3) / 4) * 4 + 4;
    if (common::Sys().system().allocate(block) != 0) return true;   // no memory: no text
    // The bytes as they are: the edit control shows them up to the first zero.
    std::size_t end = bytes.find('\0');
    if (end != std::string::npos) bytes.resize(end);
    agreementText.SetText(bytes);
    return true;
}

bool AgreementPage::OnInitDialog() {
    Dialog::OnInitDialog();
    agreementText.ApplyStyle();
    CheckRadioButton(kIdAccept, kIdReject, kIdReject);
    if (loadLicense == 1 && !LoadLicense()) {
        ui::WindowMessageBox(this, common::messageText().GetText("IDS_ERR_NOLICENSE"));
        if (Parent()) Parent()->EndDialog(IDCANCEL);
        return false;
    }
    if (chineseFont == 1) ApplySharedFont(*this);
    return true;
}

void AgreementPage::OnShowWindow(bool show) {
    common::LanguageText legal("Legal");
    SetItemText(kIdAgreementGroup, legal.GetText("Agreement"));
    SetItemText(kIdAccept, legal.GetText("Accept"));
    SetItemText(kIdReject, legal.GetText("Reject"));
}

}  // namespace setup
