// The simulated USB interface library and the printers behind it.
#include <gtest/gtest.h>

#include "platform/sim/test_machine.h"

namespace plat::sim {
namespace {

TestMachineOptions WithPrinters(std::vector<int> releases, const std::string& medium = "") {
    TestMachineOptions o;
    o.usbPrinters = std::move(releases);
    o.mediumDir = medium;
    return o;
}

std::uint16_t ReleaseOf(UsbLibrary& usb, int index) {
    int h = usb.openDeviceX(index);
    std::uint8_t buffer[20] = {};
    EXPECT_EQ(usb.getDescriptor(h, buffer), 18);
    EXPECT_EQ(buffer[0], 18);   // bLength
    EXPECT_EQ(buffer[1], 1);    // DEVICE
    usb.closeDevice(h);
    return static_cast<std::uint16_t>(buffer[12] | (buffer[13] << 8));
}

TEST(SimUsb, LoadsFromTheProgramFolderWithAllFourEntryPoints) {
    TestMachine machine(WithPrinters({}));
    UsbLibrary& usb = machine.platform().usb();
    EXPECT_FALSE(usb.hasEntryPoint("OpenDeviceX"));   // nothing loaded yet
    ASSERT_EQ(usb.load("KsUsbInt.dll"), ERROR_SUCCESS);
    for (const char* entry : {"OpenDeviceX", "GetDescriptor", "uWrite", "CloseDevice"}) {
        EXPECT_TRUE(usb.hasEntryPoint(entry)) << entry;
    }
    EXPECT_FALSE(usb.hasEntryPoint("opendevicex"));   // GetProcAddress matches exactly
    usb.unload();
    EXPECT_FALSE(usb.hasEntryPoint("OpenDeviceX"));
}

TEST(SimUsb, LibraryMissingOrShortOfEntryPoints) {
    TempMedium medium;
    medium.remove("KsUsbInt.dll");
    TestMachine machine(WithPrinters({8}, medium.dir()));
    UsbLibrary& usb = machine.platform().usb();
    EXPECT_EQ(usb.load("KsUsbInt.dll"), ERROR_MOD_NOT_FOUND);

    // A copy in the system folder is found too; this one declares only two.
    ASSERT_EQ(machine.platform().files().writeFile("C:\\WINDOWS\\system32\\KSUSBINT.DLL",
                                                   "MZ\nSIM-EXPORTS=OpenDeviceX, GetDescriptor\n"),
              ERROR_SUCCESS);
    ASSERT_EQ(usb.load("KsUsbInt.dll"), ERROR_SUCCESS);
    EXPECT_TRUE(usb.hasEntryPoint("GetDescriptor"));
    EXPECT_FALSE(usb.hasEntryPoint("uWrite"));
    const std::uint8_t byte = 0;
    EXPECT_EQ(usb.uWrite(usb.openDeviceX(0), 0, &byte, 1), 0);
}

TEST(SimUsb, OpenDeviceAnswersForEachAttachedPrinter) {
    TestMachine machine(WithPrinters({8, 0x0102}));
    UsbLibrary& usb = machine.platform().usb();
    ASSERT_EQ(usb.load("KsUsbInt.dll"), ERROR_SUCCESS);
    for (int index = 0; index < 8; ++index) {
        int h = usb.openDeviceX(index);
        bool answers = h != 0 && h != -1;
        EXPECT_EQ(answers, index < 2) << index;
        usb.closeDevice(h);
    }
    EXPECT_EQ(ReleaseOf(usb, 0), 8);
    EXPECT_EQ(ReleaseOf(usb, 1), 0x0102);   // little-endian at byte 12
    std::uint8_t buffer[20] = {};
    EXPECT_EQ(usb.getDescriptor(12345, buffer), 0);
}

TEST(SimUsb, IdentityCommandChangesTheReleaseNumber) {
    TestMachine machine(WithPrinters({8}));
    UsbLibrary& usb = machine.platform().usb();
    ASSERT_EQ(usb.load("KsUsbInt.dll"), ERROR_SUCCESS);
    struct Case {
        std::uint8_t last;   // n - 1
        std::uint16_t release;
    } cases[] = {{3, 11}, {0, 8}, {7, 15}};
    for (const Case& c : cases) {
        const std::uint8_t command[10] = {0x1B, 'K', 'S', 'T', 0x9A, 0xC1, 0x1D, 'I', 0x20, c.last};
        int h = usb.openDeviceX(0);
        EXPECT_EQ(usb.uWrite(h, 0, command, 10), 10);
        usb.closeDevice(h);
        EXPECT_EQ(ReleaseOf(usb, 0), c.release) << int(c.last);
        EXPECT_EQ(machine.state().get("USB", "Printer1"), std::to_string(c.release));
    }
    EXPECT_NE(machine.log().find("1B 4B 53 54 9A C1 1D 49 20 03"), std::string::npos) << machine.log();

    // Anything else is written and logged but leaves the number alone.
    const std::uint8_t notIdentity[][10] = {
        {0x1B, 'K', 'S', 'T', 0x9A, 0xC1, 0x1D, 'I', 0x20, 8},      // n - 1 beyond 7
        {0x1B, 'K', 'S', '1', 0x9A, 0xC1, 0x1D, 'I', 0x20, 2},      // not three letters
        {0x1B, 'K', 'S', 'T', 0x1A, 0xC1, 0x1D, 'I', 0x20, 2},      // code byte not above 0x7F
        {0x1B, 'K', 'S', 'T', 0x9A, 0xC1, 0x1D, 'J', 0x20, 2},
    };
    for (const auto& command : notIdentity) {
        int h = usb.openDeviceX(0);
        EXPECT_EQ(usb.uWrite(h, 0, command, 10), 10);
        usb.closeDevice(h);
        EXPECT_EQ(ReleaseOf(usb, 0), 15);
    }
    int h = usb.openDeviceX(0);
    const std::uint8_t shortCommand[9] = {0x1B, 'K', 'S', 'T', 0x9A, 0xC1, 0x1D, 'I', 0x20};
    EXPECT_EQ(usb.uWrite(h, 0, shortCommand, 9), 9);
    EXPECT_EQ(ReleaseOf(usb, 0), 15);
    // A printer unplugged meanwhile: the open handle no longer reaches it.
    machine.state().erase("USB", "Printer1");
    EXPECT_EQ(usb.uWrite(h, 0, shortCommand, 9), 0);
}

}  // namespace
}  // namespace plat::sim
