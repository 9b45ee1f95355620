# Read by CPack before it makes each package, the source archive included. CPack reads it without
# the project's policies, so it sets them itself: find_program then takes only programs that may
# be run, as the rest of the build does.
cmake_policy(VERSION 3.24)

# Every file in every package carries the release's date as its time, so the same sources pack to
# the same bytes wherever and whenever they are packed. A SOURCE_DATE_EPOCH of the user's wins.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    set(ENV{SOURCE_DATE_EPOCH} ${CPACK_ANTORDER_RELEASE_EPOCH})
endif()

# Every release file is packed from the commit checked out, unless the configure asked otherwise.
include(${CMAKE_CURRENT_LIST_DIR}/uncommitted_changes.cmake)
if(NOT CPACK_ANTORDER_PACK_UNCOMMITTED)
    refuse_uncommitted_changes(${CPACK_ANTORDER_SOURCE_DIR}
        "-DANTORDER_PACK_UNCOMMITTED=ON on the configure of this build")
endif()

# Stops the packing unless `program` is found and answers `--version`, naming the Debian package
# that provides it and why it is needed.
function(require_tool program debian_package purpose)
    string(TOUPPER "ANTORDER_${program}" variable)
    string(MAKE_C_IDENTIFIER ${variable} variable)
    find_program(${variable} ${program})
    if(${variable})
        execute_process(COMMAND ${${variable}} --version RESULT_VARIABLE status
            OUTPUT_QUIET ERROR_QUIET)
    endif()
    if(NOT ${variable} OR NOT status EQUAL 0)
        message(FATAL_ERROR "The ${CPACK_GENERATOR} package needs ${program}, which could not be "
            "found or run, ${purpose}. Install it with `apt-get install ${debian_package}`.")
    endif()
endfunction()

# The Debian package declares the libraries the program needs, as dpkg-shlibdeps reads them off
# it; without that tool CPack would quietly declare none. Its tree is then laid out as Debian's
# policy asks.
if(CPACK_GENERATOR STREQUAL "DEB")
    require_tool(dpkg-shlibdeps dpkg-dev "to declare the libraries the program depends on")
    set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/debian_layout.cmake)
endif()
# The Linux archive takes the statically linked program in place of the installed one.
if(CPACK_GENERATOR STREQUAL "TGZ" AND NOT CPACK_INSTALLED_DIRECTORIES)
    if(NOT CPACK_ANTORDER_LINUX_ARCHIVE_PROJECTS)
        message(FATAL_ERROR "The Linux archive holds the program linked with -static-pie, which "
            "this build's compiler and linker could not do.")
    endif()
    set(CPACK_INSTALL_CMAKE_PROJECTS ${CPACK_ANTORDER_LINUX_ARCHIVE_PROJECTS})
endif()
if(CPACK_GENERATOR MATCHES "^(DEB|ZIP)$")
    require_tool(strip-nondeterminism strip-nondeterminism "to normalise the archive's headers")
endif()
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/archive_rules.cmake)
