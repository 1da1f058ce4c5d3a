#pragma once
// Shared by the builder tests: a hidden top-level window with its manager, a
// one-line picture of a control tree, controls that log the attributes they get,
// and a skin folder that files can be written into.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "support/TestSupport.h"
#include "ui/controls/UiContainer.h"
#include "ui/controls/UiControl.h"
#include "ui/core/UiLayoutBuilder.h"
#include "ui/core/UiPaintManager.h"

namespace BuilderTest {

using namespace SkinUI;

// A hidden popup window whose manager is initialised for it. The manager owns
// whatever root is attached; the window goes after the manager.
class HostWindow {
public:
    HostWindow();
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;
    HWND Handle() const { return m_window; }
    CPaintManagerUI& Manager() { return *m_manager; }
    SIZE WindowSize() const;

private:
    HWND m_window = nullptr;
    std::unique_ptr<CPaintManagerUI> m_manager;
};

// "Type#name(child child)"; the "UI" suffix of the type word is dropped and
// "#name" only appears for named controls. Null gives "null".
std::string Describe(CControlUI* control);
// The number of controls in the tree.
int CountControls(CControlUI* control);
// The greatest depth of the tree (a lone control is 1).
int TreeDepth(CControlUI* control);

// Every attribute a Log* control receives, as "tag:name=value", in order.
struct AttributeLog {
    std::vector<std::string> entries;
    int alive = 0;   // Log* controls made and not yet deleted
    std::string Joined() const;
};

// Makes "LogBox" (a container) and "LogLeaf" controls that log into `log`, and
// counts what it was asked for.
class LoggingCallback : public IDialogBuilderCallback {
public:
    explicit LoggingCallback(AttributeLog* log) : m_log(log) {}
    CControlUI* MakeControl(const wchar_t* elementName) override;
    std::vector<std::wstring> asked;

private:
    AttributeLog* m_log;
};

// A temporary folder that is the skin folder for the life of the object; the
// location and the alias table are reset before and after.
class SkinFolder {
public:
    SkinFolder();
    ~SkinFolder();
    bool Write(const wchar_t* name, const std::string& utf8);
    const std::wstring& Path() const { return m_folder.Path(); }

private:
    TestSupport::TempFolder m_folder;
};

// Deletes a tree built without a parent.
struct TreeDeleter {
    void operator()(CControlUI* control) const { delete control; }
};
using Tree = std::unique_ptr<CControlUI, TreeDeleter>;

} // namespace BuilderTest
