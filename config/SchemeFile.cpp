#include "config/SchemeFile.h"
#include "config/ButtonConfig.h"
#include "config/ButtonTable.h"
#include "config/Schemes.h"

namespace {

const WCHAR kHeader[] = L"Kivora Button Schemes";
const WCHAR kStoredBracket[] = L"00000000";

// The characters a field escapes, and the letter after "\\" that stands for each.
const WCHAR kEscaped[] = L"\\\t\r\n";
const WCHAR kEscapeLetters[] = L"\\trn";

void AppendField(std::wstring& line, LPCWSTR psz)
{
    line += L'\t';
    for (; *psz; psz++) {
        if (const WCHAR* pEscaped = wcschr(kEscaped, *psz)) {
            line += L'\\';
            line += kEscapeLetters[pEscaped - kEscaped];
        } else {
            line += *psz;
        }
    }
}

// The line's fields, their escapes undone; false for an escape the format does not have.
bool SplitFields(const std::wstring& line, std::vector<CString>& fields)
{
    fields.assign(1, CString());
    for (size_t i = 0; i < line.size(); i++) {
        const WCHAR ch = line[i];
        if (ch == L'\t') {
            fields.emplace_back();
        } else if (ch != L'\\') {
            fields.back() += ch;
        } else {
            const WCHAR next = i + 1 < line.size() ? line[++i] : L'\0';
            const WCHAR* pLetter = wcschr(kEscapeLetters, next);
            if (!next || !pLetter) return false;
            fields.back() += kEscaped[pLetter - kEscapeLetters];
        }
    }
    return true;
}

bool IsNumber(const CString& str, int nMaxDigits)
{
    if (str.IsEmpty() || str.GetLength() > nMaxDigits) return false;
    for (int i = 0; i < str.GetLength(); i++)
        if (str[i] < L'0' || str[i] > L'9') return false;
    return true;
}

bool Listed(const CStringList& names, const CString& strName)
{
    for (POSITION pos = names.GetHeadPosition(); pos;)
        if (EqualNoCase(names.GetNext(pos), strName)) return true;
    return false;
}

void ReadButtonIds(CStringArray& ids)
{
    CButtonConfig config;
    SplitButtonList(config.GetButtonList(), ids);
}

} // namespace

std::string FormatSchemeFile(const std::vector<SchemeRecord>& schemes)
{
    std::wstring text = std::wstring(kHeader) + L"\t1\r\n";
    for (const SchemeRecord& scheme : schemes) {
        text += L"scheme";
        AppendField(text, scheme.name);
        text += L"\r\n";
        for (const SchemeButton& b : scheme.buttons) {
            text += L"button";
            for (const CString* pField : {&b.id, &b.name, &b.title, &b.target, &b.lock})
                AppendField(text, *pField);
            text += L"\r\n";
        }
    }
    text += L"end\t" + std::to_wstring(schemes.size()) + L"\r\n";
    std::string utf8(text.size() * 3, '\0');
    utf8.resize(static_cast<size_t>(
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &utf8[0],
                              static_cast<int>(utf8.size()), nullptr, nullptr)));
    return utf8;
}

SchemeFileProblem ParseSchemeFile(const std::string& bytes, std::vector<SchemeRecord>& schemes,
                                  CString& strName)
{
    schemes.clear();
    if (bytes.empty() || bytes.size() > kMaxSchemeFileBytes) return kSchemeFileBroken;
    size_t nStart = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    const int cb = static_cast<int>(bytes.size() - nStart);
    std::wstring text(bytes.size(), L'\0');
    const int cch = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data() + nStart, cb,
                                          &text[0], static_cast<int>(text.size()));
    if (cch <= 0) return kSchemeFileBroken;
    text.resize(static_cast<size_t>(cch));

    bool bEnded = false;
    std::vector<CString> fields;
    for (size_t nLine = 0, nEnd; (nStart = nLine) < text.size(); nLine = nEnd + 1) {
        nEnd = text.find(L'\n', nStart);
        if (nEnd == std::wstring::npos || bEnded) return kSchemeFileBroken; // cut short, or more
        size_t nStop = nEnd;
        if (nStop > nStart && text[nStop - 1] == L'\r') nStop--;
        if (!SplitFields(text.substr(nStart, nStop - nStart), fields)) return kSchemeFileBroken;
        const CString& kind = fields[0];
        if (nStart == 0) {
            if (fields.size() != 2 || kind != kHeader || fields[1] != L"1")
                return kSchemeFileBroken;
        } else if (kind == L"scheme" && fields.size() == 2) {
            if (schemes.size() == kMaxFileSchemes) return kSchemeFileBroken;
            schemes.emplace_back();
            schemes.back().name = fields[1];
        } else if (kind == L"button" && fields.size() == 6 && !schemes.empty() &&
                   IsNumber(fields[1], 9)) {
            schemes.back().buttons.push_back(
                {fields[1], fields[2], fields[3], fields[4], fields[5]});
        } else if (kind == L"end" && fields.size() == 2 && IsNumber(fields[1], 9) &&
                   static_cast<size_t>(_wtoi(fields[1])) == schemes.size()) {
            bEnded = true;
        } else {
            return kSchemeFileBroken;
        }
    }
    if (!bEnded) return kSchemeFileBroken;

    CStringList seen;
    for (const SchemeRecord& scheme : schemes) {
        strName = scheme.name;
        // "," separates the stored names and "00000000" reads back as "]".
        if (scheme.name.IsEmpty() || scheme.name.Find(L',') >= 0 ||
            scheme.name.Find(kStoredBracket) >= 0 ||
            EqualNoCase(StoredSchemeName(scheme.name, kMakerSchemeShown), kMakerScheme))
            return kSchemeNameRefused;
        if (Listed(seen, scheme.name)) return kSchemeNameTwice;
        seen.AddTail(scheme.name);
    }
    strName.Empty();
    return kSchemeFileRead;
}

std::vector<SchemeRecord> CollectSchemes()
{
    CStringList stored;
    ReadSchemeList(stored);
    CStringArray ids;
    ReadButtonIds(ids);
    const CString strCurrent = ReadCurrentScheme();
    std::vector<SchemeRecord> schemes;
    CButtonConfig config;
    for (POSITION pos = stored.GetHeadPosition(); pos;) {
        const CString& strStored = stored.GetNext(pos);
        if (strStored.IsEmpty() || EqualNoCase(strStored, kMakerScheme)) continue;
        schemes.push_back({ShownSchemeName(strStored, kMakerSchemeShown), {}});
        for (int i = 0; i < ids.GetSize(); i++) {
            config.SetButtonId(ids[i]);
            config.SelectScheme(strStored);
            schemes.back().buttons.push_back({ids[i], config.GetName(), config.GetTitle(),
                                              config.GetTarget(), config.GetLockState()});
        }
    }
    SelectCurrentScheme(strCurrent);
    return schemes;
}

std::vector<CString> StoredAmong(const std::vector<SchemeRecord>& schemes)
{
    CStringList stored;
    ReadSchemeList(stored);
    std::vector<CString> names;
    for (const SchemeRecord& scheme : schemes)
        if (Listed(stored, StoredSchemeName(scheme.name, kMakerSchemeShown)))
            names.push_back(scheme.name);
    return names;
}

SchemeImport StoreSchemes(const std::vector<SchemeRecord>& schemes, BOOL bReplace)
{
    CStringList stored;
    ReadSchemeList(stored);
    CStringArray ids;
    ReadButtonIds(ids);
    const CString strCurrent = ReadCurrentScheme();
    SchemeImport result;
    CButtonConfig config;
    for (const SchemeRecord& scheme : schemes) {
        const CString strStored = StoredSchemeName(scheme.name, kMakerSchemeShown);
        if (Listed(stored, strStored)) {
            if (!bReplace) continue;
            // Written afresh: its old settings go first.
            for (int i = 0; i < ids.GetSize(); i++) {
                config.SetButtonId(ids[i]);
                config.RemoveScheme(strStored);
            }
        }
        config.AddScheme(strStored);
        for (const SchemeButton& b : scheme.buttons) {
            bool bKnown = false;
            for (int i = 0; i < ids.GetSize() && !bKnown; i++)
                bKnown = ids[i] == b.id;
            if (!bKnown) {
                result.nSkipped++;
                continue;
            }
            config.SetButtonId(b.id);
            config.SelectScheme(strStored);
            config.SetName(b.name);
            config.SetTitle(b.title);
            config.SetTarget(b.target);
            config.SetLockState(b.lock);
        }
        result.nSchemes++;
    }
    SelectCurrentScheme(strCurrent);
    return result;
}

bool ReadSchemeFile(LPCWSTR lpszPath, std::string& bytes)
{
    bytes.clear();
    const HANDLE hFile = ::CreateFileW(lpszPath, GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size = {};
    bool bRead = ::GetFileSizeEx(hFile, &size) &&
                 static_cast<ULONGLONG>(size.QuadPart) <= kMaxSchemeFileBytes;
    if (bRead && size.QuadPart > 0) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD cbRead = 0;
        bRead = ::ReadFile(hFile, &bytes[0], static_cast<DWORD>(bytes.size()), &cbRead, nullptr) &&
                cbRead == bytes.size();
    }
    ::CloseHandle(hFile);
    return bRead;
}

bool WriteSchemeFile(LPCWSTR lpszPath, const std::string& bytes)
{
    CString strFolder = lpszPath;
    strFolder = strFolder.Left(strFolder.ReverseFind(L'\\') + 1);
    WCHAR szPartial[MAX_PATH] = {};
    if (strFolder.IsEmpty() || !::GetTempFileNameW(strFolder, L"kbs", 0, szPartial)) return false;
    const HANDLE hFile = ::CreateFileW(szPartial, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD cbWritten = 0;
    bool bWritten =
        hFile != INVALID_HANDLE_VALUE &&
        ::WriteFile(hFile, bytes.data(), static_cast<DWORD>(bytes.size()), &cbWritten, nullptr) &&
        cbWritten == bytes.size() && ::FlushFileBuffers(hFile);
    if (hFile != INVALID_HANDLE_VALUE) ::CloseHandle(hFile);
    bWritten = bWritten && ::MoveFileExW(szPartial, lpszPath,
                                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!bWritten) ::DeleteFileW(szPartial);
    return bWritten;
}
