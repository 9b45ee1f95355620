# shellcheck shell=bash
# What every group of gates shares: the scratch folder, the package installs, the gate runner and
# the helpers that build the program and compare its report. Sourced by .ci/run.

# What one file of gates sets and others read is named in upper case.
WERROR=-DCMAKE_COMPILE_WARNING_AS_ERROR=ON
EXPECTED=tests/expected_report.txt
SCRATCH=$(mktemp -d)
# The unprivileged user that packs once more needs to reach its clone in the scratch folder.
chmod 755 "$SCRATCH"
# wine keeps its Windows installation in the scratch folder, and keeps quiet; its server and
# services end with the run.
export WINEPREFIX=$SCRATCH/wine WINEDEBUG=-all
trap '{ wineserver --kill || :; } 2>/dev/null; rm -rf "$SCRATCH"' EXIT
passed=0

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

# Installs the given packages in the background, beside the first gates, which do not use them.
install_in_background() {
    install_missing "$@" >"$SCRATCH/background-install.log" 2>&1 &
    background_install=$!
}

# Installs the page's development tools, pinned in package-lock.json, in the background.
npm_install_in_background() {
    npm ci --no-audit --no-fund >"$SCRATCH/npm-install.log" 2>&1 &
    npm_install=$!
}

# Waits for the page's development tools, once, and says whether they were installed.
npm_installed() {
    if [[ -z ${npm_status-} ]]; then
        npm_status=0
        wait "$npm_install" || npm_status=$?
        cat "$SCRATCH/npm-install.log"
    fi
    return "$npm_status"
}

# Waits for the background installs and shows what they printed.
background_installed() {
    local status=0
    wait "$background_install" || status=1
    cat "$SCRATCH/background-install.log"
    return "$status"
}

# Runs one gate: its name, then its steps, each a command of its own; stops the run when a step
# fails.
gate() {
    local name=$1 start=$SECONDS step
    shift
    echo
    echo "== gate: $name"
    for step in "$@"; do
        if ! "$step"; then
            echo "CI gate failed: $name" >&2
            exit 1
        fi
    done
    passed=$((passed + 1))
    echo "-- passed in $((SECONDS - start)) s"
}

# Runs a command quietly; shows what it printed only when it fails.
quietly() {
    "$@" >"$SCRATCH/quiet.log" 2>&1 || { cat "$SCRATCH/quiet.log" >&2; return 1; }
}

# Configures the release preset's program alone into build/$1, with more CMake arguments.
build_release() {
    local dir=build/$1
    shift
    quietly cmake --preset release -B "$dir" "$WERROR" "$@" && quietly cmake --build "$dir"
}

# Runs a program with end of input and compares what it prints with the recorded report.
prints_report() {
    if ! "$@" </dev/null | cmp -s - "$EXPECTED"; then
        echo "$* prints another report" >&2
        return 1
    fi
    echo "$*: the recorded report"
}

# Says whether the text file $1 has none of the words after it, case aside.
lacks_words() {
    local file=$1 word
    shift
    for word in "$@"; do
        if grep -qiF -- "$word" "$file"; then
            echo "$file speaks of $word" >&2
            return 1
        fi
    done
}
