// The scheme names the configuration service stores, in its order, as the program reads them.
#pragma once

#include "config/Schemes.h"

#include <vector>

inline std::vector<CString> StoredSchemes()
{
    CStringList list;
    ReadSchemeList(list);
    std::vector<CString> names;
    for (POSITION pos = list.GetHeadPosition(); pos;)
        names.push_back(list.GetNext(pos));
    return names;
}
