// CException and COleException: what the framework's code throws. Window procedures catch them,
// so none crosses into the system.
#pragma once

#include "framework/Object.h"

class CException : public CObject
{
};

class COleException : public CException
{
public:
    explicit COleException(SCODE sc) : m_sc(sc) {}
    SCODE m_sc;
};

[[noreturn]] inline void AfxThrowOleException(SCODE sc)
{
    throw COleException(sc);
}
