#pragma once
// Names the cases of a parameterised test after their `name` field, so a table
// keeps names people read and each case runs alone:
//   INSTANTIATE_TEST_SUITE_P(Cases, Fixture, ::testing::ValuesIn(kCases), CaseName());
// "add new, button" becomes AddNewButton; "read-only Data.dat" ReadOnlyDataDat.
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <string_view>

inline std::string CaseIdentifier(std::string_view name) {
    std::string id;
    bool bWordStart = true;
    for (char ch : name) {
        if (!std::isalnum(static_cast<unsigned char>(ch))) {
            bWordStart = true;
            continue;
        }
        id.push_back(bWordStart ? static_cast<char>(std::toupper(static_cast<unsigned char>(ch))) : ch);
        bWordStart = false;
    }
    return id;
}

struct CaseName {
    template <class Case>
    std::string operator()(const ::testing::TestParamInfo<Case>& info) const {
        return CaseIdentifier(info.param.name);
    }
};
