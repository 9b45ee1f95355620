# shellcheck shell=bash
# The gates on what users install: the installed tree and the packages, laid out as Debian and
# the archive rules ask, and the same release files to the byte however they are packed.
# Sourced by .ci/run.

docs=share/doc/antorder
installed=(share/man/man1/antorder.1 "$docs/README.md" "$docs/CHANGELOG.md" "$docs/LICENSE")
release_date=$(sed -n 's/^## [^ ]* - //p' CHANGELOG.md | head -n 1)
# The version of the release, from the newest heading of the changelog.
VERSION=$(sed -n 's/^## \([^ ]*\) - .*/\1/p' CHANGELOG.md | head -n 1)
# The release files: the package workflow makes the first three, the release command all five.
deb_name=antorder_${VERSION}_amd64.deb
linux_archive_name=antorder-$VERSION-Linux-x86_64.tar.gz
source_archive_name=antorder-$VERSION-Source.tar.gz
release_names=("$deb_name" "$linux_archive_name" "$source_archive_name"
    "antorder-$VERSION-win64.zip" "antorder-$VERSION.html")

# Says whether the installed README $1 is written for those who run antorder: it names the wait
# for Enter and the exit statuses, and nothing of building or checking antorder.
user_readme() {
    if ! { lacks_words "$1" preset ctest .ci/run GoogleTest && grep -q 'waits for Enter' "$1" &&
        grep -q '^- 141: ' "$1"; }; then
        echo "$1 is not the README for users" >&2
        return 1
    fi
}

# The anchors of the headings of the Markdown document $1, as Markdown renderers make them.
heading_anchors() {
    sed -n 's/^#\{1,6\} //p' "$1" | tr '[:upper:]' '[:lower:]' | sed 's/[^a-z0-9 _-]//g; s/ /-/g'
}

# Says whether every relative link in the Markdown documents of folder $1 names a file installed
# beside them, and, where it names a heading, a heading of that document.
links_resolve() {
    local document target file anchor status=0
    for document in "$1"/*.md; do
        while read -r target; do
            file=${target%%#*} anchor=${target#"$file"}
            file=${file:-${document##*/}}
            if [[ ! -f $1/$file ]]; then
                echo "$document links $target, which is not installed beside it" >&2
                status=1
            elif [[ -n $anchor ]] && ! heading_anchors "$1/$file" | grep -qxF -- "${anchor#\#}"; then
                echo "$document links $target, which is no heading of $file" >&2
                status=1
            fi
        done < <(grep -o '](\([^)]*\))' "$document" | sed 's/^](//; s/)$//' |
            grep -v -E '^[a-z][a-z0-9+.-]*:')
    done
    return "$status"
}

# Checks an installed tree under $1: the program prints the report, the manual page $2 renders
# without warnings, and the documents named after it are there, the README the one for users,
# with no link to a file that is not installed beside it.
check_installed() {
    local root=$1 manual=$2 file warnings
    shift 2
    for file in bin/antorder "$manual" "$@"; do
        [[ -f $root/$file ]] || { echo "$root/$file is missing" >&2; return 1; }
    done
    prints_report "$root/bin/antorder" && user_readme "$root/$docs/README.md" &&
        links_resolve "$root/$docs" || return 1
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
    local listing=$SCRATCH/listing.txt
    TZ=UTC tar --numeric-owner -tvzf "$1" >"$listing" || return 1
    if ! { awk -v date="$release_date" 'NR == 1 && $6 !~ /^[^\/]+\/$/ { print "not the top folder:", $0; bad = 1 }
        $2 != "0/0" || $4 != date || $5 != "00:00" ||
        ($1 != "drwxr-xr-x" && $1 != "-rwxr-xr-x" && $1 != "-rw-r--r--") { print; bad = 1 }
        END { exit bad }' "$listing" >&2 &&
        awk '{ print $6 }' "$listing" | tr / '\001' | LC_ALL=C sort -c; }; then
        echo "$1 breaks the archive rules" >&2
        return 1
    fi
    echo "$1: laid out by the archive rules"
}

# Says whether the source archive $1 holds exactly the files git tracks.
holds_tracked_files() {
    diff <(tar -tzf "$1" | grep -v '/$' | sed 's|^[^/]*/||' | LC_ALL=C sort) \
        <(git ls-files | LC_ALL=C sort) >&2 ||
        { echo "$1 does not hold exactly the files git tracks" >&2; return 1; }
    echo "$1: the files git tracks"
}

# The program of the Linux archive $1 has no interpreter and needs no shared library, and it runs
# where nothing else is: chrooted into a folder that holds the unpacked archive alone, it prints
# the recorded report with status 0.
static_linux_archive() {
    local root=$SCRATCH/empty-root program
    mkdir "$root" && tar -xzf "$1" -C "$root" || return 1
    program=$(cd "$root" && echo antorder-*/bin/antorder)
    if readelf -l "$root/$program" | grep -q INTERP || readelf -d "$root/$program" | grep -q NEEDED
    then
        echo "$1: its program has an interpreter or needs a shared library" >&2
        return 1
    fi
    prints_report chroot "$root" "/$program"
}

# Packs the release build of the sources in folder $1 as the package workflow does, warnings as
# errors.
pack_release() {
    (cd "$1" && build_release release && quietly cpack --preset release &&
        quietly cpack --preset source)
}

# Packs the .deb with the command $@ into folder $1 and says whether the packing stopped, naming
# dpkg-shlibdeps, without making a package.
packing_stops() {
    local packed=$1 log=$SCRATCH/stopped-packing.log
    shift
    if "$@" cpack --preset release -G DEB -B "$packed" >"$log" 2>&1 ||
        compgen -G "$packed/*.deb" >/dev/null || ! grep -q 'needs dpkg-shlibdeps' "$log"; then
        cat "$log" >&2
        echo "the .deb was packed with a dpkg-shlibdeps that cannot be run" >&2
        return 1
    fi
}

# What users install, from the release build: `cmake --install`, the .deb and the .tar.gz, each
# unpacked and checked. The .deb is laid out as Debian's policy asks, its program is hardened,
# the archives follow the archive rules, and every checksum file holds.
install_and_packages() {
    local deb tgz source
    pack_release . && quietly cmake --install build/release --prefix "$SCRATCH/prefix" &&
        check_installed "$SCRATCH/prefix" "${installed[@]}" || return 1
    deb=build/release/$deb_name
    tgz=build/release/$linux_archive_name
    source=build/release/$source_archive_name
    echo "$deb depends on: $(dpkg-deb --field "$deb" Depends)"
    dpkg-deb --field "$deb" Depends | grep -q '^libc6 ' || return 1
    dpkg-deb -x "$deb" "$SCRATCH/deb" && check_installed "$SCRATCH/deb/usr" \
        share/man/man1/antorder.1.gz $docs/README.md $docs/changelog.gz $docs/copyright &&
        lintian --fail-on error,warning "$deb" &&
        hardening-check --nocfprotection "$SCRATCH/deb/usr/bin/antorder" || return 1
    echo "lintian and hardening-check: passed"
    mkdir "$SCRATCH/tgz" && tar -xzf "$tgz" -C "$SCRATCH/tgz" &&
        check_installed "$(echo "$SCRATCH"/tgz/antorder-*)" "${installed[@]}" &&
        static_linux_archive "$tgz" && follows_archive_rules "$tgz" && follows_archive_rules "$source" &&
        holds_tracked_files "$source" &&
        (cd build/release && sha256sum --check --strict antorder[-_]"$VERSION"[-_]*.sha256)
}

# A tracked file with a change that is not committed stops the packing before any package is
# made, and the release command before it builds anything, each with a message naming the file
# and the variable that packs it anyway; with that variable on, the packing goes ahead.
uncommitted_changes_refused() {
    local clone=$SCRATCH/uncommitted log=$SCRATCH/uncommitted.log
    git clone -q . "$clone" && echo "A change." >>"$clone/README.md" || return 1
    if (cd "$clone" && cmake --workflow --preset package) >"$log" 2>&1 ||
        compgen -G "$clone/build/release/antorder*.deb" >/dev/null ||
        compgen -G "$clone/build/release/antorder*.tar.gz" >/dev/null ||
        ! grep -qE '^ +README\.md$' "$log" || ! grep -q ANTORDER_PACK_UNCOMMITTED=ON "$log"; then
        cat "$log" >&2
        echo "the package workflow packed a change that is not committed" >&2
        return 1
    fi
    if (cd "$clone" && cmake -P cmake/dist.cmake) >"$log" 2>&1 ||
        ! grep -qE '^ +README\.md$' "$log" || ! grep -q ANTORDER_PACK_UNCOMMITTED=ON "$log" ||
        test -e "$clone/build/dist" -o -e "$clone/build/windows" -o -e "$clone/build/web"; then
        cat "$log" >&2
        echo "the release command went ahead with a change that is not committed" >&2
        return 1
    fi
    echo "a change that is not committed: the packing and the release command refuse, naming it"
    (cd "$clone" && quietly cmake --preset release -DANTORDER_PACK_UNCOMMITTED=ON &&
        quietly cmake --workflow --preset package) &&
        compgen -G "$clone/build/release/antorder_*.deb" >/dev/null || return 1
    echo "with ANTORDER_PACK_UNCOMMITTED=ON it packs"
}

# A dpkg-shlibdeps that cannot be run stops the packing of the .deb, as a missing one does, so
# that no package is made without its dependencies: one that fails, found first on the PATH, and
# the installed one without its execute permission, in a mount namespace of its own.
broken_tool_stops_packing() {
    local tools=$SCRATCH/broken-tools
    mkdir "$tools" && printf '#!/bin/sh\nexit 2\n' >"$tools/dpkg-shlibdeps" &&
        chmod +x "$tools/dpkg-shlibdeps" && cp /usr/bin/dpkg-shlibdeps "$tools/not-executable" &&
        chmod -x "$tools/not-executable" || return 1
    packing_stops "$SCRATCH/failing-tool" env PATH="$tools:$PATH" &&
        packing_stops "$SCRATCH/not-executable" unshare --mount sh -c \
            "mount --bind $tools/not-executable /usr/bin/dpkg-shlibdeps && exec \"\$@\"" sh ||
        return 1
    echo "a dpkg-shlibdeps that fails or cannot be run: the packing stops, no .deb"
}

# The release files in build/dist of folder $1, with their checksum files and SHA256SUMS.
release_files() {
    (cd "$1/build/dist" && shopt -s nullglob && echo SHA256SUMS antorder[-_]*)
}

# Says whether folder $2 made the same release files as folder $1, byte for byte.
same_release_files() {
    local file files
    files=$(release_files "$1")
    [[ -n $files && $files == "$(release_files "$2")" ]] ||
        { echo "$2/build/dist holds other release files: $(release_files "$2")" >&2; return 1; }
    for file in $files; do
        cmp "$1/build/dist/$file" "$2/build/dist/$file" || return 1
    done
    echo "$2: the same $(wc -w <<<"$files") release files, byte for byte"
}

# The release command makes in build/dist the five release files, each with its checksum file,
# and SHA256SUMS over the five, and nothing else; every checksum holds.
release_in_dist() {
    local name wanted=(SHA256SUMS)
    quietly cmake -P cmake/dist.cmake || return 1
    for name in "${release_names[@]}"; do
        wanted+=("$name" "$name.sha256")
    done
    diff <(find build/dist -mindepth 1 -printf '%f\n' | LC_ALL=C sort) \
        <(printf '%s\n' "${wanted[@]}" | LC_ALL=C sort) >&2 ||
        { echo "build/dist does not hold the release files alone" >&2; return 1; }
    diff <(cut -d' ' -f3 build/dist/SHA256SUMS) \
        <(printf '%s\n' "${release_names[@]}" | LC_ALL=C sort) >&2 ||
        { echo "SHA256SUMS does not list the five release files" >&2; return 1; }
    (cd build/dist && sha256sum --check --strict SHA256SUMS ./*.sha256) || return 1
    echo "build/dist: $(release_files .)"
}

# Without emscripten the release command stops at once, naming it, before it builds anything:
# in a mount namespace of its own, emcc is a file that cannot be run.
missing_tool_named() {
    local clone=$SCRATCH/no-emscripten log=$SCRATCH/no-emscripten.log
    git clone -q . "$clone" || return 1
    if (cd "$clone" && unshare --mount sh -c \
        'mount --bind /dev/null /usr/bin/emcc && exec cmake -P cmake/dist.cmake') >"$log" 2>&1 ||
        ! grep -q 'emcc, from emscripten' "$log" || test -e "$clone/build"; then
        cat "$log" >&2
        echo "without emscripten, the release command did not stop at once naming it" >&2
        return 1
    fi
    echo "without emscripten: the release command stops at once, naming it"
}

# reprotest on the release command in a fresh clone with files git does not track, varying all
# it can here (the path, the umask, the time, the locale and the time zone among them), and
# comparing every file it makes in build/dist.
reprotest_release() {
    local clone=$SCRATCH/reprotest
    git clone -q . "$clone" && mkdir "$clone/.vscode" &&
        touch "$clone/notes.txt" "$clone/.vscode/settings.json" "$clone/README.md~" &&
        (cd "$clone" && quietly reprotest --vary=+all,-user_group,-kernel \
            'cmake -P cmake/dist.cmake' 'build/dist/*') || return 1
    echo "reprotest on the release command: Reproduction successful"
}

# The source archive, unpacked under umask 077 where there is no git, at a path whose name holds
# characters that regular expressions treat specially, and released there by the unprivileged
# user nobody in another time zone and locale: it builds the program that prints the recorded
# report, and makes the same release files, itself among them.
packed_from_source_archive() {
    local home=$SCRATCH/build.c++ source
    (umask 077 && mkdir "$home" && tar -xzf "build/dist/$source_archive_name" -C "$home") &&
        chown -R nobody:nogroup "$home" || return 1
    source=$(echo "$home"/antorder-*-Source)
    test ! -e "$source/.git" &&
        (cd "$source" && quietly runuser -u nobody -- env HOME="$home" TZ=Asia/Tokyo LC_ALL=C \
            sh -c 'umask 077 && exec cmake -P cmake/dist.cmake') &&
        prints_report "$source/build/release/antorder" && same_release_files . "$source"
}
