// The scheme operations that need no dialog state, and the rules between the names the user sees
// and the names the service stores.
#pragma once

#include "framework/Afx.h"
#include "res/Vocabulary.h"

// The stored names, in stored order: every "," ends an entry (kept even when empty); what follows
// the last "," is dropped.
void ReadSchemeList(CStringList& rList);
CString ReadCurrentScheme();
// Nothing happens for an empty name.
void SelectCurrentScheme(const CString& strScheme);

// "]" is stored as "00000000", and the maker's display name (any case) as "QUELDA".
CString StoredSchemeName(CString strName, const CString& strMakerText);
// "QUELDA" (any case) is shown as the maker's display name, and "00000000" as "]".
CString ShownSchemeName(CString strStored, const CString& strMakerText);
