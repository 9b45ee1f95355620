# Cross-compiles with one of Debian's cross compilers, named by its GNU triple in
# ANTORDER_CROSS_TRIPLE; GoogleTest builds with its C compiler too. For Linux it is g++-<triple>,
# and qemu-user runs what it builds; for 64-bit Windows it is MinGW-w64 (x86_64-w64-mingw32,
# package g++-mingw-w64-x86-64) in its posix thread model, and wine runs what it builds.
if(NOT ANTORDER_CROSS_TRIPLE)
    message(FATAL_ERROR "Name the target with -DANTORDER_CROSS_TRIPLE=<GNU triple>, for example "
        "s390x-linux-gnu, or through the environment variable of the same name with the cross "
        "preset.")
endif()
# The configure's test projects read this file again, and need the triple as well.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ANTORDER_CROSS_TRIPLE)

string(REGEX MATCH "^[^-]+" CMAKE_SYSTEM_PROCESSOR ${ANTORDER_CROSS_TRIPLE})
if(ANTORDER_CROSS_TRIPLE MATCHES "-mingw32$")
    set(CMAKE_SYSTEM_NAME Windows)
    set(CMAKE_C_COMPILER ${ANTORDER_CROSS_TRIPLE}-gcc-posix)
    set(CMAKE_CXX_COMPILER ${ANTORDER_CROSS_TRIPLE}-g++-posix)
    set(emulator wine)
else()
    set(CMAKE_SYSTEM_NAME Linux)
    set(CMAKE_C_COMPILER ${ANTORDER_CROSS_TRIPLE}-gcc)
    set(CMAKE_CXX_COMPILER ${ANTORDER_CROSS_TRIPLE}-g++)
    # qemu-user calls two of the processors by other names.
    string(REGEX REPLACE "^i686$" "i386" emulated ${CMAKE_SYSTEM_PROCESSOR})
    string(REGEX REPLACE "^powerpc64le$" "ppc64le" emulated ${emulated})
    set(emulator qemu-${emulated})
endif()
# Kept in the cache, where scripts read how to run the build's programs.
set(CMAKE_CROSSCOMPILING_EMULATOR ${emulator} CACHE STRING "Runs the target's programs here")
# GoogleTest, where the unit tests are built, from the sources of Debian's googletest package.
set(FETCHCONTENT_SOURCE_DIR_GOOGLETEST /usr/src/googletest)

# Libraries and headers come from the cross toolchain's root, programs from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${ANTORDER_CROSS_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
