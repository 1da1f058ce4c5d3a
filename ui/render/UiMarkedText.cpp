// DrawMarkedText: the paint manager's fonts and images behind the layout of
// UiMarkedLayout, then the placed runs drawn with GDI.
#include <algorithm>
#include <vector>

#include "ui/core/UiPaintManager.h"
#include "ui/render/UiGdi.h"
#include "ui/render/UiImage.h"
#include "ui/render/UiMarkedLayout.h"
#include "ui/render/UiText.h"

namespace SkinUI {

namespace {

// Ids the marked-up text gives the fonts it adds to a manager (bold or italic
// variants, f tags with a face), well away from the ids skins write.
const int kFirstMarkupFontId = 0x10000;
const int kMaxMarkupFonts = 4096;

COLORREF ToColorRef(DWORD argb)
{
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

class ManagerCanvas : public IUiMarkupCanvas {
public:
    ManagerCanvas(HDC dc, CPaintManagerUI* manager) : m_dc(dc), m_manager(manager) {}

    int FontVariant(int font, UiFontStyle style) override
    {
        const UiFontInfo* info = m_manager->GetFontInfo(font);
        if (!info) return font;
        bool bold = info->bold, underline = info->underline, italic = info->italic;
        bool* flag = style == UI_FONT_BOLD ? &bold : style == UI_FONT_ITALIC ? &italic : &underline;
        if (*flag) return font;
        *flag = true;
        CUiString face = info->face;   // the table may grow under info
        return FontOf(face, info->size, bold, underline, italic, font);
    }

    int FontOf(const wchar_t* face, int size, bool bold, bool underline, bool italic) override
    {
        return FontOf(face, size, bold, underline, italic, -1);
    }

    UiMarkupFontMetrics Metrics(int font) override
    {
        for (const Measured& m : m_metrics) {
            if (m.font == font) return m.metrics;
        }
        UiMarkupFontMetrics metrics;
        TEXTMETRICW tm = {};
        Select(font);
        if (GetTextMetricsW(m_dc, &tm)) {
            metrics.height = tm.tmHeight;
            metrics.descent = tm.tmDescent;
            metrics.externalLeading = tm.tmExternalLeading;
            metrics.averageWidth = tm.tmAveCharWidth;
            metrics.italic = tm.tmItalic != 0;
        }
        m_metrics.push_back({font, metrics});
        return metrics;
    }

    int TextWidth(int font, const wchar_t* text, int length) override
    {
        if (length <= 0) return 0;
        Select(font);
        SIZE size = {};
        GetTextExtentPoint32W(m_dc, text, length, &size);
        return size.cx;
    }

    int FitCount(int font, const wchar_t* text, int length, int maxWidth) override
    {
        if (length <= 0 || maxWidth <= 0) return 0;
        Select(font);
        int fit = 0;
        SIZE size = {};
        if (!GetTextExtentExPointW(m_dc, text, length, maxWidth, &fit, nullptr, &size)) return 0;
        return std::max(0, std::min(fit, length));
    }

    bool ImageSize(const wchar_t* name, const wchar_t* type, SIZE* size) override
    {
        const UiImageInfo* image = m_manager->GetImageEx(name, type);
        if (!image || !image->bitmap) return false;
        size->cx = image->width;
        size->cy = image->height;
        return true;
    }

    int Scale(int value) override { return m_manager->Scale(value); }

    void Select(int font)
    {
        if (font == m_selected && m_hasSelected) return;
        HFONT handle = m_manager->GetFont(font);
        if (handle) SelectObject(m_dc, handle);
        m_selected = font;
        m_hasSelected = true;
    }

private:
    struct Measured {
        int font;
        UiMarkupFontMetrics metrics;
    };

    int FontOf(const wchar_t* face, int size, bool bold, bool underline, bool italic, int fallback)
    {
        HFONT found = m_manager->GetFont(face, size, bold, underline, italic);
        if (found) {
            int id = m_manager->GetFontId(found, false);
            if (id < 0) id = m_manager->GetFontId(found, true);
            if (id >= 0) return id;
        }
        // Not there yet: add it under an id nobody uses, so later paints find it.
        HFONT defaultFont = m_manager->GetFont(-1);
        for (int id = kFirstMarkupFontId; id < kFirstMarkupFontId + kMaxMarkupFonts; ++id) {
            if (m_manager->GetFont(id) != defaultFont) continue;
            if (m_manager->AddFont(id, face, size, bold, underline, italic)) return id;
            break;
        }
        return fallback;
    }

    HDC m_dc;
    CPaintManagerUI* m_manager;
    std::vector<Measured> m_metrics;
    int m_selected = 0;
    bool m_hasSelected = false;
};

// The link under the mouse in the previous paint, read before the slots are reused.
const wchar_t* HoveredLink(CPaintManagerUI* manager, const RECT* links, const CUiString* texts,
                           int slots)
{
    if (!links || !texts) return nullptr;
    POINT mouse = manager->GetLastMousePos();
    for (int i = 0; i < slots; ++i) {
        if (PtInRect(&links[i], mouse)) return texts[i];
    }
    return nullptr;
}

void DrawItems(HDC dc, CPaintManagerUI* manager, ManagerCanvas* canvas, const RECT& clip,
               const UiMarkupLayout& layout)
{
    for (const UiMarkupItem& item : layout.items) {
        RECT visible;
        if (!IntersectRect(&visible, &item.box, &clip)) continue;
        if (item.kind == UiMarkupItem::TEXT) {
            canvas->Select(item.font);
            SetTextColor(dc, ToColorRef(item.color));
            SetBkMode(dc, item.selected ? OPAQUE : TRANSPARENT);
            TextOutW(dc, item.box.left, item.box.top, item.text, item.length);
            continue;
        }
        const UiMarkupImage& image = layout.images[item.image];
        const wchar_t* type = image.resourceType.IsEmpty() ? nullptr : image.resourceType.GetData();
        const UiImageInfo* info = manager->GetImageEx(image.name, type);
        if (!info || !info->bitmap) continue;
        RECT corner = {};
        BlitNinePart(dc, info->bitmap, item.box, visible, image.source, corner,
                     info->hasAlpha || manager->IsLayered());
    }
}

} // namespace

void DrawMarkedText(HDC dc, CPaintManagerUI* manager, RECT& rect, const wchar_t* text,
                    DWORD color, RECT* links, CUiString* linkTexts, int* linkCount, int font,
                    UINT format)
{
    if (!dc || !manager || !text || IsRectEmpty(&rect)) return;
    bool calc = (format & DT_CALCRECT) != 0;
    int slots = (links && linkCount) ? std::max(0, *linkCount) : 0;

    // Font, colours, background mode and clip all go back when this returns.
    CUiSaveDC saved(dc);
    ManagerCanvas canvas(dc, manager);

    UiMarkupInput input;
    input.text = text;
    input.rect = rect;
    input.format = format;
    input.font = font;
    input.color = color;
    input.linkColor = manager->GetLinkColor();
    input.linkHoverColor = manager->GetLinkHoverColor();
    CUiString hovered;
    if (!calc) {
        const wchar_t* under = HoveredLink(manager, links, linkTexts, slots);
        if (under) {
            hovered = under;
            input.hoveredLink = hovered;
        }
    }
    input.linkSlots = calc ? 0 : slots;

    UiMarkupLayout layout;
    LayoutMarkedText(input, &canvas, &layout);

    if (calc) {
        rect.right = rect.left + layout.width;
        rect.bottom = rect.top + layout.height;
        return;
    }

    IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
    SetBkColor(dc, ToColorRef(manager->GetSelectionColor()));
    DrawItems(dc, manager, &canvas, rect, layout);

    if (slots > 0) {
        // Slots this paint did not fill are cleared, so no stale rectangle stays clickable.
        for (int i = 0; i < slots; ++i) {
            bool used = i < static_cast<int>(layout.links.size());
            if (used) links[i] = layout.links[i].rect;
            else SetRectEmpty(&links[i]);
            if (linkTexts) {
                if (used) linkTexts[i] = layout.links[i].text;
                else linkTexts[i].Empty();
            }
        }
        *linkCount = static_cast<int>(layout.links.size());
    }
}

} // namespace SkinUI
