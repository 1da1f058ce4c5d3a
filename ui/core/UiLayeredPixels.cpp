#include "ui/core/UiLayeredPixels.h"

#include <algorithm>

namespace SkinUI {

RECT ClipToSurface(const RECT& rect, int width, int height)
{
    RECT clipped = {std::max<LONG>(rect.left, 0), std::max<LONG>(rect.top, 0),
                    std::min<LONG>(rect.right, std::max(width, 0)),
                    std::min<LONG>(rect.bottom, std::max(height, 0))};
    if (clipped.left >= clipped.right || clipped.top >= clipped.bottom) return RECT{};
    return clipped;
}

namespace {

// Calls fn(pixel) for each pixel of the clipped rectangle, row by row.
template <class Fn>
void ForEachPixel(BYTE* bits, int width, int height, const RECT& rect, Fn fn)
{
    if (!bits) return;
    const RECT r = ClipToSurface(rect, width, height);
    const size_t stride = static_cast<size_t>(width) * 4;
    for (LONG y = r.top; y < r.bottom; ++y) {
        BYTE* row = bits + static_cast<size_t>(height - 1 - y) * stride;
        for (LONG x = r.left; x < r.right; ++x) fn(row + x * 4, static_cast<size_t>(row + x * 4 - bits));
    }
}

} // namespace

void ClearPixels(BYTE* bits, int width, int height, const RECT& rect)
{
    if (!bits) return;
    const RECT r = ClipToSurface(rect, width, height);
    const size_t stride = static_cast<size_t>(width) * 4;
    for (LONG y = r.top; y < r.bottom; ++y) {
        BYTE* row = bits + static_cast<size_t>(height - 1 - y) * stride;
        std::fill(row + r.left * 4, row + r.right * 4, BYTE(0));
    }
}

void MakeGdiPixelsOpaque(BYTE* bits, int width, int height, const RECT& rect)
{
    ForEachPixel(bits, width, height, rect, [](BYTE* px, size_t) {
        if (px[3] == 0 && (px[0] | px[1] | px[2]) != 0) px[3] = 255;
    });
}

void ApplyAlphaMask(BYTE* bits, const BYTE* mask, int width, int height, const RECT& rect)
{
    if (!mask) return;
    ForEachPixel(bits, width, height, rect, [mask](BYTE* px, size_t offset) {
        const unsigned a = mask[offset + 3];
        px[0] = static_cast<BYTE>(px[0] * a / 255);
        px[1] = static_cast<BYTE>(px[1] * a / 255);
        px[2] = static_cast<BYTE>(px[2] * a / 255);
        px[3] = static_cast<BYTE>(a);
    });
}

int NextTimerLocalId(unsigned* counter, const std::vector<unsigned>& held)
{
    bool used[kTimerIdCycle] = {};
    for (unsigned id : held)
        if (id < kTimerIdCycle) used[id] = true;
    unsigned candidate = *counter;
    for (unsigned tries = 0; tries < kTimerIdCycle; ++tries) {
        candidate = (candidate + 1) % kTimerIdCycle;
        if (!used[candidate]) {
            *counter = candidate;
            return static_cast<int>(candidate);
        }
    }
    return -1;
}

} // namespace SkinUI
