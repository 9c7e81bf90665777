#include "platform/sim/machine_state.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "platform/host.h"
#include "platform/sim/sim_platform.h"
#include "platform/sim/test_machine.h"

namespace plat::sim {
namespace {

namespace fs = std::filesystem;

TestMachineOptions WithMedium(const std::string& dir) {
    TestMachineOptions o;
    o.mediumDir = dir;
    return o;
}

TEST(WindowsPaths, MapOntoMachineAndMedium) {
    TempMedium medium;
    medium.write("Docs\\ReadMe.TXT", "x");
    TestMachine m(WithMedium(medium.dir()));
    const std::string c = m.dir() + "/C";
    const std::string d = medium.dir();
    struct Case {
        const char* windows;
        std::string host;   // "" : no host file for it
    } cases[] = {
        {"C:\\WINDOWS\\system32\\kernel32.dll", c + "/WINDOWS/system32/kernel32.dll"},
        {"c:\\windows\\SYSTEM32\\KERNEL32.DLL", c + "/WINDOWS/system32/kernel32.dll"},
        {"C:/WINDOWS//system32\\.\\kernel32.dll", c + "/WINDOWS/system32/kernel32.dll"},
        {"C:\\WINDOWS\\Temp\\..\\win.ini", c + "/WINDOWS/win.ini"},
        {"D:\\\\Docs\\readme.txt", d + "/Docs/ReadMe.TXT"},
        {"docs\\README.txt", d + "/Docs/ReadMe.TXT"},
        {".\\DOCS\\readme.txt", d + "/Docs/ReadMe.TXT"},
        {"\\Docs\\readme.txt", d + "/Docs/ReadMe.TXT"},
        {"..\\..\\Docs\\readme.txt", d + "/Docs/ReadMe.TXT"},
        {"D:Docs\\readme.txt", d + "/Docs/ReadMe.TXT"},
        {"C:\\WINDOWS\\New Folder\\x.txt", c + "/WINDOWS/New Folder/x.txt"},
        {"E:\\x.txt", ""},
        {"\\\\server\\share\\x.txt", ""},
        {"C:\\WINDOWS\\a<b.txt", ""},
        {"C:\\WINDOWS\\a?.txt", ""},
    };
    for (const Case& k : cases) {
        EXPECT_EQ(m.hostPath(k.windows), k.host) << k.windows;
    }
}

TEST(WindowsPaths, DoubleByteNamesAreNotCaseFolded) {
    // 0x95 0x41 and 0x95 0x61 are two different GBK characters whose trail
    // bytes look like 'A' and 'a'.
    TempMedium medium;
    medium.write("\x95\x41.txt", "x");
    TestMachine m(WithMedium(medium.dir()));
    std::string bytes;
    EXPECT_EQ(m.platform().files().readFile("D:\\\x95\x41.TXT", &bytes), 0u);
    EXPECT_EQ(m.platform().files().readFile("D:\\\x95\x61.txt", &bytes), ERROR_FILE_NOT_FOUND);
}

std::string WriteMachineFile(TestMachine& m, const char* name, const std::string& text) {
    std::string error;
    EXPECT_TRUE(WriteFileAtomically(m.dir() + "/" + name, text, &error)) << error;
    HostOptions o;
    o.programName = "Drivanto.exe";
    o.machineDir = m.dir();
    o.mediumDir = DemoMediumDir();
    std::unique_ptr<Platform> p = CreateHostPlatform(o, &error);
    EXPECT_EQ(p, nullptr);
    return error;
}

TEST(DamagedMachine, ErrorNamesFileAndLine) {
    struct Case {
        const char* file;
        std::string text;
        const char* expected;
    } cases[] = {
        {"machine.ini", "[Machine]\nOs=xp\nthis is not a key\n", "machine.ini line 3"},
        {"machine.ini", "Os=xp\n[Machine]\n", "machine.ini line 1"},
        {"machine.ini", "[Machine\nOs=xp\n", "machine.ini line 1"},
        {"registry.reg", "[HKEY_LOCAL_MACHINE\\X]\n", "registry.reg line 1"},
        {"registry.reg", "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\X]\n\"a\"=dword:xyz\n", "registry.reg line 4"},
        {"registry.reg", "REGEDIT4\n\"a\"=\"b\"\n", "registry.reg line 2"},
        {"registry.reg", "REGEDIT4\n[HKEY_NOWHERE\\X]\n", "registry.reg line 2"},
        {"registry.reg", "REGEDIT4\n[HKEY_CURRENT_USER\\X]\n\"a\"=hex:01,zz\n", "registry.reg line 3"},
        {"registry.reg", "REGEDIT4\n[HKEY_CURRENT_USER\\X]\n\"a=\"b\"\n", "registry.reg line 3"},
    };
    for (const Case& k : cases) {
        TestMachine m;
        std::string error = WriteMachineFile(m, k.file, k.text);
        EXPECT_NE(error.find(k.expected), std::string::npos) << k.text << "\n-> " << error;
    }
}

TEST(DamagedMachine, MissingFolderIsReported) {
    HostOptions o;
    o.machineDir = "/nonexistent/machine";
    std::string error;
    EXPECT_EQ(CreateHostPlatform(o, &error), nullptr);
    EXPECT_NE(error.find("/nonexistent/machine"), std::string::npos) << error;
}

TEST(DamagedMachine, DamagedStateIsNotOverwritten) {
    TestMachine m;
    std::string damaged = "[Machine]\nOs=xp\ngarbage line\n";
    ASSERT_TRUE(WriteFileAtomically(m.dir() + "/machine.ini", damaged, nullptr));
    m.state().set("Time", "SleptMs", "5");
    std::string now;
    ReadHostFile(m.dir() + "/machine.ini", &now);
    EXPECT_EQ(now, damaged);
}

TEST(MachineState, SeesChangesOfAnotherProcessAndWritesAtomically) {
    TestMachine m;
    FolderState other(m.dir(), DemoMediumDir(), "Uninstall.exe");
    EXPECT_EQ(m.state().get("Spooler", "State"), "running");
    other.set("spooler", "STATE", "stopped");   // names match without regard to case
    EXPECT_EQ(m.state().get("Spooler", "State"), "stopped");
    m.state().set("USB", "Printer2", "512");
    EXPECT_EQ(other.get("usb", "printer2"), "512");
    m.state().erase("USB", "Printer2");
    EXPECT_EQ(other.get("USB", "Printer2", "none"), "none");
    for (const auto& e : fs::directory_iterator(m.dir())) {
        EXPECT_EQ(e.path().filename().string().find(".new-"), std::string::npos) << e.path();
    }
}

TEST(MachineState, TwoProcessesUpdatingAtOnceLoseNothing) {
    TestMachine m;
    const int rounds = 60;
    auto bump = [&](FolderState& s) {
        for (int i = 0; i < rounds; ++i) {
            FolderState::Lock lock(s);
            std::uint64_t n = ParseCount(s.get("Test", "Counter", "0"));
            s.set("Test", "Counter", std::to_string(n + 1));
        }
    };
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        FolderState mine(m.dir(), DemoMediumDir(), "Uninstall.exe");
        bump(mine);
        _exit(0);
    }
    FolderState mine(m.dir(), DemoMediumDir(), "Drivanto.exe");
    bump(mine);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(m.state().get("Test", "Counter"), std::to_string(2 * rounds));
}

}  // namespace
}  // namespace plat::sim
