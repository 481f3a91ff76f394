#include "ui/main/RowIconCache.h"

#include "win/WinText.h"

CTargetState CTargetProbe::Probe(const std::u16string& strPath) {
    CTargetState state;
    if (strPath.size() < 3 || strPath[1] != u':' || (strPath[2] != u'\\' && strPath[2] != u'/')) return state;
    const char16_t chDrive = strPath[0] | 0x20;  // lower case
    if (chDrive < u'a' || chDrive > u'z') return state;
    UINT& nType = m_driveTypes[chDrive - u'a'];
    if (nType == kUnknown) {
        const wchar_t szRoot[] = {static_cast<wchar_t>(chDrive), L':', L'\\', 0};
        nType = ::GetDriveTypeW(szRoot);
    }
    if (nType == DRIVE_REMOTE) return state;
    state.m_bLocal = true;
    if (nType == DRIVE_NO_ROOT_DIR) return state;  // no such drive
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(as_wcstr(strPath), GetFileExInfoStandard, &data)) return state;
    state.m_bExists = true;
    state.m_nLastWrite = (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                         data.ftLastWriteTime.dwLowDateTime;
    return state;
}

const CRowImages::Image* CRowIconCache::Find(const std::u16string& strPath, int nIconIndex,
                                             std::uint64_t nLastWrite) const {
    const auto it = m_entries.find({strPath, nIconIndex});
    return it != m_entries.end() && it->second.m_nLastWrite == nLastWrite ? &it->second.m_image : nullptr;
}

void CRowIconCache::Store(const std::u16string& strPath, int nIconIndex, std::uint64_t nLastWrite,
                          CRowImages::Image image) {
    m_entries[{strPath, nIconIndex}] = CEntry{nLastWrite, std::move(image)};
}

