# Reads the one record of the release, the newest entry of CHANGELOG.md, headed
# "## <version> - <YYYY-MM-DD>", and sets:
#   ANTORDER_VERSION          the version, for project();
#   ANTORDER_RELEASE_DATE     the date, for the manual page and the packages;
#   ANTORDER_FILE_<name>      the name of each release file: deb, windows (the zip), source, page,
#                             and the Linux archive of each machine, by its GNU triple;
#   ANTORDER_CROSS_TRIPLES    the GNU triples of the release's Linux archives built by cross
#                             compilers, from cmake/architectures.txt;
#   ANTORDER_RELEASE_FILES    every release file's name.
get_filename_component(changelog ${CMAKE_CURRENT_LIST_DIR}/../CHANGELOG.md ABSOLUTE)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${changelog})
file(STRINGS ${changelog} heading REGEX "^## " LIMIT_COUNT 1)
if(NOT heading MATCHES
        "^## ([0-9]+\\.[0-9]+\\.[0-9]+) - ([0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9])$")
    message(FATAL_ERROR "CHANGELOG.md: the newest entry must be headed "
        "\"## <major>.<minor>.<patch> - <YYYY-MM-DD>\", not \"${heading}\"")
endif()
set(ANTORDER_VERSION ${CMAKE_MATCH_1})
set(ANTORDER_RELEASE_DATE ${CMAKE_MATCH_2})

set(ANTORDER_FILE_deb antorder_${ANTORDER_VERSION}_amd64.deb)
set(ANTORDER_FILE_windows antorder-${ANTORDER_VERSION}-win64.zip)
set(ANTORDER_FILE_source antorder-${ANTORDER_VERSION}-Source.tar.gz)
set(ANTORDER_FILE_page antorder-${ANTORDER_VERSION}.html)
set(ANTORDER_FILE_x86_64-linux-gnu antorder-${ANTORDER_VERSION}-Linux-x86_64.tar.gz)
set(ANTORDER_RELEASE_FILES ${ANTORDER_FILE_deb} ${ANTORDER_FILE_windows} ${ANTORDER_FILE_source}
    ${ANTORDER_FILE_page} ${ANTORDER_FILE_x86_64-linux-gnu})
# The Linux archives that Debian's cross compilers build for the release: each line of
# architectures.txt that names a machine, a GNU triple and then that machine, rather than "-".
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/architectures.txt architectures REGEX "^[^#]")
set(ANTORDER_CROSS_TRIPLES "")
foreach(line IN LISTS architectures)
    if(line MATCHES "^([^ ]+) +([^ -][^ ]*)")
        set(ANTORDER_FILE_${CMAKE_MATCH_1}
            antorder-${ANTORDER_VERSION}-Linux-${CMAKE_MATCH_2}.tar.gz)
        list(APPEND ANTORDER_CROSS_TRIPLES ${CMAKE_MATCH_1})
        list(APPEND ANTORDER_RELEASE_FILES ${ANTORDER_FILE_${CMAKE_MATCH_1}})
    endif()
endforeach()
