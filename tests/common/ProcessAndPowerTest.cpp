// Processes found by name, thread suspension, the shutdown privilege, and the
// shutdown and hibernate requests with the system calls watched (letting
// them through would end the test session).
#include "common/Folders.h"
#include "common/Power.h"
#include "common/Process.h"
#include "common/SystemCalls.h"

#include "CommonTestUtil.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <string>
#include <vector>

using TestSupport::TempFolder;

namespace {

// A copy of the probe under a name no other test uses, sleeping.
class Sleeper {
public:
    explicit Sleeper(const std::wstring& folder)
    {
        name = CommonTest::UniqueToken(L"sleeper") + L".exe";
        std::wstring copy = folder + name;
        std::wstring probe = std::wstring(GetExeFolder().GetData()) + L"\\kecommon_probe.exe";
        if (!CopyFileW(probe.c_str(), copy.c_str(), FALSE)) return;
        std::wstring command = L"\"" + copy + L"\" sleep 60000";
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        if (CreateProcessW(copy.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                           &info)) {
            CloseHandle(info.hThread);
            started = true;
        }
    }
    ~Sleeper()
    {
        if (!started) return;
        TerminateProcess(info.hProcess, 1);
        WaitForSingleObject(info.hProcess, 5000);
        CloseHandle(info.hProcess);
    }
    std::wstring name;
    PROCESS_INFORMATION info = {};
    bool started = false;
};

DWORD SuspendCountOfFirstThread(DWORD processId)
{
    // Suspending reports the count before; resuming puts it back.
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    DWORD count = static_cast<DWORD>(-1);
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != processId) continue;
        HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID);
        if (thread == nullptr) continue;
        count = SuspendThread(thread);
        ResumeThread(thread);
        CloseHandle(thread);
        break;
    }
    CloseHandle(snapshot);
    return count;
}

struct PowerSpy {
    static std::vector<std::pair<UINT, DWORD>> exits;
    static std::vector<std::pair<BOOL, BOOL>> states;
    static BOOL answer;
    static BOOL WINAPI Exit(UINT flags, DWORD reason)
    {
        exits.emplace_back(flags, reason);
        return answer;
    }
    static BOOL WINAPI State(BOOL suspend, BOOL force)
    {
        states.emplace_back(suspend, force);
        return answer;
    }
    KESystemCalls saved;
    PowerSpy() : saved(SystemCalls())
    {
        exits.clear();
        states.clear();
        answer = TRUE;
        SystemCalls().exitWindowsEx = &Exit;
        SystemCalls().setSystemPowerState = &State;
    }
    ~PowerSpy() { SystemCalls() = saved; }
};
std::vector<std::pair<UINT, DWORD>> PowerSpy::exits;
std::vector<std::pair<BOOL, BOOL>> PowerSpy::states;
BOOL PowerSpy::answer = TRUE;

} // namespace

TEST(CommonProcess, FindSuspendResumeAndTerminateByName)
{
    TempFolder temp;
    Sleeper sleeper(temp.Path());
    ASSERT_TRUE(sleeper.started);
    // The process list may take a moment to show a new process.
    for (int i = 0; i < 50 && !IsProcessRunning(sleeper.name.c_str()); ++i) Sleep(20);
    EXPECT_TRUE(IsProcessRunning(sleeper.name.c_str()));
    std::wstring upper = sleeper.name;
    for (auto& c : upper) c = towupper(c);
    EXPECT_FALSE(IsProcessRunning(upper.c_str()));  // names compare exactly

    DWORD pid = sleeper.info.dwProcessId;
    ASSERT_EQ(0u, SuspendCountOfFirstThread(pid));
    SuspendProcessThreads(pid, true);
    EXPECT_EQ(1u, SuspendCountOfFirstThread(pid));
    SuspendProcessThreads(pid, false);
    EXPECT_EQ(0u, SuspendCountOfFirstThread(pid));

    EXPECT_TRUE(TerminateProcessesByName(sleeper.name.c_str()));
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(sleeper.info.hProcess, 5000));
    DWORD code = 1;
    GetExitCodeProcess(sleeper.info.hProcess, &code);
    EXPECT_EQ(0u, code);
    EXPECT_FALSE(IsProcessRunning(sleeper.name.c_str()));
    // No match is still a successful walk.
    EXPECT_TRUE(TerminateProcessesByName(L"no-such-program-velkaro.exe"));
    EXPECT_FALSE(IsProcessRunning(nullptr));
}

TEST(CommonPower, ShutdownPrivilegeCanBeEnabled)
{
    EXPECT_TRUE(EnableShutdownPrivilege());
}

TEST(CommonPower, ShutdownRequestsCarryForceAndTheApplicationReason)
{
    PowerSpy spy;
    EXPECT_TRUE(ForceLogOff());
    EXPECT_TRUE(ForceReboot());
    EXPECT_TRUE(ForcePowerOff());
    ASSERT_EQ(3u, PowerSpy::exits.size());
    EXPECT_EQ(4u, PowerSpy::exits[0].first);
    EXPECT_EQ(6u, PowerSpy::exits[1].first);
    EXPECT_EQ(12u, PowerSpy::exits[2].first);
    for (const auto& call : PowerSpy::exits) EXPECT_EQ(0x40000u, call.second);

    PowerSpy::answer = FALSE;
    EXPECT_FALSE(ForceReboot());
}

TEST(CommonPower, HibernateForcesASuspendAndDoesNotWaitForTheAnswer)
{
    PowerSpy spy;
    PowerSpy::answer = FALSE;
    EXPECT_TRUE(Hibernate());
    ASSERT_EQ(1u, PowerSpy::states.size());
    EXPECT_FALSE(PowerSpy::states[0].first);
    EXPECT_TRUE(PowerSpy::states[0].second);
    EXPECT_TRUE(PowerSpy::exits.empty());
}
