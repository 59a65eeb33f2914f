#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vombel Chess developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The robustness stages that tools/test.sh runs after the normal tests (skip them with QUICK=1):
#   1. the tests that run the search threads, built with ThreadSanitizer (preset tsan,
#      build-tsan/), and beside them the fuzz targets' build (clang, libFuzzer; preset fuzz,
#      build-fuzz/)
#   2. single processes, run side by side as many at a time as there are cores, the longest first:
#      - the soak: whole random games with save/load round trips, Easy and Difficult, under the
#        sanitizers (build-asan/, which tools/test.sh builds and tests, and this script when it
#        runs alone)
#      - the window soak: the real window on the offscreen platform under random input, long
#        turns and damaged files, under the sanitizers
#      - each fuzz target: its kept corpus, then new inputs for a bounded time (the game-file
#        loader, which reaches its coverage within seconds, for half the event target's)
#      - clang-tidy (.clang-tidy) on each of the project's own sources, and cppcheck
#        (.cppcheck-suppressions) on them all, with the flags of the clang build (build-asan/)
#        and, for fuzz/, of the fuzz build
# Any crash, sanitizer report, broken invariant or analyser finding fails the run.
#
# Knobs: FUZZ_SECONDS (60, the event target's; the loader's half), SOAK_EASY (1000 games),
# SOAK_DIFFICULT (10 games), SOAK_SEED (1), WINDOW_SOAK_EVENTS (2000), WINDOW_SOAK_LONG_TURNS (2),
# JOBS (nproc).
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
# filter). Beside it, the fuzz targets' build (clang, libFuzzer; preset fuzz), which keeps the
# cores busy while the thread tests run their single processes.
begin "thread sanitizer build and tests (build-tsan), fuzz build (build-fuzz)"
mkdir -p build-fuzz
cmake --workflow --preset fuzz >build-fuzz/workflow.log 2>&1 &
fuzz_build=$!
tsan_ok=1
cmake --workflow --preset tsan || tsan_ok=0
fuzz_ok=1
wait "$fuzz_build" || fuzz_ok=0
cat build-fuzz/workflow.log
[ "$tsan_ok" = 1 ] || die "thread sanitizer build or tests"
[ "$fuzz_ok" = 1 ] || die "fuzz build"
end

# 2. The soaks, the fuzzing and the static analysis: single processes each, run side by side, as
# many at a time as there are cores, the longest first, so that no core waits while work is left.
# Each job is a function job_NAME [ARGS]; its output goes to build-fuzz/jobs/NAME.log.
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

# Static analysis of the project's own sources: every translation unit of the clang build's
# compile database that lies in the tree and not in a build folder, and the fuzz targets from the
# fuzz build's. clang-tidy reads the clang build's flags (GCC-only flags in the GCC build's
# database would be unknown arguments to it) less the sanitizers, so that it also sees the code a
# sanitized build leaves out (tests/support/sanitized.h); the asserts stay on, so that it sees
# their conditions too. job_tidy DATABASE_DIR FILE [CLANG-TIDY OPTIONS].
job_tidy() { clang-tidy --quiet -p "$1" "${@:3}" "$2"; }
# cppcheck checks the headers where they are included. It reads no system header, Qt's among
# them, so the window tests' moc output, which checks the revision Qt's headers define, gets that
# of Debian 12's Qt 6.4.
cppcheck_run() {
  cppcheck -q --std=c++20 --language=c++ --inline-suppr --error-exitcode=1 \
    --enable=warning,style,performance,portability --library=googletest --library=qt \
    --suppressions-list=.cppcheck-suppressions -DQ_MOC_OUTPUT_REVISION=68 "$@"
}
job_cppcheck() {
  cppcheck_run --project=build-asan/compile_commands.json -ibuild-asan/ &&
    cppcheck_run --project=build-fuzz/compile_commands.json '--file-filter=fuzz/*'
}
# own_sources DATABASE_DIR PATTERN: the sources of the database under the tree, outside the build
# folders, whose path from the tree matches PATTERN; those that include Qt or Google Test, whose
# analysis takes longest, first.
own_sources() {
  python3 - "$root" "$1/compile_commands.json" "$2" <<'PY'
import json, os, re, sys
root, database, pattern = sys.argv[1:]
files = {os.path.relpath(os.path.join(e["directory"], e["file"]), root) for e in json.load(open(database))}
files = [f for f in files if not f.startswith(("..", "build")) and re.match(pattern, f)]
files.sort(key=lambda f: (not re.match(r"(window|tests/window)/|tools/vombel_screenshot", f), not f.startswith("tests/"), f))
print("\n".join(files))
PY
}
mapfile -t tidy_own < <(own_sources build-asan '')
mapfile -t tidy_fuzz < <(own_sources build-fuzz 'fuzz/')

begin "soaks, fuzzing and static analysis, $jobs at a time"
mkdir -p build-fuzz/jobs
declare -A job_of=() status_of=() began=() took=()
wait_for_one() {  # waits for a job to end and records its exit status and time
  local pid status=0
  wait -n -p pid || status=$?
  status_of[${job_of[$pid]}]=$status
  took[${job_of[$pid]}]=$((SECONDS - began[${job_of[$pid]}]))
}
start() {  # start NAME [ARGS]: runs job_NAME ARGS once a core is free
  while [ $((${#job_of[@]} - ${#status_of[@]})) -ge "$jobs" ]; do wait_for_one; done
  began[$1]=$SECONDS
  "job_${1%%:*}" "${@:2}" >"build-fuzz/jobs/${1//[:\/]/_}.log" 2>&1 &
  job_of[$!]=$1
}
# The longest first: on two cores about 80, 60, 50 and 30 s, then some 14 s for each source that
# includes Qt, 5 for one that includes Google Test.
start window_soak
start fuzz_events
start soak_easy
start fuzz_load_game
for f in "${tidy_own[@]}"; do start "tidy:$f" build-asan "$f" --extra-arg=-fno-sanitize=all; done
for f in "${tidy_fuzz[@]}"; do start "tidy:$f" build-fuzz "$f"; done
start cppcheck
start soak_difficult
while [ ${#status_of[@]} -lt ${#job_of[@]} ]; do wait_for_one; done
log() { echo "build-fuzz/jobs/${1//[:\/]/_}.log"; }

failed=()
cat "$(log soak_easy)" "$(log soak_difficult)"
for name in soak_easy soak_difficult; do
  [ "${status_of[$name]}" = 0 ] || failed+=("$name")
done
grep -v -E "XDG_RUNTIME_DIR|propagateSizeHints|This plugin does not support" \
  "$(log window_soak)" || true
if [ "${status_of[window_soak]}" != 0 ]; then
  echo "window soak: exit status ${status_of[window_soak]}; its last events" \
    "(build-asan/window-soak/events.log):"
  tail -n 30 build-asan/window-soak/events.log 2>/dev/null || true
  failed+=(window_soak)
fi
for t in load_game events; do
  if [ "${status_of[fuzz_$t]}" = 0 ]; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$(log "fuzz_$t")" | tail -1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$(log "fuzz_$t")" | tail -1)
    echo "fuzz $t: ${runs:-?} inputs (${rate:-?}/s), no fault"
  else
    echo "fuzz $t: FAULT"
    grep -E -A40 "FAULT|ERROR|runtime error|==[0-9]+==" "$(log "fuzz_$t")" | head -80 || true
    ls -1 build-fuzz/artifacts/"$t"-* 2>/dev/null | sed 's/^/  input kept at /' || true
    echo "  add the input to fuzz/corpus/$t/ with the fix, so that it is tried on every run"
    failed+=("fuzz_$t")
  fi
done
tidy_seconds=0
for f in "${tidy_own[@]}" "${tidy_fuzz[@]}"; do
  tidy_seconds=$((tidy_seconds + ${took["tidy:$f"]}))
  [ "${status_of["tidy:$f"]}" = 0 ] && continue
  # Its findings without the counts of skipped warnings and the colours.
  grep -v '^[0-9]* warnings\? generated' "$(log "tidy:$f")" | sed 's/\x1b\[[0-9;]*m//g'
  failed+=("clang-tidy:$f")
done
echo "clang-tidy: $((${#tidy_own[@]} + ${#tidy_fuzz[@]})) files in $tidy_seconds s"
cat "$(log cppcheck)"
[ "${status_of[cppcheck]}" = 0 ] || failed+=(cppcheck)
echo "jobs' times: window soak ${took[window_soak]} s, soak ${took[soak_easy]} s (Easy) and" \
  "${took[soak_difficult]} s (Difficult), fuzzing ${took[fuzz_events]} s (events) and" \
  "${took[fuzz_load_game]} s (load_game), cppcheck ${took[cppcheck]} s"
[ ${#failed[@]} = 0 ] || die "${failed[*]}"
end

echo
echo "robustness: $stages_passed passed, 0 failed"
