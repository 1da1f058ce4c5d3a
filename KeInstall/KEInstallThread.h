#pragma once
// The install worker: performs extraction jobs (ke.7z into the product folder)
// on its own thread, so the wizard keeps painting while the payload unpacks.
#include "7zCore/UnzipCore7z.h"
#include "KeInstall/KEThread.h"
#include "common/InstalledFiles.h"
#include "ui/core/UiString.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

// (done, total) as reported by the extraction library.
typedef std::function<void(unsigned long long, unsigned long long)> ProgressCallback;
// The run's UnzipResult, once it has ended (UNZIP_OK for success).
typedef std::function<void(int result)> OutcomeCallback;

struct UNINSTALL_INFO {
    SkinUI::CUiString archivePath;  // ke.7z beside the installer
    SkinUI::CUiString destFolder;   // the product folder
    ProgressCallback progress;
    OutcomeCallback outcome;        // may be empty
};

// The extraction library's signatures; the library unless a test stands in for it.
typedef bool (*ExtractFunction)(const char* archivePath, const char* destFolder, ProgressCallback progress);
typedef int (*ExtractFunctionEx)(const char* archivePath, const char* destFolder, ProgressCallback progress,
                                 const std::atomic<bool>* cancel, UnzipItemCallback onItem);

class CKEInstallThread : public CKEThread<UNINSTALL_INFO> {
public:
    explicit CKEInstallThread(ExtractFunction extract = nullptr);
    explicit CKEInstallThread(ExtractFunctionEx extract);
    ~CKEInstallThread() override;

    void Post(const UNINSTALL_INFO& job);

    // Stops the running extraction, which then removes what it had written,
    // and every job posted before this call. Returns at once; the job ends
    // within a block of data. Any thread; harmless when nothing runs and when
    // called again. Jobs posted afterwards run as usual.
    void Cancel();

protected:
    // Converts both paths for the library and runs it to its end. The result
    // and the extracted items go to the install settings before the final
    // report is passed on, so done equal to total always means success; a
    // failure is logged and reported through the job's outcome callable.
    void HandleJob(UNINSTALL_INFO& job) override;

private:
    int Extract(UNINSTALL_INFO& job, ProgressCallback progress, const std::atomic<bool>* cancel,
                std::vector<InstalledEntry>* extracted);

    ExtractFunction m_extract;
    ExtractFunctionEx m_extractEx;
    // Jobs are numbered in posting order, which is also the order they run in.
    std::mutex m_cancelMutex;
    unsigned long long m_posted = 0;
    unsigned long long m_started = 0;
    unsigned long long m_cancelledUpTo = 0;
    std::atomic<bool>* m_running = nullptr;  // the running job's stop flag
};

// The narrow form of a path for the extraction library, in the ANSI code page.
// When the ANSI form loses characters, the short (8.3) form of the path is
// used instead where it survives the conversion (it does for an existing
// path); only when that fails too is the lossy form returned.
std::string ToLibraryPath(const wchar_t* path);
