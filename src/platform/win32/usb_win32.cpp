// The maker's USB interface library, loaded by name; its four entry points
// use the standard calling convention (the callee removes the arguments).
#include <windows.h>

#include <vector>

#include "platform/win32/win32_parts.h"
#include "platform/win32/win32_util.h"

namespace plat::win32 {
namespace {

using OpenDeviceXFn = int(__stdcall*)(int);
using GetDescriptorFn = int(__stdcall*)(int, unsigned char*);
using UWriteFn = int(__stdcall*)(int, int, unsigned char*, int);
using CloseDeviceFn = void(__stdcall*)(int);

class Win32Usb final : public UsbLibrary {
public:
    ~Win32Usb() override { unload(); }

    Err load(const std::string& name) override {
        unload();  // a second load replaces the first rather than leaking it
        module_ = LoadLibraryA(name.c_str());
        if (!module_) return LastErrorOr(ERROR_MOD_NOT_FOUND);
        return 0;
    }

    bool hasEntryPoint(const std::string& name) override {
        if (!module_) return false;
        const FARPROC p = GetProcAddress(module_, name.c_str());
        if (name == "OpenDeviceX") openDeviceX_ = ProcAs<OpenDeviceXFn>(p);
        if (name == "GetDescriptor") getDescriptor_ = ProcAs<GetDescriptorFn>(p);
        if (name == "uWrite") uWrite_ = ProcAs<UWriteFn>(p);
        if (name == "CloseDevice") closeDevice_ = ProcAs<CloseDeviceFn>(p);
        return p != nullptr;
    }

    void unload() override {
        if (module_) FreeLibrary(module_);
        module_ = nullptr;
        openDeviceX_ = nullptr;
        getDescriptor_ = nullptr;
        uWrite_ = nullptr;
        closeDevice_ = nullptr;
    }

    // Called before a successful lookup, the entry points answer as a
    // library without a device would.
    int openDeviceX(int index) override { return openDeviceX_ ? openDeviceX_(index) : -1; }

    int getDescriptor(int handle, std::uint8_t* buffer20) override {
        return getDescriptor_ ? getDescriptor_(handle, buffer20) : 0;
    }

    int uWrite(int handle, int reserved, const std::uint8_t* data, int length) override {
        if (!uWrite_ || (!data && length > 0)) return 0;
        // The library takes a writable pointer; hand it a copy so that the
        // caller's bytes stay as they were whatever it does.
        std::vector<unsigned char> copy(data, data + (length > 0 ? length : 0));
        return uWrite_(handle, reserved, copy.empty() ? nullptr : copy.data(), length);
    }

    void closeDevice(int handle) override {
        if (closeDevice_) closeDevice_(handle);
    }

private:
    HMODULE module_ = nullptr;
    OpenDeviceXFn openDeviceX_ = nullptr;
    GetDescriptorFn getDescriptor_ = nullptr;
    UWriteFn uWrite_ = nullptr;
    CloseDeviceFn closeDevice_ = nullptr;
};

}  // namespace

std::unique_ptr<UsbLibrary> MakeUsbLibrary() { return std::make_unique<Win32Usb>(); }

}  // namespace plat::win32
