// The file and colour dialogs answered from a second thread, the way a user
// would: a file name typed into the name box and OK, or Cancel. The dialogs
// take the foreground window as their owner, so these tests hold the display
// to themselves (ctest resource lock velkaro_display).
#include "common/Dialogs.h"

#include "CommonTestUtil.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

using TestSupport::TempFolder;

namespace {

// Waits, with a deadline, until check() holds or stop is set; true when check() held.
template <typename Check>
bool WaitFor(DWORD deadlineMs, const std::atomic<bool>& stop, Check check)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (check()) return true;
        if (stop || GetTickCount() - start >= deadlineMs) return false;
        Sleep(20);
    }
}

std::string Narrow(const std::wstring& text) { return TestSupport::ToUtf8(text); }

std::wstring TextOf(HWND window)
{
    wchar_t text[MAX_PATH] = {};
    if (window != nullptr) GetWindowTextW(window, text, MAX_PATH);
    return text;
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

BOOL CALLBACK FindDialog(HWND window, LPARAM found)
{
    if (ClassOf(window) != L"#32770" || !IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

BOOL CALLBACK DescribeWindow(HWND window, LPARAM text)
{
    *reinterpret_cast<std::wstring*>(text) += L" [" + ClassOf(window) + L" \"" + TextOf(window) + L"\"" +
                                               (IsWindowVisible(window) ? L" visible" : L" hidden") + L"]";
    return TRUE;
}

// What a failed wait saw: the windows of the dialog's thread and the foreground window.
std::string Scene(DWORD thread)
{
    std::wstring windows;
    EnumThreadWindows(thread, DescribeWindow, reinterpret_cast<LPARAM>(&windows));
    HWND foreground = GetForegroundWindow();
    DWORD process = 0;
    if (foreground != nullptr) GetWindowThreadProcessId(foreground, &process);
    std::wstring text = L"windows of the thread:" + (windows.empty() ? L" none" : windows) + L"; foreground: ";
    text += foreground == nullptr ? L"none"
                                  : ClassOf(foreground) + L" \"" + TextOf(foreground) + L"\" of process " +
                                        std::to_wstring(process) +
                                        (process == GetCurrentProcessId() ? L" (this one)" : L" (another)");
    return Narrow(text);
}

// Answers the dialog the constructing thread is about to open, as a user
// would: once the dialog is up and taking messages, types the name into the
// file name box (if any) and presses the button, then waits until the dialog
// has gone. Each wait has a deadline; one that passes is reported as a test
// failure with what it saw, and the answer still goes on, so a late dialog
// does not leave the test hanging.
class DialogAnswer {
public:
    DialogAnswer(int button, const std::wstring& fileName = std::wstring())
        : m_owner(GetCurrentThreadId()), m_thread([=] { Run(button, fileName); })
    {
    }
    // The dialog call has returned by now: nothing is left to answer.
    ~DialogAnswer()
    {
        m_stop = true;
        m_thread.join();
    }
    std::wstring title;
    std::atomic<bool> answered{false};

private:
    static constexpr DWORD kDeadlineMs = 20000;

    HWND FindOwnersDialog() const
    {
        HWND dialog = nullptr;
        EnumThreadWindows(m_owner, FindDialog, reinterpret_cast<LPARAM>(&dialog));
        return dialog;
    }

    // The file name box: a combo box (cmb13) in the Explorer style, an edit (edt1) in the old one.
    static HWND NameBox(HWND dialog)
    {
        HWND box = GetDlgItem(dialog, 0x47C);
        return box != nullptr ? box : GetDlgItem(dialog, 0x480);
    }

    // Up, and its thread pumping messages: its start-up is over.
    static bool TakesMessages(HWND dialog)
    {
        DWORD_PTR result = 0;
        return IsWindowVisible(dialog) && IsWindowEnabled(dialog)
            && SendMessageTimeoutW(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 200, &result) != 0;
    }

    // The name box holds the name (typed again if the dialog replaced it).
    static bool NameTyped(HWND dialog, const std::wstring& fileName)
    {
        if (fileName.empty()) return true;
        HWND box = NameBox(dialog);
        if (box == nullptr) return false;
        if (TextOf(box) != fileName) SetWindowTextW(box, fileName.c_str());
        return TextOf(box) == fileName;
    }

    void Run(int button, std::wstring fileName)
    {
        HWND dialog = nullptr;
        bool reported = false;
        while (!m_stop) {
            bool ready = WaitFor(kDeadlineMs, m_stop, [&] {
                dialog = FindOwnersDialog();
                return dialog != nullptr && TakesMessages(dialog) && NameTyped(dialog, fileName);
            });
            if (ready) break;
            if (m_stop) return;
            if (!reported) {
                ADD_FAILURE() << "no dialog ready for an answer after " << kDeadlineMs << " ms ("
                              << (dialog == nullptr ? "none visible" : "one visible but not taking messages or input")
                              << "); " << Scene(m_owner);
                reported = true;
            }
        }
        if (m_stop) return;
        title = TextOf(dialog);
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
        answered = true;
        if (!WaitFor(kDeadlineMs, m_stop, [&] { return !IsWindow(dialog); })) {
            if (m_stop) return;
            ADD_FAILURE() << "the dialog \"" << Narrow(title) << "\" was still open " << kDeadlineMs
                          << " ms after button " << button << "; name box: \"" << Narrow(TextOf(NameBox(dialog)))
                          << "\"; " << Scene(m_owner);
            // Reported; cancelled so that the test ends rather than hangs.
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        }
    }

    DWORD m_owner;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

} // namespace

TEST(CommonDialogs, OpenFileGivesTheChosenPathOrNothing)
{
    TempFolder temp;
    std::wstring file = temp.Path() + L"mission 1.aep";
    ASSERT_TRUE(TestSupport::WriteFileBytes(file, "x"));
    {
        DialogAnswer answer(IDOK, file);
        EXPECT_EQ(file, ChooseOpenFile(nullptr, nullptr, temp.Path().c_str()).GetData());
        ASSERT_TRUE(answer.answered);
        EXPECT_EQ(L"请选择一个文件", answer.title);
    }
    {
        DialogAnswer answer(IDCANCEL);
        EXPECT_TRUE(ChooseOpenFile(L"Missions\0*.aep\0", L"Pick one", temp.Path().c_str()).IsEmpty());
        EXPECT_TRUE(answer.answered);
    }
}

TEST(CommonDialogs, MissionFilesListTheChoice)
{
    TempFolder temp;
    std::wstring file = temp.Path() + L"a.aep";
    ASSERT_TRUE(TestSupport::WriteFileBytes(file, "x"));
    {
        DialogAnswer answer(IDOK, file);
        auto chosen = ChooseMissionFiles(nullptr, nullptr, L"All\0*.*\0");
        ASSERT_EQ(1u, chosen.size());  // one file comes back as one full path
        EXPECT_EQ(file, chosen[0].GetData());
    }
    {
        DialogAnswer answer(IDCANCEL);
        EXPECT_TRUE(ChooseMissionFiles(nullptr, nullptr, L"All\0*.*\0").empty());
    }
    {
        DialogAnswer answer(IDOK, file);
        EXPECT_EQ(file, ChooseMissionFile(nullptr, nullptr, L"All\0*.*\0").GetData());
    }
}

TEST(CommonDialogs, SaveFileAddsTheDefaultExtension)
{
    TempFolder temp;
    DialogAnswer answer(IDOK, temp.Path() + L"project");
    EXPECT_EQ(temp.Path() + L"project.aep", ChooseSaveFile(nullptr, nullptr, nullptr, temp.Path().c_str()).GetData());
}

TEST(CommonDialogs, ColourIsOpaqueArgbOrTheInitialValue)
{
    {
        DialogAnswer answer(IDOK);
        EXPECT_EQ(0xFF123456u, ChooseColour(nullptr, 0x00123456));
    }
    {
        DialogAnswer answer(IDCANCEL);
        EXPECT_EQ(0x40ABCDEFu, ChooseColour(nullptr, 0x40ABCDEF));
    }
}

TEST(CommonDialogs, ChooseFolderStartsAtThePathAndKeepsItOnCancel)
{
    TempFolder temp;
    std::wstring start = temp.Path().substr(0, temp.Path().size() - 1);
    SkinUI::CUiString path(start.c_str());
    {
        DialogAnswer answer(IDCANCEL);
        EXPECT_FALSE(ChooseFolder(&path));
        EXPECT_EQ(start, path.GetData());
    }
    {
        DialogAnswer answer(IDOK);
        EXPECT_TRUE(ChooseFolder(&path));
        EXPECT_EQ(start, path.GetData());
    }
}
