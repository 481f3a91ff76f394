#pragma once
// The program's ways out: the product page (F1) and its share page on the
// web, and Data.dat in the file manager.
#include <string>

// Facebook's share page for the product page. The product page goes into "u"
// as it is, not percent-encoded: the share endpoint takes it that way.
std::u16string GetShareAddress();

// Opens url with its default action (the user's browser), maximised, and
// returns at once. No owner window and no message: a page that cannot be
// opened leaves the program as it was.
void OpenWebPage(const std::u16string& url);

// A file manager window on strPath's folder with the file selected; nothing
// when the file does not exist yet. Its outcome is not the program's concern.
void ShowInFileManager(const std::u16string& strPath);
