# Makes the whole release into build/dist, and nothing else there: the files cmake/release.cmake
# names, each with its .sha256 file, and SHA256SUMS over all. Run from anywhere:
#   cmake -P cmake/dist.cmake
# In a git checkout it builds the commit checked out, from a clean export in build/export, whatever
# the working tree holds besides; elsewhere, as in an unpacked source archive, the sources as they
# are. It stops before building anything when a tool is missing.
cmake_minimum_required(VERSION 3.25)
get_filename_component(source ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
include(${CMAKE_CURRENT_LIST_DIR}/release.cmake)
set(dist ${source}/build/dist)

# The tools the release needs beyond CMake, each with the Debian package that provides it.
include(${CMAKE_CURRENT_LIST_DIR}/tools.cmake)
set(git "")
if(EXISTS ${source}/.git)
    set(git git git)
endif()
set(cross_compilers "")
foreach(triple IN LISTS ANTORDER_CROSS_TRIPLES)
    list(APPEND cross_compilers ${triple}-g++ g++-${triple})
endforeach()
require_tools("Nothing has been built: the release needs tools" ninja ninja-build c++ g++
    dpkg-shlibdeps dpkg-dev strip-nondeterminism strip-nondeterminism
    x86_64-w64-mingw32-g++-posix g++-mingw-w64-x86-64 ${cross_compilers} emcc emscripten
    esbuild esbuild node nodejs ${git})

# Runs a command in the folder of the sources released, and stops when it fails.
function(run_in_release)
    execute_process(COMMAND ${ARGN} WORKING_DIRECTORY ${tree} COMMAND_ERROR_IS_FATAL ANY)
endfunction()

# The sources released: the commit's files, exported afresh beside earlier exports' builds, each
# dated as git archive dates it, so that a second release of one commit builds nothing again.
set(tree ${source})
if(EXISTS ${source}/.git)
    set(git git --no-optional-locks -C ${source})
    execute_process(COMMAND ${git} log -1 --format=%H%n%s OUTPUT_VARIABLE commit
        OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND ${git} status --porcelain OUTPUT_VARIABLE changes
        COMMAND_ERROR_IS_FATAL ANY)
    string(REPLACE "\n" ", " commit "${commit}")
    message(STATUS "The release of commit ${commit}")
    set(tree ${source}/build/export)
    file(GLOB exported LIST_DIRECTORIES true ${tree}/* ${tree}/.*)
    list(REMOVE_ITEM exported ${tree}/build)
    if(exported)
        file(REMOVE_RECURSE ${exported})
    endif()
    file(MAKE_DIRECTORY ${tree})
    execute_process(COMMAND ${git} archive --format=tar HEAD COMMAND tar --extract
        WORKING_DIRECTORY ${tree} COMMAND_ERROR_IS_FATAL ANY)
endif()

# Each build after a fresh configure of its preset, so that no earlier cache shows in the
# release, and without the checks; the cross builds each in the folder of its triple.
file(REMOVE_RECURSE ${dist})
foreach(preset IN ITEMS release windows web)
    run_in_release(${CMAKE_COMMAND} --preset ${preset} --fresh -DBUILD_TESTING=OFF)
    run_in_release(${CMAKE_COMMAND} --build --preset ${preset})
endforeach()
foreach(preset IN ITEMS release source windows)
    run_in_release(cpack --preset ${preset})
endforeach()
foreach(triple IN LISTS ANTORDER_CROSS_TRIPLES)
    set(ENV{ANTORDER_CROSS_TRIPLE} ${triple})
    run_in_release(${CMAKE_COMMAND} --preset cross --fresh -DBUILD_TESTING=OFF)
    run_in_release(${CMAKE_COMMAND} --build --preset cross)
    run_in_release(cpack --preset cross)
endforeach()

# Copies each release file to build/dist with the .sha256 file that CPack wrote beside it, or for
# the page, from the web build's antorder.html, with one written in the same form; and writes
# SHA256SUMS over all, in the order of the names.
file(MAKE_DIRECTORY ${dist})
set(files ${ANTORDER_RELEASE_FILES})
list(SORT files)
set(sums "")
foreach(name IN LISTS files)
    file(GLOB made ${tree}/build/*/${name})
    if(name STREQUAL ANTORDER_FILE_page)
        set(made ${tree}/build/web/antorder.html)
        file(SHA256 ${made} hash)
        file(WRITE ${made}.sha256 "${hash}  ${name}\n")
    endif()
    file(COPY_FILE ${made} ${dist}/${name})
    file(COPY_FILE ${made}.sha256 ${dist}/${name}.sha256)
    file(READ ${made}.sha256 sum)
    string(APPEND sums "${sum}")
endforeach()
file(WRITE ${dist}/SHA256SUMS "${sums}")
list(JOIN files "\n  " files)
message(STATUS "The release, in build/dist:\n  ${files}\nwith their .sha256 files and SHA256SUMS")
if(changes)
    string(REGEX REPLACE "\n$" "" changes "${changes}")
    message(STATUS "Not committed:\n${changes}")
    message(STATUS "The release is commit ${commit}, without the changes listed above.")
endif()
