// The uninstaller's application object: one copy at a time, never while the
// setup program is open, then the main dialog.
#pragma once

namespace uninstall {

// How the program ended; every refusal has its own exit status.
enum class UninstallOutcome {
    Ran = 0,             // the main dialog ran and was closed
    SecondCopy = 11,     // another copy runs; its window was brought to the front
    SetupOpen = 12,      // [Uninstall] Close
    Wow64 = 13,          // [Message] IDS_X64
    NotAdmin = 14,       // [Message] IDS_ADMIN
    NoList = 15,         // the uninstall list was not found
};

class UninstallApp {
public:
    // The whole program. Always returns false: there is no message loop
    // after the main dialog.
    bool InitInstance();

    UninstallOutcome Outcome() const { return outcome_; }
    int ExitCode() const { return static_cast<int>(outcome_); }
    // What the main dialog's DoModal returned (-1 when it could not run).
    int DialogResult() const { return dialogResult_; }

    static bool AnotherCopyRuns();   // brings that copy's window to the front
    static bool SetupWindowOpen();

private:
    UninstallOutcome outcome_ = UninstallOutcome::Ran;
    int dialogResult_ = 0;
};

}  // namespace uninstall
