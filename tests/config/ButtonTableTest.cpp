#include "ConfigServiceStore.h"
#include "StringPrinter.h"
#include "config/ButtonTable.h"
#include "res/resource.h"

#include <gtest/gtest.h>

namespace {

// The default scheme as the maker ships it, with both variants.
CButtonSet MakerDefaults()
{
    const LPCWSTR names[] = {L"Information", L"Help",       L"Search",         L"Mail",
                             L"Community",   L"Media",      L"Meeting Center", L"Shopping Cart",
                             L"VolumeUp",    L"VolumeDown", L"Mute",           L"Eleven"};
    const LPCWSTR titles[] = {L"informationval", L"HomeVal",       L"SearchVal",  L"eMailVal",
                              L"PeopleVal",      L"Media",         L"MeetingVal", L"NewsVal",
                              L"VolumeUpVal",    L"VolumeDownVal", L"MuteVal",    L"MuteVal"};
    CButtonSet set;
    for (int p = 0; p < kMaxButtons; p++) {
        set.m_strButtonName[p] = names[p];
        set.m_strAssignTitle[p] = titles[p];
        set.m_strTarget[p].Format(L"http://default%d.example/", p);
    }
    return set;
}

class ButtonTableTest : public ::testing::Test
{
protected:
    void SetUp() override { m_labels.Load(); }
    CButtonLabels m_labels;
};

} // namespace

TEST_F(ButtonTableTest, DefaultSetTakesTheLabelsOfEachPosition)
{
    CButtonSet set = MakerDefaults();
    set.m_strAssignTitle[2] = L"HomeVal"; // another position's marker stays
    CButtonLayout layout;
    RelabelDefaultSet(set, m_labels, layout);
    const LPCWSTR names[] = {L"Information", L"Help",        L"Search",         L"eMail",
                             L"Community",   L"Media",       L"Meeting Center", L"Shopping Cart",
                             L"VolumeUp",    L"Volume Down", L"Mute",           L"Eleven"};
    const LPCWSTR titles[] = {L"Information URL",    L"Home URL",      L"HomeVal",
                              L"Launch eMail",       L"Community URL", L"Media",
                              L"Meeting Center URL", L"News URL",      L"Volume Up",
                              L"Volume Down",        L"Mute",          L"MuteVal"};
    for (int p = 0; p < kMaxButtons; p++) {
        EXPECT_EQ(set.m_strButtonName[p], names[p]) << p;
        EXPECT_EQ(set.m_strAssignTitle[p], titles[p]) << p;
    }
    EXPECT_TRUE(layout.m_bHelpLayout);
    EXPECT_TRUE(layout.m_bCommunityLayout);

    CButtonSet smartCard = MakerDefaults();
    smartCard.m_strButtonName[1] = L"Home";
    smartCard.m_strButtonName[4] = L"smart card";
    CButtonLayout plain;
    RelabelDefaultSet(smartCard, m_labels, plain);
    EXPECT_EQ(smartCard.m_strButtonName[4], L"Smart Card");
    EXPECT_FALSE(plain.m_bHelpLayout);
    EXPECT_FALSE(plain.m_bCommunityLayout);
}

// Each marker, whatever its case and wherever it stands, gives its label (some names are told by
// the title) and a title its marker's default target.
TEST_F(ButtonTableTest, CurrentSetFollowsTheValuesNotThePositions)
{
    const CButtonSet defaults = MakerDefaults();
    const struct
    {
        LPCWSTR pszName, pszTitle, pszNewName, pszNewTitle;
        int nTarget;
    } cases[] = {
        {L"INFORMATION", L"INFORMATIONVAL", L"Information", L"Information URL", 0},
        {L"HOME", L"HOMEVAL", L"Home", L"Home URL", 1},
        {L"x", L"HELP", L"Help", L"Help", 1},
        {L"SEARCH", L"SEARCHVAL", L"Search", L"Search URL", 2},
        {L"MAIL", L"EMAILVAL", L"eMail", L"Launch eMail", 3},
        {L"x", L"PEOPLEVAL", L"x", L"Community URL", 4},
        {L"x", L"SMART CARD", L"Smart Card", L"Smart Card", 4},
        {L"x", L"COMMUNITY", L"Community", L"Community", 4},
        {L"MARKET MONITOR", L"MARKETVAL", L"Market Monitor", L"Market Monitor URL", 5},
        {L"x", L"MEDIA", L"Media", L"Media", 5},
        {L"MEETING CENTER", L"MEETINGVAL", L"Meeting Center", L"Meeting Center URL", 6},
        {L"x", L"q", L"Q", L"Q", 6},
        {L"NEWS", L"NEWSVAL", L"News", L"News URL", 7},
        {L"x", L"SHOPPING CART", L"Shopping Cart", L"Shopping Cart", 7},
        {L"VOLUMEUP", L"VOLUMEUPVAL", L"VolumeUp", L"Volume Up", 8},
        {L"VOLUMEDOWN", L"VOLUMEDOWNVAL", L"Volume Down", L"Volume Down", 9},
        {L"MUTE", L"MUTEVAL", L"Mute", L"Mute", 10},
    };
    for (const auto& c : cases) {
        CButtonSet set;
        set.m_strButtonName[3] = c.pszName;
        set.m_strAssignTitle[3] = c.pszTitle;
        set.m_strTarget[3] = L"old";
        CButtonLayout layout;
        RelabelCurrentSet(set, 4, defaults, m_labels, layout);
        EXPECT_EQ(
            set.m_strButtonName[3] + L"|" + set.m_strAssignTitle[3] + L"|" + set.m_strTarget[3],
            CString(c.pszNewName) + L"|" + c.pszNewTitle + L"|" + defaults.m_strTarget[c.nTarget])
            << c.pszTitle;
        EXPECT_EQ(layout.m_bHelpLayout, c.pszNewName == CString(L"Help")) << c.pszTitle;
    }

    // Empty fields take the default set's; others stay, and so does every position after those in
    // use.
    CButtonSet set;
    set.m_strButtonName[3] = L"Mine";
    set.m_strAssignTitle[3] = L"http://mine.example/";
    set.m_strTarget[3] = L"http://mine.example/";
    set.m_strButtonName[9] = L"Untouched";
    CButtonLayout layout;
    RelabelCurrentSet(set, 9, defaults, m_labels, layout);
    EXPECT_EQ(set.m_strButtonName[2], defaults.m_strButtonName[2]);
    EXPECT_EQ(set.m_strAssignTitle[2], L"SearchVal");
    EXPECT_EQ(set.m_strTarget[2], defaults.m_strTarget[2]);
    EXPECT_EQ(set.m_strButtonName[3] + set.m_strAssignTitle[3] + set.m_strTarget[3],
              L"Minehttp://mine.example/http://mine.example/");
    EXPECT_EQ(set.m_strButtonName[9] + set.m_strAssignTitle[9], L"Untouched");
    EXPECT_FALSE(layout.m_bHelpLayout || layout.m_bCommunityLayout);
    // A count past the last position ends at it, the last one included.
    set.m_strButtonName[kMaxButtons - 1] = L"MUTE";
    RelabelCurrentSet(set, kMaxButtons + 1, defaults, m_labels, layout);
    EXPECT_EQ(set.m_strButtonName[kMaxButtons - 1], L"Mute");
}

TEST_F(ButtonTableTest, MenuChoicesSetTheirTargets)
{
    const CButtonSet defaults = MakerDefaults();
    const struct
    {
        LPCWSTR pszLabel;
        CString strTarget;
    } cases[] = {
        {L"Information URL", defaults.m_strTarget[0]},
        {L"home url", defaults.m_strTarget[1]},
        {L"Help", defaults.m_strTarget[1]},
        {L"Search URL", defaults.m_strTarget[2]},
        {L"Launch eMail", kTargetMail},
        {L"Community URL", defaults.m_strTarget[4]},
        {L"Smart Card", defaults.m_strTarget[4]},
        {L"Community", defaults.m_strTarget[4]},
        {L"Market Monitor URL", defaults.m_strTarget[5]},
        {L"Media", defaults.m_strTarget[5]},
        {L"Meeting Center URL", defaults.m_strTarget[6]},
        {L"Q", defaults.m_strTarget[6]},
        {L"News URL", defaults.m_strTarget[7]},
        {L"Shopping Cart", defaults.m_strTarget[7]},
        {L"Volume Up", kTargetVolumeUp},
        {L"Volume Down", kTargetVolumeDown},
        {L"MUTE", kTargetVolumeMute},
        {L"Something else", L"unchanged"},
    };
    for (const auto& c : cases) {
        CButtonSet set;
        set.m_strTarget[11] = L"unchanged";
        ApplyMenuChoice(set, 11, c.pszLabel, defaults, m_labels);
        EXPECT_EQ(set.m_strAssignTitle[11], c.pszLabel);
        EXPECT_EQ(set.m_strTarget[11], c.strTarget) << static_cast<const void*>(c.pszLabel);
    }
    CButtonSet set; // no such positions: nothing happens
    ApplyMenuChoice(set, 12, L"Mute", defaults, m_labels);
    ApplyMenuChoice(set, -1, L"Mute", defaults, m_labels);
    for (int p = 0; p < kMaxButtons; p++)
        EXPECT_EQ(set.m_strAssignTitle[p] + set.m_strTarget[p], L"") << p;
}

TEST(ButtonLabelsTest, VariantsFallBackWhereTheStringTableIsSilent)
{
    ::CoInitialize(nullptr);
    // The stand-in service DLL carries no string table at all.
    HMODULE hNoStrings = ::LoadLibraryExW(CConfigServiceStore::ServicePath().c_str(), nullptr,
                                          LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(hNoStrings, nullptr);
    CButtonLabels labels;
    labels.Load(hNoStrings);
    EXPECT_EQ(labels.Get(IDS_SMART_CARD), L"Smart Card");
    EXPECT_EQ(labels.Get(CButtonLabels::IDS_COMMUNITY_VARIANT), L"Community");
    EXPECT_EQ(labels.Get(IDS_MEDIA), L"Media");
    EXPECT_EQ(labels.Get(IDS_Q), L"Q");
    EXPECT_EQ(labels.Get(IDS_SHOPPING_CART), L"Shopping Cart");
    EXPECT_EQ(labels.Get(IDS_COMMUNITY), L"");
    EXPECT_EQ(labels.Get(IDS_HELP), L"") << "no fallback";

    // An empty label then matches only an empty choice: the first label of the menu's table.
    const CButtonSet defaults = MakerDefaults();
    CButtonSet set;
    ApplyMenuChoice(set, 3, L"", defaults, labels);
    EXPECT_EQ(set.m_strTarget[3], defaults.m_strTarget[0]);
    ApplyMenuChoice(set, 3, L"Information URL", defaults, labels);
    EXPECT_EQ(set.m_strTarget[3], defaults.m_strTarget[0]) << "unchanged: no label has that text";
    ApplyMenuChoice(set, 4, L"Q", defaults, labels);
    EXPECT_EQ(set.m_strTarget[4], defaults.m_strTarget[6]);

    // The "Community" title is the variant in every table, the "Community" name in none.
    CButtonLayout layout;
    CButtonSet community;
    community.m_strButtonName[4] = community.m_strAssignTitle[4] = L"Community";
    CButtonSet current = community;
    RelabelDefaultSet(community, labels, layout);
    RelabelCurrentSet(current, 5, defaults, labels, layout);
    for (const CButtonSet* pSet : {&community, &current})
        EXPECT_EQ(pSet->m_strButtonName[4] + L"|" + pSet->m_strAssignTitle[4],
                  CString(L"|Community"))
            << (pSet == &current ? "current set" : "default set");
    ApplyMenuChoice(set, 5, L"Community", defaults, labels);
    EXPECT_EQ(set.m_strTarget[5], defaults.m_strTarget[4]);
    ::FreeLibrary(hNoStrings);
    ::CoUninitialize();
}
