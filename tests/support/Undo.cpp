#include "Undo.h"

#include <algorithm>

namespace {

void ReadTree(HKEY hRoot, const std::wstring& path, const std::wstring& relative,
              std::vector<RegEntry>& tree)
{
    HKEY hKey = nullptr;
    if (::RegOpenKeyExW(hRoot, path.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS) return;
    tree.push_back({relative, L"", kRegKey, ""});
    DWORD cchMaxKey = 0, cchMaxName = 0, cbMaxData = 0;
    ::RegQueryInfoKeyW(hKey, nullptr, nullptr, nullptr, nullptr, &cchMaxKey, nullptr, nullptr,
                       &cchMaxName, &cbMaxData, nullptr, nullptr);
    std::vector<WCHAR> name(std::max(cchMaxKey, cchMaxName) + 1);
    std::vector<BYTE> data(cbMaxData + 1);
    for (DWORD i = 0;; i++) {
        DWORD cchName = static_cast<DWORD>(name.size()), cb = static_cast<DWORD>(data.size()),
              dwType = 0;
        if (::RegEnumValueW(hKey, i, name.data(), &cchName, nullptr, &dwType, data.data(), &cb))
            break;
        tree.push_back({relative, std::wstring(name.data(), cchName), dwType,
                        std::string(reinterpret_cast<char*>(data.data()), cb)});
    }
    std::vector<std::wstring> subkeys;
    for (DWORD i = 0;; i++) {
        DWORD cchName = static_cast<DWORD>(name.size());
        if (::RegEnumKeyExW(hKey, i, name.data(), &cchName, nullptr, nullptr, nullptr, nullptr))
            break;
        subkeys.emplace_back(name.data(), cchName);
    }
    ::RegCloseKey(hKey);
    for (const std::wstring& sub : subkeys)
        ReadTree(hRoot, path + L"\\" + sub, relative + L"\\" + sub, tree);
}

void WriteRaw(const std::wstring& path, const std::string& bytes)
{
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD cb = 0;
    ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &cb, nullptr);
    ::CloseHandle(h);
}

} // namespace

std::vector<RegEntry> ReadRegistryTree(HKEY hRoot, const std::wstring& path)
{
    std::vector<RegEntry> tree;
    ReadTree(hRoot, path, L"", tree);
    return tree;
}

std::string Bytes(const std::wstring& str, bool bTerminated)
{
    return std::string(reinterpret_cast<const char*>(str.c_str()),
                       (str.size() + (bTerminated ? 1 : 0)) * sizeof(WCHAR));
}

std::string Dword(DWORD dw)
{
    return std::string(reinterpret_cast<const char*>(&dw), 4);
}

std::string ReadAll(const std::wstring& path)
{
    std::string bytes;
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                             nullptr);
    if (h == INVALID_HANDLE_VALUE) return bytes;
    char chunk[65536];
    DWORD cb = 0;
    while (::ReadFile(h, chunk, sizeof(chunk), &cb, nullptr) && cb)
        bytes.append(chunk, cb);
    ::CloseHandle(h);
    return bytes;
}

CUndo::~CUndo()
{
    for (auto it = m_steps.rbegin(); it != m_steps.rend(); ++it)
        (*it)();
}

void CUndo::Key(HKEY hRoot, const std::wstring& path)
{
    const std::vector<RegEntry> tree = ReadRegistryTree(hRoot, path);
    Then([=] {
        ::RegDeleteTreeW(hRoot, path.c_str());
        ::RegDeleteKeyW(hRoot, path.c_str());
        for (const RegEntry& e : tree) {
            HKEY hKey = nullptr;
            if (::RegCreateKeyExW(hRoot, (path + e.path).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                  &hKey, nullptr) != ERROR_SUCCESS)
                continue;
            if (e.type != kRegKey)
                ::RegSetValueExW(hKey, e.name.c_str(), 0, e.type,
                                 reinterpret_cast<const BYTE*>(e.data.data()),
                                 static_cast<DWORD>(e.data.size()));
            ::RegCloseKey(hKey);
        }
    });
}

void CUndo::Value(HKEY hRoot, const std::wstring& key, const std::wstring& name)
{
    DWORD dwType = 0, cb = 0;
    std::string data;
    bool bExists = false;
    HKEY hKey = nullptr;
    if (::RegOpenKeyExW(hRoot, key.c_str(), 0, KEY_READ, &hKey) == ERROR_SUCCESS) {
        bExists = ::RegQueryValueExW(hKey, name.c_str(), nullptr, &dwType, nullptr, &cb) == 0;
        data.resize(cb);
        if (bExists)
            ::RegQueryValueExW(hKey, name.c_str(), nullptr, &dwType,
                               reinterpret_cast<BYTE*>(&data[0]), &cb);
        ::RegCloseKey(hKey);
    }
    Then([=] {
        if (bExists)
            ::RegSetKeyValueW(hRoot, key.c_str(), name.c_str(), dwType, data.data(),
                              static_cast<DWORD>(data.size()));
        else
            ::RegDeleteKeyValueW(hRoot, key.c_str(), name.c_str());
    });
}

void CUndo::File(const std::wstring& path)
{
    const DWORD dwAttributes = ::GetFileAttributesW(path.c_str());
    const bool bFile =
        dwAttributes != INVALID_FILE_ATTRIBUTES && !(dwAttributes & FILE_ATTRIBUTE_DIRECTORY);
    const std::string bytes = bFile ? ReadAll(path) : std::string();
    Then([=] {
        if (::GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY)
            ::RemoveDirectoryW(path.c_str());
        else
            ::DeleteFileW(path.c_str());
        if (bFile) WriteRaw(path, bytes);
    });
}

void CUndo::SetValue(HKEY hRoot, const std::wstring& key, const std::wstring& name, DWORD dwType,
                     const std::string& data)
{
    Value(hRoot, key, name);
    HKEY hKey = nullptr;
    ::RegCreateKeyExW(hRoot, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &hKey, nullptr);
    ::RegSetValueExW(hKey, name.c_str(), 0, dwType, reinterpret_cast<const BYTE*>(data.data()),
                     static_cast<DWORD>(data.size()));
    ::RegCloseKey(hKey);
}

void CUndo::SetDword(HKEY hRoot, const std::wstring& key, const std::wstring& name, DWORD dw)
{
    SetValue(hRoot, key, name, REG_DWORD, Dword(dw));
}

void CUndo::SetDefault(HKEY hRoot, const std::wstring& key, const std::wstring& text)
{
    Key(hRoot, key);
    SetValue(hRoot, key, L"", REG_SZ, Bytes(text));
}

void CUndo::DeleteKey(HKEY hRoot, const std::wstring& key)
{
    Key(hRoot, key);
    ::RegDeleteTreeW(hRoot, key.c_str());
    ::RegDeleteKeyW(hRoot, key.c_str());
}

void CUndo::WriteFile(const std::wstring& path, const std::string& bytes)
{
    File(path);
    ::DeleteFileW(path.c_str());
    WriteRaw(path, bytes);
}

void CUndo::Hide(const std::wstring& path)
{
    const std::wstring hidden = path + L".hidden";
    if (::MoveFileW(path.c_str(), hidden.c_str()))
        Then([=] { ::MoveFileW(hidden.c_str(), path.c_str()); });
}
