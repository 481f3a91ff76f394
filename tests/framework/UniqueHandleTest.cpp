// The owner template with a recording traits type: which handles it closes, and
// when. Handed the handle it holds, reset must keep it open.
#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

#include "win/UniqueHandle.h"

namespace {

std::vector<int> g_closed;

struct RecordingTraits {
    using Handle = int;
    static Handle Invalid() { return 0; }
    static void Close(Handle h) {
        g_closed.push_back(h);
        ::SetLastError(ERROR_INVALID_HANDLE);  // as a real close may
    }
};
using UniqueRecorded = UniqueHandle<RecordingTraits>;

TEST(UniqueHandleTest, ClosesEachHandleOnceInOrder) {
    struct Case {
        const char* name;
        std::function<void()> act;
        std::vector<int> closed;  // in order, including what the owners close as they go
    };
    const Case cases[] = {
        {"reset with its own handle", [] { UniqueRecorded h(1); h.reset(h.get()); }, {1}},
        {"reset with another handle", [] { UniqueRecorded h(1); h.reset(2); }, {1, 2}},
        {"reset to none", [] { UniqueRecorded h(1); h.reset(); }, {1}},
        {"reset to none when empty", [] { UniqueRecorded h; h.reset(); }, {}},
        {"release", [] { UniqueRecorded h(1); EXPECT_EQ(h.release(), 1); }, {}},
        {"move construction", [] { UniqueRecorded a(1); UniqueRecorded b(std::move(a)); }, {1}},
        {"move assignment over a held handle", [] { UniqueRecorded a(1), b(2); b = std::move(a); }, {2, 1}},
        {"move assignment to itself", [] { UniqueRecorded a(1); UniqueRecorded& self = a; a = std::move(self); }, {1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_closed.clear();
        c.act();
        EXPECT_EQ(g_closed, c.closed);
    }
}

TEST(UniqueHandleTest, AHandleResetToItselfIsClosedOnlyWhenTheOwnerGoes) {
    g_closed.clear();
    {
        UniqueRecorded h(7);
        h.reset(7);
        h.reset(h.get());
        EXPECT_TRUE(h.valid());
        EXPECT_EQ(h.get(), 7);
        EXPECT_TRUE(g_closed.empty());
    }
    EXPECT_EQ(g_closed, std::vector<int>{7});
}

// A caller that closes the handle a failed call replaced still reads why it failed.
TEST(UniqueHandleTest, ReplacingAHandleKeepsTheCallersLastError) {
    UniqueRecorded h(1);
    ::SetLastError(ERROR_SHARING_VIOLATION);
    h.reset(2);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
}

// CreateFileW fails with INVALID_HANDLE_VALUE, CreateEventW with null: one owner takes both as none.
TEST(UniqueHandleTest, KernelHandleTakesEitherFailureAsNone) {
    for (HANDLE h : {static_cast<HANDLE>(nullptr), INVALID_HANDLE_VALUE}) EXPECT_FALSE(UniqueKernelHandle(h).valid());
    EXPECT_TRUE(UniqueKernelHandle(::CreateEventW(nullptr, TRUE, FALSE, nullptr)).valid());
}

}  // namespace
