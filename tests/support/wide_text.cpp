#include "tests/support/wide_text.h"

#include <windows.h>

std::string Narrow(const std::wstring& wide) {
    const int size = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) {
        ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), &text[0], size,
                              nullptr, nullptr);
    }
    return text;
}
