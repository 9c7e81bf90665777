// Serial settings: the settings text, the device-control block, and where
// each Windows family keeps them.
#include "setup/engine/com_parameters.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "setup/engine/engine_test_fixture.h"

namespace setup::test {
namespace {

TEST(ComSettingsText, Formats) {
    struct Case {
        int baud;
        char parity;
        int dataBits;
        double stopBits;
        char flow;
        const char* text;
    };
    for (const Case& c : {Case{9600, 'n', 8, 1.0, 'p', "9600,n,8,1,p"},
                          Case{9600, 'n', 8, 1.5, 'x', "9600,n,8,1.5,x"},
                          Case{19200, 'e', 7, 2.0, ' ', "19200,e,7,2, "},
                          Case{4800, 'o', 8, 1.0, 0, "4800,o,8,1, "},
                          Case{115200, 's', 8, 2.0, 'q', "115200,s,8,2, "}}) {
        EXPECT_EQ(ComSettingsText(c.baud, c.parity, c.dataBits, c.stopBits, c.flow), c.text);
    }
}

std::uint32_t U32(const std::string& b, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(b[at + i]);
    return v;
}

TEST(ComDeviceControlBlock, Fields) {
    std::string dcb = ComDeviceControlBlock(19200, 'm', 7, 1.5, 'x');
    ASSERT_EQ(dcb.size(), 28u);
    EXPECT_EQ(U32(dcb, 0), 28u);
    EXPECT_EQ(U32(dcb, 4), 19200u);
    EXPECT_EQ(U32(dcb, 8), 1u | 1u << 1 | 1u << 8 | 1u << 9 | 1u << 10);   // binary, parity, Xon/Xoff, error char
    EXPECT_EQ(dcb[18], 7);
    EXPECT_EQ(dcb[19], 3);    // MARKPARITY
    EXPECT_EQ(dcb[20], 1);    // ONE5STOPBITS
    EXPECT_EQ(dcb[21], 0x11);
    EXPECT_EQ(dcb[22], 0x13);

    dcb = ComDeviceControlBlock(9600, 'n', 8, 2.0, 'p');
    EXPECT_EQ(U32(dcb, 8), 1u | 1u << 2 | 1u << 12);   // binary, CTS flow, RTS enable
    EXPECT_EQ(dcb[19], 0);
    EXPECT_EQ(dcb[20], 2);
    EXPECT_EQ(dcb[21], 0);
    EXPECT_EQ(ComDeviceControlBlock(9600, 'e', 8, 1.0, ' ')[19], 2);
    EXPECT_EQ(ComDeviceControlBlock(9600, 'q', 8, 3.0, ' ')[20], 0);
}

constexpr const char* kNtPorts = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports";

// On the NT family the value of the port (COM2: for the maker's KSCOM2:)
// under the Ports key; the parity is lower-cased in the selection.
TEST(WriteComParameters, NtPortsKey) {
    EngineMedium medium;
    EngineMachine m("xp", medium);
    InstallSelection s;
    FillSelection(s, 3, "KSCOM2:");
    s.parity = 'N';
    s.flowControl = ' ';
    s.stopBits = 1.5;
    WriteComParameters(s);
    EXPECT_EQ(s.parity, 'n');
    EXPECT_EQ(m.string(kNtPorts, "COM2:"), "19200,n,7,1.5, ");
    EXPECT_EQ(m.string(kNtPorts, "KSCOM2:"), "<none>");
}

// Windows 98/Me: the [Ports] entry always; the DCB for COM1: and COM2: in
// the port-class entry that is the first or second serial port.
TEST(WriteComParameters, Windows98) {
    struct Case {
        const char* port;
        std::vector<int> serialEntries;   // port-class entries 0000..0003 marked serial
        int dcbEntry;                     // -1: no DCB anywhere
    };
    const Case cases[] = {
        {"COM1:", {1, 2}, 1},
        {"COM2:", {0, 2, 3}, 2},
        {"KSCOM2:", {3}, -1},   // no second serial entry
        {"COM3:", {0, 1, 2, 3}, -1},
        {"COM1:", {}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.port);
        EngineMedium medium;
        EngineMachine m("98", medium);
        for (int entry = 0; entry < 4; ++entry) {
            std::string key = "System\\CurrentControlSet\\Services\\Class\\Ports\\000" + std::to_string(entry);
            RegKey k;
            ASSERT_TRUE(OpenOrCreate(k, HKEY_LOCAL_MACHINE, key.c_str()));
            bool serial = std::find(c.serialEntries.begin(), c.serialEntries.end(), entry) != c.serialEntries.end();
            unsigned char subClass = serial ? 1 : 0;
            k.SetValue("PortSubClass", &subClass, REG_BINARY, 1);
        }
        InstallSelection s;
        FillSelection(s, 0, c.port);
        const std::size_t logBefore = m.machine().log().size();
        WriteComParameters(s);
        const std::string com = std::strstr(c.port, "COM");
        EXPECT_EQ(m.sys().profile().getProfileString("Ports", com.c_str(), "", 100), "19200,e,7,2,x");
        plat::Registry& registry = m.sys().registry();
        for (int entry = 0; entry < 4; ++entry) {
            std::string key = "System\\CurrentControlSet\\Services\\Class\\Ports\\000" + std::to_string(entry);
            plat::HKey k = 0;
            ASSERT_EQ(registry.openKey(HKEY_LOCAL_MACHINE, key, KEY_READ, &k), 0u);
            std::uint8_t dcb[64] = {};
            std::uint32_t type = 99, size = sizeof dcb;
            bool has = registry.queryValue(k, "DCB", &type, dcb, &size) == 0;
            registry.closeKey(k);
            EXPECT_EQ(has, entry == c.dcbEntry) << entry;
            if (has) {
                EXPECT_EQ(type, REG_NONE);
                EXPECT_EQ(std::string(reinterpret_cast<char*>(dcb), size),
                          ComDeviceControlBlock(19200, 'e', 7, 2.0, 'x'));
            }
        }
        EXPECT_NE(m.machine().log().find("\"Ports\"", logBefore), std::string::npos) << m.machine().log();
    }
}

}  // namespace
}  // namespace setup::test
