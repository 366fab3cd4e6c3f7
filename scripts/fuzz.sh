#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz natively with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs each for a bounded time from its seed corpus
# (tests/fuzz/corpus/<target>/, left unchanged; new inputs go to the build folder). Fails on
# any crash, sanitizer report, leak, timeout or broken property; the input that caused it is
# kept in <build>/fuzz/artifacts/ (replay: <build>/fuzz/<target> <file>).
#
#   bash scripts/fuzz.sh [target ...]        all targets by default
#   ORVO_FUZZ_SECONDS=60                     run time per target
#   ORVO_FUZZ_SEED=1                         libFuzzer's random seed; 0 picks a new one each run.
#                                            A fixed seed makes a run repeatable: a slower machine
#                                            walks a shorter stretch of the same input sequence.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/lib/deps.sh"
orvo_install_packages cmake ninja-build clang libclang-rt-14-dev

build=${ORVO_BUILD_ROOT:-$root/build}/fuzz
seconds=${ORVO_FUZZ_SECONDS:-60}
seed=${ORVO_FUZZ_SEED:-1}
cmake -S "$root" -B "$build" -G Ninja -DORVO_FUZZ=ON \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j "$(nproc)"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for source in "$root"/tests/fuzz/*Fuzz.cpp; do targets+=("$(basename "$source" .cpp)"); done
fi

failed=()
summary=()
for target in "${targets[@]}"; do
    seeds=$root/tests/fuzz/corpus/$target
    work=$build/corpus/$target
    log=$build/logs/$target.log
    mkdir -p "$work" "$build/artifacts" "$build/logs" "$seeds"
    # Inputs found by an earlier run would change where a seeded run goes: start afresh.
    rm -rf "$work"
    mkdir -p "$work"
    echo "--- $target: $seconds s, seed $seed"
    # -timeout: one input taking longer than 10 s counts as a hang. Leaks are reported too.
    if ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        "$build/$target" -max_total_time="$seconds" -seed="$seed" -timeout=10 -max_len=4096 -print_final_stats=1 \
        -artifact_prefix="$build/artifacts/$target-" "$work" "$seeds" >"$log" 2>&1; then
        execs=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
        cov=$(sed -n -E 's/^#[0-9]+[[:space:]]+DONE .*cov: ([0-9]+) ft: ([0-9]+) corp: ([0-9]+).*/\1 edges, \2 features, \3 inputs/p' "$log")
        summary+=("$target: ${execs:-?} execs/s, ${cov:-?}")
    else
        failed+=("$target")
        summary+=("$target: FAILED (log $log)")
        grep -E 'ERROR|runtime error|property broken|Test unit written' "$log" | head -n 20 || true
    fi
done

echo
printf '%s\n' "${summary[@]}"
if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzzing found faults in: ${failed[*]}" >&2
    exit 1
fi
