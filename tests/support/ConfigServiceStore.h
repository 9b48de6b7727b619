// The configuration service stand-in's store, emptied and seeded for a test and emptied again
// afterwards. With defaults of the test's own, the stand-in seeds from those, and the installed
// defaults file is put back when the object goes.
#pragma once

#include "Undo.h"

#include <windows.h>

#include <string>

class CConfigServiceStore
{
public:
    explicit CConfigServiceStore(const char* pszDefaults = nullptr);
    ~CConfigServiceStore();
    CConfigServiceStore(const CConfigServiceStore&) = delete;
    CConfigServiceStore& operator=(const CConfigServiceStore&) = delete;

    // The registered DLL.
    static std::wstring ServicePath();
    // The stand-in's fault words ("log refuse", "null"...) until the object goes; the log starts
    // empty.
    void SetFaults(const std::wstring& words);
    // The calls the stand-in logged since, one a line; the log starts again.
    std::wstring TakeCalls();

private:
    CUndo m_undo;
};
