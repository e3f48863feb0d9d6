# Test registration for the three tiers. Every test is a plain ctest test, so
# `ctest -L unit|win32|e2e` picks a tier.
#
#   sulvantix_unit_test(NAME n SOURCES ... [LIBS ...])
#       Portable logic with GoogleTest; built by both toolchains (natively with
#       sanitizers, and as .exe run under Wine).
#   sulvantix_win32_test(NAME n SOURCES ... [LIBS ...] [LABELS ...] [STANDINS] [RESOURCE_LOCK ...])
#       Win32 test executable under Wine; STANDINS makes it wait for the
#       loopback stand-ins (proxy farm, update server) and files it under e2e.
#   sulvantix_e2e_test(NAME n COMMAND ... [RESOURCE_LOCK ...])
#       End-to-end check of the real programs, with the stand-ins running.

set(SULVANTIX_STANDINS_DIR "${CMAKE_BINARY_DIR}/standins")

function(_sulvantix_test_env name)
    set_property(TEST ${name} APPEND PROPERTY ENVIRONMENT
        "SULVANTIX_STANDINS_DIR=${SULVANTIX_STANDINS_DIR}"
        "SULVANTIX_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
        "SULVANTIX_BINARY_DIR=${CMAKE_BINARY_DIR}"
        "http_proxy=" "https_proxy=" "HTTP_PROXY=" "HTTPS_PROXY=" "no_proxy=" "NO_PROXY=")
endfunction()

function(_sulvantix_gtest_exe name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest_main)
    if(WIN32)
        # Console test programs; keep stdout/stderr visible to ctest. A crash
        # must fail the test, whatever exit code Wine would report.
        target_link_options(${name} PRIVATE -mconsole)
        target_sources(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support/crash_exit.cpp)
    endif()
endfunction()

function(sulvantix_unit_test)
    cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
    _sulvantix_gtest_exe(${T_NAME} SOURCES ${T_SOURCES} LIBS ${T_LIBS})
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    set_tests_properties(${T_NAME} PROPERTIES LABELS unit)
    _sulvantix_test_env(${T_NAME})
endfunction()

function(sulvantix_win32_test)
    if(NOT WIN32)
        return()
    endif()
    cmake_parse_arguments(T "STANDINS" "NAME" "SOURCES;LIBS;LABELS;RESOURCE_LOCK" ${ARGN})
    _sulvantix_gtest_exe(${T_NAME} SOURCES ${T_SOURCES} LIBS ${T_LIBS})
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    # A Win32 test that talks to the stand-ins runs the real code end to end.
    if(T_STANDINS)
        set(labels e2e ${T_LABELS})
        set_tests_properties(${T_NAME} PROPERTIES FIXTURES_REQUIRED standins)
    else()
        set(labels win32 ${T_LABELS})
    endif()
    set_tests_properties(${T_NAME} PROPERTIES LABELS "${labels}")
    if(T_RESOURCE_LOCK)
        set_tests_properties(${T_NAME} PROPERTIES RESOURCE_LOCK "${T_RESOURCE_LOCK}")
    endif()
    _sulvantix_test_env(${T_NAME})
endfunction()

function(sulvantix_e2e_test)
    if(NOT WIN32)
        return()
    endif()
    cmake_parse_arguments(T "" "NAME" "COMMAND;RESOURCE_LOCK" ${ARGN})
    add_test(NAME ${T_NAME} COMMAND ${T_COMMAND})
    set_tests_properties(${T_NAME} PROPERTIES LABELS e2e FIXTURES_REQUIRED standins)
    if(T_RESOURCE_LOCK)
        set_tests_properties(${T_NAME} PROPERTIES RESOURCE_LOCK "${T_RESOURCE_LOCK}")
    endif()
    _sulvantix_test_env(${T_NAME})
endfunction()

# The stand-ins run once for the whole ctest run, started and stopped by fixtures.
function(sulvantix_standins_fixture)
    if(NOT WIN32)
        return()
    endif()
    add_test(NAME standins_start
        COMMAND ${CMAKE_SOURCE_DIR}/scripts/standins start ${SULVANTIX_STANDINS_DIR}
                ${SULVANTIX_HOST_BUILD_DIR}/tools)
    add_test(NAME standins_stop
        COMMAND ${CMAKE_SOURCE_DIR}/scripts/standins stop ${SULVANTIX_STANDINS_DIR})
    set_tests_properties(standins_start PROPERTIES FIXTURES_SETUP standins LABELS "win32;e2e")
    set_tests_properties(standins_stop PROPERTIES FIXTURES_CLEANUP standins LABELS "win32;e2e")
endfunction()
