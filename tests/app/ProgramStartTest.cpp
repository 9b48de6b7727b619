// The real program, started as a user would start it, beside the real event server stand-in.
#include "ConfigServiceStore.h"
#include "EventServerProbe.h"
#include "StringPrinter.h"
#include "UserInput.h"
#include "framework/String.h"

#include <gtest/gtest.h>

namespace {

const WCHAR kFrameTitle[] = L"Quelda Kivora Button Support Programming Interface";
const CLSID CLSID_ButtonEventServer = {
    0x40e71633, 0x5f96, 0x11d1, {0xb4, 0x49, 0x00, 0x80, 0x5f, 0x26, 0x8a, 0x3a}};

struct ProgramRun
{
    long nExitCode = -1; // -1: it did not end in time
    bool bDialog = false;
    CString strMessage; // the text of a message box it showed
};

// Runs the program with those parameters as a user would: its settings dialog is closed with
// the close box, a message box is answered with OK.
ProgramRun RunProgram(LPCWSTR pszParams = L"", DWORD dwTimeout = 20000)
{
    ProgramRun run;
    CString strCommand = L"\"" + WinePath(PROGRAM_PATH) + L"\" " + pszParams;
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!::CreateProcessW(nullptr, strCommand.GetBuffer(0), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &si, &pi))
        return run;
    const DWORD dwStart = ::GetTickCount();
    while (::WaitForSingleObject(pi.hProcess, 50) == WAIT_TIMEOUT) {
        if (::GetTickCount() - dwStart > dwTimeout) {
            ::TerminateProcess(pi.hProcess, 99);
            break;
        }
        if (HWND hDlg = FindDialogOf(pi.dwProcessId, L"Kivora Buttons")) {
            run.bDialog = true;
            ::PostMessageW(hDlg, WM_CLOSE, 0, 0);
        }
        if (HWND hBox = FindDialogOf(pi.dwProcessId, L"ButtonConfig")) {
            WCHAR szText[256] = {};
            ::GetDlgItemTextW(hBox, 0xFFFF, szText, ARRAYSIZE(szText));
            run.strMessage = szText;
            ::PostMessageW(hBox, WM_COMMAND, IDOK, 0);
        }
    }
    DWORD dw = 0;
    if (::GetExitCodeProcess(pi.hProcess, &dw) && dw != STILL_ACTIVE && dw != 99)
        run.nExitCode = static_cast<long>(dw);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return run;
}

class ProgramStartTest : public ::testing::Test
{
protected:
    void SetUp() override { ::CoInitialize(nullptr); }
    void TearDown() override { ::CoUninitialize(); }
};

} // namespace

TEST_F(ProgramStartTest, RunsTheFlowFromAHiddenFrameAndEndsWithExitCodeZero)
{
    CEventServerProbe probe;
    ASSERT_TRUE(probe.IsConnected());
    probe.Reset();
    const ProgramRun run = RunProgram(L"BUTTON=305");
    EXPECT_EQ(run.nExitCode, 0);
    EXPECT_TRUE(run.bDialog);
    EXPECT_EQ(::FindWindowW(nullptr, kFrameTitle), nullptr);
    const EventServerCounts counts = probe.Counts();
    EXPECT_EQ(counts.registerCalls, 49) << "every listener registered";
    EXPECT_EQ(counts.registrations, 0) << "and unregistered before the end";
    EXPECT_EQ(counts.connections, 0);
}

TEST_F(ProgramStartTest, ASecondCopyEndsAtOnce)
{
    CEventServerProbe probe;
    probe.Reset();
    HWND hFirst = ::CreateWindowW(L"STATIC", kFrameTitle, WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                                  nullptr, nullptr, nullptr);
    ASSERT_NE(hFirst, nullptr);
    const ProgramRun run = RunProgram();
    EXPECT_EQ(run.nExitCode, 0);
    EXPECT_FALSE(run.bDialog);
    EXPECT_EQ(probe.Counts().registerCalls, 0) << "the second copy ran no flow";
    EXPECT_EQ(::FindWindowW(nullptr, kFrameTitle), hFirst);
    ::DestroyWindow(hFirst);
}

TEST_F(ProgramStartTest, WithoutTheServerTheProgramStillRunsAndEnds)
{
    CEventServerUnregistered unregistered;
    // An earlier server process may still be on its way out; until then COM would find it.
    IUnknown* pServer = nullptr;
    HRESULT hr = S_OK;
    for (int i = 0; i < 50; i++) {
        hr = ::CoCreateInstance(CLSID_ButtonEventServer, nullptr, CLSCTX_LOCAL_SERVER, IID_IUnknown,
                                reinterpret_cast<void**>(&pServer));
        if (FAILED(hr)) break;
        pServer->Release();
        ::Sleep(100);
    }
    ASSERT_EQ(hr, REGDB_E_CLASSNOTREG);
    const ProgramRun run = RunProgram();
    EXPECT_EQ(run.nExitCode, 0);
    EXPECT_TRUE(run.bDialog);
}

TEST_F(ProgramStartTest, ASlowOrVanishingServerLeavesTheProgramEndingNormally)
{
    {
        CEventServerProbe probe;
        probe.Reset();
        CEventServerFaults faults(L"slow=20");
        EXPECT_EQ(RunProgram().nExitCode, 0);
        EXPECT_EQ(probe.Counts().registerCalls, 49);
    }
    CEventServerFaults faults(L"die=305");
    EXPECT_EQ(RunProgram().nExitCode, 0);
}

TEST_F(ProgramStartTest, ThirteenButtonsAreRefusedTwelveOpenTheDialog)
{
    {
        CConfigServiceStore store("buttons=1,2,3,4,5,6,7,8,9,10,11,12,13\n");
        const ProgramRun run = RunProgram();
        EXPECT_EQ(run.nExitCode, 1);
        EXPECT_FALSE(run.bDialog);
        EXPECT_EQ(run.strMessage, L"Initialization file has too many buttons in button list");
    }
    for (const char* pszDefaults :
         {"buttons=1,2,3,4,5,6,7,8,9,10,11,12\n", "buttons=1,2,3,4,5,6,7,8,9,10,\n"}) {
        CConfigServiceStore store(pszDefaults);
        const ProgramRun run = RunProgram();
        EXPECT_EQ(run.nExitCode, 0) << pszDefaults;
        EXPECT_TRUE(run.bDialog);
        EXPECT_EQ(run.strMessage, L"");
    }
}
