# x64 Windows programs, for 64-bit Windows.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_PREFIX x86_64-w64-mingw32)
set(SULVANTIX_WINEARCH win64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-posix-common.cmake)
