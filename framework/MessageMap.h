// Static message maps. Each entry binds a message (or a command/notification code and a range
// of control ids) to a small thunk that calls the handler with its own signature, so no member
// function pointer is ever cast. The window procedure searches the class's table first, then
// its base classes' tables; a message no entry takes goes to the default procedure.
#pragma once

#include <windows.h>

class CWnd;

struct AFX_MSGMAP_ENTRY
{
    UINT nMessage; // window message; WM_COMMAND / WM_NOTIFY entries also match nCode and ids
    UINT nCode;
    UINT nID;
    UINT nLastID;
    BOOL (*pfn)(CWnd* pWnd, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
};

struct AFX_MSGMAP
{
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                                                                      \
protected:                                                                                         \
    static const AFX_MSGMAP* GetThisMessageMap();                                                  \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                     \
    const AFX_MSGMAP* theClass::GetMessageMap() const                                              \
    {                                                                                              \
        return GetThisMessageMap();                                                                \
    }                                                                                              \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                                                \
    {                                                                                              \
        typedef theClass ThisClass;                                                                \
        typedef baseClass TheBaseClass;                                                            \
        static_assert(sizeof(ThisClass) > 0, "a map may have no entry of its own");                \
        static const AFX_MSGMAP_ENTRY entries[] = {

#define END_MESSAGE_MAP()                                                                          \
    {                                                                                              \
        0, 0, 0, 0, nullptr                                                                        \
    }                                                                                              \
    }                                                                                              \
    ;                                                                                              \
    static const AFX_MSGMAP map = {&TheBaseClass::GetThisMessageMap, entries};                     \
    return &map;                                                                                   \
    }

#define AFX_THUNK(call)                                                                            \
    [](CWnd* pWnd, WPARAM wParam, LPARAM lParam, LRESULT* pResult) -> BOOL {                       \
        ThisClass* pThis = static_cast<ThisClass*>(pWnd);                                          \
        (void)pThis, (void)wParam, (void)lParam, (void)pResult;                                    \
        call;                                                                                      \
        return TRUE;                                                                               \
    }

// Messages the framework has no signature for: LRESULT Handler(WPARAM, LPARAM).
#define ON_MESSAGE(message, memberFxn)                                                             \
    {message, 0, 0, 0, AFX_THUNK(*pResult = pThis->memberFxn(wParam, lParam))},

#define ON_COMMAND(id, memberFxn) {WM_COMMAND, 0, (id), (id), AFX_THUNK(pThis->memberFxn())},
#define ON_COMMAND_RANGE(id, idLast, memberFxn)                                                    \
    {WM_COMMAND, 0, (id), (idLast), AFX_THUNK(pThis->memberFxn(LOWORD(wParam)))},
#define ON_CONTROL(code, id, memberFxn)                                                            \
    {WM_COMMAND, (code), (id), (id), AFX_THUNK(pThis->memberFxn())},
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_EN_SETFOCUS(id, memberFxn) ON_CONTROL(EN_SETFOCUS, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)

// void Handler(NMHDR*, LRESULT*)
#define ON_NOTIFY(code, id, memberFxn)                                                             \
    {WM_NOTIFY, static_cast<UINT>(code), (id), (id),                                               \
     AFX_THUNK(pThis->memberFxn(reinterpret_cast<NMHDR*>(lParam), pResult))},

#define ON_WM_CREATE()                                                                             \
    {WM_CREATE, 0, 0, 0,                                                                           \
     AFX_THUNK(*pResult = pThis->OnCreate(reinterpret_cast<LPCREATESTRUCT>(lParam)))},
#define ON_WM_DESTROY() {WM_DESTROY, 0, 0, 0, AFX_THUNK(pThis->OnDestroy())},
#define ON_WM_CLOSE() {WM_CLOSE, 0, 0, 0, AFX_THUNK(pThis->OnClose())},
#define ON_WM_SYSCOMMAND()                                                                         \
    {WM_SYSCOMMAND, 0, 0, 0, AFX_THUNK(pThis->OnSysCommand(static_cast<UINT>(wParam), lParam))},
#define ON_WM_HELPINFO()                                                                           \
    {WM_HELP, 0, 0, 0,                                                                             \
     AFX_THUNK(*pResult = pThis->OnHelpInfo(reinterpret_cast<HELPINFO*>(lParam)))},
#define ON_WM_QUERYENDSESSION()                                                                    \
    {WM_QUERYENDSESSION, 0, 0, 0, AFX_THUNK(*pResult = pThis->OnQueryEndSession())},
// The point of these is in screen coordinates.
#define ON_WM_NCHITTEST()                                                                          \
    {WM_NCHITTEST, 0, 0, 0,                                                                        \
     AFX_THUNK(*pResult = pThis->OnNcHitTest(POINT{static_cast<short>(LOWORD(lParam)),             \
                                                   static_cast<short>(HIWORD(lParam))}))},
#define ON_WM_NCLBUTTONDBLCLK()                                                                    \
    {WM_NCLBUTTONDBLCLK, 0, 0, 0,                                                                  \
     AFX_THUNK(pThis->OnNcLButtonDblClk(                                                           \
         static_cast<UINT>(wParam),                                                                \
         POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))}))},
// The point of this one is in client coordinates.
#define ON_WM_LBUTTONDOWN()                                                                        \
    {WM_LBUTTONDOWN, 0, 0, 0,                                                                      \
     AFX_THUNK(pThis->OnLButtonDown(                                                               \
         static_cast<UINT>(wParam),                                                                \
         POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))}))},
