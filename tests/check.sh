#!/bin/sh
# Runs the check named $1, with the arguments after it, for ctest, in the source folder; each is
# registered, with its label, in tests/CMakeLists.txt. A check whose tools are missing is skipped,
# saying which; where ANTORDER_NO_SKIP is set, as the strict test presets set it, it fails.
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
    test -z "$missing" && return
    verdict=skipped
    test -z "${ANTORDER_NO_SKIP+set}" || verdict=failed
    echo "$verdict: this check needs ${missing#, }"
    test $verdict = skipped
    exit
}

# The C++ sources: what the analysis and the formatting read.
sources="common model colony trace tests bench"

# The command $@ prints the recorded report, or the report $expected, and exits with status 0.
prints_report() {
    expected=${expected:-tests/expected_report.txt}
    "$@" </dev/null >"$scratch/printed" ||
        { echo "$* exited with status $?; it must end with 0 after its report" >&2; return 1; }
    difference=$(cmp "$scratch/printed" "$expected") ||
        { echo "$* printed a report other than $expected: $difference" >&2; return 1; }
}

# The trace program that the command $@ runs, as packed with the version $version, answers
# --version with it and writes a trace of two iterations that follows the packed schema $schema.
trace_runs() {
    answer=$("$@" --version </dev/null | tr -d '\r')
    test "$answer" = "antorder-trace $version" ||
        { echo "$*: --version prints \"$answer\", not \"antorder-trace $version\"" >&2; return 1; }
    "$@" --iterations 2 </dev/null >"$scratch/trace.json" || { echo "$*: exit status $?" >&2; return 1; }
    node tests/schema/validate.js "$schema" <"$scratch/trace.json"
}

# The gzip-compressed tar $1 is laid out by the archive rules: its top folder's entry first, then
# names in sorted order (a folder's own names before a longer name beside it), every entry owned
# by 0/0 and dated $2's midnight, folders and programs 0755 and other files 0644.
follows_archive_rules() {
    LC_ALL=C TZ=UTC tar --numeric-owner -tvzf "$1" >"$scratch/listing"
    awk -v date="$2" -v archive="${1##*/}" '
        function broken(rule) { print archive ": the archive entry " $6 " " rule; bad = 1 }
        NR == 1 && $6 !~ /^[^\/]+\/$/ { broken("comes first; the top folder must") }
        $2 != "0/0" { broken("is owned by " $2 "; entries must be owned by 0/0") }
        $4 " " $5 != date " 00:00" { broken("is dated " $4 " " $5 "; entries must be dated " date " 00:00") }
        $1 ~ /^.....w/ { broken("is group-writable; entries must be 0755 or 0644"); next }
        $1 ~ /^........w/ { broken("is writable by all; entries must be 0755 or 0644"); next }
        $1 !~ /^(drwxr-xr-x|-rwxr-xr-x|-rw-r--r--)$/ { broken("has mode " $1 "; entries must be 0755 or 0644") }
        END { exit bad }' "$scratch/listing" >&2 || return 1
    awk '{ print $6 }' "$scratch/listing" | tr / '\001' | LC_ALL=C sort -c 2>/dev/null || {
        echo "${1##*/}: its entries are not in sorted order, a folder's own names first" >&2
        return 1
    }
}

case $check in
report) # The program after $1 and $2 prints the recorded report $1, its lines ended with CR LF
    # where $2 is crlf, under the emulator before it where it is built for another platform, and
    # exits with status 0.
    expected=$scratch/expected
    if [ "$2" = crlf ]; then sed 's/$/\r/; $s/\r$//' "$1"; else cat "$1"; fi >"$expected"
    shift 2
    if [ $# -gt 1 ]; then
        needs "$1=$(echo "${1##*/}" | sed 's/^qemu-.*/qemu-user/; s/^node$/nodejs/')"
    fi
    prints_report "$@" ;;
one_write | one_write_unbuffered) # The whole report of the program $@, the last argument, in one
    # write, whatever buffering the C library is told to do by the command before it.
    needs strace=strace
    # LeakSanitizer cannot run under strace; the sanitizer build's other checks look for leaks.
    ASAN_OPTIONS=detect_leaks=0 strace -f -e trace=write -o "$scratch/writes" "$@" \
        </dev/null >/dev/null || { echo "antorder exited with status $? after its report" >&2; exit 1; }
    writes=$(grep -c 'write(1,' "$scratch/writes")
    test "$writes" = 1 || {
        echo "the report took $writes writes to standard output; it must take one:"
        grep 'write(1,' "$scratch/writes"
        exit 1
    } >&2 ;;
node) # node's tests of antorder-trace $1, in tests/trace/: its document against an independent
    # computation of the search, and its command line.
    needs node=nodejs
    ANTORDER_TRACE=$1 node --test tests/trace/ ;;
page) # node's tests of the page's modules, which read the trace of antorder-trace $1, and of the
    # documents of the build $2.
    needs node=nodejs
    ANTORDER_TRACE=$1 ANTORDER_DOCUMENTS=$2 node --test tests/*.test.js ;;
trace_schema) # The traces of antorder-trace $1 follow the trace's schema; altered ones do not.
    needs node=nodejs node_modules/ajv="npm ci"
    ANTORDER_TRACE=$1 node --test tests/schema/ ;;
documents) # The Windows build's documents, in $1.
    needs node=nodejs
    ANTORDER_DOCUMENTS=$1 node --test tests/documents.test.js ;;
browsers) # The page $1 in the three browsers, against the trace of antorder-trace $2. What the
    # browsers keep, their profiles among it, goes to the check's scratch folder, not the home.
    needs node=nodejs node_modules/puppeteer-core="npm ci" chromium=chromium \
        firefox-esr=firefox-esr WebKitWebDriver=webkit2gtk-driver xvfb-run=xvfb
    HOME=$scratch TMPDIR=$scratch ANTORDER_PAGE=$1 ANTORDER_TRACE=$2 \
        xvfb-run -a node --test tests/browser/ ;;
deb) # The .deb $1: its tree as Debian lays it out, with its README linking the licence by its
    # name there, its programs hardened, the report printed and the trace following its schema,
    # and lintian accepting it: a dependency for each library its programs need, the changelog
    # and the copyright.
    needs dpkg-deb=dpkg lintian=lintian hardening-check=devscripts man=man-db node=nodejs \
        node_modules/ajv="npm ci"
    dpkg-deb -x "$1" "$scratch/deb"
    usr=$scratch/deb/usr
    doc=$usr/share/doc/antorder
    for file in bin/antorder bin/antorder-trace share/man/man1/antorder.1.gz \
        share/man/man1/antorder-trace.1.gz share/antorder/antorder-trace.schema.json; do
        test -f "$usr/$file" || { echo "$file is missing" >&2; exit 1; }
    done
    zcat "$doc/README.md.gz" | grep -q '](copyright)' ||
        { echo "the .deb's README links the licence by a name other than copyright" >&2; exit 1; }
    prints_report "$usr/bin/antorder"
    version=$(dpkg-deb --field "$1" Version) schema=$usr/share/antorder/antorder-trace.schema.json \
        trace_runs "$usr/bin/antorder-trace"
    hardening-check --quiet --nocfprotection "$usr/bin/antorder" "$usr/bin/antorder-trace"
    lintian --fail-on error,warning "$1" ;;
linux_archive) # The Linux archive $1, of the release $2 dated $3: the archive rules; unpacked,
    # its programs, schema and documents (their manual pages are the .deb's, which lintian reads
    # for warnings), the programs with no interpreter and no shared library, printing the report
    # and a trace that follows the archive's schema where nothing else is: chrooted into the
    # unpacked archive alone in a user namespace, or under the emulator after $3.
    needs readelf=binutils unshare=util-linux node=nodejs node_modules/ajv="npm ci"
    follows_archive_rules "$1" "$3"
    mkdir "$scratch/root"
    tar -xzf "$1" -C "$scratch/root"
    top=$(cd "$scratch/root" && echo antorder-*)
    for file in bin/antorder bin/antorder-trace share/man/man1/antorder.1 \
        share/man/man1/antorder-trace.1 share/antorder/antorder-trace.schema.json \
        share/doc/antorder/README.md share/doc/antorder/CHANGELOG.md share/doc/antorder/LICENSE; do
        test -f "$scratch/root/$top/$file" || { echo "$1: $file is missing" >&2; exit 1; }
    done
    for program in antorder antorder-trace; do
        ! readelf -ld "$scratch/root/$top/bin/$program" | grep -qE 'INTERP|NEEDED' ||
            { echo "$1: $program has an interpreter or needs a shared library" >&2; exit 1; }
    done
    version=$2 schema=$scratch/root/$top/share/antorder/antorder-trace.schema.json
    shift 3
    if [ $# -gt 0 ]; then
        needs "$1=qemu-user"
        run="env -u QEMU_LD_PREFIX $1 $scratch/root/$top/bin/"
    else
        run="unshare -r chroot $scratch/root /$top/bin/"
    fi
    # shellcheck disable=SC2086 # a command and its arguments, before the program's name
    prints_report ${run}antorder
    # shellcheck disable=SC2086
    trace_runs ${run}antorder-trace ;;
source_archive) # The source archive $1, of the release dated $2: the archive rules, and, in a
    # git checkout, exactly the files git tracks.
    follows_archive_rules "$1" "$2"
    if [ -e .git ]; then
        needs git=git
        tar -tzf "$1" | grep -v '/$' | sed 's|^[^/]*/||' | LC_ALL=C sort >"$scratch/packed"
        git ls-files | LC_ALL=C sort | diff "$scratch/packed" - >&2 || {
            echo "the source archive must hold the files git tracks, no more, no fewer" >&2
            exit 1
        }
    fi ;;
windows_zip) # The Windows zip $1 of the release $2: the programs, the trace's schema and the
    # Windows documents, and the trace following that schema under the emulator $3.
    needs "$3=wine" node=nodejs node_modules/ajv="npm ci"
    contents=$(cmake -E tar tf "$1" | sed 's|^[^/]*/||' | LC_ALL=C sort | xargs)
    expected="CHANGELOG.txt LICENSE.txt README.txt antorder-trace.exe antorder-trace.schema.json"
    test "$contents" = "$expected antorder.exe" ||
        { echo "the zip holds $contents; it must hold $expected antorder.exe" >&2; exit 1; }
    (cd "$scratch" && cmake -E tar xf "$1")
    top=$(cd "$scratch" && echo antorder-*-win64)
    version=$2 schema=$scratch/$top/antorder-trace.schema.json trace_runs "$3" \
        "$scratch/$top/antorder-trace.exe" ;;
line_coverage)
    needs gcovr=gcovr
    gcovr --root . --print-summary "$1" ;;
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
    # Fails, saying which it has, where the build folder $1 has not the build type $2.
    build_type_is() {
        grep -qx "CMAKE_BUILD_TYPE:STRING=$2" "$1/CMakeCache.txt" && return
        echo "$1: not the build type \"$2\": $(grep '^CMAKE_BUILD_TYPE:' "$1/CMakeCache.txt")" >&2
        return 1
    }
    warnings_fail="-G Ninja -DCMAKE_COMPILE_WARNING_AS_ERROR=ON"
    # shellcheck disable=SC2086 # a generator and an option
    cmake -S . -B "$1/plain" -DBUILD_TESTING=OFF $warnings_fail
    cmake --build "$1/plain"
    build_type_is "$1/plain" Release
    for made in tests colony_bench static; do
        test ! -e "$1/plain/$made" || { echo "a plain build made $made" >&2; exit 1; }
    done
    # shellcheck disable=SC2086 # a generator and an option
    cmake -S tests/consumer -B "$1/consumer" -DANTORDER_SOURCE_DIR="$PWD" $warnings_fail
    cmake --build "$1/consumer"
    build_type_is "$1/consumer" ""
    for made in tests bench; do
        test ! -e "$1/consumer/antorder/$made" || { echo "the parent got $made" >&2; exit 1; }
    done
    prints_report "$1/consumer/antorder/antorder"
    if ANTORDER_CROSS_TRIPLE='' cmake --workflow --preset cross >/dev/null 2>&1 ||
        test -e build/CMakeCache.txt; then
        echo "the cross workflow ran without a triple, or left a cache in build/" >&2
        exit 1
    fi ;;
*)
    echo "no check named $check" >&2
    exit 2 ;;
esac
