#pragma once
// The wizard's skin and its four page objects in a plain skinned window that
// stands in for the main frame: it records every event the pages raise, and
// the pages' system calls (links, registration, the close question, opening
// programs, the folder browser) go to recorders instead of the system.
#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "KeInstall/KEInstallPage0.h"
#include "KeInstall/KEInstallPage1.h"
#include "KeInstall/KEInstallPage2.h"
#include "KeInstall/KEInstallPage3.h"
#include "ui/core/UiWindowImplBase.h"

namespace WizardTests {

// The skin archive as built, made the framework's skin; once per process.
bool UseBuiltSkin();

// Counts of what the pages asked the system for.
struct Calls {
    int links = 0;
    int startMenus = 0;
    int registrations = 0;
    int questions = 0;
    std::vector<std::wstring> opened;
    int answer = 2;                 // what the close question answers
    std::wstring chosenFolder;      // what the folder browser answers
};

// Services that record into `calls`, which must outlive them.
WizardServices RecordingServices(Calls* calls);

class WizardHost : public SkinUI::WindowImplBase, public KeBase {
public:
    WizardHost();
    ~WizardHost() override;

    const wchar_t* ClassName() const override { return L"VelkaroWizardHost"; }
    SkinUI::CUiString LayoutFile() const override { return SkinUI::CUiString(L"KEMainFrameWhite_brelvost.xml"); }
    void OnLayoutAttached() override;
    void Notify(SkinUI::UiNotification& notification) override;
    LRESULT HandleOtherMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    void OnEvent(int code, int wparam, int lparam) override;
    // Counted, not obeyed: the window stays for the next case.
    LRESULT OnClose(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

    // Shown without activation and pumped until the first frame is painted.
    bool Open();
    SkinUI::CControlUI* Find(const wchar_t* name) { return m_manager.FindControl(name); }
    // Selects a tab page as the frame would.
    void ShowPage(int index);
    // A press and release at the centre of a named control.
    void Click(const wchar_t* name);

    Calls calls;
    WizardServices services;
    CKEInstallPage0 page0;
    CKEInstallPage1 page1;
    CKEInstallPage2 page2;
    CKEInstallPage3 page3;
    std::vector<std::pair<int, int>> events;   // (code, wparam) as raised
    int closes = 0;                            // WM_CLOSE reached the window
    bool ready = false;
};

// Pumps messages until done() holds or timeoutMs pass; false on timeout.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 3000);

} // namespace WizardTests
