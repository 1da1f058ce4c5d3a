// The per-pixel passes of layered painting and the timer-id cycle, without a window.
#include <gtest/gtest.h>

#include <vector>

#include "ui/core/UiLayeredPixels.h"

using namespace SkinUI;

namespace {

struct Surface {
    int width, height;
    std::vector<BYTE> bits;
    Surface(int w, int h, DWORD fill = 0) : width(w), height(h), bits(static_cast<size_t>(w) * h * 4)
    {
        for (int i = 0; i < w * h; ++i) memcpy(&bits[i * 4], &fill, 4);
    }
    // Client coordinates: the buffer is bottom-up.
    DWORD At(int x, int y) const
    {
        DWORD v;
        memcpy(&v, &bits[(static_cast<size_t>(height - 1 - y) * width + x) * 4], 4);
        return v;
    }
    void Set(int x, int y, DWORD v) { memcpy(&bits[(static_cast<size_t>(height - 1 - y) * width + x) * 4], &v, 4); }
};

TEST(PixelPass, ClearTouchesOnlyTheRectangleCountedFromTheTop)
{
    Surface s(4, 3, 0xFF112233);
    ClearPixels(s.bits.data(), s.width, s.height, RECT{1, 0, 3, 1});
    // Client row 0 is the last row of the buffer.
    EXPECT_EQ(s.At(1, 0), 0u);
    EXPECT_EQ(s.At(2, 0), 0u);
    EXPECT_EQ(s.At(0, 0), 0xFF112233u);
    EXPECT_EQ(s.At(3, 0), 0xFF112233u);
    EXPECT_EQ(s.At(1, 1), 0xFF112233u);
    EXPECT_EQ(s.bits[(2 * 4 + 1) * 4 + 3], 0);   // buffer row 2 = client row 0
}

TEST(PixelPass, GdiPixelsBecomeOpaqueExceptPureBlack)
{
    struct Case {
        DWORD before;
        DWORD after;
    } cases[] = {
        {0x00000000, 0x00000000},   // transparent stays transparent (and black GDI text with it)
        {0x00FF0000, 0xFFFF0000},   // GDI red: alpha 0 -> opaque
        {0x00000001, 0xFF000001},   // nearly black is not black
        {0x80402010, 0x80402010},   // alpha-blended pixels are left alone
        {0xFF000000, 0xFF000000},
    };
    for (const Case& c : cases) {
        Surface s(1, 1, c.before);
        MakeGdiPixelsOpaque(s.bits.data(), 1, 1, RECT{0, 0, 1, 1});
        EXPECT_EQ(s.At(0, 0), c.after) << std::hex << c.before;
    }
}

TEST(PixelPass, MaskScalesColourAndTakesItsAlpha)
{
    Surface s(2, 1, 0xFFFF8040);
    Surface mask(2, 1, 0);
    mask.Set(0, 0, 0x80000000);
    mask.Set(1, 0, 0xFF000000);
    ApplyAlphaMask(s.bits.data(), mask.bits.data(), 2, 1, RECT{0, 0, 2, 1});
    EXPECT_EQ(s.At(0, 0), 0x80804020u);   // R 255*128/255, G 128*128/255, B 64*128/255
    EXPECT_EQ(s.At(1, 0), 0xFFFF8040u);
}

TEST(PixelPass, HostileRectanglesAreClippedNotWrittenOutside)
{
    const RECT hostile[] = {
        {-50, -50, 2, 2}, {1, 1, 100000, 100000}, {3, 0, 1, 2}, {0, 0, 0, 0},
        {LONG_MIN, LONG_MIN, LONG_MAX, LONG_MAX}, {5, 5, 9, 9},
    };
    for (const RECT& r : hostile) {
        std::vector<BYTE> guarded(4 * 4 * 4 + 64, 0xAB);
        BYTE* bits = guarded.data() + 32;
        ClearPixels(bits, 4, 4, r);
        MakeGdiPixelsOpaque(bits, 4, 4, r);
        ApplyAlphaMask(bits, bits, 4, 4, r);
        for (int i = 0; i < 32; ++i) {
            EXPECT_EQ(guarded[i], 0xAB);
            EXPECT_EQ(guarded[guarded.size() - 1 - i], 0xAB);
        }
    }
    EXPECT_EQ(ClipToSurface(RECT{-5, -5, 3, 3}, 2, 2).right, 2);
    const RECT none = ClipToSurface(RECT{3, 0, 1, 2}, 4, 4);
    EXPECT_TRUE(none.left == 0 && none.right == 0 && none.top == 0 && none.bottom == 0);
    // Null buffers and negative sizes are ignored.
    ClearPixels(nullptr, 4, 4, RECT{0, 0, 4, 4});
    MakeGdiPixelsOpaque(nullptr, -1, -1, RECT{0, 0, 4, 4});
}

TEST(TimerIds, CycleStartsAt17AndWrapsAfter239)
{
    unsigned counter = 4096;
    EXPECT_EQ(NextTimerLocalId(&counter, {}), 17);
    counter = 238;
    EXPECT_EQ(NextTimerLocalId(&counter, {}), 239);
    EXPECT_EQ(NextTimerLocalId(&counter, {}), 0);
    EXPECT_EQ(NextTimerLocalId(&counter, {}), 1);
}

TEST(TimerIds, HeldIdsAreSkippedAndAFullCycleFails)
{
    unsigned counter = 16;
    EXPECT_EQ(NextTimerLocalId(&counter, {17, 18, 20}), 19);
    EXPECT_EQ(NextTimerLocalId(&counter, {17, 18, 20}), 21);
    std::vector<unsigned> all;
    for (unsigned id = 0; id < kTimerIdCycle; ++id) all.push_back(id);
    counter = 100;
    EXPECT_EQ(NextTimerLocalId(&counter, all), -1);
    EXPECT_EQ(counter, 100u);
    all.erase(all.begin() + 42);
    EXPECT_EQ(NextTimerLocalId(&counter, all), 42);
}

} // namespace
