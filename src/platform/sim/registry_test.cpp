#include "platform/sim/registry.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/sim/sim_platform.h"
#include "platform/sim/test_machine.h"

namespace plat::sim {
namespace {

std::vector<std::uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

// A second process's view of the same machine, read from disk.
std::unique_ptr<SimPlatform> Reopen(TestMachine& m) {
    SimPlatformOptions o;
    o.machineDir = m.dir();
    o.mediumDir = DemoMediumDir();
    std::string error;
    auto p = SimPlatform::Open(o, &error);
    EXPECT_TRUE(p) << error;
    return p;
}

HKey Create(Registry& r, HKey root, const std::string& path) {
    HKey k = 0;
    std::uint32_t disposition = 0;
    EXPECT_EQ(r.createKey(root, path, KEY_ALL_ACCESS, &k, &disposition), 0u) << path;
    return k;
}

TEST(Registry, EveryValueTypeRoundTripsThroughTheFileExactly) {
    struct Case {
        const char* name;
        std::uint32_t type;
        std::vector<std::uint8_t> data;
    } cases[] = {
        {"Text", REG_SZ, Bytes(std::string("9600,n,8,1\0", 11))},
        {"Quotes \"and\" \\slashes\\", REG_SZ, Bytes(std::string("C:\\\"x\"\\\0", 8))},
        // GBK text whose trail bytes are a backslash and a quote-like byte.
        {"Chinese", REG_SZ, Bytes(std::string("\xca\xfd\x5c\xd7\xd6\0", 6))},
        {"NoTerminator", REG_SZ, Bytes("abc")},
        {"TwoLines", REG_SZ, Bytes(std::string("a\r\nb\0", 5))},
        {"Empty", REG_SZ, {}},
        {"Dword", REG_DWORD, {0x78, 0x56, 0x34, 0x12}},
        {"ShortDword", REG_DWORD, {1, 2}},
        {"Binary", REG_BINARY, {1, 0, 0xff}},
        {"LongBinary", REG_BINARY, std::vector<std::uint8_t>(70, 0xab)},
        {"None", REG_NONE, {28, 0, 0, 0, 0x80, 0x25}},
        {"Multi", REG_MULTI_SZ, Bytes(std::string("COM1:\0LPT1:\0\0", 13))},
        {"Expand", REG_EXPAND_SZ, Bytes(std::string("%SystemRoot%\0", 13))},
        {"", REG_SZ, Bytes(std::string("default\0", 8))},
    };
    TestMachine m;
    Registry& r = m.platform().registry();
    HKey k = Create(r, HKEY_CURRENT_USER, "Software\\Test");
    for (const Case& c : cases) {
        ASSERT_EQ(r.setValue(k, c.name, c.type, c.data.data(), static_cast<std::uint32_t>(c.data.size())), 0u)
            << c.name;
    }
    r.closeKey(k);

    auto other = Reopen(m);
    Registry& r2 = other->registry();
    HKey k2 = 0;
    ASSERT_EQ(r2.openKey(HKEY_CURRENT_USER, "SOFTWARE\\test", KEY_READ, &k2), 0u);
    for (const Case& c : cases) {
        std::uint32_t type = 99, size = 200;
        std::vector<std::uint8_t> buf(200);
        ASSERT_EQ(r2.queryValue(k2, c.name, &type, buf.data(), &size), 0u) << c.name;
        buf.resize(size);
        EXPECT_EQ(type, c.type) << c.name;
        EXPECT_EQ(buf, c.data) << c.name << "\n" << m.show();
    }
    std::string name;
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    for (std::uint32_t i = 0; i < std::size(cases); ++i) {
        ASSERT_EQ(r2.enumValue(k2, i, &name, &type, &data), 0u);
        EXPECT_EQ(name, cases[i].name) << "values keep the order they were set in";
    }
    EXPECT_EQ(r2.enumValue(k2, std::size(cases), &name, &type, &data), ERROR_NO_MORE_ITEMS);
}

TEST(Registry, QueryTellsSizesAndMissingValues) {
    TestMachine m;
    Registry& r = m.platform().registry();
    HKey k = Create(r, HKEY_LOCAL_MACHINE, "SOFTWARE\\KESTRAN\\PORTNAME");
    const std::string text("USB_QPX-K7_1\0", 13);
    r.setValue(k, "Port", REG_SZ, reinterpret_cast<const std::uint8_t*>(text.data()), 13);

    std::uint32_t type = 0, size = 0;
    EXPECT_EQ(r.queryValue(k, "port", &type, nullptr, &size), 0u);
    EXPECT_EQ(size, 13u);
    std::uint8_t small[4];
    size = sizeof small;
    EXPECT_EQ(r.queryValue(k, "Port", &type, small, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 13u);
    EXPECT_EQ(r.queryValue(k, "Missing", &type, nullptr, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(r.deleteValue(k, "PORT"), 0u);
    EXPECT_EQ(r.queryValue(k, "Port", &type, nullptr, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(r.deleteValue(k, "Port"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(r.closeKey(k), 0u);
    EXPECT_EQ(r.closeKey(k), ERROR_INVALID_HANDLE);
    EXPECT_EQ(r.queryValue(k, "Port", &type, nullptr, &size), ERROR_INVALID_HANDLE);
}

TEST(Registry, KeyPathsMatchLikeWindows) {
    TestMachine m;
    Registry& r = m.platform().registry();
    std::uint32_t disposition = 0;
    HKey k = 0;
    ASSERT_EQ(r.createKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Kestran\\PrinterPort\\", KEY_ALL_ACCESS, &k,
                          &disposition), 0u);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    r.closeKey(k);
    ASSERT_EQ(r.createKey(HKEY_LOCAL_MACHINE, "software\\KESTRAN\\printerport", KEY_ALL_ACCESS, &k,
                          &disposition), 0u);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    r.closeKey(k);
    struct Case {
        HKey root;
        const char* path;
        Err expected;
    } cases[] = {
        {HKEY_LOCAL_MACHINE, "SOFTWARE\\KESTRAN\\PRINTERPORT", 0},
        {HKEY_LOCAL_MACHINE, "Software\\Kestran\\PrinterPort\\", 0},
        {HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", 0},
        {HKEY_LOCAL_MACHINE, "", 0},
        {HKEY_LOCAL_MACHINE, "SOFTWARE\\KESTRAN\\INSTALLPRINTER", ERROR_FILE_NOT_FOUND},
        {HKEY_CURRENT_USER, "SOFTWARE\\KESTRAN", ERROR_FILE_NOT_FOUND},
        {HKEY_LOCAL_MACHINE, "\\SOFTWARE", ERROR_BAD_PATHNAME},
        {0x1234, "SOFTWARE", ERROR_INVALID_HANDLE},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(r.openKey(c.root, c.path, KEY_READ, &k), c.expected) << c.path;
        if (c.expected == 0) r.closeKey(k);
    }
    // A sub-key opened relative to an open key.
    HKey software = 0, kestran = 0;
    ASSERT_EQ(r.openKey(HKEY_LOCAL_MACHINE, "SOFTWARE", KEY_READ, &software), 0u);
    EXPECT_EQ(r.openKey(software, "kestran", KEY_READ, &kestran), 0u);
}

TEST(Registry, SubKeysEnumerateInSortedOrder) {
    TestMachine m;
    Registry& r = m.platform().registry();
    HKey k = Create(r, HKEY_LOCAL_MACHINE, "SOFTWARE\\Enum");
    for (const char* name : {"beta", "Alpha", "gamma", "ALPHA2"}) r.closeKey(Create(r, k, name));
    std::vector<std::string> names;
    std::string name;
    for (std::uint32_t i = 0; r.enumKey(k, i, &name) == 0; ++i) names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "ALPHA2", "beta", "gamma"}));
    EXPECT_EQ(r.enumKey(k, 4, &name), ERROR_NO_MORE_ITEMS);
}

TEST(Registry, DeletingAKeyWithSubKeysDependsOnTheFamily) {
    struct Case {
        const char* os;
        Err parentResult;
    } cases[] = {{"xp", ERROR_ACCESS_DENIED}, {"win7", ERROR_ACCESS_DENIED}, {"98", 0}, {"me", 0}};
    for (const Case& c : cases) {
        TestMachineOptions o;
        o.os = c.os;
        TestMachine m(o);
        Registry& r = m.platform().registry();
        r.closeKey(Create(r, HKEY_LOCAL_MACHINE, "SOFTWARE\\KESTRAN\\PORTNAME\\USB_1"));
        EXPECT_EQ(r.deleteKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\kestran\\portname"), c.parentResult) << c.os;
        HKey k = 0;
        EXPECT_EQ(r.openKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\KESTRAN\\PORTNAME\\USB_1", KEY_READ, &k),
                  c.parentResult ? 0u : ERROR_FILE_NOT_FOUND) << c.os;
        EXPECT_EQ(r.deleteKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\KESTRAN\\NOTHERE"), ERROR_FILE_NOT_FOUND);
    }
}

TEST(Registry, AnotherProcessSeesChangesAndDeletions) {
    TestMachine m;
    Registry& mine = m.platform().registry();
    auto other = Reopen(m);
    Registry& theirs = other->registry();
    HKey k = Create(mine, HKEY_LOCAL_MACHINE, "SOFTWARE\\KESTRAN\\PORTNAME");
    const std::uint8_t one[4] = {1, 0, 0, 0};
    mine.setValue(k, "USB_1", REG_DWORD, one, 4);

    HKey theirKey = 0;
    ASSERT_EQ(theirs.openKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\KESTRAN\\PORTNAME", KEY_READ, &theirKey), 0u);
    std::uint32_t size = 0;
    EXPECT_EQ(theirs.queryValue(theirKey, "USB_1", nullptr, nullptr, &size), 0u);
    EXPECT_EQ(theirs.deleteKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\KESTRAN\\PORTNAME"), 0u);
    EXPECT_EQ(mine.queryValue(k, "USB_1", nullptr, nullptr, &size), ERROR_KEY_DELETED);
    EXPECT_EQ(mine.setValue(k, "USB_2", REG_DWORD, one, 4), ERROR_KEY_DELETED);
}

TEST(Registry, TwoProcessesWritingAtOnceLoseNothing) {
    TestMachine m;
    const int values = 30;
    auto write = [&](const std::string& prefix) {
        auto mine = Reopen(m);
        Registry& r = mine->registry();
        HKey k = Create(r, HKEY_LOCAL_MACHINE, "SOFTWARE\\KESTRAN\\PORTNAME");
        for (int i = 0; i < values; ++i) {
            const std::uint8_t one[4] = {1, 0, 0, 0};
            if (r.setValue(k, (prefix + std::to_string(i)).c_str(), REG_DWORD, one, 4) != 0) return false;
        }
        return true;
    };
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) _exit(write("child") ? 0 : 1);
    EXPECT_TRUE(write("parent"));
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(status, 0);
    HKey k = 0;
    ASSERT_EQ(m.platform().registry().openKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\KESTRAN\\PORTNAME", KEY_READ, &k), 0u);
    std::string name;
    std::uint32_t count = 0;
    while (m.platform().registry().enumValue(k, count, &name, nullptr, nullptr) == 0) ++count;
    EXPECT_EQ(count, 2u * values);
}

TEST(RegistryFile, FormatsAsRegedit4AndParsesContinuedHexLines) {
    RegTree tree;
    std::string error;
    const std::string text =
        "REGEDIT4\n\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\A]\n"
        "@=\"default\"\n"
        "\"Bin\"=hex:01,02,\\\n"
        "  03,04\n"
        "\"N\"=hex(0):\n"
        "\"D\"=dword:0000000a\n"
        "\r\n"
        "[HKEY_CURRENT_USER\\Software]\n";
    ASSERT_TRUE(ParseRegistry("registry.reg", text, &tree, &error)) << error;
    RegNode& a = *tree.roots[HKEY_LOCAL_MACHINE].children.at("software")->children.at("a");
    ASSERT_EQ(a.values.size(), 4u);
    EXPECT_EQ(a.values[1].data, (std::vector<std::uint8_t>{1, 2, 3, 4}));
    EXPECT_EQ(a.values[2].type, REG_NONE);
    EXPECT_TRUE(a.values[2].data.empty());
    EXPECT_EQ(FormatRegistry(tree),
              "REGEDIT4\n\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE]\n\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\A]\n"
              "@=\"default\"\n"
              "\"Bin\"=hex:01,02,03,04\n"
              "\"N\"=hex(0):\n"
              "\"D\"=dword:0000000a\n\n"
              "[HKEY_CURRENT_USER\\Software]\n\n");
}

}  // namespace
}  // namespace plat::sim
