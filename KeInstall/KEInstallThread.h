#pragma once
// The install worker: performs extraction jobs (ke.7z into the product folder)
// on its own thread, so the wizard keeps painting while the payload unpacks.
#include "KeInstall/KEThread.h"
#include "ui/core/UiString.h"

#include <functional>
#include <string>

// (done, total) as reported by the extraction library.
typedef std::function<void(unsigned long long, unsigned long long)> ProgressCallback;

struct UNINSTALL_INFO {
    SkinUI::CUiString archivePath;  // ke.7z beside the installer
    SkinUI::CUiString destFolder;   // the product folder
    ProgressCallback progress;
};

// The extraction library's signature; UnzipCore7z unless a test stands in for it.
typedef bool (*ExtractFunction)(const char* archivePath, const char* destFolder, ProgressCallback progress);

class CKEInstallThread : public CKEThread<UNINSTALL_INFO> {
public:
    explicit CKEInstallThread(ExtractFunction extract = nullptr);
    ~CKEInstallThread() override;

protected:
    // Converts both paths for the library, runs it to its end and logs
    // "ok" or "failed". Nothing else is done with the result.
    void HandleJob(UNINSTALL_INFO& job) override;

private:
    ExtractFunction m_extract;
};

// The narrow form of a path for the extraction library, in the ANSI code page.
// When the ANSI form loses characters, the short (8.3) form of the path is
// used instead where it survives the conversion (it does for an existing
// path); only when that fails too is the lossy form returned.
std::string ToLibraryPath(const wchar_t* path);
