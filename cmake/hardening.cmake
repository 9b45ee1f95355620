# Optimised builds on Linux get the protections Debian builds its own packages with: fortified C
# library calls, a stack protector, stack-clash probes, a position-independent executable, and
# full RELRO with immediate binding, as Debian 12's dpkg-buildflags gives them with
# hardening=+all, and stack-clash probes besides. Every compiler the project builds Linux programs
# with takes them all: g++ 12, clang++ 14 and Debian's cross compilers. They go on
# antorder_options, so every target of the project has them; the level of fortification is set
# afresh, since some compilers define their own by default.
if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
    return()
endif()
include(CheckPIESupported)
check_pie_supported(LANGUAGES CXX)
set(CMAKE_POSITION_INDEPENDENT_CODE ${CMAKE_CXX_LINK_PIE_SUPPORTED})
set(optimised $<CONFIG:Release,RelWithDebInfo,MinSizeRel>)
set(flags -U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=2 -fstack-protector-strong -fstack-clash-protection)
target_compile_options(antorder_options INTERFACE "$<${optimised}:${flags}>")
target_link_options(antorder_options INTERFACE "$<${optimised}:LINKER:-z,relro;LINKER:-z,now>")
