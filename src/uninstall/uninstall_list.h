// The uninstall list, Uninstall.ini: where it lies, which printers, port
// monitors and print processors it names as the maker's, and the sections
// that name each component's library files.
#pragma once

#include <string>
#include <vector>

#include "platform/spooler.h"

namespace uninstall {

// Finds the list in the current folder or its DRVCONFIG folder; every entry
// the search passes is set to plain archive attributes (a list copied from a
// CD is read-only). On success sets *path and returns null; otherwise
// returns the [Message] key to show: IDS_ERR_GETSYSDIR, IDS_ERR_INVALID or
// IDS_ERR_NOINI.
const char* LocateUninstallList(std::string* path);

enum class ItemKind { Monitor, Processor, Printer };

// Reads the list anew on every question; nothing is cached.
class UninstallList {
public:
    UninstallList(std::string path, int osClass) : path_(std::move(path)), osClass_(osClass) {}

    // A value of the list: read into 30 bytes (29 characters count), "0"
    // when missing.
    std::string Value(const std::string& section, const char* key) const;

    // Whether a name contains one of the entries of a section.
    bool IsMakersPrinter(const std::string& printerName) const;   // by its driver name
    bool IsMakersMonitor(const std::string& name) const;
    bool IsMakersProcessor(const std::string& name) const;        // never on Windows 9x

    // Monitor, when the monitor test answers yes; else processor, when that
    // test does; else printer.
    ItemKind KindOf(const std::string& itemText) const;

    // The item list: the maker's printers (enumeration order), then its
    // monitors, then its print processors.
    std::vector<std::string> Items() const;

    // The component sections: the monitor name without blanks, or the
    // processor name as it is, followed by the class suffix. "" when that
    // is longer than a section name may be (29 characters): such a
    // component names no files.
    std::string MonitorSection(const std::string& monitor) const;
    std::string ProcessorSection(const std::string& processor) const;

    const std::string& Path() const { return path_; }
    int OsClass() const { return osClass_; }

private:
    bool NameHasEntry(const std::string& name, const char* section, const char* countKey,
                      const char* entryBase) const;

    std::string path_;
    int osClass_;
};

// Every local printer (EnumPrintersA level 5: size query, then fetch);
// false when the enumeration fails.
bool EnumerateLocalPrinters(std::vector<plat::PrinterInfo5>* printers);

// GetPrinterA level 2 on an open printer: the size query (which must succeed
// or ask for a larger buffer), the allocation, the fetch.
enum class PrinterRead { Read, InfoFailed, AllocFailed };
PrinterRead ReadPrinter2(plat::Handle printer, plat::PrinterInfo2* info);

// Whether a list value names a file: not empty and not beginning with '0'.
bool NamesFile(const std::string& value);

}  // namespace uninstall
