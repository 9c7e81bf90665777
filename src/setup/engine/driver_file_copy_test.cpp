// Driver file copy: destinations, the Unidrv routes per Windows version,
// in-use results, and the failure texts.
#include "setup/engine/driver_file_copy.h"

#include <gtest/gtest.h>

#include <functional>

#include "setup/engine/engine_test_fixture.h"
#include "setup/engine/engine_text.h"

namespace setup::test {
namespace {

int Copy(const char* file, int kind, int os, bool nPrefix = false) {
    std::string name = file;
    return CopyDriverFile(name.data(), kind, os, nPrefix, resultText);
}

std::string Description(plat::Err err) {
    std::string text;
    SystemErrorText(err, &text);
    return text;
}

std::string TempDir(EngineMachine& m) {
    std::string dir;
    m.sys().files().getTempPath(260, &dir);
    return dir;
}

struct CopyFailure {
    const char* name;
    const char* os;
    const char* file;
    int kind;
    std::function<void(EngineMachine&)> arrange;
    int result;
    std::function<std::string()> expected;   // the text (composed once the machine is up)
};

void PrintTo(const CopyFailure& c, std::ostream* os) { *os << c.name; }

std::vector<CopyFailure> CopyFailures() {
    auto fail = [](const char* op, plat::Err err, const char* arg = "") {
        return [=](EngineMachine& m) { m.machine().failAlways(op, err, arg); };
    };
    auto text = [](const char* t) { return [=] { return std::string(t); }; };
    return {
        {"UnknownKind", "xp", "TPDRV.DLL", 12345, nullptr, 0, text("<IDS_ERR_DIRTYPE>")},
        {"DriverDirectory", "xp", "TPDRV.DLL", DriverDir,
         fail("spooler.getPrinterDriverDirectory", ERROR_INVALID_HANDLE), 0, text("<IDS_ERR_GETDRIVERDIR>")},
        {"DriverDirectory3", "xp", "TPFONT.TTF", DriverDir3,
         fail("spooler.getPrinterDriverDirectory", ERROR_INVALID_HANDLE), 0, text("<IDS_ERR_GETDRIVERDIR>")},
        {"ProcessorDirectory", "xp", "TPPROC.DLL", ProcessorDir,
         fail("spooler.getPrintProcessorDirectory", ERROR_INVALID_HANDLE), 0, text("<IDS_ERR_GETPRODIR>")},
        {"SystemDirectory", "xp", "TCOMMON.DLL", SystemDir, fail("files.getSystemDirectory", ERROR_INVALID_HANDLE),
         0, text("<IDS_ERR_GETSYSDIR>")},
        {"WbemSystemDirectory", "xp", "framedyn.dll", WbemDirIfAbsent,
         fail("files.getSystemDirectory", ERROR_INVALID_HANDLE), 0, text("<IDS_ERR_GETSYSDIR>")},
        {"CurrentDirectory", "xp", "TPDRV.DLL", DriverDir, fail("files.getCurrentDirectory", ERROR_INVALID_HANDLE),
         0, text("<IDS_ERR_GETCURDIR>")},
        {"MissingOnMedium", "xp", "MISSING.DLL", DriverDir, nullptr, 0,
         [] {
             return "<IDS_ERR_COPYFIEL>MISSING.DLL\n" + Description(ERROR_FILE_NOT_FOUND) + "<IDS_ERR_COPYFIEL1>";
         }},
        {"InUseNoText", "xp", "TPDRV.DLL", DriverDir, fail("files.copyFile", ERROR_SHARING_VIOLATION), 32,
         text("")},
        {"DeniedNoText", "xp", "TPDRV.DLL", DriverDir, fail("files.copyFile", ERROR_ACCESS_DENIED), 5, text("")},
        {"NoDriverStore", "vista", "UNIRES.DLL", DriverDir,
         fail("files.findFirstFile", ERROR_FILE_NOT_FOUND, "ntprint"), 0,
         [] { return "Couldn't find system files.\n" + Description(ERROR_FILE_NOT_FOUND); }},
        {"SearchNotClosed", "win7", "UNIRES.DLL", DriverDir, fail("files.findClose", ERROR_INVALID_HANDLE), 0,
         text("Couldn't close search handle.")},
        {"DriverStoreCopyInUse", "2008", "TTFSUB.GPD", DriverDir,
         fail("files.copyFile", ERROR_SHARING_VIOLATION, "ntprint"), 32, text("")},
        {"DriverStoreCopyFailed", "vista", "UNIRES.DLL", DriverDir,
         fail("files.copyFile", ERROR_PATH_NOT_FOUND, "ntprint"), 0,
         [] {
             return "<IDS_ERR_COPYFIEL>UNIRES.DLL\n" + Description(ERROR_PATH_NOT_FOUND) +
                    "C:\\WINDOWS\\System32\\DriverStore\\FileRepository\\"
                    "ntprint.inf_x86_neutral_4616b8d6b9fb2cf5\\I386\\UNIRES.DLL";
         }},
    };
}

class CopyFailureTest : public ::testing::TestWithParam<CopyFailure> {};

TEST_P(CopyFailureTest, ResultAndText) {
    const CopyFailure& c = GetParam();
    EngineMedium medium;
    EngineMachine m(c.os, medium);
    int os = 0;
    while (std::string(kOsPresets[os]) != c.os) ++os;
    if (c.arrange) c.arrange(m);
    EXPECT_EQ(Copy(c.file, c.kind, os), c.result);
    m.machine().clearFaults();
    EXPECT_EQ(resultText, c.expected());
}

INSTANTIATE_TEST_SUITE_P(Table, CopyFailureTest, ::testing::ValuesIn(CopyFailures()),
                         [](const auto& info) { return std::string(info.param.name); });

class DriverFileCopy : public ::testing::Test {
protected:
    EngineMedium medium;
};

// A configured "0" (or no name) copies nothing and leaves no text, so the
// installation goes on.
TEST_F(DriverFileCopy, ZeroNameCopiesNothing) {
    EngineMachine m("xp", medium);
    EXPECT_EQ(Copy("0", DriverDir, 3), 0);
    EXPECT_EQ(Copy("", DriverDir, 3), 0);
    EXPECT_EQ(resultText, "");
}

// The name comes back in upper case, and so is the file written.
TEST_F(DriverFileCopy, NameIsUpperCasedInPlace) {
    EngineMachine m("xp", medium);
    char name[] = "tpdrv.dll";
    EXPECT_EQ(CopyDriverFile(name, DriverDir, 3, false, resultText), 1);
    EXPECT_STREQ(name, "TPDRV.DLL");
    EXPECT_EQ(m.readFile(JoinPath(m.driverDir(), "TPDRV.DLL")), FileContent("TPDRV.DLL"));
}

// A read-only destination is overwritten after its attributes are reset.
TEST_F(DriverFileCopy, ReadOnlyDestinationIsOverwritten) {
    EngineMachine m("2000", medium);
    const std::string target = JoinPath(m.driverDir(), "TPDRV.DLL");
    ASSERT_EQ(m.sys().files().writeFile(target, "old"), 0u);
    ASSERT_EQ(m.sys().files().setFileAttributes(target, FILE_ATTRIBUTE_READONLY), 0u);
    EXPECT_EQ(Copy("TPDRV.DLL", DriverDir, 2), 1);
    EXPECT_EQ(m.readFile(target), FileContent("TPDRV.DLL"));
}

// A destination held open gives 32 without text; with nPrefix the file
// goes in as "n" + name, whatever the length of that name.
TEST_F(DriverFileCopy, HeldDestinationAndTheNName) {
    const std::string longName = "ALONGMONITORNAME.DLL";   // "n" + name: 21 characters
    medium.write("W32\\" + longName, FileContent(longName));
    EngineMachine m("xp", medium);
    for (const std::string& file : {std::string("TCOMMON.DLL"), longName}) {
        SCOPED_TRACE(file);
        const std::string target = JoinPath(m.systemDir(), file);
        ASSERT_EQ(m.sys().files().writeFile(target, "old"), 0u);
        m.hold(target);
        EXPECT_EQ(Copy(file.c_str(), SystemDir, 3), 32);
        EXPECT_EQ(resultText, "");
        EXPECT_EQ(Copy(file.c_str(), SystemDir, 3, true), 1);
        EXPECT_EQ(m.readFile(target), "old");
        EXPECT_EQ(m.readFile(JoinPath(m.systemDir(), "n" + file)), FileContent(file));
    }
}

// The "if absent" kinds keep a file the system has and fill in a missing one.
TEST_F(DriverFileCopy, IfAbsentKindsKeepTheSystemsFile) {
    EngineMachine xp("xp", medium);
    plat::Files& files = xp.sys().files();
    const std::string system = xp.systemDir();
    ASSERT_EQ(files.writeFile(JoinPath(system, "newdev.dll"), "system's"), 0u);
    EXPECT_EQ(Copy("newdev.dll", SystemDirIfAbsent, 3), 1);
    EXPECT_EQ(xp.readFile(JoinPath(system, "newdev.dll")), "system's");
    files.deleteFile(JoinPath(system, "srclient.dll"));
    EXPECT_EQ(Copy("srclient.dll", SystemDirIfAbsent, 3), 1);
    EXPECT_EQ(xp.readFile(JoinPath(system, "srclient.dll")), FileContent("srclient.dll"));

    // On XP only the wbem folder counts for framedyn.dll.
    files.deleteFile(JoinPath(system, "wbem\\framedyn.dll"));
    ASSERT_EQ(files.writeFile(JoinPath(system, "framedyn.dll"), "system's"), 0u);
    EXPECT_EQ(Copy("framedyn.dll", WbemDirIfAbsent, 3), 1);
    EXPECT_EQ(xp.readFile(JoinPath(system, "wbem\\framedyn.dll")), FileContent("framedyn.dll"));
    ASSERT_EQ(files.writeFile(JoinPath(system, "wbem\\framedyn.dll"), "kept"), 0u);
    EXPECT_EQ(Copy("framedyn.dll", WbemDirIfAbsent, 3), 1);
    EXPECT_EQ(xp.readFile(JoinPath(system, "wbem\\framedyn.dll")), "kept");
}

// From Vista on a framedyn.dll in the system folder counts as present.
TEST_F(DriverFileCopy, WbemFileInSystemFolderCountsFromVistaOn) {
    EngineMachine vista("vista", medium);
    plat::Files& files = vista.sys().files();
    const std::string system = vista.systemDir();
    files.deleteFile(JoinPath(system, "wbem\\framedyn.dll"));
    ASSERT_EQ(files.writeFile(JoinPath(system, "framedyn.dll"), "system's"), 0u);
    EXPECT_EQ(Copy("framedyn.dll", WbemDirIfAbsent, 5), 1);
    EXPECT_FALSE(vista.exists(JoinPath(system, "wbem\\framedyn.dll")));
}

// On XP the Unidrv files come from the driver cache, unpacked once per run;
// a file already in place is not copied again.
TEST_F(DriverFileCopy, XpUnpacksTheDriverCacheOnce) {
    EngineMachine m("xp", medium);
    const std::string driverDir = m.driverDir();
    ASSERT_EQ(m.sys().files().writeFile(JoinPath(driverDir, "UNIDRV.DLL"), "present"), 0u);
    EXPECT_EQ(Copy("UNIDRV.DLL", DriverDir, 3), 1);
    EXPECT_EQ(m.readFile(JoinPath(driverDir, "UNIDRV.DLL")), "present");
    EXPECT_FALSE(m.exists(TempDir(m) + "ttfsub.gpd")) << "no extraction for a file in place";

    EXPECT_EQ(Copy("TTFSUB.GPD", DriverDir, 3), 1);
    EXPECT_EQ(m.readFile(JoinPath(driverDir, "TTFSUB.GPD")), m.readFile(TempDir(m) + "ttfsub.gpd"));
    EXPECT_NE(m.readFile(JoinPath(driverDir, "TTFSUB.GPD")), FileContent("TTFSUB.GPD"));
    EXPECT_FALSE(m.exists(TempDir(m) + "sample.gpd")) << "only the six Unidrv files are unpacked";

    // Without a second extraction a file gone from the temporary folder is
    // taken from the medium.
    ASSERT_EQ(m.sys().files().deleteFile(TempDir(m) + "stdnames.gpd"), 0u);
    EXPECT_EQ(Copy("STDNAMES.GPD", DriverDir, 3), 1);
    EXPECT_EQ(m.readFile(JoinPath(driverDir, "STDNAMES.GPD")), FileContent("STDNAMES.GPD"));
    EXPECT_EQ(resultText, "");
}

// Without any cabinet in the driver cache the medium's copy is used.
TEST_F(DriverFileCopy, XpWithoutCabinetUsesTheMedium) {
    EngineMachine m("2003", medium);
    m.machine().failAlways("files.findFirstFile", ERROR_FILE_NOT_FOUND, ".cab");
    EXPECT_EQ(Copy("UNIRES.DLL", DriverDir, 4), 1);
    EXPECT_EQ(m.readFile(JoinPath(m.driverDir(), "UNIRES.DLL")), FileContent("UNIRES.DLL"));
    EXPECT_FALSE(ExtractSystemCabinets());
}

// From Vista on the driver store's ntprint package is the source.
TEST_F(DriverFileCopy, VistaCopiesFromTheDriverStore) {
    EngineMachine m("win7", medium);
    EXPECT_EQ(Copy("UNIRES.DLL", DriverDir, 7), 1);
    const std::string copied = m.readFile(JoinPath(m.driverDir(), "UNIRES.DLL"));
    EXPECT_NE(copied, FileContent("UNIRES.DLL"));
    EXPECT_NE(copied, "<missing>");
}

// The system files the driver needs besides its own.
TEST_F(DriverFileCopy, EnsureSystemDriverFilesOn98) {
    EngineMachine m("98", medium);
    const std::string system = m.systemDir();
    EnsureSystemDriverFiles(0, false, resultText);
    EXPECT_EQ(m.readFile(JoinPath(m.driverDir(), "ICONLIB.DLL")), FileContent("ICONLIB.DLL"));
    EXPECT_EQ(m.readFile(JoinPath(system, "UNIDRV.DLL")), FileContent("UNIDRV.DLL"));
    EXPECT_EQ(resultText, "");

    // The system's backup copy comes first; a present file is kept.
    EngineMachine again("me", medium);
    std::string windows;
    again.sys().files().getWindowsDirectory(260, &windows);
    again.sys().files().createDirectory(windows + "\\Sysbckup");
    ASSERT_EQ(again.sys().files().writeFile(windows + "\\Sysbckup\\UNIDRV.DLL", "backup"), 0u);
    EnsureSystemDriverFiles(0, false, resultText);
    EXPECT_EQ(again.readFile(JoinPath(again.systemDir(), "UNIDRV.DLL")), "backup");
    ASSERT_EQ(again.sys().files().writeFile(windows + "\\Sysbckup\\UNIDRV.DLL", "newer"), 0u);
    EnsureSystemDriverFiles(0, false, resultText);
    EXPECT_EQ(again.readFile(JoinPath(again.systemDir(), "UNIDRV.DLL")), "backup");

    again.machine().failCall("files.getWindowsDirectory", 1, ERROR_INVALID_HANDLE);
    EnsureSystemDriverFiles(0, false, resultText);
    EXPECT_EQ(resultText, "<IDS_ERR_ALLOCMEMORY>");
}

TEST_F(DriverFileCopy, EnsureSystemDriverFilesFrom2000On) {
    EngineMachine m("xp", medium);
    EnsureSystemDriverFiles(3, false, resultText);
    EXPECT_FALSE(m.exists(JoinPath(m.driverDir(), "UNIRES.DLL")));
    EnsureSystemDriverFiles(1, true, resultText);
    EXPECT_FALSE(m.exists(JoinPath(m.driverDir(), "UNIRES.DLL")));
    EnsureSystemDriverFiles(3, true, resultText);
    for (const char* file : {"TTFSUB.GPD", "STDNAMES.GPD", "UNIRES.DLL"}) {
        EXPECT_TRUE(m.exists(JoinPath(m.driverDir(), file))) << file;
    }
    EXPECT_EQ(resultText, "");
}

}  // namespace
}  // namespace setup::test
