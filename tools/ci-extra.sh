#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Vombel Chess developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The robustness stages that tools/test.sh runs after the normal tests (skip them with QUICK=1):
#   1. every test again, built with AddressSanitizer and UndefinedBehaviorSanitizer (build-asan/)
#   2. the soak: whole random games with save/load round trips, under the sanitizers
#   3. the fuzz targets (clang, libFuzzer; build-fuzz/): their corpus, then a bounded run each
#   4. clang-tidy (.clang-tidy) and cppcheck (.cppcheck-suppressions) on the project's own code
# Any crash, sanitizer report, broken invariant or analyser finding fails the run.
#
# Knobs: FUZZ_SECONDS (60 per target), SOAK_EASY (1000 games), SOAK_DIFFICULT (10 games),
# SOAK_SEED (1), JOBS (nproc).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=${JOBS:-$(nproc)}
fuzz_seconds=${FUZZ_SECONDS:-60}
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:strict_string_checks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

passed=0
stage_start=0
begin() {
  echo
  echo "=== $1"
  stage_start=$SECONDS
}
end() {
  passed=$((passed + 1))
  echo "=== $1 passed in $((SECONDS - stage_start)) s"
}
die() {
  echo "=== FAILED: $*"
  echo "robustness: $passed passed, 1 failed"
  exit 1
}

# 1. Sanitizers: the whole suite with ASan and UBSan, asserts on.
begin "sanitizer build and tests (build-asan)"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVOMBEL_SANITIZE=ON \
  -DVOMBEL_WERROR=ON -DVOMBEL_GUI=ON -DVOMBEL_BENCH=OFF >/dev/null
cmake --build build-asan -j"$jobs" || die "sanitizer build"
(cd build-asan && ctest --output-on-failure -j"$jobs") || die "tests under the sanitizers"
end "sanitizer tests"

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
end "soak"

# 3. Fuzzing: first every input kept in the corpus, then new inputs for a bounded time.
begin "fuzz build (build-fuzz)"
CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVOMBEL_WERROR=ON -DVOMBEL_FUZZ=ON -DBUILD_TESTING=OFF -DVOMBEL_GUI=OFF -DVOMBEL_BENCH=OFF \
  >/dev/null
cmake --build build-fuzz -j"$jobs" || die "fuzz build"
end "fuzz build"

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
end "fuzzing"

# 4. Static analysis of the project's own sources.
own_sources() {
  # Every translation unit in a compile database that lies in the tree and not in a build folder.
  sed -n 's/^ *"file": "\(.*\)",\{0,1\}$/\1/p' "$1" | grep "^$root/" |
    grep -v -E "^$root/build[^/]*/|_autogen/" | sort -u
}

begin "clang-tidy"
# clang-tidy reads the flags of the clang build (the test command makes it): GCC-only flags in the
# GCC build's database would be unknown arguments to it.
if [ ! -f build-clang/compile_commands.json ]; then
  CC=clang-14 CXX=clang++-14 cmake -S . -B build-clang -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build build-clang -j"$jobs"
fi
{
  own_sources build-clang/compile_commands.json | sed 's/$/ build-clang/'
  own_sources build-fuzz/compile_commands.json | grep "^$root/fuzz/" | sed 's/$/ build-fuzz/'
} >build-fuzz/tidy-files.txt
tidy_ok=1
# Each line: a source and the build folder whose compile database has its flags.
xargs -P "$jobs" -L 1 sh -c 'clang-tidy --quiet -p "$1" "$0" 2>/dev/null' \
  <build-fuzz/tidy-files.txt >build-fuzz/tidy.log || tidy_ok=0
grep -E "(warning|error):" build-fuzz/tidy.log && tidy_ok=0
echo "clang-tidy: $(wc -l <build-fuzz/tidy-files.txt) files"
[ "$tidy_ok" = 1 ] || {
  cat build-fuzz/tidy.log
  die "clang-tidy"
}
end "clang-tidy"

begin "cppcheck"
# Every tracked source file; the headers are checked where they are included.
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  git ls-files '*.cpp' >build-fuzz/cppcheck-files.txt
else
  find . -path './build*' -prune -o -name '*.cpp' -print >build-fuzz/cppcheck-files.txt
fi
cppcheck -q --std=c++20 --language=c++ -I . -j"$jobs" --inline-suppr --error-exitcode=1 \
  --enable=warning,style,performance,portability --library=googletest --library=qt \
  --suppressions-list=.cppcheck-suppressions --file-list=build-fuzz/cppcheck-files.txt ||
  die "cppcheck"
echo "cppcheck: $(wc -l <build-fuzz/cppcheck-files.txt) files"
end "cppcheck"

echo
echo "robustness: $passed passed, 0 failed"
