#include "ui/controls/UiFloatPlacement.h"

#include <cmath>

namespace SkinUI {

namespace {

// Coordinates stay far inside int, so sums of a few of them cannot overflow.
constexpr double kCoordLimit = 1 << 24;

LONG ClampCoord(double value)
{
    if (!(value == value))   // NaN from a malformed fraction
        return 0;
    if (value > kCoordLimit)
        value = kCoordLimit;
    if (value < -kCoordLimit)
        value = -kCoordLimit;
    return static_cast<LONG>(std::trunc(value));
}

} // namespace

RECT PlaceFloatingRect(const RECT& parent, const UiFloatInput& in)
{
    const double width = static_cast<double>(parent.right) - parent.left;
    const double height = static_cast<double>(parent.bottom) - parent.top;
    const double x = in.offset.cx, y = in.offset.cy;
    const double w = in.size.cx, h = in.size.cy;

    if (in.align != 0) {
        double left = x, top = y;
        if (in.align & UIFLOAT_HCENTER)
            left = std::trunc((width - w) / 2);
        else if (in.align & UIFLOAT_RIGHT)
            left = width - w;
        if (in.align & UIFLOAT_VCENTER)
            top = std::trunc((height - h) / 2);
        else if (in.align & UIFLOAT_BOTTOM)
            top = height - h;
        left += parent.left;
        top += parent.top;
        return RECT{ClampCoord(left), ClampCoord(top), ClampCoord(left + w), ClampCoord(top + h)};
    }

    const double baseX = in.offset.cx < 0 ? parent.right : parent.left;
    const double baseY = in.offset.cy < 0 ? parent.bottom : parent.top;
    // Each fraction is truncated on its own, as a skin author counting pixels expects.
    const double left = ClampCoord(width * in.percent.left) + baseX + x;
    const double top = ClampCoord(height * in.percent.top) + baseY + y;
    const double right = ClampCoord(width * in.percent.right) + baseX + x + w;
    const double bottom = ClampCoord(height * in.percent.bottom) + baseY + y + h;
    return RECT{ClampCoord(left), ClampCoord(top), ClampCoord(right), ClampCoord(bottom)};
}

UiFloatInput FloatInputOf(const CControlUI& control)
{
    const CControlUI& c = control;
    UiFloatInput in;
    in.offset = c.FloatOffset();
    in.size = SIZE{c.PresetWidth(), c.PresetHeight()};
    in.percent = c.AnchorFractions();
    in.align = c.FloatAlignment();
    return in;
}

} // namespace SkinUI
