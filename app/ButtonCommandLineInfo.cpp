#include "app/ButtonCommandLineInfo.h"
#include "app/ButtonConfigApp.h"

#include <stdlib.h>

// Called once for each parameter, after a leading "/" or "-" has been taken off.
void CButtonCommandLineInfo::ParseParam(const WCHAR* pszParam, BOOL bFlag, BOOL bLast)
{
    if (!pszParam || !*pszParam) return;
    const CString strParam(pszParam);
    if (strParam.Find(L"BUTTON=") < 0) {
        CCommandLineInfo::ParseParam(pszParam, bFlag, bLast);
        return;
    }
    // The number is what follows the first "=", wherever "BUTTON=" was found: "A=BUTTON=7" gives
    // 0 and changes nothing.
    const int nButton = _wtoi(strParam.Mid(strParam.Find(L'=') + 1));
    CWinApp* pApp = AfxGetApp();
    if (nButton != 0 && pApp && pApp->IsKindOf(RUNTIME_CLASS(CButtonConfigApp)))
        static_cast<CButtonConfigApp*>(pApp)->SetButton(nButton);
}
