// The worker with the real library and the real payload (bin/ke.7z), and the
// narrow path forms handed to the library.
#include "KeInstall/InstallSettings.h"
#include "KeInstall/KEInstallProgress.h"
#include "KeInstall/KEInstallThread.h"
#include "KeInstall/ProductConstants.h"
#include "common/Folders.h"
#include "common/Log.h"
#include "common/TextConvert.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

using SkinUI::CUiString;
using namespace TestSupport;

namespace {

// Signals when a report has done equal to total, as the progress page sees it.
class FinishWatcher : public KeBase {
public:
    FinishWatcher() : m_finished(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~FinishWatcher() override { CloseHandle(m_finished); }
    void OnEvent(int code, int wparam, int lparam) override
    {
        if (code == EVENT_POST_TO_UI && wparam == EVENT_PROGRESS_CHANGED && lparam == 1) SetEvent(m_finished);
    }
    bool WaitFinished(DWORD ms) { return WaitForSingleObject(m_finished, ms) == WAIT_OBJECT_0; }

private:
    HANDLE m_finished;
};

bool FitsAnsi(const std::wstring& text) { return AnsiToWide(WideToAnsi(text.c_str()).c_str()) == text.c_str(); }

std::string JobLogText()
{
    std::string bytes;
    ReadFileBytes(GetLogFilePath().GetData(), &bytes);
    return bytes;
}

// Runs one job to its end on a worker of its own; the worker's destruction
// waits for it.
void RunJob(const CUiString& archive, const CUiString& dest, KeBase* frame, DWORD waitMs)
{
    HANDLE performed = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    {
        CKEInstallThread worker;
        UNINSTALL_INFO job;
        job.archivePath = archive;
        job.destFolder = dest;
        ProgressCallback report = MakeInstallProgress(frame);
        // Wrapped only to learn that the job started.
        job.progress = [report, performed](unsigned long long done, unsigned long long total) {
            SetEvent(performed);
            report(done, total);
        };
        worker.Post(job);
        // A job still queued at destruction would be dropped: wait until it runs.
        WaitForSingleObject(performed, waitMs);
        Sleep(50);
    }
    CloseHandle(performed);
}

} // namespace

TEST(InstallJob, PayloadInstallsIntoAFolderOutsideTheAnsiCodePage)
{
    TempFolder temp;
    CUiString install((temp.Path() + L"安装 ü क ẞ").c_str());
    ASSERT_FALSE(FitsAnsi(install.GetData())) << "the ANSI code page holds these characters: nothing is tested";
    GetInstallSettings().installFolder = install;
    CUiString product = GetInstallSettings().ProductFolder();
    CreateFolderChain(product);  // as the main frame does before posting the job
    CUiString archive = GetExeFolder() + KE_PAYLOAD_ARCHIVE;
    ASSERT_TRUE(FileExists(archive.GetData())) << "ke.7z is built beside the test executables";

    FinishWatcher frame;
    size_t logBefore = JobLogText().size();
    RunJob(archive, product, &frame, 60000);
    EXPECT_TRUE(frame.WaitFinished(0));
    std::wstring root = std::wstring(product.GetData()) + L"\\";
    EXPECT_TRUE(FileExists(root + L"DUDavov.exe"));
    EXPECT_TRUE(FileExists(root + L"locale\\中文\\字符串.txt"));
    EXPECT_TRUE(FileExists(root + L"resources\\Vidéos d'exemple\\Ærøskøbing – señal.mkv"));
    EXPECT_TRUE(FileExists(root + L"cache\\缩略图"));
    EXPECT_EQ(GetInstallSettings().LoadTotal(), GetInstallSettings().LoadDone());
    EXPECT_GT(GetInstallSettings().LoadTotal(), 1000000u);
    std::string added = JobLogText().substr(logBefore);
    EXPECT_NE(std::string::npos, added.find("] - ok\r\n")) << added;
}

TEST(InstallJob, PayloadInstallsFromAnArchiveFolderOutsideTheAnsiCodePage)
{
    // Setup is often started from a downloads folder with a Chinese name; the
    // library can only open the archive through its short form.
    TempFolder temp;
    std::wstring downloads = temp.Path() + L"下载 安装包 क";
    ASSERT_FALSE(FitsAnsi(downloads)) << "the ANSI code page holds these characters: nothing is tested";
    ASSERT_TRUE(CreateDirectoryW(downloads.c_str(), nullptr));
    CUiString archive = (downloads + KE_PAYLOAD_ARCHIVE).c_str();
    ASSERT_TRUE(CopyFileW((GetExeFolder() + KE_PAYLOAD_ARCHIVE).GetData(), archive.GetData(), FALSE));
    CUiString product = (temp.Path() + L"product").c_str();
    CreateFolderChain(product);

    FinishWatcher frame;
    size_t logBefore = JobLogText().size();
    RunJob(archive, product, &frame, 60000);
    EXPECT_TRUE(frame.WaitFinished(0));
    EXPECT_TRUE(FileExists(std::wstring(product.GetData()) + L"\\DUDavov.exe"));
    EXPECT_NE(std::string::npos, JobLogText().find("] - ok\r\n", logBefore));
}

TEST(InstallJob, MissingArchiveIsLoggedAsFailedAndNeverLooksFinished)
{
    TempFolder temp;
    FinishWatcher frame;
    // The counters as a fresh process has them, whatever an earlier job left.
    GetInstallSettings().StoreDone(0);
    GetInstallSettings().StoreTotal(0x7FFFFFFFFFFFFFFFULL);
    size_t logBefore = JobLogText().size();
    {
        CKEInstallThread worker;
        UNINSTALL_INFO job;
        job.archivePath = (temp.Path() + L"missing\\ke.7z").c_str();
        job.destFolder = (temp.Path() + L"dest").c_str();
        job.progress = MakeInstallProgress(&frame);
        worker.Post(job);
        // No report will come; wait for the log entry instead.
        for (int i = 0; i < 500 && JobLogText().find("] - failed\r\n", logBefore) == std::string::npos; ++i) Sleep(10);
    }
    EXPECT_NE(std::string::npos, JobLogText().find("] - failed\r\n", logBefore));
    EXPECT_FALSE(frame.WaitFinished(0));
    EXPECT_NE(GetInstallSettings().LoadDone(), GetInstallSettings().LoadTotal());
}

TEST(InstallJob, LibraryPathsSurviveTheAnsiCodePage)
{
    TempFolder temp;
    // Fits: passed as it is.
    std::wstring plain = temp.Path() + L"plain folder";
    EXPECT_EQ(WideToAnsi(plain.c_str()), ToLibraryPath(plain.c_str()));

    // Does not fit but exists: its short form, which names the same folder.
    std::wstring wide = temp.Path() + L"目标 क";
    ASSERT_TRUE(CreateDirectoryW(wide.c_str(), nullptr));
    std::string narrow = ToLibraryPath(wide.c_str());
    CUiString back = AnsiToWide(narrow.c_str());
    EXPECT_EQ(narrow.find('?'), std::string::npos) << narrow;
    wchar_t longForm[MAX_PATH] = {};
    ASSERT_NE(0u, GetLongPathNameW(back, longForm, MAX_PATH)) << narrow;
    EXPECT_EQ(0, lstrcmpiW(wide.c_str(), longForm));

    // Does not fit and does not exist: nothing better than the lossy form.
    std::wstring missing = temp.Path() + L"缺失";
    EXPECT_EQ(WideToAnsi(missing.c_str()), ToLibraryPath(missing.c_str()));
}
