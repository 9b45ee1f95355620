# What is decided when CPack packs a package, before it packs it: CPack reads this file as
# CPACK_PROJECT_CONFIG_FILE. It then runs deb_layout.cmake on the Debian package's staged tree and
# archive_rules.cmake on each package made, which make it the same to the byte whoever packs it
# and however (umask, user, locale, time zone, path, the order in which the file system lists a
# folder). Every time in a package is SOURCE_DATE_EPOCH, the release date's midnight unless set.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    execute_process(COMMAND date --utc --date=${CPACK_ANTORDER_RELEASE_DATE} +%s
        OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    set(ENV{SOURCE_DATE_EPOCH} ${epoch})
endif()

# The Debian package gets its layout before it is packed.
if(CPACK_GENERATOR STREQUAL "DEB")
    set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/deb_layout.cmake)
endif()

# The Linux archive takes the statically linked programs in place of the installed ones.
if(CPACK_GENERATOR STREQUAL "TGZ" AND NOT CPACK_INSTALLED_DIRECTORIES)
    if(NOT CPACK_ANTORDER_LINUX_ARCHIVE_PROJECTS)
        message(FATAL_ERROR "The Linux archive holds the statically linked programs: configure "
            "with -DANTORDER_STATIC_PROGRAM=ON, as the release preset does.")
    endif()
    set(CPACK_INSTALL_CMAKE_PROJECTS ${CPACK_ANTORDER_LINUX_ARCHIVE_PROJECTS})
endif()
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/archive_rules.cmake)
