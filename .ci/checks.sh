# shellcheck shell=bash
# The gates, or parts of gates, that are more than a preset's workflow or a ctest label: those
# that check what the packing and the release make, and those that need root or another user
# (chroot, mount namespaces, reprotest, runuser, no network). Sourced by .ci/run.

# The tree installed under $1: its program prints the recorded report, its manual page $2 renders
# without a warning, and the documents named after it are there.
installed_tree() {
    local warnings document
    for document in "${@:3}"; do
        test -f "$1/$document" || { echo "$1/$document is missing" >&2; return 1; }
    done
    "$1/bin/antorder" </dev/null | cmp -s - tests/expected_report.txt ||
        { echo "$1/bin/antorder prints another report" >&2; return 1; }
    warnings=$(man --warnings -l "$1/$2" 2>&1 >/dev/null) || return 1
    [[ -z $warnings ]] || { echo "$1/$2 renders with warnings: $warnings" >&2; return 1; }
}

# Says whether the gzip-compressed tar $1 is laid out by the archive rules: its top folder's entry
# first, then names in sorted order (a folder's own names before a longer name beside it), every
# entry owned by 0/0 and dated the release date's midnight, folders and programs 0755 and other
# files 0644.
follows_archive_rules() {
    local listing=$SCRATCH/listing.txt
    TZ=UTC tar --numeric-owner -tvzf "$1" >"$listing" || return 1
    if ! awk -v date="$RELEASE_DATE" 'NR == 1 && $6 !~ /^[^\/]+\/$/ { print "not the top folder:", $0; bad = 1 }
        $2 != "0/0" || $4 != date || $5 != "00:00" ||
        ($1 != "drwxr-xr-x" && $1 != "-rwxr-xr-x" && $1 != "-rw-r--r--") { print; bad = 1 }
        END { exit bad }' "$listing" >&2 ||
        ! awk '{ print $6 }' "$listing" | tr / '\001' | LC_ALL=C sort -c; then
        echo "$1 breaks the archive rules" >&2
        return 1
    fi
}

# The .deb: its dependencies read off the program, its tree as Debian lays it out, with its
# README linking the licence by its name there, accepted by lintian, and its program hardened.
debian_package() {
    local root=$SCRATCH/deb doc=share/doc/antorder
    dpkg-deb --field "$1" Depends | grep -q '^libc6 ' && dpkg-deb -x "$1" "$root" &&
        installed_tree "$root/usr" share/man/man1/antorder.1.gz $doc/README.md.gz \
            $doc/changelog.gz $doc/copyright &&
        zcat "$root/usr/$doc/README.md.gz" | grep -q '](copyright)' &&
        lintian --fail-on error,warning "$1" &&
        hardening-check --nocfprotection "$root/usr/bin/antorder"
}

# The Linux archive's program has no interpreter and needs no shared library, and it runs where
# nothing else is: chrooted into a folder that holds the unpacked archive alone, it prints the
# recorded report.
static_linux_archive() {
    local root=$SCRATCH/tgz program
    mkdir "$root" && tar -xzf "$1" -C "$root" && program=$(cd "$root" && echo antorder-*/bin/antorder) &&
        installed_tree "$root/${program%/bin/antorder}" "${INSTALLED[@]}" || return 1
    if readelf -l "$root/$program" | grep -q INTERP || readelf -d "$root/$program" | grep -q NEEDED
    then
        echo "$1: its program has an interpreter or needs a shared library" >&2
        return 1
    fi
    chroot "$root" "/$program" </dev/null | cmp -s - tests/expected_report.txt
}

# The source archive $1 holds exactly the files git tracks.
holds_tracked_files() {
    diff <(tar -tzf "$1" | grep -v '/$' | sed 's|^[^/]*/||' | LC_ALL=C sort) \
        <(git ls-files | LC_ALL=C sort) >&2
}

# Packs the .deb with the command $@ and says whether the packing stopped, naming
# dpkg-shlibdeps, without making a package.
packing_stops() {
    local packed=$SCRATCH/stopped log=$SCRATCH/stopped.log
    rm -rf "$packed"
    if "$@" cpack --preset release -G DEB -B "$packed" >"$log" 2>&1 ||
        compgen -G "$packed/*.deb" >/dev/null || ! grep -q 'dpkg-shlibdeps, from dpkg-dev' "$log"; then
        cat "$log" >&2
        echo "the .deb was packed with a dpkg-shlibdeps that cannot be run" >&2
        return 1
    fi
}

# A dpkg-shlibdeps that fails, found first on the PATH, or that cannot be run, the installed one
# without its execute permission in a mount namespace of its own, stops the packing of the .deb.
broken_tool_stops_packing() {
    local tools=$SCRATCH/broken-tools
    mkdir "$tools" && printf '#!/bin/sh\nexit 2\n' >"$tools/dpkg-shlibdeps" &&
        chmod +x "$tools/dpkg-shlibdeps" && cp /usr/bin/dpkg-shlibdeps "$tools/not-executable" &&
        chmod -x "$tools/not-executable" &&
        packing_stops env PATH="$tools:$PATH" &&
        packing_stops unshare --mount sh -c \
            "mount --bind $tools/not-executable /usr/bin/dpkg-shlibdeps && exec \"\$@\"" sh
}

# The package workflow, a developer's trial, says so when it packs a change that is not committed.
trial_names_changes() {
    local clone=$SCRATCH/trial
    git clone -q . "$clone" && echo "A change." >>"$clone/README.md" &&
        (cd "$clone" && cmake --workflow --preset package) >"$SCRATCH/trial.log" 2>&1 &&
        grep -q 'holds changes that are not committed' "$SCRATCH/trial.log" &&
        grep -qE '^ M README\.md$' "$SCRATCH/trial.log"
}

# The manual page and the documents of `cmake --install` and of the Linux archive.
INSTALLED=(share/man/man1/antorder.1 share/doc/antorder/README.md share/doc/antorder/CHANGELOG.md
    share/doc/antorder/LICENSE)

# What users install, from the release build: `cmake --install`, the .deb and the .tar.gz, each
# unpacked and checked; the archives laid out by the archive rules, the source archive holding the
# files git tracks, and every checksum file right.
packages() {
    local made=build/release
    step cmake --workflow --preset package &&
        step cmake --install $made --prefix "$SCRATCH/prefix" &&
        step installed_tree "$SCRATCH/prefix" "${INSTALLED[@]}" &&
        step debian_package "$made/${RELEASE_FILES[0]}" &&
        step static_linux_archive "$made/${RELEASE_FILES[1]}" &&
        step follows_archive_rules "$made/${RELEASE_FILES[1]}" &&
        step follows_archive_rules "$made/${RELEASE_FILES[3]}" &&
        step holds_tracked_files "$made/${RELEASE_FILES[3]}" &&
        step sh -c "cd $made && sha256sum --check --strict ./*.sha256" &&
        step broken_tool_stops_packing && step trial_names_changes
}

# The zip holds the program and the Windows documents; its checksum file holds.
windows_zip() {
    local contents
    contents=$(cmake -E tar tf "build/windows/${RELEASE_FILES[2]}" | sed 's|^[^/]*/||' | sort | xargs)
    [[ $contents == "CHANGELOG.txt LICENSE.txt README.txt antorder.exe" ]] ||
        { echo "the zip holds: $contents" >&2; return 1; }
    (cd build/windows && sha256sum --check --strict "${RELEASE_FILES[2]}.sha256")
}

# build/dist holds the five release files, each with its checksum file, and SHA256SUMS over the
# five, and nothing else; every checksum holds.
release_in_dist() {
    local name wanted=(SHA256SUMS)
    for name in "${RELEASE_FILES[@]}"; do
        wanted+=("$name" "$name.sha256")
    done
    diff <(ls -A build/dist) <(printf '%s\n' "${wanted[@]}" | LC_ALL=C sort) >&2 &&
        diff <(cut -d' ' -f3 build/dist/SHA256SUMS) \
            <(printf '%s\n' "${RELEASE_FILES[@]}" | LC_ALL=C sort) >&2 &&
        (cd build/dist && sha256sum --check --strict SHA256SUMS ./*.sha256)
}

# With a change to README.md that is not committed, the release command names the commit, says
# that it leaves the change out, and makes the same files as before.
uncommitted_left_out() {
    local log=$SCRATCH/uncommitted.log status=0
    cp build/dist/SHA256SUMS "$SCRATCH/SHA256SUMS" && echo "A change." >>README.md || return 1
    cmake -P cmake/dist.cmake >"$log" 2>&1 || status=1
    git checkout -q README.md
    if ((status)) || ! grep -q "The release of commit $(git rev-parse HEAD)" "$log" ||
        ! grep -qE '^ M README\.md$' "$log" || ! cmp "$SCRATCH/SHA256SUMS" build/dist/SHA256SUMS
    then
        cat "$log" >&2
        return 1
    fi
}

# Without emscripten the release command stops at once, naming it, before it builds anything: in
# a mount namespace of its own, emcc is a file that cannot be run.
missing_tool_named() {
    local clone=$SCRATCH/no-emscripten log=$SCRATCH/no-emscripten.log
    git clone -q . "$clone" || return 1
    if (cd "$clone" && unshare --mount sh -c \
        'mount --bind /dev/null /usr/bin/emcc && exec cmake -P cmake/dist.cmake') >"$log" 2>&1 ||
        ! grep -q 'emcc, from emscripten' "$log" || test -e "$clone/build"; then
        cat "$log" >&2
        return 1
    fi
}

# reprotest on the release command in a fresh clone with files git does not track, varying all it
# can here (the path, the umask, the time, the locale and the time zone among them), and
# comparing every file it makes in build/dist.
reprotest_release() {
    local clone=$SCRATCH/reprotest
    git clone -q . "$clone" && mkdir "$clone/.vscode" &&
        touch "$clone/notes.txt" "$clone/.vscode/settings.json" "$clone/README.md~" &&
        (cd "$clone" && reprotest --vary=+all,-user_group,-kernel \
            'cmake -P cmake/dist.cmake' 'build/dist/*')
}

# The source archive, unpacked under umask 077 where there is no git, at a path whose name holds
# characters that regular expressions treat specially, and released there by the unprivileged
# user nobody in another time zone and locale, builds the program that prints the recorded report
# and makes the same release files, itself among them.
packed_from_source_archive() {
    local home=$SCRATCH/build.c++ source file
    (umask 077 && mkdir "$home" && tar -xzf "build/dist/${RELEASE_FILES[3]}" -C "$home") &&
        chown -R nobody:nogroup "$home" && source=$(echo "$home"/antorder-*-Source) &&
        test ! -e "$source/.git" &&
        (cd "$source" && runuser -u nobody -- env HOME="$home" TZ=Asia/Tokyo LC_ALL=C \
            sh -c 'umask 077 && exec cmake -P cmake/dist.cmake') &&
        "$source/build/release/antorder" </dev/null | cmp - tests/expected_report.txt || return 1
    for file in SHA256SUMS "${RELEASE_FILES[@]}"; do
        cmp "build/dist/$file" "$source/build/dist/$file" || return 1
    done
}

# The release from one command, in build/dist, the same however and by whomever it is made.
release() {
    step cmake -P cmake/dist.cmake && step release_in_dist && step uncommitted_left_out &&
        step missing_tool_named && step reprotest_release && step packed_from_source_archive
}
