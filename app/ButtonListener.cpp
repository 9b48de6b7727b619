#include "app/ButtonListener.h"

CButtonListener::CButtonListener(IButtonEventServer* pServer, LONG nButtonId)
    : m_nButtonId(nButtonId)
{
    BeforeRegister();
    Subscribe(pServer);
}
