#include "KeInstall/KEInstallProgress.h"

#include "KeInstall/InstallSettings.h"
#include "KeInstall/ProductConstants.h"
#include "common/Log.h"

namespace {

KeBase* EventTarget(KeBase* frame) { return frame->GetEventParent() ? frame->GetEventParent() : frame; }

} // namespace

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
        EventTarget(frame)->OnEvent(EVENT_POST_TO_UI, EVENT_PROGRESS_CHANGED, done == total ? 1 : 0);
    };
}

OutcomeCallback MakeInstallOutcome(KeBase* frame)
{
    return [frame](int result) {
        if (result != UNZIP_OK) EventTarget(frame)->OnEvent(EVENT_POST_TO_UI, EVENT_INSTALL_FAILED, result);
    };
}

double ProgressPercent(unsigned long long done, unsigned long long total)
{
    if (total == 0 || done >= total) return 100.0;
    return static_cast<double>(done) * 100.0 / static_cast<double>(total);
}

int ProgressBarValue(unsigned long long done, unsigned long long total)
{
    return static_cast<int>(ProgressPercent(done, total));
}

SkinUI::CUiString FormatProgressLabel(unsigned long long done, unsigned long long total)
{
    SkinUI::CUiString text;
    text.Format(L"%s %.1f%%", kProgressLabelPrefix, ProgressPercent(done, total));
    return text;
}

const wchar_t* InstallFailureText(int result)
{
    switch (result) {
    case UNZIP_OK:
    case kInstallPending:
        return L"";
    case UNZIP_ARCHIVE_MISSING:
        return L"安装失败：找不到安装包";
    case UNZIP_ARCHIVE_CORRUPT:
        return L"安装失败：安装包已损坏";
    case UNZIP_FOLDER_NOT_WRITABLE:
        return L"安装失败：安装目录无法写入";
    case UNZIP_DISK_FULL:
        return L"安装失败：磁盘空间不足";
    case UNZIP_UNSAFE_ENTRY:
        return L"安装失败：安装包含有不安全的文件";
    case UNZIP_CANCELLED:
        return L"安装已取消";
    default:
        return L"安装失败：解压出错";
    }
}
