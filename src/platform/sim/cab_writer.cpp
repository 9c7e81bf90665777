// The cabinet layout: the header (CFHEADER), one folder entry (CFFOLDER)
// with no compression, a CFFILE entry per file, then the data blocks
// (CFDATA) of at most 32 KiB each, holding the files one after another.
// Checksums are 0, which readers take as "not computed".
#include "platform/sim/cab_writer.h"

#include <algorithm>
#include <cstdint>

namespace plat::sim {
namespace {

void Put16(std::string& b, std::uint32_t v) {
    b.push_back(static_cast<char>(v & 0xFF));
    b.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string& b, std::uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

constexpr std::size_t kBlock = 32768;
constexpr std::uint32_t kHeaderSize = 36, kFolderSize = 8;

}  // namespace

std::string WriteCabinet(const std::vector<CabEntry>& files) {
    std::string all;
    std::string fileEntries;
    for (const CabEntry& f : files) {
        Put32(fileEntries, static_cast<std::uint32_t>(f.bytes.size()));
        Put32(fileEntries, static_cast<std::uint32_t>(all.size()));  // offset in the folder
        Put16(fileEntries, 0);        // folder 0
        Put16(fileEntries, 0x3D21);   // 2010-09-01
        Put16(fileEntries, 0x6000);   // 12:00:00
        Put16(fileEntries, 0x20);     // archive
        fileEntries += f.name;
        fileEntries.push_back('\0');
        all += f.bytes;
    }
    std::string blocks;
    std::uint32_t blockCount = 0;
    for (std::size_t at = 0; at < all.size(); at += kBlock) {
        std::size_t n = std::min(kBlock, all.size() - at);
        Put32(blocks, 0);   // no checksum
        Put16(blocks, static_cast<std::uint32_t>(n));
        Put16(blocks, static_cast<std::uint32_t>(n));
        blocks.append(all, at, n);
        ++blockCount;
    }
    std::uint32_t filesOffset = kHeaderSize + kFolderSize;
    std::uint32_t dataOffset = filesOffset + static_cast<std::uint32_t>(fileEntries.size());
    std::uint32_t total = dataOffset + static_cast<std::uint32_t>(blocks.size());

    std::string cab = "MSCF";
    Put32(cab, 0);
    Put32(cab, total);
    Put32(cab, 0);
    Put32(cab, filesOffset);
    Put32(cab, 0);
    cab.push_back(3);   // version 1.3
    cab.push_back(1);
    Put16(cab, 1);      // folders
    Put16(cab, static_cast<std::uint32_t>(files.size()));
    Put16(cab, 0);      // flags: no previous/next cabinet, no reserve
    Put16(cab, 0x1234); // set id
    Put16(cab, 0);      // first cabinet of the set
    Put32(cab, dataOffset);
    Put16(cab, blockCount);
    Put16(cab, 0);      // no compression
    cab += fileEntries;
    cab += blocks;
    return cab;
}

}  // namespace plat::sim
