#!/usr/bin/env bash
# Measures antorder side by side with its baselines in one run and prints ratios, each with its
# spread over repetitions and always antorder's measure over the baseline's: the process against
# the minimal printf program, the statically linked program of the Linux archive against the
# dynamically linked one, and the link-time optimised build against the same build without it.
# Needs valgrind, Google Benchmark and hyperfine (apt-get install valgrind libbenchmark-dev
# hyperfine). It prints its results as a section of bench/results.md, with the date, the machine
# and the command:
#   bench/compare.sh [rounds, default 10] >>bench/results.md
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-10}

# The perf build, and beside it the same build without link-time optimisation.
lto=build/perf
nolto=build/perf-nolto
cmake --preset perf >/dev/null && cmake --build $lto >/dev/null
cmake --preset perf -B $nolto -DCMAKE_INTERPROCEDURAL_OPTIMIZATION=OFF >/dev/null &&
    cmake --build $nolto >/dev/null
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Instructions the whole process executes, as callgrind counts them.
instructions() {
    valgrind --tool=callgrind --callgrind-out-file=/dev/null "$1" </dev/null 2>&1 >/dev/null |
        sed -n 's/.*refs: *//p' | tr -d ,
}

# Peak resident memory of the process, in KiB.
peak_memory() {
    /usr/bin/time -f %M "$1" </dev/null 2>&1 >/dev/null
}

# Mean time of one benchmark in ns, on the first processor so that both builds share one core.
bench_time() {
    taskset -c 0 "$1/colony_bench" --benchmark_filter="^$2\$" --benchmark_format=csv 2>/dev/null |
        awk -F, '/^"/ { print $3 }'
}

# Runs the programs $1 and $2 1000 times each with hyperfine and prints the ratio of their mean
# wall times, $1's over $2's, with its standard deviation propagated from theirs.
wall_time_ratio() {
    hyperfine -N --warmup 50 --runs 1000 --style none --export-csv "$scratch/times.csv" "$1" "$2" \
        </dev/null >/dev/null 2>&1
    awk -F, 'NR == 2 { a = $2; sa = $3 } NR == 3 { b = $2; sb = $3 }
        END { r = a / b; printf "%.2f ± %.2f\n", r, r * sqrt((sa / a) ^ 2 + (sb / b) ^ 2) }' \
        "$scratch/times.csv"
}

# Appends to file $1 the ratio of two measurements, taken one right after the other.
ratio() {
    awk -v a="$2" -v b="$3" 'BEGIN { printf "%.4f\n", a / b }' >>"$scratch/$1"
}

for ((round = 0; round < rounds; ++round)); do
    antorder_instructions=$(instructions $lto/antorder)
    ratio process.instructions "$antorder_instructions" "$(instructions $lto/minimal_report)"
    ratio process.memory "$(peak_memory $lto/antorder)" "$(peak_memory $lto/minimal_report)"
    ratio static.instructions "$(instructions $lto/static/antorder)" "$antorder_instructions"
    ratio lto.instructions "$antorder_instructions" "$(instructions $nolto/antorder)"
    for benchmark in colonyIteration wholeSearch; do
        ratio "lto.$benchmark" "$(bench_time $lto $benchmark)" "$(bench_time $nolto $benchmark)"
    done
done

# Prints a row of the results table: the label $2 and the median and range of the ratios in $1.
row() {
    sort -n "$scratch/$1" | awk -v label="$2" '{ r[NR] = $1 }
        END { printf "| %s | %.3f (%.3f to %.3f) |\n", label,
                     (r[int((NR + 1) / 2)] + r[int(NR / 2) + 1]) / 2, r[1], r[NR] }'
}

cat <<EOF

## $(date -u +%F): bench/compare.sh $rounds

On $(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -n 1), $(nproc) cores, \
$(sed -n 's/^PRETTY_NAME="\(.*\)"$/\1/p' /etc/os-release), $(c++ --version | head -n 1). Every ratio is \
antorder's measure over the baseline's: the median over $rounds rounds, with its range, or for wall \
times the ratio of the means over 1000 runs each, with its standard deviation. antorder, link-time \
optimised, runs $antorder_instructions instructions for the whole process (callgrind).

| antorder against the minimal printf program | ratio |
|---|---|
$(row process.instructions "instructions for the whole process (callgrind)")
$(row process.memory "peak resident memory")
| wall time (hyperfine) | $(wall_time_ratio $lto/antorder $lto/minimal_report) |

| the Linux archive's static program against the dynamic one | ratio |
|---|---|
$(row static.instructions "instructions for the whole process (callgrind)")
| wall time (hyperfine) | $(wall_time_ratio $lto/static/antorder $lto/antorder) |

| link-time optimised against not | ratio |
|---|---|
$(row lto.instructions "instructions for the whole process (callgrind)")
$(row lto.colonyIteration "one colony iteration (Google Benchmark, one core)")
$(row lto.wholeSearch "set-up and 100 iterations (Google Benchmark, one core)")
EOF
