// The configuration service client against the registered stand-in, created by COM as the program
// creates it, with the stand-in's faults and its log of calls.
#include "ConfigServiceStore.h"
#include "Session.h"
#include "StringPrinter.h"
#include "config/ButtonConfig.h"
#include "config/ButtonNumber.h"
#include "config/Schemes.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

class ServiceTest : public ::testing::Test
{
protected:
    void SetUp() override { ::CoInitialize(nullptr); }
    void TearDown() override { ::CoUninitialize(); }
};

} // namespace

TEST_F(ServiceTest, MethodsSitAtTheirPlacesInTheTable)
{
    CConfigServiceStore store;
    IDispatch* pObject = nullptr;
    ASSERT_EQ(::CoCreateInstance(CLSID_ButtonConfig, nullptr, CLSCTX_INPROC_SERVER,
                                 IID_IButtonConfig, reinterpret_cast<void**>(&pObject)),
              S_OK);
    // Called by number, not through a declaration that might share a mistake with the program.
    typedef HRESULT(STDMETHODCALLTYPE * Out)(IDispatch*, BSTR*);
    typedef HRESULT(STDMETHODCALLTYPE * None)(IDispatch*);
    void** vtbl = *reinterpret_cast<void***>(pObject);
    BSTR bstr = nullptr;
    EXPECT_EQ(reinterpret_cast<Out>(vtbl[54])(pObject, &bstr), S_OK);
    EXPECT_STREQ(bstr, L"101,102,103,104,105,106,107,108,201,202,203");
    ::SysFreeString(bstr);
    EXPECT_EQ(reinterpret_cast<Out>(vtbl[43])(pObject, &bstr), S_OK);
    EXPECT_STREQ(bstr, L"QUELDA");
    ::SysFreeString(bstr);
    for (int n : {7, 13, 41, 46, 48})
        EXPECT_EQ(reinterpret_cast<None>(vtbl[n])(pObject), E_NOTIMPL) << n;
    pObject->Release();
}

namespace {

// The scheme names the service stores, in its order, as the program reads them.
std::vector<CString> StoredSchemes()
{
    CStringList list;
    ReadSchemeList(list);
    std::vector<CString> names;
    for (POSITION pos = list.GetHeadPosition(); pos;)
        names.push_back(list.GetNext(pos));
    return names;
}

void StoreSchemes(const std::wstring& multi)
{
    ::RegSetKeyValueW(HKEY_CURRENT_USER, kStoreKey, L"Schemes", REG_MULTI_SZ, multi.c_str(),
                      static_cast<DWORD>((multi.size() + 1) * sizeof(WCHAR)));
}

class CNumberedApp : public CWinApp, public CButtonNumberSource
{
public:
    int GetButton() const override { return 305; }
};

} // namespace

TEST_F(ServiceTest, CreationIsTriedTwiceThenNeverAgain)
{
    CConfigServiceStore store;
    store.SetFaults(L"log refuse");
    CButtonConfig config;
    EXPECT_EQ(config.GetButtonList(), L"");
    config.SetButtonId(L"101");
    config.AddScheme(L"A");
    EXPECT_EQ(config.GetSchemeList(), L"");
    EXPECT_FALSE(config.HasInstance());
    EXPECT_EQ(store.TakeCalls(), L"CreateInstance()\nCreateInstance()\n")
        << "a holder that failed never tries again";

    // Methods that do not create leave a new holder without an instance; an empty scheme name is
    // skipped.
    store.SetFaults(L"log");
    CButtonConfig lazy;
    lazy.SetName(L"x");
    EXPECT_EQ(lazy.GetTitle(), L"");
    lazy.RemoveScheme(L"x");
    lazy.SelectScheme(L"");
    EXPECT_EQ(store.TakeCalls(), L"");
    lazy.SelectScheme(L"S");
    EXPECT_EQ(store.TakeCalls(), L"CreateInstance()\nSelectScheme(S)\n");
}

TEST_F(ServiceTest, ResultsAreNotExamined)
{
    CConfigServiceStore store;
    CButtonConfig config;
    config.SetButtonId(L"101");
    store.SetFaults(L"failafter");
    EXPECT_EQ(config.GetName(), L"Information") << "the text of a failed call";
    const std::wstring strLong(100000, L'x');
    config.SetTitle(CString(strLong.c_str()));
    store.SetFaults(L"null");
    EXPECT_EQ(config.GetTarget(), L"");
    store.SetFaults(L"fail");
    EXPECT_EQ(config.GetCurrentScheme(), L"");
    store.SetFaults(L"huge");
    EXPECT_EQ(config.GetLockState().GetLength(), 100000);
    store.SetFaults(L"");
    EXPECT_EQ(config.GetTitle(), strLong.c_str()) << "passed whole";
}

TEST_F(ServiceTest, SchemeListBindsToTheButtonNumberAndSplitsAtCommas)
{
    CConfigServiceStore store;
    store.SetFaults(L"log");
    StoreSchemes(std::wstring(L",A\0,B\0", 6));
    EXPECT_EQ(StoredSchemes(), (std::vector<CString>{L"", L"A", L"", L"B"}));
    EXPECT_EQ(store.TakeCalls(), L"CreateInstance()\nSetButtonId(201)\nGetSchemeList()\n");
    {
        CNumberedApp app;
        StoreSchemes(std::wstring(L"QUELDA\0Home \x00e9\0%s", 16));
        EXPECT_EQ(StoredSchemes(), (std::vector<CString>{L"QUELDA", L"Home \x00e9", L"%s"}));
        EXPECT_NE(store.TakeCalls().find(L"SetButtonId(305)"), std::wstring::npos);
    }
    store.SetFaults(L"huge"); // "QUELDA,Home \x00e9,%s,xxx...": what follows the last comma goes
    EXPECT_EQ(StoredSchemes().size(), 3u);
    store.SetFaults(L"null");
    EXPECT_TRUE(StoredSchemes().empty());

    store.SetFaults(L"log");
    SelectCurrentScheme(L"");
    SelectCurrentScheme(L"Work");
    EXPECT_EQ(store.TakeCalls(), L"CreateInstance()\nSelectScheme(Work)\n");
}

TEST(SchemeNameTest, StoredAndShownNames)
{
    const struct
    {
        LPCWSTR pszShown, pszStored;
    } cases[] = {
        {L"Quelda", L"QUELDA"},      {L"QUELDA", L"QUELDA"},       {L"quelda", L"QUELDA"},
        {L"Work]", L"Work00000000"}, {L"]]", L"0000000000000000"}, {L"Home", L"Home"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StoredSchemeName(c.pszShown, L"Quelda"), c.pszStored) << c.pszShown;
    EXPECT_EQ(ShownSchemeName(L"QUELDA", L"Quelda"), L"Quelda");
    EXPECT_EQ(ShownSchemeName(L"quelda", L"Quelda"), L"Quelda");
    EXPECT_EQ(ShownSchemeName(L"Work00000000", L"Quelda"), L"Work]");
    EXPECT_EQ(ShownSchemeName(L"Work", L"Quelda"), L"Work");
    // A name that merely looks like the display name in the stored list is left as it is.
    EXPECT_EQ(StoredSchemeName(L"Quelda]", L"Quelda"), L"Quelda00000000");
}
