#pragma once
// What the wizard's pages ask of the system besides their own controls: the
// finishing steps, the close question, opening a document or program, and the
// folder browser. The wizard uses the real ones; tests stand in for them, so a
// page can be driven without shortcuts, message boxes or launched programs.
#include <windows.h>

#include <functional>

#include "KeInstall/InstallFinish.h"
#include "ui/core/UiString.h"

struct WizardServices {
    FinishOperations finish;
    // The close confirmation over `owner`: 1 for OK, 2 for Cancel, 0 otherwise.
    std::function<int(HWND owner)> confirmClose;
    // ShellExecuteW "open" with the given show command; the outcome is not used.
    std::function<void(const wchar_t* file, int show)> open;
    // The install-folder browser: the choice, or empty when cancelled.
    std::function<SkinUI::CUiString(HWND owner, const SkinUI::CUiString& initial)> chooseFolder;
};

// Everything real except confirmClose, which the window that owns the message
// boxes supplies; empty, the question counts as not confirmed.
WizardServices SystemWizardServices();

// The licence agreement the welcome page's link opens.
extern const wchar_t kAgreementAddress[];
