# shellcheck shell=bash
# The scratch folder, the installs and the gate runner, which .ci/run and .ci/checks.sh source.
# What one file sets and another reads is named in upper case.

SCRATCH=$(mktemp -d)
chmod 755 "$SCRATCH" # for the user nobody
trap 'rm -rf "$SCRATCH"' EXIT
PASSED=0
GATE=0
declare -A BACKGROUND STATUS

# Installs the given Debian packages, without the many packages they only recommend; apt-get
# passes over those installed already.
install_packages() {
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
        --no-install-recommends "$@" >/dev/null
}

# Starts the command after $1 in the background, beside the first gates; `ready $1` waits for it,
# once, shows what it printed and says whether it succeeded.
in_background() {
    "${@:2}" >"$SCRATCH/$1.log" 2>&1 &
    BACKGROUND[$1]=$!
}
ready() {
    if [[ -z ${STATUS[$1]-} ]]; then
        STATUS[$1]=0
        wait "${BACKGROUND[$1]}" || STATUS[$1]=1
        cat "$SCRATCH/$1.log"
    fi
    return "${STATUS[$1]}"
}

# The gate named $1: after the background jobs -NAME, where given, each line of the commands after
# them is a step, a shell command; one that needs root says "# as root". With --list, prints the
# gate and its steps; with a gate number, runs that gate alone.
gate() {
    local name=$1 start=$SECONDS jobs steps line job
    GATE=$((GATE + 1))
    mapfile -t jobs < <(printf '%s\n' "${@:2}" | sed -n 's/^-//p')
    mapfile -t steps < <(printf '%s\n' "${@:2}" | grep -v '^-')
    if [[ $ONLY == --list ]]; then
        echo "$GATE. $name"
        printf '   %s\n' "${steps[@]}"
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

# Runs one step of a gate, showing its output, with ctest's of each failing test, only when it
# fails, with the command that repeats it; prints ctest's summaries and the tests it skipped.
step() {
    local log=$SCRATCH/step.log
    echo "- $1"
    if ! bash -c "$1" >"$log" 2>&1; then
        cat "$log" >&2
        echo "failed; repeat with: $1" >&2
        return 1
    fi
    sed -n -e 's/^[0-9]*% tests passed.*/  ctest: &/p' \
        -e 's/^.*Test *#[0-9]*: \([^ ]*\) .*Skipped .*/  skipped: \1/p' "$log"
}
