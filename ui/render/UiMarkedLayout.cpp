#include "ui/render/UiMarkedLayout.h"

#include <algorithm>
#include <climits>

#include "ui/render/UiMarkup.h"

namespace SkinUI {

namespace {

// Pixel arguments (x, y, p) and image sizes are held to this; larger values only
// serve to overflow the pen arithmetic.
const int kMaxPixels = 0x7FFF;
// Past this the pen stops: no skin has a text a million pixels tall.
const int kMaxPen = 0x3FFFFFFF;

const wchar_t kEllipsis[] = L"...";

// A count of leading characters that does not end between the halves of a
// surrogate pair (one character outside the basic plane): such a cut would draw
// two broken halves on two lines.
int WholeCharacters(const wchar_t* run, int length, int count)
{
    if (count <= 0 || count >= length) return count;
    if (IS_HIGH_SURROGATE(run[count - 1]) && IS_LOW_SURROGATE(run[count])) {
        return count > 1 ? count - 1 : count + 1;
    }
    return count;
}

class MarkupLayouter {
public:
    MarkupLayouter(const UiMarkupInput& input, IUiMarkupCanvas* canvas, UiMarkupLayout* layout)
        : m_in(input), m_canvas(canvas), m_out(layout), m_left(input.rect.left), m_right(input.rect.right)
    {
        m_singleLine = (input.format & DT_SINGLELINE) != 0;
        m_wordBreak = (input.format & DT_WORDBREAK) != 0;
        m_ellipsis = (input.format & DT_END_ELLIPSIS) != 0;
        m_calc = (input.format & DT_CALCRECT) != 0;
        // Without vertical alignment nothing below the rectangle can ever show.
        m_stopAtBottom = !m_calc && (input.format & (DT_VCENTER | DT_BOTTOM)) == 0;
        m_x = m_left;
        m_y = input.rect.top;
        m_lineHeight = FontLineHeight();
    }

    void Run()
    {
        const wchar_t* p = m_in.text;
        while (!m_ended) {
            UiMarkupToken token;
            const wchar_t* next = NextMarkupToken(p, m_raw, &token);
            switch (token.kind) {
            case UI_MARKUP_END: m_ended = true; break;
            case UI_MARKUP_TEXT: AddText(token.text, token.length); break;
            case UI_MARKUP_NEWLINE: NewLine(); break;
            case UI_MARKUP_OPEN: Open(token.tag, CUiString(token.text, token.length)); break;
            case UI_MARKUP_CLOSE: Close(token.tag); break;
            }
            p = next;
        }
        Finish();
    }

private:
    int Font() const { return m_fonts.empty() ? m_in.font : m_fonts.back(); }
    DWORD Color() const { return m_colors.empty() ? m_in.color : m_colors.back(); }
    int Paragraph() const { return m_paragraphs.empty() ? 0 : m_paragraphs.back(); }

    int FontLineHeight()
    {
        UiMarkupFontMetrics m = m_canvas->Metrics(Font());
        return std::max(0, std::min(m.height + m.externalLeading, kMaxPixels));
    }
    // After every font or paragraph change the line is at least as tall as they need.
    void FitLineHeight() { m_lineHeight = std::max(m_lineHeight, Paragraph() + FontLineHeight()); }

    void PushFont(int font)
    {
        m_fonts.push_back(font);
        FitLineHeight();
    }

    void PopFont()
    {
        if (m_fonts.empty()) return;
        bool wasItalic = m_canvas->Metrics(Font()).italic;
        m_fonts.pop_back();
        // Leaving italic text: keep its overhang off the upright text that follows.
        if (wasItalic && !m_canvas->Metrics(Font()).italic) {
            m_x += m_canvas->TextWidth(Font(), L" ", 1) / 2;
        }
        FitLineHeight();
    }

    void PopColor()
    {
        if (!m_colors.empty()) m_colors.pop_back();
    }

    void CloseLine()
    {
        if (m_lineClosed) return;
        UiMarkupLine line;
        line.top = m_y;
        line.height = m_lineHeight;
        line.descent = m_lineDescent;
        line.width = std::max(0, m_x - m_left);
        m_out->lines.push_back(line);
        m_lineClosed = true;
    }

    // False when the layout ends here (single line, below the rectangle).
    bool NewLine()
    {
        if (m_ended) return false;
        CloseLine();
        if (m_singleLine || m_y + m_lineHeight > kMaxPen) {
            m_ended = true;
            return false;
        }
        m_y += m_lineHeight;
        if (m_stopAtBottom && m_y >= m_in.rect.bottom) {
            m_ended = true;
            return false;
        }
        m_x = m_left;
        m_lineHeight = Paragraph() + FontLineHeight();
        m_lineClosed = false;
        m_lineUsed = false;
        m_lineAscent = 0;
        m_lineDescent = 0;
        return true;
    }

    void Emit(const wchar_t* text, int length, int width)
    {
        UiMarkupItem item;
        item.kind = UiMarkupItem::TEXT;
        item.line = static_cast<int>(m_out->lines.size());
        item.text = text;
        item.length = length;
        item.font = Font();
        item.color = Color();
        item.selected = m_selected;
        item.link = m_link;
        int height = FontLineHeight();
        item.descent = std::max(0, std::min(m_canvas->Metrics(item.font).descent, height));
        item.box = {m_x, 0, m_x + width, height};
        m_out->items.push_back(item);
        m_x += width;
        m_lineUsed = true;
        // Runs of different sizes share a baseline: the line holds the tallest part
        // above it and the deepest below it.
        m_lineAscent = std::max(m_lineAscent, height - item.descent);
        m_lineDescent = std::max(m_lineDescent, item.descent);
        m_lineHeight = std::max(m_lineHeight, m_lineAscent + m_lineDescent);
    }

    // The ellipsis ends the text on the last line that can show.
    bool IsLastLine()
    {
        if (m_singleLine) return true;
        int nextHeight = Paragraph() + FontLineHeight();
        return m_y + m_lineHeight + nextHeight > m_in.rect.bottom;
    }

    void AddText(const wchar_t* run, int length)
    {
        while (length > 0 && !m_ended) {
            int font = Font();
            int avail = m_right - m_x;
            // Measure no more than could possibly fit, so that a long text in a narrow
            // rectangle does not cost its length squared.
            int average = std::max(1, m_canvas->Metrics(font).averageWidth);
            int window = WholeCharacters(run, length, std::min(length, std::max(0, avail) / average * 2 + 16));
            int width = m_canvas->TextWidth(font, run, window);
            if (width <= avail) {
                int keep = window;
                if (window < length && m_wordBreak) {
                    int cut = MarkupWordBreak(run, window, window);
                    if (cut > 0) keep = cut;
                }
                Emit(run, keep, keep == window ? width : m_canvas->TextWidth(font, run, keep));
                run += keep;
                length -= keep;
                continue;
            }
            if (m_ellipsis && IsLastLine()) {
                int dots = m_canvas->TextWidth(font, kEllipsis, 3);
                int fit = WholeCharacters(run, window, m_canvas->FitCount(font, run, window, avail - dots));
                if (fit > 0) Emit(run, fit, m_canvas->TextWidth(font, run, fit));
                if (m_x + dots <= m_right || m_x == m_left) Emit(kEllipsis, 3, dots);
                m_ended = true;
                return;
            }
            int fit = m_canvas->FitCount(font, run, window, avail);
            int cut = fit;
            if (m_wordBreak) {
                cut = MarkupWordBreak(run, window, fit);
                if (cut == 0 && m_x == m_left) cut = fit;   // one word wider than the line
            }
            // A character wider than the whole line still takes a line of its own.
            if (cut == 0 && m_x == m_left) cut = 1;
            cut = WholeCharacters(run, length, cut);
            if (cut > 0) Emit(run, cut, m_canvas->TextWidth(font, run, cut));
            run += cut;
            length -= cut;
            if (!NewLine()) return;
            if (m_wordBreak) {
                while (length > 0 && *run == L' ') {
                    ++run;
                    --length;
                }
            }
        }
    }

    void AddImage(const wchar_t* args)
    {
        UiMarkupImageArgs image;
        if (!ParseMarkupImage(args, &image)) return;
        SIZE size = {};
        const wchar_t* type = image.resourceType.IsEmpty() ? nullptr : image.resourceType.GetData();
        if (!m_canvas->ImageSize(image.name, type, &size)) return;
        int width = static_cast<int>(size.cx / image.parts);
        int height = static_cast<int>(std::min<LONG>(size.cy, kMaxPixels));
        if (width <= 0 || height <= 0) return;
        if (m_x + width > m_right && m_x > m_left && !NewLine()) return;
        UiMarkupImage record;
        record.name = image.name;
        record.resourceType = image.resourceType;
        record.source = {image.part * width, 0, image.part * width + width, height};
        m_out->images.push_back(record);

        UiMarkupItem item;
        item.kind = UiMarkupItem::IMAGE;
        item.line = static_cast<int>(m_out->lines.size());
        item.image = static_cast<int>(m_out->images.size()) - 1;
        item.link = m_link;
        item.box = {m_x, 0, m_x + width, height};
        m_out->items.push_back(item);
        m_x += width;
        m_lineUsed = true;
        // Taller images make their line taller; the text stays on the line's bottom.
        m_lineHeight = std::max(m_lineHeight, height);
    }

    void OpenLink(const CUiString& target)
    {
        if (m_link >= 0) CloseLink();
        m_link = m_out->linkCount++;
        LinkStart start = {m_x, static_cast<int>(m_out->lines.size()), FontLineHeight()};
        m_linkStarts.push_back(start);
        if (m_link < m_in.linkSlots) {
            UiMarkupLink link;
            link.text = target;
            m_out->links.push_back(link);
        }
        DWORD color;
        if (m_in.hoveredLink && target == m_in.hoveredLink) color = m_in.linkHoverColor;
        else color = m_in.color ? m_in.color : m_in.linkColor;
        m_colors.push_back(color);
        PushFont(m_canvas->FontVariant(Font(), UI_FONT_UNDERLINE));
    }

    void CloseLink()
    {
        if (m_link < 0) return;
        m_link = -1;
        PopColor();
        PopFont();
    }

    void Open(wchar_t tag, const CUiString& args)
    {
        switch (tag) {
        case L'a': OpenLink(args); break;
        case L'b': PushFont(m_canvas->FontVariant(Font(), UI_FONT_BOLD)); break;
        case L'u': PushFont(m_canvas->FontVariant(Font(), UI_FONT_UNDERLINE)); break;
        case L'i':
            if (args.IsEmpty()) PushFont(m_canvas->FontVariant(Font(), UI_FONT_ITALIC));
            else AddImage(args);
            break;
        case L'c': m_colors.push_back(ParseMarkupColor(args)); break;
        case L'f': {
            UiMarkupFontArgs font = ParseMarkupFont(args);
            if (font.byIndex) PushFont(font.index);
            else if (font.face.IsEmpty()) PushFont(Font());   // keeps </f> balanced
            else PushFont(m_canvas->FontOf(font.face, font.size, font.bold, font.underline, font.italic));
            break;
        }
        case L'n':
            if (!m_singleLine) NewLine();
            break;
        case L'p':
            if (m_x != m_left && !NewLine()) break;
            m_paragraphs.push_back(std::min(m_canvas->Scale(ParseMarkupPixels(args, kMaxPixels)), kMaxPixels));
            FitLineHeight();
            break;
        case L'r': m_raw = true; break;
        case L's': m_selected = !m_selected; break;
        case L'x': {
            int dx = m_canvas->Scale(ParseMarkupPixels(args, kMaxPixels));
            m_x += std::max(0, std::min(dx, m_right - m_x));
            break;
        }
        case L'y':
            m_lineHeight = std::max(0, std::min(m_canvas->Scale(ParseMarkupPixels(args, kMaxPixels)), kMaxPixels));
            break;
        default: break;
        }
    }

    void Close(wchar_t tag)
    {
        switch (tag) {
        case L'a': CloseLink(); break;
        case L'b': case L'f': case L'i': case L'u': PopFont(); break;
        case L'c': PopColor(); break;
        case L'p':
            // Popped first, so the line after the paragraph does not keep its height.
            if (!m_paragraphs.empty()) m_paragraphs.pop_back();
            if (m_x != m_left) NewLine();
            break;
        case L'r': m_raw = false; break;
        case L's': m_selected = !m_selected; break;
        default: break;
        }
    }

    void Finish()
    {
        CloseLine();
        UiMarkupLayout& out = *m_out;
        // A line break at the very end ("</p>", "<n>") opens a line that stays
        // empty; it adds nothing to the text's extent.
        if (!m_lineUsed && out.lines.size() > 1 && out.lines.back().width == 0) out.lines.pop_back();
        const RECT& rect = m_in.rect;
        int rectWidth = rect.right - rect.left;
        int rectHeight = rect.bottom - rect.top;
        const UiMarkupLine& last = out.lines.back();
        out.height = last.top + last.height - rect.top;
        out.width = 0;
        for (UiMarkupLine& line : out.lines) {
            out.width = std::max(out.width, line.width);
            if (m_calc) continue;
            if (m_in.format & DT_CENTER) line.shift = std::max(0, (rectWidth - line.width) / 2);
            else if (m_in.format & DT_RIGHT) line.shift = std::max(0, rectWidth - line.width);
        }
        if (!m_calc) {
            if (m_in.format & DT_VCENTER) out.shiftY = (rectHeight - out.height) / 2;
            else if (m_in.format & DT_BOTTOM) out.shiftY = rectHeight - out.height;
        }

        // Runs stand on their line's baseline, images on its bottom.
        for (UiMarkupItem& item : out.items) {
            const UiMarkupLine& line = out.lines[item.line];
            int height = item.box.bottom;
            int bottom = line.top + line.height;
            if (item.kind == UiMarkupItem::TEXT) bottom -= line.descent - item.descent;
            item.box.top = bottom - height + out.shiftY;
            item.box.bottom = item.box.top + height;
            item.box.left += line.shift;
            item.box.right += line.shift;
        }
        if (!m_calc) {
            // Lines that start below the rectangle are not drawn.
            auto hidden = [&](const UiMarkupItem& item) {
                return out.lines[item.line].top + out.shiftY >= rect.bottom;
            };
            out.items.erase(std::remove_if(out.items.begin(), out.items.end(), hidden), out.items.end());
        }

        // A link covers what it drew; an empty one is a point where it started.
        for (size_t k = 0; k < out.links.size(); ++k) {
            const LinkStart& start = m_linkStarts[k];
            const UiMarkupLine& line = out.lines[std::min<size_t>(start.line, out.lines.size() - 1)];
            RECT box = {start.x + line.shift, line.top + line.height - start.height + out.shiftY, 0, 0};
            box.right = box.left;
            box.bottom = box.top + start.height;
            bool first = true;
            for (const UiMarkupItem& item : out.items) {
                if (item.link != static_cast<int>(k)) continue;
                if (first) box = item.box;
                else UnionRect(&box, &box, &item.box);
                first = false;
            }
            out.links[k].rect = box;
        }
    }

    struct LinkStart {
        int x;
        int line;
        int height;
    };

    const UiMarkupInput& m_in;
    IUiMarkupCanvas* m_canvas;
    UiMarkupLayout* m_out;
    const int m_left;
    const int m_right;
    bool m_singleLine = false;
    bool m_wordBreak = false;
    bool m_ellipsis = false;
    bool m_calc = false;
    bool m_stopAtBottom = false;

    std::vector<int> m_fonts;
    std::vector<DWORD> m_colors;
    std::vector<int> m_paragraphs;
    std::vector<LinkStart> m_linkStarts;
    int m_x = 0;
    int m_y = 0;
    int m_lineHeight = 0;
    bool m_lineClosed = false;
    bool m_lineUsed = false;   // the current line has a run or an image
    int m_lineAscent = 0;      // of its runs: above the baseline (external leading included)
    int m_lineDescent = 0;     // and below it
    bool m_ended = false;
    bool m_raw = false;
    bool m_selected = false;
    int m_link = -1;
};

} // namespace

void LayoutMarkedText(const UiMarkupInput& input, IUiMarkupCanvas* canvas, UiMarkupLayout* layout)
{
    *layout = UiMarkupLayout();
    if (!input.text || !canvas) return;
    MarkupLayouter layouter(input, canvas, layout);
    layouter.Run();
}

} // namespace SkinUI
