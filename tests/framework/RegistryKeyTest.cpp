// The registry key wrapper against a scratch key: opening never creates, creating
// makes the keys on the way, reads refuse every value of another type (and, for
// numbers, of another length) and leave the out-parameter alone, writes store
// exactly the bytes given.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "framework/RegistryKey.h"
#include "support/RegistryValues.h"

namespace {

constexpr wchar_t kScratchKey[] = L"Software\\ZembroRegistryKeyTest";
constexpr wchar_t kFirstKey[] = L"Software\\ZembroRegistryKeyTest\\First";
constexpr wchar_t kSecondKey[] = L"Software\\ZembroRegistryKeyTest\\Second";
constexpr wchar_t kMissingKey[] = L"Software\\ZembroRegistryKeyTest\\Missing";
constexpr DWORD kUntouched = 0xDEADBEEF;

class RegistryKeyTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, kScratchKey);
        CreateKey(kFirstKey);
        CreateKey(kSecondKey);
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kScratchKey); }
};

TEST_F(RegistryKeyTest, QueryGivesOnlyFourByteDwords) {
    struct Case {
        const char* name;
        StoredValue stored;
        LONG lExpected;
        DWORD dwExpected;
    };
    const Case cases[] = {
        {"missing", kAbsent, ERROR_FILE_NOT_FOUND, kUntouched},
        {"dword 15", Dword(15), ERROR_SUCCESS, 15},
        {"dword 0", Dword(0), ERROR_SUCCESS, 0},
        {"largest dword", Dword(0xFFFFFFFF), ERROR_SUCCESS, 0xFFFFFFFF},
        {"little-endian bytes", Raw(REG_DWORD, {0x01, 0x02, 0x03, 0x04}), ERROR_SUCCESS, 0x04030201},
        {"text of four bytes", Raw(REG_SZ, {'7', 0, 0, 0}), ERROR_INVALID_DATA, kUntouched},
        {"longer text", Text(L"15"), ERROR_INVALID_DATA, kUntouched},
        {"empty text", Raw(REG_SZ, {}), ERROR_INVALID_DATA, kUntouched},
        {"binary of four bytes", Raw(REG_BINARY, Le32(15)), ERROR_INVALID_DATA, kUntouched},
        {"big-endian dword", Raw(REG_DWORD_BIG_ENDIAN, {0, 0, 0, 15}), ERROR_INVALID_DATA, kUntouched},
        {"qword", Raw(REG_QWORD, {15, 0, 0, 0, 0, 0, 0, 0}), ERROR_INVALID_DATA, kUntouched},
        {"dword of two bytes", Raw(REG_DWORD, {15, 0}), ERROR_INVALID_DATA, kUntouched},
        {"dword of no bytes", Raw(REG_DWORD, {}), ERROR_INVALID_DATA, kUntouched},
        {"dword of eight bytes", Raw(REG_DWORD, {15, 0, 0, 0, 0, 0, 0, 0}), ERROR_INVALID_DATA, kUntouched},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteValue(kFirstKey, L"Value", c.stored);
        CRegistryKey key;
        ASSERT_EQ(key.Open(kFirstKey, KEY_QUERY_VALUE), ERROR_SUCCESS);
        DWORD dwValue = kUntouched;
        EXPECT_EQ(key.QueryDWORDValue(L"Value", dwValue), c.lExpected);
        EXPECT_EQ(dwValue, c.dwExpected);
    }
}

TEST_F(RegistryKeyTest, SetStoresFourLittleEndianBytesAndDeleteRemovesThem) {
    CRegistryKey key;
    ASSERT_EQ(key.Open(kFirstKey, KEY_READ | KEY_WRITE), ERROR_SUCCESS);
    WriteValue(kFirstKey, L"Value", Text(L"x"));  // a value of another type is replaced
    for (DWORD n : {DWORD{15}, DWORD{0}, DWORD{0x01020304}, DWORD{0xFFFFFFFF}}) {
        SCOPED_TRACE(n);
        EXPECT_EQ(key.SetDWORDValue(L"Value", n), ERROR_SUCCESS);
        EXPECT_EQ(ReadValue(kFirstKey, L"Value"), Dword(n));
        DWORD dwRead = kUntouched;
        EXPECT_EQ(key.QueryDWORDValue(L"Value", dwRead), ERROR_SUCCESS);
        EXPECT_EQ(dwRead, n);
    }
    EXPECT_EQ(key.DeleteValue(L"Value"), ERROR_SUCCESS);
    EXPECT_EQ(ReadValue(kFirstKey, L"Value"), kAbsent);
    EXPECT_EQ(key.DeleteValue(L"Value"), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryKeyTest, OpenNeverCreatesAndReplacesTheHeldKeyOnlyOnSuccess) {
    WriteValue(kFirstKey, L"Value", Dword(1));
    WriteValue(kSecondKey, L"Value", Dword(2));
    CRegistryKey key;
    EXPECT_EQ(key.Open(kMissingKey, KEY_READ | KEY_WRITE), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(key.IsOpen());
    ASSERT_EQ(key.Open(kFirstKey, KEY_READ | KEY_WRITE), ERROR_SUCCESS);
    EXPECT_EQ(key.Open(kMissingKey, KEY_READ | KEY_WRITE), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(KeyExists(kMissingKey));
    DWORD dwValue = 0;
    EXPECT_EQ(key.QueryDWORDValue(L"Value", dwValue), ERROR_SUCCESS);
    EXPECT_EQ(dwValue, 1u);

    ASSERT_EQ(key.Open(kSecondKey, KEY_READ | KEY_WRITE), ERROR_SUCCESS);
    EXPECT_EQ(key.QueryDWORDValue(L"Value", dwValue), ERROR_SUCCESS);
    EXPECT_EQ(dwValue, 2u);
    EXPECT_EQ(key.SetDWORDValue(L"Other", 3), ERROR_SUCCESS);
    EXPECT_EQ(ReadValue(kSecondKey, L"Other"), Dword(3));
    EXPECT_EQ(ReadValue(kFirstKey, L"Other"), kAbsent);
}

TEST_F(RegistryKeyTest, QueryGivesBinaryValuesOfAnyLengthAsStored) {
    const std::vector<BYTE> kUntouchedBytes = {0xDE, 0xAD};
    struct Case {
        const char* name;
        StoredValue stored;
        LONG lExpected;
        std::vector<BYTE> expected;
    };
    const Case cases[] = {
        {"missing", kAbsent, ERROR_FILE_NOT_FOUND, kUntouchedBytes},
        {"empty", Raw(REG_BINARY, {}), ERROR_SUCCESS, {}},
        {"one byte", Raw(REG_BINARY, {7}), ERROR_SUCCESS, {7}},
        {"odd length", Raw(REG_BINARY, {1, 2, 3, 4, 5}), ERROR_SUCCESS, {1, 2, 3, 4, 5}},
        {"dword", Dword(15), ERROR_INVALID_DATA, kUntouchedBytes},
        {"text", Text(L"15"), ERROR_INVALID_DATA, kUntouchedBytes},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteValue(kFirstKey, L"Value", c.stored);
        CRegistryKey key;
        ASSERT_EQ(key.Open(kFirstKey, KEY_QUERY_VALUE), ERROR_SUCCESS);
        std::vector<BYTE> data = kUntouchedBytes;
        EXPECT_EQ(key.QueryBinaryValue(L"Value", data), c.lExpected);
        EXPECT_EQ(data, c.expected);
    }
}

TEST_F(RegistryKeyTest, CreateMakesTheKeysOnTheWayAndSetBinaryStoresTheBytes) {
    constexpr wchar_t kDeepKey[] = L"Software\\ZembroRegistryKeyTest\\Missing\\Deeper";
    CRegistryKey key;
    ASSERT_EQ(key.Create(kDeepKey, KEY_READ | KEY_WRITE), ERROR_SUCCESS);
    EXPECT_TRUE(KeyExists(kDeepKey));
    for (const std::vector<BYTE>& bytes : {std::vector<BYTE>{}, std::vector<BYTE>{1, 2, 3}}) {
        EXPECT_EQ(key.SetBinaryValue(L"Value", bytes.data(), static_cast<DWORD>(bytes.size())), ERROR_SUCCESS);
        EXPECT_EQ(ReadValue(kDeepKey, L"Value"), Raw(REG_BINARY, bytes));
    }
    // Create on an existing key opens it and keeps its values.
    CRegistryKey again;
    ASSERT_EQ(again.Create(kDeepKey, KEY_READ | KEY_WRITE), ERROR_SUCCESS);
    std::vector<BYTE> data;
    EXPECT_EQ(again.QueryBinaryValue(L"Value", data), ERROR_SUCCESS);
    EXPECT_EQ(data, (std::vector<BYTE>{1, 2, 3}));
}

TEST_F(RegistryKeyTest, AClosedWrapperRefusesEverythingAndTouchesNothing) {
    WriteValue(kFirstKey, L"Value", Dword(7));
    CRegistryKey never;
    CRegistryKey closed;
    ASSERT_EQ(closed.Open(kFirstKey, KEY_READ | KEY_WRITE), ERROR_SUCCESS);
    closed.Close();
    closed.Close();  // twice is harmless
    for (CRegistryKey* pKey : {&never, &closed}) {
        EXPECT_FALSE(pKey->IsOpen());
        DWORD dwValue = kUntouched;
        EXPECT_EQ(pKey->QueryDWORDValue(L"Value", dwValue), ERROR_INVALID_HANDLE);
        EXPECT_EQ(dwValue, kUntouched);
        EXPECT_EQ(pKey->SetDWORDValue(L"Value", 15), ERROR_INVALID_HANDLE);
        std::vector<BYTE> data = {9};
        EXPECT_EQ(pKey->QueryBinaryValue(L"Value", data), ERROR_INVALID_HANDLE);
        EXPECT_EQ(data, std::vector<BYTE>{9});
        EXPECT_EQ(pKey->SetBinaryValue(L"Value", "x", 1), ERROR_INVALID_HANDLE);
        EXPECT_EQ(pKey->DeleteValue(L"Value"), ERROR_INVALID_HANDLE);
    }
    EXPECT_EQ(ReadValue(kFirstKey, L"Value"), Dword(7));
}

}  // namespace
