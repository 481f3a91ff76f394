#pragma once
// The width in pixels of an icon's image, or 0 for what is not an icon.
#include <windows.h>

inline int IconWidth(HICON hIcon) {
    ICONINFO info{};
    if (!hIcon || !::GetIconInfo(hIcon, &info)) return 0;
    BITMAP bm{};
    const int cx = ::GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bm), &bm) ? bm.bmWidth : 0;
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    if (info.hbmMask) ::DeleteObject(info.hbmMask);
    return cx;
}
