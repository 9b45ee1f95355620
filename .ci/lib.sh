# shellcheck shell=bash
# The scratch folder, the installs and the gate runner, which .ci/run and .ci/checks.sh source.
# What one file sets and another reads is named in upper case.

SCRATCH=$(mktemp -d)
chmod 755 "$SCRATCH" # for the user nobody
trap 'rm -rf "$SCRATCH"' EXIT
PASSED=0
GATE=0

# Installs the given Debian packages, without the many packages they only recommend; apt-get
# passes over those installed already.
install_packages() {
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
        --no-install-recommends "$@" >/dev/null
}

# The gate named $1: each line of the commands after it is a step, a shell command; one that
# needs root says "# as root". A gate given -later first waits for the installs that .ci/run
# started in the background as LATER, writing into $SCRATCH/later.log. With --list, prints the
# gate and its steps; with a gate number, runs that gate alone.
gate() {
    local name=$1 start=$SECONDS steps line
    GATE=$((GATE + 1))
    mapfile -t steps < <(printf '%s\n' "${@:2}" | grep -vx -- -later)
    if [[ $ONLY == --list ]]; then
        echo "$GATE. $name"
        printf '   %s\n' "${steps[@]}"
        return
    fi
    [[ -z $ONLY || $ONLY == "$GATE" ]] || return 0
    printf '\n== gate %s: %s\n' "$GATE" "$name"
    if [[ $2 == -later && -n $LATER ]]; then
        wait "$LATER" || { cat "$SCRATCH/later.log" >&2; gate_failed "$name: its installs failed"; }
        LATER=
    fi
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
