// The web addresses the program opens, and how it opens them.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/ProductLinks.h"
#include "support/ModalAnswerer.h"
#include "support/OpenedUrls.h"
#include "ui/main/WebLinks.h"

namespace {

TEST(WebLinksTest, ShareAddressCarriesTheProductPageUnencoded) {
    EXPECT_EQ(GetShareAddress(), u"http://www.facebook.com/sharer.php?u=https://brellow.example/zembro");
    EXPECT_EQ(GetShareAddress(), u"http://www.facebook.com/sharer.php?u=" + std::u16string(kProductPage));
}

TEST(WebLinksTest, OpensEachAddressMaximisedAsGiven) {
    CUrlRecorder recorder;
    ASSERT_TRUE(recorder.Registered());
    const std::u16string addresses[] = {
        kProductPage,
        GetShareAddress(),
        u"https://brellow.example/zembro?a=1&b=two%20words#part",
        u"http://brellow.example/\u00e9t\u00e9",
    };
    std::vector<COpenedUrl> expected;
    for (const std::u16string& address : addresses) {
        OpenWebPage(address);
        expected.push_back({SW_SHOWMAXIMIZED, address});
        // One at a time, so that the recorders cannot change the order.
        recorder.WaitForOpened(expected.size());
    }
    EXPECT_EQ(recorder.Opened(), expected);
}

TEST(WebLinksTest, AnAddressThatCannotBeOpenedIsNotReported) {
    CUrlRecorder recorder;
    ASSERT_TRUE(recorder.Registered());
    CModalAnswerer answerer;
    for (const char16_t* pszAddress : {u"zembro-no-such-scheme:page", u"C:\\no\\such\\folder\\page.html"}) {
        OpenWebPage(pszAddress);
    }
    // A later address still arrives, and it is the only one.
    OpenWebPage(kProductPage);
    EXPECT_EQ(recorder.WaitForOpened(1), (std::vector<COpenedUrl>{{SW_SHOWMAXIMIZED, kProductPage}}));
    EXPECT_TRUE(answerer.MessageBoxes().empty());
}

}  // namespace
