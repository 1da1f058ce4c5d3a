// The tag tokenizer and the argument readers of marked-up text.
#include <gtest/gtest.h>

#include <string>

#include "support/TestSupport.h"
#include "ui/render/UiMarkup.h"

using namespace SkinUI;

namespace {

// Tokens as text: T(run) O(tag:args) C(tag) N; raw mode follows the r tags as
// the layout does.
std::string Tokens(const wchar_t* text)
{
    std::wstring out;
    bool raw = false;
    const wchar_t* p = text;
    for (int guard = 0; guard < 1000; ++guard) {
        UiMarkupToken token;
        const wchar_t* next = NextMarkupToken(p, raw, &token);
        switch (token.kind) {
        case UI_MARKUP_END: return TestSupport::ToUtf8(out);
        case UI_MARKUP_TEXT: out += L"T(" + std::wstring(token.text, token.length) + L")"; break;
        case UI_MARKUP_NEWLINE: out += L"N"; break;
        case UI_MARKUP_OPEN:
            out += std::wstring(L"O(") + token.tag + L":" + std::wstring(token.text, token.length) + L")";
            if (token.tag == L'r') raw = true;
            break;
        case UI_MARKUP_CLOSE:
            out += std::wstring(L"C(") + token.tag + L")";
            if (token.tag == L'r') raw = false;
            break;
        }
        if (next == p) return "no progress";
        p = next;
    }
    return "too many tokens";
}

TEST(MarkupTokens, Shapes)
{
    struct Case {
        const wchar_t* text;
        const char* tokens;
    } cases[] = {
        {L"plain", "T(plain)"},
        {L"<b>bold</b> x", "O(b:)T(bold)C(b)T( x)"},
        {L"{b}bold{/b}", "O(b:)T(bold)C(b)"},
        {L"<b}mixed{/b>", "O(b:)T(mixed)C(b)"},
        {L"<c #FF0000>red</c>", "O(c:#FF0000)T(red)C(c)"},
        {L"<a  http://x/?q=1>go</a>", "O(a:http://x/?q=1)T(go)C(a)"},
        {L"<f Arial 12 bold>", "O(f:Arial 12 bold)"},
        {L"a<n>b{n}c", "T(a)O(n:)T(b)O(n:)T(c)"},
        // Unknown letters, capitals, a missing bracket and lone openers stay text.
        {L"<q>x</q>", "T(<q>x</q>)"},
        {L"<B>x", "T(<B>x)"},
        {L"1 < 2 {", "T(1 < 2 {)"},
        {L"<b", "T(<b)"},
        {L"x<c #ff", "T(x<c #ff)"},
        {L"<bx>", "T(<bx>)"},
        {L"</n></x>", "T(</n></x>)"},
        {L"a</b", "T(a</b)"},
        // Text stops only at a real tag.
        {L"a<q>b<b>c", "T(a<q>b)O(b:)T(c)"},
        {L"a\nb\r\nc\rd", "T(a)NT(b)NT(c)NT(d)"},
        // Raw text keeps tags up to the closing r tag.
        {L"<r><b>x</b>\n</r><b>", "O(r:)T(<b>x</b>)NC(r)O(b:)"},
        {L"{r}{r}</r>", "O(r:)T({r})C(r)"},
        {L"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.tokens, Tokens(c.text)) << TestSupport::ToUtf8(c.text);
    }
}

TEST(MarkupArguments, Colors)
{
    struct Case {
        const wchar_t* args;
        DWORD color;
    } cases[] = {
        {L"#FF0000", 0x00FF0000}, {L"FFFF0000", 0xFFFF0000}, {L"#ff00ff00", 0xFF00FF00},
        {L"  #0000FF", 0x000000FF}, {L"#123456789", 0x12345678}, {L"zz", 0}, {L"", 0},
        {L"-1", 0}, {L"0x10", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(c.color, ParseMarkupColor(c.args)) << TestSupport::ToUtf8(c.args);
}

TEST(MarkupArguments, Fonts)
{
    UiMarkupFontArgs f = ParseMarkupFont(L"3");
    EXPECT_TRUE(f.byIndex);
    EXPECT_EQ(3, f.index);
    EXPECT_EQ(-1, ParseMarkupFont(L"-7").index);
    EXPECT_EQ(0x7FFFFFFF, ParseMarkupFont(L"99999999999999").index);

    f = ParseMarkupFont(L"Arial 14 bold italic");
    EXPECT_FALSE(f.byIndex);
    EXPECT_TRUE(f.face == L"Arial");
    EXPECT_EQ(14, f.size);
    EXPECT_TRUE(f.bold && f.italic && !f.underline);

    f = ParseMarkupFont(L"Tahoma underline");
    EXPECT_EQ(10, f.size);
    EXPECT_TRUE(f.underline);
    EXPECT_EQ(1000, ParseMarkupFont(L"Tahoma 2147483648").size);
    EXPECT_EQ(1, ParseMarkupFont(L"Tahoma -5").size);
    EXPECT_TRUE(ParseMarkupFont(L"").face.IsEmpty());
}

TEST(MarkupArguments, Images)
{
    struct Case {
        const wchar_t* args;
        bool ok;
        const wchar_t* name;
        const wchar_t* type;
        int parts;
        int part;
    } cases[] = {
        {L"icon.png", true, L"icon.png", L"", 1, 0},
        {L"icon.png 4 2", true, L"icon.png", L"", 4, 2},
        {L"file='a b.png' restype='PNG' 3 1", true, L"a b.png", L"PNG", 3, 1},
        {L"res='101' restype='PNG'", true, L"101", L"PNG", 1, 0},
        // Out of range part counts and indices fall back to the whole image.
        {L"icon.png 0 0", true, L"icon.png", L"", 1, 0},
        {L"icon.png 3 7", true, L"icon.png", L"", 3, 0},
        {L"icon.png -2 -1", true, L"icon.png", L"", 1, 0},
        {L"icon.png 99999999999 5", true, L"icon.png", L"", 0x7FFFFFFF, 5},
        {L"file='unterminated", false, L"", L"", 1, 0},
        {L"file='' 2", false, L"", L"", 2, 0},
    };
    for (const Case& c : cases) {
        UiMarkupImageArgs image;
        EXPECT_EQ(c.ok, ParseMarkupImage(c.args, &image)) << TestSupport::ToUtf8(c.args);
        EXPECT_TRUE(image.name == c.name) << TestSupport::ToUtf8(c.args);
        EXPECT_TRUE(image.resourceType == c.type) << TestSupport::ToUtf8(c.args);
        EXPECT_EQ(c.parts, image.parts) << TestSupport::ToUtf8(c.args);
        EXPECT_EQ(c.part, image.part) << TestSupport::ToUtf8(c.args);
    }
}

TEST(MarkupArguments, PixelsAndEntities)
{
    EXPECT_EQ(12, ParseMarkupPixels(L" 12", 100));
    EXPECT_EQ(0, ParseMarkupPixels(L"-12", 100));
    EXPECT_EQ(100, ParseMarkupPixels(L"99999999999", 100));
    EXPECT_EQ(0, ParseMarkupPixels(L"abc", 100));

    struct Case {
        const wchar_t* text;
        bool found;
        wchar_t ch;
    } cases[] = {
        {L"&#x4E2D;", true, 0x4E2D}, {L"ab&#x41 cd", true, L'A'}, {L"&#x12345;", true, 0x1234},
        {L"&#x4e2d", true, 0x4E2D}, {L"&#x;", false, 0}, {L"&#x0;", false, 0}, {L"&#xZZ", false, 0},
        {L"&#", false, 0}, {L"plain", false, 0},
    };
    for (const Case& c : cases) {
        wchar_t ch = 0;
        EXPECT_EQ(c.found, FindHexCharEntity(c.text, &ch)) << TestSupport::ToUtf8(c.text);
        if (c.found) {
            EXPECT_EQ(c.ch, ch) << TestSupport::ToUtf8(c.text);
        }
    }
}

TEST(MarkupArguments, WordBreak)
{
    struct Case {
        const wchar_t* run;
        int fit;
        int keep;
    } cases[] = {
        {L"hello world", 8, 6},   // after the space
        {L"hello world", 5, 5},   // the edge falls on the space
        {L"abcdef", 3, 0},        // one word longer than the line
        {L"ab-cd", 4, 3},         // any non-letter breaks
        {L"\x4E2D\x6587\x5B57", 2, 2},  // so does every CJK character
        {L"abc", 0, 0},
        {L"a b", 9, 2},           // fit past the end is held to the run
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.keep, MarkupWordBreak(c.run, static_cast<int>(wcslen(c.run)), c.fit))
            << TestSupport::ToUtf8(c.run) << " fit " << c.fit;
    }
}

} // namespace
