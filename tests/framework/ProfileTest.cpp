// The registry profile: where values go, their types, defaults and round trips.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "framework/App.h"

namespace {

constexpr wchar_t kCompany[] = L"ZembroFrameworkTest";
constexpr wchar_t kCompanyKey[] = L"Software\\ZembroFrameworkTest";
constexpr wchar_t kSectionKey[] = L"Software\\ZembroFrameworkTest\\Zembro by Brellow\\Settings";
constexpr wchar_t kSection[] = L"Settings";

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, kCompanyKey);
        m_app.SetRegistryKey(kCompany);
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kCompanyKey); }

    // Stores a value behind the profile's back.
    static void Put(const wchar_t* pszName, DWORD dwType, const std::vector<BYTE>& bytes) {
        HKEY hKey = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kSectionKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &hKey, nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExW(hKey, pszName, 0, dwType, bytes.data(), static_cast<DWORD>(bytes.size())),
                  ERROR_SUCCESS);
        RegCloseKey(hKey);
    }
    // Reads a value behind the profile's back: its type and bytes.
    static bool Get(const wchar_t* pszName, DWORD& dwType, std::vector<BYTE>& bytes) {
        DWORD cb = 0;
        if (RegGetValueW(HKEY_CURRENT_USER, kSectionKey, pszName, RRF_RT_ANY, &dwType, nullptr, &cb) != ERROR_SUCCESS)
            return false;
        bytes.resize(cb);
        return RegGetValueW(HKEY_CURRENT_USER, kSectionKey, pszName, RRF_RT_ANY, &dwType, bytes.data(), &cb) ==
               ERROR_SUCCESS;
    }
    static bool KeyExists(const wchar_t* pszKey) {
        HKEY hKey = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, pszKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS) return false;
        RegCloseKey(hKey);
        return true;
    }

    CWinApp m_app;
};

std::vector<BYTE> Le32(std::uint32_t n) {
    return {BYTE(n), BYTE(n >> 8), BYTE(n >> 16), BYTE(n >> 24)};
}

TEST_F(ProfileTest, IntegersRoundTripAsDwordsUnderCompanyTitleAndSection) {
    for (int n : {0, 1, -1, 50, INT_MIN, INT_MAX}) {
        SCOPED_TRACE(n);
        EXPECT_TRUE(m_app.WriteProfileInt(kSection, L"Column0", n));
        EXPECT_EQ(static_cast<int>(m_app.GetProfileInt(kSection, L"Column0", 1234)), n);
        DWORD dwType = REG_NONE;
        std::vector<BYTE> bytes;
        ASSERT_TRUE(Get(L"Column0", dwType, bytes));
        EXPECT_EQ(dwType, static_cast<DWORD>(REG_DWORD));
        EXPECT_EQ(bytes, Le32(static_cast<std::uint32_t>(n)));
    }
}

TEST_F(ProfileTest, MissingOrMistypedIntegersReadAsTheDefault) {
    struct Case {
        const char* name;
        DWORD dwType;  // REG_NONE: not stored at all
        std::vector<BYTE> bytes;
    };
    const Case cases[] = {
        {"missing", REG_NONE, {}},
        {"text", REG_SZ, {'5', 0, 0, 0}},
        {"binary of four bytes", REG_BINARY, Le32(5)},
        {"qword", REG_QWORD, {5, 0, 0, 0, 0, 0, 0, 0}},
        {"dword of two bytes", REG_DWORD, {5, 0}},
        {"dword of eight bytes", REG_DWORD, {5, 0, 0, 0, 0, 0, 0, 0}},
    };
    EXPECT_EQ(m_app.GetProfileInt(kSection, L"Value", 7), 7u);  // no keys at all yet
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RegDeleteTreeW(HKEY_CURRENT_USER, kCompanyKey);
        if (c.dwType != REG_NONE) Put(L"Value", c.dwType, c.bytes);
        EXPECT_EQ(m_app.GetProfileInt(kSection, L"Value", 7), 7u);
        EXPECT_EQ(static_cast<int>(m_app.GetProfileInt(kSection, L"Value", -3)), -3);
    }
}

TEST_F(ProfileTest, BlocksRoundTripWithTheirOwnLength) {
    std::vector<BYTE> placement(44);
    for (size_t i = 0; i < placement.size(); ++i) placement[i] = static_cast<BYTE>(i * 7);
    const std::vector<std::vector<BYTE>> blocks = {placement, {}, {1, 2, 3}, std::vector<BYTE>(1000, 0xAB), {9}};
    for (const auto& block : blocks) {
        SCOPED_TRACE(block.size());
        EXPECT_TRUE(m_app.WriteProfileBinary(kSection, L"Location", block.data(), static_cast<UINT>(block.size())));
        std::vector<BYTE> read = {0xEE};
        EXPECT_TRUE(m_app.GetProfileBinary(kSection, L"Location", read));
        EXPECT_EQ(read, block);
        DWORD dwType = REG_NONE;
        std::vector<BYTE> stored;
        ASSERT_TRUE(Get(L"Location", dwType, stored));
        EXPECT_EQ(dwType, static_cast<DWORD>(REG_BINARY));
    }
}

TEST_F(ProfileTest, MissingOrMistypedBlocksReadAsNoneAndLeaveTheBufferAlone) {
    struct Case {
        const char* name;
        DWORD dwType;
        std::vector<BYTE> bytes;
    };
    const Case cases[] = {
        {"missing", REG_NONE, {}},
        {"dword", REG_DWORD, Le32(44)},
        {"text", REG_SZ, {'a', 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RegDeleteTreeW(HKEY_CURRENT_USER, kCompanyKey);
        if (c.dwType != REG_NONE) Put(L"Location", c.dwType, c.bytes);
        std::vector<BYTE> read = {1, 2};
        EXPECT_FALSE(m_app.GetProfileBinary(kSection, L"Location", read));
        EXPECT_EQ(read, (std::vector<BYTE>{1, 2}));
    }
}

TEST_F(ProfileTest, WritesCreateTheKeysOnTheWay) {
    EXPECT_FALSE(KeyExists(kCompanyKey));
    EXPECT_TRUE(m_app.WriteProfileInt(kSection, L"m_bRememberLocation", 0));
    EXPECT_TRUE(KeyExists(kSectionKey));
    EXPECT_EQ(m_app.GetProfileInt(kSection, L"m_bRememberLocation", 1), 0u);
    EXPECT_EQ(m_app.GetProfileInt(L"Other", L"m_bRememberLocation", 1), 1u);
}

TEST(ProfileWithoutKeyTest, ReadsGiveDefaultsAndWritesFail) {
    RegDeleteTreeW(HKEY_CURRENT_USER, kCompanyKey);
    CWinApp app;
    const BYTE bytes[] = {1, 2, 3};
    EXPECT_FALSE(app.WriteProfileInt(kSection, L"Value", 5));
    EXPECT_FALSE(app.WriteProfileBinary(kSection, L"Block", bytes, 3));
    EXPECT_EQ(app.GetProfileInt(kSection, L"Value", 9), 9u);
    std::vector<BYTE> read;
    EXPECT_FALSE(app.GetProfileBinary(kSection, L"Block", read));
}

}  // namespace
