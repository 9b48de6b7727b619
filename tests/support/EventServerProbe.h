// What the button event server stand-in holds, read from the test's side of the process boundary,
// and its fault switches. Kept apart from the program's own declarations of the server's
// interfaces.
#pragma once

#include <windows.h>

#include <string>

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

// The stand-in's faults, read at each call: "container", "point", "advise=N", "register=A,B",
// "slow=MS", "die=ID", separated by blanks. Cleared when the object goes.
class CEventServerFaults
{
public:
    explicit CEventServerFaults(LPCWSTR lpszFaults);
    ~CEventServerFaults();
    CEventServerFaults(const CEventServerFaults&) = delete;
    CEventServerFaults& operator=(const CEventServerFaults&) = delete;
};

// The server's class registration is taken away while the object lives.
class CEventServerUnregistered
{
public:
    CEventServerUnregistered();
    ~CEventServerUnregistered();
    CEventServerUnregistered(const CEventServerUnregistered&) = delete;
    CEventServerUnregistered& operator=(const CEventServerUnregistered&) = delete;

private:
    std::wstring m_strServerPath;
};
