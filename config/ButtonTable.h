// The button table: the fixed roles of positions 0 to 10, their display labels, and the rules
// that turn stored values into labels and menu choices into targets.
#pragma once

#include "config/ButtonConfig.h"
#include "config/ButtonSetting.h"
#include "framework/Afx.h"
#include "res/Vocabulary.h"

// Equal once both are upper-cased: how names, markers, labels and scheme names are compared.
bool EqualNoCase(CString a, CString b);

// The service's button list: each comma ends an id, and what follows the last one is one more,
// even when empty.
void SplitButtonList(const CString& strList, CStringArray& ids);

// One set of settings (current, previous or default): the four strings of each position.
struct CButtonSet
{
    CString m_strButtonName[kMaxButtons];
    CString m_strAssignTitle[kMaxButtons];
    CString m_strTarget[kMaxButtons];
    CString m_strLockState[kMaxButtons];

    // Position nPos takes the four fields of the setting.
    void SetAt(int nPos, const ButtonSetting& setting);
    // Position nPos takes the four fields as the service gives them: name, title, target, lock.
    void ReadAt(int nPos, CButtonConfig& config);
    // And the other way, in the same order.
    void WriteAt(int nPos, CButtonConfig& config) const;
    // The first nCount positions take those of the other set.
    void CopyFrom(const CButtonSet& from, int nCount);
};

// The display labels, loaded from the string table when the dialog starts. The variant labels
// are copies of their own with a built-in text for a string table that lacks them.
class CButtonLabels
{
public:
    enum { IDS_COMMUNITY_VARIANT = 0x10000 + 125 }; // the second copy of string 125

    // hInstance: the module with the string table; null for the program's own.
    void Load(HINSTANCE hInstance = nullptr);
    // The label of a string id; the variant ids 10043-10046 give their variant copies.
    const CString& Get(UINT nID) const;

private:
    struct Entry
    {
        UINT nID;
        CString str;
    };
    Entry m_entries[28];
};

// The flags the relabelling turns on and nothing turns off.
struct CButtonLayout
{
    BOOL m_bHelpLayout = FALSE;      // position 1 is a "Help" button
    BOOL m_bCommunityLayout = FALSE; // position 4 is named "Community"
};

// Position by position: each stored name and default marker of positions 0 to 10 becomes its
// label.
void RelabelDefaultSet(CButtonSet& set, const CButtonLabels& labels, CButtonLayout& layout);

// Value by value, for the positions in use: names and titles become labels; a default marker also
// takes the default target of the position it names; empty values come from the default set.
void RelabelCurrentSet(CButtonSet& set, int nCount, const CButtonSet& defaults,
                       const CButtonLabels& labels, CButtonLayout& layout);

// A label picked in the assignment menu for position nPos: it becomes the title, and the target
// follows the label (unchanged for a label of no known kind).
void ApplyMenuChoice(CButtonSet& set, int nPos, const CString& strLabel, const CButtonSet& defaults,
                     const CButtonLabels& labels);
