#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, "fuzz" preset) and runs each for a bounded time on its
# corpus in tests/fuzz/corpus/<target>/. New inputs the fuzzer finds go to a scratch folder
# under build/fuzz, so the checked-in corpus changes only when something fails: the failing
# input is written into the target's corpus folder (crash-*, leak-*, timeout-*, oom-*), the
# script fails, and the input stays there as a regression case once the fault is fixed.
#
#   FUZZ_SECONDS=600 bash scripts/fuzz.sh               every target ten minutes
#   FUZZ_SECONDS=3600 bash scripts/fuzz.sh fuzz_render  one target an hour
#   FUZZ_JOBS=4 ...                                      that many fuzzing processes each
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${FUZZ_SECONDS:-30}"
jobs="${FUZZ_JOBS:-1}"
targets=("$@")
((${#targets[@]})) || targets=(fuzz_drawing fuzz_dxf fuzz_render fuzz_options fuzz_dbfheader fuzz_worksheet)

export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
chmod 0700 "$XDG_RUNTIME_DIR"

echo "== fuzz build"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "${targets[@]}"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/fuzz/lsan.supp:print_suppressions=0"
for target in "${targets[@]}"; do
  corpus="tests/fuzz/corpus/$target"
  scratch="build/fuzz/found/$target"
  mkdir -p "$scratch"
  echo "== $target: ${seconds} s on $corpus"
  # Every checked-in input first, each on its own, so that an old failure shows at once.
  "build/fuzz/bin/$target" -runs=0 "$corpus" >/dev/null 2>"build/fuzz/$target.log" ||
    { cat "build/fuzz/$target.log"; exit 1; }
  options=(-max_total_time="$seconds" -timeout=20 -rss_limit_mb=2560 -max_len=65536
           -artifact_prefix="$corpus/" -print_final_stats=1)
  if ((jobs > 1)); then options+=(-jobs="$jobs" -workers="$jobs"); fi
  "build/fuzz/bin/$target" "${options[@]}" "$scratch" "$corpus" >"build/fuzz/$target.log" 2>&1 ||
    { tail -n 60 "build/fuzz/$target.log"; echo "$target failed; the input is in $corpus/"; exit 1; }
  grep -E "stat::number_of_executed_units|cov:" "build/fuzz/$target.log" | tail -n 2
done
