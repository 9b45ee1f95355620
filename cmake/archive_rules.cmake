# Run by CPack after it has made a package and before it copies the package out and writes its
# checksum: the one place that says how every release archive is laid out, so that it is the same
# to the byte whoever packs it and however (umask, user, locale, time zone, path or the order in
# which the file system lists a folder). Every time in it is SOURCE_DATE_EPOCH, which
# package_settings.cmake sets.
set(epoch $ENV{SOURCE_DATE_EPOCH})
# The tools run in the C locale, so that the packer's locale shows neither in what they make nor
# in what they print.
set(ENV{LC_ALL} C)
list(GET CPACK_PACKAGE_FILES 0 package)

# Runs the commands given, each after COMMAND, as one pipeline. When one fails, the package is
# removed, since CPack would deliver it all the same, and the packing stops.
function(run)
    execute_process(${ARGN} RESULTS_VARIABLE results)
    foreach(result IN LISTS results)
        if(NOT result EQUAL 0)
            file(REMOVE ${package})
            set(command ${ARGN})
            list(REMOVE_ITEM command COMMAND)
            list(JOIN command " " command)
            message(FATAL_ERROR "A packing step failed (${result}): ${command}")
        endif()
    endforeach()
endfunction()

# Packs the folder `top` into the gzip-compressed tar `archive`: names in sorted order, the top
# folder's entry first, owner and group 0/0 by number, folders and programs 0755, other files
# 0644, every time the epoch, and no name or time in the gzip header.
function(pack_tarball archive top)
    get_filename_component(parent ${top} DIRECTORY)
    get_filename_component(name ${top} NAME)
    run(COMMAND tar --create --format=gnu --sort=name --owner=0 --group=0 --numeric-owner
            --mode=u=rwX,go=rX --mtime=@${epoch} --directory=${parent} ${name}
        COMMAND gzip -9n
        OUTPUT_FILE ${archive})
endfunction()

# The source archive holds exactly the files git tracks in the commit checked out; without git, as
# in an unpacked source archive, it holds what CPack collected: the sources without the builds.
function(take_tracked_files top)
    list(GET CPACK_INSTALLED_DIRECTORIES 0 source)
    if(NOT EXISTS ${source}/.git)
        return()
    endif()
    file(REMOVE_RECURSE ${top})
    file(MAKE_DIRECTORY ${top})
    run(COMMAND git -C ${source} archive --format=tar HEAD
        COMMAND tar --extract --directory=${top})
endfunction()

if(CPACK_GENERATOR STREQUAL "TGZ")
    if(CPACK_INSTALLED_DIRECTORIES)
        take_tracked_files(${CPACK_TEMPORARY_DIRECTORY})
    endif()
    pack_tarball(${package} ${CPACK_TEMPORARY_DIRECTORY})
elseif(CPACK_GENERATOR STREQUAL "DEB")
    # The .deb's ar headers as Debian's own packages have them: owner 0/0, mode 0644 and the
    # epoch as their time.
    run(COMMAND strip-nondeterminism --normalizers=+ar --type ar --timestamp ${epoch} ${package})
elseif(CPACK_GENERATOR STREQUAL "ZIP")
    # Members in sorted order, with fixed modes and the epoch as their time.
    run(COMMAND strip-nondeterminism --type zip --timestamp ${epoch} ${package})
else()
    message(FATAL_ERROR "No archive rules for the ${CPACK_GENERATOR} generator")
endif()
