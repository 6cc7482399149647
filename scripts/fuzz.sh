#!/usr/bin/env bash
# Runs the libFuzzer targets built by scripts/test.sh (build-test, clang), one
# after another.
#   scripts/fuzz.sh --ci                  each target ~15 s from the checked-in
#                                         seeds (fuzz/corpus); fails on a crash,
#                                         or when a seed does not do the same
#                                         twice in a row (TVK_FUZZ_REPLAY_CHECK)
#   scripts/fuzz.sh [--fast] [--jobs N] SECONDS [TARGET ...]
#                                         each target (or those named) for
#                                         SECONDS, growing a working corpus in
#                                         build-fuzz-corpus/<target> (outside git)
#     --fast    the targets of an optimised build with undefined-behaviour
#               checks alone (build-fuzz, built here when missing): two to
#               three times the inputs a second of the test build's, without its
#               address checks
#     --jobs N  N fuzzing processes at once on the one working corpus, each
#               taking up what the others add; one per core is the most the
#               machine gives
# Targets: replies mdvfile hexdownload settings. A crash leaves its input in
# build-fuzz-artifacts/; replay it with build-test/fuzz/tvk-fuzz-<target> <file>
# (each target builds the tool once and returns it to the same state before
# every input, so the single input does what it did in the run).
# Prints executions, inputs a second, coverage (cov = edges, ft = features)
# and corpus size per target.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${TVK_BUILD_DIR:-build-test}
all=(replies mdvfile hexdownload settings)

declare -A max_len=([replies]=4096 [mdvfile]=16384 [hexdownload]=8192 [settings]=8192)

mode=long
seconds=
jobs=1
while [ $# -gt 0 ]; do
  case "$1" in
    --fast)
      build=${TVK_BUILD_DIR:-build-fuzz}
      scripts/deps.sh clang libclang-rt-dev
      launcher=()
      if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
      CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DTVK_SANITIZE=ON -DTVK_SANITIZERS=undefined -DBUILD_TESTING=OFF "${launcher[@]}" >/dev/null
      cmake --build "$build" -t tvk-fuzz-replies tvk-fuzz-mdvfile tvk-fuzz-hexdownload tvk-fuzz-settings
      shift ;;
    --jobs)
      jobs=${2:-}
      [[ "$jobs" =~ ^[1-9][0-9]*$ ]] || { echo "--jobs wants a number of processes" >&2; exit 2; }
      shift 2 ;;
    *) break ;;
  esac
done
if [ "${1:-}" = "--ci" ]; then
  mode=ci
  seconds=${TVK_FUZZ_CI_SECONDS:-15}
  shift
elif [[ "${1:-}" =~ ^[0-9]+$ ]]; then
  seconds=$1
  shift
else
  sed -n '2,25p' "$0" | sed 's/^# \{0,1\}//' >&2
  exit 2
fi
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=("${all[@]}")

for t in "${targets[@]}"; do
  if [ ! -x "$build/fuzz/tvk-fuzz-$t" ]; then
    echo "No fuzz target $build/fuzz/tvk-fuzz-$t: build with clang first (scripts/test.sh)." >&2
    exit 1
  fi
done

# Stop at the first error; leaks count as errors. A small quarantine and no
# fill of fresh allocations more than double the executions per second.
export ASAN_OPTIONS="${ASAN_OPTIONS:-halt_on_error=1:detect_leaks=1:quarantine_size_mb=8:max_malloc_fill_size=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$root/scripts/lsan-suppressions.txt:print_suppressions=0}"

artifacts="$root/build-fuzz-artifacts"
mkdir -p "$artifacts"
logs="$root/build-fuzz-logs"
mkdir -p "$logs"
summary=()
failed=0
for t in "${targets[@]}"; do
  seeds="$root/fuzz/corpus/$t"
  if [ "$mode" = ci ]; then
    work=$(mktemp -d)
  else
    work="$root/build-fuzz-corpus/$t"
    mkdir -p "$work"
  fi
  dict=()
  [ -f "$root/fuzz/$t.dict" ] && dict=(-dict="$root/fuzz/$t.dict")
  log="$logs/$t.log"
  echo "== $t: ${seconds} s" >&2
  if [ "$mode" = ci ]; then
    # Every seed, run twice in a row, must do the same both times: nothing
    # carries over from one input to the next.
    if ! TVK_FUZZ_REPLAY_CHECK=1 "$build/fuzz/tvk-fuzz-$t" "$seeds"/* >"$logs/$t-replay.log" 2>&1; then
      failed=1
      summary+=("$(printf '%-12s replay of the seeds FAILED (see %s)' "$t" "$logs/$t-replay.log")")
      grep -E '==fuzz==|ERROR|SUMMARY|Running:' "$logs/$t-replay.log" | tail -n 20 >&2 || true
      rm -rf "$work"
      continue
    fi
  fi
  set +e
  # With --jobs, N processes share the working corpus: each takes up what
  # the others add to it as it goes. (libFuzzer's fork mode would build the
  # whole tool again for every short job it starts.)
  pids=()
  for ((j = 1; j <= jobs; j++)); do
    "$build/fuzz/tvk-fuzz-$t" "$work" "$seeds" "${dict[@]}" \
      -max_total_time="$seconds" -max_len="${max_len[$t]}" -timeout=20 -rss_limit_mb=3072 \
      -print_final_stats=1 -artifact_prefix="$artifacts/$t-" >"$log.$j" 2>&1 &
    pids+=($!)
  done
  rc=0
  for pid in "${pids[@]}"; do wait "$pid" || rc=$?; done
  set -e
  cat "$log".* >"$log"
  rm -f "$log".*
  stats=$(grep -E '^#[0-9]+' "$log" | tail -n 1 || true)
  # Executions and the rate, the processes together.
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | awk '{s += $1} END {if (NR) print s}')
  rate=$(grep -E '^Done [0-9]+ runs in [0-9]+ second' "$log" |
    awk '{if ($5 > 0) s += $2 / $5} END {if (NR) printf "%d", s}')
  cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$stats")
  ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$stats")
  corp=$(ls "$work" | wc -l)
  line=$(printf '%-12s %s s  runs %s  (%s a second)  cov %s  ft %s  corpus %s' "$t" "$seconds" "${runs:-?}" "${rate:-?}" "${cov:-?}" "${ft:-?}" "$corp")
  if [ $rc -ne 0 ]; then
    failed=1
    line="$line  FAILED (exit $rc)"
    grep -E 'ERROR|SUMMARY|check failed|runtime error|Test unit written' "$log" | head -n 20 >&2 || true
  fi
  summary+=("$line")
  [ "$mode" = ci ] && rm -rf "$work"
done
printf '%s\n' "${summary[@]}"
exit $failed
