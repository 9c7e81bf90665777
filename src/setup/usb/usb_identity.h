// The attached USB printer's identity: the small number (its device release
// number modulo 8, plus 1) that decides which of its model's USB ports it
// belongs to, read and written through the maker's interface library
// KsUsbInt.dll, loaded anew on every call.
#pragma once

#include <cstdint>

namespace setup {

// Results of UsbDeviceId besides a device number.
inline constexpr int kNoUsbPrinter = -1;        // none answers, or the query failed
inline constexpr int kSeveralUsbPrinters = -2;  // more than one is attached

// The device number (0..65535) of the one attached USB printer, or one of
// the two results above. Shows its own messages (library missing, entry
// point missing, a second printer, an unreadable descriptor).
int UsbDeviceId();

// The port number 1..8 that a device number stands for: (d mod 8) + 1, the
// remainder taking the sign of d, so -2 gives -1 and -1 gives 0.
int UsbPortNumber(int deviceId);

// Writes port number n (only its low byte counts; 1..8) into the printer
// with the identity command. False, without a message, for 0 or above 8;
// otherwise shows its own message on failure.
bool UsbWriteId(int n);

// The identity command for port number n (1..8): 10 bytes.
void BuildIdentityCommand(std::uint8_t n, std::uint8_t command[10]);

}  // namespace setup
