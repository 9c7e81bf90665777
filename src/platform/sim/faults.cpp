#include "platform/sim/faults.h"

#include <cstdlib>

namespace plat::sim {

void FaultPlan::failCall(const std::string& op, int nth, Err err, const std::string& argContains) {
    std::lock_guard<std::mutex> g(mutex_);
    Rule r;
    r.op = op;
    r.argContains = argContains;
    r.remaining = nth < 1 ? 1 : nth;
    r.err = err;
    rules_.push_back(r);
}

void FaultPlan::failAlways(const std::string& op, Err err, const std::string& argContains) {
    std::lock_guard<std::mutex> g(mutex_);
    Rule r;
    r.op = op;
    r.argContains = argContains;
    r.always = true;
    r.err = err;
    rules_.push_back(r);
}

void FaultPlan::clear() {
    std::lock_guard<std::mutex> g(mutex_);
    rules_.clear();
}

bool FaultPlan::addRule(const std::string& op, const std::string& spec, std::string* error) {
    std::size_t c1 = spec.find(':');
    std::string when = spec.substr(0, c1);
    std::string rest = c1 == std::string::npos ? "" : spec.substr(c1 + 1);
    std::size_t c2 = rest.find(':');
    std::string err = rest.substr(0, c2);
    std::string arg = c2 == std::string::npos ? "" : rest.substr(c2 + 1);
    char* end = nullptr;
    unsigned long code = std::strtoul(err.c_str(), &end, 10);
    if (op.find('.') == std::string::npos || err.empty() || *end) {
        *error = "fault rule " + op + "=" + spec + ": expected <service>.<method>=<nth>|*:<error>[:<text>]";
        return false;
    }
    if (when == "*") {
        failAlways(op, static_cast<Err>(code), arg);
        return true;
    }
    long nth = std::strtol(when.c_str(), &end, 10);
    if (when.empty() || *end || nth < 1) {
        *error = "fault rule " + op + "=" + spec + ": the call number must be 1 or more, or *";
        return false;
    }
    failCall(op, static_cast<int>(nth), static_cast<Err>(code), arg);
    return true;
}

Err FaultPlan::check(const char* op, const std::string& arg) {
    std::lock_guard<std::mutex> g(mutex_);
    Err result = 0;
    for (Rule& r : rules_) {
        if (r.spent || r.op != op) continue;
        if (!r.argContains.empty() && arg.find(r.argContains) == std::string::npos) continue;
        if (r.always) {
            if (!result) result = r.err;
        } else if (--r.remaining == 0) {
            r.spent = true;
            if (!result) result = r.err;
        }
    }
    return result;
}

namespace {

std::string S(const char* text) { return text ? text : ""; }

class FaultyProfile : public Profile {
public:
    FaultyProfile(Profile& in, FaultPlan& p) : in_(in), p_(p) {}
    std::string getPrivateProfileString(const char* section, const char* key, const char* def,
                                        std::uint32_t size, const std::string& file) override {
        if (p_.check("profile.getPrivateProfileString", file + "|" + S(section) + "|" + S(key))) {
            std::string d = S(def);
            return size ? d.substr(0, size - 1) : "";
        }
        return in_.getPrivateProfileString(section, key, def, size, file);
    }
    Err writePrivateProfileString(const char* section, const char* key, const char* value,
                                  const std::string& file) override {
        if (Err e = p_.check("profile.writePrivateProfileString", file + "|" + S(section) + "|" + S(key)))
            return e;
        return in_.writePrivateProfileString(section, key, value, file);
    }
    std::string getProfileString(const char* section, const char* key, const char* def,
                                 std::uint32_t size) override {
        if (p_.check("profile.getProfileString", S(section) + "|" + S(key))) {
            std::string d = S(def);
            return size ? d.substr(0, size - 1) : "";
        }
        return in_.getProfileString(section, key, def, size);
    }
    Err writeProfileString(const char* section, const char* key, const char* value) override {
        if (Err e = p_.check("profile.writeProfileString", S(section) + "|" + S(key))) return e;
        return in_.writeProfileString(section, key, value);
    }

private:
    Profile& in_;
    FaultPlan& p_;
};

class FaultyRegistry : public Registry {
public:
    FaultyRegistry(Registry& in, FaultPlan& p) : in_(in), p_(p) {}
    Err openKey(HKey root, const std::string& subKey, std::uint32_t sam, HKey* out) override {
        if (Err e = p_.check("registry.openKey", subKey)) return e;
        return in_.openKey(root, subKey, sam, out);
    }
    Err createKey(HKey root, const std::string& subKey, std::uint32_t sam, HKey* out,
                  std::uint32_t* disposition) override {
        if (Err e = p_.check("registry.createKey", subKey)) return e;
        return in_.createKey(root, subKey, sam, out, disposition);
    }
    Err closeKey(HKey key) override {
        if (Err e = p_.check("registry.closeKey", "")) return e;
        return in_.closeKey(key);
    }
    Err queryValue(HKey key, const char* name, std::uint32_t* type, std::uint8_t* data,
                   std::uint32_t* size) override {
        if (Err e = p_.check("registry.queryValue", S(name))) return e;
        return in_.queryValue(key, name, type, data, size);
    }
    Err setValue(HKey key, const char* name, std::uint32_t type, const std::uint8_t* data,
                 std::uint32_t size) override {
        if (Err e = p_.check("registry.setValue", S(name))) return e;
        return in_.setValue(key, name, type, data, size);
    }
    Err deleteValue(HKey key, const char* name) override {
        if (Err e = p_.check("registry.deleteValue", S(name))) return e;
        return in_.deleteValue(key, name);
    }
    Err deleteKey(HKey root, const std::string& subKey) override {
        if (Err e = p_.check("registry.deleteKey", subKey)) return e;
        return in_.deleteKey(root, subKey);
    }
    Err enumKey(HKey key, std::uint32_t index, std::string* name) override {
        if (Err e = p_.check("registry.enumKey", "")) return e;
        return in_.enumKey(key, index, name);
    }
    Err enumValue(HKey key, std::uint32_t index, std::string* name, std::uint32_t* type,
                  std::vector<std::uint8_t>* data) override {
        if (Err e = p_.check("registry.enumValue", "")) return e;
        return in_.enumValue(key, index, name, type, data);
    }

private:
    Registry& in_;
    FaultPlan& p_;
};

class FaultySpooler : public Spooler {
public:
    FaultySpooler(Spooler& in, FaultPlan& p) : in_(in), p_(p) {}
    Err addPrinterDriver(const char* server, std::uint32_t level, const DRIVER_INFO_3& info) override {
        if (Err e = p_.check("spooler.addPrinterDriver", S(info.pName))) return e;
        return in_.addPrinterDriver(server, level, info);
    }
    Err deletePrinterDriver(const char* server, const char* environment,
                            const char* driverName) override {
        if (Err e = p_.check("spooler.deletePrinterDriver", S(driverName))) return e;
        return in_.deletePrinterDriver(server, environment, driverName);
    }
    Err deletePrinterDriverEx(const char* server, const char* environment, const char* driverName,
                              std::uint32_t deleteFlag, std::uint32_t versionFlag) override {
        if (Err e = p_.check("spooler.deletePrinterDriverEx", S(driverName))) return e;
        return in_.deletePrinterDriverEx(server, environment, driverName, deleteFlag, versionFlag);
    }
    Err addPrinter(const char* server, std::uint32_t level, const PRINTER_INFO_2& info,
                   Handle* printer) override {
        if (Err e = p_.check("spooler.addPrinter", S(info.pPrinterName))) return e;
        return in_.addPrinter(server, level, info, printer);
    }
    Err openPrinter(const char* name, std::uint32_t desiredAccess, Handle* printer) override {
        if (Err e = p_.check("spooler.openPrinter", S(name))) return e;
        return in_.openPrinter(name, desiredAccess, printer);
    }
    Err closePrinter(Handle printer) override {
        if (Err e = p_.check("spooler.closePrinter", "")) return e;
        return in_.closePrinter(printer);
    }
    Err getPrinter2(Handle printer, std::uint32_t cbBuf, std::uint32_t* cbNeeded,
                    PrinterInfo2* out) override {
        if (Err e = p_.check("spooler.getPrinter2", "")) return e;
        return in_.getPrinter2(printer, cbBuf, cbNeeded, out);
    }
    Err setPrinter2(Handle printer, const PrinterInfo2& info) override {
        if (Err e = p_.check("spooler.setPrinter2", info.printerName)) return e;
        return in_.setPrinter2(printer, info);
    }
    Err deletePrinter(Handle printer) override {
        if (Err e = p_.check("spooler.deletePrinter", "")) return e;
        return in_.deletePrinter(printer);
    }
    Err enumPrinters5(std::uint32_t flags, const char* name, std::uint32_t cbBuf,
                      std::uint32_t* cbNeeded, std::vector<PrinterInfo5>* out) override {
        if (Err e = p_.check("spooler.enumPrinters5", S(name))) return e;
        return in_.enumPrinters5(flags, name, cbBuf, cbNeeded, out);
    }
    Err enumPorts1(const char* server, std::uint32_t cbBuf, std::uint32_t* cbNeeded,
                   std::vector<std::string>* out) override {
        if (Err e = p_.check("spooler.enumPorts1", S(server))) return e;
        return in_.enumPorts1(server, cbBuf, cbNeeded, out);
    }
    Err enumMonitors1(const char* server, std::uint32_t cbBuf, std::uint32_t* cbNeeded,
                      std::vector<std::string>* out) override {
        if (Err e = p_.check("spooler.enumMonitors1", S(server))) return e;
        return in_.enumMonitors1(server, cbBuf, cbNeeded, out);
    }
    Err enumPrintProcessors1(const char* server, const char* environment, std::uint32_t cbBuf,
                             std::uint32_t* cbNeeded, std::vector<std::string>* out) override {
        if (Err e = p_.check("spooler.enumPrintProcessors1", S(environment))) return e;
        return in_.enumPrintProcessors1(server, environment, cbBuf, cbNeeded, out);
    }
    Err addMonitor(const char* server, std::uint32_t level, const MONITOR_INFO_2& info) override {
        if (Err e = p_.check("spooler.addMonitor", S(info.pName))) return e;
        return in_.addMonitor(server, level, info);
    }
    Err deleteMonitor(const char* server, const char* environment, const char* monitorName) override {
        if (Err e = p_.check("spooler.deleteMonitor", S(monitorName))) return e;
        return in_.deleteMonitor(server, environment, monitorName);
    }
    Err addPrintProcessor(const char* server, const char* environment, const char* pathName,
                          const char* processorName) override {
        if (Err e = p_.check("spooler.addPrintProcessor", S(processorName))) return e;
        return in_.addPrintProcessor(server, environment, pathName, processorName);
    }
    Err deletePrintProcessor(const char* server, const char* environment,
                             const char* processorName) override {
        if (Err e = p_.check("spooler.deletePrintProcessor", S(processorName))) return e;
        return in_.deletePrintProcessor(server, environment, processorName);
    }
    Err getPrinterDriverDirectory(const char* server, const char* environment, std::uint32_t level,
                                  std::uint32_t cbBuf, std::string* out) override {
        if (Err e = p_.check("spooler.getPrinterDriverDirectory", S(environment))) return e;
        return in_.getPrinterDriverDirectory(server, environment, level, cbBuf, out);
    }
    Err getPrintProcessorDirectory(const char* server, const char* environment, std::uint32_t level,
                                   std::uint32_t cbBuf, std::string* out) override {
        if (Err e = p_.check("spooler.getPrintProcessorDirectory", S(environment))) return e;
        return in_.getPrintProcessorDirectory(server, environment, level, cbBuf, out);
    }
    Err setDefaultPrinter(const char* printerName) override {
        if (Err e = p_.check("spooler.setDefaultPrinter", S(printerName))) return e;
        return in_.setDefaultPrinter(printerName);
    }

private:
    Spooler& in_;
    FaultPlan& p_;
};

class FaultyServices : public Services {
public:
    FaultyServices(Services& in, FaultPlan& p) : in_(in), p_(p) {}
    Err openSCManager(const char* machine, std::uint32_t access, Handle* out) override {
        if (Err e = p_.check("services.openSCManager", S(machine))) return e;
        return in_.openSCManager(machine, access, out);
    }
    Err openService(Handle manager, const char* name, std::uint32_t access, Handle* out) override {
        if (Err e = p_.check("services.openService", S(name))) return e;
        return in_.openService(manager, name, access, out);
    }
    Err controlService(Handle service, std::uint32_t control, ServiceStatus* status) override {
        if (Err e = p_.check("services.controlService", "")) return e;
        return in_.controlService(service, control, status);
    }
    Err startService(Handle service) override {
        if (Err e = p_.check("services.startService", "")) return e;
        return in_.startService(service);
    }
    Err queryServiceStatus(Handle service, ServiceStatus* status) override {
        if (Err e = p_.check("services.queryServiceStatus", "")) return e;
        return in_.queryServiceStatus(service, status);
    }
    Err closeServiceHandle(Handle handle) override {
        if (Err e = p_.check("services.closeServiceHandle", "")) return e;
        return in_.closeServiceHandle(handle);
    }

private:
    Services& in_;
    FaultPlan& p_;
};

class FaultyFiles : public Files {
public:
    FaultyFiles(Files& in, FaultPlan& p) : in_(in), p_(p) {}
    Err getCurrentDirectory(std::uint32_t cch, std::string* out) override {
        if (Err e = p_.check("files.getCurrentDirectory", "")) return e;
        return in_.getCurrentDirectory(cch, out);
    }
    Err getModuleFileName(std::uint32_t cch, std::string* out) override {
        if (Err e = p_.check("files.getModuleFileName", "")) return e;
        return in_.getModuleFileName(cch, out);
    }
    Err getSystemDirectory(std::uint32_t cch, std::string* out) override {
        if (Err e = p_.check("files.getSystemDirectory", "")) return e;
        return in_.getSystemDirectory(cch, out);
    }
    Err getWindowsDirectory(std::uint32_t cch, std::string* out) override {
        if (Err e = p_.check("files.getWindowsDirectory", "")) return e;
        return in_.getWindowsDirectory(cch, out);
    }
    Err getTempPath(std::uint32_t cch, std::string* out) override {
        if (Err e = p_.check("files.getTempPath", "")) return e;
        return in_.getTempPath(cch, out);
    }
    Err findFirstFile(const std::string& pattern, Handle* find, FindData* data) override {
        if (Err e = p_.check("files.findFirstFile", pattern)) return e;
        return in_.findFirstFile(pattern, find, data);
    }
    Err findNextFile(Handle find, FindData* data) override {
        if (Err e = p_.check("files.findNextFile", "")) return e;
        return in_.findNextFile(find, data);
    }
    Err findClose(Handle find) override {
        if (Err e = p_.check("files.findClose", "")) return e;
        return in_.findClose(find);
    }
    Err createDirectory(const std::string& path) override {
        if (Err e = p_.check("files.createDirectory", path)) return e;
        return in_.createDirectory(path);
    }
    Err getFileAttributes(const std::string& path, std::uint32_t* attributes) override {
        if (Err e = p_.check("files.getFileAttributes", path)) return e;
        return in_.getFileAttributes(path, attributes);
    }
    Err setFileAttributes(const std::string& path, std::uint32_t attributes) override {
        if (Err e = p_.check("files.setFileAttributes", path)) return e;
        return in_.setFileAttributes(path, attributes);
    }
    Err copyFile(const std::string& from, const std::string& to, bool failIfExists) override {
        // Matched against both paths: a rule may name the source or the target.
        if (Err e = p_.check("files.copyFile", from + "|" + to)) return e;
        return in_.copyFile(from, to, failIfExists);
    }
    Err probeFile(const std::string& path) override {
        if (Err e = p_.check("files.probeFile", path)) return e;
        return in_.probeFile(path);
    }
    Err deleteFile(const std::string& path) override {
        if (Err e = p_.check("files.deleteFile", path)) return e;
        return in_.deleteFile(path);
    }
    Err readFile(const std::string& path, std::string* bytes) override {
        if (Err e = p_.check("files.readFile", path)) return e;
        return in_.readFile(path, bytes);
    }
    Err writeFile(const std::string& path, const std::string& bytes) override {
        if (Err e = p_.check("files.writeFile", path)) return e;
        return in_.writeFile(path, bytes);
    }
    Err getFileVersionInfoSize(const std::string& path, std::uint32_t* size) override {
        if (Err e = p_.check("files.getFileVersionInfoSize", path)) return e;
        return in_.getFileVersionInfoSize(path, size);
    }
    Err getFileVersionInfo(const std::string& path, std::vector<std::uint8_t>* block) override {
        if (Err e = p_.check("files.getFileVersionInfo", path)) return e;
        return in_.getFileVersionInfo(path, block);
    }
    Err loadBitmapFile(const std::string& path, Bitmap* out) override {
        if (Err e = p_.check("files.loadBitmapFile", path)) return e;
        return in_.loadBitmapFile(path, out);
    }

private:
    Files& in_;
    FaultPlan& p_;
};

class FaultySystem : public System {
public:
    FaultySystem(System& in, FaultPlan& p) : in_(in), p_(p) {}
    Err getVersionEx(OsVersionInfo* out) override {
        if (Err e = p_.check("system.getVersionEx", "")) return e;
        return in_.getVersionEx(out);
    }
    Err isWow64Process(bool* wow64) override {
        if (Err e = p_.check("system.isWow64Process", "")) return e;
        return in_.isWow64Process(wow64);
    }
    Err isUserAdmin(bool* admin) override {
        if (Err e = p_.check("system.isUserAdmin", "")) return e;
        return in_.isUserAdmin(admin);
    }
    Err enableShutdownPrivilege() override {
        if (Err e = p_.check("system.enableShutdownPrivilege", "")) return e;
        return in_.enableShutdownPrivilege();
    }
    Err exitWindowsEx(std::uint32_t flags, std::uint32_t reason) override {
        if (Err e = p_.check("system.exitWindowsEx", "")) return e;
        return in_.exitWindowsEx(flags, reason);
    }
    Err probeEntryPoint(const std::string& dll, const std::string& proc) override {
        if (Err e = p_.check("system.probeEntryPoint", dll + "|" + proc)) return e;
        return in_.probeEntryPoint(dll, proc);
    }
    Err allocate(std::size_t bytes) override {
        if (Err e = p_.check("system.allocate", "")) return e;
        return in_.allocate(bytes);
    }

private:
    System& in_;
    FaultPlan& p_;
};

class FaultyDesktop : public Desktop {
public:
    FaultyDesktop(Desktop& in, FaultPlan& p) : in_(in), p_(p) {}
    Hwnd findWindow(const std::string& title) override {
        if (p_.check("desktop.findWindow", title)) return 0;
        return in_.findWindow(title);
    }
    Err setForegroundWindow(Hwnd window) override {
        if (Err e = p_.check("desktop.setForegroundWindow", "")) return e;
        return in_.setForegroundWindow(window);
    }
    Err bringWindowToTop(Hwnd window) override {
        if (Err e = p_.check("desktop.bringWindowToTop", "")) return e;
        return in_.bringWindowToTop(window);
    }
    Err openIcon(Hwnd window) override {
        if (Err e = p_.check("desktop.openIcon", "")) return e;
        return in_.openIcon(window);
    }
    Err createMutex(const std::string& name, bool* alreadyExists) override {
        if (Err e = p_.check("desktop.createMutex", name)) return e;
        return in_.createMutex(name, alreadyExists);
    }
    std::intptr_t shellExecute(const char* verb, const char* file, const char* parameters,
                               const char* directory, int show) override {
        // A failed launch answers with the error number, as ShellExecuteA's
        // results of 32 and less are error numbers.
        if (Err e = p_.check("desktop.shellExecute", S(file) + "|" + S(parameters)))
            return static_cast<std::intptr_t>(e);
        return in_.shellExecute(verb, file, parameters, directory, show);
    }
    Err broadcastWinIniChange(const char* section, std::uint32_t timeoutMs) override {
        if (Err e = p_.check("desktop.broadcastWinIniChange", S(section))) return e;
        return in_.broadcastWinIniChange(section, timeoutMs);
    }
    Hwnd registerOwnWindow(const std::string& title) override {
        if (p_.check("desktop.registerOwnWindow", title)) return 0;
        return in_.registerOwnWindow(title);
    }
    void setOwnWindowTitle(Hwnd window, const std::string& title) override {
        if (p_.check("desktop.setOwnWindowTitle", title)) return;
        in_.setOwnWindowTitle(window, title);
    }
    void setOwnWindowState(Hwnd window, int show) override {
        if (p_.check("desktop.setOwnWindowState", "")) return;
        in_.setOwnWindowState(window, show);
    }
    void unregisterOwnWindow(Hwnd window) override {
        if (p_.check("desktop.unregisterOwnWindow", "")) return;
        in_.unregisterOwnWindow(window);
    }

private:
    Desktop& in_;
    FaultPlan& p_;
};

class FaultyUsb : public UsbLibrary {
public:
    FaultyUsb(UsbLibrary& in, FaultPlan& p) : in_(in), p_(p) {}
    Err load(const std::string& name) override {
        if (Err e = p_.check("usb.load", name)) return e;
        return in_.load(name);
    }
    bool hasEntryPoint(const std::string& name) override {
        if (p_.check("usb.hasEntryPoint", name)) return false;
        return in_.hasEntryPoint(name);
    }
    void unload() override {
        if (p_.check("usb.unload", "")) return;
        in_.unload();
    }
    int openDeviceX(int index) override {
        if (p_.check("usb.openDeviceX", std::to_string(index))) return -1;
        return in_.openDeviceX(index);
    }
    int getDescriptor(int handle, std::uint8_t* buffer20) override {
        if (p_.check("usb.getDescriptor", "")) return 0;
        return in_.getDescriptor(handle, buffer20);
    }
    int uWrite(int handle, int reserved, const std::uint8_t* data, int length) override {
        if (p_.check("usb.uWrite", "")) return 0;
        return in_.uWrite(handle, reserved, data, length);
    }
    void closeDevice(int handle) override {
        if (p_.check("usb.closeDevice", "")) return;
        in_.closeDevice(handle);
    }

private:
    UsbLibrary& in_;
    FaultPlan& p_;
};

class FaultyCabinets : public Cabinets {
public:
    FaultyCabinets(Cabinets& in, FaultPlan& p) : in_(in), p_(p) {}
    Err iterateCabinet(const std::string& cabinetPath, const FileCallback& onFile) override {
        if (Err e = p_.check("cabinets.iterateCabinet", cabinetPath)) return e;
        return in_.iterateCabinet(cabinetPath, onFile);
    }

private:
    Cabinets& in_;
    FaultPlan& p_;
};

class FaultyErrorText : public ErrorText {
public:
    FaultyErrorText(ErrorText& in, FaultPlan& p) : in_(in), p_(p) {}
    bool formatMessage(Err code, std::string* text) override {
        if (p_.check("errorText.formatMessage", std::to_string(code))) return false;
        return in_.formatMessage(code, text);
    }

private:
    ErrorText& in_;
    FaultPlan& p_;
};

class FaultyClock : public Clock {
public:
    FaultyClock(Clock& in, FaultPlan& p) : in_(in), p_(p) {}
    void sleep(std::uint32_t ms) override {
        if (p_.check("clock.sleep", std::to_string(ms))) return;
        in_.sleep(ms);
    }
    std::uint64_t tickCount() override { return in_.tickCount(); }

private:
    Clock& in_;
    FaultPlan& p_;
};

class FaultyPlatform : public Platform {
public:
    FaultyPlatform(Platform& in, FaultPlan& p)
        : profile_(in.profile(), p),
          registry_(in.registry(), p),
          spooler_(in.spooler(), p),
          services_(in.services(), p),
          files_(in.files(), p),
          system_(in.system(), p),
          desktop_(in.desktop(), p),
          usb_(in.usb(), p),
          cabinets_(in.cabinets(), p),
          errorText_(in.errorText(), p),
          clock_(in.clock(), p) {}
    Profile& profile() override { return profile_; }
    Registry& registry() override { return registry_; }
    Spooler& spooler() override { return spooler_; }
    Services& services() override { return services_; }
    Files& files() override { return files_; }
    System& system() override { return system_; }
    Desktop& desktop() override { return desktop_; }
    UsbLibrary& usb() override { return usb_; }
    Cabinets& cabinets() override { return cabinets_; }
    ErrorText& errorText() override { return errorText_; }
    Clock& clock() override { return clock_; }

private:
    FaultyProfile profile_;
    FaultyRegistry registry_;
    FaultySpooler spooler_;
    FaultyServices services_;
    FaultyFiles files_;
    FaultySystem system_;
    FaultyDesktop desktop_;
    FaultyUsb usb_;
    FaultyCabinets cabinets_;
    FaultyErrorText errorText_;
    FaultyClock clock_;
};

}  // namespace

std::unique_ptr<Platform> MakeFaultyPlatform(Platform& inner, FaultPlan& plan) {
    return std::make_unique<FaultyPlatform>(inner, plan);
}

}  // namespace plat::sim
