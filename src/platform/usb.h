// The maker's USB interface library, loaded by name at run time, with its
// four entry points (all __stdcall on Windows).
#pragma once

#include <cstdint>
#include <string>

#include "platform/win_types.h"

namespace plat {

class UsbLibrary {
public:
    virtual ~UsbLibrary() = default;
    // LoadLibraryA(name). Not found: ERROR_MOD_NOT_FOUND.
    virtual Err load(const std::string& name) = 0;
    // GetProcAddress on the loaded library.
    virtual bool hasEntryPoint(const std::string& name) = 0;
    // FreeLibrary.
    virtual void unload() = 0;

    // The entry points; valid only after a successful load and lookup.
    virtual int openDeviceX(int index) = 0;                                 // 0 or -1: none
    virtual int getDescriptor(int handle, std::uint8_t* buffer20) = 0;     // 0: failure
    virtual int uWrite(int handle, int reserved, const std::uint8_t* data, int length) = 0;
    virtual void closeDevice(int handle) = 0;
};

}  // namespace plat
