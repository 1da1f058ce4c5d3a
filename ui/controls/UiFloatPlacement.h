#pragma once
// Where a floating control goes inside its parent: pure arithmetic, so that
// containers only collect the inputs and tests can check it in a table.
#include <windows.h>
#include "ui/controls/UiControl.h"

namespace SkinUI {

struct UiFloatInput {
    SIZE offset = {0, 0};       // fixed XY, scaled; negative anchors to the far edge
    SIZE size = {0, 0};         // fixed width and height, scaled
    UiFloatPercent percent;     // fractions of the parent's size
    UINT align = 0;             // UiFloatAlign bits; non-zero ignores percent
};

// parent: the container's item rectangle. The result is clamped to a range that
// later arithmetic on it cannot overflow, whatever the fractions say.
RECT PlaceFloatingRect(const RECT& parent, const UiFloatInput& input);

// The inputs as a control holds them.
UiFloatInput FloatInputOf(const CControlUI& control);

} // namespace SkinUI
