# The Debian package's staged tree, changed as Debian's policy asks and as debhelper changes it;
# CPack runs this file on it (CPACK_PRE_BUILD_SCRIPTS) before it packs the .deb.
include(${CMAKE_CURRENT_LIST_DIR}/tools.cmake)
set(usr ${CPACK_TEMPORARY_DIRECTORY}/usr)
set(doc ${usr}/share/doc/antorder)

# Every directory readable by all, whatever the umask the tree was installed under.
file(CHMOD_RECURSE ${usr} DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The programs without the compiler's notes, which CPack's own strip leaves.
run_packing_step(COMMAND ${CPACK_ANTORDER_STRIP} --remove-section=.comment
    --remove-section=.note ${usr}/bin/antorder ${usr}/bin/antorder-trace)

# The changelog in Debian's format: each release's notes, indented, "*" for "-", between a line
# naming the version and one with the maintainer and the release date's midnight, a second later
# for each earlier release of the same day, so that Debian sees them in order.
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

# The licence, word for word, as Debian's policy asks, under the name the policy gives it.
file(RENAME ${doc}/LICENSE ${doc}/copyright)

# The README links the licence by the name it has here.
file(READ ${doc}/README.md readme)
string(REPLACE "[LICENSE](LICENSE)" "[copyright](copyright)" readme "${readme}")
file(WRITE ${doc}/README.md "${readme}")

# Documents readable by all, whatever the umask; the manual pages, the changelog and the README,
# over 4 kB, compressed, with no name or time in the gzip header.
file(CHMOD ${doc}/changelog ${doc}/copyright ${doc}/README.md
    PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
run_packing_step(COMMAND gzip -9n ${usr}/share/man/man1/antorder.1
    ${usr}/share/man/man1/antorder-trace.1 ${doc}/changelog ${doc}/README.md)
