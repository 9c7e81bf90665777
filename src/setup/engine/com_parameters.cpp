#include "setup/engine/com_parameters.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "common/sys.h"
#include "setup/engine/reg_key.h"
#include "setup/wizard/install_selection.h"

namespace setup {
namespace {

constexpr std::size_t kDcbSize = 28;

// The flow letter written: hardware handshake, Xon/Xoff, or a blank for none.
char FlowLetter(char flowControl) {
    return flowControl == 'p' || flowControl == 'x' ? flowControl : ' ';
}

void PutU32(std::string& block, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) block[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::string PortClassPath(int entry) {
    return "System\\CurrentControlSet\\Services\\Class\\Ports\\000" + std::to_string(entry);
}

// Number of the port-class entry (0000..0003) whose PortSubClass marks it as
// the nth serial port, or -1.
int SerialPortClassEntry(int portNumber) {
    int serialSeen = 0;
    RegKey key;
    for (int entry = 0; entry < 4; ++entry) {
        if (!key.Open(HKEY_LOCAL_MACHINE, PortClassPath(entry).c_str())) continue;
        unsigned char subClass[3] = {};
        if (key.QueryValue("PortSubClass", subClass, sizeof subClass) && subClass[0] == 1) {
            if (++serialSeen == portNumber) return entry;
        }
    }
    return -1;
}

}  // namespace

std::string ComSettingsText(int baudRate, char parity, int dataBits, double stopBits,
                            char flowControl) {
    char text[96];
    const char* format = stopBits == 1.5 ? "%d,%c,%d,%.1f,%c" : "%d,%c,%d,%.0f,%c";
    std::snprintf(text, sizeof text, format, baudRate, parity, dataBits, stopBits,
                  FlowLetter(flowControl));
    return text;
}

std::string ComDeviceControlBlock(int baudRate, char parity, int dataBits, double stopBits,
                                  char flowControl) {
    std::string dcb(kDcbSize, '\0');
    PutU32(dcb, 0, kDcbSize);                              // DCBlength
    PutU32(dcb, 4, static_cast<std::uint32_t>(baudRate));  // BaudRate

    bool parityOn = parity == 'e' || parity == 'o' || parity == 'm' || parity == 's';
    std::uint32_t bits = 1;                                // fBinary
    if (parityOn) bits |= 1u << 1 | 1u << 10;             // fParity, fErrorChar
    if (flowControl == 'p') bits |= 1u << 2 | 1u << 12;   // fOutxCtsFlow, RTS_CONTROL_ENABLE
    if (flowControl == 'x') bits |= 1u << 8 | 1u << 9;    // fOutX, fInX
    PutU32(dcb, 8, bits);

    dcb[18] = static_cast<char>(dataBits);                 // ByteSize
    const char* letters = "noems";                         // NOPARITY .. SPACEPARITY
    const char* found = parity ? std::strchr(letters, parity) : nullptr;
    dcb[19] = static_cast<char>(found ? found - letters : 0);
    dcb[20] = static_cast<char>(stopBits == 1.5 ? 1 : stopBits == 2.0 ? 2 : 0);
    if (flowControl == 'x') {
        dcb[21] = 0x11;                                    // XonChar
        dcb[22] = 0x13;                                    // XoffChar
    }
    return dcb;
}

void WriteComParameters(InstallSelection& selection) {
    const char* com = std::strstr(selection.portName, "COM");
    if (!com) return;
    std::string portName = com;   // "COM1:", also for the maker's "KSCOM1:"
    int portNumber = std::isdigit(static_cast<unsigned char>(com[3])) ? com[3] - '0' : 0;
    selection.parity =
        static_cast<char>(std::tolower(static_cast<unsigned char>(selection.parity)));

    std::string settings = ComSettingsText(selection.baudRate, selection.parity,
                                           selection.dataBits, selection.stopBits,
                                           selection.flowControl);
    if (selection.osClass >= 1 && selection.osClass <= 7) {
        RegKey key;
        if (key.Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports")) {
            key.SetString(portName.c_str(), settings.c_str());
        }
        return;
    }

    if (portNumber == 1 || portNumber == 2) {
        int entry = SerialPortClassEntry(portNumber);
        if (entry >= 0) {
            std::string dcb = ComDeviceControlBlock(selection.baudRate, selection.parity,
                                                    selection.dataBits, selection.stopBits,
                                                    selection.flowControl);
            RegKey key;
            if (key.Open(HKEY_LOCAL_MACHINE, PortClassPath(entry).c_str())) {
                key.SetValue("DCB", dcb.data(), REG_NONE, static_cast<std::uint32_t>(dcb.size()));
            }
        }
    }
    plat::Profile& profile = common::Sys().profile();
    profile.writeProfileString("Ports", portName.c_str(), settings.c_str());
    common::Sys().desktop().broadcastWinIniChange("Ports", 0);
    profile.writeProfileString(nullptr, nullptr, nullptr);
}

}  // namespace setup
