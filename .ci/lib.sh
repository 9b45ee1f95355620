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

# The gate named $1: after what the background jobs -NAME install, where they are given, each line
# of the commands after them is a step. A step is a shell command, which repeats it anywhere, or a
# function of .ci/checks.sh, repeated by running the gate alone. With --list, prints the gate and
# how to repeat each step; with a gate number given to .ci/run, runs that gate alone. Prints the
# gate's name and time; when it fails, stops the run, naming it.
gate() {
    local name=$1 start=$SECONDS jobs steps line job
    GATE=$((GATE + 1))
    mapfile -t jobs < <(printf '%s\n' "${@:2}" | sed -n 's/^-//p')
    mapfile -t steps < <(printf '%s\n' "${@:2}" | grep -v '^-')
    if [[ $ONLY == --list ]]; then
        echo "$GATE. $name"
        for line in "${steps[@]}"; do
            ! is_check "$line" || line="bash .ci/run $GATE (.ci/checks.sh: $line)"
            echo "   $line"
        done
        return
    fi
    [[ -z $ONLY || $ONLY == "$GATE" ]] || return 0
    printf '\n== gate %s: %s\n' "$GATE" "$name"
    for job in "${jobs[@]}"; do
        ready "$job" || gate_failed "$name"
    done
    for line in "${steps[@]}"; do
        step "$line" || gate_failed "$name"
    done
    PASSED=$((PASSED + 1))
    echo "-- passed in $((SECONDS - start)) s"
}

# Ends the run: the gate named $1 failed.
gate_failed() {
    echo "CI gate $GATE failed: $1 (repeat it alone with: bash .ci/run $GATE)" >&2
    exit 1
}

# Says whether the step $1 is a function of .ci/checks.sh rather than a shell command.
is_check() {
    [[ $1 =~ ^[a-z_]+$ ]] && declare -F "$1" >/dev/null
}

# Runs one step of a gate, showing its output only when it fails, with the command that repeats
# it; prints ctest's summary of the tests it ran, with how many were skipped.
step() {
    local log=$SCRATCH/step.log run=(bash -c)
    echo "- $1"
    ! is_check "$1" || run=()
    if ! "${run[@]}" "$1" >"$log" 2>&1; then
        tail -n 100 "$log" >&2
        echo "failed; repeat with: $1" >&2
        return 1
    fi
    sed -n "s/^[0-9]*% tests passed.*/  ctest: &, $(grep -c '(Skipped)$' "$log") skipped/p" "$log"
}
