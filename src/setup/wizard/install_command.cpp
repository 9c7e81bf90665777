// The Install command: completes the selection from the port page and the
// driver configuration, refuses what cannot work (the wizard stays on the
// last page), prepares the USB side, then runs the installation worker
// while the progress dialog runs, shows the result and closes the wizard.
#include "setup/wizard/install_command.h"

#include <cstdio>
#include <cstring>
#include <future>

#include "common/language_text.h"
#include "common/sys.h"
#include "setup/config/driver_config.h"
#include "setup/engine/bulk_usb.h"
#include "setup/engine/reg_key.h"
#include "setup/engine/run_installation.h"
#include "setup/pages/port_page.h"
#include "setup/pages/progress_dlg.h"
#include "setup/usb/usb_identity.h"
#include "setup/wizard/install_selection.h"
#include "setup/wizard/setup_wizard_dlg.h"
#include "ui/app.h"
#include "ui/message_box.h"

namespace setup {
namespace {

constexpr int kComPort = 0;
constexpr int kLptPort = 1;
constexpr int kUsbPort = 2;

// The driver installer gets this long to close its window; then the
// installation goes on whatever it did.
constexpr int kInstallerWaitLimitSeconds = 600;

bool Contains(const char* text, const char* part) { return std::strstr(text, part) != nullptr; }

std::string Message(const char* key) { return common::messageText().GetText(key); }

template <std::size_t N>
void Copy(char (&target)[N], const char* source) {
    std::snprintf(target, N, "%s", source ? source : "");
}

// The model must support the chosen Windows version (NT 4.0, Server 2003,
// Server 2008, Windows 7 need their key in the model's port section).
bool WindowsSupported(const InstallSelection& s) {
    static const struct {
        int osClass;
        const char* key;
        const char* message;
    } checks[] = {
        {4, "System2003Supported", "IDS_NOTSUPPORT2003"},
        {1, "SystemNTSupported", "IDS_NOTSUPPORTNT"},
        {6, "System2008Supported", "IDS_NOTSUPPORT2008"},
        {7, "SystemWin7Supported", "IDS_NOTSUPPORTWin7"},
    };
    char section[256];
    std::snprintf(section, sizeof section, "%s.PORT", s.modelName);
    for (const auto& c : checks) {
        if (s.osClass == c.osClass && ReadIniInt(s.typeIniPath, section, c.key) == 0) {
            ui::AppMessageBox(Message(c.message));
            return false;
        }
    }
    return true;
}

std::string WithBackslash(std::string dir) {
    if (dir.empty() || dir.back() != '\\') dir += '\\';
    return dir;
}

// Runs the USB driver's installer from the medium and waits until its
// window has gone.
void InstallUsbDriver() {
    plat::Platform& sys = common::Sys();
    const std::string programDir = ProgramDirectory();
    for (const char* file : {"USBDrv\\bulkusb.sys", "USBDrv\\BULKUSB.INF"}) {
        sys.files().setFileAttributes(programDir + file, FILE_ATTRIBUTE_ARCHIVE);
    }
    std::string current;
    sys.files().getCurrentDirectory(260, &current);
    const std::string installer = WithBackslash(current) + "USBDrv\\Install.exe";
    sys.desktop().shellExecute("open", installer.c_str(), "2", nullptr, SW_SHOWNORMAL);

    sys.clock().sleep(500);
    const std::string title = common::LanguageText("Setup").GetText("CaptionName");
    for (int waited = 0; !title.empty() && sys.desktop().findWindow(title) != 0 &&
                         waited < kInstallerWaitLimitSeconds; ++waited) {
        sys.clock().sleep(1000);
    }
    sys.clock().sleep(1000);
    sys.clock().sleep(2000);
}

// The number of the USB port: the last of _1.._4 the name contains, 0 none.
int PortNumberOf(const char* portName) {
    int v = 0;
    for (int i = 1; i <= 4; ++i) {
        if (Contains(portName, ("_" + std::to_string(i)).c_str())) v = i;
    }
    return v;
}

// Brings the attached printer's USB number in line with the chosen port.
// False stops the installation.
bool AlignUsbNumber(SetupWizardDlg& wizard, int mode) {
    const InstallSelection& s = wizard.selection;
    const int id = UsbDeviceId();
    if (mode == 1) {
        if (id == kNoUsbPrinter || UsbPortNumber(id) == 1) return true;
        if (ui::AppMessageBox(Message("IDS_INF_CHANGEID"), true) != IDYES) return false;
        return UsbWriteId(1);
    }
    if (id == kNoUsbPrinter) {
        ui::WindowMessageBox(&wizard, Message("IDS_ERR_NOUSBDEVICE"));
        return false;
    }
    if (id == kSeveralUsbPrinters) return false;
    const int u = UsbPortNumber(id);
    if (Contains(s.portName, ("_" + std::to_string(u)).c_str())) return true;
    const int v = PortNumberOf(s.portName);
    if (u == v) return true;
    if (ui::AppMessageBox(Message("IDS_INF_CHANGEID"), true) != IDYES) return false;
    if (!UsbWriteId(v)) {
        ui::WindowMessageBox(&wizard, "Failed to set Printer ID!");
        return false;
    }
    return true;
}

void AppendToPrinterName(InstallSelection& s, const char* suffix) {
    std::strncat(s.printerName, suffix, sizeof s.printerName - std::strlen(s.printerName) - 1);
}

// Fills the selection's driver, printer and monitor records for the port.
void ReadConfiguration(InstallSelection& s) {
    std::memset(&s.driverFiles, 0, sizeof s.driverFiles);
    s.driverInfo = {};
    s.langMonitorName = "";
    s.langMonitorEnv = nullptr;
    s.langMonitorDll = "";
    s.printerInfo = {};
    s.config.ReadDriverFiles(s.modelName, s.osClass, &s.driverFiles, s.driverKind);
    s.config.ReadDriverInfo(s.modelName, s.osClass, &s.driverInfo, s.driverKind, s.portKind);
    s.config.ReadPrinterInfo(s.modelName, s.osClass, &s.printerInfo, s.driverKind, s.portKind);
    s.printerInfo.pPortName = s.portName;
    LanguageMonitorInfo monitor = {};
    monitor.info.pName = const_cast<char*>("");
    monitor.info.pDLLName = const_cast<char*>("");
    s.config.ReadLanguageMonitor(s.osClass, &monitor, s.portKind);
    s.langMonitorName = monitor.info.pName ? monitor.info.pName : "";
    s.langMonitorEnv = monitor.info.pEnvironment;
    s.langMonitorDll = monitor.info.pDLLName ? monitor.info.pDLLName : "";
    // The printer's name grows by the port's suffix in the selection's own buffer.
    Copy(s.printerName, s.printerInfo.pPrinterName);
    s.printerInfo.pPrinterName = s.printerName;
}

// Everything up to the start of the worker; false when the installation
// does not start (the wizard stays on the last page).
bool Prepare(SetupWizardDlg& wizard) {
    InstallSelection& s = wizard.selection;
    s.installFlags = 0;
    for (ui::Dialog* page : wizard.pages) {
        if (page && page->IsWindow()) page->UpdateData(true);   // the results are not looked at
    }
    s.config.printerType = s.printerType;
    s.k7PortName[0] = '\0';

    if (PortPage* port = wizard.GetPortPage()) {
        Copy(s.portName, port->portName);
        s.driverKind = port->rasterPrinting;
        s.baudRate = port->baudRate;
        s.dataBits = port->dataBits;
        s.stopBits = port->stopBits;
        s.parity = port->parity;
        s.flowControl = port->flowControl;
    }

    if (s.modelName[0] == '\0') {
        ui::WindowMessageBox(&wizard, Message("IDS_ERR_SELPRINTER"));
        return false;
    }
    if (!WindowsSupported(s)) return false;

    if (Contains(s.portName, "USB_")) {
        s.portKind = kUsbPort;
        int running = SetupWizardDlg::GetRunningOsClass();
        if (running != 0 && running != 1 && CompareBulkUsbDriver() != 0) InstallUsbDriver();
    } else if (Contains(s.portName, "COM")) {
        s.portKind = kComPort;
    } else if (Contains(s.portName, "LPT")) {
        s.portKind = kLptPort;
    } else {
        ui::WindowMessageBox(&wizard, Message("IDS_ERR_NOSUPPORTINTERFACE"));
        return false;
    }

    ReadConfiguration(s);

    if (s.portKind == kUsbPort) {
        s.driverInfo.pMonitorName = const_cast<char*>(s.langMonitorName);
        Copy(s.driverFiles.languageMonitorDll, s.langMonitorDll);
        if (!AlignUsbNumber(wizard, installMode)) return false;
        for (int i = 1; i <= 4; ++i) {
            if (Contains(s.portName, ("_" + std::to_string(i)).c_str())) {
                AppendToPrinterName(s, ("(U) " + std::to_string(i)).c_str());
            }
        }
        if (Contains(s.portName, "QPX-K7")) {
            const std::size_t length = std::strlen(s.portName);
            std::snprintf(s.k7PortName, sizeof s.k7PortName, "USB_QPX-K7_%c", s.portName[length - 1]);
            s.printerInfo.pPortName = s.k7PortName;
        }
        RecordUsbPort(s.printerInfo.pPortName);
    } else if (s.portKind == kComPort) {
        AppendToPrinterName(s, "(S)");
    } else {
        AppendToPrinterName(s, "(P)");
    }

    if (s.osClass == 1 && s.portKind == kUsbPort) {
        ui::WindowMessageBox(&wizard, Message("IDS_ERR_NOSUPPORTUSB"));
        return false;
    }
    return true;
}

// Runs the worker with the progress dialog and waits until the worker has
// ended: on Windows 98/Me the dialog may close at 90 while it still runs, and
// nothing the worker writes is read before it has ended.
void RunWithProgress(SetupWizardDlg& wizard) {
    ProgressDlg progress;
    InstallThreadArgs args{&wizard.selection, &progress.installStatus};
    wizard.ShowWindow(SW_MINIMIZE);
    progress.osClass = wizard.selection.osClass;
    progress.installStatus.store(kInstallRunning, std::memory_order_relaxed);
    progress.chineseFont = wizard.chineseFont;
    resultText.clear();

    std::promise<void> ended;
    std::future<void> workerEnded = ended.get_future();
    ui::StartWorker([&args, &ended] {
        RunInstallation(&args);
        ended.set_value();
    });
    progress.DoModal(&wizard);
    workerEnded.wait();
}

}  // namespace

void OnInstall(SetupWizardDlg& wizard) {
    if (!Prepare(wizard)) return;
    RunWithProgress(wizard);

    ui::WindowMessageBox(&wizard, resultText.empty() ? Message("IDS_INF_NTRESTART") : resultText);
    if (wizard.selection.osClass == 0 && ui::AppMessageBox(Message("IDS_INF_RESTART"), true) == IDYES) {
        if (common::Sys().system().exitWindowsEx(EWX_REBOOT, 0) != ERROR_SUCCESS) {
            ui::WindowMessageBox(&wizard, Message("IDS_ERR_EXITWIN"));
        }
    }
    wizard.DestroyPages();
    wizard.UpdateData(true);
    wizard.EndDialog(IDOK);
}

}  // namespace setup
