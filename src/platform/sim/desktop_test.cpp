#include "platform/sim/desktop.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/sim/test_machine.h"

namespace plat::sim {
namespace {

// The pid of a process that has ended.
long EndedPid() {
    pid_t child = fork();
    if (child == 0) _exit(0);
    int status = 0;
    waitpid(child, &status, 0);
    return child;
}

TEST(Desktop, WindowsCountWhileTheirProcessLives) {
    TestMachine m;
    Desktop& d = m.platform().desktop();
    EXPECT_EQ(d.findWindow("Uninstall"), 0u);
    m.openWindow("Uninstall");
    Hwnd other = d.findWindow("UNINSTALL");
    EXPECT_NE(other, 0u) << "titles match without regard to case";
    EXPECT_EQ(d.findWindow("Uninstal"), 0u) << "but exactly";

    Hwnd own = d.registerOwnWindow("\xb4\xf2\xd3\xa1\xbb\xfa\xc7\xfd\xb6\xaf\xb0\xb2\xd7\xb0\xb3\xcc\xd0\xf2");
    EXPECT_EQ(d.findWindow("\xb4\xf2\xd3\xa1\xbb\xfa\xc7\xfd\xb6\xaf\xb0\xb2\xd7\xb0\xb3\xcc\xd0\xf2"), own);
    d.setOwnWindowTitle(own, "Drivanto");
    EXPECT_EQ(d.findWindow("drivanto"), own);
    d.setOwnWindowState(own, SW_MINIMIZE);
    EXPECT_EQ(d.setForegroundWindow(own), 0u);
    EXPECT_EQ(d.openIcon(own), 0u);
    EXPECT_EQ(d.bringWindowToTop(own), 0u);
    EXPECT_NE(m.log().find("SetForegroundWindow \"Drivanto\""), std::string::npos) << m.log();
    EXPECT_NE(m.log().find("OpenIcon \"Drivanto\""), std::string::npos);
    d.unregisterOwnWindow(own);
    EXPECT_EQ(d.findWindow("Drivanto"), 0u);
    EXPECT_EQ(d.setForegroundWindow(own), ERROR_INVALID_WINDOW_HANDLE);

    // A window left behind by a process that has ended does not count.
    m.state().set("Windows", "Window9", std::to_string(EndedPid()) + "|Ghost|1");
    EXPECT_EQ(d.findWindow("Ghost"), 0u);
    m.closeWindow("Uninstall");
    EXPECT_EQ(d.findWindow("Uninstall"), 0u);
}

TEST(Desktop, NamedMutexBelongsToALivingProcess) {
    TestMachine m;
    Desktop& d = m.platform().desktop();
    bool exists = true;
    EXPECT_EQ(d.createMutex("Drivanto", &exists), 0u);
    EXPECT_FALSE(exists);
    EXPECT_EQ(d.createMutex("Drivanto", &exists), 0u);
    EXPECT_TRUE(exists);

    m.holdMutex("Uninstall");
    EXPECT_EQ(d.createMutex("Uninstall", &exists), 0u);
    EXPECT_TRUE(exists) << "held by another program";

    m.state().set("Mutexes", "Stale", std::to_string(EndedPid()));
    EXPECT_EQ(d.createMutex("Stale", &exists), 0u);
    EXPECT_FALSE(exists) << "its owner has ended";
}

TEST(Desktop, ShellLaunchesAreLoggedAndTheUsbInstallerRuns) {
    TempMedium medium;
    medium.write("USBDrv\\Install.exe", "MZ installer");
    medium.write("USBDrv\\bulkusb.sys", "MZ driver 1.0.0.6");
    medium.write("Help.chm", "help");
    TestMachineOptions o;
    o.mediumDir = medium.dir();
    TestMachine m(o);
    Desktop& d = m.platform().desktop();
    Files& f = m.platform().files();
    const std::string installed = "C:\\WINDOWS\\system32\\drivers\\bulkusb.sys";

    EXPECT_EQ(d.shellExecute("open", "D:\\\\USBDrv\\Install.exe", "2", nullptr, SW_SHOWNORMAL), 42);
    std::string bytes;
    ASSERT_EQ(f.readFile(installed, &bytes), 0u) << m.show();
    EXPECT_EQ(bytes, "MZ driver 1.0.0.6");
    EXPECT_NE(m.log().find("ShellExecute \"open\" \"D:\\\\USBDrv\\Install.exe\" parameters \"2\""),
              std::string::npos) << m.log();
    EXPECT_EQ(d.shellExecute("open", "D:\\usbdrv\\INSTALL.EXE", "22", nullptr, SW_SHOWNORMAL), 42);
    EXPECT_EQ(f.readFile(installed, &bytes), ERROR_FILE_NOT_FOUND);

    EXPECT_EQ(d.shellExecute("open", ".\\Help.chm", nullptr, nullptr, SW_SHOW), 42);
    EXPECT_EQ(d.shellExecute("open", ".\\NoSuchHelp.CHM", nullptr, nullptr, SW_SHOW), 2);
    EXPECT_EQ(d.shellExecute("open", "D:\\NoFolder\\x.exe", nullptr, nullptr, SW_SHOW), 3);
    EXPECT_NE(m.log().find("\".\\NoSuchHelp.CHM\" parameters (null) directory (null) show 5 -> 2"),
              std::string::npos) << m.log();

    EXPECT_EQ(d.broadcastWinIniChange("Ports", 0), 0u);
    EXPECT_EQ(d.broadcastWinIniChange(nullptr, 5000), 0u);
    EXPECT_NE(m.log().find("Broadcast WM_WININICHANGE \"Ports\" (SendNotifyMessage)"), std::string::npos);
    EXPECT_NE(m.log().find("Broadcast WM_WININICHANGE (null) (SendMessageTimeout 5000 ms)"), std::string::npos);
}

}  // namespace
}  // namespace plat::sim
