// Layout timing: a tree the size of the installer's wizard, and a column of
// 1,000 and of 10,000 labels, laid out again and again under a real paint
// manager (fonts measured through its DC). Prints medians; judges nothing.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "ui/controls/UiButton.h"
#include "ui/controls/UiHorizontalLayout.h"
#include "ui/controls/UiLabel.h"
#include "ui/controls/UiOption.h"
#include "ui/controls/UiProgress.h"
#include "ui/controls/UiTabLayout.h"
#include "ui/controls/UiVerticalLayout.h"
#include "ui/core/UiPaintManager.h"

using namespace SkinUI;

namespace {

double NowMicroseconds()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart);
}

template <class F>
double MedianMicroseconds(int runs, F&& body)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double start = NowMicroseconds();
        body(i);
        times.push_back(NowMicroseconds() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

template <class T>
T* Add(CContainerUI* parent, const wchar_t* attributes)
{
    T* control = new T();
    control->ApplyAttributes(attributes);
    parent->AddItem(control);
    return control;
}

// Four pages like the wizard's: caption row, tab pages with labels, buttons,
// options, a progress bar and floating controls; about 60 controls.
CControlUI* WizardTree()
{
    auto* root = new CVerticalLayoutUI();
    root->ApplyAttributes(L"bkcolor=\"#FFFFFFFF\"");
    auto* caption = Add<CHorizontalLayoutUI>(root, L"height=\"40\" inset=\"10,0,10,0\" childvalign=\"vcenter\"");
    Add<CLabelUI>(caption, L"text=\"Velkaro Setup\" autocalcwidth=\"true\"");
    Add<CControlUI>(caption, L"");
    Add<CButtonUI>(caption, L"width=\"24\" height=\"24\" padding=\"0,0,11,0\" cursor=\"hand\"");
    Add<CButtonUI>(caption, L"width=\"24\" height=\"24\" cursor=\"hand\"");
    auto* tabs = Add<CTabLayoutUI>(root, L"name=\"tabInstall\"");
    for (int page = 0; page < 4; ++page) {
        auto* p = Add<CVerticalLayoutUI>(tabs, L"inset=\"40,20,40,20\" childpadding=\"6\"");
        Add<CLabelUI>(p, L"text=\"欢迎使用 Velkaro\" height=\"40\" align=\"center\"");
        Add<CLabelUI>(p, L"text=\"A longer explanation that wraps over lines\" wordbreak=\"true\" autocalcheight=\"true\"");
        auto* row = Add<CHorizontalLayoutUI>(p, L"height=\"30\" childpadding=\"8\"");
        Add<CLabelUI>(row, L"text=\"Folder:\" autocalcwidth=\"true\"");
        Add<CLabelUI>(row, L"text=\"C:\\Program Files (x86)\\Velkaro\" endellipsis=\"true\"");
        Add<CButtonUI>(row, L"text=\"Browse\" width=\"80\"");
        Add<COptionUI>(p, L"text=\"I agree\" height=\"20\" group=\"agree\"");
        Add<CCheckBoxUI>(p, L"text=\"Desktop shortcut\" height=\"20\"");
        Add<CProgressUI>(p, L"height=\"12\" value=\"40\"");
        Add<CControlUI>(p, L"");
        auto* buttons = Add<CHorizontalLayoutUI>(p, L"height=\"40\" childalign=\"right\" childpadding=\"10\"");
        Add<CButtonUI>(buttons, L"text=\"Custom\" width=\"120\"");
        Add<CButtonUI>(buttons, L"text=\"Install\" width=\"160\"");
        Add<CLabelUI>(p, L"float=\"true\" pos=\"-120,-30,-10,-10\" text=\"v5.3.1.0\"");
        Add<CButtonUI>(p, L"float=\"0.5,0,0.5,0\" pos=\"-30,10,30,40\"");
    }
    return root;
}

CControlUI* LabelColumn(int count)
{
    auto* column = new CVerticalLayoutUI();
    column->ApplyAttributes(L"vscrollbar=\"true\"");
    for (int i = 0; i < count; ++i) {
        auto* label = new CLabelUI();
        label->AssignText((L"Label " + std::to_wstring(i)).c_str());
        column->AddItem(label);
    }
    return column;
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(3, atoi(argv[1])) : 200;
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VelkaroBenchLayout";
    RegisterClassW(&wc);
    HWND window = CreateWindowW(wc.lpszClassName, L"bench", WS_POPUP, 0, 0, 732, 452, nullptr,
                                nullptr, wc.hInstance, nullptr);
    CPaintManagerUI manager;
    manager.Init(window, L"bench");

    CControlUI* wizard = WizardTree();
    manager.AttachRoot(wizard);
    const RECT frame = {0, 0, 732, 452};
    wizard->Place(frame, false);
    const double same = MedianMicroseconds(runs, [&](int) { wizard->Place(frame, false); });
    // One pixel wider every other run: every size estimate is made again.
    const double resized = MedianMicroseconds(runs, [&](int i) {
        RECT r = frame;
        r.right += i & 1;
        wizard->Place(r, false);
    });
    std::printf("wizard tree (%d runs): %.1f us same size, %.1f us alternating width\n", runs,
                same, resized);

    for (int count : {1000, 10000}) {
        CControlUI* column = LabelColumn(count);
        manager.AttachRoot(column);
        column->Place(frame, false);
        const int columnRuns = std::max(3, runs / 10);
        const double us = MedianMicroseconds(columnRuns, [&](int i) {
            RECT r = frame;
            r.right += i & 1;
            column->Place(r, false);
        });
        std::printf("vertical layout of %d labels (%d runs): %.1f us, %.3f us per label\n", count,
                    columnRuns, us, us / count);
    }
    DestroyWindow(window);
    return 0;
}
