#include "setup/pages/os_page.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/win_types.h"
#include "setup/wizard/wizard_test_fixture.h"

namespace setup {
namespace {

using common::SimSys;
using test::ControlLine;
using test::WizardRun;

const char kProgram[] = "D:\\Drivanto.exe";

// The value the page leaves for the program under the current user's
// compatibility-assistant key; -1 when there is none.
long CompatibilityMark() {
    plat::Registry& registry = common::Sys().registry();
    plat::HKey key = 0;
    if (registry.openKey(HKEY_CURRENT_USER, kCompatibilityPersistedKey, KEY_QUERY_VALUE, &key) != 0) return -1;
    std::uint32_t type = 0, value = 0, size = sizeof value;
    plat::Err err = registry.queryValue(key, kProgram, &type, reinterpret_cast<std::uint8_t*>(&value), &size);
    registry.closeKey(key);
    if (err != 0 || type != REG_DWORD) return -1;
    return static_cast<long>(value);
}

TEST(OsClassOfTest, VersionsAndButtons) {
    SimSys sys;   // 6.0 reads the product name; the others need nothing
    struct Case {
        std::uint32_t platform, major, minor;
        int osClass;
        int button;
    } cases[] = {
        {1, 4, 0, 0, 0},       // Windows 95
        {1, 4, 10, 0, 1026},   // 98
        {1, 4, 90, 0, 1026},   // Me
        {2, 4, 0, 1, 1027},    // NT 4.0
        {2, 4, 1, 0, 0},
        {2, 5, 0, 2, 1028},    // 2000
        {2, 5, 1, 3, 1029},    // XP
        {2, 5, 2, 4, 1075},    // Server 2003 and XP x64
        {2, 5, 3, 0, 0},
        {2, 6, 1, 7, 1078},    // 7 and Server 2008 R2
        {2, 6, 2, 0, 0},       // 8
        {2, 10, 0, 0, 0},
        {0, 3, 10, 0, 0},      // Win32s
        {3, 5, 1, 0, 0},
    };
    for (const Case& c : cases) {
        plat::OsVersionInfo version;
        version.platformId = c.platform;
        version.majorVersion = c.major;
        version.minorVersion = c.minor;
        int button = -1;
        EXPECT_EQ(OsClassOf(version, &button), c.osClass) << c.platform << " " << c.major << "." << c.minor;
        EXPECT_EQ(button, c.button) << c.platform << " " << c.major << "." << c.minor;
    }
}

class OsPageTest : public test::WizardTest {};

// On every preset: the detected class, its button selected (where it has
// one) and the only one enabled; a click on it changes nothing; Vista alone
// gets the compatibility mark.
TEST_F(OsPageTest, DetectionOnEveryPreset) {
    struct Case {
        const char* os;
        int osClass;
        int checked;   // 0: none
    } cases[] = {
        {"95", 0, 0},        {"98", 0, 1026},     {"me", 0, 1026},     {"nt4", 1, 1027},
        {"2000", 2, 1028},   {"xp", 3, 1029},     {"2003", 4, 1075},   {"vista", 5, 1076},
        {"2008", 6, 1077},   {"win7", 7, 1078},   {"2008r2", 7, 1078}, {"win8", 0, 0},
        {"win10", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.os);
        SimSys sys(SimSys::WithMedium("", c.os));
        const int enabled = kOsButtons[c.osClass];
        // Hidden buttons (98/Me, NT) cannot be clicked by the user.
        const bool clickable = enabled != 1026 && enabled != 1027;
        std::string script = "key ENTER\nkey ENTER\ndump\n";
        if (clickable) script += "click " + std::to_string(enabled) + "\ndump\n";
        script += "key ESCAPE\n";
        int osClass = -1;
        bool registered = false;
        WizardRun run = Run(script, false, false, [&](SetupWindows& w) {
            osClass = w.osPage.osClass;
            registered = theOsPage == &w.osPage;
        });
        EXPECT_EQ(run.failStatus, 0) << run.err;
        EXPECT_EQ(osClass, c.osClass);
        EXPECT_TRUE(registered);
        ASSERT_EQ(run.Dumps().size(), clickable ? 2u : 1u) << run.out;
        for (const std::string& dump : run.Dumps()) {
            ASSERT_EQ(test::ShownPages(dump), std::vector<int>{130});
            for (int id : kOsButtons) {
                std::string line = ControlLine(dump, id);
                EXPECT_EQ(line.find(id == enabled ? "\" enabled" : "\" disabled") != std::string::npos, true)
                    << line;
                EXPECT_EQ(line.substr(line.rfind(' ') + 1), id == c.checked ? "checked" : "unchecked") << line;
            }
            EXPECT_EQ(ControlLine(dump, 1094), "1094 groupbox \"Select the Windows version:\" enabled shown");
        }
        EXPECT_EQ(CompatibilityMark(), c.osClass == 5 ? 1 : -1);
    }
}

// Version 6.0 is Server 2008 when the product name holds "2008" anywhere
// (case matters), Vista otherwise, also when the name cannot be read.
TEST_F(OsPageTest, ProductNameDecidesVersion6) {
    struct Case {
        const char* productName;   // nullptr: the value removed
        int osClass;
    } cases[] = {
        {"Windows Server (R) 2008 Standard", 6},
        {"Windows Web Server 2008", 6},
        {"Windows Vista (TM) Ultimate", 5},
        {"", 5},
        {nullptr, 5},
        {"Windows Server 200 8", 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.productName ? c.productName : "(none)");
        SimSys sys(SimSys::WithMedium("", "vista"));
        plat::Registry& registry = common::Sys().registry();
        plat::HKey key = 0;
        ASSERT_EQ(registry.openKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
                                   KEY_ALL_ACCESS, &key),
                  0u);
        if (c.productName) {
            std::string name = c.productName;
            registry.setValue(key, "ProductName", REG_SZ, reinterpret_cast<const std::uint8_t*>(name.c_str()),
                              static_cast<std::uint32_t>(name.size() + 1));
        } else {
            registry.deleteValue(key, "ProductName");
        }
        registry.closeKey(key);

        int osClass = -1;
        WizardRun run = Run("key ESCAPE\n", false, false, [&](SetupWindows& w) { osClass = w.osPage.osClass; });
        EXPECT_EQ(run.failStatus, 0) << run.err;
        EXPECT_EQ(osClass, c.osClass);
        EXPECT_EQ(SetupWizardDlg::GetRunningOsClass(), c.osClass);
        EXPECT_EQ(CompatibilityMark(), c.osClass == 5 ? 1 : -1);
    }
}

// A platform that is neither Windows 9x nor NT: the message, class 0 and
// only the hidden 98/Me button enabled.
TEST_F(OsPageTest, UnknownPlatform) {
    SimSys sys;
    sys.machine().state().set("Machine", "Platform", "0");
    int osClass = -1;
    WizardRun run = Run("answer ok\nkey ENTER\nkey ENTER\ndump\nkey ESCAPE\n", false, false,
                        [&](SetupWindows& w) { osClass = w.osPage.osClass; });
    EXPECT_EQ(run.failStatus, 0) << run.err;
    EXPECT_EQ(osClass, 0);
    EXPECT_EQ(run.Messages(), std::vector<std::string>{"This version of Windows is not recognised."});
    ASSERT_EQ(run.Dumps().size(), 1u);
    for (int id : kOsButtons)
        EXPECT_NE(ControlLine(run.Dumps()[0], id).find(id == 1026 ? "\" enabled" : "\" disabled"), std::string::npos);
}

}  // namespace
}  // namespace setup
