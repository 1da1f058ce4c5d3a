#include "KeInstall/KEInstallThread.h"

#include "KeInstall/InstallSettings.h"
#include "KeInstall/KEReportRelay.h"
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

CKEInstallThread::CKEInstallThread(ExtractFunction extract)
    : m_extract(extract), m_extractEx(extract ? nullptr : &UnzipCore7zEx)
{
}

CKEInstallThread::CKEInstallThread(ExtractFunctionEx extract)
    : m_extract(nullptr), m_extractEx(extract ? extract : &UnzipCore7zEx)
{
}

CKEInstallThread::~CKEInstallThread() { Stop(); }

void CKEInstallThread::Post(const UNINSTALL_INFO& job)
{
    // Numbered and queued under one lock, so that a Cancel between the two
    // cannot miss the job.
    std::lock_guard<std::mutex> lock(m_cancelMutex);
    ++m_posted;
    CKEThread::Post(job);
}

void CKEInstallThread::Cancel()
{
    std::lock_guard<std::mutex> lock(m_cancelMutex);
    m_cancelledUpTo = m_posted;
    if (m_running != nullptr) m_running->store(true);
}

int CKEInstallThread::Extract(UNINSTALL_INFO& job, ProgressCallback progress, const std::atomic<bool>* cancel,
                              std::vector<InstalledEntry>* extracted)
{
    std::string dest = ToLibraryPath(job.destFolder);
    std::string archive = ToLibraryPath(job.archivePath);
    if (m_extract != nullptr) return m_extract(archive.c_str(), dest.c_str(), progress) ? UNZIP_OK : UNZIP_ERROR;
    UnzipItemCallback onItem = [extracted](const wchar_t* relative, bool isFolder) {
        extracted->push_back(InstalledEntry{isFolder ? InstalledEntry::kFolder : InstalledEntry::kFile, relative});
    };
    return m_extractEx(archive.c_str(), dest.c_str(), progress, cancel, onItem);
}

void CKEInstallThread::HandleJob(UNINSTALL_INFO& job)
{
    std::atomic<bool> cancel(false);
    {
        std::lock_guard<std::mutex> lock(m_cancelMutex);
        if (++m_started <= m_cancelledUpTo) cancel = true;
        m_running = &cancel;
    }

    // The library's final report (done equal to total) is held back until
    // the outcome is known and stored: the progress page takes it as the
    // signal that everything is in place and goes on to the finishing steps.
    // The others are passed on by the relay, so the library never waits for
    // the log or the window.
    CKEReportRelay relay(job.progress);
    // The library may report from a thread of its own.
    std::atomic<unsigned long long> lastTotal(0);
    ProgressCallback progress = [&relay, &lastTotal](unsigned long long done, unsigned long long total) {
        lastTotal = total;
        if (done != total) relay.Report(done, total);
    };

    InstallSettings& settings = GetInstallSettings();
    // What an earlier job left there says nothing about this one.
    settings.StoreResult(kInstallPending);
    std::vector<InstalledEntry> extracted;
    int result = cancel.load() ? UNZIP_CANCELLED : Extract(job, progress, &cancel, &extracted);
    {
        std::lock_guard<std::mutex> lock(m_cancelMutex);
        m_running = nullptr;
    }

    if (result == UNZIP_OK) {
        settings.StoreExtracted(extracted);
        settings.StoreResult(UNZIP_OK);
        // A success always ends with done equal to total, even from a
        // library that never said so.
        relay.Report(lastTotal.load(), lastTotal.load());
        // The log keeps the reports before the outcome.
        relay.Drain();
        LogFormat(L"ok");
    } else {
        relay.Drain();
        settings.StoreResult(result);
        LogFormat(L"failed");
        LogFormat(L"extract result %d", result);
    }
    if (job.outcome) job.outcome(result);
}
