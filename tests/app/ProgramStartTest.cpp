// The real program, started as a user would start it, beside the real event server stand-in.
#include "EventServerProbe.h"
#include "framework/String.h"

#include <gtest/gtest.h>

namespace {

const WCHAR kFrameTitle[] = L"Quelda Kivora Button Support Programming Interface";
const CLSID CLSID_ButtonEventServer = {
    0x40e71633, 0x5f96, 0x11d1, {0xb4, 0x49, 0x00, 0x80, 0x5f, 0x26, 0x8a, 0x3a}};

// Wine maps the Unix root to drive Z:.
CString WinePath(const char* pszUnixPath)
{
    CString strPath(L"Z:");
    for (const char* p = pszUnixPath; *p; ++p)
        strPath += static_cast<WCHAR>(*p == '/' ? '\\' : *p);
    return strPath;
}

// Runs the program with those parameters; its exit code, or -1 when it did not end in time.
long RunProgram(LPCWSTR pszParams = L"", DWORD dwTimeout = 20000)
{
    CString strCommand = L"\"" + WinePath(PROGRAM_PATH) + L"\" " + pszParams;
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!::CreateProcessW(nullptr, strCommand.GetBuffer(0), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &si, &pi))
        return -2;
    long nExitCode = -1;
    if (::WaitForSingleObject(pi.hProcess, dwTimeout) == WAIT_OBJECT_0) {
        DWORD dw = 0;
        ::GetExitCodeProcess(pi.hProcess, &dw);
        nExitCode = static_cast<long>(dw);
    } else {
        ::TerminateProcess(pi.hProcess, 99);
    }
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return nExitCode;
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
    EXPECT_EQ(RunProgram(L"BUTTON=305"), 0);
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
    EXPECT_EQ(RunProgram(), 0);
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
    EXPECT_EQ(RunProgram(), 0);
}

TEST_F(ProgramStartTest, ASlowOrVanishingServerLeavesTheProgramEndingNormally)
{
    {
        CEventServerProbe probe;
        probe.Reset();
        CEventServerFaults faults(L"slow=20");
        EXPECT_EQ(RunProgram(), 0);
        EXPECT_EQ(probe.Counts().registerCalls, 49);
    }
    CEventServerFaults faults(L"die=305");
    EXPECT_EQ(RunProgram(), 0);
}
