// The layout resource parser, over bytes.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "framework/LayoutResource.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Words(std::initializer_list<int> words) {
    Bytes bytes;
    for (int w : words) {
        bytes.push_back(static_cast<std::uint8_t>(w & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>((w >> 8) & 0xFF));
    }
    return bytes;
}

Bytes Plus(Bytes bytes, std::initializer_list<std::uint8_t> extra) {
    bytes.insert(bytes.end(), extra);
    return bytes;
}

TEST(LayoutResourceTest, ParsesOnlyWellFormedResources) {
    const std::vector<CLayoutEntry> kTwo = {{0, 0, 100, 100}, {100, 0, 0, 0}};
    struct Case {
        const char* name;
        Bytes bytes;
        size_t nControls;
        bool bOk;
        std::vector<CLayoutEntry> entries;
    };
    const Case cases[] = {
        {"two entries", Words({0, 0, 0, 100, 100, 100, 0, 0, 0}), 2, true, kTwo},
        {"fewer entries than controls", Words({0, 0, 0, 100, 100, 100, 0, 0, 0}), 5, true, kTwo},
        {"version only", Words({0}), 3, true, {}},
        {"version only, no controls", Words({0}), 0, true, {}},
        {"bytes are little-endian", Words({0, 0x0032, 0x0001, 0, 0}), 1, true, {{50, 1, 0, 0}}},
        {"exactly 100 percent", Words({0, 100, 100, 100, 100}), 1, true, {{100, 100, 100, 100}}},
        {"empty", {}, 3, false, {}},
        {"one byte", {0}, 3, false, {}},
        {"version and a stray byte", Plus(Words({0}), {0}), 3, false, {}},
        {"entry cut short", Words({0, 0, 0, 100}), 3, false, {}},
        {"entry and a stray byte", Plus(Words({0, 0, 0, 100, 100}), {7}), 3, false, {}},
        {"version 1", Words({1, 0, 0, 100, 100}), 3, false, {}},
        {"version 0x100", Words({0x100, 0, 0, 100, 100}), 3, false, {}},
        {"more entries than controls", Words({0, 0, 0, 100, 100, 0, 0, 100, 100}), 1, false, {}},
        {"entries but no controls", Words({0, 0, 0, 0, 0}), 0, false, {}},
        {"101 percent", Words({0, 0, 0, 101, 100}), 1, false, {}},
        {"negative percent", Words({0, 0, -1, 0, 0}), 1, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<CLayoutEntry> kUntouched = {{1, 2, 3, 4}};
        std::vector<CLayoutEntry> entries = kUntouched;
        EXPECT_EQ(ParseDialogLayout(c.bytes.data(), c.bytes.size(), c.nControls, entries), c.bOk);
        EXPECT_EQ(entries, c.bOk ? c.entries : kUntouched);
    }
}

TEST(LayoutResourceTest, NeverReadsPastTheGivenLength) {
    // A valid resource followed by bytes that must not be looked at: every
    // shorter length is judged on its own bytes only.
    const Bytes full = Words({0, 0, 0, 100, 100, 100, 0, 0, 0});
    for (size_t cb = 0; cb <= full.size(); ++cb) {
        SCOPED_TRACE(cb);
        const Bytes prefix(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(cb));
        std::vector<CLayoutEntry> entries;
        const bool bOk = ParseDialogLayout(prefix.data(), prefix.size(), 2, entries);
        EXPECT_EQ(bOk, cb == 2 || cb == 10 || cb == 18);
        EXPECT_EQ(entries.size(), bOk ? (cb - 2) / 8 : 0u);
    }
    std::vector<CLayoutEntry> entries;
    EXPECT_FALSE(ParseDialogLayout(nullptr, 10, 2, entries));
}

}  // namespace
