// The platform seam: everything the programs ask of Windows, as one object.
// The programs receive a Platform and never name a back end.
#pragma once

#include "platform/cabinet.h"
#include "platform/clock.h"
#include "platform/desktop.h"
#include "platform/error_text.h"
#include "platform/files.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/services.h"
#include "platform/spooler.h"
#include "platform/system.h"
#include "platform/usb.h"
#include "platform/win_types.h"

namespace plat {

class Platform {
public:
    virtual ~Platform() = default;
    virtual Profile& profile() = 0;
    virtual Registry& registry() = 0;
    virtual Spooler& spooler() = 0;
    virtual Services& services() = 0;
    virtual Files& files() = 0;
    virtual System& system() = 0;
    virtual Desktop& desktop() = 0;
    virtual UsbLibrary& usb() = 0;
    virtual Cabinets& cabinets() = 0;
    virtual ErrorText& errorText() = 0;
    virtual Clock& clock() = 0;
};

}  // namespace plat
