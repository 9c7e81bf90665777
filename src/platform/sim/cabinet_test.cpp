// Cabinets written by our writer and read back through the machine's
// cabinet service (libmspack), and the spooler's part of a new machine.
#include <gtest/gtest.h>

#include <set>

#include "platform/sim/cab_writer.h"
#include "platform/sim/test_machine.h"

namespace plat::sim {
namespace {

const char* const kUnidrvSix[] = {"unidrvui.dll", "unidrv.dll", "unires.dll",
                                  "unidrv.hlp",   "stdnames.gpd", "ttfsub.gpd"};

struct Seen {
    std::string name;
    std::uint32_t size;
};

// Every file of the cabinet, copying those whose names are in `wanted` to
// `folder`.
Err Iterate(Platform& p, const std::string& cab, const std::set<std::string>& wanted,
            const std::string& folder, std::vector<Seen>* seen) {
    return p.cabinets().iterateCabinet(cab, [&](const std::string& name, std::uint32_t size,
                                                std::string* target) {
        seen->push_back({name, size});
        if (!wanted.count(name)) return CabFileAction::Skip;
        *target = folder + "\\" + name;
        return CabFileAction::Copy;
    });
}

TEST(Cabinet, RoundTripThroughTheWriterAndLibmspack) {
    TestMachine machine;
    Platform& p = machine.platform();
    std::string big(70000, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 + i / 251);
    std::vector<CabEntry> entries = {
        {"first.txt", "hello\r\n"}, {"empty.dat", ""}, {"big.bin", big}, {"last.gpd", "*GPD\r\n"}};
    ASSERT_EQ(p.files().writeFile("C:\\WINDOWS\\Temp\\t.cab", WriteCabinet(entries)), ERROR_SUCCESS);

    std::vector<Seen> seen;
    ASSERT_EQ(Iterate(p, "C:\\WINDOWS\\Temp\\t.cab", {"big.bin", "empty.dat", "last.gpd"}, "C:\\WINDOWS\\Temp",
                      &seen),
              ERROR_SUCCESS);
    ASSERT_EQ(seen.size(), entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(seen[i].name, entries[i].name);
        EXPECT_EQ(seen[i].size, entries[i].bytes.size());
    }
    for (const CabEntry& e : entries) {
        std::string bytes;
        Err err = p.files().readFile("C:\\WINDOWS\\Temp\\" + e.name, &bytes);
        if (e.name == "first.txt") {
            EXPECT_EQ(err, ERROR_FILE_NOT_FOUND) << "skipped, so not extracted";
        } else {
            ASSERT_EQ(err, ERROR_SUCCESS) << e.name;
            EXPECT_EQ(bytes, e.bytes) << e.name;
        }
    }
}

TEST(Cabinet, Failures) {
    TestMachine machine;
    Platform& p = machine.platform();
    std::vector<Seen> seen;
    EXPECT_EQ(Iterate(p, "C:\\WINDOWS\\Temp\\none.cab", {}, "C:\\WINDOWS\\Temp", &seen), ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(p.files().writeFile("C:\\WINDOWS\\Temp\\bad.cab", "MSCF but nothing more"), ERROR_SUCCESS);
    EXPECT_EQ(Iterate(p, "C:\\WINDOWS\\Temp\\bad.cab", {}, "C:\\WINDOWS\\Temp", &seen), ERROR_INVALID_DATA);

    // A target another program holds open fails as a copy over it would.
    ASSERT_EQ(p.files().writeFile("C:\\WINDOWS\\Temp\\ok.cab", WriteCabinet({{"a.dll", "new"}})), ERROR_SUCCESS);
    ASSERT_EQ(p.files().writeFile("C:\\WINDOWS\\Temp\\a.dll", "old"), ERROR_SUCCESS);
    machine.holdFile("C:\\WINDOWS\\Temp\\a.dll");
    EXPECT_EQ(Iterate(p, "C:\\WINDOWS\\Temp\\ok.cab", {"a.dll"}, "C:\\WINDOWS\\Temp", &seen),
              ERROR_SHARING_VIOLATION);
    std::string bytes;
    ASSERT_EQ(p.files().readFile("C:\\WINDOWS\\Temp\\a.dll", &bytes), ERROR_SUCCESS);
    EXPECT_EQ(bytes, "old");
}

TEST(SpoolerPreset, DriverCacheCabinetOn2000To2003) {
    for (const char* os : {"2000", "xp", "2003"}) {
        SCOPED_TRACE(os);
        TestMachineOptions o;
        o.os = os;
        TestMachine machine(o);
        std::vector<Seen> seen;
        std::set<std::string> six(std::begin(kUnidrvSix), std::end(kUnidrvSix));
        ASSERT_EQ(Iterate(machine.platform(), "C:\\WINDOWS\\Driver Cache\\i386\\driver.cab", six,
                          "C:\\WINDOWS\\Temp", &seen),
                  ERROR_SUCCESS);
        EXPECT_GT(seen.size(), six.size());   // a few other files beside them
        for (const char* name : kUnidrvSix) {
            std::uint32_t a = 0;
            EXPECT_EQ(machine.platform().files().getFileAttributes(std::string("C:\\WINDOWS\\Temp\\") + name, &a),
                      ERROR_SUCCESS) << name;
        }
        std::vector<std::uint8_t> block;
        EXPECT_EQ(machine.platform().files().getFileVersionInfo("C:\\WINDOWS\\Temp\\unidrv.dll", &block),
                  ERROR_SUCCESS);
    }
}

TEST(SpoolerPreset, DriverStoreFromVistaOn) {
    TestMachineOptions o;
    o.os = "win7";
    TestMachine machine(o);
    Files& files = machine.platform().files();
    Handle find = 0;
    FindData data;
    ASSERT_EQ(files.findFirstFile("C:\\WINDOWS\\System32\\DriverStore\\FileRepository\\ntprint*", &find, &data),
              ERROR_SUCCESS);
    files.findClose(find);
    std::string folder = "C:\\WINDOWS\\System32\\DriverStore\\FileRepository\\" + data.fileName + "\\I386\\";
    for (const char* name : kUnidrvSix) {
        std::uint32_t a = 0;
        EXPECT_EQ(files.getFileAttributes(folder + name, &a), ERROR_SUCCESS) << name;
    }
    std::uint32_t a = 0;
    // No driver cache at all on these versions.
    EXPECT_EQ(files.getFileAttributes("C:\\WINDOWS\\Driver Cache\\i386\\driver.cab", &a), ERROR_PATH_NOT_FOUND);
}

TEST(SpoolerPreset, BuiltInMonitorProcessorAndFolders) {
    struct Case {
        const char* os;
        const char* versionFolder;   // "" on Windows 9x
    } cases[] = {{"98", ""}, {"nt4", "2"}, {"xp", "3"}, {"win10", "3"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.os);
        TestMachineOptions o;
        o.os = c.os;
        TestMachine machine(o);
        Spooler& spooler = machine.platform().spooler();
        std::uint32_t needed = 0;
        std::vector<std::string> names;
        ASSERT_EQ(spooler.enumMonitors1(nullptr, 4096, &needed, &names), ERROR_SUCCESS);
        EXPECT_EQ(names, std::vector<std::string>{"Local Port"});
        ASSERT_EQ(spooler.enumPrintProcessors1(nullptr, nullptr, 4096, &needed, &names), ERROR_SUCCESS);
        EXPECT_EQ(names, std::vector<std::string>{"WinPrint"});
        std::string dir;
        ASSERT_EQ(spooler.getPrintProcessorDirectory(nullptr, nullptr, 1, 256, &dir), ERROR_SUCCESS);
        std::uint32_t a = 0;
        EXPECT_EQ(machine.platform().files().getFileAttributes(dir + "\\winprint.dll", &a), ERROR_SUCCESS);
        if (*c.versionFolder) {
            ASSERT_EQ(spooler.getPrinterDriverDirectory(nullptr, nullptr, 1, 256, &dir), ERROR_SUCCESS);
            EXPECT_EQ(machine.platform().files().getFileAttributes(dir + "\\" + c.versionFolder, &a), ERROR_SUCCESS);
            EXPECT_NE(a & FILE_ATTRIBUTE_DIRECTORY, 0u);
        }
        EXPECT_EQ(machine.state().get("Spooler", "State"), "running");
    }
}

}  // namespace
}  // namespace plat::sim
