#pragma once
// The installer's packed skin archive, registered in memory as the program entry
// registers its resource, and the owner windows the placement and box tests use.
#include <windows.h>

namespace BoxTests {

// false when the archive the build packed cannot be read.
bool UseInstallerSkin();

// A plain top-level window to own a box: shown at `rect` unless hidden.
class OwnerWindow {
public:
    explicit OwnerWindow(const RECT& rect, bool show = true);
    ~OwnerWindow();
    OwnerWindow(const OwnerWindow&) = delete;
    OwnerWindow& operator=(const OwnerWindow&) = delete;
    HWND Handle() const { return m_window; }

private:
    HWND m_window = nullptr;
};

// The primary monitor's whole rectangle.
RECT PrimaryMonitor();

} // namespace BoxTests
