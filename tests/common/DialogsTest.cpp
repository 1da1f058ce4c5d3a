// The file and colour dialogs answered from a second thread, the way a user
// would: a file name typed into the name box and OK, or Cancel.
#include "common/Dialogs.h"

#include "CommonTestUtil.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

using TestSupport::TempFolder;

namespace {

struct FoundDialog {
    DWORD thread;
    HWND dialog;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM data)
{
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (wcscmp(className, L"#32770") != 0 || !IsWindowVisible(window)) return TRUE;
    reinterpret_cast<FoundDialog*>(data)->dialog = window;
    return FALSE;
}

// Waits for the dialog of the given thread, optionally types a name into the
// file name box, then presses the button.
class DialogAnswer {
public:
    DialogAnswer(int button, const std::wstring& fileName = std::wstring())
        : m_owner(GetCurrentThreadId()), m_thread([=] { Run(button, fileName); })
    {
    }
    ~DialogAnswer() { m_thread.join(); }
    std::wstring title;
    std::atomic<bool> answered{false};

private:
    void Run(int button, std::wstring fileName)
    {
        FoundDialog found = {m_owner, nullptr};
        for (int i = 0; i < 300 && found.dialog == nullptr; ++i) {
            Sleep(50);
            EnumThreadWindows(m_owner, FindDialog, reinterpret_cast<LPARAM>(&found));
        }
        if (found.dialog == nullptr) return;
        Sleep(300);  // let the dialog finish its own start-up
        wchar_t text[128] = {};
        GetWindowTextW(found.dialog, text, 128);
        title = text;
        if (!fileName.empty()) {
            // The name box: a combo box (cmb13) in the Explorer style, an edit (edt1) in the old one.
            HWND box = GetDlgItem(found.dialog, 0x47C);
            if (box == nullptr) box = GetDlgItem(found.dialog, 0x480);
            SetWindowTextW(box, fileName.c_str());
        }
        PostMessageW(found.dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
        answered = true;
    }
    DWORD m_owner;
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
