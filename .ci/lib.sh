# shellcheck shell=bash
# What the gates share: the scratch folder, the package installs and the gate runner. Sourced by
# .ci/run. What one file sets and another reads is named in upper case.

SCRATCH=$(mktemp -d)
# The unprivileged user that releases once more needs to reach its copy in the scratch folder.
chmod 755 "$SCRATCH"
# wine keeps its Windows installation in the scratch folder, and keeps quiet; its server ends
# with the run.
export WINEPREFIX=$SCRATCH/wine WINEDEBUG=-all
trap '{ wineserver --kill || :; } 2>/dev/null; rm -rf "$SCRATCH"' EXIT
# A check whose tools are missing fails here rather than be skipped, and every build treats
# compiler warnings, and the programs' linker warnings, as errors.
export ANTORDER_NO_SKIP=1 ANTORDER_WARNINGS_AS_ERRORS=ON
# The release's version, date and file names, from the one record of the release.
eval "$(cmake -P cmake/release.cmake)"
PASSED=0
GATE=0

# Installs those of the given Debian packages that are missing, without the many packages they
# only recommend, and says how long that took.
install_missing() {
    local missing=() package start=$SECONDS
    for package in "$@"; do
        [[ $(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null) == installed ]] ||
            missing+=("$package")
    done
    ((${#missing[@]})) || return 0
    echo "installing: ${missing[*]}"
    apt-get update -qq &&
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
            "${missing[@]}" >/dev/null &&
        echo "installed in $((SECONDS - start)) s"
}

# Starts a command in the background, beside the first gates, which do not need what it
# installs; `ready NAME` waits for it, once, shows what it printed and says whether it succeeded.
in_background() {
    local name=$1
    shift
    "$@" >"$SCRATCH/$name.log" 2>&1 &
    eval "BACKGROUND_$name=$!"
}
ready() {
    local pid="BACKGROUND_$1" status="STATUS_$1"
    if [[ -z ${!status-} ]]; then
        eval "$status=0"
        wait "${!pid}" || eval "$status=1"
        cat "$SCRATCH/$1.log"
    fi
    return "${!status}"
}

# Runs the gate named $1, the command after it, or with a gate number given to .ci/run, that gate
# alone. Prints the gate's name and time; when it fails, stops the run, naming it.
gate() {
    local name=$1 start=$SECONDS
    shift
    GATE=$((GATE + 1))
    [[ -z $ONLY || $ONLY == "$GATE" ]] || return 0
    echo
    echo "== gate $GATE: $name"
    if ! "$@"; then
        echo "CI gate $GATE failed: $name (repeat it alone with: bash .ci/run $GATE)" >&2
        exit 1
    fi
    PASSED=$((PASSED + 1))
    echo "-- passed in $((SECONDS - start)) s"
}

# Runs one step of a gate, a command, showing its output only when it fails, with the command
# that repeats it.
step() {
    echo "- $*"
    if ! "$@" >"$SCRATCH/step.log" 2>&1; then
        tail -n 100 "$SCRATCH/step.log" >&2
        echo "failed; repeat with: $*" >&2
        return 1
    fi
}

# Runs the checks of the test preset $2 (the preset $1 when not given), with more ctest arguments
# after it, in the build of the configure preset $1, which it configures and builds first.
checks() {
    step cmake --preset "$1" && step cmake --build --preset "$1" &&
        step ctest --preset "${2:-$1}" "${@:3}"
}
