#include "setup/engine/run_installation.h"

#include <cstring>

#include "common/profile_read.h"
#include "setup/engine/com_parameters.h"
#include "setup/engine/components.h"
#include "setup/engine/driver_file_copy.h"
#include "setup/engine/engine_text.h"
#include "setup/engine/reg_key.h"
#include "setup/engine/spooler_objects.h"
#include "setup/wizard/install_selection.h"

namespace setup {
namespace {

constexpr int kUsbPort = 2;
constexpr int kComPort = 0;

// A configured file name that names a file: neither empty nor "0".
bool NamesFile(const char* name) { return name && name[0] != '\0' && name[0] != '0'; }

// Copies one file; the installation fails when a text is left. A
// destination that another program holds open, or that cannot be written,
// fails too: the driver would otherwise be added over a stale file.
bool CopyChecked(char* name, int kind, int osClass, std::string& resultText) {
    int result = CopyDriverFile(name, kind, osClass, false, resultText);
    if (result == kCopyInUse || result == kCopyDenied) {
        resultText = CopyFailureText(name, static_cast<plat::Err>(result));
        return false;
    }
    return resultText.empty();
}

bool Install(InstallSelection& s, std::string& text) {
    const int os = s.osClass;
    const bool usb = s.portKind == kUsbPort;
    DriverFileSet& files = s.driverFiles;

    s.installFlags = 0;
    int monitors = CheckPortMonitor(s.config, s.printerType, os, s.portName, text);
    if (monitors == kMonitorRegistrationFailed) return false;
    s.installFlags = monitors;

    int processor = CheckPrintProcessor(os, s.printerInfo.pPrintProcessor, files.processorDll, text);
    if (processor == kProcessorRegistrationFailed) return false;
    s.installFlags |= processor;

    int processorVersion = s.config.ReadProcessorVersion();
    if (s.installFlags != 0 && !UpgradeComponents(s, processorVersion, text)) return false;

    if (usb && !ProbePortList(text)) return false;

    if (!files.configFile[0] || !files.dataFile[0] || !files.driverPath[0] ||
        !files.helpFile[0]) {
        text = MessageText("IDS_ERR_LOSTDRIVERFILE");
        return false;
    }
    for (char* name : {files.configFile, files.dataFile, files.driverPath, files.helpFile}) {
        if (!CopyChecked(name, DriverDir, os, text)) return false;
    }
    for (char* name : {files.dataFileDll, files.oemUiDll, files.oemUniDll, files.oemUniIni}) {
        if (NamesFile(name) && !CopyChecked(name, DriverDir, os, text)) return false;
    }
    for (char* name : {files.controlFontFile, files.usbInternalId}) {
        if (NamesFile(name) && !CopyChecked(name, DriverDir3, os, text)) return false;
    }

    // Libraries some Windows versions lack; kept where the system has them.
    char srclient[] = "srclient.dll";
    char framedyn[] = "framedyn.dll";
    char newdev[] = "newdev.dll";
    if (!CopyChecked(srclient, SystemDirIfAbsent, os, text) ||
        !CopyChecked(framedyn, WbemDirIfAbsent, os, text) ||
        !CopyChecked(newdev, SystemDirIfAbsent, os, text)) {
        return false;
    }

    bool ddkFlag = s.config.ReadDdkFlag(s.modelName, os, s.driverKind);
    // Not checked here: a text it leaves is seen by the checks that follow.
    EnsureSystemDriverFiles(os, ddkFlag, text);

    if (os == 0 && (std::strstr(s.modelName, "QPX-N520") || std::strstr(s.modelName, "QPX-T510"))) {
        char dmcolor[] = "DMCOLOR.DLL";
        if (!CopyChecked(dmcolor, DriverDir, os, text)) return false;
    }
    if (ddkFlag && !files.dataFileDll[0]) {
        text = MessageText("IDS_ERR_LOSTDRIVERFILE");
        return false;
    }
    if (NamesFile(s.langMonitorDll) && !UpgradeLanguageMonitor(s, text)) return false;

    if (!AddDriver(s.driverInfo, text)) return false;

    if (usb) {
        RegKey key;
        if (key.Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\KESTRAN\\PRINTERPORT\\")) {
            key.SetDword(s.portName, 0);
        }
    }
    if (!AddPrinterNumbered(&s.printerInfo, s.printerName, usb, text)) return false;

    common::CopyText(s.modelName, sizeof s.modelName, s.printerInfo.pPrinterName);
    if (!s.modelName[0]) return false;

    if (s.setAsDefault) MakeDefaultPrinter(s.modelName);
    if (s.portKind == kComPort) WriteComParameters(s);

    if (os >= 1 && os <= 7) {
        text = MessageText(usb ? "IDS_INF_USBRESTART" : "IDS_INF_NTRESTART");
    }
    return true;
}

}  // namespace

unsigned RunInstallation(InstallThreadArgs* args) {
    resultText.clear();
    bool succeeded = Install(*args->selection, resultText);
    args->installStatus->store(succeeded ? kInstallSucceeded : kInstallFailed,
                               std::memory_order_release);
    return 0;
}

std::thread StartInstallation(InstallThreadArgs* args) {
    return std::thread([args] { RunInstallation(args); });
}

}  // namespace setup
