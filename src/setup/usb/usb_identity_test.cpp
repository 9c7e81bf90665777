#include "setup/usb/usb_identity.h"

#include <string>

#include <gtest/gtest.h>

#include "common/language_text.h"
#include "common/sim_sys_for_tests.h"
#include "ui/message_box.h"

namespace setup {
namespace {

using common::SimSys;
using plat::sim::TempMedium;

const char kOnePrinter[] =
    "MESSAGE Drivanto | More than one USB printer is connected.\\nConnect only the printer you want "
    "to install.\n";

plat::sim::TestMachineOptions Machine(std::vector<int> printers, const std::string& medium = "") {
    plat::sim::TestMachineOptions o = SimSys::WithMedium(medium);
    o.usbPrinters = std::move(printers);
    return o;
}

class UsbIdentityTest : public ::testing::Test {
protected:
    UsbIdentityTest() {
        ui::SetApplicationName("Drivanto");
        common::LanguageText::SetProgram(common::TextProgram::Setup);
    }
    // Runs fn and returns the message box lines it wrote.
    template <class F>
    std::string Messages(F fn) {
        testing::internal::CaptureStdout();
        fn();
        return testing::internal::GetCapturedStdout();
    }
};

TEST_F(UsbIdentityTest, ReadsTheDeviceNumberOfTheOnePrinter) {
    struct Case {
        std::vector<int> printers;
        int id;
        int port;
    } cases[] = {
        {{8}, 8, 1},
        {{2}, 2, 3},
        {{9}, 9, 2},
        {{0x0107}, 0x0107, 8},
        {{}, kNoUsbPrinter, 0},
    };
    for (const Case& c : cases) {
        SimSys sys(Machine(c.printers));
        int id = 0;
        EXPECT_EQ(Messages([&] { id = UsbDeviceId(); }), "");
        EXPECT_EQ(id, c.id);
        EXPECT_EQ(UsbPortNumber(id), c.port);
    }
}

TEST_F(UsbIdentityTest, TwoPrintersAreRefusedOnce) {
    SimSys sys(Machine({8, 2}));
    int id = 0;
    EXPECT_EQ(Messages([&] { id = UsbDeviceId(); }), kOnePrinter);
    EXPECT_EQ(id, kSeveralUsbPrinters);
    EXPECT_EQ(UsbPortNumber(id), -1);   // no USB port has that number
}

TEST_F(UsbIdentityTest, WritesTheIdentityCommand) {
    SimSys sys(Machine({2}));
    EXPECT_EQ(Messages([] { EXPECT_TRUE(UsbWriteId(1)); }), "");
    std::string log = sys.machine().log();
    EXPECT_NE(log.find("USB Printer1 write: 1B 4B 53 54 D3 C3 1D 49 20 00"), std::string::npos) << log;
    EXPECT_EQ(UsbDeviceId(), 0);   // 2 - 2 % 8 + 0: port 1 now

    EXPECT_TRUE(UsbWriteId(4));
    EXPECT_EQ(UsbPortNumber(UsbDeviceId()), 4);
    // Only the low byte of the number counts.
    EXPECT_TRUE(UsbWriteId(0x106));
    EXPECT_EQ(UsbPortNumber(UsbDeviceId()), 6);
}

TEST_F(UsbIdentityTest, CommandLayout) {
    std::uint8_t c[10];
    BuildIdentityCommand(4, c);
    EXPECT_EQ(c[0], 0x1B);
    for (int i = 1; i <= 3; ++i) EXPECT_TRUE(std::isalpha(c[i])) << i;
    EXPECT_GT(c[4], 0x7F);
    EXPECT_GT(c[5], 0x7F);
    EXPECT_EQ(c[6], 0x1D);
    EXPECT_EQ(c[7], 0x49);
    EXPECT_EQ(c[8], 0x20);
    EXPECT_EQ(c[9], 3);
}

TEST_F(UsbIdentityTest, NumbersOutsideOneToEightAreRefusedWithoutLoading) {
    SimSys sys(Machine({2}));
    sys.machine().failAlways("usb.load", ERROR_MOD_NOT_FOUND);
    for (int n : {0, 9, 0x100, 0x1FF}) {
        EXPECT_EQ(Messages([&] { EXPECT_FALSE(UsbWriteId(n)); }), "") << n;
    }
    EXPECT_EQ(sys.machine().log().find("USB Printer1 write"), std::string::npos);
}

TEST_F(UsbIdentityTest, FailuresShowTheirMessage) {
    struct Case {
        const char* what;
        const char* library;       // KsUsbInt.dll's content; null removes it
        std::vector<int> printers;
        const char* readMessage;
        int readResult;
        const char* writeMessage;
    } cases[] = {
        {"no library", nullptr, {2}, "Can not load KsUsbInt.dll", kNoUsbPrinter, "Can not load KsUsbInt.dll"},
        {"no descriptor entry", "SIM-EXPORTS=OpenDeviceX,uWrite,CloseDevice\n", {2}, "open function error",
         kNoUsbPrinter, nullptr},
        {"no write entry", "SIM-EXPORTS=OpenDeviceX,GetDescriptor,CloseDevice\n", {2}, nullptr, 2,
         "open function error"},
        {"no close entry", "SIM-EXPORTS=OpenDeviceX,GetDescriptor,uWrite\n", {2}, "open function error",
         kNoUsbPrinter, "open function error"},
        {"no printer", "", {}, nullptr, kNoUsbPrinter, "Can not find USB device."},
    };
    for (const Case& c : cases) {
        TempMedium medium;
        if (c.library) medium.write("KsUsbInt.dll", c.library); else medium.remove("KsUsbInt.dll");
        SimSys sys(Machine(c.printers, medium.dir()));
        int id = 0;
        std::string read = Messages([&] { id = UsbDeviceId(); });
        EXPECT_EQ(read, c.readMessage ? std::string("MESSAGE Drivanto | ") + c.readMessage + "\n" : "") << c.what;
        EXPECT_EQ(id, c.readResult) << c.what;
        bool written = true;
        std::string write = Messages([&] { written = UsbWriteId(3); });
        EXPECT_EQ(write, c.writeMessage ? std::string("MESSAGE Drivanto | ") + c.writeMessage + "\n" : "") << c.what;
        EXPECT_EQ(written, c.writeMessage == nullptr) << c.what;
    }
}

TEST_F(UsbIdentityTest, UnreadableDescriptorAndFailedWrite) {
    SimSys sys(Machine({2}));
    sys.machine().failCall("usb.getDescriptor", 1, 1);
    int id = 0;
    EXPECT_EQ(Messages([&] { id = UsbDeviceId(); }), "MESSAGE Drivanto | Get Device ID error\n");
    EXPECT_EQ(id, kNoUsbPrinter);
    sys.machine().failCall("usb.uWrite", 1, 1);
    EXPECT_EQ(Messages([] { EXPECT_FALSE(UsbWriteId(1)); }), "MESSAGE Drivanto | write ID error\n");
    EXPECT_EQ(UsbDeviceId(), 2);   // unchanged
}

}  // namespace
}  // namespace setup
