# Reads the one record of the release, the newest entry of CHANGELOG.md, headed
# "## <version> - <YYYY-MM-DD>", and sets:
#   ANTORDER_VERSION        the version, for project();
#   ANTORDER_RELEASE_DATE   the date, for the manual page;
#   ANTORDER_RELEASE_EPOCH  the date's midnight UTC in seconds since 1970, for the packages.
get_filename_component(changelog ${CMAKE_CURRENT_LIST_DIR}/../CHANGELOG.md ABSOLUTE)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${changelog})
file(STRINGS ${changelog} heading REGEX "^## " LIMIT_COUNT 1)
if(NOT heading MATCHES
        "^## ([0-9]+\\.[0-9]+\\.[0-9]+) - (([0-9][0-9][0-9][0-9])-([0-9][0-9])-([0-9][0-9]))$")
    message(FATAL_ERROR "CHANGELOG.md: the newest entry must be headed "
        "\"## <major>.<minor>.<patch> - <YYYY-MM-DD>\", not \"${heading}\"")
endif()
set(ANTORDER_VERSION ${CMAKE_MATCH_1})
set(ANTORDER_RELEASE_DATE ${CMAKE_MATCH_2})

# Days since 1970-01-01 in the Gregorian calendar. Years are counted from March, so that the
# leap day ends a year and the days before each month follow (153 * month + 2) / 5.
set(year ${CMAKE_MATCH_3})
set(month ${CMAKE_MATCH_4})
set(day ${CMAKE_MATCH_5})
if(month LESS_EQUAL 2)
    math(EXPR year "${year} - 1")
    math(EXPR month "${month} + 9")
else()
    math(EXPR month "${month} - 3")
endif()
math(EXPR ANTORDER_RELEASE_EPOCH "86400 * (365 * ${year} + ${year} / 4 - ${year} / 100 \
+ ${year} / 400 + (153 * ${month} + 2) / 5 + ${day} - 1 - 719468)")
