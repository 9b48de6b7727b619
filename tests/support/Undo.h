// What a test changes in the registry and the file system, put back in reverse order when the
// object goes, also when an assertion ended the test early.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class CUndo
{
public:
    CUndo() = default;
    CUndo(const CUndo&) = delete;
    CUndo& operator=(const CUndo&) = delete;
    ~CUndo();

    // A whole key, put back as it was or deleted when there was none.
    void Key(HKEY hRoot, const std::wstring& path);
    // One value, put back as it was or deleted when there was none.
    void Value(HKEY hRoot, const std::wstring& key, const std::wstring& name);
    // A file, put back as it was or deleted when there was none (also when a folder took its name).
    void File(const std::wstring& path);
    void Then(std::function<void()> step) { m_steps.push_back(std::move(step)); }

    // The changes themselves, each undone with the object.
    void SetValue(HKEY hRoot, const std::wstring& key, const std::wstring& name, DWORD dwType,
                  const std::string& data);
    void SetDword(HKEY hRoot, const std::wstring& key, const std::wstring& name, DWORD dw);
    // A key's default text, the key made when there was none (and removed again).
    void SetDefault(HKEY hRoot, const std::wstring& key, const std::wstring& text);
    void DeleteKey(HKEY hRoot, const std::wstring& key);
    void WriteFile(const std::wstring& path, const std::string& bytes);
    // Moves a file or folder aside.
    void Hide(const std::wstring& path);

private:
    std::vector<std::function<void()>> m_steps;
};

// A key and everything below it, in enumeration order: each key (type kRegKey, no name) with its
// path below the root ("" for the root, "\\Settings\\101" below it), then its values as raw bytes.
struct RegEntry
{
    std::wstring path, name;
    DWORD type;
    std::string data;
};
const DWORD kRegKey = 0xFFFFFFFF;
std::vector<RegEntry> ReadRegistryTree(HKEY hRoot, const std::wstring& path);

// A text's bytes as the registry holds them, with or without the terminating null.
std::string Bytes(const std::wstring& str, bool bTerminated = true);
std::string Dword(DWORD dw);
std::string ReadAll(const std::wstring& path);
