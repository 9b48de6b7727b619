#include "config/ButtonTable.h"
#include "res/resource.h"

namespace {

const UINT IDS_COMMUNITY_VARIANT = CButtonLabels::IDS_COMMUNITY_VARIANT;

// Every label, with the text used when the string table gives none (variants only).
const struct
{
    UINT nID;
    LPCWSTR pszFallback;
} kLabels[] = {
    {IDS_NAME_INFORMATION, nullptr},
    {IDS_NAME_HOME, nullptr},
    {IDS_NAME_SEARCH, nullptr},
    {IDS_NAME_MAIL, nullptr},
    {IDS_INFORMATION_URL, nullptr},
    {IDS_HOME_URL, nullptr},
    {IDS_SEARCH_URL, nullptr},
    {IDS_LAUNCH_EMAIL, nullptr},
    {IDS_COMMUNITY, nullptr},
    {IDS_NAME_MARKET_MONITOR, nullptr},
    {IDS_NAME_MEETING_CENTER, nullptr},
    {IDS_NAME_NEWS, nullptr},
    {IDS_COMMUNITY_URL, nullptr},
    {IDS_MARKET_MONITOR_URL, nullptr},
    {IDS_MEETING_CENTER_URL, nullptr},
    {IDS_NEWS_URL, nullptr},
    {IDS_VOLUME_UP, nullptr},
    {IDS_VOLUME_DOWN, nullptr},
    {IDS_MUTE, nullptr},
    {IDS_NAME_VOLUME_UP, nullptr},
    {IDS_NAME_VOLUME_DOWN, nullptr},
    {IDS_NAME_MUTE, nullptr},
    {IDS_HELP, nullptr},
    {IDS_SMART_CARD, L"Smart Card"},
    {IDS_COMMUNITY_VARIANT, L"Community"},
    {IDS_MEDIA, L"Media"},
    {IDS_Q, L"Q"},
    {IDS_SHOPPING_CART, L"Shopping Cart"},
};

// Default set, position by position: the stored values and their labels, first match wins.
struct Relabel
{
    LPCWSTR pszValue;
    UINT nLabel;
};
const struct
{
    Relabel names[2];
    Relabel titles[3];
} kDefaultRelabels[11] = {
    {{{L"Information", IDS_NAME_INFORMATION}}, {{L"InformationVal", IDS_INFORMATION_URL}}},
    {{{L"Home", IDS_NAME_HOME}, {L"Help", IDS_HELP}},
     {{L"HomeVal", IDS_HOME_URL}, {L"Help", IDS_HELP}}},
    {{{L"Search", IDS_NAME_SEARCH}}, {{L"SearchVal", IDS_SEARCH_URL}}},
    {{{L"Mail", IDS_NAME_MAIL}}, {{L"eMailVal", IDS_LAUNCH_EMAIL}}},
    {{{L"Smart Card", IDS_SMART_CARD}, {L"Community", IDS_COMMUNITY}},
     {{L"PeopleVal", IDS_COMMUNITY_URL},
      {L"Smart Card", IDS_SMART_CARD},
      {L"Community", IDS_COMMUNITY_VARIANT}}},
    {{{L"Market Monitor", IDS_NAME_MARKET_MONITOR}, {L"Media", IDS_MEDIA}},
     {{L"MarketVal", IDS_MARKET_MONITOR_URL}, {L"Media", IDS_MEDIA}}},
    {{{L"Meeting Center", IDS_NAME_MEETING_CENTER}, {L"Q", IDS_Q}},
     {{L"MeetingVal", IDS_MEETING_CENTER_URL}, {L"Q", IDS_Q}}},
    {{{L"News", IDS_NAME_NEWS}, {L"Shopping Cart", IDS_SHOPPING_CART}},
     {{L"NewsVal", IDS_NEWS_URL}, {L"Shopping Cart", IDS_SHOPPING_CART}}},
    {{{L"VolumeUp", IDS_NAME_VOLUME_UP}}, {{L"VolumeUpVal", IDS_VOLUME_UP}}},
    {{{L"VolumeDown", IDS_NAME_VOLUME_DOWN}}, {{L"VolumeDownVal", IDS_VOLUME_DOWN}}},
    {{{L"Mute", IDS_NAME_MUTE}}, {{L"MuteVal", IDS_MUTE}}},
};

// Current set, name pass: some rows test the title instead of the name.
const struct
{
    LPCWSTR pszValue;
    bool bOnTitle;
    UINT nLabel;
} kNameRelabels[] = {
    {L"Information", false, IDS_NAME_INFORMATION},
    {L"Home", false, IDS_NAME_HOME},
    {L"Help", true, IDS_HELP},
    {L"Search", false, IDS_NAME_SEARCH},
    {L"Mail", false, IDS_NAME_MAIL},
    {L"Smart Card", true, IDS_SMART_CARD},
    {L"Community", true, IDS_COMMUNITY},
    {L"Market Monitor", false, IDS_NAME_MARKET_MONITOR},
    {L"Media", true, IDS_MEDIA},
    {L"Meeting Center", false, IDS_NAME_MEETING_CENTER},
    {L"Q", true, IDS_Q},
    {L"News", false, IDS_NAME_NEWS},
    {L"Shopping Cart", true, IDS_SHOPPING_CART},
    {L"VolumeUp", false, IDS_NAME_VOLUME_UP},
    {L"VolumeDown", false, IDS_NAME_VOLUME_DOWN},
    {L"Mute", false, IDS_NAME_MUTE},
};

// Current set, title pass: the marker decides whose default target is taken, not the position.
const struct
{
    LPCWSTR pszValue;
    UINT nLabel;
    int nDefaultPos;
} kTitleRelabels[] = {
    {L"InformationVal", IDS_INFORMATION_URL, 0},
    {L"HomeVal", IDS_HOME_URL, 1},
    {L"Help", IDS_HELP, 1},
    {L"SearchVal", IDS_SEARCH_URL, 2},
    {L"eMailVal", IDS_LAUNCH_EMAIL, 3},
    {L"PeopleVal", IDS_COMMUNITY_URL, 4},
    {L"Smart Card", IDS_SMART_CARD, 4},
    {L"Community", IDS_COMMUNITY_VARIANT, 4},
    {L"MarketVal", IDS_MARKET_MONITOR_URL, 5},
    {L"Media", IDS_MEDIA, 5},
    {L"MeetingVal", IDS_MEETING_CENTER_URL, 6},
    {L"Q", IDS_Q, 6},
    {L"NewsVal", IDS_NEWS_URL, 7},
    {L"Shopping Cart", IDS_SHOPPING_CART, 7},
    {L"VolumeUpVal", IDS_VOLUME_UP, 8},
    {L"VolumeDownVal", IDS_VOLUME_DOWN, 9},
    {L"MuteVal", IDS_MUTE, 10},
};

// Menu labels and their targets: a default position, or a fixed target when nDefaultPos is -1.
const struct
{
    UINT nLabel;
    int nDefaultPos;
    LPCWSTR pszTarget;
} kMenuChoices[] = {
    {IDS_INFORMATION_URL, 0, nullptr},
    {IDS_HOME_URL, 1, nullptr},
    {IDS_HELP, 1, nullptr},
    {IDS_SEARCH_URL, 2, nullptr},
    {IDS_LAUNCH_EMAIL, -1, kTargetMail},
    {IDS_COMMUNITY_URL, 4, nullptr},
    {IDS_SMART_CARD, 4, nullptr},
    {IDS_COMMUNITY_VARIANT, 4, nullptr},
    {IDS_MARKET_MONITOR_URL, 5, nullptr},
    {IDS_MEDIA, 5, nullptr},
    {IDS_MEETING_CENTER_URL, 6, nullptr},
    {IDS_Q, 6, nullptr},
    {IDS_NEWS_URL, 7, nullptr},
    {IDS_SHOPPING_CART, 7, nullptr},
    {IDS_VOLUME_UP, -1, kTargetVolumeUp},
    {IDS_VOLUME_DOWN, -1, kTargetVolumeDown},
    {IDS_MUTE, -1, kTargetVolumeMute},
};

} // namespace

bool EqualNoCase(CString a, CString b)
{
    return a.MakeUpper() == b.MakeUpper();
}

void CButtonLabels::Load(HINSTANCE hInstance)
{
    if (!hInstance) hInstance = ::GetModuleHandleW(nullptr);
    static_assert(ARRAYSIZE(kLabels) == ARRAYSIZE(m_entries), "one entry per label");
    for (size_t i = 0; i < ARRAYSIZE(kLabels); i++) {
        Entry& entry = m_entries[i];
        entry.nID = kLabels[i].nID;
        entry.str.LoadString(hInstance, entry.nID & 0xFFFF);
        if (entry.str.IsEmpty() && kLabels[i].pszFallback) entry.str = kLabels[i].pszFallback;
    }
}

const CString& CButtonLabels::Get(UINT nID) const
{
    for (const Entry& entry : m_entries)
        if (entry.nID == nID) return entry.str;
    static const CString strNone;
    return strNone;
}

void RelabelDefaultSet(CButtonSet& set, const CButtonLabels& labels, CButtonLayout& layout)
{
    for (int p = 0; p < static_cast<int>(ARRAYSIZE(kDefaultRelabels)); p++) {
        for (const Relabel& r : kDefaultRelabels[p].names) {
            if (!r.pszValue || !EqualNoCase(set.m_strButtonName[p], r.pszValue)) continue;
            set.m_strButtonName[p] = labels.Get(r.nLabel);
            // Only position 1 can be named "Help" and only position 4 "Community".
            if (r.nLabel == IDS_HELP) layout.m_bHelpLayout = TRUE;
            if (r.nLabel == IDS_COMMUNITY) layout.m_bCommunityLayout = TRUE;
            break;
        }
        for (const Relabel& r : kDefaultRelabels[p].titles) {
            if (!r.pszValue || !EqualNoCase(set.m_strAssignTitle[p], r.pszValue)) continue;
            set.m_strAssignTitle[p] = labels.Get(r.nLabel);
            break;
        }
    }
}

void RelabelCurrentSet(CButtonSet& set, int nCount, const CButtonSet& defaults,
                       const CButtonLabels& labels, CButtonLayout& layout)
{
    if (nCount > kMaxButtons) nCount = kMaxButtons;
    for (int p = 0; p < nCount; p++) {
        bool bMatched = false;
        for (const auto& r : kNameRelabels) {
            const CString& strTested =
                r.bOnTitle ? set.m_strAssignTitle[p] : set.m_strButtonName[p];
            if (!EqualNoCase(strTested, r.pszValue)) continue;
            set.m_strButtonName[p] = labels.Get(r.nLabel);
            if (r.nLabel == IDS_HELP) layout.m_bHelpLayout = TRUE;
            bMatched = true;
            break;
        }
        if (!bMatched && set.m_strButtonName[p].IsEmpty())
            set.m_strButtonName[p] = defaults.m_strButtonName[p];

        bMatched = false;
        for (const auto& r : kTitleRelabels) {
            if (!EqualNoCase(set.m_strAssignTitle[p], r.pszValue)) continue;
            set.m_strAssignTitle[p] = labels.Get(r.nLabel);
            set.m_strTarget[p] = defaults.m_strTarget[r.nDefaultPos];
            bMatched = true;
            break;
        }
        if (!bMatched && set.m_strAssignTitle[p].IsEmpty()) {
            set.m_strAssignTitle[p] = defaults.m_strAssignTitle[p];
            set.m_strTarget[p] = defaults.m_strTarget[p];
        }
    }
}

void ApplyMenuChoice(CButtonSet& set, int nPos, const CString& strLabel, const CButtonSet& defaults,
                     const CButtonLabels& labels)
{
    if (nPos < 0 || nPos >= kMaxButtons) return;
    set.m_strAssignTitle[nPos] = strLabel;
    for (const auto& c : kMenuChoices) {
        if (!EqualNoCase(strLabel, labels.Get(c.nLabel))) continue;
        set.m_strTarget[nPos] =
            c.nDefaultPos >= 0 ? defaults.m_strTarget[c.nDefaultPos] : CString(c.pszTarget);
        return;
    }
}

void SplitButtonList(const CString& strList, CStringArray& ids)
{
    int nStart = 0;
    for (int nComma; (nComma = strList.Find(L',', nStart)) >= 0; nStart = nComma + 1)
        ids.Add(strList.Mid(nStart, nComma - nStart));
    ids.Add(strList.Mid(nStart));
}

void CButtonSet::SetAt(int nPos, const ButtonSetting& setting)
{
    m_strButtonName[nPos] = setting.name;
    m_strAssignTitle[nPos] = setting.title;
    m_strTarget[nPos] = setting.target;
    m_strLockState[nPos] = setting.lock;
}

void CButtonSet::ReadAt(int nPos, CButtonConfig& config)
{
    m_strButtonName[nPos] = config.GetName();
    m_strAssignTitle[nPos] = config.GetTitle();
    m_strTarget[nPos] = config.GetTarget();
    m_strLockState[nPos] = config.GetLockState();
}

void CButtonSet::WriteAt(int nPos, CButtonConfig& config) const
{
    config.SetName(m_strButtonName[nPos]);
    config.SetTitle(m_strAssignTitle[nPos]);
    config.SetTarget(m_strTarget[nPos]);
    config.SetLockState(m_strLockState[nPos]);
}

void CButtonSet::CopyFrom(const CButtonSet& from, int nCount)
{
    for (int i = 0; i < nCount && i < kMaxButtons; i++) {
        m_strButtonName[i] = from.m_strButtonName[i];
        m_strAssignTitle[i] = from.m_strAssignTitle[i];
        m_strTarget[i] = from.m_strTarget[i];
        m_strLockState[i] = from.m_strLockState[i];
    }
}
