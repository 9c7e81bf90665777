// The maker's USB interface library on the simulated machine.
//
// The library loads when a file of its name lies in the program's folder,
// the current folder or the system folder (as LoadLibraryA searches); its
// entry points are those its SIM-EXPORTS line declares, all four when the
// line is missing. The printers it reaches are machine.ini [USB]
// Printer<N>=<device release number>, in file order: OpenDeviceX(i) answers
// for i below their count. A printer takes the identity command
// (ESC, three letters and two bytes above 0x7F, GS, 'I', 0x20, n-1) by
// changing its release number so that release % 8 == n-1; every write is
// logged in hex.
#include <strings.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>

#include "platform/sim/pe_declarations.h"
#include "platform/sim/sim_parts.h"

namespace plat::sim {
namespace {

constexpr std::uint16_t kVendorId = 0x0DD4;    // the simulated printers' vendor and product
constexpr std::uint16_t kProductId = 0x0195;
constexpr int kNoDevice = -1;
constexpr int kFirstHandle = 0x40;

const char* const kAllExports[] = {"OpenDeviceX", "GetDescriptor", "uWrite", "CloseDevice"};

std::string Folder(const std::string& path) {
    std::size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool IsIdentityCommand(const std::uint8_t* d, int length) {
    if (length != 10 || d[0] != 0x1B || d[6] != 0x1D || d[7] != 'I' || d[8] != 0x20 || d[9] > 7) {
        return false;
    }
    for (int i = 1; i <= 3; ++i) {
        bool letter = (d[i] >= 'A' && d[i] <= 'Z') || (d[i] >= 'a' && d[i] <= 'z');
        if (!letter) return false;
    }
    return d[4] > 0x7F && d[5] > 0x7F;
}

class SimUsb : public UsbLibrary {
public:
    explicit SimUsb(SimContext& ctx) : c_(ctx) {}

    Err load(const std::string& name) override {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        std::vector<std::string> candidates;
        if (name.find('\\') != std::string::npos) {
            candidates.push_back(name);
        } else {
            std::string dir;
            if (c_.files.getModuleFileName(260, &dir) == ERROR_SUCCESS) candidates.push_back(Folder(dir) + "\\" + name);
            if (c_.files.getCurrentDirectory(260, &dir) == ERROR_SUCCESS) {
                candidates.push_back(dir + (dir.back() == '\\' ? "" : "\\") + name);
            }
            if (c_.files.getSystemDirectory(260, &dir) == ERROR_SUCCESS) candidates.push_back(dir + "\\" + name);
        }
        for (const std::string& path : candidates) {
            std::string bytes;
            if (c_.files.readFile(path, &bytes) != ERROR_SUCCESS) continue;
            exports_.clear();
            std::string declared;
            if (FindDeclaration(bytes, "SIM-EXPORTS", &declared)) {
                exports_ = SplitList(declared);
            } else {
                exports_.assign(std::begin(kAllExports), std::end(kAllExports));
            }
            loaded_ = true;
            return ERROR_SUCCESS;
        }
        return ERROR_MOD_NOT_FOUND;
    }

    bool hasEntryPoint(const std::string& name) override {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        if (!loaded_) return false;
        for (const std::string& e : exports_) {
            if (e == name) return true;   // GetProcAddress matches exactly
        }
        return false;
    }

    void unload() override {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        loaded_ = false;
        exports_.clear();
    }

    int openDeviceX(int index) override {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        if (!callable("OpenDeviceX")) return kNoDevice;
        auto printers = attached();
        if (index < 0 || static_cast<std::size_t>(index) >= printers.size()) return kNoDevice;
        int handle = kFirstHandle + index;
        open_[handle] = printers[static_cast<std::size_t>(index)].first;
        return handle;
    }

    int getDescriptor(int handle, std::uint8_t* buffer20) override {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        if (!callable("GetDescriptor") || !buffer20) return 0;
        std::string key;
        long release = 0;
        if (!printerOf(handle, &key, &release)) return 0;
        const std::uint8_t descriptor[18] = {
            18, 1,                    // bLength, DEVICE
            0x00, 0x02,               // bcdUSB 2.00
            0, 0, 0,                  // class per interface
            64,                       // bMaxPacketSize0
            kVendorId & 0xFF, kVendorId >> 8,
            kProductId & 0xFF, kProductId >> 8,
            static_cast<std::uint8_t>(release & 0xFF), static_cast<std::uint8_t>((release >> 8) & 0xFF),
            1, 2, 3,                  // manufacturer, product, serial strings
            1,                        // configurations
        };
        std::copy(std::begin(descriptor), std::end(descriptor), buffer20);
        return 18;
    }

    int uWrite(int handle, int, const std::uint8_t* data, int length) override {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        if (!callable("uWrite") || !data || length <= 0) return 0;
        std::string key;
        long release = 0;
        if (!printerOf(handle, &key, &release)) return 0;
        std::string hex;
        for (int i = 0; i < length; ++i) {
            char b[4];
            std::snprintf(b, sizeof b, i ? " %02X" : "%02X", data[i]);
            hex += b;
        }
        c_.state.log("USB " + key + " write: " + hex);
        if (IsIdentityCommand(data, length)) {
            long changed = release - release % 8 + data[9];
            c_.state.set("USB", key, std::to_string(changed));
            c_.state.log("USB " + key + " release number " + std::to_string(release) + " -> " +
                         std::to_string(changed));
        }
        return length;
    }

    void closeDevice(int handle) override {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        open_.erase(handle);
    }

private:
    bool callable(const char* entry) { return hasEntryPoint(entry); }

    // (key, release) of each attached printer, in machine.ini order.
    std::vector<std::pair<std::string, long>> attached() {
        std::vector<std::pair<std::string, long>> list;
        for (const auto& [key, value] : c_.state.section("USB")) {
            if (strncasecmp(key.c_str(), "Printer", 7) != 0) continue;
            char* end = nullptr;
            long release = std::strtol(value.c_str(), &end, 10);
            if (end == value.c_str() || release < 0 || release > 0xFFFF) continue;
            list.emplace_back(key, release);
        }
        return list;
    }

    // The printer behind an open handle, as long as it is still attached.
    bool printerOf(int handle, std::string* key, long* release) {
        auto it = open_.find(handle);
        if (it == open_.end()) return false;
        for (const auto& [k, r] : attached()) {
            if (k == it->second) {
                *key = k;
                *release = r;
                return true;
            }
        }
        return false;
    }

    std::recursive_mutex mutex_;   // the programs' threads may share the object
    SimContext& c_;
    bool loaded_ = false;
    std::vector<std::string> exports_;
    std::map<int, std::string> open_;
};

}  // namespace

std::unique_ptr<UsbLibrary> MakeSimUsb(SimContext& ctx) { return std::make_unique<SimUsb>(ctx); }

}  // namespace plat::sim
