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

TEST_F(ButtonTableTest, CurrentSetFollowsTheValuesNotThePositions)
{
    const CButtonSet defaults = MakerDefaults();
    CButtonSet set;
    set.m_strButtonName[0] = L"MAIL";
    set.m_strAssignTitle[0] = L"eMailVal";
    set.m_strTarget[0] = L"old";
    set.m_strButtonName[1] = L"Anything";
    set.m_strAssignTitle[1] = L"help";
    set.m_strAssignTitle[2] = L"";
    set.m_strButtonName[3] = L"Mine";
    set.m_strAssignTitle[3] = L"http://mine.example/";
    set.m_strTarget[3] = L"http://mine.example/";
    set.m_strButtonName[7] = L"News";
    set.m_strAssignTitle[7] = L"PeopleVal";
    set.m_strButtonName[9] = L"Untouched";
    set.m_strAssignTitle[9] = L"Untouched";
    CButtonLayout layout;
    RelabelCurrentSet(set, 9, defaults, m_labels, layout);

    EXPECT_EQ(set.m_strButtonName[0], L"eMail");
    EXPECT_EQ(set.m_strAssignTitle[0], L"Launch eMail");
    EXPECT_EQ(set.m_strTarget[0], defaults.m_strTarget[3]) << "the marker's position";
    EXPECT_EQ(set.m_strButtonName[1], L"Help") << "tested on the title";
    EXPECT_EQ(set.m_strTarget[1], defaults.m_strTarget[1]);
    EXPECT_TRUE(layout.m_bHelpLayout);
    EXPECT_EQ(set.m_strButtonName[2], defaults.m_strButtonName[2]) << "empty: from the defaults";
    EXPECT_EQ(set.m_strAssignTitle[2], L"SearchVal");
    EXPECT_EQ(set.m_strTarget[2], defaults.m_strTarget[2]);
    EXPECT_EQ(set.m_strButtonName[3], L"Mine");
    EXPECT_EQ(set.m_strTarget[3], L"http://mine.example/");
    EXPECT_EQ(set.m_strAssignTitle[7], L"Community URL");
    EXPECT_EQ(set.m_strTarget[7], defaults.m_strTarget[4]) << "the title decides";
    EXPECT_EQ(set.m_strButtonName[9], L"Untouched") << "beyond the positions in use";
    EXPECT_FALSE(layout.m_bCommunityLayout);
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
    ::FreeLibrary(hNoStrings);
    ::CoUninitialize();
}
