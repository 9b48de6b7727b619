// The configuration service client against the registered stand-in, created by COM as the program
// creates it, and against a scripted class object registered for the same class.
#include "ConfigServiceStore.h"
#include "ScriptedConfig.h"
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

class ScriptedServiceTest : public ServiceTest
{
protected:
    void SetUp() override
    {
        ServiceTest::SetUp();
        m_pRegistration.reset(new CScriptedConfigRegistration(m_scripted));
        ASSERT_NE(m_pRegistration->m_dwCookie, 0u);
    }
    void TearDown() override
    {
        m_pRegistration.reset();
        ServiceTest::TearDown();
    }

    CScriptedConfig m_scripted;
    std::unique_ptr<CScriptedConfigRegistration> m_pRegistration;
};

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

class CNumberedApp : public CWinApp, public CButtonNumberSource
{
public:
    int GetButton() const override { return 305; }
};

} // namespace

TEST_F(ScriptedServiceTest, CreationIsTriedTwiceThenNeverAgain)
{
    m_scripted.m_bFailCreation = true;
    CButtonConfig config;
    EXPECT_EQ(config.GetButtonList(), L"");
    EXPECT_EQ(m_scripted.m_nCreated, 2);
    config.SetButtonId(L"101");
    config.AddScheme(L"A");
    EXPECT_EQ(config.GetSchemeList(), L"");
    EXPECT_EQ(m_scripted.m_nCreated, 2) << "a holder that failed never tries again";
    EXPECT_FALSE(config.HasInstance());

    // Methods that do not create leave a new holder without an instance.
    m_scripted.m_bFailCreation = false;
    CButtonConfig lazy;
    lazy.SetName(L"x");
    EXPECT_EQ(lazy.GetTitle(), L"");
    lazy.RemoveScheme(L"x");
    EXPECT_EQ(m_scripted.m_nCreated, 2);
    EXPECT_TRUE(m_scripted.m_calls.empty());
    lazy.SelectScheme(L"");
    EXPECT_EQ(m_scripted.m_nCreated, 2) << "an empty scheme name is skipped";
    lazy.SelectScheme(L"S");
    EXPECT_EQ(m_scripted.m_nCreated, 3);
}

TEST_F(ScriptedServiceTest, ResultsAreNotExamined)
{
    CButtonConfig config;
    config.SetButtonId(L"101");
    m_scripted.m_hrAnswer = E_FAIL;
    m_scripted.m_pszAnswer = nullptr;
    EXPECT_EQ(config.GetName(), L"");
    EXPECT_EQ(config.GetCurrentScheme(), L"");
    m_scripted.m_hrAnswer = S_OK;
    EXPECT_EQ(config.GetTarget(), L"") << "a null string";
    m_scripted.m_hrAnswer = E_FAIL;
    m_scripted.m_pszAnswer = L"text of a failed call";
    EXPECT_EQ(config.GetTitle(), L"text of a failed call");
    const std::wstring strLong(100000, L'x');
    m_scripted.m_pszAnswer = strLong.c_str();
    EXPECT_EQ(config.GetLockState().GetLength(), 100000);
    config.SetTitle(CString(strLong));
    EXPECT_EQ(m_scripted.m_calls.back().size(), strLong.size() + 10);
}

TEST_F(ScriptedServiceTest, SchemeListBindsToTheButtonNumberAndSplitsAtCommas)
{
    m_scripted.m_pszAnswer = L"A,,B";
    EXPECT_EQ(StoredSchemes(), (std::vector<CString>{L"A", L""}))
        << "what follows the last comma goes";
    EXPECT_EQ(m_scripted.m_calls, std::vector<std::wstring>{L"SetButtonId(201)"});
    {
        CNumberedApp app;
        m_scripted.m_pszAnswer = L"QUELDA,Home \x00e9,%s,";
        EXPECT_EQ(StoredSchemes(), (std::vector<CString>{L"QUELDA", L"Home \x00e9", L"%s"}));
        EXPECT_EQ(m_scripted.m_calls.back(), L"SetButtonId(305)");
    }
    m_scripted.m_pszAnswer = L",";
    EXPECT_EQ(StoredSchemes(), std::vector<CString>{L""});
    m_scripted.m_pszAnswer = L"no comma at all";
    EXPECT_TRUE(StoredSchemes().empty());
    m_scripted.m_pszAnswer = nullptr;
    EXPECT_TRUE(StoredSchemes().empty());

    m_scripted.m_calls.clear();
    SelectCurrentScheme(L"");
    SelectCurrentScheme(L"Work");
    EXPECT_EQ(m_scripted.m_calls, std::vector<std::wstring>{L"SelectScheme(Work)"});
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
