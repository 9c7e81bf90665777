#include "platform/sim/presets.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/sim/test_machine.h"

namespace plat::sim {
namespace {

std::vector<std::uint8_t> Query(Registry& r, const std::string& path, const char* name, std::uint32_t* type) {
    HKey k = 0;
    std::vector<std::uint8_t> data(64);
    std::uint32_t size = 64;
    if (r.openKey(HKEY_LOCAL_MACHINE, path, KEY_READ, &k) != 0) return {};
    Err e = r.queryValue(k, name, type, data.data(), &size);
    r.closeKey(k);
    if (e) return {};
    data.resize(size);
    return data;
}

TEST(NewMachine, NtFamilyKeepsSerialDefaultsUnderPorts) {
    TestMachine m;
    std::uint32_t type = 0;
    auto v = Query(m.platform().registry(), "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports",
                   "COM3:", &type);
    EXPECT_EQ(std::string(v.begin(), v.end()), std::string("9600,n,8,1\0", 11));
    EXPECT_EQ(type, REG_SZ);
    v = Query(m.platform().registry(), "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "ProductName", &type);
    EXPECT_EQ(std::string(v.begin(), v.end()), std::string("Microsoft Windows XP\0", 21));
}

TEST(NewMachine, Windows9xHasSerialPortClassEntries) {
    TestMachineOptions o;
    o.os = "98";
    TestMachine m(o);
    struct Case {
        const char* key;
        std::uint8_t subClass;
    } cases[] = {{"0000", 1}, {"0001", 1}, {"0002", 0}, {"0003", 0}};
    for (const Case& c : cases) {
        std::uint32_t type = 0;
        auto v = Query(m.platform().registry(),
                       std::string("System\\CurrentControlSet\\Services\\Class\\Ports\\") + c.key,
                       "PortSubClass", &type);
        ASSERT_FALSE(v.empty()) << c.key << "\n" << m.show();
        EXPECT_EQ(v[0], c.subClass) << c.key;
        EXPECT_EQ(type, REG_BINARY);
    }
    EXPECT_EQ(m.platform().profile().getProfileString("Ports", "COM1:", "", 100), "9600,n,8,1,x");
}

TEST(NewMachine, OptionsAreRecorded) {
    TestMachineOptions o;
    o.os = "win7";
    o.admin = false;
    o.wow64 = true;
    o.usbPrinters = {0x100, 0x200};
    o.bulkusbVersion = "1.0.0.6";
    TestMachine m(o);
    std::string shown = m.show();
    for (const char* expected : {"OS: win7 (Windows 7 Professional, 6.1.7601, platform 2, Service Pack 1)",
                                 "Administrator: no", "WOW64: yes", "USB printers: Printer1=256 Printer2=512",
                                 "C:\\WINDOWS\\system32\\drivers\\bulkusb.sys", "Spooler: running"}) {
        EXPECT_NE(shown.find(expected), std::string::npos) << expected << "\n" << shown;
    }
}

TEST(NewMachine, BadRequestsAreRefused) {
    std::string dir = (std::filesystem::temp_directory_path() / "drivanto-preset-refusals").string();
    std::filesystem::remove_all(dir);
    struct Case {
        NewMachineOptions options;
        const char* message;
    } cases[] = {
        {{dir, "vista64", true, false, {}, ""}, "unknown OS"},
        {{dir, "xp", true, false, {}, "1.0.5"}, "bad bulkusb.sys version"},
        {{dir, "xp", true, false, {70000}, ""}, "bad USB device release"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(CreateMachine(c.options, &error));
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
    }
    std::string error;
    ASSERT_TRUE(CreateMachine({dir, "xp", true, false, {}, ""}, &error)) << error;
    EXPECT_FALSE(CreateMachine({dir, "xp", true, false, {}, ""}, &error));
    EXPECT_NE(error.find("already holds a machine"), std::string::npos) << error;
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace plat::sim
