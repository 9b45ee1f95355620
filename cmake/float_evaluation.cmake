# Every single-precision step of the search must round to single precision, as
# common/constants.hpp asserts. Where the compiler evaluates float arithmetic in a wider format
# (x87 on 32-bit x86), the build takes SSE2 arithmetic instead; where nothing helps, the configure
# stops here and says why.
include(CheckCXXSourceCompiles)
set(CMAKE_REQUIRED_INCLUDES ${PROJECT_SOURCE_DIR})
set(guard "#include \"common/constants.hpp\"\nint main() { return 0; }\n")
set(sse2_arithmetic -msse2 -mfpmath=sse)
check_cxx_source_compiles("${guard}" antorder_float_is_evaluated_in_float)
if(NOT antorder_float_is_evaluated_in_float)
    list(JOIN sse2_arithmetic " " CMAKE_REQUIRED_FLAGS)
    check_cxx_source_compiles("${guard}" antorder_float_is_evaluated_in_float_with_sse2)
    if(NOT antorder_float_is_evaluated_in_float_with_sse2)
        message(FATAL_ERROR "This compiler evaluates float arithmetic in a wider format than "
            "float (FLT_EVAL_METHOD is not 0), also with ${CMAKE_REQUIRED_FLAGS}, so the search's "
            "single-precision steps would not round to float and the report would differ. "
            "Build for a target whose float arithmetic rounds to float.")
    endif()
    target_compile_options(antorder_options INTERFACE ${sse2_arithmetic})
endif()
unset(CMAKE_REQUIRED_INCLUDES)
unset(CMAKE_REQUIRED_FLAGS)
