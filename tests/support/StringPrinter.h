// Lets GoogleTest show a CString as text (UTF-8) when a check fails.
#pragma once

#include "Session.h"
#include "framework/String.h"

#include <ostream>

inline void PrintTo(const CString& str, std::ostream* os)
{
    *os << '"' << Utf8(str.GetString()) << '"';
}
