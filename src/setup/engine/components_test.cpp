// Port monitors, the language monitor and the print processor: which are
// found missing, outdated or current, and what a first installation does.
#include "setup/engine/components.h"

#include <gtest/gtest.h>

#include <cctype>

#include "setup/engine/engine_test_fixture.h"

namespace setup::test {
namespace {


// The version rule, on the COM monitor's key.
TEST(VersionRule, OutdatedWhenBelowOrUnreadable) {
    struct Case {
        const char* name;
        int configured;
        bool valuePresent;
        std::uint32_t installed;
        int result;
    };
    for (const Case& c : {Case{"equal", 3, true, 3, 0}, Case{"newer installed", 3, true, 9, 0},
                          Case{"older installed", 3, true, 2, kComMonitorOutdated},
                          Case{"no value", 3, false, 0, kComMonitorOutdated},
                          Case{"configured 0", 0, true, 0, 0}}) {
        SCOPED_TRACE(c.name);
        MediumOptions options;
        options.comVersion = c.configured;
        EngineMedium medium(options);
        EngineMachine m("xp", medium);
        const std::string key = MonitorKeyPath(kComMonitor);
        ASSERT_TRUE(RegKey::CreateKey(HKEY_LOCAL_MACHINE, key.c_str()));
        if (c.valuePresent) m.setDword(key, "DriverVersion", c.installed);
        InstallSelection s;
        EXPECT_EQ(CheckPortMonitor(s.config, 0, 3, "COM1:", resultText), c.result);
        EXPECT_EQ(CountOf(m.machine().log(), "monitor added"), 0);
    }
}

// Which monitors each Windows class and port checks at all.
TEST(CheckPortMonitor, MonitorsPerWindowsAndPort) {
    struct Case {
        int os;
        const char* port;
        bool com, usb, language;
    };
    for (const Case& c : {Case{3, "LPT1:", false, false, false}, Case{0, "COM1:", false, false, false},
                          Case{1, "KSCOM1:", true, false, false}, Case{1, "USB_TP100_1", false, false, false},
                          Case{5, "COM2:", true, false, false}, Case{0, "USB_TP100_1", false, true, true},
                          Case{7, "USB_TP100_1", false, true, true}}) {
        SCOPED_TRACE(std::string(kOsPresets[c.os]) + " " + c.port);
        EngineMedium medium;
        EngineMachine m(kOsPresets[c.os], medium);
        InstallSelection s;
        EXPECT_EQ(CheckPortMonitor(s.config, 0, c.os, c.port, resultText), 0);
        EXPECT_EQ(CheckLanguageMonitor(s.config, 0, c.os, c.port, resultText), 0);
        EXPECT_EQ(resultText, "");
        std::uint32_t v = 0;
        EXPECT_EQ(m.dword(MonitorKeyPath(kComMonitor), "DriverVersion", &v), c.com);
        EXPECT_EQ(m.dword(MonitorKeyPath(kUsbMonitor), "DriverVersion", &v), c.usb);
        EXPECT_EQ(m.dword(MonitorKeyPath(kLangMonitor), "DriverVersion", &v), c.language);
        const std::string log = m.machine().log();
        EXPECT_EQ(CountOf(log, "monitor added"), c.com + c.usb + c.language) << log;
        if (c.com) {
            EXPECT_TRUE(m.exists(JoinPath(m.systemDir(), "TCOMUI.DLL")));
        }
    }
}

// An old monitor DLL held open while its key is missing: the new one goes
// in as "n" + name and is registered under that name.
TEST(CheckPortMonitor, HeldDllOnFirstInstallation) {
    EngineMedium medium;
    EngineMachine m("xp", medium);
    const std::string old = JoinPath(m.systemDir(), "TCOMMON.DLL");
    ASSERT_EQ(m.sys().files().writeFile(old, "old"), 0u);
    m.hold(old);
    InstallSelection s;
    EXPECT_EQ(CheckPortMonitor(s.config, 0, 3, "COM1:", resultText), 0);
    EXPECT_EQ(m.string(MonitorKeyPath(kComMonitor), "Driver"), "nTCOMMON.DLL");
    EXPECT_EQ(m.readFile(JoinPath(m.systemDir(), "nTCOMMON.DLL")), FileContent("TCOMMON.DLL"));
}

// The processor is registered once; "WinPrint" is never looked at.
TEST(CheckPrintProcessor, RegisteredOnceAndWinPrintLeftAlone) {
    EngineMedium medium;
    EngineMachine m("2000", medium);
    char dll[] = "tpproc.dll";
    const std::uint64_t before = m.machine().sleptMs();
    EXPECT_EQ(CheckPrintProcessor(2, kProcessor, dll, resultText), 0);
    EXPECT_EQ(m.machine().sleptMs() - before, 200u);
    EXPECT_EQ(CheckPrintProcessor(2, kProcessor, dll, resultText), 0);
    EXPECT_EQ(CountOf(m.machine().log(), "print processor added"), 1);
    std::uint32_t v = 0;
    EXPECT_TRUE(m.dword(ProcessorKeyPath(2, kProcessor), "DriverVersion", &v));
    EXPECT_EQ(v, 4u);

    m.machine().failAlways("registry.openKey", ERROR_ACCESS_DENIED, "WinPrint");
    EXPECT_EQ(CheckPrintProcessor(2, "WinPrint", "winprint.dll", resultText), 0);
    EXPECT_EQ(resultText, "");
}

TEST(InstallProcessor, ResultCodes) {
    EngineMedium medium;
    EngineMachine m("xp", medium);
    struct Case {
        plat::Err err;
        int result;
    };
    for (const Case& c : {Case{ERROR_INVALID_PARAMETER, 87}, Case{ERROR_ALREADY_EXISTS, 183},
                          Case{ERROR_PRINT_PROCESSOR_ALREADY_INSTALLED, 3005}, Case{ERROR_ACCESS_DENIED, 0}}) {
        m.machine().failCall("spooler.addPrintProcessor", 1, c.err);
        EXPECT_EQ(InstallProcessor(kProcessor, "TPPROC.DLL", 3), c.result) << c.err;
    }
}

// Already installed counts as success for a monitor.
TEST(InstallMonitor, AlreadyInstalledIsSuccess) {
    EngineMedium medium;
    EngineMachine m("xp", medium);
    for (plat::Err err : {ERROR_PRINT_MONITOR_ALREADY_INSTALLED, ERROR_ALREADY_EXISTS}) {
        m.machine().failCall("spooler.addMonitor", 1, err);
        EXPECT_TRUE(InstallMonitor(kComMonitor, nullptr, "TCOMMON.DLL", resultText));
        EXPECT_EQ(resultText, "");
    }
}

}  // namespace
}  // namespace setup::test
