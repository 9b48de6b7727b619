// Schemes carried to and from a file: every stored scheme but the maker's, with each button's name,
// assignment title, target and lock, by button id. The file is UTF-8 text, a record a line, its
// fields separated by tabs:
//   Kivora Button Schemes<TAB>1
//   scheme<TAB><name as the user sees it>
//   button<TAB><id><TAB><name><TAB><title><TAB><target><TAB><lock>
//   end<TAB><number of schemes>
// Within a field "\" is written "\\", a tab "\t", a carriage return "\r" and a line feed "\n".
#pragma once

#include "framework/Afx.h"

#include <string>
#include <vector>

struct SchemeButton
{
    CString id, name, title, target, lock;
};

struct SchemeRecord
{
    CString name; // as the user sees it: "]" where the store keeps "00000000"
    std::vector<SchemeButton> buttons;
};

// What a file holds at most.
inline constexpr size_t kMaxSchemeFileBytes = 16u << 20;
inline constexpr size_t kMaxFileSchemes = 1000;

std::string FormatSchemeFile(const std::vector<SchemeRecord>& schemes);

enum SchemeFileProblem {
    kSchemeFileRead,    // well formed, every name storable
    kSchemeFileBroken,  // empty, cut short, not UTF-8, unknown records or fields, too large
    kSchemeNameRefused, // a name the store cannot keep, the maker's included
    kSchemeNameTwice,   // two schemes of one name (the store ignores case)
};
// strName receives the name a refusal is about.
SchemeFileProblem ParseSchemeFile(const std::string& bytes, std::vector<SchemeRecord>& schemes,
                                  CString& strName);

// Every stored scheme but the maker's, read through the configuration service for each button of
// the keyboard; the service's current scheme is left as it was.
std::vector<SchemeRecord> CollectSchemes();
// The names of the schemes that are stored already.
std::vector<CString> StoredAmong(const std::vector<SchemeRecord>& schemes);

struct SchemeImport
{
    int nSchemes = 0; // stored
    int nSkipped = 0; // button settings of ids this keyboard does not have
};
// Stores the schemes through the configuration service; those already stored are written afresh
// when bReplace is set and left alone otherwise. The current scheme stays as it was.
SchemeImport StoreSchemes(const std::vector<SchemeRecord>& schemes, BOOL bReplace);

// The file's bytes; false when it cannot be read or is larger than a schemes file can be.
bool ReadSchemeFile(LPCWSTR lpszPath, std::string& bytes);
// Writes the bytes beside the path first and then puts them under its name, so that a failed
// write leaves no partial file under it.
bool WriteSchemeFile(LPCWSTR lpszPath, const std::string& bytes);
