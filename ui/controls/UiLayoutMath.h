#pragma once
// The arithmetic of the layouts, apart from the controls: plain structs in,
// rectangles out. Containers collect the inputs from their children, call these
// and place the children with the answers; tests call them with tables.
//
// Every function here is linear in the number of children, never divides by a
// value it has not checked, and works in 64 bits before clamping its answers to
// +-kLayoutLimit, so absurd sizes, insets and paddings cannot overflow.
#include <windows.h>

namespace SkinUI {

// Coordinates and lengths the layouts hand out stay within this bound: sums and
// differences of a few of them still fit in 32 bits.
constexpr int kLayoutLimit = 1 << 24;

// One child as a layout sees it (lengths already DPI-scaled).
struct UiBoxChild {
    bool visible = true;
    bool floating = false;
    RECT padding = {0, 0, 0, 0};
    SIZE fixed = {0, 0};            // 0: not fixed in that direction
    SIZE minSize = {0, 0};
    SIZE maxSize = {9999, 9999};
};

// The scroll bars of the container being laid out.
struct UiScrollState {
    bool vVisible = false;
    bool hVisible = false;
    long long vPos = 0;
    long long vRange = 0;
    long long hPos = 0;
    long long hRange = 0;
};

enum class UiAlign { Start, Center, End };

struct UiStackInput {
    RECT client = {0, 0, 0, 0};     // item rectangle less inset and visible bars
    int childGap = 0;               // child padding between consecutive children
    UiAlign mainAlign = UiAlign::Start;   // along the stack (only without adjustable children)
    UiAlign crossAlign = UiAlign::Start;  // across it
    UiScrollState scroll;
};

// A child's size estimate for an available size (its MeasureSize).
using UiMeasureFn = SIZE (*)(void* context, int index, SIZE available);

// Places count children top to bottom (vertical) or left to right. out[i] gets
// the rectangle of each visible non-floating child; invisible and floating
// children's entries are left untouched. Returns the size the content needs
// (what the scroll bars compare with the client rectangle).
SIZE LayoutVerticalStack(const UiStackInput& input, const UiBoxChild* children, int count,
                         UiMeasureFn measure, void* context, RECT* out);
SIZE LayoutHorizontalStack(const UiStackInput& input, const UiBoxChild* children, int count,
                           UiMeasureFn measure, void* context, RECT* out);

// A child of the plain container: the content rectangle's corner, its size
// raised to the minimum and then lowered to the maximum.
RECT LayoutFilledChild(const RECT& content, const UiBoxChild& child);

// The selected page of a tab layout: what it may measure against, then where it
// goes for the estimate it gave (0 in a direction takes the available size).
SIZE TabPageAvailable(const RECT& client, const UiBoxChild& child);
RECT LayoutTabPage(const RECT& client, const UiBoxChild& child, SIZE estimate);

// The length a layout takes while its separator is dragged. sep > 0: the far
// edge (bottom or right) was grabbed, sep < 0: the near edge. The layout was
// startLength long when the pointer grabbed it at `grab` (along the axis); the
// pointer is now at `now`. The answer stays within [minLength, maxLength] (the
// maximum wins when they cross); a pointer that has run past a limit moves
// nothing until it comes back.
int SeparatorDragLength(int sep, int startLength, int grab, int now, int minLength,
                        int maxLength);

// ---- scroll bar

struct UiScrollBarInput {
    RECT item = {0, 0, 0, 0};
    SIZE thickness = {16, 16};      // the bar's scaled fixed size: cx for a vertical bar's
                                    // buttons, cy for a horizontal one's
    bool horizontal = false;
    bool showButton1 = true;
    bool showButton2 = true;
    long long range = 0;
    long long position = 0;
};

struct UiScrollBarParts {
    RECT button1 = {0, 0, 0, 0};
    RECT button2 = {0, 0, 0, 0};
    RECT thumb = {0, 0, 0, 0};     // empty when the track has no room for one
};

UiScrollBarParts LayoutScrollBar(const UiScrollBarInput& input);

// Position change for a thumb dragged `motion` pixels along a bar whose free
// track (item length less thumb and shown buttons) is `freeTrack` pixels.
// 0 when the free track is 0; limited to +-range.
long long ScrollDragOffset(long long motion, long long range, long long freeTrack);

// ---- progress bar

struct UiProgressValues {
    int minimum = 0;
    int maximum = 100;
    int value = 0;
};

// Paint-time correction: an empty or inverted range gets maximum = minimum + 1,
// the value is limited to the range.
UiProgressValues NormalizeProgress(UiProgressValues values);

// The filled part of item for normalised values: from the left edge, or up from
// the bottom edge for a vertical bar (integer arithmetic).
RECT ProgressFillRect(const RECT& item, const UiProgressValues& values, bool horizontal);

// The fore image's span relative to the item: left 0, top y0, right w, bottom h.
RECT ProgressForeSpan(const RECT& item, const UiProgressValues& values, bool horizontal);

} // namespace SkinUI
