// The driver configuration files on the medium: DRVCONFIG\setup.ini (models,
// port monitors, print-processor version, USB device codes, start-up
// switches) and one type file per printer type (ports per model; driver,
// files, processor and attributes per model and Windows version).
#pragma once

#include <cstdint>
#include <string>

#include "platform/spooler.h"

namespace setup {

struct LanguageMonitorInfo {
    plat::MONITOR_INFO_2 info;   // pName, pEnvironment, pDLLName
    int version;
};

struct PortMonitorInfo {
    plat::MONITOR_INFO_2 comMonitor;
    plat::MONITOR_INFO_2 usbMonitor;
    char comUiDll[200];
    char usbUiDll[200];
    int comVersion;
    int usbVersion;
};

struct DriverFileSet {
    char driverPath[200];
    char dataFile[200];
    char configFile[200];
    char helpFile[200];
    char languageMonitorDll[200];
    char processorDll[200];
    char dataFileDll[200];
    char oemUniDll[200];
    char oemUniIni[200];
    char oemUiDll[200];
    char controlFontFile[200];
    char usbInternalId[200];
};

class DriverConfig {
public:
    DriverConfig();
    virtual ~DriverConfig();
    // A copy has storage of its own; records filled by the original keep
    // pointing into the original's.
    DriverConfig(const DriverConfig& other);
    DriverConfig& operator=(const DriverConfig& other);

    int printerType = -1;   // set by the owner before any per-model read

    int ModelCount();
    int ModelEntry(int entry, char* modelName /*200*/);
    int DefaultModel(char* modelName /*200*/);
    void ReadDriverFiles(const char* model, int osClass, DriverFileSet* files, int driverKind);
    void ReadDriverInfo(const char* model, int osClass, plat::DRIVER_INFO_3* info,
                        int driverKind, int portKind);
    void ReadPrinterInfo(const char* model, int osClass, plat::PRINTER_INFO_2* info,
                         int driverKind, int portKind);
    void ReadLanguageMonitor(int osClass, LanguageMonitorInfo* info, int portKind);
    void ReadPortMonitors(int osClass, PortMonitorInfo* info);
    int ReadProcessorVersion();
    bool ReadDdkFlag(const char* model, int osClass, int driverKind);

    const std::string& CommonPath() const;
    const std::string& TypePath(int type) const;

private:
    struct Storage;
    Storage* s_;   // paths and the character storage the records point into
};

// The relative name of a printer type's file ("DRVCONFIG\setup_receipt.ini",
// "...setup_ticket.ini", "...setup_lable.ini", "...setup_embedded.ini" for
// types 0..3); null for another type.
const char* TypeFileName(int printerType);

// The program's directory followed by DRVCONFIG\setup.ini and the type
// file's name ("setup_receipt.ini", "setup_Ticket.ini", "setup_Lable.ini",
// "setup_Embedded.ini"); both buffers 200 characters.
void ConfigPaths(int printerType, char* commonPath, char* typePath);

// The integer value of a key, read with default "0" into 200 characters
// from `file` (a name shorter than 200 characters; a relative one is taken
// against the current directory), as atoi converts it.
int ReadIniInt(const char* file, const char* section, const char* key);

// An integer key of section DEVICENAME in DRVCONFIG\setup.ini relative to the
// current directory.
int ReadDeviceNameInt(const char* key);

// The program's directory: its module file name up to and including the
// last backslash ("" when there is none).
std::string ProgramDirectory();

}  // namespace setup
