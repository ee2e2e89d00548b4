#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build on its corpus, one after the other.
#   scripts/fuzz.sh <build-dir> <seconds per target> [libFuzzer options...]
# The corpus grows in <build-dir>/fuzz/corpus/<target> (the seeds the build
# wrote are read as well); an input that breaks a target is kept in
# <build-dir>/fuzz/artifacts/<target>/ and the script fails at the end.
set -uo pipefail

build=${1:?build folder}
seconds=${2:?seconds per target}
shift 2
targets=(fuzz_line_codec fuzz_settings fuzz_settings2 fuzz_settingsc fuzz_settings9 fuzz_mix
         fuzz_wav)

failed=()
for t in "${targets[@]}"; do
    corpus="$build/fuzz/corpus/$t"
    artifacts="$build/fuzz/artifacts/$t"
    mkdir -p "$corpus" "$artifacts"
    echo "== $t: $seconds s"
    # -timeout: one input taking 10 s is a hang; -rss_limit_mb: so is 2 GB.
    if ! "$build/fuzz/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$artifacts/" "$@" \
        "$corpus" "$build/fuzz/seeds/$t" >"$build/fuzz/$t.log" 2>&1; then
        failed+=("$t")
        tail -n 40 "$build/fuzz/$t.log"
    fi
    grep -E '^#[0-9]+ *DONE|^stat::number_of_executed_units|^stat::average_exec_per_sec' \
        "$build/fuzz/$t.log" || true
done
if [ ${#failed[@]} -ne 0 ]; then
    echo "fuzz: failed: ${failed[*]} (inputs in $build/fuzz/artifacts/)" >&2
    exit 1
fi
