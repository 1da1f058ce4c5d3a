#include "KeInstall/KEWizardServices.h"

#include <shellapi.h>

#include "common/Dialogs.h"

const wchar_t kAgreementAddress[] = L"https://www.velkaro.example/user-agreement.html";

WizardServices SystemWizardServices()
{
    WizardServices services;
    services.finish = SystemFinishOperations();
    services.open = [](const wchar_t* file, int show) {
        ::ShellExecuteW(nullptr, L"open", file, nullptr, nullptr, show);
    };
    services.chooseFolder = [](HWND owner, const SkinUI::CUiString& initial) {
        return BrowseForFolder(owner, initial);
    };
    return services;
}
