// The print spooler of the simulated machine.
//
// Everything the spooler knows lives where Windows keeps it, so that what
// the setup writes beside a component and what the uninstaller deletes act
// on the same keys:
//   HKLM\SYSTEM\CurrentControlSet\Control\Print\Monitors\<name>        "Driver"
//   ...\Print\Environments\<env>\Drivers\Version-<n>\<name>           (NT family)
//   ...\Print\Environments\Windows 4.0\Drivers\<name>                  (Windows 9x)
//   ...\Print\Environments\<env>\Print Processors\<name>               "Driver"
//   ...\Print\Printers\<name>
//   WIN.INI [windows] device=<printer>,<driver>,<port>                 the default printer
//   machine.ini [Jobs] <printer>=<count>                               queued jobs
// A component counts as installed when its key holds a "Driver" value; a key
// without one (say, one the setup created for its version value) does not.
//
// Sizes handed back for the size queries are those a 32-bit program sees:
// the fixed record (pointers of 4 bytes) and each string that is present
// with its terminating zero.
#include <strings.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

#include "platform/sim/machine_state.h"
#include "platform/sim/pe_declarations.h"
#include "platform/sim/profile.h"
#include "platform/sim/sim_parts.h"
#include "platform/sim/spooler_registry.h"

namespace plat::sim {
namespace {


// Record sizes of the 32-bit structures.
constexpr std::uint32_t kPrinterInfo2Size = 84;
constexpr std::uint32_t kDevModeSize = 156;   // the DEVMODEA that GetPrinterA level 2 carries
constexpr std::uint32_t kPrinterInfo5Size = 20;
constexpr std::uint32_t kNameInfoSize = 4;    // PORT_INFO_1, MONITOR_INFO_1, PRINTPROCESSOR_INFO_1

constexpr const char* kLocalPortMonitor = "Local Port";
constexpr const char* kLocalPortsKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports";
const char* const kLocalPorts[] = {"LPT1:", "LPT2:", "LPT3:", "COM1:", "COM2:",
                                   "COM3:", "COM4:", "FILE:"};

std::string Text(const char* s) { return s ? s : ""; }
bool Empty(const char* s) { return !s || !*s; }
std::uint32_t StringSize(const std::string& s) {
    return s.empty() ? 0 : static_cast<std::uint32_t>(s.size() + 1);
}

std::string PlainName(const std::string& path) {
    std::size_t slash = path.find_last_of("\\/:");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Fills *cbNeeded and answers whether the caller's buffer is big enough.
Err SizeCheck(std::uint32_t needed, std::uint32_t cbBuf, std::uint32_t* cbNeeded) {
    if (cbNeeded) *cbNeeded = needed;
    return cbBuf < needed ? ERROR_INSUFFICIENT_BUFFER : ERROR_SUCCESS;
}

Err NameList(const std::vector<std::string>& names, std::uint32_t cbBuf, std::uint32_t* cbNeeded,
             std::vector<std::string>* out) {
    std::uint32_t needed = 0;
    for (const std::string& n : names) needed += kNameInfoSize + StringSize(n);
    Err err = SizeCheck(needed, cbBuf, cbNeeded);
    if (err == ERROR_SUCCESS && out) *out = names;
    return err;
}

struct Port {
    std::string name, monitor;
};

class SimSpooler : public Spooler {
public:
    explicit SimSpooler(SimContext& ctx) : c_(ctx), reg_(ctx.registry) {}

    Err addPrinterDriver(const char* server, std::uint32_t level,
                         const DRIVER_INFO_3& info) override;
    Err deletePrinterDriver(const char* server, const char* environment,
                            const char* driverName) override {
        return removeDriver(server, environment, driverName, 0, 0);
    }
    Err deletePrinterDriverEx(const char* server, const char* environment, const char* driverName,
                              std::uint32_t deleteFlag, std::uint32_t versionFlag) override {
        if (!c_.os.deletePrinterDriverExExport) return ERROR_PROC_NOT_FOUND;
        return removeDriver(server, environment, driverName, deleteFlag, versionFlag);
    }

    Err addPrinter(const char* server, std::uint32_t level, const PRINTER_INFO_2& info,
                   Handle* printer) override;
    Err openPrinter(const char* name, std::uint32_t desiredAccess, Handle* printer) override;
    Err closePrinter(Handle printer) override;
    Err getPrinter2(Handle printer, std::uint32_t cbBuf, std::uint32_t* cbNeeded,
                    PrinterInfo2* out) override;
    Err setPrinter2(Handle printer, const PrinterInfo2& info) override;
    Err deletePrinter(Handle printer) override;

    Err enumPrinters5(std::uint32_t flags, const char* name, std::uint32_t cbBuf,
                      std::uint32_t* cbNeeded, std::vector<PrinterInfo5>* out) override;
    Err enumPorts1(const char* server, std::uint32_t cbBuf, std::uint32_t* cbNeeded,
                   std::vector<std::string>* out) override;
    Err enumMonitors1(const char* server, std::uint32_t cbBuf, std::uint32_t* cbNeeded,
                      std::vector<std::string>* out) override;
    Err enumPrintProcessors1(const char* server, const char* environment, std::uint32_t cbBuf,
                             std::uint32_t* cbNeeded, std::vector<std::string>* out) override;

    Err addMonitor(const char* server, std::uint32_t level, const MONITOR_INFO_2& info) override;
    Err deleteMonitor(const char* server, const char* environment,
                      const char* monitorName) override;
    Err addPrintProcessor(const char* server, const char* environment, const char* pathName,
                          const char* processorName) override;
    Err deletePrintProcessor(const char* server, const char* environment,
                             const char* processorName) override;

    Err getPrinterDriverDirectory(const char* server, const char* environment, std::uint32_t level,
                                  std::uint32_t cbBuf, std::string* out) override {
        return directory(server, environment, level, cbBuf, false, out);
    }
    Err getPrintProcessorDirectory(const char* server, const char* environment,
                                   std::uint32_t level, std::uint32_t cbBuf,
                                   std::string* out) override {
        return directory(server, environment, level, cbBuf, true, out);
    }
    Err setDefaultPrinter(const char* printerName) override;

private:
    bool nt() const { return c_.os.platformId == VER_PLATFORM_WIN32_NT; }
    const char* ownEnvironment() const { return nt() ? kEnvNtX86 : kEnvWin40; }

    // Every call starts here: a stopped spooler answers nothing, another
    // server is not reachable, and printers waiting for their jobs to end
    // go once the jobs are gone.
    Err begin(const char* server);
    Err environment(const char* requested, std::string* env);
    Err systemDirectory(std::string* dir);
    Err driverDirectory(const std::string& env, std::string* dir);
    Err processorDirectory(const std::string& env, std::string* dir);

    std::string driversKey(const std::string& env) const {
        return std::string(kEnvironmentsKey) + "\\" + env + "\\Drivers";
    }
    std::string processorsKey(const std::string& env) const {
        return std::string(kEnvironmentsKey) + "\\" + env + "\\Print Processors";
    }
    std::string printerKey(const std::string& name) const {
        return std::string(kPrintersKey) + "\\" + name;
    }
    // Every driver key of an environment: (key path, version, name).
    struct DriverKey {
        std::string path;
        std::uint32_t version;
        std::string name;
    };
    std::vector<DriverKey> driverKeys(const std::string& env);
    bool driverKnown(const std::string& env, const std::string& name);
    // Registers a monitor or processor whose DLL lies in `dir`.
    Err registerComponent(const std::string& key, const std::string& dir, const char* dllPath,
                          const std::string& logLine);
    bool installed(const std::string& key) { return reg_.exists(key) && !reg_.string(key, "Driver").empty(); }

    std::vector<std::string> printerNames();
    std::vector<std::string> monitorNames();
    std::vector<Port> ports();
    bool portKnown(const std::string& portList);
    Err checkPrinterParts(const std::string& port, const std::string& driver,
                          const std::string& processor);
    std::uint32_t jobs(const std::string& printer);
    void removePrinter(const std::string& name);
    const std::string* handleName(Handle h);

    std::string winIniPath();
    std::string defaultPrinter();
    Err writeDefault(const char* device);

    Err directory(const char* server, const char* environment, std::uint32_t level,
                  std::uint32_t cbBuf, bool processors, std::string* out);
    Err removeDriver(const char* server, const char* environment, const char* driverName,
                     std::uint32_t deleteFlag, std::uint32_t versionFlag);

    SimContext& c_;
    SpoolRegistry reg_;
    // The programs' threads may share one spooler object.
    std::recursive_mutex mutex_;
    std::map<Handle, std::string> handles_;
    Handle nextHandle_ = 0x5000;
};

Err SimSpooler::begin(const char* server) {
    if (EqualNoCase(c_.state.get("Spooler", "State", "running"), "stopped")) {
        return RPC_S_SERVER_UNAVAILABLE;
    }
    if (!Empty(server)) return RPC_S_SERVER_UNAVAILABLE;   // only the local machine answers
    for (const std::string& name : printerNames()) {
        if ((reg_.dword(printerKey(name), "Status") & PRINTER_STATUS_PENDING_DELETION) && jobs(name) == 0) {
            removePrinter(name);
        }
    }
    return ERROR_SUCCESS;
}

Err SimSpooler::environment(const char* requested, std::string* env) {
    if (Empty(requested)) {
        *env = ownEnvironment();
        return ERROR_SUCCESS;
    }
    // Windows 9x serves only its own environment; the NT family also keeps
    // drivers for 9x clients.
    if (EqualNoCase(requested, kEnvWin40)) {
        *env = kEnvWin40;
        return ERROR_SUCCESS;
    }
    if (nt() && EqualNoCase(requested, kEnvNtX86)) {
        *env = kEnvNtX86;
        return ERROR_SUCCESS;
    }
    return ERROR_INVALID_ENVIRONMENT;
}

Err SimSpooler::systemDirectory(std::string* dir) { return c_.files.getSystemDirectory(260, dir); }

Err SimSpooler::driverDirectory(const std::string& env, std::string* dir) {
    Err err = systemDirectory(dir);
    if (err != ERROR_SUCCESS || !nt()) return err;
    *dir += EqualNoCase(env, kEnvNtX86) ? "\\spool\\drivers\\w32x86" : "\\spool\\drivers\\win40";
    return ERROR_SUCCESS;
}

Err SimSpooler::processorDirectory(const std::string& env, std::string* dir) {
    Err err = systemDirectory(dir);
    if (err != ERROR_SUCCESS || !nt()) return err;
    *dir += EqualNoCase(env, kEnvNtX86) ? "\\spool\\prtprocs\\w32x86" : "\\spool\\prtprocs\\win40";
    return ERROR_SUCCESS;
}

std::vector<SimSpooler::DriverKey> SimSpooler::driverKeys(const std::string& env) {
    std::vector<DriverKey> keys;
    std::string base = driversKey(env);
    // Windows 9x keeps its drivers directly under "Drivers"; the NT family
    // has a Version-<n> folder level (Version-0 for Windows 4.0 clients).
    if (!nt()) {
        for (const std::string& name : reg_.subKeys(base)) keys.push_back({base + "\\" + name, 0, name});
        return keys;
    }
    for (const std::string& folder : reg_.subKeys(base)) {
        if (folder.size() <= 8 || strncasecmp(folder.c_str(), "Version-", 8) != 0) continue;
        auto version = static_cast<std::uint32_t>(std::strtoul(folder.c_str() + 8, nullptr, 10));
        for (const std::string& name : reg_.subKeys(base + "\\" + folder)) {
            keys.push_back({base + "\\" + folder + "\\" + name, version, name});
        }
    }
    return keys;
}

bool SimSpooler::driverKnown(const std::string& env, const std::string& name) {
    for (const DriverKey& k : driverKeys(env)) {
        if (EqualNoCase(k.name, name)) return true;
    }
    return false;
}

std::vector<std::string> SimSpooler::printerNames() { return reg_.subKeys(kPrintersKey); }

std::vector<std::string> SimSpooler::monitorNames() {
    std::vector<std::string> names;
    for (const std::string& name : reg_.subKeys(kMonitorsKey)) {
        if (installed(std::string(kMonitorsKey) + "\\" + name)) names.push_back(name);
    }
    return names;
}

// The Local Port monitor serves the machine's parallel, serial and file
// ports; any other monitor serves what its DLL declares.
std::vector<Port> SimSpooler::ports() {
    std::vector<Port> result;
    auto add = [&result](const std::string& port, const std::string& monitor) {
        for (const Port& p : result) {
            if (EqualNoCase(p.name, port)) return;
        }
        result.push_back({port, monitor});
    };
    std::string sysDir;
    bool haveSysDir = systemDirectory(&sysDir) == ERROR_SUCCESS;
    for (const std::string& monitor : monitorNames()) {
        if (EqualNoCase(monitor, kLocalPortMonitor)) {
            for (const char* p : kLocalPorts) add(p, monitor);
            // On the NT family the Local Port monitor also serves the ports
            // listed under ...\Windows NT\CurrentVersion\Ports.
            if (nt()) {
                for (const std::string& p : reg_.valueNames(kLocalPortsKey)) add(p, monitor);
            }
            continue;
        }
        std::string dll = reg_.string(std::string(kMonitorsKey) + "\\" + monitor, "Driver");
        std::string bytes;
        if (!haveSysDir || c_.files.readFile(sysDir + "\\" + PlainName(dll), &bytes) != ERROR_SUCCESS) {
            continue;   // the spooler could not load it: no ports
        }
        std::string value;
        if (FindDeclaration(bytes, "SIM-PORTS", &value)) {
            for (const std::string& p : SplitList(value)) add(p, monitor);
        }
        if (FindDeclaration(bytes, "SIM-PORTS-FROM-REGISTRY", &value) && !value.empty()) {
            for (const std::string& p : reg_.valueNames(value)) {
                if (!p.empty()) add(p, monitor);
            }
        }
    }
    return result;
}

// A printer may name several ports, separated by commas.
bool SimSpooler::portKnown(const std::string& portList) {
    std::vector<std::string> wanted = SplitList(portList);
    if (wanted.empty()) return false;
    std::vector<Port> all = ports();
    for (const std::string& w : wanted) {
        bool found = std::any_of(all.begin(), all.end(),
                                 [&w](const Port& p) { return EqualNoCase(p.name, w); });
        if (!found) return false;
    }
    return true;
}

Err SimSpooler::checkPrinterParts(const std::string& port, const std::string& driver,
                                  const std::string& processor) {
    if (!portKnown(port)) return ERROR_UNKNOWN_PORT;
    if (driver.empty() || !driverKnown(ownEnvironment(), driver)) return ERROR_UNKNOWN_PRINTER_DRIVER;
    if (processor.empty() || !installed(processorsKey(ownEnvironment()) + "\\" + processor)) {
        return ERROR_UNKNOWN_PRINTPROCESSOR;
    }
    return ERROR_SUCCESS;
}

std::uint32_t SimSpooler::jobs(const std::string& printer) {
    long n = std::strtol(c_.state.get("Jobs", printer, "0").c_str(), nullptr, 10);
    return n > 0 ? static_cast<std::uint32_t>(n) : 0;
}

void SimSpooler::removePrinter(const std::string& name) {
    reg_.deleteTree(printerKey(name));
    c_.state.erase("Jobs", name);
    if (EqualNoCase(defaultPrinter(), name)) writeDefault(nullptr);
    c_.state.log("Printer deleted: \"" + name + "\"");
}

const std::string* SimSpooler::handleName(Handle h) {
    auto it = handles_.find(h);
    return it == handles_.end() ? nullptr : &it->second;
}

std::string SimSpooler::winIniPath() {
    std::string dir;
    if (c_.files.getWindowsDirectory(260, &dir) != ERROR_SUCCESS) dir = "C:\\WINDOWS";
    return dir + "\\win.ini";
}

std::string SimSpooler::defaultPrinter() {
    std::string bytes, device;
    if (c_.files.readFile(winIniPath(), &bytes) != ERROR_SUCCESS) return "";
    if (!IniLines(bytes).lookup("windows", "device", &device)) return "";
    std::size_t comma = device.find(',');
    return comma == std::string::npos ? device : device.substr(0, comma);
}

Err SimSpooler::writeDefault(const char* device) {
    std::string bytes;
    Err err = c_.files.readFile(winIniPath(), &bytes);
    if (err != ERROR_SUCCESS && err != ERROR_FILE_NOT_FOUND) return err;
    IniLines ini(err == ERROR_SUCCESS ? bytes : std::string());
    if (device) {
        ini.set("windows", "device", device);
    } else if (!ini.eraseKey("windows", "device")) {
        return ERROR_SUCCESS;
    }
    return c_.files.writeFile(winIniPath(), ini.text());
}

// --- drivers ---------------------------------------------------------------

Err SimSpooler::addPrinterDriver(const char* server, std::uint32_t level,
                                 const DRIVER_INFO_3& info) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (Err err = begin(server)) return err;
    if (level != 2 && level != 3) return ERROR_INVALID_LEVEL;
    if (Empty(info.pName) || Empty(info.pDriverPath) || Empty(info.pDataFile) ||
        Empty(info.pConfigFile)) {
        return ERROR_INVALID_PARAMETER;
    }
    std::string env;
    if (Err err = environment(info.pEnvironment, &env)) return err;
    std::string dir;
    if (Err err = driverDirectory(env, &dir)) return err;

    // NT keeps each driver version in a folder of its own; Windows 4.0
    // drivers stay where they are.
    std::uint32_t version = 0;
    if (nt() && !EqualNoCase(env, kEnvWin40)) {
        version = (info.cVersion == 2 || info.cVersion == 3) ? info.cVersion
                                                              : (c_.os.major >= 5 ? 3u : 2u);
    }
    std::string versionDir = version == 0 ? dir : dir + "\\" + std::to_string(version);

    std::vector<std::string> names = {Text(info.pDriverPath), Text(info.pDataFile),
                                      Text(info.pConfigFile)};
    std::vector<std::string> dependents;
    if (level == 3) {
        if (!Empty(info.pHelpFile)) names.push_back(info.pHelpFile);
        for (const char* p = info.pDependentFiles; p && *p; p += std::strlen(p) + 1) {
            dependents.push_back(p);
            names.push_back(p);
        }
        if (!Empty(info.pMonitorName) && !installed(std::string(kMonitorsKey) + "\\" + info.pMonitorName)) {
            return ERROR_UNKNOWN_PRINT_MONITOR;
        }
    }
    // Every file must be in the driver directory (or already in the
    // version folder from an earlier installation).
    std::vector<std::pair<std::string, std::string>> copies;   // source, target
    for (const std::string& name : names) {
        std::string plain = PlainName(name);
        std::string source = name.find('\\') != std::string::npos ? name : dir + "\\" + name;
        std::uint32_t attributes = 0;
        if (c_.files.getFileAttributes(source, &attributes) != ERROR_SUCCESS ||
            (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            source = versionDir + "\\" + plain;
            if (c_.files.getFileAttributes(source, &attributes) != ERROR_SUCCESS ||
                (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
                return ERROR_FILE_NOT_FOUND;
            }
        }
        copies.emplace_back(source, versionDir + "\\" + plain);
    }
    if (versionDir != dir) {
        Err err = c_.files.createDirectory(versionDir);
        if (err != ERROR_SUCCESS && err != ERROR_ALREADY_EXISTS) return err;
        for (const auto& [source, target] : copies) {
            if (EqualNoCase(source, target)) continue;
            if (Err copyErr = c_.files.copyFile(source, target, false)) return copyErr;
        }
    }

    std::string key = nt() ? driversKey(env) + "\\Version-" + std::to_string(version) + "\\" + info.pName
                           : driversKey(env) + "\\" + info.pName;
    // The same name in another version folder is another driver and stays;
    // the same name in this one is replaced.
    std::vector<std::string> plainDependents;
    for (const std::string& d : dependents) plainDependents.push_back(PlainName(d));
    Err err = reg_.create(key);
    if (!err) err = reg_.setString(key, "Driver", PlainName(info.pDriverPath));
    if (!err) err = reg_.setString(key, "Data File", PlainName(info.pDataFile));
    if (!err) err = reg_.setString(key, "Configuration File", PlainName(info.pConfigFile));
    if (!err) err = reg_.setString(key, "Help File", level == 3 ? PlainName(Text(info.pHelpFile)) : "");
    if (!err) err = reg_.setMultiString(key, "Dependent Files", plainDependents);
    if (!err) err = reg_.setString(key, "Monitor", level == 3 ? Text(info.pMonitorName) : "");
    if (!err) err = reg_.setString(key, "Datatype", level == 3 ? Text(info.pDefaultDataType) : "");
    if (!err) err = reg_.setDword(key, "Version", version);
    if (err) return err;
    c_.state.log("Printer driver added: \"" + std::string(info.pName) + "\" (" + env + ", version " +
                 std::to_string(version) + ")");
    return ERROR_SUCCESS;
}

Err SimSpooler::removeDriver(const char* server, const char* environmentName,
                             const char* driverName, std::uint32_t deleteFlag,
                             std::uint32_t versionFlag) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (Err err = begin(server)) return err;
    if (Empty(driverName)) return ERROR_INVALID_PARAMETER;
    std::string env;
    if (Err err = environment(environmentName, &env)) return err;

    std::vector<DriverKey> all = driverKeys(env), doomed, staying;
    for (const DriverKey& k : all) {
        bool match = EqualNoCase(k.name, driverName) &&
                     (!(deleteFlag & DPD_DELETE_SPECIFIC_VERSION) || k.version == versionFlag);
        (match ? doomed : staying).push_back(k);
    }
    if (doomed.empty()) return ERROR_UNKNOWN_PRINTER_DRIVER;
    if (EqualNoCase(env, ownEnvironment())) {
        for (const std::string& p : printerNames()) {
            if (EqualNoCase(reg_.string(printerKey(p), "Printer Driver"), driverName)) {
                return ERROR_PRINTER_DRIVER_IN_USE;
            }
        }
    }

    // The files of the removed versions, unless another driver of the same
    // version still needs them.
    std::string dir;
    std::vector<std::string> files;
    if ((deleteFlag & (DPD_DELETE_UNUSED_FILES | DPD_DELETE_ALL_FILES)) &&
        driverDirectory(env, &dir) == ERROR_SUCCESS) {
        for (const DriverKey& k : doomed) {
            std::vector<std::string> names = {reg_.string(k.path, "Driver"), reg_.string(k.path, "Data File"),
                                              reg_.string(k.path, "Configuration File"),
                                              reg_.string(k.path, "Help File")};
            for (const std::string& d : reg_.multiString(k.path, "Dependent Files")) names.push_back(d);
            for (const std::string& name : names) {
                if (name.empty()) continue;
                bool shared = false;
                for (const DriverKey& s : staying) {
                    if (s.version != k.version) continue;
                    std::vector<std::string> used = reg_.multiString(s.path, "Dependent Files");
                    for (const char* v : {"Driver", "Data File", "Configuration File", "Help File"}) {
                        used.push_back(reg_.string(s.path, v));
                    }
                    shared = shared || std::any_of(used.begin(), used.end(), [&name](const std::string& u) {
                                 return EqualNoCase(u, name);
                             });
                }
                if (shared && (deleteFlag & DPD_DELETE_ALL_FILES)) return ERROR_PRINTER_DRIVER_IN_USE;
                if (!shared) {
                    files.push_back((k.version == 0 ? dir : dir + "\\" + std::to_string(k.version)) +
                                    "\\" + name);
                }
            }
        }
    }
    for (const DriverKey& k : doomed) {
        if (Err err = reg_.deleteTree(k.path)) return err;
    }
    for (const std::string& f : files) c_.files.deleteFile(f);
    c_.state.log("Printer driver deleted: \"" + std::string(driverName) + "\" (" + env + ")" +
                 (files.empty() ? "" : ", " + std::to_string(files.size()) + " files"));
    return ERROR_SUCCESS;
}

// --- printers --------------------------------------------------------------

Err SimSpooler::addPrinter(const char* server, std::uint32_t level, const PRINTER_INFO_2& info,
                           Handle* printer) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (Err err = begin(server)) return err;
    if (level != 2) return ERROR_INVALID_LEVEL;
    std::string name = Text(info.pPrinterName);
    // "\\" and "," are refused; a double-byte character's trail byte may
    // look like either and is not.
    if (name.empty() || name.size() > 220 || FindCharAnsi(name, '\\') != std::string::npos ||
        FindCharAnsi(name, ',') != std::string::npos) {
        return ERROR_INVALID_PRINTER_NAME;
    }
    if (reg_.exists(printerKey(name))) return ERROR_PRINTER_ALREADY_EXISTS;
    if (Err err = checkPrinterParts(Text(info.pPortName), Text(info.pDriverName),
                                    Text(info.pPrintProcessor))) {
        return err;
    }
    std::string key = printerKey(name);
    Err err = reg_.create(key);
    struct { const char* value; const char* text; } strings[] = {
        {"Name", info.pPrinterName},       {"Share Name", info.pShareName},
        {"Port", info.pPortName},          {"Printer Driver", info.pDriverName},
        {"Description", info.pComment},    {"Location", info.pLocation},
        {"Separator File", info.pSepFile}, {"Print Processor", info.pPrintProcessor},
        {"Datatype", Empty(info.pDatatype) ? "RAW" : info.pDatatype},
        {"Parameters", info.pParameters},
    };
    for (const auto& s : strings) {
        if (!err) err = reg_.setString(key, s.value, Text(s.text));
    }
    struct { const char* value; std::uint32_t number; } numbers[] = {
        {"Attributes", info.Attributes & ~PRINTER_ATTRIBUTE_DEFAULT},
        {"Priority", info.Priority},
        {"Default Priority", info.DefaultPriority},
        {"StartTime", info.StartTime},
        {"UntilTime", info.UntilTime},
        {"Status", 0},
        {"dnsTimeout", 15000},
        {"txTimeout", 45000},
    };
    for (const auto& n : numbers) {
        if (!err) err = reg_.setDword(key, n.value, n.number);
    }
    if (err) {
        reg_.deleteTree(key);
        return err;
    }
    c_.state.log("Printer added: \"" + name + "\" (driver \"" + info.pDriverName +
                 "\", port \"" + info.pPortName + "\", print processor \"" + info.pPrintProcessor + "\")");
    if (printer) {
        *printer = nextHandle_++;
        handles_[*printer] = name;
    }
    return ERROR_SUCCESS;
}

Err SimSpooler::openPrinter(const char* name, std::uint32_t, Handle* printer) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (Err err = begin(nullptr)) return err;
    if (Empty(name) || !reg_.exists(printerKey(name))) return ERROR_INVALID_PRINTER_NAME;
    std::string stored = reg_.string(printerKey(name), "Name");
    *printer = nextHandle_++;
    handles_[*printer] = stored.empty() ? std::string(name) : stored;
    return ERROR_SUCCESS;
}

Err SimSpooler::closePrinter(Handle printer) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (handles_.erase(printer) == 0) return ERROR_INVALID_HANDLE;
    return begin(nullptr);
}

Err SimSpooler::getPrinter2(Handle printer, std::uint32_t cbBuf, std::uint32_t* cbNeeded,
                            PrinterInfo2* out) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (Err err = begin(nullptr)) return err;
    const std::string* name = handleName(printer);
    if (!name) return ERROR_INVALID_HANDLE;
    std::string key = printerKey(*name);
    if (!reg_.exists(key)) return ERROR_INVALID_PRINTER_NAME;
    PrinterInfo2 info;
    info.printerName = *name;
    info.shareName = reg_.string(key, "Share Name");
    info.portName = reg_.string(key, "Port");
    info.driverName = reg_.string(key, "Printer Driver");
    info.comment = reg_.string(key, "Description");
    info.location = reg_.string(key, "Location");
    info.sepFile = reg_.string(key, "Separator File");
    info.printProcessor = reg_.string(key, "Print Processor");
    info.datatype = reg_.string(key, "Datatype");
    info.parameters = reg_.string(key, "Parameters");
    info.attributes = reg_.dword(key, "Attributes");
    if (EqualNoCase(defaultPrinter(), *name)) info.attributes |= PRINTER_ATTRIBUTE_DEFAULT;
    info.priority = reg_.dword(key, "Priority");
    info.defaultPriority = reg_.dword(key, "Default Priority");
    info.startTime = reg_.dword(key, "StartTime");
    info.untilTime = reg_.dword(key, "UntilTime");
    info.status = reg_.dword(key, "Status");
    info.cJobs = jobs(*name);
    std::uint32_t needed = kPrinterInfo2Size + kDevModeSize;
    for (const std::string* s : {&info.serverName, &info.printerName, &info.shareName, &info.portName,
                                 &info.driverName, &info.comment, &info.location, &info.sepFile,
                                 &info.printProcessor, &info.datatype, &info.parameters}) {
        needed += StringSize(*s);
    }
    if (Err err = SizeCheck(needed, cbBuf, cbNeeded)) return err;
    if (out) *out = info;
    return ERROR_SUCCESS;
}

Err SimSpooler::setPrinter2(Handle printer, const PrinterInfo2& info) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (Err err = begin(nullptr)) return err;
    const std::string* name = handleName(printer);
    if (!name) return ERROR_INVALID_HANDLE;
    std::string key = printerKey(*name);
    if (!reg_.exists(key)) return ERROR_INVALID_PRINTER_NAME;
    // Renaming through SetPrinter is not simulated.
    if (!info.printerName.empty() && !EqualNoCase(info.printerName, *name)) return ERROR_NOT_SUPPORTED;
    if (Err err = checkPrinterParts(info.portName, info.driverName, info.printProcessor)) return err;
    Err err = ERROR_SUCCESS;
    struct { const char* value; const std::string& text; } strings[] = {
        {"Share Name", info.shareName},  {"Port", info.portName},
        {"Printer Driver", info.driverName}, {"Description", info.comment},
        {"Location", info.location},     {"Separator File", info.sepFile},
        {"Print Processor", info.printProcessor}, {"Datatype", info.datatype},
        {"Parameters", info.parameters},
    };
    for (const auto& s : strings) {
        if (!err) err = reg_.setString(key, s.value, s.text);
    }
    struct { const char* value; std::uint32_t number; } numbers[] = {
        {"Attributes", info.attributes & ~PRINTER_ATTRIBUTE_DEFAULT},
        {"Priority", info.priority},
        {"Default Priority", info.defaultPriority},
        {"StartTime", info.startTime},
        {"UntilTime", info.untilTime},
    };
    for (const auto& n : numbers) {
        if (!err) err = reg_.setDword(key, n.value, n.number);
    }
    if (err) return err;
    // Windows 9x takes the default attribute as "make this the default".
    if (!nt() && (info.attributes & PRINTER_ATTRIBUTE_DEFAULT)) {
        std::string device = *name + "," + info.driverName + "," + info.portName;
        if (Err e = writeDefault(device.c_str())) return e;
        c_.state.log("Default printer: \"" + *name + "\"");
    }
    return ERROR_SUCCESS;
}

// With jobs still queued the printer is only marked; it goes when its jobs
// are gone (checked at the start of every later spooler call).
Err SimSpooler::deletePrinter(Handle printer) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (Err err = begin(nullptr)) return err;
    const std::string* name = handleName(printer);
    if (!name) return ERROR_INVALID_HANDLE;
    std::string key = printerKey(*name);
    if (!reg_.exists(key)) return ERROR_INVALID_PRINTER_NAME;
    if (std::uint32_t n = jobs(*name)) {
        if (Err err = reg_.setDword(key, "Status", reg_.dword(key, "Status") | PRINTER_STATUS_PENDING_DELETION)) {
            return err;
        }
        c_.state.log("Printer pending deletion: \"" + *name + "\" (" + std::to_string(n) +
                     " jobs queued)");
        return ERROR_SUCCESS;
    }
    removePrinter(*name);
    return ERROR_SUCCESS;
}

Err SimSpooler::enumPrinters5(std::uint32_t flags, const char*, std::uint32_t cbBuf,
                              std::uint32_t* cbNeeded, std::vector<PrinterInfo5>* out) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (Err err = begin(nullptr)) return err;
    std::string def = defaultPrinter();
    std::vector<PrinterInfo5> list;
    std::uint32_t needed = 0;
    for (const std::string& keyName : printerNames()) {
        std::string key = printerKey(keyName);
        std::string name = reg_.string(key, "Name");
        if (name.empty()) name = keyName;
        bool isDefault = EqualNoCase(name, def);
        if (!(flags & PRINTER_ENUM_LOCAL) && !((flags & PRINTER_ENUM_DEFAULT) && isDefault)) continue;
        PrinterInfo5 p;
        p.printerName = name;
        p.portName = reg_.string(key, "Port");
        p.attributes = reg_.dword(key, "Attributes") | (isDefault ? PRINTER_ATTRIBUTE_DEFAULT : 0);
        p.deviceNotSelectedTimeout = reg_.dword(key, "dnsTimeout", 15000);
        p.transmissionRetryTimeout = reg_.dword(key, "txTimeout", 45000);
        needed += kPrinterInfo5Size + StringSize(p.printerName) + StringSize(p.portName);
        list.push_back(p);
    }
    if (Err err = SizeCheck(needed, cbBuf, cbNeeded)) return err;
    if (out) *out = list;
    return ERROR_SUCCESS;
}

Err SimSpooler::enumPorts1(const char* server, std::uint32_t cbBuf, std::uint32_t* cbNeeded,
                           std::vector<std::string>* out) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (Err err = begin(server)) return err;
    std::vector<std::string> names;
    for (const Port& p : ports()) names.push_back(p.name);
    return NameList(names, cbBuf, cbNeeded, out);
}

Err SimSpooler::enumMonitors1(const char* server, std::uint32_t cbBuf, std::uint32_t* cbNeeded,
                              std::vector<std::string>* out) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (Err err = begin(server)) return err;
    return NameList(monitorNames(), cbBuf, cbNeeded, out);
}

Err SimSpooler::enumPrintProcessors1(const char* server, const char* environmentName,
                                     std::uint32_t cbBuf, std::uint32_t* cbNeeded,
                                     std::vector<std::string>* out) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (Err err = begin(server)) return err;
    std::string env;
    if (Err err = environment(environmentName, &env)) return err;
    std::vector<std::string> names;
    for (const std::string& name : reg_.subKeys(processorsKey(env))) {
        if (installed(processorsKey(env) + "\\" + name)) names.push_back(name);
    }
    return NameList(names, cbBuf, cbNeeded, out);
}

// --- monitors and processors -----------------------------------------------

Err SimSpooler::addMonitor(const char* server, std::uint32_t level, const MONITOR_INFO_2& info) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (Err err = begin(server)) return err;
    if (level != 2) return ERROR_INVALID_LEVEL;
    if (Empty(info.pName) || Empty(info.pDLLName)) return ERROR_INVALID_PARAMETER;
    std::string env;
    if (Err err = environment(info.pEnvironment, &env)) return err;
    if (!EqualNoCase(env, ownEnvironment())) return ERROR_INVALID_ENVIRONMENT;
    std::string key = std::string(kMonitorsKey) + "\\" + info.pName;
    if (installed(key)) return ERROR_PRINT_MONITOR_ALREADY_INSTALLED;
    std::string sysDir;
    if (Err err = systemDirectory(&sysDir)) return err;
    return registerComponent(key, sysDir, info.pDLLName, "Port monitor added: \"" + std::string(info.pName) + "\"");
}

Err SimSpooler::registerComponent(const std::string& key, const std::string& dir, const char* dllPath,
                                  const std::string& logLine) {
    // The spooler loads the component's DLL from its folder: without it
    // there is nothing to register.
    std::uint32_t attributes = 0;
    std::string dll = PlainName(dllPath);
    if (c_.files.getFileAttributes(dir + "\\" + dll, &attributes) != ERROR_SUCCESS ||
        (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return ERROR_MOD_NOT_FOUND;
    }
    Err err = reg_.create(key);
    if (!err) err = reg_.setString(key, "Driver", dll);
    if (err) return err;
    c_.state.log(logLine + " (" + dll + ")");
    return ERROR_SUCCESS;
}

Err SimSpooler::deleteMonitor(const char* server, const char* environmentName,
                              const char* monitorName) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (Err err = begin(server)) return err;
    if (Empty(monitorName)) return ERROR_INVALID_PARAMETER;
    std::string env;
    if (Err err = environment(environmentName, &env)) return err;
    std::string key = std::string(kMonitorsKey) + "\\" + monitorName;
    if (!installed(key)) return ERROR_UNKNOWN_PRINT_MONITOR;
    // In use: a printer on one of its ports, or a driver naming it as its
    // language monitor.
    std::vector<std::string> own;
    for (const Port& p : ports()) {
        if (EqualNoCase(p.monitor, monitorName)) own.push_back(p.name);
    }
    for (const std::string& printer : printerNames()) {
        for (const std::string& port : SplitList(reg_.string(printerKey(printer), "Port"))) {
            if (std::any_of(own.begin(), own.end(), [&port](const std::string& o) { return EqualNoCase(o, port); })) {
                return ERROR_PRINT_MONITOR_IN_USE;
            }
        }
    }
    for (const char* e : {kEnvNtX86, kEnvWin40}) {
        for (const DriverKey& d : driverKeys(e)) {
            if (EqualNoCase(reg_.string(d.path, "Monitor"), monitorName)) return ERROR_PRINT_MONITOR_IN_USE;
        }
    }
    if (Err err = reg_.deleteTree(key)) return err;
    c_.state.log("Port monitor deleted: \"" + std::string(monitorName) + "\"");
    return ERROR_SUCCESS;
}

Err SimSpooler::addPrintProcessor(const char* server, const char* environmentName,
                                  const char* pathName, const char* processorName) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (Err err = begin(server)) return err;
    if (Empty(pathName) || Empty(processorName)) return ERROR_INVALID_PARAMETER;
    std::string env;
    if (Err err = environment(environmentName, &env)) return err;
    std::string key = processorsKey(env) + "\\" + processorName;
    if (installed(key)) return ERROR_PRINT_PROCESSOR_ALREADY_INSTALLED;
    std::string dir;
    if (Err err = processorDirectory(env, &dir)) return err;
    return registerComponent(key, dir, pathName, "Print processor added: \"" + std::string(processorName) + "\"");
}

Err SimSpooler::deletePrintProcessor(const char* server, const char* environmentName,
                                     const char* processorName) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (Err err = begin(server)) return err;
    if (Empty(processorName)) return ERROR_INVALID_PARAMETER;
    std::string env;
    if (Err err = environment(environmentName, &env)) return err;
    std::string key = processorsKey(env) + "\\" + processorName;
    if (!installed(key)) return ERROR_UNKNOWN_PRINTPROCESSOR;
    if (EqualNoCase(env, ownEnvironment())) {
        for (const std::string& printer : printerNames()) {
            if (EqualNoCase(reg_.string(printerKey(printer), "Print Processor"), processorName)) {
                return ERROR_CAN_NOT_COMPLETE;
            }
        }
    }
    if (Err err = reg_.deleteTree(key)) return err;
    c_.state.log("Print processor deleted: \"" + std::string(processorName) + "\"");
    return ERROR_SUCCESS;
}

// --- directories and the default printer -----------------------------------

Err SimSpooler::directory(const char* server, const char* environmentName, std::uint32_t level,
                          std::uint32_t cbBuf, bool processors, std::string* out) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (Err err = begin(server)) return err;
    if (level != 1) return ERROR_INVALID_LEVEL;
    std::string env, dir;
    if (Err err = environment(environmentName, &env)) return err;
    if (Err err = processors ? processorDirectory(env, &dir) : driverDirectory(env, &dir)) return err;
    if (cbBuf < dir.size() + 1) return ERROR_INSUFFICIENT_BUFFER;
    *out = dir;
    return ERROR_SUCCESS;
}

Err SimSpooler::setDefaultPrinter(const char* printerName) {
    std::lock_guard<std::recursive_mutex> lock(mutex_);
    if (!c_.os.setDefaultPrinterExport) return ERROR_PROC_NOT_FOUND;
    if (Err err = begin(nullptr)) return err;
    if (Empty(printerName) || !reg_.exists(printerKey(printerName))) return ERROR_INVALID_PRINTER_NAME;
    std::string key = printerKey(printerName);
    std::string name = reg_.string(key, "Name");
    if (name.empty()) name = printerName;
    std::string device = name + "," + reg_.string(key, "Printer Driver") + "," + reg_.string(key, "Port");
    if (Err err = writeDefault(device.c_str())) return err;
    c_.state.log("Default printer: \"" + name + "\"");
    return ERROR_SUCCESS;
}

}  // namespace

std::unique_ptr<Spooler> MakeSimSpooler(SimContext& ctx) { return std::make_unique<SimSpooler>(ctx); }

}  // namespace plat::sim
