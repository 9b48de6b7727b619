// The scheme row of the settings dialog: picking, adding and deleting schemes as sessions with the
// real buttons, box and message boxes, over the real configuration service stand-in. Each row
// starts from the default scheme plus "Work" and "Lab]" (stored as "Lab00000000"), each with its
// own first button, the default scheme current.
#include "ConfigServiceStore.h"
#include "SettingsDialog.h"
#include "config/ButtonConfig.h"

#include <gtest/gtest.h>

namespace {

const char kDefaults[] = "buttons=101,102,103,104,105,106,107,108,201,202,203\n"
                         "101|Information|InformationVal|http://info.example/|UNLOCKED\n"
                         "102|Home|HomeVal|http://home.example/|UNLOCKED\n"
                         "201|VolumeUp|VolumeUpVal|VOLUME_UP|LOCK\n";

void StoreSchemes(CButtonConfig& service)
{
    for (LPCWSTR pszScheme : {L"Work", L"Lab00000000"}) {
        service.AddScheme(pszScheme);
        service.SelectScheme(pszScheme);
        service.SetButtonId(L"101");
        service.SetName(CString(pszScheme) + L" name");
        service.SetTitle(CString(L"http://") + pszScheme + L".example/");
        service.SetTarget(CString(L"http://") + pszScheme + L".example/");
        service.SetLockState(L"UNLOCKED");
    }
    service.SelectScheme(L"QUELDA");
}

const char* const kSessions[] = {
    // Picking a scheme with nothing changed asks nothing and loads it, an empty field taking the
    // default set's; a shown "]" is asked for in its stored form; the default scheme is the
    // default set, and the service is not told.
    "expect items \"Quelda|Work|Lab]\"; scheme \"Work\"; expect name \"Work name\"; "
    "expect target \"http://Work.example/\"; expect current \"Work\"; expect selected 0; "
    "expect row 0 1 \"http://Work.example/\"; expect enabled Delete Apply; "
    "row 1; expect name \"Home\"; expect enabled Name Target; "
    "scheme \"Lab]\"; expect name \"Lab00000000 name\"; expect current \"Lab00000000\"; "
    "scheme \"Quelda\"; expect name \"Information\"; expect target \"Information URL\"; "
    "expect current \"Lab00000000\"; expect disabled Delete",

    // Unsaved changes when another scheme is picked: Cancel keeps them while the box shows the
    // new name, No drops them, Yes stores them under the old scheme first.
    "scheme \"Work\"; target \"http://changed.example/\"; answer Cancel; scheme \"Quelda\"; "
    "expect asked \"Button Assignment: Apply ?\"; expect box \"Quelda\"; "
    "expect target \"http://changed.example/\"; expect selected 0; "
    "answer No; scheme \"Quelda\"; expect asked \"Button Assignment: Apply ?\"; "
    "expect target \"Information URL\"; expect stored Work 101 Target \"http://Work.example/\"; "
    "scheme \"Work\"; target \"http://kept.example/\"; answer Yes; scheme \"Lab]\"; "
    "expect stored Work 101 Target \"http://kept.example/\"; expect name \"Lab00000000 name\"; "
    "restart; scheme \"Work\"; expect target \"http://kept.example/\"",

    // Add: a name the box has in other letters does nothing; a new one starts a copy of the
    // default set that only saving stores, the edits keeping what they showed; an empty name
    // resets the set and adds nothing.
    "scheme \"Work\"; box \"wORK\"; press Add; expect items \"Quelda|Work|Lab]\"; "
    "expect name \"Work name\"; box \"Trip]1\"; press Add; "
    "expect items \"Quelda|Work|Lab]|Trip]1\"; expect box \"Trip]1\"; expect name \"Work name\"; "
    "expect row 0 0 \"Information\"; expect enabled Delete Target; "
    "expect schemes \"QUELDA|Work|Lab00000000\"; row 8; expect enabled Name; "
    "row 0; target \"http://trip.example/\"; press Apply; "
    "expect schemes \"QUELDA|Work|Lab00000000|Trip000000001\"; "
    "expect stored Trip000000001 101 Target \"http://trip.example/\"; "
    "box \"\"; press Add; expect items \"Quelda|Work|Lab]|Trip]1\"; "
    "expect row 0 1 \"Information URL\"; restart; expect items \"Quelda|Work|Lab]|Trip]1\"",

    // A comma in a name: stored whole, listed by the service as two names.
    "box \"Home, away\"; press Add; expect items \"Quelda|Work|Lab]|Home, away\"; press Apply; "
    "restart; expect items \"Quelda|Work|Lab]|Home| away\"; "
    "expect stored \"Home, away\" 101 Name \"Information\"",

    // Delete: a name the box lacks is not asked about; No keeps the scheme; Yes removes it and
    // shows the default scheme, locked; the default scheme typed over a picked one removes the
    // picked item from the box and keeps the default scheme stored; "]" removes "00000000".
    "scheme \"Work\"; box \"Nowhere\"; press Delete; expect items \"Quelda|Work|Lab]\"; "
    "scheme \"Work\"; answer No; press Delete; "
    "expect asked \"Quelda Kivora Button Software: Are you sure you want to remove the Scheme?\"; "
    "expect items \"Quelda|Work|Lab]\"; expect schemes \"QUELDA|Work|Lab00000000\"; "
    "expect name \"Work name\"; answer Yes; press Delete; expect items \"Quelda|Lab]\"; "
    "expect schemes \"QUELDA|Lab00000000\"; expect current \"QUELDA\"; "
    "expect stored Work 101 Name \"<none>\"; expect box \"Quelda\"; expect name \"Information\"; "
    "expect disabled Name Target Browse Delete; "
    "scheme \"Lab]\"; expect enabled Delete; box \"Quelda\"; answer Yes; press Delete; "
    "expect items \"Quelda\"; expect schemes \"QUELDA|Lab00000000\"; "
    "expect stored QUELDA 101 Name \"Information\"; "
    "restart; scheme \"Lab]\"; answer Yes; press Delete; expect schemes \"QUELDA\"; "
    "expect stored Lab00000000 101 Name \"<none>\"; restart; expect items \"Quelda\"",
};

} // namespace

TEST(SchemeManagementTest, Sessions)
{
    ::CoInitialize(nullptr);
    for (const char* pszSession : kSessions) {
        CConfigServiceStore store(kDefaults);
        {
            CButtonConfig service;
            service.GetButtonList(); // seeds the emptied store
            StoreSchemes(service);
        }
        CSettingsDialog dlg;
        RunSession(dlg, pszSession);
    }
    ::CoUninitialize();
}

// A stored scheme the box did not show comes back with its settings when it is added.
TEST(SchemeManagementTest, AStoredSchemeAddedAgainComesBackWithItsSettings)
{
    ::CoInitialize(nullptr);
    CConfigServiceStore store(kDefaults);
    CButtonConfig service;
    service.GetButtonList();
    CSettingsDialog dlg;
    RunSession(dlg, "expect items \"Quelda\"");
    service.AddScheme(L"Late");
    service.SelectScheme(L"Late");
    service.SetButtonId(L"102");
    service.SetName(L"Late home");
    RunSession(dlg, "box \"late\"; press Add; expect items \"Quelda|late\"; "
                    "expect row 1 0 \"Late home\"; restart; expect items \"Quelda|Late\"");
    ::CoUninitialize();
}
