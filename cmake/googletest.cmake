# GoogleTest and GoogleMock from the sources of Debian's googletest package,
# built with whichever toolchain this tree uses. No downloads.
set(SULVANTIX_GTEST_SOURCE "/usr/src/googletest" CACHE PATH "GoogleTest source tree")
if(NOT EXISTS "${SULVANTIX_GTEST_SOURCE}/CMakeLists.txt")
    message(FATAL_ERROR "GoogleTest sources not found at ${SULVANTIX_GTEST_SOURCE}; run scripts/setup")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${SULVANTIX_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/_deps/googletest EXCLUDE_FROM_ALL SYSTEM)
