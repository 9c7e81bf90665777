#include "platform/sim/faults.h"

#include <gtest/gtest.h>

#include "platform/host.h"
#include "platform/sim/sim_platform.h"
#include "platform/sim/test_machine.h"

namespace plat::sim {
namespace {

TEST(Faults, TheNthMatchingCallFailsOnce) {
    TestMachine m;
    Files& f = m.platform().files();
    std::uint32_t a = 0;
    m.failCall("files.getFileAttributes", 2, ERROR_ACCESS_DENIED);
    EXPECT_EQ(f.getFileAttributes("C:\\WINDOWS\\win.ini", &a), 0u);
    EXPECT_EQ(f.getFileAttributes("C:\\WINDOWS\\win.ini", &a), ERROR_ACCESS_DENIED);
    EXPECT_EQ(f.getFileAttributes("C:\\WINDOWS\\win.ini", &a), 0u);

    // Only calls whose text contains the given part count.
    m.failCall("files.copyFile", 1, ERROR_SHARING_VIOLATION, "QPXDRV");
    f.writeFile("C:\\WINDOWS\\Temp\\a.dll", "a");
    EXPECT_EQ(f.copyFile("C:\\WINDOWS\\Temp\\a.dll", "C:\\WINDOWS\\Temp\\b.dll", false), 0u);
    EXPECT_EQ(f.copyFile("C:\\WINDOWS\\Temp\\a.dll", "C:\\WINDOWS\\Temp\\QPXDRV.DLL", false),
              ERROR_SHARING_VIOLATION);
    EXPECT_EQ(f.probeFile("C:\\WINDOWS\\Temp\\QPXDRV.DLL"), ERROR_FILE_NOT_FOUND)
        << "a failed call does nothing";
}

TEST(Faults, AlwaysAndClearAndDefaults) {
    TestMachine m;
    Platform& p = m.platform();
    m.failAlways("registry.openKey", ERROR_ACCESS_DENIED, "KESTRAN");
    m.failAlways("profile.getPrivateProfileString", ERROR_FILE_NOT_FOUND);
    m.failAlways("desktop.shellExecute", ERROR_FILE_NOT_FOUND);
    m.failAlways("system.allocate", ERROR_NOT_ENOUGH_MEMORY);
    HKey k = 0;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(p.registry().openKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\KESTRAN", KEY_READ, &k), ERROR_ACCESS_DENIED);
    }
    EXPECT_EQ(p.registry().openKey(HKEY_LOCAL_MACHINE, "SOFTWARE", KEY_READ, &k), 0u);
    EXPECT_EQ(p.profile().getPrivateProfileString("Mail", "MAPI", "default", 5, "win.ini"), "defa");
    EXPECT_EQ(p.desktop().shellExecute("open", "C:\\WINDOWS\\win.ini", nullptr, nullptr, SW_SHOW), 2);
    EXPECT_EQ(p.system().allocate(10), ERROR_NOT_ENOUGH_MEMORY);
    m.clearFaults();
    EXPECT_EQ(p.profile().getPrivateProfileString("Mail", "MAPI", "default", 5, "win.ini"), "1");
    EXPECT_EQ(p.system().allocate(10), 0u);
}

TEST(Faults, ScriptedRunsTakeRulesFromMachineIni) {
    TestMachine m;
    m.state().set("Faults", "spooler.addPrinter", "1:1802");
    m.state().set("Faults", "files.copyFile", "*:32:bulkusb");
    HostOptions o;
    o.machineDir = m.dir();
    o.mediumDir = DemoMediumDir();
    std::string error;
    auto p = CreateHostPlatform(o, &error);
    ASSERT_TRUE(p) << error;
    PRINTER_INFO_2 info{};
    Handle h = 0;
    EXPECT_EQ(p->spooler().addPrinter(nullptr, 2, info, &h), ERROR_PRINTER_ALREADY_EXISTS);
    EXPECT_EQ(p->files().copyFile("C:\\WINDOWS\\win.ini", "C:\\WINDOWS\\bulkusb.sys", false),
              ERROR_SHARING_VIOLATION);

    m.state().set("Faults", "files.copyFile", "first:32");
    EXPECT_EQ(CreateHostPlatform(o, &error), nullptr);
    EXPECT_NE(error.find("[Faults]"), std::string::npos) << error;
}

}  // namespace
}  // namespace plat::sim
