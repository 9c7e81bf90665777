#include "setup/engine/spooler_service.h"

#include <cstdio>

#include "common/sys.h"

namespace setup {
namespace {

constexpr const char* kSpooler = "Spooler";
constexpr int kStatusQueries = 10;
constexpr std::uint32_t kQueryPauseMs = 300;
constexpr std::uint32_t kAfterStopMs = 100;

plat::Services& Scm() { return common::Sys().services(); }

// The manager and the service, opened with the one right an operation
// needs, and closed again when the operation leaves.
class SpoolerHandles {
public:
    explicit SpoolerHandles(std::uint32_t access) {
        if (Scm().openSCManager(nullptr, SC_MANAGER_ALL_ACCESS, &manager_) != ERROR_SUCCESS) {
            manager_ = 0;
            return;
        }
        if (Scm().openService(manager_, kSpooler, access, &service_) != ERROR_SUCCESS) {
            service_ = 0;
        }
    }
    ~SpoolerHandles() {
        CloseService();
        if (manager_) Scm().closeServiceHandle(manager_);
    }
    SpoolerHandles(const SpoolerHandles&) = delete;
    SpoolerHandles& operator=(const SpoolerHandles&) = delete;

    bool HasManager() const { return manager_ != 0; }
    plat::Handle Service() const { return service_; }
    void CloseService() {
        if (service_) Scm().closeServiceHandle(service_);
        service_ = 0;
    }

private:
    plat::Handle manager_ = 0;
    plat::Handle service_ = 0;
};

}  // namespace

void StopSpooler() {
    SpoolerHandles handles(SERVICE_STOP);
    if (!handles.HasManager()) return;
    if (handles.Service()) {
        plat::ServiceStatus status;
        // Whatever the answer (not running included), the caller goes on.
        Scm().controlService(handles.Service(), SERVICE_CONTROL_STOP, &status);
        handles.CloseService();
    }
    common::Sys().clock().sleep(kAfterStopMs);
}

void StartSpooler(std::string& resultText) {
    SpoolerHandles handles(SERVICE_START);
    if (!handles.Service()) return;
    plat::Err err = Scm().startService(handles.Service());
    if (err != ERROR_SUCCESS && err != ERROR_SERVICE_ALREADY_RUNNING) {
        char text[64];
        std::snprintf(text, sizeof text, "Start spool service error, error code = %u",
                      static_cast<unsigned>(err));
        resultText = text;
    }
}

std::uint32_t WaitSpoolerRunning(std::string& resultText) {
    std::uint32_t state = SERVICE_STOPPED;
    {
        SpoolerHandles handles(SERVICE_QUERY_STATUS);
        if (handles.Service()) {
            for (int i = 0; i < kStatusQueries; ++i) {
                plat::ServiceStatus status;
                if (Scm().queryServiceStatus(handles.Service(), &status) == ERROR_SUCCESS) {
                    state = status.currentState;
                }
                if (state == SERVICE_RUNNING) break;
                common::Sys().clock().sleep(kQueryPauseMs);
            }
        }
    }
    if (state != SERVICE_RUNNING) resultText = "StartSpoolService error";
    return state;
}

}  // namespace setup
