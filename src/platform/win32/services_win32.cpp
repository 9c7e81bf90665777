// The service control manager through the ANSI service calls.
#include <windows.h>

#include "platform/win32/win32_parts.h"
#include "platform/win32/win32_util.h"

namespace plat::win32 {
namespace {

void CopyStatus(const SERVICE_STATUS& s, ServiceStatus* out) {
    if (!out) return;
    out->serviceType = s.dwServiceType;
    out->currentState = s.dwCurrentState;
    out->controlsAccepted = s.dwControlsAccepted;
    out->win32ExitCode = s.dwWin32ExitCode;
    out->serviceSpecificExitCode = s.dwServiceSpecificExitCode;
    out->checkPoint = s.dwCheckPoint;
    out->waitHint = s.dwWaitHint;
}

class Win32Services final : public Services {
public:
    Err openSCManager(const char* machine, std::uint32_t access, Handle* out) override {
        const SC_HANDLE h = OpenSCManagerA(machine, nullptr, access);
        if (!h) return LastError();
        *out = ToHandle(h);
        return 0;
    }

    Err openService(Handle manager, const char* name, std::uint32_t access, Handle* out) override {
        const SC_HANDLE h = OpenServiceA(FromHandle<SC_HANDLE>(manager), name, access);
        if (!h) return LastError();
        *out = ToHandle(h);
        return 0;
    }

    Err controlService(Handle service, std::uint32_t control, ServiceStatus* status) override {
        // The status is filled on some failures too (a service that cannot
        // take the control now still reports its state).
        SERVICE_STATUS s{};
        const BOOL ok = ControlService(FromHandle<SC_HANDLE>(service), control, &s);
        const Err e = ok ? 0 : LastError();
        CopyStatus(s, status);
        return e;
    }

    Err startService(Handle service) override {
        return Checked([&] { return StartServiceA(FromHandle<SC_HANDLE>(service), 0, nullptr); });
    }

    Err queryServiceStatus(Handle service, ServiceStatus* status) override {
        SERVICE_STATUS s{};
        if (!QueryServiceStatus(FromHandle<SC_HANDLE>(service), &s)) return LastError();
        CopyStatus(s, status);
        return 0;
    }

    Err closeServiceHandle(Handle handle) override {
        return Checked([&] { return CloseServiceHandle(FromHandle<SC_HANDLE>(handle)); });
    }
};

}  // namespace

std::unique_ptr<Services> MakeServices() { return std::make_unique<Win32Services>(); }

}  // namespace plat::win32
