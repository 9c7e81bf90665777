#include "uninstall/removal.h"

#include <cstdint>
#include <vector>

#include "common/language_text.h"
#include "common/sys.h"
#include "uninstall/uninstall_list.h"
#include "uninstall/uninstall_state.h"

namespace uninstall {
namespace {

constexpr const char kMonitorKeys[] = "SYSTEM\\CURRENTCONTROLSET\\CONTROL\\PRINT\\MONITORS\\";
constexpr const char kProcessorKeys[] =
    "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86\\Print Processors\\";
constexpr const char kNoDirectory[] = "Get system Directory error.";

enum class Outcome { Removed, Remains, Halt };

UninstallList List() { return UninstallList(State().listPath, State().osClass); }

// Logs the text of a failure, then pauses 100 ms.
void LogFailure(RemovalView& view, const char* key, const std::string& name = "") {
    view.Log(MessageText(key, name));
    Pause(100);
}

// A folder and a file name, with one backslash between them.
std::string Join(const std::string& folder, const std::string& name) {
    if (!folder.empty() && folder.back() == '\\') return folder + name;
    return folder + "\\" + name;
}

void DeleteFiles(const std::string& folder, const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        if (NamesFile(name)) common::Sys().files().deleteFile(Join(folder, name));
    }
}

void RemoveMonitorFiles(RemovalView& view, const std::string& monitor) {
    UninstallList list = List();
    std::string section = list.MonitorSection(monitor);
    std::vector<std::string> names = {list.Value(section, "MonitorPDLLName"),
                                      list.Value(section, "MONitorPUIDLLName")};
    if (section.find("USB") != std::string::npos) names.push_back(list.Value(section, "USBMONitorDLLName"));
    std::string folder;
    if (common::Sys().files().getSystemDirectory(256, &folder) != 0) {
        view.Log(kNoDirectory);
        return;
    }
    DeleteFiles(folder, names);
}

void RemoveProcessorFiles(RemovalView& view, const std::string& processor) {
    UninstallList list = List();
    std::string name = list.Value(list.ProcessorSection(processor), "ProcessorDllName");
    std::string folder;
    if (common::Sys().spooler().getPrintProcessorDirectory(nullptr, nullptr, 1, 256, &folder) != 0) {
        view.Log(kNoDirectory);
        return;
    }
    DeleteFiles(folder, {name});
}

void DeleteKey(const std::string& key) { common::Sys().registry().deleteKey(HKEY_LOCAL_MACHINE, key); }

Outcome RemoveMonitor(RemovalView& view, const std::string& name) {
    view.Log(MessageText("IDS_DELETING1", name));
    if (State().osClass == 0 && !PortCheck(view, name)) {
        view.Log(MessageText("IDS_USING", name));
        return Outcome::Remains;
    }
    UninstallList list = List();
    std::string keyName = list.Value(list.MonitorSection(name), "USBMONitorName");
    plat::Spooler& spooler = common::Sys().spooler();
    if (spooler.deleteMonitor("", nullptr, name.c_str()) != 0) {
        RestartSpooler();
        Pause(500);
        plat::Err err = spooler.deleteMonitor("", nullptr, name.c_str());
        if (err != 0) {
            LogFailure(view, err == ERROR_PRINT_MONITOR_IN_USE ? "IDS_USING" : "IDS_ERR_UNINSTALL", name);
            return Outcome::Remains;
        }
    }
    if (name.find("USB") != std::string::npos) {
        DeleteKey("SOFTWARE\\KESTRAN\\INSTALLPRINTER");
        DeleteKey("SOFTWARE\\KESTRAN\\PORTNAME");
    }
    RestartSpooler();
    Pause(500);
    // An empty name would make the key the Monitors key itself, which on
    // Windows 9x goes with every monitor below it.
    if (!keyName.empty()) DeleteKey(kMonitorKeys + keyName);
    RemoveMonitorFiles(view, name);
    view.Log(MessageText("IDS_SUCCESS", name));
    return Outcome::Removed;
}

Outcome RemoveProcessor(RemovalView& view, const std::string& name) {
    view.Log(MessageText("IDS_DELETING1", name));
    plat::Err err = common::Sys().spooler().deletePrintProcessor("", nullptr, name.c_str());
    if (err != 0) {
        LogFailure(view, err == ERROR_CAN_NOT_COMPLETE ? "IDS_USING" : "IDS_ERR_UNINSTALL", name);
        return Outcome::Remains;
    }
    RestartSpooler();
    Pause(500);
    DeleteKey(kProcessorKeys + name);
    RemoveProcessorFiles(view, name);
    view.Log(MessageText("IDS_SUCCESS", name));
    return Outcome::Removed;
}

void DeleteDriver(RemovalView& view, const plat::PrinterInfo2& info, const std::string& name) {
    view.Log(MessageText("IDS_DRVDELETING", name));
    plat::Spooler& spooler = common::Sys().spooler();
    const char* server = info.serverName.empty() ? nullptr : info.serverName.c_str();
    plat::Err err = State().driverDeletion == DriverDeletion::Ex
                        ? spooler.deletePrinterDriverEx(server, nullptr, info.driverName.c_str(),
                                                        DPD_DELETE_UNUSED_FILES, 0)
                        : spooler.deletePrinterDriver(server, nullptr, info.driverName.c_str());
    if (err == 0) {
        view.Log(MessageText("IDS_DRV_SUCCESS"));
    } else if (err == ERROR_PRINTER_DRIVER_IN_USE) {
        view.Log(MessageText("IDS_ERR_DRVUSING"));
    } else {
        view.Log(MessageText("IDS_ERR_DRVDEL") + "    er=" + std::to_string(static_cast<int>(err)));
    }
    Pause(100);
}

// Removes the printer at `position`, which the caller has checked.
Outcome RemovePrinter(RemovalView& view, const std::string& name, int position) {
    plat::Spooler& spooler = common::Sys().spooler();
    plat::Handle printer = 0;
    if (spooler.openPrinter(name.c_str(), PRINTER_ALL_ACCESS, &printer) != 0) {
        view.Log(MessageText("IDS_ERR_OPENPRN", name));
        return Outcome::Halt;
    }
    view.Log(MessageText("IDS_DELETING2", name));
    plat::PrinterInfo2 info;
    PrinterRead read = ReadPrinter2(printer, &info);
    if (read != PrinterRead::Read) {
        spooler.closePrinter(printer);
        LogFailure(view, read == PrinterRead::AllocFailed ? "IDS_ERR_ALLOC" : "IDS_ERR_GETPRNINFO");
        return Outcome::Halt;
    }
    if (info.cJobs > 0) {
        spooler.closePrinter(printer);
        LogFailure(view, "IDS_ERR_HAVEJOB1", name);
        return Outcome::Halt;
    }
    if (spooler.deletePrinter(printer) != 0) {
        LogFailure(view, "IDS_ERR_DELPRINTER");
        spooler.closePrinter(printer);
        return Outcome::Remains;
    }
    Pause(100);
    view.Log(MessageText("IDS_SUCCESS", name));
    spooler.closePrinter(printer);
    view.DeleteItem(position);
    RestartSpooler();
    Pause(1000);
    if (State().osClass != 0 && State().osClass != 1) DeleteDriver(view, info, name);
    Pause(1000);
    return Outcome::Removed;
}

void RemoveUsbDriver(RemovalView& view) {
    view.Log(MessageText("IDS_DELETING3"));
    plat::Platform& sys = common::Sys();
    std::string folder;
    sys.files().getCurrentDirectory(260, &folder);
    std::string installer = Join(folder, "USBDrv\\Install.exe");
    sys.desktop().shellExecute("open", installer.c_str(), "22", nullptr, SW_SHOWNORMAL);
    Pause(500);
    // Without a caption there is no window to wait for (an empty title
    // would match any untitled window and never end the wait).
    std::string caption = common::LanguageText("Uninstall").GetText("CaptionName");
    while (!caption.empty() && sys.desktop().findWindow(caption) != 0) Pause(1000);
    Pause(500);
    Pause(1000);
    view.Log(MessageText("IDS_DRV_SUCCESS1"));
}

}  // namespace

void RestartSpooler() {
    plat::Services& services = common::Sys().services();
    plat::Handle manager = 0;
    if (services.openSCManager(nullptr, SC_MANAGER_ALL_ACCESS, &manager) != 0) return;
    plat::Handle service = 0;
    if (services.openService(manager, "Spooler", SERVICE_STOP, &service) == 0) {
        plat::ServiceStatus status;
        services.controlService(service, SERVICE_CONTROL_STOP, &status);
        services.closeServiceHandle(service);
    }
    Pause(2000);
    if (services.openService(manager, "Spooler", SERVICE_START, &service) == 0) {
        services.startService(service);
        services.closeServiceHandle(service);
    }
    services.closeServiceHandle(manager);
}

namespace {

// Walks every local printer: opens it, reads its level-2 information and
// hands it to `refuses`, which logs and answers true to stop the walk.
// A printer that cannot be opened or read stops the walk with its text.
// True when every printer passed.
template <typename Refuses>
bool EveryPrinterPasses(RemovalView& view, Refuses refuses) {
    std::vector<plat::PrinterInfo5> printers;
    EnumerateLocalPrinters(&printers);
    plat::Spooler& spooler = common::Sys().spooler();
    for (const plat::PrinterInfo5& p : printers) {
        plat::Handle printer = 0;
        if (spooler.openPrinter(p.printerName.c_str(), PRINTER_ALL_ACCESS, &printer) != 0) {
            view.Log(MessageText("IDS_ERR_OPENPRN", p.printerName));
            return false;
        }
        plat::PrinterInfo2 info;
        PrinterRead read = ReadPrinter2(printer, &info);
        spooler.closePrinter(printer);
        if (read != PrinterRead::Read) {
            LogFailure(view, read == PrinterRead::AllocFailed ? "IDS_ERR_ALLOC" : "IDS_ERR_GETPRNINFO");
            return false;
        }
        if (refuses(p, info)) return false;
    }
    return true;
}

}  // namespace

bool PreCheck(RemovalView& view) {
    return EveryPrinterPasses(view, [&view](const plat::PrinterInfo5& p, const plat::PrinterInfo2& info) {
        if (info.cJobs == 0) return false;
        LogFailure(view, "IDS_ERR_HAVEJOB2", p.printerName);
        return true;
    });
}

bool PortCheck(RemovalView& view, const std::string& monitor) {
    return EveryPrinterPasses(view, [&view, &monitor](const plat::PrinterInfo5&, const plat::PrinterInfo2& info) {
        if (info.portName.find("KSCOM") == std::string::npos) return false;
        LogFailure(view, "IDS_ERR_HAVEJOB1", monitor);
        return true;
    });
}

void RunRemoval(RemovalView& view) {
    for (int id : {kIdUninstall, kIdItems, kIdSelectAll, kIdExit, kIdUsbCheck}) view.EnableControl(id, false);
    bool removed = false;
    bool halted = false;
    for (int position = 0; position < view.ItemCount(); ++position) {
        Pause(500);
        if (!view.IsChecked(position)) continue;
        std::string name = view.ItemText(position);
        view.SetCurrentItem(name);
        Outcome outcome = Outcome::Remains;
        switch (List().KindOf(name)) {
        case ItemKind::Monitor:
            outcome = RemoveMonitor(view, name);
            if (outcome == Outcome::Removed) view.DeleteItem(position);
            break;
        case ItemKind::Processor:
            outcome = RemoveProcessor(view, name);
            if (outcome == Outcome::Removed) view.DeleteItem(position);
            break;
        case ItemKind::Printer:
            outcome = RemovePrinter(view, name, position);
            break;
        }
        if (outcome == Outcome::Halt) {
            halted = true;
            break;
        }
        if (outcome == Outcome::Removed) {
            --position;
            removed = true;
        }
    }
    if (!halted) {
        if (view.UsbChecked()) RemoveUsbDriver(view);
        if (removed) view.OfferRestart();
    }
    if (view.ItemCount() > 0) {
        view.Log(MessageText("IDS_SELECTPRN1"));
        for (int id : {kIdItems, kIdUninstall, kIdSelectAll, kIdExit}) view.EnableControl(id, true);
        int osClass = view.Reclassify();
        if (osClass != 0 && osClass != 1) view.EnableControl(kIdUsbCheck, true);
    } else {
        view.EnableControl(kIdExit, true);
    }
}

}  // namespace uninstall
