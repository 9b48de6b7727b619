#include "dialog/AssignmentMenu.h"

namespace {

// The label each predefined command assigns, by command from ID_ASSIGN_INFORMATION on; 0 for
// "Browse...", which picks a file instead.
const UINT kAssignLabels[] = {IDS_INFORMATION_URL,
                              IDS_HOME_URL,
                              IDS_SEARCH_URL,
                              IDS_LAUNCH_EMAIL,
                              IDS_COMMUNITY_URL,
                              IDS_MARKET_MONITOR_URL,
                              IDS_MEETING_CENTER_URL,
                              IDS_NEWS_URL,
                              0,
                              IDS_VOLUME_UP,
                              IDS_VOLUME_DOWN,
                              IDS_MUTE,
                              IDS_HELP,
                              IDS_SMART_CARD,
                              IDS_MEDIA,
                              IDS_Q,
                              IDS_SHOPPING_CART,
                              CButtonLabels::IDS_COMMUNITY_VARIANT};

// The menu's items by position in its two layouts: command and label.
struct MenuItem
{
    UINT nCommand, nLabel;
};
const MenuItem kStandardLayout[] = {{ID_ASSIGN_INFORMATION, IDS_INFORMATION_URL},
                                    {ID_ASSIGN_HOME, IDS_HOME_URL},
                                    {ID_ASSIGN_SEARCH, IDS_SEARCH_URL},
                                    {ID_ASSIGN_MAIL, IDS_LAUNCH_EMAIL},
                                    {ID_ASSIGN_COMMUNITY_URL, IDS_COMMUNITY_URL},
                                    {ID_ASSIGN_MARKET, IDS_MARKET_MONITOR_URL},
                                    {ID_ASSIGN_MEETING, IDS_MEETING_CENTER_URL},
                                    {ID_ASSIGN_NEWS, IDS_NEWS_URL},
                                    {ID_ASSIGN_VOLUME_UP, IDS_VOLUME_UP},
                                    {ID_ASSIGN_VOLUME_DOWN, IDS_VOLUME_DOWN},
                                    {ID_ASSIGN_MUTE, IDS_MUTE}};
const MenuItem kHelpLayout[] = {{ID_ASSIGN_INFORMATION, IDS_INFORMATION_URL},
                                {ID_ASSIGN_HELP, IDS_HELP},
                                {ID_ASSIGN_SEARCH, IDS_SEARCH_URL},
                                {ID_ASSIGN_MAIL, IDS_LAUNCH_EMAIL},
                                {ID_ASSIGN_SMART_CARD, IDS_SMART_CARD},
                                {ID_ASSIGN_MEDIA, IDS_MEDIA},
                                {ID_ASSIGN_Q, IDS_Q},
                                {ID_ASSIGN_SHOPPING_CART, IDS_SHOPPING_CART},
                                {ID_ASSIGN_VOLUME_UP, IDS_VOLUME_UP},
                                {ID_ASSIGN_VOLUME_DOWN, IDS_VOLUME_DOWN},
                                {ID_ASSIGN_MUTE, IDS_MUTE}};
const MenuItem kCommunityItem = {ID_ASSIGN_COMMUNITY, CButtonLabels::IDS_COMMUNITY_VARIANT};

} // namespace

void PrepareAssignmentMenu(HMENU hPopup, const CButtonLayout& layout, const CButtonLabels& labels,
                           const COsVersion& osVersion)
{
    UINT nCommands[kMenuAssignments];
    for (int n = 0; n < kMenuAssignments; n++)
        nCommands[n] = ::GetMenuItemID(hPopup, n);
    const UINT nBrowse = ::GetMenuItemID(hPopup, kMenuAssignments + 1);
    const MenuItem* pLayout = layout.m_bHelpLayout ? kHelpLayout : kStandardLayout;
    for (int n = 0; n < kMenuAssignments; n++) {
        MenuItem item = pLayout[n];
        if (n == 4 && layout.m_bHelpLayout && layout.m_bCommunityLayout) item = kCommunityItem;
        ::ModifyMenuW(hPopup, nCommands[n], MF_BYCOMMAND | MF_STRING, item.nCommand,
                      labels.Get(item.nLabel));
    }
    // The volume functions need Windows Me, 2000 or later.
    if (osVersion.IsWin9xBeforeMe() || osVersion.IsNtBefore2000())
        for (UINT nID : {ID_ASSIGN_VOLUME_UP, ID_ASSIGN_VOLUME_DOWN, ID_ASSIGN_MUTE})
            ::DeleteMenu(hPopup, nID, MF_BYCOMMAND);
    CString strBrowse;
    strBrowse.LoadString(IDS_BROWSE);
    ::ModifyMenuW(hPopup, nBrowse, MF_BYCOMMAND | MF_STRING, ID_ASSIGN_BROWSE, strBrowse);
}

UINT AssignmentLabel(UINT nCommand)
{
    return kAssignLabels[nCommand - ID_ASSIGN_INFORMATION];
}
