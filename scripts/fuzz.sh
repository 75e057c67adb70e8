#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer) and runs
# each for a bounded time, starting from the committed seeds in fuzz/corpus/<target>/.
# Usage: scripts/fuzz.sh [seconds per target]   (default 12: about a minute and a half for all eight)
# Prints a line per target and exits nonzero when any target crashed, hung or ran out of memory;
# the input that did it is kept in build/fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-12}
targets=(fuzz_rtfreader fuzz_nkf fuzz_tagsetfile fuzz_textforms fuzz_regexp fuzz_utf8
    fuzz_charsetdeclaration fuzz_sitepage)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

work=build/fuzz/work
artifacts=build/fuzz/artifacts
mkdir -p "$artifacts"
failed=0
passed=0
for t in "${targets[@]}"; do
    # New inputs go to the work corpus; the committed seeds stay as they are.
    mkdir -p "$work/$t"
    log=build/fuzz/$t.log
    max_len=4096
    [ "$t" = fuzz_regexp ] && max_len=512 # keeps every backtracking pattern's run short
    if build/fuzz/"$t" "$work/$t" "fuzz/corpus/$t" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=2048 -max_len="$max_len" -artifact_prefix="$artifacts/$t-" \
        -print_final_stats=1 >"$log" 2>&1; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
        echo "fuzz: $t: passed, ${runs:-?} inputs in ${seconds} s"
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "fuzz: $t: FAILED, see $log; the input is in $artifacts/"
        grep -E '^(==[0-9]+==ERROR|SUMMARY|.*check failed)' "$log" | head -5 | sed 's/^/    /'
    fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
