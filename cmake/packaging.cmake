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
set(CPACK_STRIP_FILES ON)
# Beside each package, a file of its SHA-256 checksum that `sha256sum -c` reads.
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/package_settings.cmake)
# The time every packed file carries: the release's date.
set(CPACK_ANTORDER_RELEASE_EPOCH ${ANTORDER_RELEASE_EPOCH})

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
# The runtime libraries and versions the program really needs, read off it by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The strip that cmake/debian_layout.cmake runs again to drop what Debian's policy leaves out.
set(CPACK_ANTORDER_STRIP ${CMAKE_STRIP})

# The source archive (`cpack --config CPackSourceConfig.cmake`) leaves out history and builds.
# CPack matches the patterns against whole paths, so they start at the source folder, its name
# escaped; every backslash is doubled because CPack reads the list back as CMake code.
set(CPACK_SOURCE_GENERATOR TGZ)
string(REGEX REPLACE "[][\\.*+?^$()|{}]" "\\\\\\\\\\0" source_folder "${PROJECT_SOURCE_DIR}")
set(CPACK_SOURCE_IGNORE_FILES "^${source_folder}/\\\\.git/" "^${source_folder}/build[^/]*/")

include(CPack)
