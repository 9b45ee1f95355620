# Stops, saying `why`, where any of the tools given, as pairs of a program and the Debian package
# that provides it, cannot be found or run (asked for its version): it names each such tool with
# its package, and the command that installs them all.
function(require_tools why)
    set(tools ${ARGN})
    set(missing "")
    set(packages "")
    while(tools)
        list(POP_FRONT tools tool package)
        find_program(found ${tool} NO_CACHE)
        if(found)
            execute_process(COMMAND ${found} --version RESULT_VARIABLE status
                OUTPUT_QUIET ERROR_QUIET)
        endif()
        if(NOT found OR NOT status EQUAL 0)
            string(APPEND missing "\n  ${tool}, from ${package}")
            list(APPEND packages ${package})
        endif()
        unset(found)
    endwhile()
    if(missing)
        list(JOIN packages " " packages)
        message(FATAL_ERROR "${why}, which cannot be found or run here:${missing}\n"
            "Install them with `apt-get install ${packages}`.")
    endif()
endfunction()

# Runs the commands given, each after COMMAND, as one pipeline, in the C locale, so that the
# packer's shows neither in what they make nor in what they print. When one fails, the packing
# stops, and a package already made is removed, since CPack would deliver it all the same.
function(run_packing_step)
    set(ENV{LC_ALL} C)
    execute_process(${ARGN} RESULTS_VARIABLE results)
    foreach(result IN LISTS results)
        if(NOT result EQUAL 0)
            if(CPACK_PACKAGE_FILES)
                file(REMOVE ${CPACK_PACKAGE_FILES})
            endif()
            list(REMOVE_ITEM ARGN COMMAND)
            list(JOIN ARGN " " command)
            message(FATAL_ERROR "A packing step failed (${result}): ${command}")
        endif()
    endforeach()
endfunction()
