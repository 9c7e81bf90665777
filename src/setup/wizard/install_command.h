// The Install command: what the wizard's OK button does on the last page.
#pragma once

namespace setup {

class SetupWizardDlg;

// Completes the selection from the port page and the configuration, refuses
// impossible choices (the wizard stays on the last page), prepares the USB
// side, runs the installation with the progress dialog and closes the wizard.
void OnInstall(SetupWizardDlg& wizard);

}  // namespace setup
