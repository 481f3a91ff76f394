#pragma once
// The small images of the task list's rows, gathered as one 32-bit strip with
// alpha and handed to a new image list in one call. Copying icons into an image
// list one at a time costs more than extracting them (about 3 ms an icon under
// Wine), while reading an icon's bits and adding one strip costs a fraction.
#include <windows.h>

#include <cstdint>
#include <vector>

#include "framework/UniqueHandle.h"

class CRowImages {
public:
    static constexpr int kSize = 16;

    // Makes room for nRows images, all fully transparent.
    void Begin(int nRows);
    // Row nRow's image from hIcon, scaled to kSize; a null or unreadable icon
    // leaves it transparent, so that row n keeps image n.
    void SetIcon(int nRow, HICON hIcon);
    // The same, for an icon that never changes (a shared resource icon): it is
    // read once and then copied.
    void SetSharedIcon(int nRow, HICON hIcon);
    // A new image list holding the rows' images in order, or null.
    UniqueImageList CreateImageList() const;

private:
    using Image = std::vector<std::uint32_t>;  // kSize * kSize ARGB pixels, top-down
    void Put(int nRow, const Image& image);

    int m_nRows = 0;
    Image m_strip;  // the rows' images side by side: kSize high, kSize * m_nRows wide
    HICON m_hShared = nullptr;
    Image m_shared;
};

// The icon's image at kSize by kSize with a straight (not premultiplied) alpha
// channel: an icon without alpha gets it from its mask. Empty when the icon's
// bits cannot be read.
std::vector<std::uint32_t> SmallImageOfIcon(HICON hIcon);
