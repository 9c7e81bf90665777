// The operating-system page (template 130): the eight Windows versions the
// configuration knows, with the running one detected, selected and the only
// button enabled.
#pragma once

#include <string>

#include "platform/system.h"
#include "ui/dialog.h"

namespace setup {

extern const ui::DialogTemplate kOsPageTemplate;   // 130

// The button of each OsClass 0..7.
inline constexpr int kOsButtons[8] = {1026, 1027, 1028, 1029, 1075, 1076, 1077, 1078};
inline constexpr int kIdOsGroup = 1094;

class OsPage : public ui::Dialog {
public:
    OsPage();
    ~OsPage() override;

    int chineseFont = 0;
    int osClass = 0;   // detected OsClass; 0 until detection has run

protected:
    bool OnInitDialog() override;
    void OnShowWindow(bool show) override;
    void OnOK() override {}
    void OnCancel() override {}

private:
    // Classifies the running Windows, selects its button; marks the program
    // for the compatibility assistant on Vista.
    void Detect();
};

// The operating-system page, set when it initialises; the port page reads
// the detected class through it.
extern OsPage* theOsPage;

// The persisted compatibility-assistant key of the current user.
extern const char kCompatibilityPersistedKey[];

// The OsClass of a Windows version; `button` (may be null) receives the
// page's button of that version, 0 when the version has none (Windows 95,
// versions after Windows 7, unknown platforms). Version 6.0 is told apart
// by the product name.
int OsClassOf(const plat::OsVersionInfo& version, int* button);

// ProductName of HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion; "" when it
// cannot be read.
std::string ReadProductName();

}  // namespace setup
