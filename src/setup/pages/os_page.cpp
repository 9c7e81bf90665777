#include "setup/pages/os_page.h"

#include <cstdint>
#include <cstring>

#include "common/language_text.h"
#include "common/sys.h"
#include "platform/win_types.h"
#include "setup/engine/reg_key.h"
#include "setup/wizard/setup_wizard_dlg.h"
#include "ui/message_box.h"

namespace setup {

using ui::Kind;

const ui::DialogTemplate kOsPageTemplate = {
    130, 200, 162, "", ui::kChild | ui::kControlParent, "System", 10,
    {
        {1026, Kind::AutoRadioButton, 125, 85, 64, 10, "Windows 98/Me", ui::kHidden},
        {1027, Kind::AutoRadioButton, 119, 46, 69, 10, "Windows NT", ui::kHidden},
        {1028, Kind::AutoRadioButton, 37, 25, 69, 10, "Windows 2000", 0},
        {1029, Kind::AutoRadioButton, 37, 47, 69, 10, "Windows XP", 0},
        {1075, Kind::AutoRadioButton, 37, 69, 100, 10, "Windows Server 2003 ", 0},
        {1076, Kind::AutoRadioButton, 37, 91, 69, 10, "Windows Vista", 0},
        {1077, Kind::AutoRadioButton, 37, 113, 85, 10, "Windows Server 2008", 0},
        {1078, Kind::AutoRadioButton, 37, 135, 108, 10, "Windows 7", 0},
        {kIdOsGroup, Kind::GroupBox, 7, 5, 186, 150, "", 0},
    },
};

const char kCompatibilityPersistedKey[] =
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Compatibility Assistant\\Persisted";

OsPage* theOsPage = nullptr;

namespace {

constexpr const char kCurrentVersionKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

// Marks the running program as handled for Vista's Program Compatibility
// Assistant, so that it does not ask after the setup whether the program
// installed correctly. Failures change nothing for the setup.
void MarkCompatibilityHandled() {
    std::string program;
    if (common::Sys().files().getModuleFileName(260, &program) != 0) return;
    RegKey::CreateKey(HKEY_CURRENT_USER, kCompatibilityPersistedKey);
    RegKey key;
    if (!key.Open(HKEY_CURRENT_USER, kCompatibilityPersistedKey)) return;
    key.SetDword(program.c_str(), 1);
    key.Close();
}

}  // namespace

std::string ReadProductName() {
    plat::Registry& registry = common::Sys().registry();
    plat::HKey key = 0;
    if (registry.openKey(HKEY_LOCAL_MACHINE, kCurrentVersionKey, KEY_QUERY_VALUE, &key) != 0) return "";
    std::uint8_t buffer[256] = {};
    std::uint32_t type = 0;
    std::uint32_t size = sizeof buffer;
    plat::Err err = registry.queryValue(key, "ProductName", &type, buffer, &size);
    registry.closeKey(key);
    if (err != 0) return "";
    // A value that fills the buffer without its terminator is cut at 255.
    buffer[sizeof buffer - 1] = 0;
    return reinterpret_cast<const char*>(buffer);
}

int OsClassOf(const plat::OsVersionInfo& version, int* button) {
    int osClass = 0;
    int id = 0;
    const std::uint32_t major = version.majorVersion;
    const std::uint32_t minor = version.minorVersion;
    if (version.platformId == VER_PLATFORM_WIN32_WINDOWS) {
        if (minor != 0) id = kOsButtons[0];   // 98 and Me; Windows 95 has no button
    } else if (version.platformId == VER_PLATFORM_WIN32_NT) {
        if (major == 4 && minor == 0) {
            osClass = 1;
        } else if (major == 5 && minor <= 2) {
            osClass = 2 + static_cast<int>(minor);
        } else if (major == 6 && minor == 0) {
            osClass = ReadProductName().find("2008") != std::string::npos ? 6 : 5;
        } else if (major == 6 && minor == 1) {
            osClass = 7;
        }
        if (osClass != 0) id = kOsButtons[osClass];
    }
    if (button) *button = id;
    return osClass;
}

OsPage::OsPage() : Dialog(kOsPageTemplate) {}

OsPage::~OsPage() {
    if (theOsPage == this) theOsPage = nullptr;
}

bool OsPage::OnInitDialog() {
    Dialog::OnInitDialog();
    theOsPage = this;
    Detect();
    return true;
}

void OsPage::Detect() {
    plat::OsVersionInfo version;
    const bool known = common::Sys().system().getVersionEx(&version) == 0;
    osClass = 0;
    if (chineseFont == 1) ApplySharedFont(*this);

    int button = 0;
    if (known && (version.platformId == VER_PLATFORM_WIN32_WINDOWS ||
                  version.platformId == VER_PLATFORM_WIN32_NT)) {
        osClass = OsClassOf(version, &button);
    } else {
        ui::AppMessageBox(common::messageText().GetText("IDS_ERR_SYSTEM"));
    }
    if (button) CheckRadioButton(kOsButtons[0], kOsButtons[7], button);
    if (osClass == 5) MarkCompatibilityHandled();

    for (int c = 0; c < 8; ++c) EnableItem(kOsButtons[c], c == osClass);
}

void OsPage::OnShowWindow(bool show) {
    SetItemText(kIdOsGroup, common::LanguageText("System").GetText("Select"));
}

}  // namespace setup
