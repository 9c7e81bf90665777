#include "platform/sim/system.h"

#include <gtest/gtest.h>

#include "platform/sim/test_machine.h"

namespace plat::sim {
namespace {

TestMachineOptions Os(const std::string& os, bool admin = true, bool wow64 = false) {
    TestMachineOptions o;
    o.os = os;
    o.admin = admin;
    o.wow64 = wow64;
    return o;
}

TEST(System, VersionAndExportsFollowThePreset) {
    struct Case {
        const char* os;
        std::uint32_t platform, major, minor;
        Err isWow64, setDefaultPrinter, deleteDriverEx;
        bool newdev, srclient;
    } cases[] = {
        {"95", 1, 4, 0, ERROR_PROC_NOT_FOUND, ERROR_PROC_NOT_FOUND, ERROR_PROC_NOT_FOUND, false, false},
        {"me", 1, 4, 90, ERROR_PROC_NOT_FOUND, ERROR_PROC_NOT_FOUND, ERROR_PROC_NOT_FOUND, false, false},
        {"nt4", 2, 4, 0, ERROR_PROC_NOT_FOUND, ERROR_PROC_NOT_FOUND, ERROR_PROC_NOT_FOUND, false, false},
        {"2000", 2, 5, 0, ERROR_PROC_NOT_FOUND, 0, 0, true, false},
        {"xp", 2, 5, 1, 0, 0, 0, true, true},
        {"xp64", 2, 5, 2, 0, 0, 0, true, true},
        {"2008", 2, 6, 0, 0, 0, 0, true, true},
        {"2008r2", 2, 6, 1, 0, 0, 0, true, true},
        {"win10", 2, 6, 2, 0, 0, 0, true, true},
    };
    for (const Case& c : cases) {
        TestMachine m(Os(c.os));
        System& s = m.platform().system();
        OsVersionInfo v;
        ASSERT_EQ(s.getVersionEx(&v), 0u);
        EXPECT_EQ(v.platformId, c.platform) << c.os;
        EXPECT_EQ(v.majorVersion, c.major) << c.os;
        EXPECT_EQ(v.minorVersion, c.minor) << c.os;
        bool wow64 = true;
        EXPECT_EQ(s.isWow64Process(&wow64), c.isWow64) << c.os;
        if (!c.isWow64) {
            EXPECT_EQ(wow64, std::string(c.os) == "xp64") << c.os << ": only XP x64 is always 64-bit";
        }
        EXPECT_EQ(s.probeEntryPoint("winspool.drv", "SetDefaultPrinterA"), c.setDefaultPrinter) << c.os;
        EXPECT_EQ(s.probeEntryPoint("WINSPOOL.DRV", "DeletePrinterDriverExA"), c.deleteDriverEx) << c.os;
        EXPECT_EQ(s.probeEntryPoint("newdev.dll", "UpdateDriverForPlugAndPlayDevicesA"),
                  c.newdev ? 0u : ERROR_MOD_NOT_FOUND) << c.os;
        EXPECT_EQ(s.probeEntryPoint("srclient", "SRSetRestorePointA"),
                  c.srclient ? 0u : ERROR_MOD_NOT_FOUND) << c.os;
        HKey k = 0;
        bool nt = c.platform == 2;
        EXPECT_EQ(m.platform().registry().openKey(HKEY_LOCAL_MACHINE,
                                                  "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
                                                  KEY_QUERY_VALUE, &k),
                  nt ? 0u : ERROR_FILE_NOT_FOUND) << c.os;
    }
    TestMachine server(Os("2008"));
    EXPECT_NE(server.show().find("2008"), std::string::npos);
}

TEST(System, DeclaredExportsAreTheOnlyOnes) {
    TempMedium medium;
    medium.write("KsUsbInt.dll", std::string("MZ\0\0image", 9) + "\r\nSIM-EXPORTS=OpenDeviceX, uWrite\r\n");
    TestMachineOptions o;
    o.mediumDir = medium.dir();
    TestMachine m(o);
    System& s = m.platform().system();
    EXPECT_EQ(s.probeEntryPoint("KsUsbInt.dll", "OpenDeviceX"), 0u);
    EXPECT_EQ(s.probeEntryPoint("D:\\KSUSBINT.DLL", "uWrite"), 0u);
    EXPECT_EQ(s.probeEntryPoint("KsUsbInt.dll", "GetDescriptor"), ERROR_PROC_NOT_FOUND);
    EXPECT_EQ(s.probeEntryPoint("KsUsbInt.dll", "opendevicex"), ERROR_PROC_NOT_FOUND);
    EXPECT_EQ(s.probeEntryPoint("kernel32.dll", "LoadLibraryA"), 0u) << "undeclared files export everything";
    EXPECT_EQ(s.probeEntryPoint("nothere.dll", "X"), ERROR_MOD_NOT_FOUND);
}

TEST(System, AdministratorWow64AndRestart) {
    struct Case {
        const char* os;
        bool admin, wow64;
        Err privilege, exitWithout, exitWith;
    } cases[] = {
        {"xp", true, false, 0, ERROR_PRIVILEGE_NOT_HELD, 0},
        {"win7", true, true, 0, ERROR_PRIVILEGE_NOT_HELD, 0},
        // The privilege call succeeds without enabling anything; the restart is refused.
        {"xp", false, false, 0, ERROR_PRIVILEGE_NOT_HELD, ERROR_PRIVILEGE_NOT_HELD},
        {"win8", true, false, 0, ERROR_PRIVILEGE_NOT_HELD, 0},
        {"98", true, false, ERROR_CALL_NOT_IMPLEMENTED, 0, 0},
    };
    for (const Case& c : cases) {
        TestMachine m(Os(c.os, c.admin, c.wow64));
        System& s = m.platform().system();
        bool admin = !c.admin, wow64 = !c.wow64;
        EXPECT_EQ(s.isUserAdmin(&admin), 0u);
        EXPECT_EQ(admin, c.admin);
        if (s.isWow64Process(&wow64) == 0) {
            EXPECT_EQ(wow64, c.wow64) << c.os;
        }
        EXPECT_EQ(s.exitWindowsEx(EWX_REBOOT, 0), c.exitWithout) << c.os;
        EXPECT_EQ(s.enableShutdownPrivilege(), c.privilege) << c.os;
        EXPECT_EQ(s.exitWindowsEx(EWX_REBOOT | EWX_FORCE, 0), c.exitWith) << c.os;
        EXPECT_EQ(m.log().find("ExitWindowsEx flags=0x6 reason=0x0") != std::string::npos, c.exitWith == 0)
            << m.log();
        EXPECT_EQ(s.allocate(1 << 20), 0u);
    }
}

TEST(Clock, VirtualSleepAddsUpAndAdvancesTheTickCount) {
    TestMachine m;
    Clock& clock = m.platform().clock();
    std::uint64_t before = clock.tickCount();
    clock.sleep(500);
    clock.sleep(1000);
    EXPECT_EQ(m.sleptMs(), 1500u);
    EXPECT_EQ(clock.tickCount() - before, 1500u);
    EXPECT_NE(m.log().find("Sleep 1000 ms (slept 1500 ms in all)"), std::string::npos) << m.log();
}

TEST(ErrorText, WindowsDescriptionsEndInCrLf) {
    TestMachine m;
    ErrorText& t = m.platform().errorText();
    std::string text;
    ASSERT_TRUE(t.formatMessage(ERROR_SHARING_VIOLATION, &text));
    EXPECT_EQ(text, "The process cannot access the file because it is being used by another process.\r\n");
    ASSERT_TRUE(t.formatMessage(ERROR_FILE_NOT_FOUND, &text));
    EXPECT_EQ(text, "The system cannot find the file specified.\r\n");
    text = "unchanged";
    EXPECT_FALSE(t.formatMessage(0xDEAD, &text));
    EXPECT_EQ(text, "unchanged");
    for (Err e : {ERROR_PATH_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_FILE_EXISTS, ERROR_PRINTER_ALREADY_EXISTS,
                  ERROR_PRINT_MONITOR_IN_USE, ERROR_PRINTER_DRIVER_IN_USE, RPC_S_SERVER_UNAVAILABLE,
                  ERROR_SERVICE_ALREADY_RUNNING, ERROR_UNKNOWN_PORT, ERROR_PRINT_MONITOR_ALREADY_INSTALLED}) {
        EXPECT_TRUE(t.formatMessage(e, &text)) << e;
        EXPECT_GT(text.size(), 4u);
        EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    }
}

}  // namespace
}  // namespace plat::sim
