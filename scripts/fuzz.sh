#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang in build-fuzz/ and runs each in turn on a copy
# of its seed corpus, for a number of inputs (--runs N) or a time (--seconds S) each. Any crash,
# sanitizer report, hang (an input taking longer than --timeout seconds) or running out of memory
# is a finding: it is kept in a scratch folder and the script ends with status 1. Given both
# --runs and --seconds, a target stops at whichever comes first; given neither, it runs 60 s.
set -euo pipefail
cd "$(dirname "$0")/.."

usage="usage: scripts/fuzz.sh [--runs N] [--seconds S] [--timeout S] [--only TARGET]..."
limit=()
timeout=10
only=()
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) limit+=(-runs="${2:?$usage}"); shift 2 ;;
    --seconds) limit+=(-max_total_time="${2:?$usage}"); shift 2 ;;
    --timeout) timeout="${2:?$usage}"; shift 2 ;;
    --only) only+=("${2:?$usage}"); shift 2 ;;
    -h|--help) echo "$usage"; exit 0 ;;
    *) echo "$usage" >&2; exit 2 ;;
  esac
done
[ ${#limit[@]} -gt 0 ] || limit=(-max_total_time=60)

cmake -S . -B build-fuzz -G Ninja -DMOLVANE_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -gline-tables-only" > /dev/null
cmake --build build-fuzz -j2 --target molvane_fuzzers

targets=()
for source in fuzz/fuzz_*.cpp; do
  name=$(basename "$source" .cpp)
  name=${name#fuzz_}
  if [ ${#only[@]} -eq 0 ] || [[ " ${only[*]} " == *" $name "* ]]; then
    targets+=("$name")
  fi
done
[ ${#targets[@]} -gt 0 ] || { echo "fuzz.sh: no such target: ${only[*]}" >&2; exit 2; }

# The corpus in the repository stays as it is: each run grows a copy of it.
scratch=$(mktemp -d "${TMPDIR:-/tmp}/molvane-fuzz.XXXXXX")
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=0
for name in "${targets[@]}"; do
  mkdir -p "$scratch/$name/corpus" "$scratch/$name/findings"
  [ ! -d "fuzz/corpus/$name" ] || cp -r "fuzz/corpus/$name/." "$scratch/$name/corpus/"
  log="$scratch/$name/log"
  status=0
  nice "build-fuzz/fuzz/fuzz_$name" "${limit[@]}" -timeout="$timeout" -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$scratch/$name/findings/" "$scratch/$name/corpus" \
    > "$log" 2>&1 || status=$?
  inputs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  if [ "$status" -eq 0 ]; then
    echo "fuzz_$name: ${inputs:-?} inputs, ${speed:-?} inputs/s, no finding"
  else
    failed=1
    echo "fuzz_$name: FINDING after ${inputs:-?} inputs (status $status):"
    grep -E "^(==[0-9]+== ?ERROR|SUMMARY)|runtime error" "$log" | head -5 | sed 's/^/  /'
    ls "$scratch/$name/findings/" | sed "s|^|  $scratch/$name/findings/|"
    echo "  log: $log"
  fi
done
if [ "$failed" -eq 0 ]; then
  rm -rf "$scratch"
else
  echo "fuzz.sh: findings kept in $scratch (replay one: build-fuzz/fuzz/fuzz_TARGET FILE)"
fi
exit "$failed"
