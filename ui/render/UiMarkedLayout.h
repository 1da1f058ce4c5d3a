#pragma once
// Marked-up text, the layout half: tags, stacks and line breaking turn a text
// into a list of placed runs and images. Fonts, measuring and images are asked of
// a canvas, so the layout can be checked with a made-up one; DrawMarkedText
// gives it the paint manager's fonts and a device context.
#include <windows.h>

#include <vector>

#include "ui/core/UiString.h"

namespace SkinUI {

enum UiFontStyle { UI_FONT_BOLD, UI_FONT_ITALIC, UI_FONT_UNDERLINE };

struct UiMarkupFontMetrics {
    int height = 0;             // tmHeight
    int descent = 0;            // tmDescent
    int externalLeading = 0;    // tmExternalLeading
    int averageWidth = 0;       // tmAveCharWidth
    bool italic = false;
};

class IUiMarkupCanvas {
public:
    virtual ~IUiMarkupCanvas() = default;
    // Font ids are the paint manager's: -1 is the default font.
    virtual int FontVariant(int font, UiFontStyle style) = 0;   // font itself when it has the style
    virtual int FontOf(const wchar_t* face, int size, bool bold, bool underline, bool italic) = 0;
    virtual UiMarkupFontMetrics Metrics(int font) = 0;
    virtual int TextWidth(int font, const wchar_t* text, int length) = 0;
    // How many leading characters fit into maxWidth (0 when maxWidth <= 0).
    virtual int FitCount(int font, const wchar_t* text, int length, int maxWidth) = 0;
    virtual bool ImageSize(const wchar_t* name, const wchar_t* type, SIZE* size) = 0;
    virtual int Scale(int value) = 0;   // design pixels to device pixels
};

struct UiMarkupInput {
    const wchar_t* text = nullptr;
    RECT rect = {};
    UINT format = 0;
    int font = -1;
    DWORD color = 0;
    DWORD linkColor = 0;
    DWORD linkHoverColor = 0;
    const wchar_t* hoveredLink = nullptr;   // text of the link under the mouse, or null
    int linkSlots = 0;                      // links recorded at most
};

struct UiMarkupItem {
    enum Kind { TEXT, IMAGE };
    Kind kind = TEXT;
    int line = 0;
    RECT box = {};                  // final position, alignment applied
    const wchar_t* text = nullptr;  // TEXT: into the input text (or a literal "...")
    int length = 0;
    int font = -1;
    DWORD color = 0;
    bool selected = false;
    int image = -1;                 // IMAGE: index into images
    int link = -1;                  // the link tag it belongs to, or -1
    int descent = 0;                // TEXT: of its font; runs share their line's baseline
};

struct UiMarkupImage {
    CUiString name;
    CUiString resourceType;
    RECT source = {};               // the part of the bitmap to draw
};

struct UiMarkupLink {
    RECT rect = {};
    CUiString text;
};

struct UiMarkupLine {
    int top = 0;        // before vertical alignment
    int height = 0;
    int descent = 0;    // the deepest descent of its runs: the baseline sits this far up
    int width = 0;      // of its runs and images
    int shift = 0;      // horizontal alignment of this line
};

struct UiMarkupLayout {
    std::vector<UiMarkupItem> items;
    std::vector<UiMarkupImage> images;
    std::vector<UiMarkupLine> lines;
    std::vector<UiMarkupLink> links;   // at most linkSlots
    int linkCount = 0;                 // link tags met (may exceed links.size())
    int width = 0;                     // widest line
    int height = 0;                    // from the rectangle's top to the last line's bottom
    int shiftY = 0;                    // vertical alignment
};

// Lays the text out inside input.rect. In single-line mode (DT_SINGLELINE) the
// first line break ends the layout. Every loop consumes input or starts a new
// line from the left edge, so even a rectangle narrower than one character ends.
void LayoutMarkedText(const UiMarkupInput& input, IUiMarkupCanvas* canvas, UiMarkupLayout* layout);

} // namespace SkinUI
