# Version resources of Sulvantix.exe and Vettor.exe: version 1.0.<build>.0,
# where <build> is SULVANTIX_BUILD_NUMBER (scripts/release sets it; 0 for a
# build of one's own). Each program's resource script includes its generated
# "<name>_version.rc"; this file makes them and shows the scripts where they are.
set(SULVANTIX_BUILD_NUMBER 0 CACHE STRING
    "Build number, the third part of the programs' version 1.0.<build>.0 (0 to 65535)")
# The fixed version numbers are 16-bit words.
if(NOT SULVANTIX_BUILD_NUMBER MATCHES "^[0-9]+$" OR SULVANTIX_BUILD_NUMBER GREATER 65535)
    message(FATAL_ERROR "SULVANTIX_BUILD_NUMBER must be a whole number from 0 to 65535, "
                        "not '${SULVANTIX_BUILD_NUMBER}'")
endif()
# Leading zeros would give the text version a different look from the numbers.
math(EXPR SULVANTIX_BUILD_NUMBER "${SULVANTIX_BUILD_NUMBER}")

if(NOT WIN32)
    return()
endif()

set(VERSION_MAJOR ${PROJECT_VERSION_MAJOR})
set(VERSION_MINOR ${PROJECT_VERSION_MINOR})
set(VERSION_TEXT "${VERSION_MAJOR}.${VERSION_MINOR}.${SULVANTIX_BUILD_NUMBER}.0")
set(version_folder ${CMAKE_BINARY_DIR}/generated/version)

# sulvantix_version_resource(PROGRAM DESCRIPTION TARGET RC_SOURCE): makes
# <program>_version.rc and lets TARGET's RC_SOURCE include it.
function(sulvantix_version_resource program description target rc_source)
    set(VERSION_PROGRAM ${program})
    set(VERSION_DESCRIPTION ${description})
    string(TOLOWER ${program} name)
    set(generated ${version_folder}/${name}_version.rc)
    configure_file(${CMAKE_SOURCE_DIR}/resources/common/version.rc.in ${generated} @ONLY)
    target_include_directories(${target} PRIVATE ${version_folder})
    # windres's includes are not tracked: a new build number recompiles the script.
    get_target_property(target_dir ${target} SOURCE_DIR)
    set_property(SOURCE ${rc_source} DIRECTORY ${target_dir} APPEND PROPERTY OBJECT_DEPENDS
                 ${generated})
endfunction()

sulvantix_version_resource(Sulvantix "Sulvantix anonymous proxy switcher" sulvantix_gui_resources
                           ${CMAKE_SOURCE_DIR}/resources/sulvantix/sulvantix.rc)
sulvantix_version_resource(Vettor "Vettor proxy checker" Vettor
                           ${CMAKE_SOURCE_DIR}/resources/vettor/vettor.rc)
