#include "KeInstall/KEInstallThread.h"

#include "7zCore/UnzipCore7z.h"
#include "common/Log.h"
#include "common/TextConvert.h"

#include <vector>

namespace {

bool SurvivesAnsi(const wchar_t* path, const std::string& ansi)
{
    return !ansi.empty() && AnsiToWide(ansi.c_str()) == path;
}

} // namespace

std::string ToLibraryPath(const wchar_t* path)
{
    std::string ansi = WideToAnsi(path);
    if (SurvivesAnsi(path, ansi)) return ansi;
    DWORD need = GetShortPathNameW(path, nullptr, 0);
    if (need > 0) {
        std::vector<wchar_t> shortPath(need + 1, L'\0');
        DWORD got = GetShortPathNameW(path, shortPath.data(), need + 1);
        if (got > 0 && got <= need) {
            std::string shortAnsi = WideToAnsi(shortPath.data());
            if (SurvivesAnsi(shortPath.data(), shortAnsi)) return shortAnsi;
        }
    }
    return ansi;
}

CKEInstallThread::CKEInstallThread(ExtractFunction extract) : m_extract(extract ? extract : &UnzipCore7z) {}

CKEInstallThread::~CKEInstallThread() { Stop(); }

void CKEInstallThread::HandleJob(UNINSTALL_INFO& job)
{
    std::string dest = ToLibraryPath(job.destFolder);
    std::string archive = ToLibraryPath(job.archivePath);
    ProgressCallback progress = job.progress;
    bool ok = m_extract(archive.c_str(), dest.c_str(), progress);
    LogFormat(ok ? L"ok" : L"failed");
}
