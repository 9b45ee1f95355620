# Reads the one record of the release, the newest entry of CHANGELOG.md, headed
# "## <version> - <YYYY-MM-DD>", and sets:
#   ANTORDER_VERSION        the version, for project();
#   ANTORDER_RELEASE_DATE   the date, for the manual page and the packages;
#   ANTORDER_RELEASE_FILES  the names of the release's five files: the .deb, the Linux archive, the
#                           Windows zip, the source archive and the page.
# Run as a script, `cmake -P cmake/release.cmake`, it prints them as shell assignments, which the
# CI scripts read.
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

set(ANTORDER_RELEASE_FILES
    antorder_${ANTORDER_VERSION}_amd64.deb
    antorder-${ANTORDER_VERSION}-Linux-x86_64.tar.gz
    antorder-${ANTORDER_VERSION}-win64.zip
    antorder-${ANTORDER_VERSION}-Source.tar.gz
    antorder-${ANTORDER_VERSION}.html)

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
    list(JOIN ANTORDER_RELEASE_FILES " " files)
    execute_process(COMMAND ${CMAKE_COMMAND} -E echo "VERSION=${ANTORDER_VERSION}
RELEASE_DATE=${ANTORDER_RELEASE_DATE}
RELEASE_FILES=(${files})")
endif()
