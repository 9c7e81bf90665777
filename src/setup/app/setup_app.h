// The setup program's application object: the start-up checks that decide
// whether the setup may run at all, then the wizard.
#pragma once

#include <string>

#include "setup/pages/mode_page.h"
#include "setup/pages/model_page.h"
#include "setup/pages/os_page.h"
#include "setup/pages/port_page.h"
#include "setup/wizard/agreement_page.h"
#include "setup/wizard/setup_wizard_dlg.h"

namespace setup {

// The wizard with its five pages, registered in their order: agreement,
// printer model, installation mode, operating system, port.
struct SetupWindows {
    SetupWindows(bool showAgreement, bool chineseFont);
    // Runs the wizard modally as the program's main window; its result.
    int Run();

    SetupWizardDlg wizard;
    AgreementPage agreementPage;
    ModePage modePage;
    OsPage osPage;
    ModelPage modelPage;
    PortPage portPage;
};

// How the start-up ended; each refusal is its own exit status.
enum class StartupOutcome {
    Passed = 0,              // every check passed
    SecondCopy = 11,          // another copy runs; it was brought to the front
    UninstallerOpen = 12,     // Setup/Close
    UnsupportedWindows = 13,  // Windows 98, Me or NT 4.0: Setup/Nonsupport
    NoPort = 14,              // the configured printer offers no port: Setup/PortNull
};

class SetupApp {
public:
    // The whole start-up, the wizard included. It always returns false: the
    // program ends afterwards without a message loop.
    bool InitInstance();

    StartupOutcome Outcome() const { return outcome_; }
    int ExitCode() const { return static_cast<int>(outcome_); }

    // Start-up values the wizard and its pages take over.
    bool showAgreement = false;   // DEVICENAME/LOADLICENSE non-zero
    bool chineseFont = false;     // DEVICENAME/LANGUAGE 0 or missing

    // How the wizard ended (IDOK, IDCANCEL; -1 when it could not be shown;
    // 0 when the start-up refused before it).
    int WizardResult() const { return wizardResult_; }

    // The single checks, in the order InitInstance runs them.
    static bool AnotherCopyRuns();           // brings that copy's window to the front
    static bool UninstallerWindowOpen();
    static bool WindowsRefused();            // 98, Me, NT 4.0
    // The model the port check looks at: the last entry of the model list
    // that names a printer type; "" when no entry does.
    static std::string LastConfiguredModel();
    static bool ModelHasPort(const std::string& model);

private:
    StartupOutcome RunChecks();
    StartupOutcome outcome_ = StartupOutcome::Passed;
    int wizardResult_ = 0;
};

}  // namespace setup
