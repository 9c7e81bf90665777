// The PE version reader and writer, and VerQueryValue over the blocks they
// give: round trips through our own images and reads of real DLLs built by
// the mingw-w64 tools (testdata/versiondll/build.sh).
#include "platform/sim/pe_image.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/version_block.h"

namespace plat::sim {
namespace {

std::string ReadTestData(const std::string& name) {
    auto path = std::filesystem::path(__FILE__).parent_path() / "testdata" / name;
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::uint32_t Dword(const std::vector<std::uint8_t>& v, std::size_t at) {
    return v[at] | (v[at + 1] << 8) | (v[at + 2] << 16) | (static_cast<std::uint32_t>(v[at + 3]) << 24);
}

std::vector<std::uint8_t> BlockOf(const std::string& file) {
    std::vector<std::uint8_t> block;
    EXPECT_EQ(ExtractVersionBlock(file, &block), ERROR_SUCCESS);
    return block;
}

// The fixed info's file version, the first translation and the FileVersion
// string under that translation.
void ExpectVersion(const std::vector<std::uint8_t>& block, std::uint32_t ms, std::uint32_t ls,
                   std::uint32_t translation, const std::string& table, const std::string& text) {
    std::vector<std::uint8_t> fixed;
    ASSERT_TRUE(verQueryValue(block, "\\", &fixed));
    ASSERT_EQ(fixed.size(), 52u);
    EXPECT_EQ(Dword(fixed, 0), 0xFEEF04BDu);
    EXPECT_EQ(Dword(fixed, 8), ms);
    EXPECT_EQ(Dword(fixed, 12), ls);
    std::vector<std::uint8_t> pairs;
    ASSERT_TRUE(verQueryValue(block, "\\VarFileInfo\\Translation", &pairs));
    ASSERT_EQ(pairs.size(), 4u);
    EXPECT_EQ(Dword(pairs, 0), translation);
    std::string value;
    ASSERT_TRUE(verQueryString(block, "\\StringFileInfo\\" + table + "\\FileVersion", &value));
    EXPECT_EQ(value, text);
}

TEST(PeImage, BuiltImageRoundTrips) {
    VersionFields f;
    f.fileVersion = "1.0.0.6";
    f.productName = "Bulk USB";
    f.fileDescription = "USB bulk transfer driver";
    std::string pe = BuildPeWithVersion(f);
    auto block = BlockOf(pe);
    ExpectVersion(block, 0x00010000u, 0x00000006u, 0x04b00409u, "040904b0", "1.0.0.6");
    std::string text;
    ASSERT_TRUE(verQueryString(block, "\\StringFileInfo\\040904b0\\ProductName", &text));
    EXPECT_EQ(text, "Bulk USB");
    ASSERT_TRUE(verQueryString(block, "\\StringFileInfo\\040904b0\\FileDescription", &text));
    EXPECT_EQ(text, "USB bulk transfer driver");
}

TEST(PeImage, TrailerFollowsTheImageAndLeavesItReadable) {
    VersionFields f;
    f.fileVersion = "3.1.0.0";
    std::string pe = BuildPeWithVersion(f, "\nSIM-PORTS=KSCOM1:\n");
    EXPECT_NE(pe.find("\nSIM-PORTS=KSCOM1:\n"), std::string::npos);
    std::string text;
    EXPECT_TRUE(verQueryString(BlockOf(pe), "\\StringFileInfo\\040904b0\\FileVersion", &text));
    EXPECT_EQ(text, "3.1.0.0");
}

TEST(PeImage, NonAsciiTextsTravelThroughUtf16) {
    VersionFields f;
    f.fileVersion = "1.2.3.4";
    f.productName = "\xB4\xF2\xD3\xA1\xBB\xFA";  // "打印机" in GBK
    f.language = 0x0804;
    std::string pe = BuildPeWithVersion(f);
    auto block = BlockOf(pe);
    std::string text;
    ASSERT_TRUE(verQueryString(block, "\\StringFileInfo\\080404b0\\ProductName", &text));
    EXPECT_EQ(text, f.productName);
}

// Real DLLs from windres and the linker, 32-bit and 64-bit, with language
// 0x0804 and code page 1200.
TEST(PeImage, ReadsRealDlls) {
    for (const char* name : {"fixture32.dll", "fixture64.dll"}) {
        SCOPED_TRACE(name);
        std::string file = ReadTestData(name);
        ASSERT_FALSE(file.empty());
        auto block = BlockOf(file);
        ExpectVersion(block, 0x00020005u, 0x00000011u, 0x04b00804u, "080404b0", "2.5.0.17");
        std::string text;
        ASSERT_TRUE(verQueryString(block, "\\StringFileInfo\\080404b0\\FileDescription", &text));
        EXPECT_EQ(text, "Version fixture library");
    }
}

TEST(VersionBlock, QueriesMatchWithoutRegardToCaseAndMissOtherwise) {
    VersionFields f;
    f.fileVersion = "1.0.0.5";
    f.productName = "P";
    auto block = BlockOf(BuildPeWithVersion(f));
    std::string text;
    EXPECT_TRUE(verQueryString(block, "\\stringfileinfo\\040904B0\\fileversion", &text));
    EXPECT_EQ(text, "1.0.0.5");
    EXPECT_TRUE(verQueryString(block, "StringFileInfo\\040904b0\\FileVersion", &text));

    std::vector<std::uint8_t> value;
    struct Miss { const char* path; } misses[] = {
        {"\\StringFileInfo\\040904e4\\FileVersion"},  // another code page
        {"\\StringFileInfo\\040904b0\\CompanyName"},  // not written
        {"\\VarFileInfo\\Translations"},
        {"\\StringFileInfo\\040904b0\\FileVersion\\More"},
    };
    for (const Miss& m : misses) {
        EXPECT_FALSE(verQueryValue(block, m.path, &value)) << m.path;
    }
    // A binary value is not a string.
    EXPECT_FALSE(verQueryString(block, "\\VarFileInfo\\Translation", &text));
}

// Some resource compilers mark strings as binary, with the length in bytes.
TEST(VersionBlock, StringsMarkedBinaryStillReadAsText) {
    VersionFields f;
    f.fileVersion = "4.3.2.1";
    auto block = BlockOf(BuildPeWithVersion(f));
    const std::u16string key = u"FileVersion";
    std::string needle;
    for (char16_t c : key) {
        needle.push_back(static_cast<char>(c & 0xFF));
        needle.push_back(static_cast<char>(c >> 8));
    }
    std::string bytes(block.begin(), block.end());
    std::size_t at = bytes.find(needle);
    ASSERT_NE(at, std::string::npos);
    std::size_t node = at - 6;
    block[node + 2] = static_cast<std::uint8_t>((f.fileVersion.size() + 1) * 2);  // bytes
    block[node + 4] = 0;                                                         // binary
    std::string text;
    ASSERT_TRUE(verQueryString(block, "\\StringFileInfo\\040904b0\\FileVersion", &text));
    EXPECT_EQ(text, "4.3.2.1");
}

TEST(VersionBlock, DamagedBlocksReadAsMissingNotPastTheEnd) {
    VersionFields f;
    f.fileVersion = "1.0.0.5";
    auto block = BlockOf(BuildPeWithVersion(f));
    std::string text;
    // Cut anywhere: every query either fails or stays inside the bytes.
    for (std::size_t cut = 0; cut < block.size(); cut += 7) {
        std::vector<std::uint8_t> part(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(cut));
        verQueryString(part, "\\StringFileInfo\\040904b0\\FileVersion", &text);
    }
    // A node claiming more than the block holds.
    auto swollen = block;
    swollen[0] = 0xFF;
    swollen[1] = 0xFF;
    EXPECT_FALSE(verQueryString(swollen, "\\StringFileInfo\\040904b0\\FileVersion", &text));
    EXPECT_FALSE(verQueryString({}, "\\", &text));
}

TEST(PeImage, RefusesWhatIsNotAVersionedPe) {
    VersionFields f;
    f.fileVersion = "1.0.0.1";
    std::string good = BuildPeWithVersion(f);
    std::string noResource = good;
    noResource[0x40 + 24 + 96 + 16] = 0;  // resource table RVA 0
    noResource[0x40 + 24 + 96 + 17] = 0;
    std::string otherType = good;
    otherType[0x200 + 16] = 6;  // the root entry names RT_STRING instead
    std::string badSignature = good;
    badSignature[0x40] = 'N';
    std::string badMagic = good;
    badMagic[0x40 + 24] = 0x0C;
    std::string lfanewOutside = good;
    lfanewOutside[0x3C] = static_cast<char>(0xF0);
    lfanewOutside[0x3D] = static_cast<char>(0xFF);

    struct Case {
        const char* what;
        std::string bytes;
        Err expected;
    } cases[] = {
        {"empty file", "", ERROR_BAD_FORMAT},
        {"text file", "SIM-PORTS=KSCOM1:\n", ERROR_BAD_FORMAT},
        {"only a DOS header", good.substr(0, 64), ERROR_BAD_FORMAT},
        {"no PE signature", badSignature, ERROR_BAD_FORMAT},
        {"unknown optional header", badMagic, ERROR_BAD_FORMAT},
        {"e_lfanew past the end", lfanewOutside, ERROR_BAD_FORMAT},
        {"section cut short", good.substr(0, 0x210), ERROR_BAD_FORMAT},
        {"no resource table", noResource, ERROR_RESOURCE_TYPE_NOT_FOUND},
        {"resources without a version", otherType, ERROR_RESOURCE_TYPE_NOT_FOUND},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> block;
        EXPECT_EQ(ExtractVersionBlock(c.bytes, &block), c.expected) << c.what;
    }
}

}  // namespace
}  // namespace plat::sim
