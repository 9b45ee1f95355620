# The packages' layout and rules, the one place that says them. CPack runs this file three times
# for each package it makes, and each time one part of it, in this order:
#   1. before it packs (CPACK_PROJECT_CONFIG_FILE): what is decided at packing time;
#   2. on the Debian package's staged tree (CPACK_PRE_BUILD_SCRIPTS): Debian's layout;
#   3. on the package made, before CPack copies it out and writes its checksum
#      (CPACK_POST_BUILD_SCRIPTS): the archive rules, which make it the same to the byte whoever
#      packs it and however (umask, user, locale, time zone, path, the order in which the file
#      system lists a folder).
# Every time in a package is SOURCE_DATE_EPOCH, the release date's midnight unless set already.

# Runs the commands given, each after COMMAND, as one pipeline, in the C locale, so that the
# packer's shows neither in what they make nor in what they print. When one fails, the packing
# stops, and a package already made is removed, since CPack would deliver it all the same.
function(run_packing_step)
    set(ENV{LC_ALL} C)
    execute_process(${ARGN} RESULTS_VARIABLE results)
    foreach(result IN LISTS results)
        if(NOT result EQUAL 0)
            if(CPACK_PACKAGE_FILES)
                file(REMOVE ${CPACK_PACKAGE_FILES})
            endif()
            list(REMOVE_ITEM ARGN COMMAND)
            list(JOIN ARGN " " command)
            message(FATAL_ERROR "A packing step failed (${result}): ${command}")
        endif()
    endforeach()
endfunction()

# 1. What is decided at packing time.
if(NOT CPACK_TEMPORARY_DIRECTORY)
    # CPack reads this without the project's policies: find_program then takes only programs
    # that may be run, as the rest of the build does.
    cmake_policy(VERSION 3.24)
    if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
        execute_process(COMMAND date --utc --date=${CPACK_ANTORDER_RELEASE_DATE} +%s
            OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
        set(ENV{SOURCE_DATE_EPOCH} ${epoch})
    endif()

    # A trial packing of a checkout says what it holds that no commit does; the release,
    # `cmake -P cmake/dist.cmake`, is packed from the commit alone.
    if(EXISTS ${CPACK_ANTORDER_SOURCE_DIR}/.git)
        execute_process(COMMAND git --no-optional-locks -C ${CPACK_ANTORDER_SOURCE_DIR} status
            --porcelain OUTPUT_VARIABLE changes)
        if(changes)
            message(STATUS "This package holds changes that are not committed:\n${changes}"
                "The release, `cmake -P cmake/dist.cmake`, holds the commit alone.")
        endif()
    endif()

    # The tools a package needs, the Debian package its layout before it is packed; without
    # dpkg-shlibdeps, CPack would quietly declare no dependency.
    include(${CMAKE_CURRENT_LIST_DIR}/tools.cmake)
    if(CPACK_GENERATOR STREQUAL "DEB")
        require_tools("The .deb needs tools" dpkg-shlibdeps dpkg-dev
            strip-nondeterminism strip-nondeterminism)
        set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_FILE})
    elseif(CPACK_GENERATOR STREQUAL "ZIP")
        require_tools("The zip needs a tool" strip-nondeterminism strip-nondeterminism)
    endif()

    # The Linux archive takes the statically linked programs in place of the installed ones.
    if(CPACK_GENERATOR STREQUAL "TGZ" AND NOT CPACK_INSTALLED_DIRECTORIES)
        if(NOT CPACK_ANTORDER_LINUX_ARCHIVE_PROJECTS)
            message(FATAL_ERROR "The Linux archive holds the statically linked programs: configure "
                "with -DANTORDER_STATIC_PROGRAM=ON, as the release preset does.")
        endif()
        set(CPACK_INSTALL_CMAKE_PROJECTS ${CPACK_ANTORDER_LINUX_ARCHIVE_PROJECTS})
    endif()
    set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_FILE})
    return()
endif()

# 2. The Debian package's tree, changed as Debian's policy asks and as debhelper changes it.
if(NOT CPACK_PACKAGE_FILES)
    set(usr ${CPACK_TEMPORARY_DIRECTORY}/usr)
    set(doc ${usr}/share/doc/antorder)

    # Every directory readable by all, whatever the umask the tree was installed under.
    file(CHMOD_RECURSE ${usr} DIRECTORY_PERMISSIONS
        OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

    # The programs without the compiler's notes, which CPack's own strip leaves.
    run_packing_step(COMMAND ${CPACK_ANTORDER_STRIP} --remove-section=.comment
        --remove-section=.note ${usr}/bin/antorder ${usr}/bin/antorder-trace)

    # The changelog in Debian's format, which dpkg and lintian read: each release's notes,
    # indented by two blanks and with "*" for "-" before an item, between a line that names the
    # version and one with the maintainer and the release's date, its midnight, and where several
    # releases share a day, a second more for each one before it, so that Debian sees them in
    # order.
    file(READ ${doc}/CHANGELOG.md markdown)
    file(REMOVE ${doc}/CHANGELOG.md)
    string(FIND "${markdown}" "\n## " first)
    string(SUBSTRING "${markdown}\n## " ${first} -1 rest)
    set(changelog "")
    while(rest MATCHES "^\n## ([^ ]+) - ([^\n]+)\n")
        set(version ${CMAKE_MATCH_1})
        set(day ${CMAKE_MATCH_2})
        string(LENGTH "${CMAKE_MATCH_0}" heading_length)
        string(SUBSTRING "${rest}" ${heading_length} -1 rest)
        string(REGEX MATCHALL "\n## [^ ]+ - ${day}\n" same_day "${rest}")
        list(LENGTH same_day earlier)
        execute_process(COMMAND date --utc --rfc-email "--date=${day} ${earlier} seconds"
            OUTPUT_VARIABLE date OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
        string(FIND "${rest}" "\n## " next)
        string(SUBSTRING "${rest}" 0 ${next} notes)
        string(SUBSTRING "${rest}" ${next} -1 rest)
        string(STRIP "${notes}" notes)
        string(REGEX REPLACE "\n([^\n])" "\n  \\1" notes "\n${notes}")
        string(REPLACE "\n  - " "\n  * " notes "${notes}")
        string(APPEND changelog "antorder (${version}) unstable; urgency=medium\n${notes}\n\n"
            " -- ${CPACK_PACKAGE_CONTACT}  ${date}\n\n")
    endwhile()
    string(STRIP "${changelog}" changelog)
    file(WRITE ${doc}/changelog "${changelog}\n")

    # The licence as a machine-readable copyright file; Debian calls the MIT licence Expat.
    file(READ ${doc}/LICENSE licence)
    if(NOT licence MATCHES "\nCopyright \\(c\\) ([^\n]+)\n\n(.+[^\n])\n*$")
        message(FATAL_ERROR "LICENSE: no \"Copyright (c)\" line followed by the licence's text")
    endif()
    set(holders ${CMAKE_MATCH_1})
    string(REPLACE "\n\n" "\n.\n" text "${CMAKE_MATCH_2}")
    string(REPLACE "\n" "\n " text "${text}")
    string(CONCAT copyright
        "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
        "Upstream-Name: antorder\n"
        "\n"
        "Files: *\n"
        "Copyright: ${holders}\n"
        "License: Expat\n"
        " ${text}\n")
    file(WRITE ${doc}/copyright "${copyright}")
    file(REMOVE ${doc}/LICENSE)

    # The README links the licence by the name it has here.
    file(READ ${doc}/README.md readme)
    string(REPLACE "[LICENSE](LICENSE)" "[copyright](copyright)" readme "${readme}")
    file(WRITE ${doc}/README.md "${readme}")

    # Documents readable by all, whatever the umask; the manual page, the changelog and the
    # README, which is over 4 kB, compressed, with no name or time in the gzip header.
    file(CHMOD ${doc}/changelog ${doc}/copyright ${doc}/README.md
        PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
    run_packing_step(COMMAND gzip -9n ${usr}/share/man/man1/antorder.1
        ${usr}/share/man/man1/antorder-trace.1 ${doc}/changelog ${doc}/README.md)
    return()
endif()

# 3. The archive rules.
list(GET CPACK_PACKAGE_FILES 0 package)
set(epoch $ENV{SOURCE_DATE_EPOCH})
if(CPACK_GENERATOR STREQUAL "TGZ")
    # Packed again by GNU tar: names in sorted order, the top folder's entry first, owner and
    # group 0/0 by number, folders and programs 0755, other files 0644, every time the epoch, and
    # no name or time in the gzip header.
    get_filename_component(parent ${CPACK_TEMPORARY_DIRECTORY} DIRECTORY)
    get_filename_component(top ${CPACK_TEMPORARY_DIRECTORY} NAME)
    run_packing_step(COMMAND tar --create --format=gnu --sort=name --owner=0 --group=0
            --numeric-owner --mode=u=rwX,go=rX --mtime=@${epoch} --directory=${parent} ${top}
        COMMAND gzip -9n
        OUTPUT_FILE ${package})
elseif(CPACK_GENERATOR STREQUAL "DEB")
    # The ar headers as Debian's own packages have them: owner 0/0, mode 0644, the epoch as time.
    run_packing_step(COMMAND strip-nondeterminism --normalizers=+ar --type ar --timestamp ${epoch}
        ${package})
elseif(CPACK_GENERATOR STREQUAL "ZIP")
    # Members in sorted order, with fixed modes and the epoch as their time.
    run_packing_step(COMMAND strip-nondeterminism --type zip --timestamp ${epoch} ${package})
else()
    message(FATAL_ERROR "No archive rules for the ${CPACK_GENERATOR} generator")
endif()
