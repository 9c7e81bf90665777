// A stand-in for the maker's USB interface library, for the contract
// program: one printer answers at index 2; a write of the identity command
// sets the device number that the descriptor then reports. Built with the
// standard calling convention, as the real library is, so that a mismatch
// in the caller's function types shows up as a broken stack on 32-bit.
#include <windows.h>

namespace {
constexpr int kPrinterHandle = 0x5A17;
unsigned short deviceNumber = 0x0108;
}  // namespace

extern "C" {

__declspec(dllexport) int __stdcall OpenDeviceX(int index) {
    return index == 2 ? kPrinterHandle : (index == 5 ? 0 : -1);
}

__declspec(dllexport) int __stdcall GetDescriptor(int handle, unsigned char* buffer) {
    if (handle != kPrinterHandle || buffer == nullptr) return 0;
    buffer[0] = 18;  // bLength of a device descriptor
    buffer[1] = 1;   // bDescriptorType
    buffer[12] = static_cast<unsigned char>(deviceNumber & 0xFF);
    buffer[13] = static_cast<unsigned char>(deviceNumber >> 8);
    return 1;
}

// The identity command ends with the new number's remainder (n - 1).
__declspec(dllexport) int __stdcall uWrite(int handle, int reserved, unsigned char* data,
                                           int length) {
    if (handle != kPrinterHandle || reserved != 0 || data == nullptr || length != 10) return 0;
    if (data[0] != 0x1B || data[6] != 0x1D || data[7] != 0x49) return 0;
    deviceNumber = static_cast<unsigned short>((deviceNumber & ~7u) | (data[9] & 7u));
    return length;
}

__declspec(dllexport) void __stdcall CloseDevice(int) {}

}  // extern "C"
