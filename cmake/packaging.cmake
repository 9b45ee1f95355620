# CPack: packages of what `cmake --install` installs, named after the project's version and the
# platform; `cpack --preset release` packs the release build, `cpack --preset windows` the
# Windows one. cmake/package_settings.cmake adds what is decided at packing time.
set(CPACK_PACKAGE_NAME antorder)
set(CPACK_PACKAGE_CONTACT "antorder maintainers <maintainers@users.noreply.c-seed-b2678d6b.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "order a small regression suite with an ant-colony search")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "antorder orders a built-in suite of five tests with an ant-colony search.\n"
    "It prints the fault-detection score (APFD) of the ordering each of its\n"
    "100 iterations keeps, then the last ordering kept. Its random source has\n"
    "a fixed seed, so every run prints the same report.")
# Windows users get a zip named after the platform, win64; elsewhere the .deb and the .tar.gz.
if(WIN32)
    set(CPACK_GENERATOR ZIP)
else()
    set(CPACK_GENERATOR DEB TGZ)
    set(CPACK_SYSTEM_NAME ${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR})
endif()

# The .tar.gz for Linux holds the documents and the program linked statically as a
# position-independent executable: with no interpreter and no shared library, it runs on any
# Linux for its processor, whatever C library the system has or lacks. What `cmake --install`
# installs, and the .deb, keep the dynamically linked program, as Debian's policy asks. Where the
# linker cannot make such a program, as in the statically linked cross builds and under the
# sanitizers, there is no Linux archive.
include(CheckLinkerFlag)
check_linker_flag(CXX -static-pie antorder_links_static_pie)
if(CMAKE_SYSTEM_NAME STREQUAL "Linux" AND antorder_links_static_pie AND NOT ANTORDER_SANITIZE)
    add_executable(antorder_static colony/main.cpp)
    target_link_libraries(antorder_static PRIVATE antorder::colony antorder::random_source
        antorder_program_options)
    # -static-pie makes the program position-independent by itself; CMake's -pie, which the
    # other targets get, would make it dynamic again.
    set_property(TARGET antorder_static PROPERTY POSITION_INDEPENDENT_CODE)
    target_compile_options(antorder_static PRIVATE -fPIE)
    target_link_options(antorder_static PRIVATE -static-pie)
    set_target_properties(antorder_static PROPERTIES
        OUTPUT_NAME antorder RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/static)
    install(TARGETS antorder_static COMPONENT static_program EXCLUDE_FROM_ALL)
    set(CPACK_ANTORDER_LINUX_ARCHIVE_PROJECTS
        ${PROJECT_BINARY_DIR} antorder documents / ${PROJECT_BINARY_DIR} antorder static_program /)
endif()
set(CPACK_STRIP_FILES ON)
# Beside each package, a file of its SHA-256 checksum that `sha256sum -c` reads.
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/package_settings.cmake)
# Changes to tracked files that are not committed stop the packing, unless asked for.
option(ANTORDER_PACK_UNCOMMITTED "Pack changes to tracked files that are not committed" OFF)
set(CPACK_ANTORDER_PACK_UNCOMMITTED ${ANTORDER_PACK_UNCOMMITTED})
set(CPACK_ANTORDER_SOURCE_DIR ${PROJECT_SOURCE_DIR})
# The time every packed file carries: the release's date.
set(CPACK_ANTORDER_RELEASE_EPOCH ${ANTORDER_RELEASE_EPOCH})

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
# The runtime libraries and versions the program really needs, read off it by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The strip that cmake/debian_layout.cmake runs again to drop what Debian's policy leaves out.
set(CPACK_ANTORDER_STRIP ${CMAKE_STRIP})

# The source archive (`cpack --config CPackSourceConfig.cmake`) leaves out history, builds and the
# page's development tools that npm installs.
# CPack matches the patterns against whole paths, so they start at the source folder, its name
# escaped; every backslash is doubled because CPack reads the list back as CMake code.
set(CPACK_SOURCE_GENERATOR TGZ)
string(REGEX REPLACE "[][\\.*+?^$()|{}]" "\\\\\\\\\\0" source_folder "${PROJECT_SOURCE_DIR}")
set(CPACK_SOURCE_IGNORE_FILES "^${source_folder}/\\\\.git/" "^${source_folder}/build[^/]*/"
    "^${source_folder}/node_modules/")

include(CPack)
