// Reading and writing the version resource of PE files.
//
// Reading follows the loader's path: the DOS header's e_lfanew, the "PE"
// signature, the file header, the optional header (PE32 or PE32+) with its
// resource data directory, the section table to turn the directory's RVA
// into a file offset, then the three levels of the resource tree (type 16,
// the first name, the first language) down to the data entry.
//
// Writing produces the smallest image the loader accepts: headers in the
// first 0x200 bytes, one .rsrc section at RVA 0x1000 holding the tree and
// the VS_VERSIONINFO block.
#include "platform/sim/pe_image.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/version_block.h"

namespace plat::sim {
namespace {

constexpr std::uint32_t kRtVersion = 16;
constexpr std::uint32_t kSubdirectoryBit = 0x80000000u;

class Reader {
public:
    explicit Reader(const std::string& bytes) : b_(bytes) {}
    bool has(std::size_t at, std::size_t n) const { return at <= b_.size() && n <= b_.size() - at; }
    std::uint16_t u16(std::size_t at) const {
        return static_cast<std::uint16_t>(byte(at) | (byte(at + 1) << 8));
    }
    std::uint32_t u32(std::size_t at) const {
        return static_cast<std::uint32_t>(u16(at)) | (static_cast<std::uint32_t>(u16(at + 2)) << 16);
    }

private:
    unsigned byte(std::size_t at) const { return static_cast<unsigned char>(b_[at]); }
    const std::string& b_;
};

struct Section {
    std::uint32_t virtualAddress, virtualSize, rawSize, rawOffset;
};

// The file offset of `size` bytes at `rva`, or false when no section holds them.
bool RvaToOffset(const std::vector<Section>& sections, std::uint32_t rva, std::uint32_t size,
                 std::size_t* offset) {
    for (const Section& s : sections) {
        std::uint32_t extent = std::max(s.virtualSize, s.rawSize);
        if (rva >= s.virtualAddress && rva - s.virtualAddress < extent) {
            std::uint32_t inSection = rva - s.virtualAddress;
            if (inSection > s.rawSize || size > s.rawSize - inSection) return false;
            *offset = std::size_t{s.rawOffset} + inSection;
            return true;
        }
    }
    return false;
}

// The first entry of a resource directory, or the one with the given id.
// Returns the entry's OffsetToData, or false when there is none.
bool DirectoryEntry(const Reader& r, std::size_t rsrc, std::size_t rsrcSize, std::uint32_t dirOffset,
                    bool byId, std::uint32_t id, std::uint32_t* target) {
    if (dirOffset > rsrcSize || rsrcSize - dirOffset < 16) return false;
    std::size_t dir = rsrc + dirOffset;
    std::uint32_t named = r.u16(dir + 12), ids = r.u16(dir + 14);
    std::uint32_t count = named + ids;
    if ((rsrcSize - dirOffset - 16) / 8 < count) return false;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::size_t entry = dir + 16 + 8 * std::size_t{i};
        std::uint32_t name = r.u32(entry);
        if (byId && ((name & kSubdirectoryBit) != 0 || name != id)) continue;
        *target = r.u32(entry + 4);
        return true;
    }
    return false;
}

void Put16(std::string& b, std::size_t at, std::uint32_t v) {
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& b, std::size_t at, std::uint32_t v) {
    Put16(b, at, v & 0xFFFF);
    Put16(b, at + 2, v >> 16);
}
void Append16(std::string& b, std::uint32_t v) {
    b.append(2, '\0');
    Put16(b, b.size() - 2, v);
}
void Append32(std::string& b, std::uint32_t v) {
    b.append(4, '\0');
    Put32(b, b.size() - 4, v);
}
void Pad4(std::string& b) { b.append((4 - b.size() % 4) % 4, '\0'); }

// One node of the version tree: header, key, value, children; wLength set
// once the children are in.
std::string VersionNode(const std::u16string& key, std::uint16_t valueLength, bool text,
                        const std::string& value, const std::vector<std::string>& children) {
    std::string n;
    Append16(n, 0);
    Append16(n, valueLength);
    Append16(n, text ? 1 : 0);
    for (char16_t c : key) Append16(n, c);
    Append16(n, 0);
    Pad4(n);
    n += value;
    for (const std::string& child : children) {
        Pad4(n);
        n += child;
    }
    Put16(n, 0, static_cast<std::uint32_t>(n.size()));
    return n;
}

std::string StringNode(const std::u16string& key, const std::string& ansiValue) {
    std::u16string value = ansiToUtf16(ansiValue);
    std::string bytes;
    for (char16_t c : value) Append16(bytes, c);
    Append16(bytes, 0);
    return VersionNode(key, static_cast<std::uint16_t>(value.size() + 1), true, bytes, {});
}

// "1.0.0.5" into the four 16-bit parts; missing parts are 0.
void ParseVersion(const std::string& text, std::uint32_t* ms, std::uint32_t* ls) {
    unsigned parts[4] = {0, 0, 0, 0};
    std::size_t part = 0;
    for (char c : text) {
        if (c == '.' || c == ',') {
            if (++part == 4) break;
        } else if (c >= '0' && c <= '9') {
            parts[part] = (parts[part] * 10 + static_cast<unsigned>(c - '0')) & 0xFFFF;
        } else if (c != ' ') {
            break;
        }
    }
    *ms = (parts[0] << 16) | parts[1];
    *ls = (parts[2] << 16) | parts[3];
}

std::string VersionInfo(const VersionFields& f) {
    std::uint32_t ms = 0, ls = 0;
    ParseVersion(f.fileVersion, &ms, &ls);
    std::string fixed;
    Append32(fixed, 0xFEEF04BDu);  // signature
    Append32(fixed, 0x00010000u);  // structure version
    Append32(fixed, ms);           // file version
    Append32(fixed, ls);
    Append32(fixed, ms);           // product version
    Append32(fixed, ls);
    Append32(fixed, 0x3F);         // flags mask
    Append32(fixed, 0);            // flags
    Append32(fixed, 0x00040004u);  // VOS_NT_WINDOWS32
    Append32(fixed, 2);            // VFT_DLL
    Append32(fixed, 0);            // subtype
    Append32(fixed, 0);            // date
    Append32(fixed, 0);

    char table[9];
    std::snprintf(table, sizeof table, "%04x%04x", f.language, f.codePage);
    std::u16string tableKey(table, table + 8);
    std::string strings = VersionNode(tableKey, 0, true, "",
                                      {StringNode(u"FileDescription", f.fileDescription),
                                       StringNode(u"FileVersion", f.fileVersion),
                                       StringNode(u"ProductName", f.productName)});
    std::string stringFileInfo = VersionNode(u"StringFileInfo", 0, true, "", {strings});
    std::string translation;
    Append16(translation, f.language);
    Append16(translation, f.codePage);
    std::string var = VersionNode(u"Translation", 4, false, translation, {});
    std::string varFileInfo = VersionNode(u"VarFileInfo", 0, true, "", {var});
    return VersionNode(u"VS_VERSION_INFO", 52, false, fixed, {stringFileInfo, varFileInfo});
}

constexpr std::uint32_t kFileAlign = 0x200, kSectionAlign = 0x1000, kRsrcRva = 0x1000;

std::uint32_t AlignUp(std::uint32_t v, std::uint32_t a) { return (v + a - 1) / a * a; }

// The .rsrc section: three one-entry directories, the data entry, the data.
std::string ResourceSection(const std::string& versionInfo, std::uint16_t language) {
    std::string s;
    auto directory = [&s](std::uint32_t id, std::uint32_t target) {
        Append32(s, 0);  // characteristics
        Append32(s, 0);  // time stamp
        Append32(s, 0);  // version
        Append16(s, 0);  // named entries
        Append16(s, 1);  // id entries
        Append32(s, id);
        Append32(s, target);
    };
    directory(kRtVersion, kSubdirectoryBit | 24);  // each directory is 24 bytes
    directory(1, kSubdirectoryBit | 48);           // VS_VERSION_INFO is resource 1
    directory(language, 72);                       // -> data entry
    Append32(s, kRsrcRva + 88);                    // data RVA
    Append32(s, static_cast<std::uint32_t>(versionInfo.size()));
    Append32(s, 0);  // code page
    Append32(s, 0);
    s += versionInfo;
    return s;
}

}  // namespace

Err ExtractVersionBlock(const std::string& fileBytes, std::vector<std::uint8_t>* block) {
    Reader r(fileBytes);
    if (!r.has(0, 64) || r.u16(0) != 0x5A4D) return ERROR_BAD_FORMAT;  // "MZ"
    std::size_t nt = r.u32(0x3C);
    if (!r.has(nt, 24) || r.u32(nt) != 0x00004550) return ERROR_BAD_FORMAT;  // "PE\0\0"
    std::uint32_t sectionCount = r.u16(nt + 6);
    std::uint32_t optionalSize = r.u16(nt + 20);
    std::size_t optional = nt + 24;
    if (!r.has(optional, optionalSize) || optionalSize < 2) return ERROR_BAD_FORMAT;
    std::uint16_t magic = r.u16(optional);
    std::size_t dirCountAt;
    if (magic == 0x10B) {
        dirCountAt = 92;   // PE32
    } else if (magic == 0x20B) {
        dirCountAt = 108;  // PE32+
    } else {
        return ERROR_BAD_FORMAT;
    }
    if (optionalSize < dirCountAt + 4) return ERROR_BAD_FORMAT;
    std::uint32_t dirCount = r.u32(optional + dirCountAt);
    std::size_t sectionTable = optional + optionalSize;
    if (!r.has(sectionTable, 40 * std::size_t{sectionCount})) return ERROR_BAD_FORMAT;
    std::vector<Section> sections;
    for (std::uint32_t i = 0; i < sectionCount; ++i) {
        std::size_t h = sectionTable + 40 * std::size_t{i};
        Section s{r.u32(h + 12), r.u32(h + 8), r.u32(h + 16), r.u32(h + 20)};
        if (!r.has(s.rawOffset, s.rawSize)) return ERROR_BAD_FORMAT;
        sections.push_back(s);
    }
    // Data directory 2 is the resource table.
    if (dirCount <= 2 || optionalSize < dirCountAt + 4 + 3 * 8) return ERROR_RESOURCE_TYPE_NOT_FOUND;
    std::uint32_t rsrcRva = r.u32(optional + dirCountAt + 4 + 16);
    std::uint32_t rsrcSize = r.u32(optional + dirCountAt + 4 + 20);
    if (rsrcRva == 0 || rsrcSize == 0) return ERROR_RESOURCE_TYPE_NOT_FOUND;
    std::size_t rsrc = 0;
    if (!RvaToOffset(sections, rsrcRva, rsrcSize, &rsrc)) return ERROR_BAD_FORMAT;

    std::uint32_t target = 0;
    if (!DirectoryEntry(r, rsrc, rsrcSize, 0, true, kRtVersion, &target)) {
        return ERROR_RESOURCE_TYPE_NOT_FOUND;
    }
    // Type, then name, then language: two more directory levels.
    for (int level = 0; level < 2; ++level) {
        if ((target & kSubdirectoryBit) == 0) return ERROR_BAD_FORMAT;
        if (!DirectoryEntry(r, rsrc, rsrcSize, target & ~kSubdirectoryBit, false, 0, &target)) {
            return ERROR_RESOURCE_DATA_NOT_FOUND;
        }
    }
    if ((target & kSubdirectoryBit) != 0 || target > rsrcSize || rsrcSize - target < 16) {
        return ERROR_BAD_FORMAT;
    }
    std::uint32_t dataRva = r.u32(rsrc + target);
    std::uint32_t dataSize = r.u32(rsrc + target + 4);
    std::size_t data = 0;
    if (dataSize == 0 || !RvaToOffset(sections, dataRva, dataSize, &data)) return ERROR_BAD_FORMAT;
    block->assign(fileBytes.begin() + static_cast<std::ptrdiff_t>(data),
                  fileBytes.begin() + static_cast<std::ptrdiff_t>(data + dataSize));
    return ERROR_SUCCESS;
}

std::string BuildPeWithVersion(const VersionFields& fields, const std::string& trailer) {
    std::string rsrc = ResourceSection(VersionInfo(fields), fields.language);
    std::uint32_t rsrcSize = static_cast<std::uint32_t>(rsrc.size());
    std::uint32_t rawSize = AlignUp(rsrcSize, kFileAlign);

    std::string pe(kFileAlign, '\0');
    Put16(pe, 0, 0x5A4D);          // "MZ"
    Put32(pe, 0x3C, 0x40);         // e_lfanew
    std::size_t nt = 0x40;
    Put32(pe, nt, 0x00004550);     // "PE\0\0"
    Put16(pe, nt + 4, 0x14C);      // i386
    Put16(pe, nt + 6, 1);          // one section
    Put16(pe, nt + 20, 0xE0);      // optional header size
    Put16(pe, nt + 22, 0x2102);    // executable, 32-bit, DLL
    std::size_t opt = nt + 24;
    Put16(pe, opt, 0x10B);         // PE32
    pe[opt + 2] = 6;               // linker version
    Put32(pe, opt + 8, rawSize);   // size of initialized data
    Put32(pe, opt + 20, kRsrcRva); // base of code
    Put32(pe, opt + 24, kRsrcRva); // base of data
    Put32(pe, opt + 28, 0x10000000u);  // image base
    Put32(pe, opt + 32, kSectionAlign);
    Put32(pe, opt + 36, kFileAlign);
    Put16(pe, opt + 40, 4);        // OS version 4.0
    Put16(pe, opt + 48, 4);        // subsystem version 4.0
    Put32(pe, opt + 56, kRsrcRva + AlignUp(rsrcSize, kSectionAlign));  // size of image
    Put32(pe, opt + 60, kFileAlign);   // size of headers
    Put16(pe, opt + 68, 2);        // Windows GUI subsystem
    Put32(pe, opt + 72, 0x100000); // stack reserve
    Put32(pe, opt + 76, 0x1000);   // stack commit
    Put32(pe, opt + 80, 0x100000); // heap reserve
    Put32(pe, opt + 84, 0x1000);   // heap commit
    Put32(pe, opt + 92, 16);       // data directories
    Put32(pe, opt + 96 + 16, kRsrcRva);  // resource table
    Put32(pe, opt + 96 + 20, rsrcSize);
    std::size_t section = opt + 0xE0;
    std::memcpy(&pe[section], ".rsrc", 5);
    Put32(pe, section + 8, rsrcSize);
    Put32(pe, section + 12, kRsrcRva);
    Put32(pe, section + 16, rawSize);
    Put32(pe, section + 20, kFileAlign);
    Put32(pe, section + 36, 0x40000040u);  // initialized data, readable
    pe += rsrc;
    pe.append(rawSize - rsrcSize, '\0');
    pe += trailer;
    return pe;
}

}  // namespace plat::sim
