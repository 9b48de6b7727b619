#include "config/Schemes.h"
#include "config/ButtonConfig.h"
#include "config/ButtonTable.h"

namespace {

const WCHAR kBracket[] = L"]";
const WCHAR kStoredBracket[] = L"00000000";

} // namespace

void ReadSchemeList(CStringList& rList)
{
    CButtonConfig config;
    const CString strList = config.GetSchemeList();
    for (int nStart = 0, nComma; (nComma = strList.Find(L',', nStart)) >= 0; nStart = nComma + 1)
        rList.AddTail(strList.Mid(nStart, nComma - nStart));
}

CString ReadCurrentScheme()
{
    CButtonConfig config;
    return config.GetCurrentScheme();
}

void SelectCurrentScheme(const CString& strScheme)
{
    CButtonConfig config;
    config.SelectScheme(strScheme);
}

CString StoredSchemeName(CString strName, const CString& strMakerText)
{
    strName.Replace(kBracket, kStoredBracket);
    return EqualNoCase(strName, strMakerText) ? CString(kMakerScheme) : strName;
}

CString ShownSchemeName(CString strStored, const CString& strMakerText)
{
    if (EqualNoCase(strStored, kMakerScheme)) return strMakerText;
    strStored.Replace(kStoredBracket, kBracket);
    return strStored;
}
