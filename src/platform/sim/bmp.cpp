// A .bmp file as LoadImageA accepts it: the "BM" file header, an info
// header of a known size (the OS/2 core header of 12 bytes, or the Windows
// headers of 40, 108 and 124 bytes), sane dimensions and bit depth, and
// enough bytes for the colour table and pixels it announces.
#include "platform/sim/bmp.h"

#include <cstdint>
#include <string>
#include <utility>

namespace plat::sim {
namespace {

std::uint32_t U16(const std::string& b, std::size_t at) {
    return static_cast<unsigned char>(b[at]) | (static_cast<unsigned char>(b[at + 1]) << 8);
}
std::uint32_t U32(const std::string& b, std::size_t at) { return U16(b, at) | (U16(b, at + 2) << 16); }

constexpr std::size_t kFileHeader = 14;
constexpr std::int64_t kMaxSide = 32768;
constexpr std::uint32_t kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3;

}  // namespace

Err ParseBmp(const std::string& bytes, Bitmap* out) {
    std::string why;
    return ParseBmp(bytes, out, &why);
}

Err ParseBmp(const std::string& bytes, Bitmap* out, std::string* why) {
    auto refuse = [why](std::string reason) {
        *why = std::move(reason);
        return ERROR_BAD_FORMAT;
    };
    if (bytes.size() < kFileHeader + 12) return refuse("file of " + std::to_string(bytes.size()) + " bytes is too short");
    if (bytes[0] != 'B' || bytes[1] != 'M') return refuse("no \"BM\" signature");
    std::uint32_t pixelOffset = U32(bytes, 10);
    std::uint32_t headerSize = U32(bytes, kFileHeader);
    if (headerSize != 12 && headerSize != 40 && headerSize != 108 && headerSize != 124) {
        return refuse("info header size " + std::to_string(headerSize) + " is not one Windows knows");
    }
    if (bytes.size() < kFileHeader + headerSize) return refuse("info header cut short");

    std::int64_t width, height;
    std::uint32_t planes, bpp, compression = kBiRgb, colorsUsed = 0;
    if (headerSize == 12) {
        width = U16(bytes, 18);
        height = U16(bytes, 20);
        planes = U16(bytes, 22);
        bpp = U16(bytes, 24);
    } else {
        width = static_cast<std::int32_t>(U32(bytes, 18));
        height = static_cast<std::int32_t>(U32(bytes, 22));   // negative: top-down
        planes = U16(bytes, 26);
        bpp = U16(bytes, 28);
        compression = U32(bytes, 30);
        colorsUsed = U32(bytes, 46);
    }
    std::int64_t rows = height < 0 ? -height : height;
    if (width <= 0 || rows == 0 || width > kMaxSide || rows > kMaxSide) {
        return refuse("size " + std::to_string(width) + " x " + std::to_string(height) + " out of range");
    }
    if (planes != 1) return refuse(std::to_string(planes) + " planes");
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) {
        return refuse(std::to_string(bpp) + " bits per pixel");
    }
    bool rle = compression == kBiRle8 || compression == kBiRle4;
    if (compression > kBiBitfields || (compression == kBiRle8 && bpp != 8) ||
        (compression == kBiRle4 && bpp != 4) || (compression == kBiBitfields && bpp != 16 && bpp != 32)) {
        return refuse("compression " + std::to_string(compression) + " at " + std::to_string(bpp) +
                      " bits per pixel");
    }
    if (rle && height < 0) return refuse("compressed bitmap stored top-down");

    // The colour table (or the three masks of BI_BITFIELDS after a 40-byte
    // header) sits between the headers and the pixels.
    std::uint64_t entrySize = headerSize == 12 ? 3 : 4;
    std::uint64_t colors = bpp <= 8 ? (colorsUsed ? colorsUsed : (1u << bpp)) : colorsUsed;
    if (bpp <= 8 && colors > (1u << bpp)) {
        return refuse(std::to_string(colors) + " colours at " + std::to_string(bpp) + " bits per pixel");
    }
    std::uint64_t table = colors * entrySize + (compression == kBiBitfields && headerSize == 40 ? 12 : 0);
    std::uint64_t minimumOffset = kFileHeader + headerSize + table;
    if (pixelOffset < minimumOffset || pixelOffset > bytes.size()) {
        return refuse("pixel data offset " + std::to_string(pixelOffset) + " outside the file");
    }

    std::uint64_t stride = ((static_cast<std::uint64_t>(width) * bpp + 31) / 32) * 4;
    std::uint64_t pixels = rle ? 2 : stride * static_cast<std::uint64_t>(rows);   // RLE: at least an end mark
    if (bytes.size() - pixelOffset < pixels) {
        return refuse("pixel data cut short: " + std::to_string(bytes.size() - pixelOffset) + " of " +
                      std::to_string(pixels) + " bytes");
    }

    out->width = static_cast<int>(width);
    out->height = static_cast<int>(rows);
    out->bitsPerPixel = static_cast<int>(bpp);
    out->fileBytes.assign(bytes.begin(), bytes.end());
    return ERROR_SUCCESS;
}

}  // namespace plat::sim
