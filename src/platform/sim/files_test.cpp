#include "platform/sim/files.h"

#include <gtest/gtest.h>

#include "platform/sim/test_machine.h"
#include "platform/version_block.h"

namespace plat::sim {
namespace {

TestMachineOptions Options(const std::string& os, const std::string& medium = "") {
    TestMachineOptions o;
    o.os = os;
    o.mediumDir = medium;
    o.bulkusbVersion = "1.0.0.5";
    return o;
}

TEST(Files, WellKnownFolders) {
    struct Case {
        const char* os;
        const char* system;
    } cases[] = {{"xp", "C:\\WINDOWS\\system32"}, {"98", "C:\\WINDOWS\\SYSTEM"}, {"win7", "C:\\WINDOWS\\system32"}};
    for (const Case& c : cases) {
        TestMachine m(Options(c.os));
        Files& f = m.platform().files();
        std::string s;
        EXPECT_EQ(f.getSystemDirectory(260, &s), 0u);
        EXPECT_EQ(s, c.system);
        EXPECT_EQ(f.getCurrentDirectory(260, &s), 0u);
        EXPECT_EQ(s, "D:\\");
        EXPECT_EQ(f.getModuleFileName(260, &s), 0u);
        EXPECT_EQ(s, "D:\\Drivanto.exe");
        EXPECT_EQ(f.getWindowsDirectory(260, &s), 0u);
        EXPECT_EQ(s, "C:\\WINDOWS");
        EXPECT_EQ(f.getTempPath(260, &s), 0u);
        EXPECT_EQ(s, "C:\\WINDOWS\\Temp\\");
        // The buffer must hold the text and its terminating zero.
        s = "unchanged";
        EXPECT_EQ(f.getWindowsDirectory(10, &s), ERROR_INSUFFICIENT_BUFFER);
        EXPECT_EQ(s, "unchanged");
        EXPECT_EQ(f.getWindowsDirectory(11, &s), 0u);
    }
}

std::vector<std::string> List(Files& f, const std::string& pattern, Err* firstError = nullptr) {
    std::vector<std::string> names;
    Handle h = 0;
    FindData d;
    Err e = f.findFirstFile(pattern, &h, &d);
    if (firstError) *firstError = e;
    if (e) return names;
    do {
        names.push_back(d.fileName + ((d.attributes & FILE_ATTRIBUTE_DIRECTORY) ? "\\" : ""));
    } while (f.findNextFile(h, &d) == 0);
    EXPECT_EQ(f.findNextFile(h, &d), ERROR_NO_MORE_FILES);
    EXPECT_EQ(f.findClose(h), 0u);
    EXPECT_EQ(f.findClose(h), ERROR_INVALID_HANDLE);
    return names;
}

TEST(Files, FindListsLikeWindows) {
    TempMedium medium;
    medium.write("T\\beta.DLL", "b");
    medium.write("T\\Alpha.dll", "a");
    medium.write("T\\gamma.txt", "g");
    medium.write("T\\sub\\x", "x");
    medium.write("T\\noext", "n");
    TestMachine m(Options("xp", medium.dir()));
    Files& f = m.platform().files();
    using V = std::vector<std::string>;
    EXPECT_EQ(List(f, "D:\\T\\*"), (V{".\\", "..\\", "Alpha.dll", "beta.DLL", "gamma.txt", "noext", "sub\\"}));
    EXPECT_EQ(List(f, "D:\\T\\*.*"), (V{".\\", "..\\", "Alpha.dll", "beta.DLL", "gamma.txt", "noext", "sub\\"}));
    EXPECT_EQ(List(f, "t\\*.dll"), (V{"Alpha.dll", "beta.DLL"}));
    EXPECT_EQ(List(f, "D:\\T\\?eta.dll"), (V{"beta.DLL"}));
    EXPECT_EQ(List(f, "D:\\t\\GAMMA.TXT"), (V{"gamma.txt"}));
    EXPECT_EQ(List(f, "D:\\T\\noext.*"), (V{"noext"}));
    V root = List(f, "D:\\*");
    ASSERT_FALSE(root.empty());
    EXPECT_NE(root.front(), ".\\") << "a drive root has no . and ..";
    Err e = 0;
    List(f, "D:\\T\\*.exe", &e);
    EXPECT_EQ(e, ERROR_FILE_NOT_FOUND);
    List(f, "D:\\Nothing\\*", &e);
    EXPECT_EQ(e, ERROR_PATH_NOT_FOUND);

    Handle h = 0;
    FindData d;
    ASSERT_EQ(f.findFirstFile("D:\\T\\gamma.txt", &h, &d), 0u);
    EXPECT_EQ(d.size, 1u);
    EXPECT_EQ(d.attributes, FILE_ATTRIBUTE_ARCHIVE);
    f.findClose(h);
}

TEST(Files, DirectoriesAndAttributes) {
    TestMachine m(Options("xp"));
    Files& f = m.platform().files();
    EXPECT_EQ(f.createDirectory("C:\\WINDOWS\\system32\\spool\\drivers\\w32x86\\Q"), 0u);
    EXPECT_EQ(f.createDirectory("c:\\windows\\SYSTEM32\\spool\\drivers\\w32x86\\q"), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(f.createDirectory("C:\\WINDOWS\\win.ini"), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(f.createDirectory("C:\\No\\Such\\Folder"), ERROR_PATH_NOT_FOUND);

    std::uint32_t a = 0;
    EXPECT_EQ(f.getFileAttributes("C:\\WINDOWS\\system32", &a), 0u);
    EXPECT_EQ(a, FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(f.getFileAttributes("C:\\WINDOWS\\win.ini", &a), 0u);
    EXPECT_EQ(a, FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_EQ(f.setFileAttributes("C:\\WINDOWS\\WIN.INI", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN), 0u);
    EXPECT_EQ(f.getFileAttributes("c:\\windows\\win.ini", &a), 0u);
    EXPECT_EQ(a, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(f.setFileAttributes("C:\\WINDOWS\\win.ini", 0), 0u);
    EXPECT_EQ(f.getFileAttributes("C:\\WINDOWS\\win.ini", &a), 0u);
    EXPECT_EQ(a, FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(f.getFileAttributes("C:\\WINDOWS\\nothere.ini", &a), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(f.getFileAttributes("C:\\NoFolder\\nothere.ini", &a), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(f.setFileAttributes("C:\\WINDOWS\\nothere.ini", 0), ERROR_FILE_NOT_FOUND);
}

TEST(Files, CopyAndDeleteFollowWindowsRules) {
    TempMedium medium;
    medium.write("W32\\QPXDRV.DLL", "new driver");
    TestMachine m(Options("xp", medium.dir()));
    Files& f = m.platform().files();
    const std::string dir = "C:\\WINDOWS\\system32\\spool\\drivers\\w32x86\\3\\";
    ASSERT_EQ(f.copyFile("D:\\W32\\QPXDRV.DLL", dir + "QPXDRV.DLL", false), 0u);
    f.writeFile(dir + "LOCKED.DLL", "old");
    f.writeFile(dir + "READONLY.DLL", "old");
    f.setFileAttributes(dir + "READONLY.DLL", FILE_ATTRIBUTE_READONLY);
    m.holdFile(dir + "locked.dll");

    struct Case {
        std::string from, to;
        bool failIfExists;
        Err expected;
    } cases[] = {
        {"D:\\W32\\QPXDRV.DLL", dir + "qpxdrv.dll", false, 0},
        {"D:\\W32\\QPXDRV.DLL", dir + "QPXDRV.DLL", true, ERROR_FILE_EXISTS},
        {"D:\\W32\\MISSING.DLL", dir + "MISSING.DLL", false, ERROR_FILE_NOT_FOUND},
        {"D:\\NOFOLDER\\X.DLL", dir + "X.DLL", false, ERROR_PATH_NOT_FOUND},
        {"D:\\W32\\QPXDRV.DLL", "C:\\WINDOWS\\NoFolder\\QPXDRV.DLL", false, ERROR_PATH_NOT_FOUND},
        {"D:\\W32\\QPXDRV.DLL", dir + "READONLY.DLL", false, ERROR_ACCESS_DENIED},
        {"D:\\W32\\QPXDRV.DLL", dir + "LOCKED.DLL", false, ERROR_SHARING_VIOLATION},
        {"D:\\W32\\QPXDRV.DLL", "C:\\WINDOWS\\system32", false, ERROR_ACCESS_DENIED},
        {"D:\\W32", dir + "W32", false, ERROR_ACCESS_DENIED},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(f.copyFile(c.from, c.to, c.failIfExists), c.expected) << c.from << " -> " << c.to;
    }
    std::string bytes;
    EXPECT_EQ(f.readFile(dir + "LOCKED.DLL", &bytes), 0u);
    EXPECT_EQ(bytes, "old") << "a refused copy leaves the destination alone";

    // Probing sees held files; deleting them is refused.
    EXPECT_EQ(f.probeFile(dir + "LOCKED.DLL"), 0u);
    EXPECT_EQ(f.probeFile(dir + "GONE.DLL"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(f.deleteFile(dir + "LOCKED.DLL"), ERROR_SHARING_VIOLATION);
    EXPECT_EQ(f.deleteFile(dir + "READONLY.DLL"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(f.deleteFile(dir + "GONE.DLL"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(f.deleteFile("C:\\WINDOWS\\system32"), ERROR_ACCESS_DENIED);
    m.releaseFile();
    EXPECT_EQ(f.deleteFile(dir + "LOCKED.DLL"), 0u);
    EXPECT_EQ(f.probeFile(dir + "LOCKED.DLL"), ERROR_FILE_NOT_FOUND);

    // Resetting the attributes lets the copy overwrite; the copy keeps the
    // source's attributes.
    ASSERT_EQ(f.setFileAttributes(dir + "READONLY.DLL", FILE_ATTRIBUTE_ARCHIVE), 0u);
    EXPECT_EQ(f.copyFile("D:\\W32\\QPXDRV.DLL", dir + "READONLY.DLL", false), 0u);
    f.setFileAttributes("D:\\W32\\QPXDRV.DLL", FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(f.copyFile("D:\\W32\\QPXDRV.DLL", dir + "COPY.DLL", false), 0u);
    std::uint32_t a = 0;
    f.getFileAttributes(dir + "COPY.DLL", &a);
    EXPECT_EQ(a, FILE_ATTRIBUTE_READONLY);
}

TEST(Files, ReadAndWriteWholeFiles) {
    TestMachine m(Options("xp"));
    Files& f = m.platform().files();
    std::string bytes;
    const std::string gbk = "\xb4\xf2\xd3\xa1\r\n\0x";
    EXPECT_EQ(f.writeFile("C:\\WINDOWS\\Temp\\a.bin", gbk), 0u);
    EXPECT_EQ(f.readFile("c:\\windows\\temp\\A.BIN", &bytes), 0u);
    EXPECT_EQ(bytes, gbk);
    EXPECT_EQ(f.readFile("C:\\WINDOWS\\Temp\\none.bin", &bytes), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(f.readFile("C:\\WINDOWS\\Temp", &bytes), ERROR_ACCESS_DENIED);
    EXPECT_EQ(f.writeFile("C:\\WINDOWS\\NoFolder\\a.bin", "x"), ERROR_PATH_NOT_FOUND);
    m.holdFile("C:\\WINDOWS\\Temp\\a.bin");
    EXPECT_EQ(f.writeFile("C:\\WINDOWS\\Temp\\a.bin", "y"), ERROR_SHARING_VIOLATION);
}

TEST(Files, VersionResourcesAndBitmaps) {
    TempMedium medium;
    medium.write("notpe.dll", "plain text, not a program");
    medium.write("bad.bmp", "BM but not really a bitmap");
    TestMachine m(Options("xp", medium.dir()));
    Files& f = m.platform().files();
    const std::string installed = "C:\\WINDOWS\\system32\\drivers\\bulkusb.sys";
    std::uint32_t size = 0;
    ASSERT_EQ(f.getFileVersionInfoSize(installed, &size), 0u) << m.show();
    std::vector<std::uint8_t> block;
    ASSERT_EQ(f.getFileVersionInfo(installed, &block), 0u);
    EXPECT_EQ(block.size(), size);
    std::string version;
    EXPECT_TRUE(verQueryString(block, "\\StringFileInfo\\040904b0\\FileVersion", &version));
    EXPECT_EQ(version, "1.0.0.5");
    EXPECT_EQ(f.getFileVersionInfoSize("D:\\notpe.dll", &size), ERROR_BAD_FORMAT);
    EXPECT_EQ(f.getFileVersionInfoSize("D:\\missing.dll", &size), ERROR_FILE_NOT_FOUND);

    Bitmap bmp;
    EXPECT_EQ(f.loadBitmapFile("D:\\DRVCONFIG\\Left.bmp", &bmp), 0u);
    EXPECT_GT(bmp.width, 0);
    EXPECT_EQ(f.loadBitmapFile("D:\\bad.bmp", &bmp), ERROR_BAD_FORMAT);
    EXPECT_EQ(f.loadBitmapFile("D:\\none.bmp", &bmp), ERROR_FILE_NOT_FOUND);
}

}  // namespace
}  // namespace plat::sim
