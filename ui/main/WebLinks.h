#pragma once
// The program's ways out to the web: the product page (F1) and its share page.
#include <string>

// Facebook's share page for the product page. The product page goes into "u"
// as it is, not percent-encoded: the share endpoint takes it that way.
std::u16string GetShareAddress();

// Opens url with its default action (the user's browser), maximised, and
// returns at once. No owner window and no message: a page that cannot be
// opened leaves the program as it was.
void OpenWebPage(const std::u16string& url);
