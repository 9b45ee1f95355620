# Makes the whole release into build/dist, and nothing else there: the .deb, the Linux .tar.gz,
# the Windows zip, the source archive and the web page, each with its .sha256 file, and SHA256SUMS
# over all five, which `sha256sum -c SHA256SUMS` checks at once. Run from anywhere:
#   cmake -P cmake/dist.cmake
# It runs the package, windows and web workflows, each from a fresh configure, and refuses before
# building anything when a tool is missing or a tracked file has changes that are not committed;
# -DANTORDER_PACK_UNCOMMITTED=ON packs such changes all the same.
cmake_minimum_required(VERSION 3.25)
get_filename_component(source ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
include(${CMAKE_CURRENT_LIST_DIR}/release.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/uncommitted_changes.cmake)
set(version ${ANTORDER_VERSION})
set(dist ${source}/build/dist)

# The tools the release needs beyond CMake, each with the Debian package that provides it.
set(tools
    ninja ninja-build
    c++ g++
    dpkg-shlibdeps dpkg-dev
    strip-nondeterminism strip-nondeterminism
    x86_64-w64-mingw32-g++-posix g++-mingw-w64-x86-64
    emcc emscripten
    node nodejs)
if(EXISTS ${source}/.git)
    list(APPEND tools git git)
endif()
set(missing "")
set(packages "")
while(tools)
    list(POP_FRONT tools tool package)
    unset(found)
    find_program(found ${tool} NO_CACHE)
    if(NOT found)
        string(APPEND missing "\n  ${tool}, from ${package}")
        list(APPEND packages ${package})
    endif()
endwhile()
if(missing)
    list(JOIN packages " " packages)
    message(FATAL_ERROR "The release needs tools that are missing here:${missing}\n"
        "Install them with `apt-get install ${packages}`; nothing has been built.")
endif()

if(ANTORDER_PACK_UNCOMMITTED)
    set(pack_uncommitted ON)
else()
    refuse_uncommitted_changes(${source}
        "`cmake -DANTORDER_PACK_UNCOMMITTED=ON -P cmake/dist.cmake`")
    set(pack_uncommitted OFF)
endif()

# Runs a command in the source folder and stops when it fails.
function(run)
    execute_process(COMMAND ${ARGN} WORKING_DIRECTORY ${source} COMMAND_ERROR_IS_FATAL ANY)
endfunction()

# Each workflow after a fresh configure of its preset, so that nothing left in an earlier build's
# cache shows in the release.
file(REMOVE_RECURSE ${dist})
foreach(preset_and_workflow IN ITEMS release:package windows:windows web:web)
    string(REPLACE ":" ";" preset_and_workflow ${preset_and_workflow})
    list(GET preset_and_workflow 0 preset)
    list(GET preset_and_workflow 1 workflow)
    run(${CMAKE_COMMAND} --preset ${preset} --fresh
        -DANTORDER_PACK_UNCOMMITTED=${pack_uncommitted})
    run(${CMAKE_COMMAND} --workflow --preset ${workflow})
endforeach()

# Copies the one file that `pattern` matches in the build folder `build` to build/dist, with its
# .sha256 file, and adds its name to `files`.
function(take build pattern)
    file(GLOB matches RELATIVE ${source}/build/${build} ${source}/build/${build}/${pattern})
    list(LENGTH matches count)
    if(NOT count EQUAL 1)
        message(FATAL_ERROR "build/${build} holds ${count} files named ${pattern}, not one")
    endif()
    file(COPY ${source}/build/${build}/${matches} ${source}/build/${build}/${matches}.sha256
        DESTINATION ${dist})
    set(files ${files} ${matches} PARENT_SCOPE)
endfunction()

set(files "")
take(release "antorder_${version}_*.deb")
take(release "antorder-${version}-Linux-*.tar.gz")
take(release "antorder-${version}-Source.tar.gz")
take(windows "antorder-${version}-win64.zip")

# The page, named like the other release files, with its checksum file in the form CPack writes.
set(page antorder-${version}.html)
file(COPY_FILE ${source}/build/web/antorder.html ${dist}/${page})
file(SHA256 ${dist}/${page} hash)
file(WRITE ${dist}/${page}.sha256 "${hash}  ${page}\n")
list(APPEND files ${page})

# One list of every checksum, in the order of the names.
list(SORT files)
set(sums "")
foreach(file IN LISTS files)
    file(SHA256 ${dist}/${file} hash)
    string(APPEND sums "${hash}  ${file}\n")
endforeach()
file(WRITE ${dist}/SHA256SUMS "${sums}")
list(JOIN files "\n  " files)
message(STATUS "The release, in build/dist:\n  ${files}\nwith their .sha256 files and SHA256SUMS")
