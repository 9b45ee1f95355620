#!/usr/bin/env bash
# The steps of CI's gates that are more than a command, each a function run by its name:
#   bash .ci/checks.sh release_in_dist
# They check what the release makes, and what the README's commands do; those that run something
# as the user nobody need root.
set -euo pipefail
cd "$(dirname "$0")/.."
source .ci/lib.sh

# build/dist holds each release file with its checksum file, and SHA256SUMS over them all, and
# nothing else; every checksum holds.
release_in_dist() {
    diff <(ls -A build/dist) <(cut -d' ' -f3 build/dist/SHA256SUMS |
        sed 'p; s/$/.sha256/; $a SHA256SUMS' | LC_ALL=C sort) >&2 || {
        echo "build/dist must hold the files SHA256SUMS lists, each with its .sha256, and no other" >&2
        return 1
    }
    (cd build/dist && sha256sum --check --strict --quiet SHA256SUMS ./*.sha256)
}

# With a change to README.md that is not committed, the release command makes the same files as
# before and ends by naming the commit it released, without the change.
uncommitted_left_out() {
    local log=$SCRATCH/uncommitted.log status=0 last
    cp build/dist/SHA256SUMS "$SCRATCH/SHA256SUMS" && echo "A change." >>README.md
    cmake -P cmake/dist.cmake >"$log" 2>&1 || status=1
    git checkout -q README.md
    last="-- The release is commit $(git rev-parse HEAD), *, without the changes listed above."
    # shellcheck disable=SC2053 # the last line is matched against the pattern $last
    if ((status)) || ! grep -qE '^ M README\.md$' "$log" || [[ $(tail -n 1 "$log") != $last ]] ||
        ! cmp "$SCRATCH/SHA256SUMS" build/dist/SHA256SUMS; then
        cat "$log"
        echo "a release with README.md changed did not release the commit alone, saying so"
        return 1
    fi >&2
}

# Runs the shell script $2, with no input, in the folder $1, as the user nobody, whose home cannot
# be written, with no network but the loopback interface, in the environment given after them;
# npm takes every package from a copy of root's cache, which CI's own npm ci filled.
as_nobody() {
    mkdir -p "$SCRATCH/npm" && cp -r "$(npm config get cache)/_cacache" "$SCRATCH/npm" &&
        chown -R nobody:nogroup "$1" "$SCRATCH/npm"
    (cd "$1" && unshare -n sh -c 'ip link set lo up && exec "$@"' unshare runuser -u nobody -- \
        env HOME=/nonexistent npm_config_cache="$SCRATCH/npm" npm_config_offline=true "${@:3}" \
        sh -ex "$2" </dev/null)
}

# The release, made from the source archive unpacked under umask 077 where there is no git, at a
# path whose name holds characters that regular expressions treat specially, by the user nobody on
# one processor in another time zone and locale, builds the program that prints the recorded
# report and is the release of build/dist, itself among the files. It is then reprotest's control:
# reprotest makes the release again in a fresh clone with files git does not track, varying all it
# can here (the path, the umask, the time, the locale, the time zone and the processors among
# them), and compares every file it makes in build/dist.
release_reproduced() {
    local home=$SCRATCH/build.c++ control=$SCRATCH/control/source-root/build clone=$SCRATCH/clone
    local source
    (umask 077 && mkdir "$home" && tar -xzf build/dist/antorder-*-Source.tar.gz -C "$home") &&
        chown nobody:nogroup "$home" && source=$(echo "$home"/antorder-*-Source) &&
        test ! -e "$source/.git" &&
        echo 'umask 077 && taskset -c 0 cmake -P cmake/dist.cmake' >"$SCRATCH/release.sh" &&
        as_nobody "$source" "$SCRATCH/release.sh" TZ=Asia/Tokyo LC_ALL=C &&
        "$source/build/release/antorder" </dev/null | cmp - tests/expected_report.txt &&
        diff -r build/dist "$source/build/dist" &&
        mkdir -p "$control" && cp -r "$source/build/dist" "$control" &&
        git clone -q . "$clone" && mkdir "$clone/.vscode" &&
        touch "$clone/notes.txt" "$clone/.vscode/settings.json" "$clone/README.md~" &&
        (cd "$clone" && reprotest --vary=+all,-user_group,-kernel --control-build "$SCRATCH/control" \
            'cmake -P cmake/dist.cmake' 'build/dist/*')
}

# The commands README.md gives, but the installs, which CI has made, and the report and synopsis
# it shows, run in order by the user nobody with no network: on a clean clone, those that build,
# test and check, and those of the installed programs, the release build's on the PATH; in a copy
# of build/dist, those that check and unpack a download, with the release's version for <version>.
readme_commands() {
    local deb version
    git clone -q . "$SCRATCH/clone" && cp -r build/dist "$SCRATCH/dist"
    deb=$(cd build/dist && echo antorder_*_amd64.deb) && version=${deb#antorder_}
    sed '/^<!-- begin about -->$/,/^<!-- end about -->$/d; /^    [^ ]/!d; s/^    //' README.md |
        grep -v -e '^apt-get ' -e ' \[--' >"$SCRATCH/commands"
    grep -v '<version>' "$SCRATCH/commands" >"$SCRATCH/build.sh"
    sed -n "s/<version>/${version%_amd64.deb}/gp" "$SCRATCH/commands" >"$SCRATCH/download.sh"
    as_nobody "$SCRATCH/clone" "$SCRATCH/build.sh" PATH="$SCRATCH/clone/build/release:$PATH" &&
        as_nobody "$SCRATCH/dist" "$SCRATCH/download.sh"
}

"$@"
