#!/usr/bin/env bash
# Deeper checks than the test run. Every test runs once under AddressSanitizer (leaks
# included) and UndefinedBehaviorSanitizer; then each fuzz target replays its saved
# regressions and runs from its seeds for a while. Any sanitizer report, crash or broken
# property fails the run. Heavy: builds go at -j2 and below other work.
#   LUMETRA_FUZZ_SECONDS  time per fuzz target (default 60)
#   LUMETRA_DEEP_SKIP     "tests" or "fuzz" to leave that half out while working on the other
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
bash scripts/deps.sh clang libclang-rt-dev
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$root}"
seconds="${LUMETRA_FUZZ_SECONDS:-60}"
skip="${LUMETRA_DEEP_SKIP:-}"
failed=0

# Reports go to files, so that a report from a child process or one a test swallows still counts.
sanitizer_env() {
    local logs="$1"
    rm -rf "$logs" && mkdir -p "$logs"
    export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:log_path=$logs/asan"
    export LSAN_OPTIONS="suppressions=$root/scripts/lsan-suppressions.txt:print_suppressions=0"
    export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:log_path=$logs/ubsan"
}

reports_in() {
    local logs="$1" found=0
    for report in "$logs"/*; do
        [ -e "$report" ] || continue
        echo "---- sanitizer report $report"
        cat "$report"
        found=1
    done
    return "$found"
}

if [ "$skip" != "tests" ]; then
    # The whole project, GCC as in the ordinary build, optimised lightly so stacks stay readable.
    sanitizer_env "$root/build-deep/sanitizer-logs"
    cmake -S . -B build-deep -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" \
        -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1" -DLUMETRA_SANITIZE=address,undefined
    nice -n 10 cmake --build build-deep -j2
    # Reports made while the build listed the tests are not the tests' own.
    sanitizer_env "$root/build-deep/sanitizer-logs"
    QT_QPA_PLATFORM=offscreen nice -n 10 ctest --test-dir build-deep --output-on-failure -j2 || failed=1
    reports_in "$root/build-deep/sanitizer-logs" || failed=1
    # GCC's undefined-behaviour checks write to standard error only; ctest keeps every test's output.
    if grep -n -E 'runtime error:|ERROR: (Address|Leak)Sanitizer' build-deep/Testing/Temporary/LastTest.log; then
        failed=1
    fi
fi

if [ "$skip" != "fuzz" ]; then
    # The plain core with the fuzzing engine: clang, coverage feedback, the same sanitizers.
    sanitizer_env "$root/build-fuzz/sanitizer-logs"
    cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
        -DCMAKE_CXX_COMPILER=clang++ -DLUMETRA_WITH_QT=OFF -DLUMETRA_BUILD_TESTS=OFF -DLUMETRA_BUILD_BENCH=OFF \
        -DLUMETRA_FUZZ=ON -DLUMETRA_SANITIZE=address,undefined
    nice -n 10 cmake --build build-fuzz -j2
    # The engine prints its own reports; a scratch folder of the build keeps /tmp clean.
    unset ASAN_OPTIONS UBSAN_OPTIONS
    export ASAN_OPTIONS="detect_leaks=1"
    export TMPDIR="$root/build-fuzz/tmp"
    mkdir -p "$TMPDIR"
    for program in build-fuzz/fuzz/fuzz_*; do
        name="${program##*/fuzz_}"
        saved=()
        for input in "fuzz/regressions/$name"/*; do
            [ -f "$input" ] && saved+=("$input")
        done
        if [ ${#saved[@]} -gt 0 ]; then
            echo "== $name: replaying ${#saved[@]} saved regression input(s)"
            if ! "$program" "${saved[@]}"; then
                failed=1
                continue
            fi
        fi
        echo "== $name: fuzzing for ${seconds} s"
        mkdir -p "build-fuzz/corpus/$name" "build-fuzz/artifacts/$name"
        log="build-fuzz/artifacts/$name/last-run.log"
        status=0
        nice -n 10 "$program" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
            -artifact_prefix="build-fuzz/artifacts/$name/" "build-fuzz/corpus/$name" "fuzz/corpus/$name" \
            >"$log" 2>&1 || status=$?
        # The progress lines are many; the rest says what happened.
        grep -v -E '^#[0-9]+[[:space:]]+(NEW|REDUCE|pulse)' "$log" | grep -v -E '^"' || true
        if [ "$status" -ne 0 ]; then
            echo "== $name failed: the input is in build-fuzz/artifacts/$name/; shrink it with"
            echo "   $program -minimize_crash=1 -max_total_time=30 <input>"
            echo "   and keep it in fuzz/regressions/$name/ once the fault is mended"
            failed=1
        fi
    done
fi

if [ "$failed" -ne 0 ]; then
    echo "check-deep: FAILED"
    exit 1
fi
echo "check-deep: no sanitizer report, no fuzzing failure"
