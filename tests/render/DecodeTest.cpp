// Image files into premultiplied DIBs: from every place a skin image comes from,
// and damaged or hostile files that must give null without a crash.
#include <gtest/gtest.h>

#include <windows.h>
// after windows.h, which it needs
#include <psapi.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "RenderTestUtil.h"
#include "ZipBuilder.h"
#include "skin/SkinTestUtil.h"
#include "support/TestSupport.h"
#include "ui/core/UiResourceLocation.h"
#include "ui/core/UiSkinAlias.h"
#include "ui/render/UiImage.h"

using namespace SkinUI;
using namespace RenderTest;

namespace {

struct ImageOwner {
    UiImageInfo* image;
    ~ImageOwner() { FreeImageInfo(image); }
};

UiImageInfo* Decode(const std::string& bytes, DWORD mask = 0)
{
    return DecodeImageBytes(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()), mask);
}

DWORD PixelOf(const UiImageInfo* image, int x, int y)
{
    return reinterpret_cast<const DWORD*>(image->bits)[y * image->width + x];
}

// A PNG whose header claims width x height over a tiny (too short) pixel stream.
std::string PngWithHeader(uint32_t width, uint32_t height)
{
    auto be32 = [](std::string& s, uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8) s += static_cast<char>(v >> shift);
    };
    auto chunk = [&](std::string& out, const char* type, const std::string& data) {
        be32(out, static_cast<uint32_t>(data.size()));
        std::string body = std::string(type, 4) + data;
        out += body;
        be32(out, static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()), body.size())));
    };
    std::string png("\x89PNG\r\n\x1a\n", 8);
    std::string ihdr;
    be32(ihdr, width);
    be32(ihdr, height);
    ihdr += std::string("\x08\x06\x00\x00\x00", 5);
    chunk(png, "IHDR", ihdr);
    std::string raw(64, '\0');
    uLongf packedSize = compressBound(raw.size());
    std::string packed(packedSize, '\0');
    compress(reinterpret_cast<Bytef*>(&packed[0]), &packedSize, reinterpret_cast<const Bytef*>(raw.data()), raw.size());
    packed.resize(packedSize);
    chunk(png, "IDAT", packed);
    chunk(png, "IEND", "");
    return png;
}

TEST(DecodeImage, PremultipliedTopDownPixels)
{
    const DWORD straight[] = {0xFFFF0000, 0x8000FF00, 0x00FFFFFF, 0xFF0000FF, 0x40FFFFFF, 0xFF123456};
    std::string png = EncodePng(3, 2, [&](int x, int y) { return straight[y * 3 + x]; });
    ImageOwner owner{Decode(png)};
    UiImageInfo* image = owner.image;
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 3);
    EXPECT_EQ(image->height, 2);
    EXPECT_TRUE(image->hasAlpha);
    DIBSECTION dib = {};
    ASSERT_EQ(GetObjectW(image->bitmap, sizeof(dib), &dib), static_cast<int>(sizeof(dib)));
    EXPECT_EQ(dib.dsBm.bmBits, image->bits);
    EXPECT_EQ(dib.dsBm.bmBitsPixel, 32);
    // Row 0 first in memory: the pixels below are read at y * width + x.
    const DWORD expected[] = {0xFFFF0000, 0x80008000, 0x00000000, 0xFF0000FF, 0x40404040, 0xFF123456};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(Hex(PixelOf(image, i % 3, i / 3)), Hex(expected[i])) << i;

    ImageOwner opaque{Decode(EncodePng(2, 2, [](int, int) { return 0xFF336699u; }))};
    ASSERT_NE(opaque.image, nullptr);
    EXPECT_FALSE(opaque.image->hasAlpha);
}

TEST(DecodeImage, MaskColourBecomesTransparent)
{
    std::string png = EncodePng(3, 1, [](int x, int) {
        const DWORD c[] = {0xFFFF00FF, 0x80FF00FF, 0xFF00FF00};
        return c[x];
    });
    ImageOwner owner{Decode(png, 0xFFFF00FF)};
    ASSERT_NE(owner.image, nullptr);
    EXPECT_TRUE(owner.image->hasAlpha);
    EXPECT_EQ(PixelOf(owner.image, 0, 0), 0u);
    EXPECT_EQ(Hex(PixelOf(owner.image, 1, 0)), Hex(0x80800080)); // translucent magenta is another colour
    EXPECT_EQ(Hex(PixelOf(owner.image, 2, 0)), Hex(0xFF00FF00));
}

TEST(DecodeImage, DamagedFilesGiveNull)
{
    std::string good = EncodePng(8, 8, [](int x, int y) { return 0xFF000000u | (x * 30) << 8 | y * 30; });
    std::string flipped = good;
    for (size_t i = 50; i < flipped.size() - 12; i += 3) flipped[i] = static_cast<char>(flipped[i] ^ 0x5A);
    struct Case {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"one byte", "\x89"},
        {"signature only", good.substr(0, 8)},
        {"header only", good.substr(0, 33)},
        {"half", good.substr(0, good.size() / 2)},
        {"corrupt pixel stream", flipped},
        {"not an image", std::string(300, 'x')},
        {"100000 x 100000", PngWithHeader(100000, 100000)},
        {"20000 x 1", PngWithHeader(20000, 1)},
        {"zero width", PngWithHeader(0, 10)},
    };
    for (const Case& c : cases) {
        SkinTest::GuardedCopy copy(c.bytes);
        EXPECT_EQ(DecodeImageBytes(copy.Data(), copy.Size(), 0), nullptr) << c.name;
    }
    EXPECT_EQ(DecodeImageBytes(nullptr, 10, 0), nullptr);
}

// A BMP header claiming width x height at 32 bits, followed by a few bytes of pixels.
std::string BmpWithHeader(int32_t width, int32_t height)
{
    auto le = [](std::string& s, uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) s += static_cast<char>(v >> (8 * i));
    };
    std::string bmp = "BM";
    le(bmp, 14 + 40 + 64, 4);
    le(bmp, 0, 4);
    le(bmp, 14 + 40, 4);
    le(bmp, 40, 4);
    le(bmp, static_cast<uint32_t>(width), 4);
    le(bmp, static_cast<uint32_t>(height), 4);
    le(bmp, 1, 2);
    le(bmp, 32, 2);
    le(bmp, 0, 4);
    le(bmp, 64, 4);
    le(bmp, 2835, 4);
    le(bmp, 2835, 4);
    le(bmp, 0, 4);
    le(bmp, 0, 4);
    bmp += std::string(64, '\x7f');
    return bmp;
}

TEST(DecodeImage, HugeHeaderIsRefusedBeforeAllocating)
{
    // The decoder would take an 8000 x 8000 BMP on trust: 256 MB of pixels, filled
    // from a file of a hundred bytes, then as much again for the bitmap, unless
    // the header is checked first.
    std::string bmp = BmpWithHeader(8000, 8000);
    ImageOwner small{Decode(BmpWithHeader(4, 4))};
    ASSERT_NE(small.image, nullptr); // the header itself is one the decoder reads
    PROCESS_MEMORY_COUNTERS before = {}, after = {};
    ASSERT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof(before)));
    DWORD start = GetTickCount();
    EXPECT_EQ(Decode(bmp), nullptr);
    ASSERT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof(after)));
    EXPECT_LT(after.PeakPagefileUsage - before.PeakPagefileUsage, 32u * 1024 * 1024);
    EXPECT_LT(GetTickCount() - start, 2000u);
}

TEST(DecodeImage, MutatedFilesNeverReadPastTheirEnd)
{
    std::string good = EncodePng(6, 5, [](int x, int y) { return (x * 40u) << 24 | (y * 50u) << 8 | 0xFFu; });
    Lcg rng{99};
    int decoded = 0;
    for (size_t n = 0; n <= good.size(); ++n) {
        SkinTest::GuardedCopy copy(good.substr(0, n));
        ImageOwner owner{DecodeImageBytes(copy.Data(), copy.Size(), 0)};
        if (owner.image) ++decoded;
    }
    EXPECT_GE(decoded, 1); // at least the whole file
    for (int round = 0; round < 300; ++round) {
        std::string bytes = good;
        for (int e = 0; e < 1 + static_cast<int>(rng.Next() % 4); ++e)
            bytes[8 + rng.Next() % (bytes.size() - 8)] = static_cast<char>(rng.Next());
        SkinTest::GuardedCopy copy(bytes);
        ImageOwner owner{DecodeImageBytes(copy.Data(), copy.Size(), 0)};
        if (owner.image) {
            EXPECT_GT(owner.image->width, 0);
            EXPECT_LE(owner.image->width, 16384);
        }
    }
}

// ---- where the bytes come from

TEST(DecodeImage, FromPathFolderArchiveAliasAndResource)
{
    TestSupport::TempFolder temp;
    std::string red = EncodePng(2, 2, [](int, int) { return 0xFFFF0000u; });
    std::string green = EncodePng(3, 3, [](int, int) { return 0xFF00FF00u; });
    ASSERT_TRUE(TestSupport::WriteFileBytes(temp.Path() + L"red.png", red));
    CreateDirectoryW((temp.Path() + L"sub").c_str(), nullptr);
    ASSERT_TRUE(TestSupport::WriteFileBytes(temp.Path() + L"sub\\green.png", green));

    // A plain path, when no skin location has it.
    {
        ImageOwner owner{DecodeImage((temp.Path() + L"red.png").c_str(), nullptr, 0)};
        ASSERT_NE(owner.image, nullptr);
        EXPECT_EQ(Hex(PixelOf(owner.image, 0, 0)), Hex(0xFFFF0000));
    }
    // The skin folder, and an alias that points into it.
    CUiResourceLocation::SetSkinFolder(temp.Path().c_str());
    {
        ImageOwner owner{DecodeImage(L"sub\\green.png", nullptr, 0)};
        ASSERT_NE(owner.image, nullptr);
        EXPECT_EQ(owner.image->width, 3);
        ASSERT_TRUE(CUiSkinAlias::Instance().Load(L"<Res><Image id=\"leaf\" path=\"sub\\green.png\"/></Res>"));
        ImageOwner aliased{DecodeImage(L"leaf", nullptr, 0)};
        ASSERT_NE(aliased.image, nullptr);
        EXPECT_EQ(aliased.image->width, 3);
        CUiSkinAlias::Instance().Release();
        EXPECT_EQ(DecodeImage(L"missing.png", nullptr, 0), nullptr);
    }
    // A module resource, by id and by "#id".
    {
        ImageOwner byId{DecodeImage(L"201", L"PNG", 0, GetModuleHandleW(nullptr))};
        ASSERT_NE(byId.image, nullptr);
        EXPECT_EQ(byId.image->width, 4);
        EXPECT_EQ(Hex(PixelOf(byId.image, 3, 3)), Hex(0xFF0000FF));
        ImageOwner byHash{DecodeImage(L"#201", L"PNG", 0)};
        ASSERT_NE(byHash.image, nullptr);
        EXPECT_EQ(DecodeImage(L"202", L"PNG", 0), nullptr);
    }
    // An archive in memory (names with '\' find '/' items, ignoring case). Last,
    // because the first archive in memory stays for the life of the process.
    std::vector<ZipTest::Item> items(1);
    items[0].name = "Images/Green.PNG";
    items[0].data = green;
    items[0].deflate = true;
    static std::string zip = ZipTest::Build(items, nullptr);
    CUiResourceLocation::SetSkinArchiveInMemory(zip.data(), static_cast<DWORD>(zip.size()), L"");
    {
        ImageOwner owner{DecodeImage(L"images\\green.png", nullptr, 0)};
        ASSERT_NE(owner.image, nullptr);
        EXPECT_EQ(owner.image->width, 3);
    }
    CUiResourceLocation::SetSkinFolder(L"");
}

} // namespace
