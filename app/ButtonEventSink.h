// CButtonEventSink: the COM object a listener advises to the server's connection point; it hands
// each notification to its owner.
#pragma once

#include "app/ButtonEventServer.h"

class CButtonListenerBase;

class CButtonEventSink : public IButtonEvents
{
public:
    CButtonEventSink() = default;
    CButtonEventSink(const CButtonEventSink&) = delete;
    CButtonEventSink& operator=(const CButtonEventSink&) = delete;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP OnNotify1(LONG lValue) override;
    STDMETHODIMP OnNotify2(LONG lValue) override;

    DWORD m_dwCookie = 0;
    CButtonListenerBase* m_pOwner = nullptr; // null once the owner is gone
    IButtonEventServer* m_pServer = nullptr; // one reference while subscribed

private:
    virtual ~CButtonEventSink() = default;

    LONG m_cRef = 0;
};
