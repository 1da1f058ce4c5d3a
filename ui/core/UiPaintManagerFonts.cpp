// CPaintManagerUI: fonts, the default font and their rebuild on a DPI change.
#include "ui/core/UiPaintManagerShared.h"

#include <cstdlib>
#include <cwchar>

#include "ui/core/UiResourceLocation.h"

namespace SkinUI {

namespace {

// Skin font files can be large CJK collections; anything past this is not a font.
const DWORD MAX_FONT_FILE = 64 * 1024 * 1024;

LOGFONTW GuiLogFont()
{
    LOGFONTW lf = {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    return lf;
}

// Every skin font starts from the system GUI font. Bold is FW_BOLD whatever the
// base weight: adding 700 to it would leave LOGFONT's 0..1000 range and make a
// rebuilt font heavier than the one first made.
HFONT CreateSkinFont(const CUiDpi& dpi, const UiFontInfo& info, BYTE quality, bool keepQuality)
{
    LOGFONTW lf = GuiLogFont();
    if (!info.face.IsEmpty()) lstrcpynW(lf.lfFaceName, info.face, LF_FACESIZE);
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfHeight = -dpi.Scale(info.size);
    if (info.bold) lf.lfWeight = FW_BOLD;
    lf.lfUnderline = info.underline ? TRUE : FALSE;
    lf.lfItalic = info.italic ? TRUE : FALSE;
    if (!keepQuality) lf.lfQuality = quality;
    return CreateFontIndirectW(&lf);
}

HFONT CreateAddedFont(const CUiDpi& dpi, const UiFontInfo& info)
{
    return CreateSkinFont(dpi, info, 0, true);
}

HFONT CreateRebuiltFont(const CUiDpi& dpi, const UiFontInfo& info)
{
    return CreateSkinFont(dpi, info, CLEARTYPE_QUALITY, false);
}

CUiString FontKey(int id)
{
    CUiString key;
    key.Format(L"%d", id);
    return key;
}

UiFontInfo* FindFontByHandle(const CUiStringMap& map, HFONT font, const wchar_t** key)
{
    UiFontInfo* found = nullptr;
    ForEachEntry(map, [&](const wchar_t* k, void* data) {
        auto* info = static_cast<UiFontInfo*>(data);
        if (found == nullptr && info->font == font) {
            found = info;
            if (key) *key = k;
        }
    });
    return found;
}

UiFontInfo* FindFontByAttributes(const CUiStringMap& map, const wchar_t* face, int size, bool bold,
                                 bool underline, bool italic, const wchar_t** key)
{
    UiFontInfo* found = nullptr;
    ForEachEntry(map, [&](const wchar_t* k, void* data) {
        auto* info = static_cast<UiFontInfo*>(data);
        if (found == nullptr && info->face == (face ? face : L"") && info->size == size &&
            info->bold == bold && info->underline == underline && info->italic == italic) {
            found = info;
            if (key) *key = k;
        }
    });
    return found;
}

bool ReadPlainFile(const wchar_t* path, DWORD maxSize, CUiByteBuffer* bytes)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size;
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart <= maxSize &&
              bytes->Allocate(static_cast<DWORD>(size.QuadPart));
    DWORD read = 0;
    ok = ok && ReadFile(file, bytes->GetData(), bytes->GetSize(), &read, nullptr) &&
         read == bytes->GetSize();
    CloseHandle(file);
    if (!ok) bytes->Free();
    return ok;
}

} // namespace

void FreeFontInfo(UiFontInfo* info)
{
    if (info->font) DeleteObject(info->font);
    *info = UiFontInfo();
}

void DeleteAllFonts(CUiStringMap& map)
{
    ForEachEntry(map, [](const wchar_t*, void* data) {
        auto* info = static_cast<UiFontInfo*>(data);
        if (info->font) DeleteObject(info->font);
        delete info;
    });
    map.RemoveAll();
}

void InitSharedDefaultFont(UiFontInfo* info)
{
    FreeFontInfo(info);
    LOGFONTW lf = GuiLogFont();
    lf.lfCharSet = DEFAULT_CHARSET;
    info->font = CreateFontIndirectW(&lf);
    info->face = lf.lfFaceName;
    info->size = -lf.lfHeight;
    info->bold = lf.lfWeight > 699;
    info->underline = lf.lfUnderline != 0;
    info->italic = lf.lfItalic != 0;
}

void CPaintManagerUI::FillMetrics(UiFontInfo* info)
{
    if (info == nullptr || info->font == nullptr) return;
    // Without a window the screen's metrics are as good as the paint DC's.
    HDC dc = m_paintDC ? m_paintDC : CreateCompatibleDC(nullptr);
    if (dc == nullptr) return;
    HGDIOBJ old = SelectObject(dc, info->font);
    GetTextMetricsW(dc, &info->metrics);
    SelectObject(dc, old);
    if (dc != m_paintDC) DeleteDC(dc);
}

HFONT CPaintManagerUI::AddFont(int id, const wchar_t* face, int size, bool bold, bool underline,
                               bool italic, bool shared)
{
    auto* info = new UiFontInfo();
    info->face = face ? face : L"";
    if (info->face.GetLength() >= LF_FACESIZE) info->face = info->face.Left(LF_FACESIZE - 1);
    info->size = size;
    info->bold = bold;
    info->underline = underline;
    info->italic = italic;
    info->font = CreateAddedFont(GetDpi(), *info);
    if (info->font == nullptr) {
        delete info;
        return nullptr;
    }
    if (m_paintDC) FillMetrics(info);

    CUiStringMap& table = (shared || m_useShared) ? SharedState().fonts : m_fonts;
    CUiString key = FontKey(id);
    if (auto* old = static_cast<UiFontInfo*>(table.Find(key, false))) {
        table.Remove(key);
        FreeFontInfo(old);
        delete old;
    }
    if (!table.Insert(key, info)) {
        FreeFontInfo(info);
        delete info;
        return nullptr;
    }
    return info->font;
}

UiFontInfo* CPaintManagerUI::GetFontInfo(int id)
{
    if (id < 0) return GetDefaultFontInfo();
    CUiString key = FontKey(id);
    auto* info = static_cast<UiFontInfo*>(m_fonts.Find(key));
    if (info == nullptr) info = static_cast<UiFontInfo*>(SharedState().fonts.Find(key));
    if (info == nullptr) return GetDefaultFontInfo();
    if (info->metrics.tmHeight == 0) FillMetrics(info);
    return info;
}

HFONT CPaintManagerUI::GetFont(int id)
{
    UiFontInfo* info = GetFontInfo(id);
    return info ? info->font : nullptr;
}

HFONT CPaintManagerUI::GetFont(const wchar_t* face, int size, bool bold, bool underline,
                               bool italic)
{
    UiFontInfo* info = FindFontByAttributes(m_fonts, face, size, bold, underline, italic, nullptr);
    if (info == nullptr)
        info = FindFontByAttributes(SharedState().fonts, face, size, bold, underline, italic,
                                    nullptr);
    return info ? info->font : nullptr;
}

int CPaintManagerUI::GetFontId(HFONT font, bool shared)
{
    const wchar_t* key = nullptr;
    if (font == nullptr) return -1;
    if (!FindFontByHandle(shared ? SharedState().fonts : m_fonts, font, &key)) return -1;
    return static_cast<int>(wcstol(key, nullptr, 10));
}

int CPaintManagerUI::GetFontId(const wchar_t* face, int size, bool bold, bool underline,
                               bool italic, bool shared)
{
    const wchar_t* key = nullptr;
    if (!FindFontByAttributes(shared ? SharedState().fonts : m_fonts, face, size, bold, underline,
                              italic, &key))
        return -1;
    return static_cast<int>(wcstol(key, nullptr, 10));
}

UiFontInfo* CPaintManagerUI::GetFontDetails(HFONT font)
{
    if (font == nullptr) return nullptr;
    UiSharedState& shared = SharedState();
    UiFontInfo* info = FindFontByHandle(m_fonts, font, nullptr);
    if (info == nullptr) info = FindFontByHandle(shared.fonts, font, nullptr);
    if (info == nullptr && m_defaultFont.font == font) info = &m_defaultFont;
    if (info == nullptr && shared.defaultFont.font == font) info = &shared.defaultFont;
    if (info && info->metrics.tmHeight == 0) FillMetrics(info);
    return info;
}

void CPaintManagerUI::RemoveFont(HFONT font, bool shared)
{
    CUiStringMap& table = shared ? SharedState().fonts : m_fonts;
    const wchar_t* key = nullptr;
    UiFontInfo* info = FindFontByHandle(table, font, &key);
    if (info == nullptr) return;
    table.Remove(CUiString(key)); // the key dies with the entry
    FreeFontInfo(info);
    delete info;
}

void CPaintManagerUI::RemoveAllFonts(bool shared)
{
    DeleteAllFonts(shared ? SharedState().fonts : m_fonts);
}

void CPaintManagerUI::SetDefaultFont(const wchar_t* face, int size, bool bold, bool underline,
                                     bool italic, bool shared)
{
    UiFontInfo info;
    // An empty face still makes this window's own default font: it is the GUI font's.
    info.face = (face && *face) ? face : GuiLogFont().lfFaceName;
    if (info.face.GetLength() >= LF_FACESIZE) info.face = info.face.Left(LF_FACESIZE - 1);
    info.size = size;
    info.bold = bold;
    info.underline = underline;
    info.italic = italic;
    info.font = CreateAddedFont(GetDpi(), info);
    if (info.font == nullptr) return;
    if (m_paintDC) FillMetrics(&info);
    UiFontInfo& target = (shared || m_useShared) ? SharedState().defaultFont : m_defaultFont;
    FreeFontInfo(&target);
    target = info;
}

UiFontInfo* CPaintManagerUI::GetDefaultFontInfo()
{
    UiFontInfo* info = m_defaultFont.face.IsEmpty() ? &SharedState().defaultFont : &m_defaultFont;
    if (info->metrics.tmHeight == 0) FillMetrics(info);
    return info;
}

bool CPaintManagerUI::RegisterFontFile(const wchar_t* path)
{
    if (path == nullptr || *path == L'\0') return false;
    CUiByteBuffer bytes;
    if (CUiResourceLocation::ReadSkinFile(path, MAX_FONT_FILE, &bytes) != SKIN_READ_OK &&
        !ReadPlainFile(path, MAX_FONT_FILE, &bytes))
        return false;
    DWORD count = 0;
    HANDLE handle = AddFontMemResourceEx(bytes.GetData(), bytes.GetSize(), nullptr, &count);
    if (handle == nullptr) return false;
    if (!m_privateFonts.Add(handle)) {
        RemoveFontMemResourceEx(handle);
        return false;
    }
    return true;
}

void CPaintManagerUI::RebuildFonts()
{
    UiSharedState& shared = SharedState();
    auto rebuild = [this](UiFontInfo* info) {
        HFONT font = CreateRebuiltFont(GetDpi(), *info);
        if (font == nullptr) return; // keep the old one rather than none
        if (info->font) DeleteObject(info->font);
        info->font = font;
        info->metrics = TEXTMETRICW();
        if (m_paintDC) FillMetrics(info);
    };
    ForEachEntry(m_fonts, [&](const wchar_t*, void* data) { rebuild(static_cast<UiFontInfo*>(data)); });
    if (!m_defaultFont.face.IsEmpty()) rebuild(&m_defaultFont);
    ForEachEntry(shared.fonts, [&](const wchar_t*, void* data) { rebuild(static_cast<UiFontInfo*>(data)); });
    if (shared.defaultFont.font) rebuild(&shared.defaultFont);
}

} // namespace SkinUI
