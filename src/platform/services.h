// The service control manager, after OpenSCManagerA, OpenServiceA,
// ControlService, StartServiceA, QueryServiceStatus, CloseServiceHandle.
#pragma once

#include <cstdint>
#include <string>

#include "platform/win_types.h"

namespace plat {

struct ServiceStatus {
    std::uint32_t serviceType = 0;
    std::uint32_t currentState = 0;
    std::uint32_t controlsAccepted = 0;
    std::uint32_t win32ExitCode = 0;
    std::uint32_t serviceSpecificExitCode = 0;
    std::uint32_t checkPoint = 0;
    std::uint32_t waitHint = 0;
};

class Services {
public:
    virtual ~Services() = default;
    // On Windows 9x there is no manager: ERROR_CALL_NOT_IMPLEMENTED.
    virtual Err openSCManager(const char* machine, std::uint32_t access, Handle* out) = 0;
    virtual Err openService(Handle manager, const char* name, std::uint32_t access,
                            Handle* out) = 0;
    virtual Err controlService(Handle service, std::uint32_t control, ServiceStatus* status) = 0;
    virtual Err startService(Handle service) = 0;
    virtual Err queryServiceStatus(Handle service, ServiceStatus* status) = 0;
    virtual Err closeServiceHandle(Handle handle) = 0;
};

}  // namespace plat
