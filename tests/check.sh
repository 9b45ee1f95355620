#!/bin/sh
# Runs the check named $1, with the arguments after it, for ctest, in the source folder; each is
# registered, with its label, in tests/CMakeLists.txt. A check whose tools are missing prints
# "skipped:" and which, and ctest shows it as skipped; where the environment sets
# ANTORDER_NO_SKIP, as CI does, it fails instead.
set -eu
check=$1
shift
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Stops the check unless every tool given, as <program or path>=<Debian package or command that
# installs it>, is there.
needs() {
    missing=
    for tool; do
        command -v "${tool%%=*}" >/dev/null || test -e "${tool%%=*}" ||
            missing="$missing, ${tool%%=*} (${tool#*=})"
    done
    if [ -n "$missing" ]; then
        echo "${ANTORDER_NO_SKIP+failed}${ANTORDER_NO_SKIP-skipped}: this check needs ${missing#, }"
        test -z "${ANTORDER_NO_SKIP+set}"
        exit
    fi
}

# The C++ sources: what the analysis and the formatting read.
sources="common model colony trace tests bench"

case $check in
report) # The program after $1 and $2 prints the recorded report $1, its lines ended with CR LF
    # where $2 is crlf, under the emulator before it where it is built for another platform.
    if [ "$2" = crlf ]; then sed 's/$/\r/; $s/\r$//' "$1"; else cat "$1"; fi >"$scratch/expected"
    shift 2
    if [ $# -gt 1 ]; then
        needs "$1=$(echo "${1##*/}" | sed 's/^qemu-.*/qemu-user/; s/^node$/nodejs/')"
    fi
    "$@" </dev/null | cmp - "$scratch/expected" ;;
one_write | one_write_unbuffered) # The whole report in one write, whatever buffering the C
    # library is told to do; where there are more, the writes are shown.
    needs strace=strace
    unbuffered=
    if [ "$check" = one_write_unbuffered ]; then unbuffered="stdbuf -o0"; fi
    # LeakSanitizer cannot run under strace; the sanitizer build's other checks look for leaks.
    # shellcheck disable=SC2086 # $unbuffered is a command and its option, or nothing.
    ASAN_OPTIONS=detect_leaks=0 strace -f -e trace=write -o "$scratch/writes" $unbuffered "$1" \
        </dev/null >/dev/null
    test "$(grep -c 'write(1,' "$scratch/writes")" = 1 || ! cat "$scratch/writes" ;;
memcheck)
    needs valgrind=valgrind
    valgrind --error-exitcode=1 --leak-check=full --quiet "$1" </dev/null >/dev/null ;;
chart | replay | graph | trace)
    needs node=nodejs
    ANTORDER_TRACE=$1 node --test "tests/$check.test.js" ;;
documents)
    needs node=nodejs
    ANTORDER_DOCUMENTS=$1 node --test tests/documents.test.js ;;
browsers)
    needs node=nodejs node_modules/puppeteer-core="npm ci" chromium=chromium \
        firefox-esr=firefox-esr WebKitWebDriver=webkit2gtk-driver xvfb-run=xvfb
    ANTORDER_PAGE=$1 ANTORDER_TRACE=$2 xvfb-run -a node --test tests/browser/ ;;
line_coverage)
    needs gcovr=gcovr
    gcovr --root . --filter common/ --filter model/ --filter colony/ --filter trace/ \
        --print-summary --fail-under-line 95 "$1" ;;
clang_tidy)
    needs run-clang-tidy=clang-tidy
    run-clang-tidy -quiet -p "$1" "$PWD/($(echo "$sources" | tr ' ' '|'))/" ;;
cppcheck)
    needs cppcheck=cppcheck
    # shellcheck disable=SC2086 # the folders of the sources
    cppcheck --enable=warning,performance,portability --std=c++17 --language=c++ \
        --library=googletest --library=posix -I . --error-exitcode=1 --quiet $sources ;;
shellcheck)
    needs shellcheck=shellcheck
    shellcheck -x .ci/run .ci/*.sh bench/*.sh tests/*.sh ;;
eslint)
    needs node=nodejs node_modules/.bin/eslint="npm ci"
    node node_modules/.bin/eslint --max-warnings 0 . ;;
clang_format)
    needs clang-format=clang-format
    # shellcheck disable=SC2086 # the folders of the sources
    find $sources -name '*.[ch]pp' -exec clang-format --dry-run --Werror {} + ;;
prettier)
    needs node=nodejs node_modules/.bin/prettier="npm ci"
    node node_modules/.bin/prettier --check '**/*.js' ;;
cmake_setup) # A plain configure builds an optimised program alone and honours BUILD_TESTING; a
    # parent project (tests/consumer), with targets of its own named like antorder's folders,
    # gets the program alone, which prints the recorded report, and keeps its own build type; the
    # cross preset without its triple is refused before anything is written. In the folder $1.
    rm -rf "$1"
    # Says, where the build folder $1 has not the build type $2, which it has.
    build_type_is() {
        grep -qx "CMAKE_BUILD_TYPE:STRING=$2" "$1/CMakeCache.txt" ||
            ! grep -H '^CMAKE_BUILD_TYPE:' "$1/CMakeCache.txt"
    }
    warnings_fail="-G Ninja -DCMAKE_COMPILE_WARNING_AS_ERROR=ON"
    # shellcheck disable=SC2086 # a generator and an option
    cmake -S . -B "$1/plain" -DBUILD_TESTING=OFF $warnings_fail && cmake --build "$1/plain"
    build_type_is "$1/plain" Release
    test ! -e "$1/plain/tests" && test ! -e "$1/plain/colony_bench" && test ! -e "$1/plain/static"
    # shellcheck disable=SC2086 # a generator and an option
    cmake -S tests/consumer -B "$1/consumer" -DANTORDER_SOURCE_DIR="$PWD" $warnings_fail &&
        cmake --build "$1/consumer"
    build_type_is "$1/consumer" ""
    test ! -e "$1/consumer/antorder/tests" && test ! -e "$1/consumer/antorder/bench"
    "$1/consumer/antorder/antorder" </dev/null | cmp - tests/expected_report.txt
    if ANTORDER_CROSS_TRIPLE='' cmake --workflow --preset cross >/dev/null 2>&1 ||
        test -e build/CMakeCache.txt; then
        echo "the cross workflow ran without a triple, or left a cache in build/" >&2
        exit 1
    fi ;;
*)
    echo "no check named $check" >&2
    exit 2 ;;
esac
