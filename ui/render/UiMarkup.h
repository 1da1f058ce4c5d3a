#pragma once
// Marked-up text, the pure half: the tokenizer and the argument readers of the
// inline tags. Nothing here touches a device context, so all of it can be
// checked without a window.
#include <windows.h>
#include "ui/core/UiString.h"

namespace SkinUI {

enum UiMarkupTokenKind {
    UI_MARKUP_END,       // the terminating NUL
    UI_MARKUP_TEXT,      // text, up to the next tag, line break or end
    UI_MARKUP_NEWLINE,   // "\n", "\r" or "\r\n"
    UI_MARKUP_OPEN,      // <t args> or {t args}
    UI_MARKUP_CLOSE,     // </t> or {/t}
};

struct UiMarkupToken {
    UiMarkupTokenKind kind = UI_MARKUP_END;
    wchar_t tag = 0;               // OPEN, CLOSE: the tag letter
    const wchar_t* text = nullptr; // TEXT: the run; OPEN: the arguments (after the space)
    int length = 0;
};

// Reads the token at text and returns the position after it (text itself at the
// end). Only known tag letters make tags; any other '<' or '{' is text. In raw
// mode only line breaks and the closing r tag are recognised. Never reads past
// the terminating NUL.
const wchar_t* NextMarkupToken(const wchar_t* text, bool raw, UiMarkupToken* token);

// c: optional '#', then hexadecimal ARGB (malformed digits end the number).
DWORD ParseMarkupColor(const wchar_t* args);

// f: either a font index, or a face name, a size (default 10) and the words
// "bold", "underline", "italic".
struct UiMarkupFontArgs {
    bool byIndex = false;
    int index = -1;
    CUiString face;
    int size = 10;
    bool bold = false;
    bool underline = false;
    bool italic = false;
};
UiMarkupFontArgs ParseMarkupFont(const wchar_t* args);

// i with arguments: an image name, or key='value' pairs with file= or res= (and
// restype=), then an optional part count n >= 1 and part index 0 <= m < n.
// False when no name results.
struct UiMarkupImageArgs {
    CUiString name;
    CUiString resourceType;
    int parts = 1;
    int part = 0;
};
bool ParseMarkupImage(const wchar_t* args, UiMarkupImageArgs* image);

// Decimal argument of x, y and p, held to 0..limit (malformed or negative: 0).
int ParseMarkupPixels(const wchar_t* args, int limit);

// Plain text with "&#x": the code unit written by at most four hexadecimal digits
// after it (cut at a space or ';'). False when there is no such entity or its
// value is 0.
bool FindHexCharEntity(const wchar_t* text, wchar_t* ch);

// Word break inside the first fit characters of run (length characters long):
// the count of characters to keep so that the line ends after a space or other
// non-letter (a-z, A-Z are letters). 0 when the first word alone is too long.
int MarkupWordBreak(const wchar_t* run, int length, int fit);

} // namespace SkinUI
