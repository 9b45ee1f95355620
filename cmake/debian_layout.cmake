# Run by CPack on the Debian package's staged tree before it is packed: the changes Debian's
# policy asks of an installed tree, as debhelper makes them.
set(usr ${CPACK_TEMPORARY_DIRECTORY}/usr)
set(doc ${usr}/share/doc/antorder)

# Runs one command and stops the packing when it fails.
function(run)
    execute_process(COMMAND ${ARGN} COMMAND_ERROR_IS_FATAL ANY)
endfunction()

# Writes a file readable by all, whatever the umask.
function(write_document path text)
    file(WRITE ${path} "${text}")
    file(CHMOD ${path} PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
endfunction()

# Every directory readable by all, whatever the umask the tree was installed under.
file(CHMOD_RECURSE ${usr} DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The program without the compiler's notes, which CPack's own strip leaves.
run(${CPACK_ANTORDER_STRIP} --remove-section=.comment --remove-section=.note ${usr}/bin/antorder)

# The changelog in Debian's format, which dpkg and lintian read: each release's notes, indented
# by two blanks and with "*" for "-" before an item, between a line that names the version and
# one with the maintainer and the release's date.
file(READ ${doc}/CHANGELOG.md markdown)
file(REMOVE ${doc}/CHANGELOG.md)
string(FIND "${markdown}" "\n## " first)
string(SUBSTRING "${markdown}\n## " ${first} -1 rest)
set(changelog "")
while(rest MATCHES "^\n## ([^ ]+) - ([^\n]+)\n")
    set(version ${CMAKE_MATCH_1})
    execute_process(COMMAND date --utc --rfc-email --date=${CMAKE_MATCH_2}
        OUTPUT_VARIABLE date OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    string(LENGTH "${CMAKE_MATCH_0}" heading_length)
    string(SUBSTRING "${rest}" ${heading_length} -1 rest)
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
write_document(${doc}/changelog "${changelog}\n")

# The manual page and the changelog compressed, with no name or time in the gzip header.
run(gzip -9n ${usr}/share/man/man1/antorder.1 ${doc}/changelog)

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
write_document(${doc}/copyright "${copyright}")
file(REMOVE ${doc}/LICENSE)

# The README links the licence by the name it has here.
file(READ ${doc}/README.md readme)
string(REPLACE "[LICENSE](LICENSE)" "[copyright](copyright)" readme "${readme}")
write_document(${doc}/README.md "${readme}")
