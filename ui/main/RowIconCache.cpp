#include "ui/main/RowIconCache.h"

#include <objbase.h>

#include "core/DataFile.h"
#include "core/DefaultTaskList.h"
#include "framework/WinText.h"
#include "ui/ActionIconProvider.h"

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

CRowIconPrefetch::CRowIconPrefetch(int nImageSize) : m_nImageSize(nImageSize) {
    m_worker.reset(::CreateThread(
        nullptr, 0,
        [](void* pThis) -> DWORD {
            static_cast<CRowIconPrefetch*>(pThis)->Run();
            return 0;
        },
        this, 0, nullptr));
}

CRowIconPrefetch::~CRowIconPrefetch() {
    if (m_worker) ::WaitForSingleObject(m_worker.get(), INFINITE);
}

CRowIconCache CRowIconPrefetch::Take(int nImageSize) {
    if (m_worker) ::WaitForSingleObject(m_worker.get(), INFINITE);
    m_worker.reset();
    CRowIconCache cache = std::move(m_cache);
    m_cache.Clear();
    if (nImageSize != m_nImageSize) cache.Clear();
    return cache;
}

void CRowIconPrefetch::Run() {
    // The shell's image list is a COM object: this thread needs its own
    // apartment, entered before the list is asked for and left after it goes.
    const HRESULT hrCom = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        // Only a guess at what the refresh will show: the refresh reads
        // Data.dat itself and looks up again whatever is not here.
        CTaskList list;
        platform::SystemError error;
        const std::u16string strPath = GetDataFilePath();
        if (auto file = strPath.empty() ? nullptr : platform::OpenFileForReading(strPath, error)) {
            const CDataFileStatus status = ReadTaskList(*file, list);
            if (!status.Succeeded() && status.m_eResult != CDataFileStatus::damaged) list = CTaskList();
            else if (list.GetSize() == 0) FillDefaultTaskList(list);
        } else if (error.m_eKind == platform::SystemError::EKind::notFound) {
            FillDefaultTaskList(list);
        }

        CActionIconProvider icons;
        CRowImages images;
        images.SetSize(m_nImageSize);
        CTargetProbe probe;
        for (int i = 0; i < list.GetSize(); ++i) {
            const CJumpListAction& task = list.GetAt(i);
            if (task.m_strPath.empty()) continue;  // the separator's image is never kept
            const std::uint64_t nLastWrite = probe.Probe(task.m_strPath).m_nLastWrite;
            if (m_cache.Find(task.m_strPath, task.m_nIconIndex, nLastWrite)) continue;
            bool bExtracted = false;
            m_cache.Store(task.m_strPath, task.m_nIconIndex, nLastWrite,
                          images.ImageOf(icons.GetIcon(task.m_strPath, task.m_nIconIndex, false, bExtracted)));
        }
    }
    if (SUCCEEDED(hrCom)) ::CoUninitialize();
}
