// The command-line slot a later start hands to the first instance: 256 bytes
// of a named paging-file mapping, touched only under a named mutex so both
// processes see whole texts.
#pragma once

#include <windows.h>

#include <string>

#include "framework/handle.h"

class CSingleInstanceData {
public:
    static constexpr DWORD kSlotSize = 256;

    // Makes or opens the mutex and the mapping named after the identifier and
    // zeroes the slot. When the mapping or its view cannot be made there is no
    // slot: SetValue then writes nothing and GetValue answers "".
    explicit CSingleInstanceData(const std::string& identifier);
    virtual ~CSingleInstanceData();
    CSingleInstanceData(const CSingleInstanceData&) = delete;
    CSingleInstanceData& operator=(const CSingleInstanceData&) = delete;

    // Texts of kSlotSize characters or more leave the slot unchanged.
    void SetValue(const char* text);
    // "" when there is no slot or the mutex cannot be taken.
    std::string GetValue() const;
    bool HasSlot() const { return m_view.IsValid(); }

private:
    struct ViewTraits {
        using Handle = void*;
        static bool IsEmpty(void* p) { return p == nullptr; }
        static void* Empty() { return nullptr; }
        static void Close(void* p) { ::UnmapViewOfFile(p); }
    };

    // Declared in the order they are made: the view goes before its mapping.
    UniqueHandle m_hMutex;
    UniqueHandle m_hMapping;
    CUniqueResource<ViewTraits> m_view;
};
