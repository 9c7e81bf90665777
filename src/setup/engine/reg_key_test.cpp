// The registry wrapper and the maker's USB port keys.
#include "setup/engine/reg_key.h"

#include <gtest/gtest.h>

#include "setup/engine/engine_test_fixture.h"

namespace setup::test {
namespace {

constexpr const char* kPortName = "SOFTWARE\\KESTRAN\\PORTNAME\\";
constexpr const char* kPrinterPort = "SOFTWARE\\KESTRAN\\PRINTERPORT\\";

class RegKeyTest : public ::testing::Test {
protected:
    RegKeyTest() : m("xp", medium) {}
    EngineMedium medium;
    EngineMachine m;
};

// A key whose Open failed writes nothing and reads nothing.
TEST_F(RegKeyTest, ClosedKeyDoesNothing) {
    RegKey key;
    EXPECT_FALSE(key.Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\NoSuchKey"));
    EXPECT_FALSE(key.SetDword("A", 1));
    EXPECT_FALSE(key.SetString("B", "x"));
    std::uint32_t value = 7;
    EXPECT_FALSE(key.GetDword("A", &value));
    EXPECT_EQ(value, 7u);
    EXPECT_FALSE(key.Close());
    EXPECT_FALSE(m.machine().show().find("NoSuchKey") != std::string::npos);
}

// Values round-trip; a second Open closes the first key; CreateKey makes
// missing keys and accepts existing ones.
TEST_F(RegKeyTest, OpenReuseAndCreate) {
    ASSERT_TRUE(RegKey::CreateKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Test\\A"));
    ASSERT_TRUE(RegKey::CreateKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Test\\A"));
    ASSERT_TRUE(RegKey::CreateKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Test\\B\\"));
    RegKey key;
    ASSERT_TRUE(key.Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Test\\A"));
    EXPECT_TRUE(key.SetDword("Number", 0x12345678));
    EXPECT_TRUE(key.SetString("Text", "abc"));
    ASSERT_TRUE(key.Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Test\\B\\"));
    EXPECT_TRUE(key.SetDword("Number", 2));
    EXPECT_TRUE(key.Close());
    EXPECT_FALSE(key.IsOpen());

    std::uint32_t value = 0;
    EXPECT_TRUE(m.dword("SOFTWARE\\Test\\A", "Number", &value));
    EXPECT_EQ(value, 0x12345678u);
    EXPECT_EQ(m.string("SOFTWARE\\Test\\A", "Text"), "abc");
    EXPECT_TRUE(m.dword("SOFTWARE\\Test\\B", "Number", &value));
    EXPECT_EQ(value, 2u);

    // The string is stored with its terminating zero.
    ASSERT_TRUE(key.Open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Test\\A"));
    char buffer[3] = {};
    EXPECT_FALSE(key.QueryValue("Text", buffer, sizeof buffer));
    char exact[4] = {};
    EXPECT_TRUE(key.QueryValue("Text", exact, sizeof exact));
}

// Both keys are created and filled; a port without a device code gets 0;
// a second run overwrites the same values.
TEST_F(RegKeyTest, RecordUsbPort) {
    RecordUsbPort(kUsbPort);
    RecordUsbPort("USB_OTHER_2");
    std::uint32_t value = 99;
    EXPECT_TRUE(m.dword(kPortName, kUsbPort, &value));
    EXPECT_EQ(value, 7u);
    EXPECT_TRUE(m.dword(kPortName, "USB_OTHER_2", &value));
    EXPECT_EQ(value, 0u);
    for (const char* slot : {"D1", "D2", "D3", "D4", "D5", "D6", "D7", "D8"}) {
        value = 99;
        EXPECT_TRUE(m.dword(kPrinterPort, slot, &value)) << slot;
        EXPECT_EQ(value, 0u);
    }
    m.setDword(kPrinterPort, "D3", 5);
    m.setDword(kPortName, kUsbPort, 1);
    RecordUsbPort(kUsbPort);
    EXPECT_TRUE(m.dword(kPrinterPort, "D3", &value));
    EXPECT_EQ(value, 0u);
    EXPECT_TRUE(m.dword(kPortName, kUsbPort, &value));
    EXPECT_EQ(value, 7u);
}

}  // namespace
}  // namespace setup::test
