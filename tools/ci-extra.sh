#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vombel Chess developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The robustness stages that tools/test.sh runs after the normal tests (skip them with QUICK=1):
#   1. the tests that run the search threads, built with ThreadSanitizer (preset tsan,
#      build-tsan/)
#   2. the soaks and the fuzz targets (clang, libFuzzer; preset fuzz, build-fuzz/), each a single
#      process, run side by side as many at a time as there are cores, the longest first:
#      - the soak: whole random games with save/load round trips, Easy and Difficult, under the
#        sanitizers (build-asan/, which tools/test.sh builds and tests, and this script when it
#        runs alone)
#      - the window soak: the real window on the offscreen platform under random input, long
#        turns and damaged files, under the sanitizers
#      - each fuzz target: its kept corpus, then new inputs for a bounded time (the game-file
#        loader, which reaches its coverage within seconds, for half the event target's)
#   3. clang-tidy (.clang-tidy) and cppcheck (.cppcheck-suppressions) on the project's own code,
#      with the flags of the clang build (build-asan/) and, for fuzz/, of the fuzz build
# Any crash, sanitizer report, broken invariant or analyser finding fails the run.
#
# Knobs: FUZZ_SECONDS (60, the event target's; the loader's half), SOAK_EASY (1000 games), SOAK_DIFFICULT (10 games),
# SOAK_SEED (1), WINDOW_SOAK_EVENTS (2000), WINDOW_SOAK_LONG_TURNS (2), JOBS (nproc).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=${JOBS:-$(nproc)}
export CMAKE_BUILD_PARALLEL_LEVEL=$jobs CTEST_PARALLEL_LEVEL=$jobs
fuzz_seconds=${FUZZ_SECONDS:-60}
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:strict_string_checks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

source tools/stages.sh  # begin and end: each stage's time
die() {
  echo "=== FAILED: $*"
  echo "robustness: $stages_passed passed, 1 failed"
  exit 1
}

# The clang build with AddressSanitizer and UndefinedBehaviorSanitizer, whose programs the soaks
# run and whose flags the static analysis reads, built and tested unless tools/test.sh just did.
if [ "${VOMBEL_ASAN_TESTED:-0}" != 1 ]; then
  begin "clang build and tests under the sanitizers (build-asan/)"
  cmake --workflow --preset asan || die "sanitizer build or tests"
  end
fi

# 1. The search threads under ThreadSanitizer: the search signatures with 2, 3 and 8 threads and
# the driver's recorded cases, whole games through the turn cycle, with 3 and 8 (the preset's
# filter).
begin "thread sanitizer build and tests (build-tsan)"
cmake --workflow --preset tsan || die "thread sanitizer build or tests"
end

# 2. The soaks and the fuzzing: single processes each, run side by side, as many at a time as
# there are cores, the longest first, so that no core waits while work is left.
begin "fuzz build (build-fuzz)"
cmake --workflow --preset fuzz || die "fuzz build"
end

seed=${SOAK_SEED:-1}
job_window_soak() {
  rm -rf build-asan/window-soak
  build-asan/tests/vombel-window-soak --events "${WINDOW_SOAK_EVENTS:-2000}" \
    --long-turns "${WINDOW_SOAK_LONG_TURNS:-2}" --seed "$seed" --dir build-asan/window-soak
}
job_soak_easy() {
  mkdir -p build-asan/soak-easy
  build-asan/tests/vombel-soak --easy "${SOAK_EASY:-1000}" --difficult 0 --seed "$seed" \
    --dir build-asan/soak-easy
}
job_soak_difficult() {
  mkdir -p build-asan/soak-difficult
  build-asan/tests/vombel-soak --easy 0 --difficult "${SOAK_DIFFICULT:-10}" \
    --seed "$((seed + 1))" --dir build-asan/soak-difficult
}
# job_fuzz TARGET BINARY SECONDS: first every input kept in the corpus, each of which once found
# a fault and must now pass, then new inputs for SECONDS.
job_fuzz() {
  local work=$root/build-fuzz/work/$1 artifacts=$root/build-fuzz/artifacts/$1-
  mkdir -p "$work" build-fuzz/artifacts
  "$2" -runs=0 -timeout=25 -artifact_prefix="$artifacts" "$root/fuzz/corpus/$1" &&
    "$2" -max_total_time="$3" -timeout=25 -rss_limit_mb=4096 -print_final_stats=1 \
      -artifact_prefix="$artifacts" "$work" "$root/fuzz/corpus/$1"
}
job_fuzz_events() { job_fuzz events build-fuzz/fuzz/event_fuzzer "$fuzz_seconds"; }
job_fuzz_load_game() {
  job_fuzz load_game build-fuzz/fuzz/load_game_fuzzer "$((fuzz_seconds / 2))"
}

begin "soaks and fuzzing, $jobs at a time"
mkdir -p build-fuzz/jobs
declare -A job_of=() status_of=()
wait_for_one() {  # waits for a job to end and records its exit status
  local pid status=0
  wait -n -p pid || status=$?
  status_of[${job_of[$pid]}]=$status
}
# The longest first: on two cores about 90, 60, 55, 30 and 5 s.
for name in window_soak fuzz_events soak_easy fuzz_load_game soak_difficult; do
  while [ $((${#job_of[@]} - ${#status_of[@]})) -ge "$jobs" ]; do wait_for_one; done
  "job_$name" >"build-fuzz/jobs/$name.log" 2>&1 &
  job_of[$!]=$name
done
while [ ${#status_of[@]} -lt ${#job_of[@]} ]; do wait_for_one; done

failed=()
cat build-fuzz/jobs/soak_easy.log build-fuzz/jobs/soak_difficult.log
for name in soak_easy soak_difficult; do
  [ "${status_of[$name]}" = 0 ] || failed+=("$name")
done
grep -v -E "XDG_RUNTIME_DIR|propagateSizeHints|This plugin does not support" \
  build-fuzz/jobs/window_soak.log || true
if [ "${status_of[window_soak]}" != 0 ]; then
  echo "window soak: exit status ${status_of[window_soak]}; its last events" \
    "(build-asan/window-soak/events.log):"
  tail -n 30 build-asan/window-soak/events.log 2>/dev/null || true
  failed+=(window_soak)
fi
for t in load_game events; do
  log=build-fuzz/jobs/fuzz_$t.log
  if [ "${status_of[fuzz_$t]}" = 0 ]; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
    echo "fuzz $t: ${runs:-?} inputs (${rate:-?}/s), no fault"
  else
    echo "fuzz $t: FAULT"
    grep -E -A40 "FAULT|ERROR|runtime error|==[0-9]+==" "$log" | head -80 || true
    ls -1 build-fuzz/artifacts/"$t"-* 2>/dev/null | sed 's/^/  input kept at /' || true
    echo "  add the input to fuzz/corpus/$t/ with the fix, so that it is tried on every run"
    failed+=("fuzz_$t")
  fi
done
[ ${#failed[@]} = 0 ] || die "${failed[*]}"
end

# 3. Static analysis of the project's own sources: every translation unit of the clang build's
# compile database that lies in the tree and not in a build folder, and the fuzz targets from the
# fuzz build's. clang-tidy reads the clang build's flags (GCC-only flags in the GCC build's
# database would be unknown arguments to it) less the sanitizers, so that it also sees the code a
# sanitized build leaves out (tests/support/sanitized.h); the asserts stay on, so that it sees
# their conditions too.
here=$(printf '%s' "$root" | sed 's/[][\.^$*+?(){}|]/\\&/g')  # the tree's path as a regex
own="^$here/(?!build[^/]*/)"
fuzz="^$here/fuzz/"

begin "clang-tidy"
tidy_ok=1
{
  run-clang-tidy -quiet -j "$jobs" -p build-asan -extra-arg=-fno-sanitize=all "$own" || tidy_ok=0
  run-clang-tidy -quiet -j "$jobs" -p build-fuzz "$fuzz" || tidy_ok=0
} >build-fuzz/tidy.log 2>&1
# Each file checked shows as its clang-tidy command line.
echo "clang-tidy: $(grep -c '^[^ ]*clang-tidy' build-fuzz/tidy.log) files"
[ "$tidy_ok" = 1 ] || {
  # Its findings without the command lines, the counts of skipped warnings and the colours.
  grep -v '^[^ ]*clang-tidy\|^[0-9]* warnings\? generated' build-fuzz/tidy.log |
    sed 's/\x1b\[[0-9;]*m//g'
  die "clang-tidy"
}
end

begin "cppcheck"
# The headers are checked where they are included. cppcheck reads no system header, Qt's among
# them, so the window tests' moc output, which checks the revision Qt's headers define, gets that
# of Debian 12's Qt 6.4.
cppcheck_run() {
  cppcheck -q --std=c++20 --language=c++ -j"$jobs" --inline-suppr --error-exitcode=1 \
    --enable=warning,style,performance,portability --library=googletest --library=qt \
    --suppressions-list=.cppcheck-suppressions -DQ_MOC_OUTPUT_REVISION=68 "$@"
}
cppcheck_run --project=build-asan/compile_commands.json -ibuild-asan/ || die "cppcheck"
cppcheck_run --project=build-fuzz/compile_commands.json '--file-filter=fuzz/*' || die "cppcheck"
end

echo
echo "robustness: $stages_passed passed, 0 failed"
