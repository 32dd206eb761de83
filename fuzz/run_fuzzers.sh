#!/usr/bin/env bash
# Runs every fuzz target for a while on a copy of its seed corpus and fails on
# any finding (crash, sanitizer report, leak, input slower than the timeout).
# usage: fuzz/run_fuzzers.sh BUILD_DIR SECONDS_PER_TARGET [TARGET...]
set -uo pipefail
build=${1:?build directory}
seconds=${2:?seconds per target}
shift 2
targets=("$@")
((${#targets[@]} > 0)) || targets=(move_string position book search session)
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

failed=0
for name in "${targets[@]}"; do
    mkdir -p "$work/$name/corpus" "$work/$name/findings"
    cp "$here/corpus/$name"/* "$work/$name/corpus/"
    log="$work/$name/log"
    "$build/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$work/$name/findings/" \
        "$work/$name/corpus" >"$log" 2>&1
    status=$?
    stats=$(grep -E '^#[0-9]+[[:space:]]+(DONE|pulse|NEW|REDUCE)' "$log" | tail -n 1)
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
    coverage=$(sed -n 's/.*cov: \([0-9]*\) ft: \([0-9]*\).*/cov \1 ft \2/p' <<<"$stats")
    if ((status != 0)) || compgen -G "$work/$name/findings/*" >/dev/null; then
        echo "fuzz_$name: FAILED (exit $status)"
        grep -E -A 30 'ERROR|runtime error|\*\*\*' "$log" | head -n 60
        for finding in "$work/$name/findings"/*; do
            [[ -e $finding ]] && echo "  finding: $(basename "$finding") $(base64 -w0 <"$finding" | head -c 400)"
        done
        failed=$((failed + 1))
    else
        echo "fuzz_$name: ${runs:-?} runs, ${speed:-?} exec/s, ${coverage:-?}"
    fi
done
echo "fuzz: $((${#targets[@]} - failed)) passed, $failed failed"
((failed == 0))
