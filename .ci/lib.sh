# shellcheck shell=bash
# What the gates share: the scratch folder, the package installs and the gate runner. Sourced by
# .ci/run. What one file sets and another reads is named in upper case.

SCRATCH=$(mktemp -d)
# The unprivileged user that releases once more needs to reach its copy in the scratch folder.
chmod 755 "$SCRATCH"
trap 'rm -rf "$SCRATCH"' EXIT
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

# The gate named $1: after what the background job -NAME installs, where that is given, each of
# the commands after it, a line of a command a step. A step is a shell command, which repeats it
# anywhere, or the name of a function of .ci/checks.sh, which needs root and is repeated by
# running the gate alone. With --list, prints the gate and how to repeat each step; with a gate
# number given to .ci/run, runs that gate alone. Prints the gate's name and time; when it fails,
# stops the run, naming it.
gate() {
    local name=$1 start=$SECONDS job="" command line
    shift
    GATE=$((GATE + 1))
    if [[ $1 == -* ]]; then
        job=${1#-}
        shift
    fi
    if [[ $ONLY == --list ]]; then
        echo "$GATE. $name"
        printf '%s\n' "$@" | while read -r line; do
            if is_check "$line"; then
                echo "   bash .ci/run $GATE, as root (.ci/checks.sh: $line)"
            else
                echo "   $line"
            fi
        done
        return
    fi
    [[ -z $ONLY || $ONLY == "$GATE" ]] || return 0
    echo
    echo "== gate $GATE: $name"
    if [[ -n $job ]] && ! ready "$job"; then
        echo "CI gate $GATE failed: $name: its packages could not be installed" >&2
        exit 1
    fi
    for command; do
        while read -r line; do
            if ! step "$line"; then
                echo "CI gate $GATE failed: $name (repeat it alone with: bash .ci/run $GATE)" >&2
                exit 1
            fi
        done <<<"$command"
    done
    PASSED=$((PASSED + 1))
    echo "-- passed in $((SECONDS - start)) s"
}

# Says whether the step $1 is a function of .ci/checks.sh rather than a shell command.
is_check() {
    [[ $1 =~ ^[a-z_]+$ ]] && declare -F "$1" >/dev/null
}

# Runs one step of a gate, a shell command or a function, showing its output only when it fails,
# with the command that repeats it; prints ctest's summary of the tests it ran, with how many
# were skipped.
step() {
    local log=$SCRATCH/step.log
    echo "- $1"
    if is_check "$1"; then
        "$1" >"$log" 2>&1
    else
        bash -c "$1" >"$log" 2>&1
    fi || {
        tail -n 100 "$log" >&2
        echo "failed; repeat with: $1" >&2
        return 1
    }
    grep -E '^[0-9]+% tests passed' "$log" | while read -r summary; do
        echo "  ctest: $summary, $(grep -c '(Skipped)$' "$log") skipped"
    done
}
