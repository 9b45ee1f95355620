# shellcheck shell=bash
# The steps of the release's gate that are more than a command: they check what the release makes,
# and the last needs root, to release as another user. Sourced by .ci/run.

# build/dist holds each release file with its checksum file, and SHA256SUMS over them all, and
# nothing else; every checksum holds.
release_in_dist() {
    diff <(ls -A build/dist) <(cut -d' ' -f3 build/dist/SHA256SUMS |
        sed 'p; s/$/.sha256/; $a SHA256SUMS' | LC_ALL=C sort) >&2 &&
        (cd build/dist && sha256sum --check --strict SHA256SUMS ./*.sha256)
}

# With a change to README.md that is not committed, the release command makes the same files as
# before and ends by naming the commit it released, without the change.
uncommitted_left_out() {
    local log=$SCRATCH/uncommitted.log status=0 last
    cp build/dist/SHA256SUMS "$SCRATCH/SHA256SUMS" && echo "A change." >>README.md || return 1
    cmake -P cmake/dist.cmake >"$log" 2>&1 || status=1
    git checkout -q README.md
    last="-- The release is commit $(git rev-parse HEAD), *, without the changes listed above."
    # shellcheck disable=SC2053 # the last line is matched against the pattern $last
    if ((status)) || ! grep -qE '^ M README\.md$' "$log" || [[ $(tail -n 1 "$log") != $last ]] ||
        ! cmp "$SCRATCH/SHA256SUMS" build/dist/SHA256SUMS; then
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
    local home=$SCRATCH/build.c++ source
    (umask 077 && mkdir "$home" && tar -xzf build/dist/antorder-*-Source.tar.gz -C "$home") &&
        chown -R nobody:nogroup "$home" && source=$(echo "$home"/antorder-*-Source) &&
        test ! -e "$source/.git" &&
        (cd "$source" && runuser -u nobody -- env HOME="$home" TZ=Asia/Tokyo LC_ALL=C \
            sh -c 'umask 077 && exec cmake -P cmake/dist.cmake') &&
        "$source/build/release/antorder" </dev/null | cmp - tests/expected_report.txt &&
        diff -r build/dist "$source/build/dist"
}
