#pragma once
// The small images of the task list's rows, gathered as one 32-bit strip with
// alpha and handed to a new image list in one call. Copying icons into an image
// list one at a time costs more than extracting them (about 3 ms an icon under
// Wine); drawing each icon once into a bitmap of our own costs a fraction.
#include <windows.h>

#include <cstdint>
#include <vector>

#include "win/UniqueHandle.h"

class CRowImages {
public:
    static constexpr int kDefaultSize = 16;
    using Image = std::vector<std::uint32_t>;  // size * size ARGB pixels, top-down, straight alpha

    CRowImages();

    // The images' width and height: the small-icon size at the list's DPI.
    // Changing it drops the images made so far (Begin again).
    void SetSize(int nSize);
    int GetSize() const { return m_nSize; }

    // Makes room for nRows images, all fully transparent. The images made
    // before are kept for Changed until the next Begin.
    void Begin(int nRows);
    // Whether row nRow's image differs from its image before the last Begin
    // (a row that was not there, or a new size, counts as changed).
    bool Changed(int nRow) const;
    // Whether any image or the number of rows differs from before the last Begin.
    bool AnyChanged() const;
    // Row nRow's image from hIcon, scaled to the size; a null icon leaves it
    // transparent, so that row n keeps image n.
    void SetIcon(int nRow, HICON hIcon);
    // The same, for an icon that never changes (a shared resource icon): it is
    // drawn once and then copied. With crTint other than CLR_NONE every pixel
    // takes that colour and keeps its alpha (the separator in high contrast).
    void SetSharedIcon(int nRow, HICON hIcon, COLORREF crTint = CLR_NONE);
    // Row nRow's image as ImageOf made it (an empty one leaves it transparent).
    void SetImage(int nRow, const Image& image) { Put(nRow, image); }
    // A new image list holding the rows' images in order, or null.
    UniqueImageList CreateImageList() const;

    // The icon's image at the size; an icon without alpha gets it from
    // its mask. Empty when the icon cannot be drawn.
    Image ImageOf(HICON hIcon);

private:
    void Put(int nRow, const Image& image);

    int m_nSize = kDefaultSize;
    int m_nRows = 0;
    Image m_strip;  // the rows' images side by side: m_nSize high, m_nSize * m_nRows wide
    Image m_previous;  // m_strip before the last Begin
    int m_nStripSize = 0;  // m_nSize when the strip was begun
    int m_nPreviousRows = 0, m_nPreviousSize = 0;
    HICON m_hShared = nullptr;
    COLORREF m_crSharedTint = CLR_NONE;
    Image m_shared;

    // Where icons are drawn: made once, reused for every row. The pixel
    // pointers come first, since making the bitmaps sets them.
    std::uint32_t* m_pImage = nullptr;
    std::uint32_t* m_pMask = nullptr;
    UniqueGdiObject m_image, m_mask;
    UniqueMemoryDc m_dc;  // released first, while the bitmaps are still there
};
