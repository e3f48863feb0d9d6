// Owners of kernel handles: exactly one owner per handle, non-copyable, movable.
#pragma once

#include <windows.h>

#include <utility>

template <class Traits> class CUniqueResource {
public:
    using Handle = typename Traits::Handle;

    CUniqueResource() = default;
    explicit CUniqueResource(Handle h) : m_h(Traits::IsEmpty(h) ? Traits::Empty() : h) {}
    ~CUniqueResource() { Reset(); }

    CUniqueResource(const CUniqueResource&) = delete;
    CUniqueResource& operator=(const CUniqueResource&) = delete;
    CUniqueResource(CUniqueResource&& other) noexcept : m_h(other.Release()) {}
    CUniqueResource& operator=(CUniqueResource&& other) noexcept {
        if (this != &other) {
            Reset(other.Release());
        }
        return *this;
    }

    Handle Get() const { return m_h; }
    bool IsValid() const { return !Traits::IsEmpty(m_h); }
    explicit operator bool() const { return IsValid(); }

    // Gives the handle up without closing it.
    Handle Release() {
        Handle h = m_h;
        m_h = Traits::Empty();
        return h;
    }
    // Closes the current handle (once) and takes the new one.
    void Reset(Handle h = Traits::Empty()) {
        if (Traits::IsEmpty(h)) {
            h = Traits::Empty();
        }
        if (h == m_h) {
            return;
        }
        Handle old = m_h;
        m_h = h;
        if (!Traits::IsEmpty(old)) {
            Traits::Close(old);
        }
    }

private:
    Handle m_h = Traits::Empty();
};

struct KernelHandleTraits {
    using Handle = HANDLE;
    // Creation functions disagree on the failure value: some answer NULL, the
    // file functions INVALID_HANDLE_VALUE. Both mean "no handle".
    static bool IsEmpty(HANDLE h) { return h == nullptr || h == INVALID_HANDLE_VALUE; }
    static HANDLE Empty() { return nullptr; }
    static void Close(HANDLE h) { ::CloseHandle(h); }
};
using UniqueHandle = CUniqueResource<KernelHandleTraits>;

struct FindHandleTraits {
    using Handle = HANDLE;
    static bool IsEmpty(HANDLE h) { return h == nullptr || h == INVALID_HANDLE_VALUE; }
    static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { ::FindClose(h); }
};
using UniqueFindHandle = CUniqueResource<FindHandleTraits>;

// Service control manager and service handles.
struct ServiceHandleTraits {
    using Handle = SC_HANDLE;
    static bool IsEmpty(SC_HANDLE h) { return h == nullptr; }
    static SC_HANDLE Empty() { return nullptr; }
    static void Close(SC_HANDLE h) { ::CloseServiceHandle(h); }
};
using UniqueServiceHandle = CUniqueResource<ServiceHandleTraits>;

// Icons loaded without LR_SHARED, and menus no window holds.
struct IconHandleTraits {
    using Handle = HICON;
    static bool IsEmpty(HICON h) { return h == nullptr; }
    static HICON Empty() { return nullptr; }
    static void Close(HICON h) { ::DestroyIcon(h); }
};
using UniqueIcon = CUniqueResource<IconHandleTraits>;

struct MenuHandleTraits {
    using Handle = HMENU;
    static bool IsEmpty(HMENU h) { return h == nullptr; }
    static HMENU Empty() { return nullptr; }
    static void Close(HMENU h) { ::DestroyMenu(h); }
};
using UniqueMenu = CUniqueResource<MenuHandleTraits>;
