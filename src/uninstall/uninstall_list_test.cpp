#include "uninstall/uninstall_list.h"

#include <gtest/gtest.h>

#include "platform/sim/test_machine.h"
#include "uninstall/uninstall_test_fixture.h"

namespace uninstall {
namespace {

using test::Machine;

// --- Where the list is found -------------------------------------------------

struct LocateCase {
    const char* what;
    std::vector<std::pair<const char*, const char*>> write;   // relative path, content
    std::vector<const char*> remove;
    const char* key;    // null: found
    const char* path;
};

class Locate : public ::testing::TestWithParam<LocateCase> {};

TEST_P(Locate, FindsTheListOrNamesWhyNot) {
    const LocateCase& c = GetParam();
    plat::sim::TempMedium medium;
    for (const char* path : c.remove) medium.remove(path);
    for (const auto& [path, content] : c.write) medium.write(path, content);
    Machine machine("xp", medium.dir());
    std::string path = "stale";
    const char* key = LocateUninstallList(&path);
    if (c.key) {
        ASSERT_NE(key, nullptr);
        EXPECT_STREQ(key, c.key);
        EXPECT_EQ(path, "");
    } else {
        EXPECT_EQ(key, nullptr) << key;
        EXPECT_EQ(path, c.path);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Locate,
    ::testing::Values(
        LocateCase{"ProgramFolder", {}, {}, nullptr, "D:\\Uninstall.ini"},
        LocateCase{"ProgramFolderWins", {{"DRVCONFIG\\Uninstall.ini", "[KSPROC]\r\n"}}, {}, nullptr,
                   "D:\\Uninstall.ini"},
        LocateCase{"OnlyInDrvconfig", {{"DRVCONFIG\\Uninstall.ini", "[KSPROC]\r\n"}}, {"Uninstall.ini"},
                   nullptr, "D:\\DRVCONFIG\\Uninstall.ini"},
        LocateCase{"UpperCaseNameIsNotFound", {{"UNINSTALL.INI", "[KSPROC]\r\n"}}, {"Uninstall.ini"},
                   "IDS_ERR_NOINI", ""},
        LocateCase{"NoDrvconfigFolder", {}, {"Uninstall.ini", "DRVCONFIG"}, "IDS_ERR_INVALID", ""},
        LocateCase{"NameOnlyContainsIt", {{"OldUninstall.ini.bak", "x"}}, {"Uninstall.ini"}, nullptr,
                   "D:\\Uninstall.ini"}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(Locate, CurrentFolderUnknown) {
    Machine machine("xp");
    machine->failCall("files.getCurrentDirectory", 1, ERROR_INSUFFICIENT_BUFFER);
    std::string path;
    EXPECT_STREQ(LocateUninstallList(&path), "IDS_ERR_GETSYSDIR");
}

TEST(Locate, ClearsReadOnlyOnEveryEntryItPasses) {
    plat::sim::TempMedium medium;
    Machine machine("xp", medium.dir());
    plat::Files& files = test::Sys().files();
    // "DRVCONFIG" and "Drivanto_CN.CHM" come before the list; "W32" after it.
    for (const char* path : {"D:\\Drivanto_CN.CHM", "D:\\Uninstall.ini", "D:\\W32"}) {
        ASSERT_EQ(files.setFileAttributes(path, 0x01 | 0x02 | (path[3] == 'W' ? 0x10 : 0)), 0u) << path;
    }
    std::string path;
    ASSERT_EQ(LocateUninstallList(&path), nullptr);
    std::uint32_t attributes = 0;
    ASSERT_EQ(files.getFileAttributes("D:\\Uninstall.ini", &attributes), 0u);
    EXPECT_EQ(attributes, FILE_ATTRIBUTE_ARCHIVE);
    ASSERT_EQ(files.getFileAttributes("D:\\Drivanto_CN.CHM", &attributes), 0u);
    EXPECT_EQ(attributes, FILE_ATTRIBUTE_ARCHIVE);
    // The search stopped at the list: what follows keeps its attributes.
    ASSERT_EQ(files.getFileAttributes("D:\\W32", &attributes), 0u);
    EXPECT_NE(attributes & 0x01, 0u);
}

// --- Which names belong to the maker -------------------------------------------

struct MemberCase {
    const char* what;
    const char* list;     // the whole Uninstall.ini
    const char* name;     // a monitor name
    bool member;
};

class MonitorMembership : public ::testing::TestWithParam<MemberCase> {};

TEST_P(MonitorMembership, EntryMustOccurInTheName) {
    const MemberCase& c = GetParam();
    plat::sim::TempMedium medium;
    medium.write("Uninstall.ini", c.list);
    Machine machine("xp", medium.dir());
    EXPECT_EQ(UninstallList("D:\\Uninstall.ini", 3).IsMakersMonitor(c.name), c.member);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MonitorMembership,
    ::testing::Values(
        MemberCase{"Substring", "[KSMONITOR]\nMonitorNUM=1\nMONITORNAME1=COM Port\n", "Kestran COM Port", true},
        MemberCase{"CaseMatters", "[KSMONITOR]\nMonitorNUM=1\nMONITORNAME1=com port\n", "Kestran COM Port", false},
        MemberCase{"CountZero", "[KSMONITOR]\nMonitorNUM=0\nMONITORNAME1=COM\n", "Kestran COM Port", false},
        MemberCase{"CountMissing", "[KSMONITOR]\nMONITORNAME1=COM\n", "Kestran COM Port", false},
        MemberCase{"CountNegative", "[KSMONITOR]\nMonitorNUM=-2\nMONITORNAME1=COM\n", "COM", false},
        MemberCase{"CountBeyondEntries", "[KSMONITOR]\nMonitorNUM=2\nMONITORNAME1=USB\n", "Port 10", true},
        MemberCase{"CountBeyondEntriesNoZero", "[KSMONITOR]\nMonitorNUM=2\nMONITORNAME1=USB\n", "Port", false},
        MemberCase{"TenthEntryKey", "[KSMONITOR]\nMonitorNUM=10\nMONITORNAME1=a1\nMONITORNAME2=a2\n"
                   "MONITORNAME3=a3\nMONITORNAME4=a4\nMONITORNAME5=a5\nMONITORNAME6=a6\nMONITORNAME7=a7\n"
                   "MONITORNAME8=a8\nMONITORNAME9=a9\nMONITORNAME:=Tenth\n", "The Tenth Monitor", true},
        MemberCase{"TwoDigitKeyIsNotRead", "[KSMONITOR]\nMonitorNUM=10\nMONITORNAME1=a1\nMONITORNAME2=a2\n"
                   "MONITORNAME3=a3\nMONITORNAME4=a4\nMONITORNAME5=a5\nMONITORNAME6=a6\nMONITORNAME7=a7\n"
                   "MONITORNAME8=a8\nMONITORNAME9=a9\nMONITORNAME10=Tenth\n", "The Tenth Monitor", false},
        MemberCase{"EntryCutTo29", "[KSMONITOR]\nMonitorNUM=1\nMONITORNAME1=ABCDEFGHIJKLMNOPQRSTUVWXYZ123XYZ\n",
                   "ABCDEFGHIJKLMNOPQRSTUVWXYZ123", true},
        MemberCase{"NoFile", "", "Kestran COM Port", false}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(Membership, ProcessorsAreNeverTheMakersOnWindows9x) {
    Machine machine("98");
    EXPECT_FALSE(UninstallList("D:\\Uninstall.ini", 0).IsMakersProcessor(test::kProcessor));
    EXPECT_TRUE(UninstallList("D:\\Uninstall.ini", 2).IsMakersProcessor(test::kProcessor));
}

TEST(Membership, PrinterIsJudgedByItsDriverName) {
    Machine machine("xp");
    test::InstallComponents(true);
    test::InstallDriver(test::kRasterDriver);
    test::InstallDriver("Generic Text");
    test::AddPrinter("Front desk", "LPT1:", test::kRasterDriver);
    test::AddPrinter("QPX-T510 lookalike", "LPT2:", "Generic Text");
    UninstallList list("D:\\Uninstall.ini", 3);
    EXPECT_TRUE(list.IsMakersPrinter("Front desk"));
    EXPECT_FALSE(list.IsMakersPrinter("QPX-T510 lookalike"));
    EXPECT_FALSE(list.IsMakersPrinter("No such printer"));
    // A printer whose information cannot be read is not the maker's.
    machine->failCall("spooler.getPrinter2", 1, ERROR_INVALID_HANDLE);
    EXPECT_FALSE(list.IsMakersPrinter("Front desk"));
    machine->failCall("system.allocate", 1, ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_FALSE(list.IsMakersPrinter("Front desk"));
}

TEST(Membership, ItemKindIsDecidedByTheTextAlone) {
    Machine machine("xp");
    UninstallList list("D:\\Uninstall.ini", 3);
    EXPECT_EQ(list.KindOf(test::kComMonitor), ItemKind::Monitor);
    EXPECT_EQ(list.KindOf(test::kProcessor), ItemKind::Processor);
    EXPECT_EQ(list.KindOf("Front desk"), ItemKind::Printer);
    // A printer named after a monitor entry counts as that monitor.
    EXPECT_EQ(list.KindOf("Kestran USB Port printer"), ItemKind::Monitor);
    EXPECT_EQ(UninstallList("D:\\Uninstall.ini", 0).KindOf(test::kProcessor), ItemKind::Printer);
}

TEST(Sections, SuffixPerClassAndLengthLimit) {
    const char* expected[] = {"KestranCOMPort.98", "KestranCOMPort.NT", "KestranCOMPort.2K",
                              "KestranCOMPort.2K", "KestranCOMPort.2003", "KestranCOMPort.Vista",
                              "KestranCOMPort.2008", "KestranCOMPort.Win7"};
    for (int osClass = 0; osClass < 8; ++osClass) {
        EXPECT_EQ(UninstallList("x", osClass).MonitorSection(test::kComMonitor), expected[osClass]);
    }
    EXPECT_EQ(UninstallList("x", -1).MonitorSection(test::kComMonitor), "KestranCOMPort");
    EXPECT_EQ(UninstallList("x", 2).ProcessorSection("QPX Print"), "QPX Print.2K");
    // 29 characters still name a section; 30 name none.
    EXPECT_EQ(UninstallList("x", 2).ProcessorSection(std::string(26, 'P')), std::string(26, 'P') + ".2K");
    EXPECT_EQ(UninstallList("x", 2).ProcessorSection(std::string(27, 'P')), "");
}

// --- The item list ---------------------------------------------------------------

// The spooler enumerates in its registry order (by name).
TEST(Items, PrintersThenMonitorsThenProcessors) {
    Machine machine("xp");
    test::InstallComponents(true);
    test::InstallDriver(test::kRasterDriver, test::kLangMonitor);
    test::InstallDriver("Generic Text");
    test::AddPrinter("Kitchen", "KSCOM1:", test::kRasterDriver, test::kProcessor);
    test::AddPrinter("Office", "LPT1:", "Generic Text");
    test::AddPrinter("Bar", test::kUsbPort, test::kRasterDriver);
    EXPECT_EQ(UninstallList("D:\\Uninstall.ini", 3).Items(),
              (std::vector<std::string>{"Bar", "Kitchen", test::kComMonitor, test::kLangMonitor,
                                        test::kUsbMonitor, test::kProcessor}));
}

TEST(Items, FailedEnumerationsAndUnreadablePrintersYieldNothing) {
    Machine machine("xp");
    test::InstallComponents(true);
    test::InstallDriver(test::kRasterDriver);
    test::AddPrinter("Kitchen", "KSCOM1:", test::kRasterDriver);
    test::AddPrinter("Bar", "KSCOM2:", test::kRasterDriver);
    machine->failCall("spooler.openPrinter", 1, ERROR_ACCESS_DENIED, "Kitchen");
    machine->failAlways("spooler.enumMonitors1", RPC_S_SERVER_UNAVAILABLE);
    EXPECT_EQ(UninstallList("D:\\Uninstall.ini", 3).Items(), (std::vector<std::string>{"Bar", test::kProcessor}));
}

TEST(Items, NoPrintProcessorOnWindows9xAndNoPrintersWithoutTheirCount) {
    plat::sim::TempMedium medium;
    Machine machine("98", medium.dir());
    test::InstallComponents(false);
    test::InstallDriver(test::kRasterDriver);
    test::AddPrinter("Kitchen", "LPT1:", test::kRasterDriver);
    EXPECT_EQ(UninstallList("D:\\Uninstall.ini", 0).Items(),
              (std::vector<std::string>{"Kitchen", test::kComMonitor, test::kLangMonitor, test::kUsbMonitor}));
    medium.write("Uninstall.ini", "[KSPRINTER]\r\nPRINTERNAME1=QPX\r\n[KSMONITOR]\r\nMonitorNUM=1\r\n"
                                  "MONITORNAME1=COM\r\n");
    EXPECT_EQ(UninstallList("D:\\Uninstall.ini", 0).Items(), (std::vector<std::string>{test::kComMonitor}));
}

}  // namespace
}  // namespace uninstall
