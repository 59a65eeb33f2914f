#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vombel Chess developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The robustness stages that tools/test.sh runs after the normal tests (skip them with QUICK=1):
#   1. every test again but those of the environment and the short soaks (stage 2 runs them
#      longer), built with AddressSanitizer and UndefinedBehaviorSanitizer (preset asan,
#      build-asan/); the tests that run the search threads with ThreadSanitizer (preset tsan,
#      build-tsan/)
#   2. the soak: whole random games with save/load round trips, under the sanitizers; then the
#      window soak: the real window on the offscreen platform under random input, long turns and
#      damaged files, under the sanitizers
#   3. the fuzz targets (clang, libFuzzer; preset fuzz, build-fuzz/): their corpus, then a bounded
#      run each
#   4. clang-tidy (.clang-tidy) and cppcheck (.cppcheck-suppressions) on the project's own code,
#      with the flags of the clang build (build-clang/) and, for fuzz/, of the fuzz build
# Any crash, sanitizer report, broken invariant or analyser finding fails the run.
#
# Knobs: FUZZ_SECONDS (60 per target), SOAK_EASY (1000 games), SOAK_DIFFICULT (10 games),
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

# 1. Sanitizers: the whole suite with ASan and UBSan, asserts on.
begin "sanitizer build and tests (build-asan)"
cmake --workflow --preset asan || die "sanitizer build or tests"
end

# The search threads under ThreadSanitizer: the engine's tests, the signatures with 2, 3 and 8
# threads and the driver's recorded cases with 3 and 8 (the preset's test filter).
begin "thread sanitizer build and tests (build-tsan)"
cmake --workflow --preset tsan || die "thread sanitizer build or tests"
end

# 2. Soak under the sanitizers: the Easy and the Difficult games side by side.
begin "soak (build-asan)"
mkdir -p build-asan/soak-easy build-asan/soak-difficult
seed=${SOAK_SEED:-1}
build-asan/tests/vombel-soak --easy "${SOAK_EASY:-1000}" --difficult 0 --seed "$seed" \
  --dir build-asan/soak-easy >build-asan/soak-easy.log 2>&1 &
easy=$!
build-asan/tests/vombel-soak --easy 0 --difficult "${SOAK_DIFFICULT:-10}" --seed "$((seed + 1))" \
  --dir build-asan/soak-difficult >build-asan/soak-difficult.log 2>&1 &
difficult=$!
soak_ok=1
wait "$easy" || soak_ok=0
wait "$difficult" || soak_ok=0
cat build-asan/soak-easy.log build-asan/soak-difficult.log
[ "$soak_ok" = 1 ] || die "soak"
end

begin "window soak (build-asan)"
rm -rf build-asan/window-soak
status=0
build-asan/tests/vombel-window-soak --events "${WINDOW_SOAK_EVENTS:-2000}" \
  --long-turns "${WINDOW_SOAK_LONG_TURNS:-2}" --seed "$seed" --dir build-asan/window-soak \
  >build-asan/window-soak.log 2>&1 || status=$?
grep -v -E "XDG_RUNTIME_DIR|propagateSizeHints|This plugin does not support" \
  build-asan/window-soak.log || true
if [ "$status" != 0 ]; then
  echo "window soak: exit status $status; its last events (build-asan/window-soak/events.log):"
  tail -n 30 build-asan/window-soak/events.log 2>/dev/null || true
  die "window soak"
fi
end

# 3. Fuzzing: first every input kept in the corpus, then new inputs for a bounded time.
begin "fuzz build (build-fuzz)"
cmake --workflow --preset fuzz || die "fuzz build"
end

begin "fuzzing, ${fuzz_seconds} s per target"
targets=(load_game events)
binaries=(build-fuzz/fuzz/load_game_fuzzer build-fuzz/fuzz/event_fuzzer)
mkdir -p build-fuzz/artifacts
pids=()
for i in "${!targets[@]}"; do
  t=${targets[$i]}
  work=$root/build-fuzz/work/$t
  mkdir -p "$work"
  (
    # The kept corpus first: every input that ever found a fault must now pass.
    "${binaries[$i]}" -runs=0 -timeout=25 -artifact_prefix="$root/build-fuzz/artifacts/$t-" \
      "$root/fuzz/corpus/$t" &&
      "${binaries[$i]}" -max_total_time="$fuzz_seconds" -timeout=25 -rss_limit_mb=4096 \
        -print_final_stats=1 -artifact_prefix="$root/build-fuzz/artifacts/$t-" \
        "$work" "$root/fuzz/corpus/$t"
  ) >"build-fuzz/$t.log" 2>&1 &
  pids+=($!)
done
fuzz_ok=1
for i in "${!targets[@]}"; do
  t=${targets[$i]}
  if wait "${pids[$i]}"; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "build-fuzz/$t.log" | tail -1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "build-fuzz/$t.log" | tail -1)
    echo "fuzz $t: ${runs:-?} inputs (${rate:-?}/s), no fault"
  else
    fuzz_ok=0
    echo "fuzz $t: FAULT"
    grep -E -A40 "FAULT|ERROR|runtime error|==[0-9]+==" "build-fuzz/$t.log" | head -80 || true
    ls -1 build-fuzz/artifacts/"$t"-* 2>/dev/null | sed 's/^/  input kept at /' || true
    echo "  add the input to fuzz/corpus/$t/ with the fix, so that it is tried on every run"
  fi
done
[ "$fuzz_ok" = 1 ] || die "fuzzing"
end

# 4. Static analysis of the project's own sources: every translation unit of the clang build's
# compile database that lies in the tree and not in a build folder, and the fuzz targets from the
# fuzz build's. clang-tidy reads the clang build's flags: GCC-only flags in the GCC build's
# database would be unknown arguments to it. The test command makes that build.
if [ ! -f build-clang/compile_commands.json ]; then
  cmake --preset clang >/dev/null
  cmake --build --preset clang
fi
here=$(printf '%s' "$root" | sed 's/[][\.^$*+?(){}|]/\\&/g')  # the tree's path as a regex
own="^$here/(?!build[^/]*/)"
fuzz="^$here/fuzz/"

begin "clang-tidy"
tidy_ok=1
{
  run-clang-tidy -quiet -j "$jobs" -p build-clang "$own" || tidy_ok=0
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
cppcheck_run --project=build-clang/compile_commands.json -ibuild-clang/ || die "cppcheck"
cppcheck_run --project=build-fuzz/compile_commands.json '--file-filter=fuzz/*' || die "cppcheck"
end

echo
echo "robustness: $stages_passed passed, 0 failed"
