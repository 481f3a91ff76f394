#pragma once
// The pictures of a dialog template: its Static controls with the SS_ICON style
// whose text is an icon resource id, which the dialog manager loads at the
// system's icon size. The framework loads them again at the size of the
// dialog's DPI. Reads both template forms (DIALOG and DIALOGEX), little-endian.
// Portable on purpose: no Windows header, so it is tested natively too.
#include <cstddef>
#include <cstdint>
#include <vector>

struct CTemplatePicture {
    std::size_t m_nItem = 0;        // the control's place in template order
    std::uint16_t m_nIDIcon = 0;    // the icon resource it shows
    bool operator==(const CTemplatePicture&) const = default;
};

// The template's pictures in template order into pictures. False, leaving
// pictures untouched, for a template cut short or with an item that runs past
// its end. Never reads outside [pData, pData + cbData).
bool FindTemplatePictures(const std::uint8_t* pData, std::size_t cbData, std::vector<CTemplatePicture>& pictures);
