# shellcheck shell=bash
# The gates on the code and its builds: the tests under every compiler, optimiser and sanitizer,
# the report across compilers, static analysis, formatting, coverage and the CMake set-up.
# Sourced by .ci/run.

readme_tests() {
    cmake --workflow --preset dev
}

clang_tests() {
    quietly cmake --workflow --preset dev-clang && echo "dev-clang: every test passed"
}

# The shipped build type with the tests: the scripted random source must survive link-time
# optimisation.
optimised_tests() {
    quietly cmake --preset dev -B build/dev-release -DCMAKE_BUILD_TYPE=Release &&
        quietly cmake --build build/dev-release &&
        quietly ctest --test-dir build/dev-release --output-on-failure &&
        echo "Release: every test passed"
}

sanitized_tests() {
    quietly cmake --workflow --preset sanitize && echo "sanitize: every test passed" &&
        prints_report build/sanitize/antorder
}

valgrind_program() {
    valgrind --error-exitcode=1 --leak-check=full build/dev/antorder </dev/null >/dev/null
}

# The report must not depend on the compiler or the optimiser; -march=native lets the processor
# fuse a multiply and an add where the code allowed it.
same_report() {
    build_release release &&
        build_release native -DCMAKE_CXX_FLAGS=-march=native &&
        build_release clang-release -DCMAKE_CXX_COMPILER=clang++ || return 1
    local build
    for build in dev dev-clang release native clang-release; do
        prints_report "build/$build/antorder" || return 1
    done
}

static_analysis() {
    local sources
    mapfile -t sources < <(git ls-files '*.cpp')
    run-clang-tidy -p build/dev -quiet "${sources[@]/#/$PWD/}" >"$SCRATCH/clang-tidy.log" 2>&1 ||
        { grep -E 'warning:|error:' "$SCRATCH/clang-tidy.log" >&2; return 1; }
    echo "clang-tidy: no findings"
    cppcheck --enable=warning,performance,portability --std=c++17 --language=c++ \
        --library=googletest --library=posix -I . --error-exitcode=1 --quiet \
        common model colony trace tests bench || return 1
    echo "cppcheck: no findings"
    shellcheck -x .ci/run .ci/*.sh bench/*.sh || return 1
    echo "shellcheck: no findings"
    npm_installed && npx --no-install eslint --max-warnings 0 . || return 1
    echo "ESLint: no findings"
}

formatting() {
    local sources
    mapfile -t sources < <(git ls-files '*.cpp' '*.hpp')
    clang-format --dry-run --Werror "${sources[@]}" &&
        echo "clang-format: every source is formatted" || return 1
    npm_installed && npx --no-install prettier --check '**/*.js' || return 1
}

coverage() {
    quietly cmake --workflow --preset coverage &&
        gcovr --root . --filter 'common/' --filter 'model/' --filter 'colony/' --filter 'trace/' \
            --print-summary --fail-under-line 95 build/coverage
}

# Says whether a CMake cache holds the given build type.
build_type_is() {
    grep -qx "CMAKE_BUILD_TYPE:STRING=$2" "$1/CMakeCache.txt" ||
        { echo "$1 has build type '$(grep '^CMAKE_BUILD_TYPE:' "$1/CMakeCache.txt")'" >&2; return 1; }
}

# A plain configure is an optimised build of the program alone that honours BUILD_TESTING; a
# parent project with targets named like antorder's folders gets the program without antorder's
# tests or benchmarks, and keeps its own build type; the cross preset without its triple is
# refused before anything is written.
cmake_setup() {
    quietly cmake -S . -B build/plain -DBUILD_TESTING=OFF "$WERROR" &&
        quietly cmake --build build/plain && build_type_is build/plain Release &&
        test ! -e build/plain/tests && test ! -e build/plain/colony_bench || return 1
    echo "plain configure: Release, the program alone"
    quietly cmake -S tests/consumer -B build/consumer -G Ninja -DANTORDER_SOURCE_DIR="$PWD" \
        "$WERROR" && quietly cmake --build build/consumer || return 1
    build_type_is build/consumer "" && test ! -e build/consumer/antorder/tests &&
        test ! -e build/consumer/antorder/bench && prints_report build/consumer/antorder/antorder ||
        return 1
    echo "as a subproject: the program alone, the parent's build type kept"
    if ANTORDER_CROSS_TRIPLE='' cmake --workflow --preset cross >/dev/null 2>&1 ||
        test -e build/CMakeCache.txt; then
        echo "the cross workflow ran without a triple, or left a cache in build/" >&2
        return 1
    fi
    echo "cross without a triple: refused, nothing written"
}
