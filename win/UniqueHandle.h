#pragma once
// One move-only owner for every kind of Windows handle the program holds.
// Each Traits names the handle type, its "none" value and how it is released:
//   struct Traits { using Handle = ...; static Handle Invalid(); static void Close(Handle); };
// A Traits whose calls give back more than one "none" adds
//   static bool IsValid(Handle);
// There is no operator&: pass get() in, or reset() with what a call returned.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include <utility>

template <typename Traits>
bool IsValidHandle(typename Traits::Handle h) {
    if constexpr (requires { Traits::IsValid(h); })
        return Traits::IsValid(h);
    else
        return h != Traits::Invalid();
}

template <typename Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle h) : m_h(h) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : m_h(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    Handle get() const { return m_h; }
    bool valid() const { return IsValidHandle<Traits>(m_h); }
    explicit operator bool() const { return valid(); }

    // Gives up ownership without releasing: the caller now owns what it returns.
    [[nodiscard]] Handle release() { return std::exchange(m_h, Traits::Invalid()); }
    // Releases what is held, then takes h. Handed the handle it holds, it keeps
    // it: releasing it first would leave the owner holding a closed handle.
    void reset(Handle h = Traits::Invalid()) {
        if (h == m_h) return;
        Handle old = std::exchange(m_h, h);
        if (!IsValidHandle<Traits>(old)) return;
        // The caller may still be about to read why the call that handed it h failed.
        const DWORD dwLastError = ::GetLastError();
        Traits::Close(old);
        ::SetLastError(dwLastError);
    }

private:
    Handle m_h = Traits::Invalid();
};

// Files, threads, events and the like: CreateFileW's "none" is
// INVALID_HANDLE_VALUE, the others' null, and either means nothing is held.
struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h && h != INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { ::CloseHandle(h); }
};
// A FindFirstFileW search.
struct FindFileTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Handle h) { return h && h != INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { ::FindClose(h); }
};
struct RegKeyTraits {
    using Handle = HKEY;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::RegCloseKey(h); }
};
// Only for icons the program created or extracted, never for shared resource icons.
struct IconTraits {
    using Handle = HICON;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::DestroyIcon(h); }
};
struct ImageListTraits {
    using Handle = HIMAGELIST;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::ImageList_Destroy(h); }
};
struct GdiObjectTraits {
    using Handle = HGDIOBJ;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::DeleteObject(h); }
};
// A DC from CreateCompatibleDC, not one from GetDC.
struct MemoryDcTraits {
    using Handle = HDC;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::DeleteDC(h); }
};
struct MenuTraits {
    using Handle = HMENU;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::DestroyMenu(h); }
};

// An ID list from the shell (ILCreateFromPathW and the like).
struct IdListTraits {
    using Handle = PIDLIST_ABSOLUTE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::ILFree(h); }
};
// FindFirstChangeNotificationW's handle: invalid is INVALID_HANDLE_VALUE.
struct ChangeNotificationTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Handle h) { return h && h != INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { ::FindCloseChangeNotification(h); }
};
// Memory a COM call allocated for its caller (a display name, for instance).
template <typename T>
struct CoTaskMemTraits {
    using Handle = T*;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::CoTaskMemFree(h); }
};
// Memory a Win32 call allocated with LocalAlloc for its caller
// (FormatMessageW's buffer, CommandLineToArgvW's array).
template <typename T>
struct LocalMemTraits {
    using Handle = T*;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::LocalFree(h); }
};

using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueFindFile = UniqueHandle<FindFileTraits>;
using UniqueRegKey = UniqueHandle<RegKeyTraits>;
using UniqueIcon = UniqueHandle<IconTraits>;
using UniqueImageList = UniqueHandle<ImageListTraits>;
using UniqueGdiObject = UniqueHandle<GdiObjectTraits>;
using UniqueMemoryDc = UniqueHandle<MemoryDcTraits>;
using UniqueMenu = UniqueHandle<MenuTraits>;
using UniqueIdList = UniqueHandle<IdListTraits>;
using UniqueChangeNotification = UniqueHandle<ChangeNotificationTraits>;
template <typename T>
using UniqueCoTaskMem = UniqueHandle<CoTaskMemTraits<T>>;
template <typename T>
using UniqueLocalMem = UniqueHandle<LocalMemTraits<T>>;
