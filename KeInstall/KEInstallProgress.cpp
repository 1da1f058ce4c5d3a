#include "KeInstall/KEInstallProgress.h"

#include "KeInstall/InstallSettings.h"
#include "common/Log.h"

ProgressCallback MakeInstallProgress(KeBase* frame)
{
    return [frame](unsigned long long done, unsigned long long total) {
        InstallSettings& settings = GetInstallSettings();
        settings.StoreDone(done);
        settings.StoreTotal(total);
        SkinUI::CUiString text;
        text.Format(L"%I64d,  %I64d\n", static_cast<long long>(done), static_cast<long long>(total));
        OutputDebugStringW(text);
        // Digits and commas only: safe to pass as the format.
        LogFormat(text);
        KeBase* target = frame->GetEventParent() ? frame->GetEventParent() : frame;
        target->OnEvent(EVENT_POST_TO_UI, EVENT_PROGRESS_CHANGED, done == total ? 1 : 0);
    };
}
