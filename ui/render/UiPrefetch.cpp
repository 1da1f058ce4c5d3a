#include "ui/render/UiPrefetch.h"

#include <objidl.h>
#include <gdiplus.h>

#include "ui/core/UiDpi.h"
#include "ui/render/UiImage.h"
#include "ui/render/UiMsimg.h"

namespace SkinUI {

namespace {

struct Entry {
    // The files the paint manager would try for this name, in its order: the
    // sharper siblings from the scale down, then the name itself.
    std::vector<CUiString> candidates;
    CUiString decodedName;   // the candidate that decoded; empty when none did
    UiImageInfo* image = nullptr;
    bool done = false;
    bool taken = false;
};

class Lock {
public:
    explicit Lock(SRWLOCK* lock) : m_lock(lock) { AcquireSRWLockExclusive(m_lock); }
    ~Lock() { ReleaseSRWLockExclusive(m_lock); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

private:
    SRWLOCK* m_lock;
};

} // namespace

struct CUiPrefetch::State {
    SRWLOCK lock = SRWLOCK_INIT;
    CONDITION_VARIABLE changed = CONDITION_VARIABLE_INIT;
    std::vector<Entry> entries;
    CUiString textFace;
    bool stop = false;
    bool finished = false;

    State() = default;
    State(const State&) = delete;
    State& operator=(const State&) = delete;
    ~State()
    {
        for (Entry& entry : entries)
            if (!entry.taken) FreeImageInfo(entry.image);
    }
};

namespace {

// The running prefetch, if any. Take holds its own reference, so an object
// that ends while the UI thread waits in Take leaves nothing dangling.
SRWLOCK g_activeLock = SRWLOCK_INIT;
std::shared_ptr<CUiPrefetch::State> g_active;

std::shared_ptr<CUiPrefetch::State> Active()
{
    Lock hold(&g_activeLock);
    return g_active;
}

// The first GDI+ string of a process costs several times what later ones do
// (under Wine about 8 ms: the font family lookup and the face's first glyphs).
// Drawing one here, in the same face, pays that off the UI thread.
void WarmTextEngine(const CUiString& face)
{
    if (face.IsEmpty()) return;
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return;
    BYTE* bits = nullptr;
    HBITMAP surface = CreateArgbSurface(dc, 96, 32, &bits);
    if (surface) {
        HGDIOBJ old = SelectObject(dc, surface);
        LOGFONTW logFont = {};
        logFont.lfHeight = -16;
        logFont.lfCharSet = DEFAULT_CHARSET;
        lstrcpynW(logFont.lfFaceName, face, LF_FACESIZE);
        {
            Gdiplus::Graphics graphics(dc);
            Gdiplus::Font font(dc, &logFont);
            if (graphics.GetLastStatus() == Gdiplus::Ok && font.GetLastStatus() == Gdiplus::Ok) {
                Gdiplus::SolidBrush brush(Gdiplus::Color(0xFE, 0x33, 0x33, 0x33));
                graphics.DrawString(L"安装 Setup", -1, &font, Gdiplus::PointF(0.0f, 0.0f), &brush);
            }
        }
        SelectObject(dc, old);
        DeleteObject(surface);
    }
    DeleteDC(dc);
}

DWORD WINAPI Run(void* parameter)
{
    auto* handed = static_cast<std::shared_ptr<CUiPrefetch::State>*>(parameter);
    std::shared_ptr<CUiPrefetch::State> state = std::move(*handed);
    delete handed;

    GetMsimgEntries();
    for (size_t i = 0;; ++i) {
        std::vector<CUiString> candidates;
        {
            Lock hold(&state->lock);
            if (state->stop || i >= state->entries.size()) break;
            candidates = state->entries[i].candidates;
        }
        UiImageInfo* image = nullptr;
        CUiString decodedName;
        for (const CUiString& candidate : candidates) {
            image = DecodeImageFile(candidate, 0);
            if (image) {
                decodedName = candidate;
                break;
            }
        }
        Lock hold(&state->lock);
        Entry& entry = state->entries[i];
        entry.image = image;
        entry.decodedName = decodedName;
        entry.done = true;
        WakeAllConditionVariable(&state->changed);
    }
    // After the images: the first frame needs them before its first text.
    WarmTextEngine(state->textFace);

    Lock hold(&state->lock);
    for (Entry& entry : state->entries) entry.done = true;
    state->finished = true;
    WakeAllConditionVariable(&state->changed);
    return 0;
}

void WaitFinished(CUiPrefetch::State& state)
{
    Lock hold(&state.lock);
    while (!state.finished) SleepConditionVariableSRW(&state.changed, &state.lock, INFINITE, 0);
}

} // namespace

CUiPrefetch::CUiPrefetch(Request request) : m_state(std::make_shared<State>())
{
    for (const CUiString& name : request.images) {
        if (name.IsEmpty()) continue;
        Entry entry;
        for (int percent = request.scalePercent; percent > 100; percent -= 25) {
            CUiString variant = CUiDpi::VariantName(name, percent);
            if (variant.IsEmpty() || variant == name) break;
            entry.candidates.push_back(variant);
        }
        entry.candidates.push_back(name);
        m_state->entries.push_back(std::move(entry));
    }
    m_state->textFace = request.textFace;

    {
        Lock hold(&g_activeLock);
        if (g_active) {
            m_state->finished = true;   // another one runs: this one stays idle
            return;
        }
        g_active = m_state;
    }
    auto* handed = new std::shared_ptr<State>(m_state);
    m_thread = CreateThread(nullptr, 0, Run, handed, 0, nullptr);
    if (!m_thread) {
        delete handed;
        Lock hold(&g_activeLock);
        g_active.reset();
        m_state->finished = true;
    }
}

CUiPrefetch::~CUiPrefetch()
{
    {
        Lock hold(&m_state->lock);
        m_state->stop = true;
    }
    if (m_thread) {
        WaitForSingleObject(m_thread, INFINITE);
        CloseHandle(m_thread);
    }
    Lock hold(&g_activeLock);
    if (g_active == m_state) g_active.reset();
}

std::vector<CUiString> CUiPrefetch::Untaken()
{
    WaitFinished(*m_state);
    std::vector<CUiString> names;
    Lock hold(&m_state->lock);
    for (const Entry& entry : m_state->entries)
        if (!entry.taken) names.push_back(entry.candidates.back());
    return names;
}

UiImageInfo* CUiPrefetch::Take(const wchar_t* name, DWORD mask)
{
    if (name == nullptr || *name == L'\0') return nullptr;
    std::shared_ptr<State> state = Active();
    if (!state) return nullptr;
    Lock hold(&state->lock);
    for (Entry& entry : state->entries) {
        bool listed = false;
        for (const CUiString& candidate : entry.candidates) listed = listed || candidate == name;
        if (!listed) continue;
        // Not decoded yet: the thread gets there sooner than a second decode would.
        while (!entry.done) SleepConditionVariableSRW(&state->changed, &state->lock, INFINITE, 0);
        if (entry.taken || !entry.image || entry.decodedName != name || mask != 0) return nullptr;
        entry.taken = true;
        UiImageInfo* image = entry.image;
        entry.image = nullptr;
        return image;
    }
    return nullptr;
}

} // namespace SkinUI
