# Writes the page PAGE from its TEMPLATE, with the text of each script named by its placeholder
# inlined, so that the page is one file that loads nothing else. Run by the build:
#   cmake -D TEMPLATE=... -D PAGE=... -D CHART_SCRIPT=... -D PAGE_SCRIPT=... -D PROGRAM_SCRIPT=...
#         -P inline_page.cmake
file(READ ${TEMPLATE} page)
foreach(placeholder IN ITEMS CHART_SCRIPT PAGE_SCRIPT PROGRAM_SCRIPT)
    file(READ ${${placeholder}} script)
    # The page's parser would end the script at the first "</script".
    string(TOLOWER "${script}" lower)
    string(FIND "${lower}" "</script" end)
    if(NOT end EQUAL -1)
        message(FATAL_ERROR "${${placeholder}} holds \"</script\" and cannot be inlined")
    endif()
    string(STRIP "${script}" script)
    string(REPLACE "@${placeholder}@" "${script}" page "${page}")
endforeach()
file(WRITE ${PAGE} "${page}")
