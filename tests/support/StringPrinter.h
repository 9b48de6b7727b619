// Lets GoogleTest show a CString as text (UTF-8) when a check fails.
#pragma once

#include "framework/String.h"

#include <ostream>

inline void PrintTo(const CString& str, std::ostream* os)
{
    const int n =
        ::WideCharToMultiByte(CP_UTF8, 0, str, str.GetLength(), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(n), '\0');
    if (n > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, str, str.GetLength(), &utf8[0], n, nullptr, nullptr);
    *os << '"' << utf8 << '"';
}
