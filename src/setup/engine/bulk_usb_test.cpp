// The USB bulk driver's version on the medium against the installed one.
#include "setup/engine/bulk_usb.h"

#include <gtest/gtest.h>

#include "platform/sim/pe_image.h"
#include "setup/engine/engine_test_fixture.h"

namespace setup::test {
namespace {

TEST(VersionNumber, OddPositionsAsDigits) {
    struct Case {
        const char* text;
        int number;
    };
    for (const Case& c : {Case{"1.0.0.5", 1005}, Case{"0.0.0.0", 0}, Case{"1.0.0.6", 1006},
                          Case{"2.1.3.4.5.6.7.8", 2134567}, Case{"v1.0.0.5", 0}, Case{"10.2.0.1", 1},
                          Case{"", 0}, Case{"5", 5}}) {
        EXPECT_EQ(VersionNumber(c.text), c.number) << c.text;
    }
}

std::string Driver(const std::string& version) {
    plat::sim::VersionFields fields;
    fields.fileVersion = version;
    fields.fileDescription = "USB bulk driver";
    return plat::sim::BuildPeWithVersion(fields);
}

TEST(CompareBulkUsbDriver, MediumAgainstInstalled) {
    struct Case {
        const char* medium;      // "" : a file without a version resource
        const char* installed;   // "" : no installed driver
        int result;
    };
    for (const Case& c : {Case{"1.0.0.6", "", -1}, Case{"1.0.0.6", "1.0.0.5", 1}, Case{"1.0.0.5", "1.0.0.6", 0},
                          Case{"1.0.0.5", "1.0.0.5", 0}}) {
        SCOPED_TRACE(std::string(c.medium) + " / " + c.installed);
        EngineMedium medium;
        medium.write("USBDrv\\bulkusb.sys", Driver(c.medium));
        plat::sim::TestMachineOptions options;
        options.os = "xp";
        options.mediumDir = medium.dir();
        options.bulkusbVersion = c.installed;
        plat::sim::TestMachine machine(options);
        common::SetSys(&machine.platform());
        EXPECT_EQ(GetFileVersionText("D:\\USBDrv\\bulkusb.sys"), c.medium);
        EXPECT_EQ(CompareBulkUsbDriver(), c.result);
        common::SetSys(nullptr);
    }
}

TEST(GetFileVersionText, FilesWithoutVersion) {
    EngineMedium medium;
    EngineMachine m("win7", medium);
    EXPECT_EQ(GetFileVersionText("D:\\W32\\TPDRV.DLL"), "0.0.0.0");   // not a PE file
    EXPECT_EQ(GetFileVersionText("D:\\W32\\NOSUCH.SYS"), "0.0.0.0");
}

}  // namespace
}  // namespace setup::test
