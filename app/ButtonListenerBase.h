// CButtonListenerBase: a listener that subscribes to the button event server for the id its
// class gives, and unsubscribes when it goes.
#pragma once

#include "app/ButtonEventServer.h"
#include "app/ButtonEventTarget.h"

class CButtonEventSink;

class CButtonListenerBase : public CButtonEventTarget
{
public:
    ~CButtonListenerBase() override;

    virtual void BeforeRegister() {}
    virtual LONG GetButtonId() const = 0;

    CButtonEventSink* m_pSink = nullptr; // null when not subscribed

protected:
    CButtonListenerBase() = default;
    // Advises a sink and registers this program as a client for GetButtonId(); any failing step
    // leaves the listener unsubscribed.
    void Subscribe(IButtonEventServer* pServer);
};
