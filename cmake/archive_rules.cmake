# The archive rules, which CPack runs on each package it has made (CPACK_POST_BUILD_SCRIPTS),
# before it copies the package out and writes its checksum.
include(${CMAKE_CURRENT_LIST_DIR}/tools.cmake)
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
