#pragma once
// Work a window's first frame would otherwise do on the UI thread, done on a
// thread of its own while the UI thread is still busy creating the window: the
// named skin images decoded, GDI+'s text engine started with the skin's face,
// and msimg32 loaded. DecodeImage takes a prefetched image instead of decoding
// the file again, waiting for the thread when it has not got there yet. An
// image taken is the caller's; one never taken is freed with the object.
// One object at a time per process: a second one prefetches nothing.
#include <windows.h>

#include <memory>
#include <vector>

#include "ui/core/UiResourceInfo.h"
#include "ui/core/UiString.h"

namespace SkinUI {

class CUiPrefetch {
public:
    struct Request {
        // Skin image names as the layout writes them. At a scale above 100 % the
        // sharper sibling the paint manager would pick ("btn@1.5x.png") is the
        // one decoded.
        std::vector<CUiString> images;
        int scalePercent = 100;
        // The face of the first text drawn; empty: GDI+ is left alone.
        CUiString textFace;
    };

    explicit CUiPrefetch(Request request);
    // Waits for the thread.
    ~CUiPrefetch();
    CUiPrefetch(const CUiPrefetch&) = delete;
    CUiPrefetch& operator=(const CUiPrefetch&) = delete;

    // The requested names no DecodeImage has taken, once the thread is done: a
    // list that names images the first frame never draws shows up here.
    std::vector<CUiString> Untaken();

    // For DecodeImage: the prefetched image of this exact file and mask, or null
    // (not requested, it did not decode, already taken, or no prefetch running).
    static UiImageInfo* Take(const wchar_t* name, DWORD mask);

    struct State;

private:
    std::shared_ptr<State> m_state;
    HANDLE m_thread = nullptr;
};

} // namespace SkinUI
