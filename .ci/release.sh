# The gates on what users install: the installed tree and the packages, laid out as Debian and
# the archive rules ask, and the same release files to the byte however they are packed.
# Sourced by .ci/run.

docs=share/doc/antorder
installed=(share/man/man1/antorder.1 "$docs/README.md" "$docs/CHANGELOG.md" "$docs/LICENSE")
release_date=$(sed -n 's/^## [^ ]* - //p' CHANGELOG.md | head -n 1)

# Says whether the installed README $1 is written for those who run antorder: it names the wait
# for Enter and the exit statuses, and nothing of building or checking antorder.
user_readme() {
    lacks_words "$1" preset ctest .ci/run GoogleTest &&
        grep -q 'waits for Enter' "$1" && grep -q '^- 141: ' "$1" ||
        { echo "$1 is not the README for users" >&2; return 1; }
}

# Checks an installed tree under $1: the program prints the report, the manual page $2 renders
# without warnings, and the documents named after it are there, the README the one for users.
check_installed() {
    local root=$1 manual=$2 file warnings
    shift 2
    for file in bin/antorder "$manual" "$@"; do
        [[ -f $root/$file ]] || { echo "$root/$file is missing" >&2; return 1; }
    done
    prints_report "$root/bin/antorder" && user_readme "$root/$docs/README.md" || return 1
    warnings=$(man --warnings -l "$root/$manual" 2>&1 >/dev/null) || return 1
    if [[ -n $warnings ]]; then
        echo "the manual page renders with warnings: $warnings" >&2
        return 1
    fi
    echo "$root: program, manual page, ${*##*/}"
}

# Says whether the gzip-compressed tar $1 is laid out by the archive rules: its top folder's
# entry first, then names in sorted order (a folder's own names before a longer name beside it),
# every entry owned by 0/0 and dated the release date's midnight, folders and programs 0755 and
# other files 0644.
follows_archive_rules() {
    local listing=$scratch/listing.txt
    TZ=UTC tar --numeric-owner -tvzf "$1" >"$listing" || return 1
    awk -v date="$release_date" 'NR == 1 && $6 !~ /^[^\/]+\/$/ { print "not the top folder:", $0; bad = 1 }
        $2 != "0/0" || $4 != date || $5 != "00:00" ||
        ($1 != "drwxr-xr-x" && $1 != "-rwxr-xr-x" && $1 != "-rw-r--r--") { print; bad = 1 }
        END { exit bad }' "$listing" >&2 &&
        awk '{ print $6 }' "$listing" | tr / '\001' | LC_ALL=C sort -c ||
        { echo "$1 breaks the archive rules" >&2; return 1; }
    echo "$1: laid out by the archive rules"
}

# Says whether the source archive $1 holds exactly the files git tracks.
holds_tracked_files() {
    diff <(tar -tzf "$1" | grep -v '/$' | sed 's|^[^/]*/||' | LC_ALL=C sort) \
        <(git ls-files | LC_ALL=C sort) >&2 ||
        { echo "$1 does not hold exactly the files git tracks" >&2; return 1; }
    echo "$1: the files git tracks"
}

# Packs the release build of the sources in folder $1 as the package workflow does, warnings as
# errors.
pack_release() {
    (cd "$1" && build_release release && quietly cpack --preset release &&
        quietly cpack --preset source)
}

# The release files in build/$2 of folder $1: the packages and their checksum files.
release_files() {
    (cd "$1/build/$2" && shopt -s nullglob && echo antorder[-_]*.{deb,tar.gz,zip,sha256})
}

# Says whether folder $2 packed the same release files in build/$3 as folder $1, byte for byte.
same_release_files() {
    local file files
    files=$(release_files "$1" "$3")
    [[ -n $files && $files == "$(release_files "$2" "$3")" ]] ||
        { echo "$2/build/$3 holds other release files: $(release_files "$2" "$3")" >&2; return 1; }
    for file in $files; do
        cmp "$1/build/$3/$file" "$2/build/$3/$file" || return 1
    done
    echo "$2: the same $(wc -w <<<"$files") release files in build/$3, byte for byte"
}

# What users install, from the release build: `cmake --install`, the .deb and the .tar.gz, each
# unpacked and checked. The .deb is laid out as Debian's policy asks, its program is hardened,
# the archives follow the archive rules, and every checksum file holds.
install_and_packages() {
    local deb tgz source
    pack_release . && quietly cmake --install build/release --prefix "$scratch/prefix" &&
        check_installed "$scratch/prefix" "${installed[@]}" || return 1
    deb=$(echo build/release/antorder_*.deb)
    tgz=$(echo build/release/antorder-*-Linux-*.tar.gz)
    source=$(echo build/release/antorder-*-Source.tar.gz)
    echo "$deb depends on: $(dpkg-deb --field "$deb" Depends)"
    dpkg-deb --field "$deb" Depends | grep -q '^libc6 ' || return 1
    dpkg-deb -x "$deb" "$scratch/deb" && check_installed "$scratch/deb/usr" \
        share/man/man1/antorder.1.gz $docs/README.md $docs/changelog.gz $docs/copyright &&
        lintian --fail-on error,warning "$deb" &&
        hardening-check --nocfprotection "$scratch/deb/usr/bin/antorder" || return 1
    echo "lintian and hardening-check: passed"
    mkdir "$scratch/tgz" && tar -xzf "$tgz" -C "$scratch/tgz" &&
        check_installed "$(echo "$scratch"/tgz/antorder-*)" "${installed[@]}" &&
        follows_archive_rules "$tgz" && follows_archive_rules "$source" &&
        holds_tracked_files "$source" &&
        (cd build/release && sha256sum --check --strict antorder[-_]*.sha256)
}

# Packs the .deb with the command $@ into folder $1 and says whether the packing stopped, naming
# dpkg-shlibdeps, without making a package.
packing_stops() {
    local packed=$1 log=$scratch/stopped-packing.log
    shift
    if "$@" cpack --preset release -G DEB -B "$packed" >"$log" 2>&1 ||
        compgen -G "$packed/*.deb" >/dev/null || ! grep -q 'needs dpkg-shlibdeps' "$log"; then
        cat "$log" >&2
        echo "the .deb was packed with a dpkg-shlibdeps that cannot be run" >&2
        return 1
    fi
}

# A dpkg-shlibdeps that cannot be run stops the packing of the .deb, as a missing one does, so
# that no package is made without its dependencies: one that fails, found first on the PATH, and
# the installed one without its execute permission, in a mount namespace of its own.
broken_tool_stops_packing() {
    local tools=$scratch/broken-tools
    mkdir "$tools" && printf '#!/bin/sh\nexit 2\n' >"$tools/dpkg-shlibdeps" &&
        chmod +x "$tools/dpkg-shlibdeps" && cp /usr/bin/dpkg-shlibdeps "$tools/not-executable" &&
        chmod -x "$tools/not-executable" || return 1
    packing_stops "$scratch/failing-tool" env PATH="$tools:$PATH" &&
        packing_stops "$scratch/not-executable" unshare --mount sh -c \
            "mount --bind $tools/not-executable /usr/bin/dpkg-shlibdeps && exec \"\$@\"" sh ||
        return 1
    echo "a dpkg-shlibdeps that fails or cannot be run: the packing stops, no .deb"
}

# Runs reprotest on workflow $1 in a fresh clone, varying all it can here, and compares the
# release files it makes, which the patterns $2 name.
reprotest_workflow() {
    local clone=$scratch/reprotest-$1
    git clone -q . "$clone" &&
        (cd "$clone" &&
            quietly reprotest --vary=+all,-user_group,-kernel "cmake --workflow --preset $1" "$2") ||
        return 1
    echo "reprotest on the $1 workflow: Reproduction successful"
}

reprotest_package() {
    reprotest_workflow package 'build/release/*.deb build/release/*.tar.gz build/release/*.sha256'
}

reprotest_windows() {
    reprotest_workflow windows 'build/windows/*.zip build/windows/*.sha256'
}

# A clone at another path, whose name holds characters that regular expressions treat specially,
# with files git does not track, packed under umask 077 in another time zone and locale: the same
# release files, Linux and Windows.
packed_elsewhere() {
    local clone=$scratch/build.c++/antorder
    (umask 077 && export TZ=Asia/Tokyo LC_ALL=C && git clone -q . "$clone" && cd "$clone" &&
        mkdir .vscode && touch notes.txt .vscode/settings.json README.md~ &&
        quietly cmake --workflow --preset package && quietly cmake --workflow --preset windows) &&
        same_release_files . "$clone" release && same_release_files . "$clone" windows
}

# A clone packed by the unprivileged user nobody: the same release files.
packed_by_a_user() {
    local home=$scratch/user clone=$scratch/user/antorder
    git clone -q . "$clone" && chown -R nobody:nogroup "$home" &&
        (cd "$clone" &&
            quietly runuser -u nobody -- env HOME="$home" cmake --workflow --preset package) &&
        same_release_files . "$clone" release
}

# The source archive, unpacked where there is no git, builds the program that prints the recorded
# report and packs the same release files, itself among them.
packed_from_source_archive() {
    local unpacked=$scratch/build.c++/unpacked source
    mkdir -p "$unpacked" && tar -xzf build/release/antorder-*-Source.tar.gz -C "$unpacked" ||
        return 1
    source=$(echo "$unpacked"/antorder-*-Source)
    test ! -e "$source/.git" && (cd "$source" && quietly cmake --workflow --preset package) &&
        prints_report "$source/build/release/antorder" && same_release_files . "$source" release
}
