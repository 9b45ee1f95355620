# What the packages hold and what they are called, as cmake/release.cmake names them: the .deb,
# the x86-64 Linux archive and the source archive of the release build, the Windows build's zip,
# a cross build's Linux archive. CPack then reads cmake/package_config.cmake.
set(CPACK_PACKAGE_NAME antorder)
set(CPACK_PACKAGE_CONTACT "antorder maintainers <maintainers@users.noreply.c-seed-b2678d6b.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "order a small regression suite with an ant-colony search")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "antorder orders a built-in suite of five tests with an ant-colony search.\n"
    "It prints the fault-detection score (APFD) of the ordering each of its\n"
    "100 iterations keeps, then the last ordering kept. Its random source has\n"
    "a fixed seed, so every run prints the same report.")
set(linux_triple ${CMAKE_LIBRARY_ARCHITECTURE})
if(CMAKE_CROSSCOMPILING)
    set(linux_triple ${ANTORDER_CROSS_TRIPLE})
endif()
if(WIN32)
    set(CPACK_GENERATOR ZIP)
    string(REGEX REPLACE "\\.zip$" "" CPACK_PACKAGE_FILE_NAME ${ANTORDER_FILE_windows})
else()
    # A machine whose archive the release does not hold has it named by its triple.
    if(NOT DEFINED ANTORDER_FILE_${linux_triple})
        set(ANTORDER_FILE_${linux_triple} antorder-${ANTORDER_VERSION}-${linux_triple}.tar.gz)
    endif()
    set(CPACK_GENERATOR TGZ)
    if(NOT CMAKE_CROSSCOMPILING)
        list(APPEND CPACK_GENERATOR DEB)
        set(CPACK_DEBIAN_FILE_NAME ${ANTORDER_FILE_deb})
    endif()
    string(REGEX REPLACE "\\.tar\\.gz$" "" CPACK_PACKAGE_FILE_NAME
        ${ANTORDER_FILE_${linux_triple}})
endif()
string(REGEX REPLACE "\\.tar\\.gz$" "" CPACK_SOURCE_PACKAGE_FILE_NAME ${ANTORDER_FILE_source})

# A Linux archive holds the documents and the programs linked statically, so that they run on any
# Linux for their processor: the cross builds' own, linked with -static, or here the static twins
# (ANTORDER_STATIC_PROGRAM). The .deb and `cmake --install` keep the dynamic ones.
if(CMAKE_CROSSCOMPILING AND CPACK_GENERATOR STREQUAL "TGZ")
    set(CPACK_ANTORDER_LINUX_ARCHIVE_PROJECTS
        ${PROJECT_BINARY_DIR} antorder documents / ${PROJECT_BINARY_DIR} antorder program /)
elseif(ANTORDER_STATIC_PROGRAM)
    set(CPACK_ANTORDER_LINUX_ARCHIVE_PROJECTS
        ${PROJECT_BINARY_DIR} antorder documents / ${PROJECT_BINARY_DIR} antorder static_program /)
endif()

set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/package_config.cmake)
# What the packing scripts need of this build.
set(CPACK_ANTORDER_RELEASE_DATE ${ANTORDER_RELEASE_DATE})
set(CPACK_ANTORDER_STRIP ${CMAKE_STRIP})

set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

# The source archive: the sources without history, builds or npm's tools. The patterns match
# whole paths, so they start at the source folder, its name escaped, every backslash doubled,
# since CPack reads them back as CMake code.
set(CPACK_SOURCE_GENERATOR TGZ)
string(REGEX REPLACE "[][\\.*+?^$()|{}]" "\\\\\\\\\\0" source_folder "${PROJECT_SOURCE_DIR}")
set(CPACK_SOURCE_IGNORE_FILES "^${source_folder}/\\\\.git/" "^${source_folder}/build[^/]*/"
    "^${source_folder}/node_modules/")

include(CPack)
