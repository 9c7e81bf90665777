// The USB printer's identity through KsUsbInt.dll. Every call loads the
// library, looks up what it needs, and releases the device and the library
// again on every path, the failing ones included.
#include "setup/usb/usb_identity.h"

#include <cstring>

#include "common/language_text.h"
#include "common/sys.h"
#include "ui/message_box.h"

namespace setup {
namespace {

const char kLibrary[] = "KsUsbInt.dll";
constexpr int kMaxDevices = 8;
constexpr int kDescriptorSize = 20;
constexpr int kDeviceNumberOffset = 12;

// The printers' service code: three letters and two bytes above 0x7F.
constexpr std::uint8_t kServiceLetters[3] = {'K', 'S', 'T'};
constexpr std::uint8_t kServiceMarks[2] = {0xD3, 0xC3};

bool Answers(int handle) { return handle != 0 && handle != -1; }

// The loaded library; released when it goes out of scope.
class Library {
public:
    Library() : usb_(common::Sys().usb()) {}
    ~Library() {
        if (loaded_) usb_.unload();
    }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    // Loads it and looks up the entry points; shows the message on failure.
    bool Load(std::initializer_list<const char*> entryPoints) {
        if (usb_.load(kLibrary) != ERROR_SUCCESS) {
            ui::AppMessageBox("Can not load KsUsbInt.dll");
            return false;
        }
        loaded_ = true;
        for (const char* name : entryPoints) {
            if (!usb_.hasEntryPoint(name)) {
                ui::AppMessageBox("open function error");
                return false;
            }
        }
        return true;
    }
    // The first printer that answers at index 0..7; 0 when none does.
    int FindPrinter() {
        for (int index = 0; index < kMaxDevices; ++index) {
            int h = usb_.openDeviceX(index);
            if (Answers(h)) return h;
        }
        return 0;
    }
    plat::UsbLibrary& operator*() { return usb_; }
    plat::UsbLibrary* operator->() { return &usb_; }

private:
    plat::UsbLibrary& usb_;
    bool loaded_ = false;
};

// An open device; closed when it goes out of scope.
class Device {
public:
    Device(plat::UsbLibrary& usb, int handle) : usb_(usb), handle_(handle) {}
    ~Device() {
        if (Answers(handle_)) usb_.closeDevice(handle_);
    }
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;
    int handle() const { return handle_; }

private:
    plat::UsbLibrary& usb_;
    int handle_;
};

}  // namespace

int UsbPortNumber(int deviceId) { return deviceId % 8 + 1; }

void BuildIdentityCommand(std::uint8_t n, std::uint8_t command[10]) {
    command[0] = 0x1B;
    std::memcpy(command + 1, kServiceLetters, 3);
    std::memcpy(command + 4, kServiceMarks, 2);
    command[6] = 0x1D;
    command[7] = 0x49;
    command[8] = 0x20;
    command[9] = static_cast<std::uint8_t>(n - 1);
}

int UsbDeviceId() {
    Library lib;
    if (!lib.Load({"OpenDeviceX", "GetDescriptor", "CloseDevice"})) return kNoUsbPrinter;

    int found = 0;
    for (int index = 0; index < kMaxDevices; ++index) {
        Device device(*lib, lib->openDeviceX(index));
        if (Answers(device.handle()) && ++found == 2) {
            ui::AppMessageBox(common::messageText().GetText("IDS_ERR_ONEPRINTER"));
            return kSeveralUsbPrinters;
        }
    }

    int handle = lib.FindPrinter();
    if (!handle) return kNoUsbPrinter;
    Device device(*lib, handle);
    std::uint8_t descriptor[kDescriptorSize] = {};
    if (lib->getDescriptor(handle, descriptor) == 0) {
        ui::AppMessageBox("Get Device ID error");
        return kNoUsbPrinter;
    }
    return descriptor[kDeviceNumberOffset] | (descriptor[kDeviceNumberOffset + 1] << 8);
}

bool UsbWriteId(int n) {
    std::uint8_t port = static_cast<std::uint8_t>(n & 0xFF);
    if (port == 0 || port > kMaxDevices) return false;

    Library lib;
    if (!lib.Load({"OpenDeviceX", "uWrite", "CloseDevice"})) return false;
    int handle = lib.FindPrinter();
    if (!handle) {
        ui::AppMessageBox("Can not find USB device.");
        return false;
    }
    Device device(*lib, handle);
    std::uint8_t command[10];
    BuildIdentityCommand(port, command);
    if (lib->uWrite(handle, 0, command, sizeof command) <= 0) {
        ui::AppMessageBox("write ID error");
        return false;
    }
    return true;
}

}  // namespace setup
