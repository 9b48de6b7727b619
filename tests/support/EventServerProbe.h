// What the button event server stand-in holds, read from the test's side of the process boundary.
// Its faults, read at each call: the value "Faults" under kEventServerFaults, words separated by
// blanks: "container", "point", "advise=N", "register=A,B", "slow=MS", "die=ID". Kept apart from
// the program's own declarations of the server's interfaces.
#pragma once

#include <windows.h>

#include <string>

const WCHAR kEventServerFaults[] = L"Software\\Kivora Stand-ins\\Event Server";

struct EventServerCounts
{
    LONG registrations = -1, connections = -1, registerCalls = -1;
};

struct EventServerRegistration
{
    LONG id = 0, mode = 0, cookie = 0;
    std::wstring client;
};

// A connection of its own to the server process; it keeps the process (and what it holds) alive.
class CEventServerProbe
{
public:
    CEventServerProbe();
    ~CEventServerProbe();
    CEventServerProbe(const CEventServerProbe&) = delete;
    CEventServerProbe& operator=(const CEventServerProbe&) = delete;

    bool IsConnected() const { return m_pProbe != nullptr; }
    void Reset();
    EventServerCounts Counts();
    EventServerRegistration Registration(LONG nIndex);
    // Calls OnNotify1 or OnNotify2 on every subscribed sink.
    HRESULT Notify(LONG nMethod, LONG nValue, LONG* pNotified);

private:
    struct IButtonEventServerProbe* m_pProbe = nullptr;
};
