# Optimised builds on Linux get the protections Debian builds its own packages with: fortified C
# library calls, a stack protector, stack-clash probes, a position-independent executable, and
# full RELRO with immediate binding. They go on antorder_options, so every target of the project
# has them; a flag the compiler or the target cannot take is left out.
if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
    return()
endif()
include(CheckCXXCompilerFlag)
include(CheckLinkerFlag)
include(CheckPIESupported)

# Position independence is a property of each target, so it is set for all that follow.
check_pie_supported(LANGUAGES CXX)
if(CMAKE_CXX_LINK_PIE_SUPPORTED)
    set(CMAKE_POSITION_INDEPENDENT_CODE ON)
endif()

# The C library's fortified calls need an optimised build; the level is set afresh, since some
# compilers define their own by default.
set(hardening_compile_options -U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=2)
foreach(flag IN ITEMS -fstack-protector-strong -fstack-clash-protection)
    string(MAKE_C_IDENTIFIER "antorder_has${flag}" supported)
    check_cxx_compiler_flag(${flag} ${supported})
    if(${supported})
        list(APPEND hardening_compile_options ${flag})
    endif()
endforeach()
set(hardening_link_options)
foreach(keyword IN ITEMS relro now)
    check_linker_flag(CXX LINKER:-z,${keyword} antorder_links_z_${keyword})
    if(antorder_links_z_${keyword})
        list(APPEND hardening_link_options LINKER:-z,${keyword})
    endif()
endforeach()

set(optimised $<CONFIG:Release,RelWithDebInfo,MinSizeRel>)
target_compile_options(antorder_options INTERFACE "$<${optimised}:${hardening_compile_options}>")
target_link_options(antorder_options INTERFACE "$<${optimised}:${hardening_link_options}>")
