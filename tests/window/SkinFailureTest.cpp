// A skin that cannot be loaded: the window base shows an error box captioned
// "SkinUI" naming the layout file and ends the process with code 1. The failing
// window lives in a child program (window_skin_fail.exe next to this one).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

std::wstring ProbePath()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    folder.erase(folder.find_last_of(L"\\/") + 1);
    return folder + L"window_skin_fail.exe";
}

struct BoxSearch {
    DWORD process;
    HWND box;
};

BOOL CALLBACK FindBox(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<BoxSearch*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t title[64] = {};
    GetWindowTextW(window, title, 64);
    if (process == search->process && IsWindowVisible(window) && std::wstring(title) == L"SkinUI") {
        search->box = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectText(HWND window, LPARAM data)
{
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    reinterpret_cast<std::vector<std::wstring>*>(data)->push_back(text);
    return TRUE;
}

} // namespace

TEST(SkinFailure, ErrorBoxThenExitCodeOne)
{
    struct Case {
        const wchar_t* mode;
        const wchar_t* named;   // what the box names as the layout file
    };
    const Case cases[] = {
        {L"file", L"no-such-skin.xml"},
        {L"badid", L"12abc"},
        {L"noresource", L"4321"},
    };
    const std::wstring probe = ProbePath();
    ASSERT_NE(GetFileAttributesW(probe.c_str()), INVALID_FILE_ATTRIBUTES) << "no child program";
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<const void*>(c.mode));
        std::wstring command = L"\"" + probe + L"\" " + c.mode;
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION child = {};
        ASSERT_TRUE(CreateProcessW(probe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &startup, &child));
        BoxSearch search = {child.dwProcessId, nullptr};
        for (int i = 0; i < 300 && !search.box; ++i) {
            EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
            if (!search.box && WaitForSingleObject(child.hProcess, 50) == WAIT_OBJECT_0) break;
        }
        std::vector<std::wstring> texts;
        if (search.box) {
            EnumChildWindows(search.box, CollectText, reinterpret_cast<LPARAM>(&texts));
            EXPECT_EQ(GetWindow(search.box, GW_OWNER), nullptr) << "the box has an owner";
            PostMessageW(search.box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        }
        const std::wstring expected = std::wstring(L"加载资源文件失败：") + c.named;
        bool found = false;
        for (const std::wstring& text : texts) found = found || text == expected;
        EXPECT_TRUE(search.box != nullptr) << "no message box captioned SkinUI";
        EXPECT_TRUE(found) << "the box does not say which file failed";
        const bool ended = WaitForSingleObject(child.hProcess, 15000) == WAIT_OBJECT_0;
        if (!ended) TerminateProcess(child.hProcess, 99);
        DWORD code = 0;
        GetExitCodeProcess(child.hProcess, &code);
        EXPECT_TRUE(ended);
        EXPECT_EQ(code, 1u);
        CloseHandle(child.hThread);
        CloseHandle(child.hProcess);
    }
}
