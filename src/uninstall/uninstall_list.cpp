#include "uninstall/uninstall_list.h"

#include "common/profile_read.h"
#include "common/sys.h"
#include "uninstall/uninstall_state.h"

namespace uninstall {
namespace {

constexpr std::uint32_t kValueSize = 30;
constexpr std::size_t kMaxSection = kValueSize - 1;
// Entry keys end in the character 48 + k; past 207 that would leave the
// byte range and repeat earlier keys, so larger counts stop there.
constexpr int kMaxEntries = 207;

constexpr const char kListName[] = "Uninstall.ini";

enum class Search { Found, NotFound, CannotList };

// Lists a folder (with its trailing backslash), resetting each entry's
// attributes until an entry whose name contains the list's file name.
Search SearchFolder(const std::string& folder) {
    plat::Files& files = common::Sys().files();
    plat::Handle find = 0;
    plat::FindData data;
    if (files.findFirstFile(folder + "*.*", &find, &data) != 0) return Search::CannotList;
    Search result = Search::NotFound;
    do {
        files.setFileAttributes(folder + data.fileName, FILE_ATTRIBUTE_ARCHIVE);
        if (data.fileName.find(kListName) != std::string::npos) {
            result = Search::Found;
            break;
        }
    } while (files.findNextFile(find, &data) == 0);
    files.findClose(find);
    return result;
}

std::string WithoutBlanks(const std::string& name) {
    std::string out;
    for (char c : name) {
        if (c != ' ') out += c;
    }
    return out;
}

std::string SectionOrNone(const std::string& section) {
    return section.size() > kMaxSection ? std::string() : section;
}

// The size query of a spooler enumeration, then the fetch; false when
// either fails (an enumeration that fails yields nothing).
template <class Call>
bool Enumerate(Call call) {
    std::uint32_t needed = 0;
    plat::Err err = call(0u, &needed);
    if (err == ERROR_INSUFFICIENT_BUFFER) err = call(needed, &needed);
    return err == 0;
}

}  // namespace

const char* LocateUninstallList(std::string* path) {
    path->clear();
    std::string folder;
    if (common::Sys().files().getCurrentDirectory(256, &folder) != 0) return "IDS_ERR_GETSYSDIR";
    // At a drive root the folder already ends in a backslash.
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    Search search = SearchFolder(folder);
    if (search == Search::CannotList) return "IDS_ERR_INVALID";
    if (search == Search::NotFound) {
        folder += "DRVCONFIG\\";
        search = SearchFolder(folder);
        if (search == Search::CannotList) return "IDS_ERR_INVALID";
        if (search == Search::NotFound) return "IDS_ERR_NOINI";
    }
    *path = folder + kListName;
    return nullptr;
}

bool EnumerateLocalPrinters(std::vector<plat::PrinterInfo5>* printers) {
    plat::Spooler& spooler = common::Sys().spooler();
    return Enumerate([&](std::uint32_t size, std::uint32_t* needed) {
        return spooler.enumPrinters5(PRINTER_ENUM_LOCAL, nullptr, size, needed, printers);
    });
}

PrinterRead ReadPrinter2(plat::Handle printer, plat::PrinterInfo2* info) {
    plat::Spooler& spooler = common::Sys().spooler();
    std::uint32_t needed = 0;
    plat::Err err = spooler.getPrinter2(printer, 0, &needed, info);
    if (err == 0) return PrinterRead::Read;
    if (err != ERROR_INSUFFICIENT_BUFFER) return PrinterRead::InfoFailed;
    if (common::Sys().system().allocate(needed) != 0) return PrinterRead::AllocFailed;
    if (spooler.getPrinter2(printer, needed, &needed, info) != 0) return PrinterRead::InfoFailed;
    return PrinterRead::Read;
}

bool NamesFile(const std::string& value) { return !value.empty() && value[0] != '0'; }

std::string UninstallList::Value(const std::string& section, const char* key) const {
    return common::ReadProfileText(section, key, "0", kValueSize, path_);
}

bool UninstallList::NameHasEntry(const std::string& name, const char* section, const char* countKey,
                                 const char* entryBase) const {
    int count = common::TextToInt(Value(section, countKey));
    if (count > kMaxEntries) count = kMaxEntries;
    for (int k = 1; k <= count; ++k) {
        std::string key = std::string(entryBase) + static_cast<char>(48 + k);
        if (name.find(Value(section, key.c_str())) != std::string::npos) return true;
    }
    return false;
}

bool UninstallList::IsMakersPrinter(const std::string& printerName) const {
    plat::Spooler& spooler = common::Sys().spooler();
    plat::Handle printer = 0;
    if (spooler.openPrinter(printerName.c_str(), PRINTER_ALL_ACCESS, &printer) != 0) return false;
    plat::PrinterInfo2 info;
    bool read = ReadPrinter2(printer, &info) == PrinterRead::Read;
    spooler.closePrinter(printer);
    return read && NameHasEntry(info.driverName, "KSPRINTER", "PRINTERNUM", "PRINTERNAME");
}

bool UninstallList::IsMakersMonitor(const std::string& name) const {
    return NameHasEntry(name, "KSMONITOR", "MonitorNUM", "MONITORNAME");
}

bool UninstallList::IsMakersProcessor(const std::string& name) const {
    if (osClass_ == 0) return false;
    return NameHasEntry(name, "KSPROC", "PROCNUM", "PROCNAME");
}

ItemKind UninstallList::KindOf(const std::string& itemText) const {
    if (IsMakersMonitor(itemText)) return ItemKind::Monitor;
    if (IsMakersProcessor(itemText)) return ItemKind::Processor;
    return ItemKind::Printer;
}

std::vector<std::string> UninstallList::Items() const {
    plat::Spooler& spooler = common::Sys().spooler();
    std::vector<std::string> items;

    std::vector<plat::PrinterInfo5> printers;
    if (EnumerateLocalPrinters(&printers)) {
        for (const plat::PrinterInfo5& p : printers) {
            if (IsMakersPrinter(p.printerName)) items.push_back(p.printerName);
        }
    }

    std::vector<std::string> names;
    if (Enumerate([&](std::uint32_t size, std::uint32_t* needed) {
            return spooler.enumMonitors1(nullptr, size, needed, &names);
        })) {
        for (const std::string& m : names) {
            if (IsMakersMonitor(m)) items.push_back(m);
        }
    }

    names.clear();
    const char* environment = osClass_ == 0 ? "Windows 4.0" : "Windows NT x86";
    if (Enumerate([&](std::uint32_t size, std::uint32_t* needed) {
            return spooler.enumPrintProcessors1(nullptr, environment, size, needed, &names);
        })) {
        for (const std::string& p : names) {
            if (IsMakersProcessor(p)) items.push_back(p);
        }
    }
    return items;
}

std::string UninstallList::MonitorSection(const std::string& monitor) const {
    return SectionOrNone(WithoutBlanks(monitor) + SectionSuffix(osClass_));
}

std::string UninstallList::ProcessorSection(const std::string& processor) const {
    return SectionOrNone(processor + SectionSuffix(osClass_));
}

}  // namespace uninstall
