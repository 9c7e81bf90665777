#include "platform/sim/profile.h"

#include <gtest/gtest.h>

#include "platform/sim/test_machine.h"

namespace plat::sim {
namespace {

// Lookups that Windows answers in its own way: first section and key win,
// names match without regard to case, values are trimmed and lose one pair
// of quotes, bytes pass through.
const char kIni[] =
    "; a comment line\r\n"
    "[Setup]\r\n"
    "Caption = \"Drivanto Setup\"  \r\n"
    "Single='single quoted'\r\n"
    "Unbalanced=\"only one\r\n"
    "Inner=a \"b\" c\r\n"
    "Equals=a=b\r\n"
    "Empty=\r\n"
    "Dup=first\r\n"
    "dup=second\r\n"
    "  Spaced Key  =  spaced value \r\n"
    "[setup]\r\n"
    "Caption=from the second section\r\n"
    "Other=only in the second\r\n"
    "[GBK]\r\n"
    "Name=\xb4\xf2\xd3\xa1\xbb\xfa\x5c\r\n";

struct ProfileFixture : ::testing::Test {
    ProfileFixture() : medium(), machine(Options(medium)) {}
    static TestMachineOptions Options(TempMedium& medium) {
        medium.write("DRVCONFIG\\Test.ini", kIni);
        TestMachineOptions o;
        o.mediumDir = medium.dir();
        return o;
    }
    Profile& profile() { return machine.platform().profile(); }
    std::string get(const char* section, const char* key, const char* def = "0",
                    std::uint32_t size = 200, const std::string& file = "D:\\DRVCONFIG\\Test.ini") {
        return profile().getPrivateProfileString(section, key, def, size, file);
    }
    std::string hostText(const std::string& windowsPath) {
        std::string bytes;
        machine.platform().files().readFile(windowsPath, &bytes);
        return bytes;
    }
    TempMedium medium;
    TestMachine machine;
};

TEST_F(ProfileFixture, LookupFollowsWindowsRules) {
    struct Case {
        const char* section;
        const char* key;
        std::string expected;
    } cases[] = {
        {"Setup", "Caption", "Drivanto Setup"},
        {"SETUP", "caption", "Drivanto Setup"},
        {"Setup", "Single", "single quoted"},
        {"Setup", "Unbalanced", "\"only one"},
        {"Setup", "Inner", "a \"b\" c"},
        {"Setup", "Equals", "a=b"},
        {"Setup", "Empty", ""},
        {"Setup", "Dup", "first"},
        {"Setup", "Spaced Key", "spaced value"},
        {"Setup", "Other", "0"},   // only the first [Setup] section counts
        {"GBK", "Name", "\xb4\xf2\xd3\xa1\xbb\xfa\x5c"},
        {"Setup", "Missing", "0"},
        {"Missing", "Caption", "0"},
        {"Setup", "; a comment line", "0"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(get(c.section, c.key), c.expected) << c.section << "/" << c.key;
    }
}

TEST_F(ProfileFixture, ResultsAndDefaultsAreCutToTheBuffer) {
    EXPECT_EQ(get("Setup", "Caption", "0", 9), "Drivanto");
    EXPECT_EQ(get("Setup", "Caption", "0", 1), "");
    EXPECT_EQ(get("Setup", "Caption", "0", 0), "");
    EXPECT_EQ(get("Setup", "Missing", "default text", 8), "default");
    EXPECT_EQ(get("Setup", "Missing", "trailing   "), "trailing");
    EXPECT_EQ(get("Setup", "Missing", nullptr), "");
    // Lists of names: each ends in a zero.
    EXPECT_EQ(get("GBK", nullptr), std::string("Name\0", 5));
    EXPECT_EQ(get(nullptr, nullptr), std::string("Setup\0setup\0GBK\0", 16));
}

TEST_F(ProfileFixture, FileNamesResolveLikeWindows) {
    // Case-insensitive names, relative paths against D:\, bare names in C:\WINDOWS.
    EXPECT_EQ(get("Setup", "Single", "0", 200, "d:\\drvconfig\\TEST.INI"), "single quoted");
    EXPECT_EQ(get("Setup", "Single", "0", 200, "DRVCONFIG\\test.ini"), "single quoted");
    EXPECT_EQ(get("Setup", "Single", "0", 200, ".\\DRVCONFIG\\Test.ini"), "single quoted");
    EXPECT_EQ(get("Setup", "Single", "missing", 200, "Test.ini"), "missing");
    EXPECT_EQ(get("Mail", "MAPI", "0", 200, "WIN.INI"), "1");
    EXPECT_EQ(get("Setup", "Single", "no file", 200, "D:\\nothere\\x.ini"), "no file");
}

TEST_F(ProfileFixture, WritesEditInPlaceAndKeepEverythingElse) {
    const std::string file = "D:\\DRVCONFIG\\Test.ini";
    Profile& p = profile();
    ASSERT_EQ(p.writePrivateProfileString("setup", "CAPTION", "New", file), 0u);
    ASSERT_EQ(p.writePrivateProfileString("Setup", "Added", "1", file), 0u);
    ASSERT_EQ(p.writePrivateProfileString("Fresh", "Key", "v", file), 0u);
    ASSERT_EQ(p.writePrivateProfileString("Setup", "Dup", nullptr, file), 0u);
    ASSERT_EQ(p.writePrivateProfileString("GBK", nullptr, nullptr, file), 0u);
    ASSERT_EQ(p.writePrivateProfileString(nullptr, nullptr, nullptr, file), 0u);
    EXPECT_EQ(hostText(file),
              "; a comment line\r\n"
              "[Setup]\r\n"
              "CAPTION=New\r\n"
              "Single='single quoted'\r\n"
              "Unbalanced=\"only one\r\n"
              "Inner=a \"b\" c\r\n"
              "Equals=a=b\r\n"
              "Empty=\r\n"
              "dup=second\r\n"
              "  Spaced Key  =  spaced value \r\n"
              "Added=1\r\n"
              "[setup]\r\n"
              "Caption=from the second section\r\n"
              "Other=only in the second\r\n"
              "[Fresh]\r\n"
              "Key=v\r\n");
}

TEST_F(ProfileFixture, WritesFollowTheFileRules) {
    Profile& p = profile();
    // A new file is made; a missing folder or a read-only file is refused.
    EXPECT_EQ(p.writePrivateProfileString("A", "B", "C", "C:\\WINDOWS\\Temp\\new.ini"), 0u);
    EXPECT_EQ(hostText("C:\\WINDOWS\\Temp\\new.ini"), "[A]\r\nB=C\r\n");
    EXPECT_EQ(p.writePrivateProfileString("A", "B", "C", "C:\\NoFolder\\new.ini"), ERROR_PATH_NOT_FOUND);
    machine.platform().files().setFileAttributes("C:\\WINDOWS\\Temp\\new.ini", FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(p.writePrivateProfileString("A", "B", "D", "C:\\WINDOWS\\Temp\\new.ini"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(p.writePrivateProfileString(nullptr, "B", "D", "C:\\WINDOWS\\Temp\\new.ini"),
              ERROR_INVALID_PARAMETER);
}

TEST_F(ProfileFixture, WinIniIsTheWindowsDirectorysFile) {
    Profile& p = profile();
    ASSERT_EQ(p.writeProfileString("Ports", "COM1:", "9600,n,8,1,p"), 0u);
    EXPECT_EQ(p.getProfileString("ports", "com1:", "", 100), "9600,n,8,1,p");
    EXPECT_EQ(get("Ports", "COM1:", "", 100, "C:\\WINDOWS\\win.ini"), "9600,n,8,1,p");
    EXPECT_EQ(p.writeProfileString(nullptr, nullptr, nullptr), 0u);
    EXPECT_EQ(p.writeProfileString("Ports", nullptr, nullptr), 0u);
    EXPECT_EQ(p.getProfileString("Ports", "COM1:", "gone", 100), "gone");
}

}  // namespace
}  // namespace plat::sim
