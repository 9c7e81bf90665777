#include "setup/config/driver_config.h"

#include <cstring>
#include <vector>

#include "common/profile_read.h"
#include "common/sys.h"

namespace setup {
namespace {

using common::CopyText;
using common::ReadProfileText;
using common::TextToInt;

constexpr std::uint32_t kMaxPath = 260;

// Per-version section suffixes and the driver version of each, by OsClass.
struct OsSuffix {
    const char* suffix;
    std::uint32_t driverVersion;
};
constexpr OsSuffix kSuffixes[] = {
    {".98", 0}, {".NT", 2}, {".2K", 3}, {".XP", 3},
    {".2003", 3}, {".Vista", 3}, {".2008", 3}, {".Win7", 3},
};

bool KnownOsClass(int osClass) { return osClass >= 0 && osClass <= 7; }

// "<model>.<suffix>"; empty for an OsClass outside 0..7, so that every read
// of the section yields its default.
std::string VersionSection(const char* model, int osClass) {
    if (!KnownOsClass(osClass)) return {};
    return std::string(model ? model : "") + kSuffixes[osClass].suffix;
}

std::string MonitorSection(int osClass) {
    std::string section = "COMMON-MONITOR";
    if (KnownOsClass(osClass)) section += kSuffixes[osClass].suffix;
    return section;
}

// The type suffixes of the model list, in the order they are looked for.
constexpr const char* kTypeSuffixes[] = {
    "-ReceiptPrinter", "-TicketPrinter", "-LabelPrinter", "-EmbeddedPrinter"};

constexpr const char* kTypeFiles[] = {
    "DRVCONFIG\\setup_receipt.ini", "DRVCONFIG\\setup_ticket.ini",
    "DRVCONFIG\\setup_lable.ini", "DRVCONFIG\\setup_embedded.ini"};

// The same files as the port page and the wizard spell them; file names
// match without regard to case, so both reach the same files.
constexpr const char* kTypeFilesMixedCase[] = {
    "DRVCONFIG\\setup_receipt.ini", "DRVCONFIG\\setup_Ticket.ini",
    "DRVCONFIG\\setup_Lable.ini", "DRVCONFIG\\setup_Embedded.ini"};

constexpr const char* kCommonFile = "DRVCONFIG\\setup.ini";

char kWindows40[] = "Windows 4.0";

// A configuration value: default "0", cut to `limit` characters.
std::string Value(const std::string& section, const char* key, std::uint32_t limit,
                  const std::string& file) {
    return ReadProfileText(section, key, "0", limit + 1, file);
}

// The key with the prefix of the driver kind: "GDI" for 1, "STD" for 0.
std::string Prefixed(int driverKind, const char* key) {
    return std::string(driverKind == 1 ? "GDI" : "STD") + key;
}

bool ChoosesKeys(int driverKind) { return driverKind == 0 || driverKind == 1; }

// A file-name value that names a file: not empty and not beginning with "0".
bool NamesFile(const char* value) { return value[0] != '\0' && value[0] != '0'; }

}  // namespace

struct DriverConfig::Storage {
    std::string commonPath;
    std::string typePaths[4];
    std::string currentTypePath;

    // ReadDriverInfo
    char diName[200];
    char diDataFile[200];
    char diDriverPath[200];
    char diHelpFile[200];
    char diConfigFile[200];
    char diDataFileDll[200];
    char diOemUiDll[200];
    char diOemUniDll[200];
    char diOemUniIni[200];
    // The dependent files: zero-terminated names and one more zero. A list
    // longer than 200 bytes is kept whole rather than cut or refused.
    std::vector<char> dependentFiles;

    // ReadPrinterInfo
    char piDriverName[200];
    char piAttributes[200];
    char piProcessor[200];
    char piPrinterName[200];

    // ReadLanguageMonitor
    char lmName[200];
    char lmDll[200];
    char lmEmpty[1];

    // ReadPortMonitors
    char pmUsbName[200];
    char pmUsbDll[200];
    char pmComName[200];
    char pmComDll[200];
};

DriverConfig::DriverConfig() : s_(new Storage{}) {
    std::string dir = ProgramDirectory();
    s_->commonPath = dir + kCommonFile;
    for (int type = 0; type < 4; ++type) s_->typePaths[type] = dir + kTypeFiles[type];
    s_->dependentFiles.assign(2, '\0');
}

DriverConfig::~DriverConfig() { delete s_; }

DriverConfig::DriverConfig(const DriverConfig& other)
    : printerType(other.printerType), s_(new Storage(*other.s_)) {}

DriverConfig& DriverConfig::operator=(const DriverConfig& other) {
    if (this != &other) {
        printerType = other.printerType;
        *s_ = *other.s_;
    }
    return *this;
}

const std::string& DriverConfig::CommonPath() const { return s_->commonPath; }

const std::string& DriverConfig::TypePath(int type) const {
    static const std::string none;
    return type >= 0 && type < 4 ? s_->typePaths[type] : none;
}

// Each per-model read takes the type file of the current printerType anew.
static const std::string& SelectTypeFile(int printerType, const std::string (&typePaths)[4],
                                         std::string& current) {
    current.clear();
    if (printerType >= 0 && printerType < 4) current = typePaths[printerType];
    return current;
}

int DriverConfig::ModelCount() {
    return TextToInt(Value("DEVICENAME", "DEVICENUMBER", 29, s_->commonPath));
}

int DriverConfig::ModelEntry(int entry, char* modelName) {
    std::string key = "DEVICENAME" + std::to_string(entry);
    std::string text = Value("DEVICENAME", key.c_str(), 199, s_->commonPath);
    int type = -1;
    for (int t = 0; t < 4; ++t) {
        std::string::size_type at = text.find(kTypeSuffixes[t]);
        if (at != std::string::npos) {
            text.resize(at);
            type = t;
            break;
        }
    }
    CopyText(modelName, 200, text);
    return type;
}

int DriverConfig::DefaultModel(char* modelName) {
    std::string text = Value("DEVICENAME", "DEFAULTNAME", 199, s_->commonPath);
    CopyText(modelName, 200, text);
    return ModelEntry(TextToInt(text), modelName);
}

// The driver-name rule that ReadDriverInfo and ReadPrinterInfo share: on
// Windows 98/Me and NT 4.0 GDIDriverName whatever the driver and port, from
// Windows 2000 on the name for the kind of port.
static void ReadDriverName(const std::string& section, int osClass, int portKind,
                           const std::string& file, char* name) {
    const char* key = nullptr;
    if (osClass == 0 || osClass == 1) {
        key = "GDIDriverName";
    } else if (portKind == 0) {
        key = "DriverNameS";
    } else if (portKind == 1) {
        key = "DriverNameP";
    } else if (portKind == 2) {
        key = "DriverNameU";
    }
    name[0] = '\0';
    if (key) CopyText(name, 200, Value(section, key, 49, file));
}

void DriverConfig::ReadDriverFiles(const char* model, int osClass, DriverFileSet* files,
                                   int driverKind) {
    const std::string& file = SelectTypeFile(printerType, s_->typePaths, s_->currentTypePath);
    if (!ChoosesKeys(driverKind)) return;
    std::string section = VersionSection(model, osClass);
    struct Field {
        const char* key;
        char* field;
        bool prefixed;
    };
    const Field fields[] = {
        {"DataFile", files->dataFile, true},
        {"ConfigFile", files->configFile, true},
        {"HelpFile", files->helpFile, true},
        {"ProcessorDLLName", files->processorDll, true},
        {"DriverPath", files->driverPath, true},
        {"DataFileDLLName", files->dataFileDll, true},
        {"DataOemuiDLL", files->oemUiDll, true},
        {"DataOemuniDLL", files->oemUniDll, true},
        {"DataOemuniini", files->oemUniIni, true},
        {"ControlFontFile", files->controlFontFile, false},
        {"USBInternalID", files->usbInternalId, false},
    };
    for (const Field& f : fields) {
        std::string key = f.prefixed ? Prefixed(driverKind, f.key) : f.key;
        CopyText(f.field, 200, Value(section, key.c_str(), 199, file));
    }
}

void DriverConfig::ReadDriverInfo(const char* model, int osClass, plat::DRIVER_INFO_3* info,
                                  int driverKind, int portKind) {
    Storage& s = *s_;
    const std::string& file = SelectTypeFile(printerType, s.typePaths, s.currentTypePath);
    std::string section = VersionSection(model, osClass);
    if (KnownOsClass(osClass)) info->cVersion = kSuffixes[osClass].driverVersion;

    ReadDriverName(section, osClass, portKind, file, s.diName);

    struct Field {
        const char* key;
        char* field;
    };
    const Field fields[] = {
        {"DataFile", s.diDataFile},
        {"DriverPath", s.diDriverPath},
        {"HelpFile", s.diHelpFile},
        {"ConfigFile", s.diConfigFile},
        {"DataFileDLLName", s.diDataFileDll},
        {"DataOemuiDLL", s.diOemUiDll},
        {"DataOemuniDLL", s.diOemUniDll},
        {"DataOemuniini", s.diOemUniIni},
    };
    for (const Field& f : fields) {
        f.field[0] = '\0';
        if (ChoosesKeys(driverKind)) {
            CopyText(f.field, 200, Value(section, Prefixed(driverKind, f.key).c_str(), 199, file));
        }
    }

    info->pEnvironment = osClass == 0 ? kWindows40 : nullptr;
    info->pName = s.diName;
    info->pDriverPath = s.diDriverPath;
    info->pDataFile = s.diDataFile;
    info->pConfigFile = s.diConfigFile;
    info->pHelpFile = s.diHelpFile;

    // The universal-driver flag is the GDI key for both kinds of driver.
    std::string ddk = Value(section, "GDI2KDDKDEV", 9, file);
    std::vector<char>& list = s.dependentFiles;
    list.clear();
    if (TextToInt(ddk) != 0 && osClass >= 2 && osClass <= 7) {
        auto add = [&list](const char* name) {
            list.insert(list.end(), name, name + std::strlen(name));
            list.push_back('\0');
        };
        add(s.diDataFile);
        add("TTFSUB.GPD");
        add("UNIRES.DLL");
        add("STDNAMES.GPD");
        for (const char* extra : {s.diDataFileDll, s.diOemUiDll, s.diOemUniDll, s.diOemUniIni}) {
            if (NamesFile(extra)) add(extra);
        }
        list.push_back('\0');
    } else {
        list.assign(2, '\0');
    }
    info->pDependentFiles = list.data();
}

void DriverConfig::ReadPrinterInfo(const char* model, int osClass, plat::PRINTER_INFO_2* info,
                                   int driverKind, int portKind) {
    Storage& s = *s_;
    const std::string& file = SelectTypeFile(printerType, s.typePaths, s.currentTypePath);
    std::string section = VersionSection(model, osClass);

    ReadDriverName(section, osClass, portKind, file, s.piDriverName);

    s.piProcessor[0] = '\0';
    s.piAttributes[0] = '\0';
    if (ChoosesKeys(driverKind)) {
        CopyText(s.piProcessor, 200,
                 Value(section, Prefixed(driverKind, "PrintProcessor").c_str(), 49, file));
        CopyText(s.piAttributes, 200, Value(section, "ATTRIBUTES", 49, file));
    }
    CopyText(s.piPrinterName, 200, model ? model : "");

    info->Attributes = static_cast<std::uint32_t>(TextToInt(s.piAttributes));
    info->pDriverName = s.piDriverName;
    info->pPrintProcessor = s.piProcessor;
    info->pPrinterName = s.piPrinterName;
}

void DriverConfig::ReadLanguageMonitor(int osClass, LanguageMonitorInfo* info, int portKind) {
    Storage& s = *s_;
    s.lmEmpty[0] = '\0';
    if (portKind == 0 || portKind == 1) {
        info->info.pName = s.lmEmpty;
        info->info.pDLLName = s.lmEmpty;
        return;
    }
    if (portKind != 2) return;

    std::string section = MonitorSection(osClass);
    std::string name = Value(section, "USBLMONitorName", 49, s.commonPath);
    std::string dll = Value(section, "USBLMONitorDLLName", 199, s.commonPath);
    std::string version = Value(section, "USBLMONitorVersion", 9, s.commonPath);
    // Three one-character values (as the default "0" is) mean no language
    // monitor.
    if (name.size() == 1 && dll.size() == 1 && version.size() == 1) {
        info->info.pName = s.lmEmpty;
        info->info.pDLLName = s.lmEmpty;
        info->version = 0;
    } else {
        CopyText(s.lmName, 200, name);
        CopyText(s.lmDll, 200, dll);
        info->info.pName = s.lmName;
        info->info.pDLLName = s.lmDll;
        info->version = TextToInt(version);
    }
    info->info.pEnvironment = osClass == 0 ? kWindows40 : nullptr;
}

void DriverConfig::ReadPortMonitors(int osClass, PortMonitorInfo* info) {
    Storage& s = *s_;
    std::string section = MonitorSection(osClass);
    const std::string& file = s.commonPath;

    CopyText(s.pmUsbName, 200, Value(section, "USBMONitorPName", 49, file));
    CopyText(s.pmUsbDll, 200, Value(section, "USBMONitorPDLLName", 199, file));
    CopyText(info->usbUiDll, sizeof info->usbUiDll, Value(section, "USBMONitorPUIDLLName", 49, file));
    info->usbVersion = TextToInt(Value(section, "USBMONitorVersion", 9, file));

    CopyText(s.pmComName, 200, Value(section, "COMMONitorPName", 49, file));
    CopyText(s.pmComDll, 200, Value(section, "COMMONitorPDLLName", 199, file));
    CopyText(info->comUiDll, sizeof info->comUiDll, Value(section, "COMMONitorPUIDLLName", 49, file));
    info->comVersion = TextToInt(Value(section, "COMMONitorVersion", 9, file));

    info->usbMonitor.pName = s.pmUsbName;
    info->usbMonitor.pDLLName = s.pmUsbDll;
    info->comMonitor.pName = s.pmComName;
    info->comMonitor.pDLLName = s.pmComDll;
    info->usbMonitor.pEnvironment = osClass == 0 ? kWindows40 : nullptr;
    info->comMonitor.pEnvironment = osClass == 0 ? kWindows40 : nullptr;
}

int DriverConfig::ReadProcessorVersion() {
    return TextToInt(Value("ProcessorVersion", "DriverVersion", 11, s_->commonPath));
}

bool DriverConfig::ReadDdkFlag(const char* model, int osClass, int driverKind) {
    const std::string& file = SelectTypeFile(printerType, s_->typePaths, s_->currentTypePath);
    if (!ChoosesKeys(driverKind)) return false;
    std::string key = Prefixed(driverKind, "2KDDKDEV");
    return Value(VersionSection(model, osClass), key.c_str(), 4, file)[0] == '1';
}

void ConfigPaths(int printerType, char* commonPath, char* typePath) {
    std::memset(commonPath, 0, 200);
    std::memset(typePath, 0, 200);
    std::string dir = ProgramDirectory();
    CopyText(commonPath, 200, dir + kCommonFile);
    if (printerType >= 0 && printerType < 4) {
        CopyText(typePath, 200, dir + kTypeFilesMixedCase[printerType]);
    } else {
        CopyText(typePath, 200, dir);
    }
}

const char* TypeFileName(int printerType) {
    return printerType >= 0 && printerType < 4 ? kTypeFiles[printerType] : nullptr;
}

int ReadIniInt(const char* file, const char* section, const char* key) {
    std::string name = file ? file : "";
    if (name.size() > 199) name.resize(199);
    return common::ReadProfileInt(section ? section : "", key, name);
}

int ReadDeviceNameInt(const char* key) { return ReadIniInt(kCommonFile, "DEVICENAME", key); }

std::string ProgramDirectory() {
    std::string path;
    if (common::Sys().files().getModuleFileName(kMaxPath, &path) != 0) return {};
    std::string::size_type slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace setup
