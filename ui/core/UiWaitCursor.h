#pragma once
#include <windows.h>

namespace SkinUI {

// Shows the wait cursor for the lifetime of the object.
class CUiWaitCursor {
public:
    CUiWaitCursor() : m_previous(::SetCursor(::LoadCursorW(nullptr, IDC_WAIT))) {}
    ~CUiWaitCursor() { ::SetCursor(m_previous); }
    CUiWaitCursor(const CUiWaitCursor&) = delete;
    CUiWaitCursor& operator=(const CUiWaitCursor&) = delete;

private:
    HCURSOR m_previous;
};

} // namespace SkinUI
