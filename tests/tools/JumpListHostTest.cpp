// The stand-in host's own promises, through the classes registered in the
// prefix: what it gives back, and how it records what it cannot read.
#include <windows.h>
#include <objbase.h>
#include <propkey.h>
#include <propvarutil.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <iterator>

#include "tools/HostRecord.h"

using Microsoft::WRL::ComPtr;

namespace {

class JumpListHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(IsHostRegistered()) << "register the stand-in host: tools/register-jumplist-host.sh PREFIX DLL";
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        ClearHostFiles();
    }
    void TearDown() override { CoUninitialize(); }

    template <typename T>
    static ComPtr<T> Create(const CLSID& clsid) {
        ComPtr<T> p;
        EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&p)), S_OK);
        return p;
    }
    static void SetTitle(IShellLinkW* pLink, const wchar_t* pszTitle, bool bCommit) {
        ComPtr<IPropertyStore> pProperties;
        ASSERT_EQ(pLink->QueryInterface(IID_PPV_ARGS(&pProperties)), S_OK);
        PROPVARIANT value;
        ASSERT_EQ(InitPropVariantFromString(pszTitle, &value), S_OK);
        EXPECT_EQ(pProperties->SetValue(PKEY_Title, value), S_OK);
        PropVariantClear(&value);
        if (bCommit) {
            EXPECT_EQ(pProperties->Commit(), S_OK);
        }
    }
    // Begins a list, adds the collection as its user tasks and commits it.
    static void CommitTasks(IObjectCollection* pTasks) {
        ComPtr<ICustomDestinationList> pList = Create<ICustomDestinationList>(CLSID_DestinationList);
        UINT cSlots = 0;
        ComPtr<IObjectArray> pRemoved;
        ASSERT_EQ(pList->BeginList(&cSlots, IID_PPV_ARGS(&pRemoved)), S_OK);
        ComPtr<IObjectArray> pArray;
        ASSERT_EQ(pTasks->QueryInterface(IID_PPV_ARGS(&pArray)), S_OK);
        ASSERT_EQ(pList->AddUserTasks(pArray.Get()), S_OK);
        ASSERT_EQ(pList->CommitList(), S_OK);
    }
    static std::wstring Title(IShellLinkW* pLink) {
        ComPtr<IPropertyStore> pProperties;
        EXPECT_EQ(pLink->QueryInterface(IID_PPV_ARGS(&pProperties)), S_OK);
        PROPVARIANT value;
        EXPECT_EQ(pProperties->GetValue(PKEY_Title, &value), S_OK);
        std::wstring title = value.vt == VT_LPWSTR ? value.pwszVal : L"<none>";
        PropVariantClear(&value);
        return title;
    }
};

// Every object the host hands out goes away with its last reference: a host
// that leaked would grow the memory of the program that publishes.
TEST_F(JumpListHostTest, ObjectsAndClassObjectsAreFreedWithTheirLastReference) {
    const CLSID* const kClasses[] = {&CLSID_DestinationList, &CLSID_EnumerableObjectCollection, &CLSID_ShellLink};
    for (const CLSID* pClsid : kClasses) {
        ComPtr<IClassFactory> pFactory;
        ASSERT_EQ(CoGetClassObject(*pClsid, CLSCTX_INPROC_SERVER, nullptr, IID_PPV_ARGS(&pFactory)), S_OK);
        ComPtr<IUnknown> pObject;
        ASSERT_EQ(pFactory->CreateInstance(nullptr, IID_PPV_ARGS(&pObject)), S_OK);
        ComPtr<IUnknown> pNoSuchInterface;
        EXPECT_EQ(pFactory->CreateInstance(nullptr, IID_IPersistFile, &pNoSuchInterface), E_NOINTERFACE);
    }
    const auto pfnCanUnloadNow = reinterpret_cast<HRESULT(WINAPI*)()>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ZembroJumpListHost.dll"), "DllCanUnloadNow")));
    ASSERT_NE(pfnCanUnloadNow, nullptr);
    EXPECT_EQ(pfnCanUnloadNow(), S_OK);
}

TEST_F(JumpListHostTest, BeginListOffersTenSlotsAndNoRemovedItems) {
    ComPtr<ICustomDestinationList> pList = Create<ICustomDestinationList>(CLSID_DestinationList);
    ASSERT_TRUE(pList);
    UINT cSlots = 0;
    ComPtr<IObjectArray> pRemoved;
    ASSERT_EQ(pList->BeginList(&cSlots, IID_PPV_ARGS(&pRemoved)), S_OK);
    EXPECT_EQ(cSlots, 10u);
    UINT cRemoved = 99;
    ASSERT_EQ(pRemoved->GetCount(&cRemoved), S_OK);
    EXPECT_EQ(cRemoved, 0u);
    EXPECT_EQ(pList->AbortList(), S_OK);
}

// SetPath is as strict as Windows': a relative name is resolved on the search
// path or refused, so a test can never pass with a task that Windows drops.
TEST_F(JumpListHostTest, SetPathResolvesOrRefusesAsWindowsDoes) {
    wchar_t szSystem[MAX_PATH] = {};
    GetSystemDirectoryW(szSystem, MAX_PATH);
    const std::wstring system = szSystem;
    const struct {
        const wchar_t* set;
        HRESULT hr;
        std::wstring path;  // what GetPath gives back afterwards
    } cases[] = {
        {L"cmd", S_OK, system + L"\\cmd.exe"},
        {L"notepad.exe", S_OK, system + L"\\notepad.exe"},
        {L"C:\\x\\y.exe", S_OK, L"C:\\x\\y.exe"},
        {L"https://brellow.example/", S_OK, L"https://brellow.example/"},
        {L"zembro-no-such-program", E_INVALIDARG, L"https://brellow.example/"},
        {L"rel\\z.exe", E_INVALIDARG, L"https://brellow.example/"},
    };
    ComPtr<IShellLinkW> pLink = Create<IShellLinkW>(CLSID_ShellLink);
    ASSERT_TRUE(pLink);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "SetPath " << std::string(c.set, c.set + wcslen(c.set)));
        EXPECT_EQ(pLink->SetPath(c.set), c.hr);
        wchar_t szPath[MAX_PATH] = {};
        EXPECT_EQ(pLink->GetPath(szPath, MAX_PATH, nullptr, SLGP_RAWPATH), S_OK);
        EXPECT_EQ(_wcsicmp(szPath, c.path.c_str()), 0) << std::string(szPath, szPath + wcslen(szPath));
    }
    ASSERT_EQ(pLink->SetPath(L"C:\\rel\\z.exe"), S_OK);
    wchar_t szShort[4] = {L'x', L'x', L'x', L'x'};
    pLink->GetPath(szShort, 4, nullptr, 0);
    EXPECT_STREQ(szShort, L"C:\\");  // cut to the buffer and ended

    ASSERT_EQ(pLink->SetIconLocation(L"C:\\i.dll", -3), S_OK);
    wchar_t szIcon[MAX_PATH] = {};
    int nIcon = 0;
    ASSERT_EQ(pLink->GetIconLocation(szIcon, MAX_PATH, &nIcon), S_OK);
    EXPECT_STREQ(szIcon, L"C:\\i.dll");
    EXPECT_EQ(nIcon, -3);
}

// The record tells which tasks the shell could start: an existing file, not
// a URL, a missing file or no path at all.
TEST_F(JumpListHostTest, RecordsWhetherEachTaskIsLaunchable) {
    wchar_t szWindows[MAX_PATH] = {};
    GetWindowsDirectoryW(szWindows, MAX_PATH);
    const std::wstring explorer = std::wstring(szWindows) + L"\\explorer.exe";
    const struct {
        const wchar_t* path;
        bool launchable;
    } cases[] = {
        {explorer.c_str(), true},
        {L"cmd", true},
        {L"https://brellow.example/zembro", false},
        {L"C:\\no such folder\\tool.exe", false},
        {L"", false},
    };
    ComPtr<IObjectCollection> pTasks = Create<IObjectCollection>(CLSID_EnumerableObjectCollection);
    ASSERT_TRUE(pTasks);
    for (const auto& c : cases) {
        ComPtr<IShellLinkW> pLink = Create<IShellLinkW>(CLSID_ShellLink);
        ASSERT_EQ(pLink->SetPath(c.path), S_OK);
        SetTitle(pLink.Get(), L"Task", true);
        pTasks->AddObject(pLink.Get());
    }
    CommitTasks(pTasks.Get());

    const std::optional<HostRecord> record = ReadHostRecord();
    ASSERT_TRUE(record.has_value());
    ASSERT_EQ(record->tasks.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(record->tasks[i].launchable, cases[i].launchable) << i;
}

TEST_F(JumpListHostTest, OnlyCommittedPropertiesCanBeRead) {
    ComPtr<IShellLinkW> pLink = Create<IShellLinkW>(CLSID_ShellLink);
    ASSERT_TRUE(pLink);
    SetTitle(pLink.Get(), L"Pending", false);
    EXPECT_EQ(Title(pLink.Get()), L"<none>");
    SetTitle(pLink.Get(), L"Committed", true);
    EXPECT_EQ(Title(pLink.Get()), L"Committed");
}

TEST_F(JumpListHostTest, RecordsWhatItCannotUseInsteadOfSkippingIt) {
    ComPtr<IObjectCollection> pTasks = Create<IObjectCollection>(CLSID_EnumerableObjectCollection);
    ComPtr<IShellLinkW> pUntitled = Create<IShellLinkW>(CLSID_ShellLink);
    ComPtr<IShellLinkW> pUncommitted = Create<IShellLinkW>(CLSID_ShellLink);
    ComPtr<IObjectCollection> pNotALink = Create<IObjectCollection>(CLSID_EnumerableObjectCollection);
    ASSERT_TRUE(pTasks && pUntitled && pUncommitted && pNotALink);
    pUntitled->SetPath(L"cmd");
    pUncommitted->SetPath(L"notepad");
    SetTitle(pUncommitted.Get(), L"Never committed", false);
    pTasks->AddObject(pUntitled.Get());
    pTasks->AddObject(pNotALink.Get());
    pTasks->AddObject(pUncommitted.Get());

    CommitTasks(pTasks.Get());

    const std::optional<HostRecord> record = ReadHostRecord();
    ASSERT_TRUE(record.has_value());
    ASSERT_EQ(record->tasks.size(), 3u);
    wchar_t szSystem[MAX_PATH] = {};
    GetSystemDirectoryW(szSystem, MAX_PATH);
    const std::u16string system(reinterpret_cast<const char16_t*>(szSystem));
    EXPECT_EQ(record->tasks[0], (HostEntry{"task", system + u"\\cmd.exe", u"", u"", std::nullopt, 0, true}));
    EXPECT_EQ(record->tasks[1].kind, "other");
    EXPECT_EQ(record->tasks[2], (HostEntry{"task", system + u"\\notepad.exe", u"", u"", std::nullopt, 0, true}));
}

TEST_F(JumpListHostTest, RecordsAnApplicationIdentifierAndCategories) {
    ComPtr<ICustomDestinationList> pList = Create<ICustomDestinationList>(CLSID_DestinationList);
    ASSERT_TRUE(pList);
    ASSERT_EQ(pList->SetAppID(L"Brellow.Zembro"), S_OK);
    UINT cSlots = 0;
    ComPtr<IObjectArray> pRemoved;
    ASSERT_EQ(pList->BeginList(&cSlots, IID_PPV_ARGS(&pRemoved)), S_OK);
    ASSERT_EQ(pList->AppendKnownCategory(KDC_RECENT), S_OK);
    ASSERT_EQ(pList->CommitList(), S_OK);
    const std::optional<HostRecord> record = ReadHostRecord();
    ASSERT_TRUE(record.has_value());
    EXPECT_TRUE(record->appIdSet);
    EXPECT_EQ(record->categories, std::vector<std::u16string>{u"<recent>"});
    EXPECT_TRUE(record->tasks.empty());
}

}  // namespace
