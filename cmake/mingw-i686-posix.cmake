# x86 (32-bit) Windows programs; run on 32-bit and 64-bit Windows alike.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(MINGW_PREFIX i686-w64-mingw32)
set(SULVANTIX_WINEARCH win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-posix-common.cmake)
