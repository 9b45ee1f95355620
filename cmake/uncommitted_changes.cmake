# A release is packed from one commit: the source archive holds the files of the commit checked
# out, so the programs and documents beside it must be built from those files too. Included by
# the packing settings and by the script that makes the whole release.

# Stops with a message that names the tracked files of the git checkout `source` whose changes are
# not committed, and says how to pack them anyway: `how`. Outside a git checkout, as in an
# unpacked source archive, there is nothing to compare with, and nothing is checked.
function(refuse_uncommitted_changes source how)
    if(NOT EXISTS ${source}/.git)
        return()
    endif()
    # Without optional locks git only reads the checkout, which may be packed by another user.
    execute_process(
        COMMAND git --no-optional-locks -C ${source} status --porcelain --untracked-files=no
        OUTPUT_VARIABLE changes RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "git could not tell whether ${source} has uncommitted changes.")
    endif()
    if(changes STREQUAL "")
        return()
    endif()
    string(REGEX REPLACE "(^|\n)[^\n][^\n][^\n]([^\n]+)" "\\1  \\2" changes "${changes}")
    message(FATAL_ERROR "These tracked files have changes that are not committed:\n${changes}"
        "The source archive would hold the commit without them, and the other release files "
        "would hold them. Commit them, or pack them anyway with ${how}.")
endfunction()
