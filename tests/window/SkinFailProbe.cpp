// A program whose skin cannot be loaded, for SkinFailureTest: the window base
// must tell the user and end the process with code 1 before Create returns.
//   window_skin_fail.exe file|badid|noresource
#include <windows.h>

#include <string>

#include "ui/core/UiPaintManager.h"
#include "ui/core/UiWindowImplBase.h"

namespace {

class FailingWindow : public SkinUI::WindowImplBase {
public:
    FailingWindow(const wchar_t* file, const wchar_t* type) : m_file(file), m_type(type) {}
    const wchar_t* ClassName() const override { return L"VelkaroSkinFailProbe"; }
    SkinUI::CUiString LayoutFile() const override { return SkinUI::CUiString(m_file); }
    SkinUI::CUiString LayoutResourceType() const override { return SkinUI::CUiString(m_type); }

private:
    const wchar_t* m_file;
    const wchar_t* m_type;
};

} // namespace

int wmain(int argc, wchar_t** argv)
{
    SkinUI::CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
    const std::wstring mode = argc > 1 ? argv[1] : L"file";
    const wchar_t* file = L"no-such-skin.xml";
    const wchar_t* type = L"";
    if (mode == L"badid") {
        file = L"12abc";
        type = L"XML";
    } else if (mode == L"noresource") {
        file = L"4321";
        type = L"XML";
    }
    FailingWindow window(file, type);
    window.Create(nullptr, L"fail", WS_OVERLAPPEDWINDOW, 0);
    return 2;   // the window base should have ended the process
}
