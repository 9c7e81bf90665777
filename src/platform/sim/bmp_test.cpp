// The BMP check: what LoadImageA would load and what it refuses.
#include "platform/sim/bmp.h"

#include <gtest/gtest.h>

namespace plat::sim {
namespace {

void Put(std::string& b, std::size_t at, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

struct Shape {
    std::uint32_t headerSize = 40;
    std::int32_t width = 3, height = 2;
    std::uint32_t bpp = 24, compression = 0, colorsUsed = 0;
    std::uint32_t planes = 1;
    int pixelBytesShort = 0;   // how many bytes of the pixels to leave out
};

// A well-formed file of that shape (colour table included), cut as asked.
std::string MakeBmp(const Shape& s) {
    std::uint32_t entry = s.headerSize == 12 ? 3 : 4;
    std::uint32_t colors = s.bpp <= 8 ? (s.colorsUsed ? s.colorsUsed : (1u << s.bpp)) : s.colorsUsed;
    std::uint32_t table = colors * entry + (s.compression == 3 && s.headerSize == 40 ? 12 : 0);
    std::uint32_t rows = static_cast<std::uint32_t>(s.height < 0 ? -s.height : s.height);
    std::uint32_t stride = ((static_cast<std::uint32_t>(s.width) * s.bpp + 31) / 32) * 4;
    std::uint32_t offset = 14 + s.headerSize + table;
    std::uint32_t pixels = stride * rows;
    std::string b(offset + pixels - static_cast<std::uint32_t>(s.pixelBytesShort), '\0');
    b[0] = 'B';
    b[1] = 'M';
    Put(b, 2, static_cast<std::uint32_t>(b.size()), 4);
    Put(b, 10, offset, 4);
    Put(b, 14, s.headerSize, 4);
    if (s.headerSize == 12) {
        Put(b, 18, static_cast<std::uint32_t>(s.width), 2);
        Put(b, 20, static_cast<std::uint32_t>(s.height), 2);
        Put(b, 22, s.planes, 2);
        Put(b, 24, s.bpp, 2);
    } else {
        Put(b, 18, static_cast<std::uint32_t>(s.width), 4);
        Put(b, 22, static_cast<std::uint32_t>(s.height), 4);
        Put(b, 26, s.planes, 2);
        Put(b, 28, s.bpp, 2);
        Put(b, 30, s.compression, 4);
        Put(b, 46, s.colorsUsed, 4);
    }
    return b;
}

TEST(Bmp, AcceptsTheHeaderKindsWindowsLoads) {
    struct Case {
        const char* what;
        Shape shape;
    } cases[] = {
        {"core header, 24 bit", {12, 5, 4, 24}},
        {"info header, 8 bit palette", {40, 9, 3, 8}},
        {"info header, 1 bit, top-down", {40, 17, -2, 1}},
        {"v4 header, 32 bit", {108, 2, 2, 32}},
        {"v5 header, 4 bit with 5 colours used", {124, 7, 1, 4, 0, 5}},
        {"info header, 16 bit bit fields", {40, 3, 3, 16, 3}},
    };
    for (const Case& c : cases) {
        Bitmap bmp;
        std::string file = MakeBmp(c.shape);
        ASSERT_EQ(ParseBmp(file, &bmp), ERROR_SUCCESS) << c.what;
        EXPECT_EQ(bmp.width, c.shape.width) << c.what;
        EXPECT_EQ(bmp.height, c.shape.height < 0 ? -c.shape.height : c.shape.height) << c.what;
        EXPECT_EQ(bmp.bitsPerPixel, static_cast<int>(c.shape.bpp)) << c.what;
        EXPECT_EQ(bmp.fileBytes.size(), file.size()) << c.what;
    }
}

TEST(Bmp, RefusesBrokenFiles) {
    std::string good = MakeBmp({});
    std::string notBm = good;
    notBm[0] = 'P';
    std::string offsetPastEnd = good;
    Put(offsetPastEnd, 10, static_cast<std::uint32_t>(good.size() + 1), 4);
    std::string offsetInsideHeader = good;
    Put(offsetInsideHeader, 10, 20, 4);

    struct Case {
        std::string bytes;
        const char* why;   // part of the reason given
    } cases[] = {
        {"", "0 bytes is too short"},
        {good.substr(0, 14), "too short"},
        {notBm, "no \"BM\""},
        {MakeBmp({64}), "info header size 64"},
        {good.substr(0, 30), "info header cut short"},
        {MakeBmp({40, 0, 2}), "size 0 x 2 out of range"},
        {MakeBmp({40, -3, 2}), "size -3 x 2"},
        {MakeBmp({40, 3, 0}), "size 3 x 0"},
        {MakeBmp({40, 100000, 1, 1}), "size 100000 x 1"},
        {[] { Shape s; s.planes = 2; return MakeBmp(s); }(), "2 planes"},
        {MakeBmp({40, 3, 2, 7}), "7 bits per pixel"},
        {MakeBmp({40, 3, 2, 24, 9}), "compression 9"},
        {MakeBmp({40, 3, 2, 24, 1}), "compression 1 at 24"},
        {MakeBmp({40, 4, -2, 8, 1}), "top-down"},
        {MakeBmp({40, 3, 2, 4, 0, 17}), "17 colours at 4"},
        {[] { Shape s; s.pixelBytesShort = 1; return MakeBmp(s); }(), "cut short: 23 of 24"},
        {offsetPastEnd, "outside the file"},
        {offsetInsideHeader, "offset 20 outside"},
    };
    for (const Case& c : cases) {
        Bitmap bmp;
        std::string why;
        EXPECT_EQ(ParseBmp(c.bytes, &bmp, &why), ERROR_BAD_FORMAT) << c.why;
        EXPECT_NE(why.find(c.why), std::string::npos) << "reason: " << why;
        EXPECT_EQ(ParseBmp(c.bytes, &bmp), ERROR_BAD_FORMAT) << c.why;
    }
}

}  // namespace
}  // namespace plat::sim
