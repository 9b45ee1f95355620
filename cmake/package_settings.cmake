# Read by CPack before it makes each package, the source archive included.

# Every file in every package carries the release's date as its time, so the same sources pack to
# the same bytes wherever and whenever they are packed. A SOURCE_DATE_EPOCH of the user's wins.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    set(ENV{SOURCE_DATE_EPOCH} ${CPACK_ANTORDER_RELEASE_EPOCH})
endif()

# The Debian package declares the libraries the program needs, as dpkg-shlibdeps reads them off
# it; without that tool CPack would quietly declare none. Its tree is then laid out as Debian's
# policy asks.
if(CPACK_GENERATOR STREQUAL "DEB")
    find_program(ANTORDER_DPKG_SHLIBDEPS dpkg-shlibdeps)
    if(NOT ANTORDER_DPKG_SHLIBDEPS)
        message(FATAL_ERROR "The Debian package needs dpkg-shlibdeps to declare the libraries "
            "the program depends on. Install it with `apt-get install dpkg-dev`.")
    endif()
    set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/debian_layout.cmake)
endif()
