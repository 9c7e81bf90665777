// The service control manager of the simulated machine. It knows one
// service, "Spooler", whose state is machine.ini [Spooler] State. After a
// start, [Spooler] StartPendingQueries=N status queries still answer
// SERVICE_START_PENDING (the count left is kept in PendingQueriesLeft), so
// that a caller's wait loop is exercised. Windows 9x has no manager.
#include <strings.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>

#include "platform/sim/sim_parts.h"

namespace plat::sim {
namespace {

constexpr std::uint32_t kServiceWin32OwnProcess = 0x10;
constexpr std::uint32_t kServiceAcceptStop = 0x1;
constexpr const char* kSpooler = "Spooler";

class SimServices : public Services {
public:
    explicit SimServices(SimContext& ctx) : c_(ctx) {}

    Err openSCManager(const char*, std::uint32_t, Handle* out) override {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        if (!c_.os.hasScm) return ERROR_CALL_NOT_IMPLEMENTED;
        *out = next_++;
        handles_[*out] = Entry{true, 0};
        return ERROR_SUCCESS;
    }

    Err openService(Handle manager, const char* name, std::uint32_t access, Handle* out) override {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        auto it = handles_.find(manager);
        if (it == handles_.end() || !it->second.manager) return ERROR_INVALID_HANDLE;
        if (!name || strcasecmp(name, kSpooler) != 0) return ERROR_SERVICE_DOES_NOT_EXIST;
        *out = next_++;
        handles_[*out] = Entry{false, access};
        return ERROR_SUCCESS;
    }

    Err controlService(Handle service, std::uint32_t control, ServiceStatus* status) override {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        const Entry* e = serviceEntry(service);
        if (!e) return ERROR_INVALID_HANDLE;
        if (control == SERVICE_CONTROL_STOP) {
            if (!(e->access & SERVICE_STOP)) return ERROR_ACCESS_DENIED;
            if (!running()) return ERROR_SERVICE_NOT_ACTIVE;
            c_.state.set("Spooler", "State", "stopped");
            c_.state.erase("Spooler", "PendingQueriesLeft");
            c_.state.log("Service Spooler stopped");
        } else if (control == SERVICE_CONTROL_INTERROGATE) {
            if (!running()) return ERROR_SERVICE_NOT_ACTIVE;
        } else {
            return ERROR_INVALID_PARAMETER;
        }
        if (status) fill(status, running() ? SERVICE_RUNNING : SERVICE_STOPPED);
        return ERROR_SUCCESS;
    }

    Err startService(Handle service) override {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        const Entry* e = serviceEntry(service);
        if (!e) return ERROR_INVALID_HANDLE;
        if (!(e->access & SERVICE_START)) return ERROR_ACCESS_DENIED;
        if (running()) return ERROR_SERVICE_ALREADY_RUNNING;
        c_.state.set("Spooler", "State", "running");
        std::string pending = c_.state.get("Spooler", "StartPendingQueries", "0");
        if (std::strtol(pending.c_str(), nullptr, 10) > 0) {
            c_.state.set("Spooler", "PendingQueriesLeft", pending);
        }
        c_.state.log("Service Spooler started");
        return ERROR_SUCCESS;
    }

    Err queryServiceStatus(Handle service, ServiceStatus* status) override {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        const Entry* e = serviceEntry(service);
        if (!e) return ERROR_INVALID_HANDLE;
        if (!(e->access & SERVICE_QUERY_STATUS)) return ERROR_ACCESS_DENIED;
        std::uint32_t state = running() ? SERVICE_RUNNING : SERVICE_STOPPED;
        long left = std::strtol(c_.state.get("Spooler", "PendingQueriesLeft", "0").c_str(), nullptr, 10);
        if (state == SERVICE_RUNNING && left > 0) {
            state = SERVICE_START_PENDING;
            if (left == 1) {
                c_.state.erase("Spooler", "PendingQueriesLeft");
            } else {
                c_.state.set("Spooler", "PendingQueriesLeft", std::to_string(left - 1));
            }
        }
        fill(status, state);
        return ERROR_SUCCESS;
    }

    Err closeServiceHandle(Handle handle) override {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        return handles_.erase(handle) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
    }

private:
    struct Entry {
        bool manager;
        std::uint32_t access;
    };

    const Entry* serviceEntry(Handle h) const {
        auto it = handles_.find(h);
        return (it == handles_.end() || it->second.manager) ? nullptr : &it->second;
    }

    bool running() {
        return strcasecmp(c_.state.get("Spooler", "State", "running").c_str(), "stopped") != 0;
    }

    static void fill(ServiceStatus* status, std::uint32_t state) {
        *status = ServiceStatus{};
        status->serviceType = kServiceWin32OwnProcess;
        status->currentState = state;
        status->controlsAccepted = state == SERVICE_RUNNING ? kServiceAcceptStop : 0;
        status->waitHint = state == SERVICE_START_PENDING ? 2000 : 0;
        status->checkPoint = state == SERVICE_START_PENDING ? 1 : 0;
    }

    std::recursive_mutex mutex_;   // the programs' threads may share the object
    SimContext& c_;
    std::map<Handle, Entry> handles_;
    Handle next_ = 0x7000;
};

}  // namespace

std::unique_ptr<Services> MakeSimServices(SimContext& ctx) {
    return std::make_unique<SimServices>(ctx);
}

}  // namespace plat::sim
