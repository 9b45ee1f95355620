# shellcheck shell=bash
# The gates on every platform: each Debian architecture under qemu-user, Windows under wine, and
# the web page under node and headless Chromium. Sourced by .ci/run.

# Debian's architectures besides amd64, by the GNU triples of their cross compilers: those where
# the unit tests run as well (64-bit Arm, big-endian s390x and 32-bit x86), and the others.
tested_triples=(aarch64-linux-gnu s390x-linux-gnu i686-linux-gnu)
other_triples=(arm-linux-gnueabi arm-linux-gnueabihf mips64el-linux-gnuabi64 mipsel-linux-gnu
    powerpc64le-linux-gnu riscv64-linux-gnu)
# Cross builds take the tests with GoogleTest built from Debian's sources, the path a machine
# without GoogleTest installed takes.
with_tests=(-DBUILD_TESTING=ON -Wno-dev -DFETCHCONTENT_SOURCE_DIR_GOOGLETEST=/usr/src/googletest)

# The program that runs a cross build's programs here.
emulator_of() {
    sed -n 's/^CMAKE_CROSSCOMPILING_EMULATOR:[A-Z]*=//p' "$1/CMakeCache.txt"
}

# Cross-builds the release targets given after the GNU triple $1, and after `--` more CMake
# arguments, into build/$1, and runs the program under qemu-user; qemu is given no library root,
# so the program runs only if linked statically.
cross_build() {
    local triple=$1 build=build/$1 targets=()
    shift
    while (($# > 0)) && [[ $1 != -- ]]; do
        targets+=("$1")
        shift
    done
    shift
    ANTORDER_CROSS_TRIPLE=$triple quietly cmake --preset cross "$WERROR" "$@" &&
        quietly cmake --build "$build" --target "${targets[@]}" &&
        prints_report "$(emulator_of "$build")" "$build/antorder"
}

# Every Debian architecture prints the recorded report, and the unit tests pass on the tested
# ones, where everything is built; the others build the program alone. The process tests are
# left out: qemu does not follow a program into the processes it starts.
every_architecture() {
    local triple
    for triple in "${tested_triples[@]}"; do
        cross_build "$triple" all -- "${with_tests[@]}" &&
            quietly ctest --test-dir "build/$triple" --output-on-failure -E '^Program\.' &&
            echo "$triple: every unit test passed" || return 1
    done
    for triple in "${other_triples[@]}"; do
        cross_build "$triple" antorder -- || return 1
    done
}

# Starts wine's server and services once, holding none of the gate's output, for the rest of
# the run; otherwise each program started under wine would leave its output open until they end.
start_wine() {
    mkdir -p "$WINEPREFIX" && wineserver --persistent </dev/null >/dev/null 2>&1 &&
        wine wineboot --init </dev/null >/dev/null 2>&1
}

# Says whether every line of the text file $1 ends with CR LF.
crlf_throughout() {
    if grep -qv $'\r$' "$1"; then
        echo "$1 has a line that does not end with CR LF" >&2
        return 1
    fi
}

# The zip holds the program and the Windows documents, with Windows' line ends; the README and
# the changelog are written for Windows users, the README with what SmartScreen shows of an
# unsigned program and how to check the checksum first.
windows_zip() {
    local zip=$1 contents folder=$SCRATCH/zip file
    contents=$(cmake -E tar tf "$zip" | sed 's|^[^/]*/||' | sort | tr '\n' ' ')
    [[ $contents == "CHANGELOG.txt LICENSE.txt README.txt antorder.exe " ]] ||
        { echo "$zip holds: $contents" >&2; return 1; }
    mkdir "$folder" && (cd "$folder" && cmake -E tar xf "$OLDPWD/$zip") || return 1
    for file in "$folder"/*/*.txt; do
        crlf_throughout "$file" || return 1
    done
    file=$(echo "$folder"/*/README.txt)
    grep -q PowerShell "$file" && grep -q Explorer "$file" && grep -q '%ERRORLEVEL%' "$file" &&
        grep -q '"Windows protected your PC"' "$file" && grep -q '"Run anyway"' "$file" &&
        grep -q 'Get-FileHash antorder-.*-win64\.zip' "$file" &&
        lacks_words "$file" apt-get SIGPIPE qemu ./build || return 1
    lacks_words "$(echo "$folder"/*/CHANGELOG.txt)" Debian Linux .deb tar.gz preset cmake || return 1
    echo "$zip: $contents with CR LF line ends, the README and the changelog for Windows"
}

# The windows workflow makes the program and its zip, without a warning; under wine, with end of
# input, the program prints the recorded report with the line ends of Windows text mode.
windows_program() {
    local build=build/windows log=$SCRATCH/windows.log
    cmake --workflow --preset windows >"$log" 2>&1 || { cat "$log" >&2; return 1; }
    if grep -i warning "$log" >&2; then
        echo "the windows workflow warns" >&2
        return 1
    fi
    windows_zip "$build/antorder-$VERSION-win64.zip" &&
        (cd $build && sha256sum --check --strict "antorder-$VERSION-win64.zip.sha256") &&
        start_wine || return 1
    sed -z 's/\n/\r\n/g' "$EXPECTED" >"$SCRATCH/expected-crlf.txt"
    wine $build/antorder.exe </dev/null >"$SCRATCH/windows-report.txt" 2>"$SCRATCH/wine.log" &&
        cmp "$SCRATCH/windows-report.txt" "$SCRATCH/expected-crlf.txt" &&
        echo "wine $build/antorder.exe: the recorded report, with CRLF line ends"
}

# The unit tests that start no process pass under wine.
windows_tests() {
    quietly cmake --preset windows "$WERROR" "${with_tests[@]}" &&
        quietly cmake --build build/windows &&
        quietly ctest --test-dir build/windows --output-on-failure &&
        echo "windows: every unit test passed"
}

# The browser tests: the page in Chromium, Firefox and WebKit, opened from disk where only the
# loopback interface is up, over which the tests drive the browsers; xvfb gives WebKit's browser
# a display.
browser_tests() {
    npm_installed || return 1
    if ! ANTORDER_PAGE=build/web/antorder.html ANTORDER_TRACE=build/release/antorder-trace \
        unshare -n sh -c 'ip link set lo up && exec xvfb-run -a node --test tests/browser/' \
        >"$SCRATCH/browsers.log" 2>&1; then
        cat "$SCRATCH/browsers.log" >&2
        return 1
    fi
    echo "the browser tests in Chromium, Firefox and WebKit: $(grep '^# pass' "$SCRATCH/browsers.log")"
}

# Under node, antorder.js writes the report in one write, so that a reader that leaves after the
# first byte ends it with status 0, as it does the native program; when the reader has gone
# before the report is written, node ends with 141, the status the shell shows for the native
# program, ended by SIGPIPE.
node_statuses() {
    local program=build/web/antorder.js writes status
    strace -f -e trace=write -o "$SCRATCH/node-writes.txt" node $program </dev/null >/dev/null ||
        return 1
    writes=$(grep -c 'write(1,' "$SCRATCH/node-writes.txt")
    ((writes == 1)) || { echo "node wrote the report in $writes writes" >&2; return 1; }
    node $program </dev/null | head -c1 >/dev/null
    status=${PIPESTATUS[0]}
    ((status == 0)) || { echo "node $program | head -c1: status $status" >&2; return 1; }
    node $program </dev/null | true
    status=${PIPESTATUS[0]}
    ((status == 141)) || { echo "node $program | true: status $status" >&2; return 1; }
    echo "node $program: the report in one write; | head -c1 gives 0, | true gives 141"
}

# The web workflow makes the page and the program for node: node prints the recorded report, with
# the console program's statuses, and the page, at most 300 kB, passes the browser tests.
web_page() {
    local page=build/web/antorder.html size
    quietly cmake --workflow --preset web && prints_report node build/web/antorder.js &&
        node_statuses || return 1
    size=$(stat -c %s "$page")
    ((size <= 300 * 1024)) || { echo "$page has $size bytes, more than 300 kB" >&2; return 1; }
    echo "$page: $size bytes"
    browser_tests
}
