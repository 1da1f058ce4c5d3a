#pragma once
// Helpers shared by the text tests: a made-up canvas with simple metrics for the
// layout, and a text placed right in front of an inaccessible page.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "ui/render/UiMarkedLayout.h"

inline bool operator==(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline void PrintTo(const RECT& r, std::ostream* os)
{
    *os << "{" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "}";
}

namespace TextTest {

// Font ids: bit 1 bold, 2 italic, 4 underline; -1 counts as 0. Ids from 1000 on
// are "face size" fonts with size-dependent metrics. Characters are 8 pixels
// wide (10 in bold, size/2 for sized fonts), lines 16 + 2 pixels tall with a
// descent of 4 (a quarter of the height for sized fonts).
class FakeCanvas : public SkinUI::IUiMarkupCanvas {
public:
    enum { BOLD = 1, ITALIC = 2, UNDERLINE = 4, SIZED = 1000 };

    int FontVariant(int font, SkinUI::UiFontStyle style) override
    {
        int bit = style == SkinUI::UI_FONT_BOLD ? BOLD : style == SkinUI::UI_FONT_ITALIC ? ITALIC : UNDERLINE;
        return (font < 0 ? 0 : font) | bit;
    }
    int FontOf(const wchar_t*, int size, bool bold, bool underline, bool italic) override
    {
        return SIZED + size * 8 + (bold ? BOLD : 0) + (italic ? ITALIC : 0) + (underline ? UNDERLINE : 0);
    }
    SkinUI::UiMarkupFontMetrics Metrics(int font) override
    {
        SkinUI::UiMarkupFontMetrics m;
        int f = font < 0 ? 0 : font;
        m.height = f >= SIZED ? (f - SIZED) / 8 * 2 : 16;
        m.descent = m.height / 4;
        m.externalLeading = 2;
        m.averageWidth = CharWidth(font);
        m.italic = (f & ITALIC) != 0;
        return m;
    }
    int TextWidth(int font, const wchar_t*, int length) override { return length * CharWidth(font); }
    int FitCount(int font, const wchar_t*, int length, int maxWidth) override
    {
        if (maxWidth <= 0) return 0;
        int fit = maxWidth / CharWidth(font);
        return fit < length ? fit : length;
    }
    bool ImageSize(const wchar_t* name, const wchar_t*, SIZE* size) override
    {
        if (wcscmp(name, L"img") == 0) *size = {40, 20};
        else if (wcscmp(name, L"tall") == 0) *size = {30, 50};
        else return false;
        return true;
    }
    int Scale(int value) override { return value * scale / 100; }

    static int CharWidth(int font)
    {
        int f = font < 0 ? 0 : font;
        if (f >= SIZED) return (f - SIZED) / 8 / 2 > 0 ? (f - SIZED) / 8 / 2 : 1;
        return (f & BOLD) ? 10 : 8;
    }

    int scale = 100;
};

// A wide text whose terminating NUL is the last character before a page that
// cannot be read, so reading one character too far crashes the test.
class GuardedText {
public:
    explicit GuardedText(const std::wstring& text)
    {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        size_t page = info.dwPageSize;
        size_t bytes = (text.size() + 1) * sizeof(wchar_t);
        size_t span = (bytes + page - 1) / page * page;
        m_base = static_cast<BYTE*>(VirtualAlloc(nullptr, span + page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old;
        VirtualProtect(m_base + span, page, PAGE_NOACCESS, &old);
        m_text = reinterpret_cast<wchar_t*>(m_base + span - bytes);
        memcpy(m_text, text.c_str(), bytes);
    }
    ~GuardedText() { VirtualFree(m_base, 0, MEM_RELEASE); }
    GuardedText(const GuardedText&) = delete;
    GuardedText& operator=(const GuardedText&) = delete;

    const wchar_t* Text() const { return m_text; }

private:
    BYTE* m_base;
    wchar_t* m_text;
};

// Marked-up texts for the robustness tests: seeds that use every tag, each seed
// mutated many times (characters of the tag syntax put in, taken out, cut off),
// and hand-made worst cases (absurd numbers, deep nesting, unterminated tags).
inline std::vector<std::wstring> MarkupMutants(int perSeed)
{
    static const wchar_t* const seeds[] = {
        L"<b>bold</b> <i>italic</i> <u>under</u> plain",
        L"{c #FF0000}red{/c} {f 1}font{/f} {f Arial 14 bold underline italic}face{/f}",
        L"<a http://x>link</a> and <a>bare</a><n>next<p 5>para</p><x 10>moved<y 30>tall",
        L"<s>selected</s> <r><b>raw</b></r> <i img 4 1> <i file='img' restype='PNG' 2 1>",
        L"&#x4E2D; a\nb\r\nc \x4E2D\x6587 <q>unknown</q> 1 < 2 {",
        L"word break text with many words to wrap around the narrow rectangle again",
    };
    static const wchar_t pool[] = L"<>{}/ #='\nabcfinprsuxy0123456789-";
    std::vector<std::wstring> out;
    uint32_t state = 12345;
    auto next = [&state](uint32_t n) {
        state = state * 1664525u + 1013904223u;
        return n ? (state >> 8) % n : 0;
    };
    for (const wchar_t* seed : seeds) {
        out.push_back(seed);
        for (int i = 0; i < perSeed; ++i) {
            std::wstring text = seed;
            int edits = 1 + static_cast<int>(next(6));
            for (int e = 0; e < edits; ++e) {
                size_t at = next(static_cast<uint32_t>(text.size() + 1));
                switch (next(6)) {
                case 0: text.insert(at, 1, pool[next(sizeof(pool) / sizeof(pool[0]) - 1)]); break;
                case 1: if (at < text.size()) text.erase(at, 1 + next(4)); break;
                case 2: if (at < text.size()) text[at] = pool[next(sizeof(pool) / sizeof(pool[0]) - 1)]; break;
                case 3: text.resize(at); break;   // cut inside a tag or its arguments
                case 4: text.insert(at, 1, static_cast<wchar_t>(1 + next(0xFFFE))); break;
                default: text.insert(at, text.substr(next(static_cast<uint32_t>(text.size() + 1)), next(12))); break;
                }
            }
            out.push_back(text);
        }
    }
    const wchar_t* absurd[] = {
        L"a<x 99999999999999999999>b<x -2147483648>c",
        L"<y 2147483647>a<n><y -1>b<p 4294967296>c</p>d",
        L"<f 2147483647>a</f><f -2147483648>b</f><f Arial 99999999999 bold>c",
        L"<i img 2147483647 2147483646>a<i img 0 -1><i tall -5 99>",
        L"<c #FFFFFFFFFFFFFFFFFFFF>a</c><c ->b<c #>c",
        L"<a", L"<a ", L"<b", L"{", L"<", L"</", L"</b", L"<c #FF00", L"<r>unclosed <b>raw",
        L"<i file='unterminated>", L"<i file=' 3 2>", L"<p><p><p></p>", L"</p></p></a></s></r>",
        L"", L" ", L"\n\n\n", L"<n><n><n>", L"<x 5><x 5><x 5>",
    };
    for (const wchar_t* text : absurd) out.push_back(text);
    out.push_back(std::wstring(5000, L'<'));
    std::wstring nested;
    for (int i = 0; i < 3000; ++i) nested += L"<b><i><c #123456><a x>";
    out.push_back(nested + L"deep");
    std::wstring closers;
    for (int i = 0; i < 3000; ++i) closers += L"</b></i></c></a></f></p>";
    out.push_back(closers + L"shallow");
    std::wstring openers;
    for (int i = 0; i < 3000; ++i) openers += L"<a x ";   // no closing bracket anywhere
    out.push_back(openers);
    out.push_back(std::wstring(20000, L'x'));
    return out;
}

} // namespace TextTest
