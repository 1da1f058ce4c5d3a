#include "ui/controls/UiLayoutMath.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace SkinUI {

namespace {

using i64 = long long;

i64 Clamp(i64 v, i64 lo, i64 hi) { return v < lo ? lo : (v > hi ? hi : v); }
i64 Coord(i64 v) { return Clamp(v, -kLayoutLimit, kLayoutLimit); }
i64 Length(i64 v) { return Clamp(v, 0, kLayoutLimit); }

// Raised to the minimum, then lowered to the maximum: when a skin gives a minimum
// above the maximum, the maximum wins.
i64 Between(i64 v, i64 lo, i64 hi)
{
    if (v < lo) v = lo;
    if (v > hi) v = hi;
    return v;
}

LONG L(i64 v) { return static_cast<LONG>(Coord(v)); }

// A child seen along the stack (main) and across it (cross), lengths bounded.
struct Oriented {
    i64 padBefore, padAfter;       // main axis
    i64 crossBefore, crossAfter;   // cross axis
    i64 fixedMain, fixedCross;     // fixed, or the maximum when not fixed
    i64 minMain, maxMain, minCross, maxCross;
    i64 rawMaxCross;               // the maximum as given (0 means "none" across a row)
};

Oriented Orient(const UiBoxChild& c, bool vertical)
{
    Oriented o;
    const RECT& p = c.padding;
    o.padBefore = Coord(vertical ? p.top : p.left);
    o.padAfter = Coord(vertical ? p.bottom : p.right);
    o.crossBefore = Coord(vertical ? p.left : p.top);
    o.crossAfter = Coord(vertical ? p.right : p.bottom);
    const i64 fMain = vertical ? c.fixed.cy : c.fixed.cx;
    const i64 fCross = vertical ? c.fixed.cx : c.fixed.cy;
    o.minMain = Length(vertical ? c.minSize.cy : c.minSize.cx);
    o.maxMain = Length(vertical ? c.maxSize.cy : c.maxSize.cx);
    o.minCross = Length(vertical ? c.minSize.cx : c.minSize.cy);
    o.maxCross = Length(vertical ? c.maxSize.cx : c.maxSize.cy);
    o.rawMaxCross = o.maxCross;
    o.fixedMain = fMain < 1 ? o.maxMain : Length(fMain);
    o.fixedCross = fCross < 1 ? o.maxCross : Length(fCross);
    return o;
}

SIZE MakeSize(bool vertical, i64 main, i64 cross)
{
    const LONG m = static_cast<LONG>(Length(main)), c = static_cast<LONG>(Length(cross));
    return vertical ? SIZE{c, m} : SIZE{m, c};
}
i64 MainOf(bool vertical, SIZE s) { return vertical ? s.cy : s.cx; }
i64 CrossOf(bool vertical, SIZE s) { return vertical ? s.cx : s.cy; }

struct StackRules {
    bool vertical;
    // Rows add the vertical scroll range to their available height but not the
    // horizontal range to their width; columns add both.
    bool mainAddsRange;
    // Columns size a child across from its estimate; rows fill the height up to
    // the child's maximum.
    bool crossFromEstimate;
};

SIZE LayoutStack(const StackRules& rules, const UiStackInput& in, const UiBoxChild* children,
                 int count, UiMeasureFn measure, void* context, RECT* out)
{
    const bool v = rules.vertical;
    const RECT& cl = in.client;
    const i64 clientMainStart = v ? cl.top : cl.left;
    const i64 clientCrossStart = v ? cl.left : cl.top;
    const i64 clientCrossEnd = v ? cl.right : cl.bottom;
    const i64 clientMain = Length((v ? cl.bottom : cl.right) - clientMainStart);
    const i64 clientCross = Length(clientCrossEnd - clientCrossStart);

    const UiScrollState& s = in.scroll;
    const bool mainBar = v ? s.vVisible : s.hVisible;
    const i64 mainPos = Length(v ? s.vPos : s.hPos);
    const i64 mainRange = Length(v ? s.vRange : s.hRange);
    const bool crossBar = v ? s.hVisible : s.vVisible;
    const i64 crossPos = Length(v ? s.hPos : s.vPos);
    const i64 crossRange = Length(v ? s.hRange : s.vRange);

    const i64 availMain = clientMain + (rules.mainAddsRange && mainBar ? mainRange : 0);
    const i64 availCross = clientCross + (crossBar ? crossRange : 0);
    const i64 gap = Coord(in.childGap);

    auto estimate = [&](int index, i64 mainLimit, i64 crossLimit) {
        return measure ? measure(context, index, MakeSize(v, mainLimit, crossLimit)) : SIZE{0, 0};
    };

    // Estimate pass: what the fixed children take and how wide the widest is.
    i64 fixedTotal = 0, requiredCross = 0;
    int counted = 0, adjustable = 0;
    for (int i = 0; i < count; ++i) {
        const UiBoxChild& c = children[i];
        if (!c.visible || c.floating) continue;
        const Oriented o = Orient(c, v);
        const SIZE est = estimate(i, std::min(o.fixedMain, availMain),
                                  std::min(o.fixedCross, availCross - o.crossBefore - o.crossAfter));
        i64 sMain = Coord(MainOf(v, est));
        if (sMain == 0) ++adjustable;
        else sMain = Between(sMain, o.minMain, o.maxMain);
        fixedTotal += o.padBefore + o.padAfter + sMain;
        const i64 sCross = Between(Length(CrossOf(v, est)), o.minCross, o.maxCross);
        requiredCross = std::max(requiredCross, sCross + o.crossBefore + o.crossAfter);
        ++counted;
    }
    if (counted > 1) fixedTotal += (counted - 1) * gap;
    const i64 share = adjustable > 0 ? std::max<i64>(0, (availMain - fixedTotal) / adjustable) : 0;

    i64 pos = clientMainStart;
    if (mainBar) {
        pos -= mainPos;
    } else if (adjustable == 0) {
        if (in.mainAlign == UiAlign::Center) pos += (availMain - fixedTotal) / 2;
        else if (in.mainAlign == UiAlign::End) pos += availMain - fixedTotal;
    }

    // Placement pass.
    i64 remaining = availMain, remainingFixed = fixedTotal, requiredMain = 0;
    int placed = 0, adjustableSeen = 0;
    for (int i = 0; i < count; ++i) {
        const UiBoxChild& c = children[i];
        if (!c.visible || c.floating) continue;
        const Oriented o = Orient(c, v);
        remaining -= o.padBefore;
        const i64 crossAvail = availCross - o.crossBefore - o.crossAfter;
        const i64 crossLimit = std::min(o.fixedCross, crossAvail);
        const i64 mainLimit = std::min(o.fixedMain, remaining);
        remainingFixed -= o.padBefore + o.padAfter;
        if (placed > 0) remainingFixed -= gap;
        const SIZE est = estimate(i, mainLimit, crossLimit);

        i64 length = Coord(MainOf(v, est));
        if (length != 0) {
            length = Between(length, o.minMain, o.maxMain);
            remainingFixed -= length;
        } else {
            ++adjustableSeen;
            // The last adjustable child takes what the others left: odd remainders
            // end up there instead of as a gap at the end.
            length = adjustableSeen >= adjustable
                         ? std::max<i64>(0, remaining - o.padAfter - remainingFixed)
                         : share;
            length = Between(length, o.minMain, o.maxMain);
        }
        length = Length(length);

        i64 across;
        if (rules.crossFromEstimate) {
            const i64 sCross = Coord(CrossOf(v, est));
            across = std::min(crossLimit, sCross > 0 ? sCross : crossAvail);
        } else {
            across = std::min(crossLimit, o.rawMaxCross == 0 ? crossAvail : o.rawMaxCross);
        }
        across = Length(std::max(across, o.minCross));   // the minimum is applied last here

        i64 lo;
        if (in.crossAlign == UiAlign::Center) {
            i64 centre = (clientCrossStart + clientCrossEnd) / 2;
            if (crossBar) centre += crossRange / 2 - crossPos;
            lo = centre - across / 2;
        } else if (in.crossAlign == UiAlign::End) {
            i64 hi = clientCrossEnd - o.crossAfter;
            if (crossBar) hi += crossRange - crossPos;
            lo = hi - across;
        } else {
            lo = clientCrossStart + o.crossBefore - (crossBar ? crossPos : 0);
        }
        const i64 mainLo = pos + o.padBefore;
        if (out) {
            out[i] = v ? RECT{L(lo), L(mainLo), L(lo + across), L(mainLo + length)}
                       : RECT{L(mainLo), L(lo), L(mainLo + length), L(lo + across)};
        }
        // Keep the running sums bounded: thousands of huge children would
        // otherwise run past 64 bits' comfort and say nothing more useful.
        pos = Coord(pos + o.padBefore + length + o.padAfter + gap);
        remaining = Clamp(remaining - (length + o.padAfter + gap), -kLayoutLimit * 4LL,
                          kLayoutLimit * 4LL);
        requiredMain = Length(requiredMain + o.padBefore + length + o.padAfter);
        ++placed;
    }
    if (counted > 1) requiredMain = Length(requiredMain + (counted - 1) * gap);
    return MakeSize(v, requiredMain, requiredCross);
}

} // namespace

SIZE LayoutVerticalStack(const UiStackInput& input, const UiBoxChild* children, int count,
                         UiMeasureFn measure, void* context, RECT* out)
{
    return LayoutStack(StackRules{true, true, true}, input, children, count, measure, context, out);
}

SIZE LayoutHorizontalStack(const UiStackInput& input, const UiBoxChild* children, int count,
                           UiMeasureFn measure, void* context, RECT* out)
{
    return LayoutStack(StackRules{false, false, false}, input, children, count, measure, context,
                       out);
}

RECT LayoutFilledChild(const RECT& content, const UiBoxChild& child)
{
    const i64 w = Between(Length(static_cast<i64>(content.right) - content.left),
                          Length(child.minSize.cx), Length(child.maxSize.cx));
    const i64 h = Between(Length(static_cast<i64>(content.bottom) - content.top),
                          Length(child.minSize.cy), Length(child.maxSize.cy));
    return RECT{L(content.left), L(content.top), L(content.left + w), L(content.top + h)};
}

SIZE TabPageAvailable(const RECT& client, const UiBoxChild& child)
{
    const RECT& p = child.padding;
    const i64 w = static_cast<i64>(client.right) - client.left - Coord(p.left) - Coord(p.right);
    const i64 h = static_cast<i64>(client.bottom) - client.top - Coord(p.top) - Coord(p.bottom);
    return SIZE{static_cast<LONG>(Length(w)), static_cast<LONG>(Length(h))};
}

RECT LayoutTabPage(const RECT& client, const UiBoxChild& child, SIZE estimate)
{
    const SIZE avail = TabPageAvailable(client, child);
    i64 w = estimate.cx == 0 ? avail.cx : Length(estimate.cx);
    i64 h = estimate.cy == 0 ? avail.cy : Length(estimate.cy);
    w = Between(w, Length(child.minSize.cx), Length(child.maxSize.cx));
    h = Between(h, Length(child.minSize.cy), Length(child.maxSize.cy));
    const i64 left = static_cast<i64>(client.left) + Coord(child.padding.left);
    const i64 top = static_cast<i64>(client.top) + Coord(child.padding.top);
    return RECT{L(left), L(top), L(left + w), L(top + h)};
}

int SeparatorDragLength(int sep, int startLength, int grab, int now, int minLength,
                        int maxLength)
{
    const i64 motion = static_cast<i64>(now) - grab;
    i64 length = static_cast<i64>(startLength) + (sep > 0 ? motion : -motion);
    length = Between(length, Length(minLength), Length(maxLength));
    return static_cast<int>(Length(length));
}

// ---- scroll bar

namespace {
// Beyond this the thumb position cannot be told apart anyway; keeping the range
// below it keeps (track * position) inside 64 bits.
constexpr i64 kRangeLimit = 1LL << 36;

void LimitRange(i64& range, i64& position)
{
    range = Clamp(range, 0, LLONG_MAX);
    position = Clamp(position, 0, range);
    if (range > kRangeLimit) {
        position = static_cast<i64>(static_cast<long double>(position) * kRangeLimit / range);
        range = kRangeLimit;
    }
}
} // namespace

UiScrollBarParts LayoutScrollBar(const UiScrollBarInput& in)
{
    UiScrollBarParts parts;
    const RECT& r = in.item;
    i64 range = in.range, position = in.position;
    LimitRange(range, position);
    const int shown = (in.showButton1 ? 1 : 0) + (in.showButton2 ? 1 : 0);

    if (in.horizontal) {
        const i64 cy = Length(in.thickness.cy);
        const i64 track = Length(static_cast<i64>(r.right) - r.left);
        const i64 usable = track - cy * shown;
        parts.button1 = in.showButton1 ? RECT{r.left, r.top, L(r.left + cy), L(r.top + cy)}
                                       : RECT{r.left, r.top, r.left, r.top};
        parts.button2 = in.showButton2 ? RECT{L(r.right - cy), r.top, r.right, L(r.top + cy)}
                                       : RECT{r.right, r.top, r.right, r.top};
        if (cy < usable) {
            if (range > 0) {
                const i64 length = std::max(cy, usable * track / (track + range));
                i64 left = parts.button1.right + (usable - length) * position / range;
                if (left + length > parts.button2.left) left = parts.button2.left - length;
                parts.thumb = RECT{L(left), r.top, L(left + length), L(r.top + cy)};
            } else {
                parts.thumb = RECT{parts.button1.right, r.top, parts.button2.left, L(r.top + cy)};
            }
        } else {
            const i64 half = std::min(cy, track / 2);
            if (in.showButton1) parts.button1.right = L(r.left + half);
            if (in.showButton2) parts.button2.left = L(r.right - half);
        }
        return parts;
    }

    const i64 cx = Length(in.thickness.cx);
    const i64 track = Length(static_cast<i64>(r.bottom) - r.top);
    const i64 usable = track - cx * shown;
    parts.button1 = in.showButton1 ? RECT{r.left, r.top, L(r.left + cx), L(r.top + cx)}
                                   : RECT{r.left, r.top, r.left, r.top};
    parts.button2 = in.showButton2 ? RECT{r.left, L(r.bottom - cx), L(r.left + cx), r.bottom}
                                   : RECT{r.left, r.bottom, r.left, r.bottom};
    if (cx < usable) {
        if (range > 0) {
            const i64 length = std::max(cx, track * usable / (track + range));
            const float fraction = static_cast<float>(position) / static_cast<float>(range);
            i64 top = parts.button1.bottom + static_cast<i64>(fraction * (usable - length));
            if (top + length > parts.button2.top) top = parts.button2.top - length;
            parts.thumb = RECT{r.left, L(top), L(r.left + cx), L(top + length)};
        } else {
            parts.thumb = RECT{r.left, parts.button1.bottom, L(r.left + cx), parts.button2.top};
        }
    } else {
        const i64 half = std::min(cx, track / 2);
        if (in.showButton1) parts.button1.bottom = L(r.top + half);
        if (in.showButton2) parts.button2.top = L(r.bottom - half);
    }
    return parts;
}

long long ScrollDragOffset(long long motion, long long range, long long freeTrack)
{
    if (freeTrack == 0 || range <= 0) return 0;
    const long double offset = static_cast<long double>(motion) * range /
                               static_cast<long double>(freeTrack < 0 ? -freeTrack : freeTrack);
    if (offset > range) return range;
    if (offset < -range) return -range;
    return static_cast<long long>(offset);
}

// ---- progress bar

UiProgressValues NormalizeProgress(UiProgressValues v)
{
    if (v.minimum >= v.maximum) {
        // The top of int has no room above it: the range moves down one instead.
        if (v.minimum == INT_MAX) v.minimum = INT_MAX - 1;
        v.maximum = v.minimum + 1;
    }
    if (v.value < v.minimum) v.value = v.minimum;
    if (v.value > v.maximum) v.value = v.maximum;
    return v;
}

RECT ProgressFillRect(const RECT& item, const UiProgressValues& values, bool horizontal)
{
    const UiProgressValues v = NormalizeProgress(values);
    const i64 span = static_cast<i64>(v.maximum) - v.minimum;
    RECT fill = item;
    if (horizontal) {
        const i64 width = static_cast<i64>(item.right) - item.left;
        fill.right = L(item.left + width * (static_cast<i64>(v.value) - v.minimum) / span);
    } else {
        const i64 height = static_cast<i64>(item.bottom) - item.top;
        fill.top = L(item.top + height * (static_cast<i64>(v.maximum) - v.value) / span);
    }
    return fill;
}

RECT ProgressForeSpan(const RECT& item, const UiProgressValues& values, bool horizontal)
{
    const UiProgressValues v = NormalizeProgress(values);
    const double span = static_cast<double>(v.maximum) - v.minimum;
    const i64 width = static_cast<i64>(item.right) - item.left;
    const i64 height = static_cast<i64>(item.bottom) - item.top;
    if (horizontal) {
        const i64 w = static_cast<i64>(width * (static_cast<double>(v.value) - v.minimum) / span);
        return RECT{0, 0, L(w), L(height)};
    }
    const i64 y0 = static_cast<i64>(height * (static_cast<double>(v.maximum) - v.value) / span);
    return RECT{0, L(y0), L(width), L(height)};
}

} // namespace SkinUI
