# SPDX-FileCopyrightText: 2026 The Vombel Chess developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Timed stages for tools/test.sh and tools/ci-extra.sh, which source this file:
#   begin NAME   prints the stage's name and starts its clocks
#   end          prints its time, adds it to the run's table and counts it in stages_passed
# Each stage has two times: the wall clock's, and the processor time its programs used, which
# other work on a shared machine does not lengthen. The outermost script keeps the table (in the
# file VOMBEL_STAGE_TIMES names, which the scripts it runs add to) and prints it when it exits, a
# stage that failed included, with the whole run's times.

# used_cpu: sets cpu to the processor seconds used so far by the programs this script ran and
# waited for. `times` runs in this shell, not in a subshell, which would count its own children.
used_cpu() {
  times >"$VOMBEL_STAGE_TIMES.cpu"
  cpu=$(awk 'NR == 2 { split($1, u, /[ms]/); split($2, s, /[ms]/)
                       printf "%.0f\n", u[1] * 60 + u[2] + s[1] * 60 + s[2] }' \
          "$VOMBEL_STAGE_TIMES.cpu")
  rm -f "$VOMBEL_STAGE_TIMES.cpu"
}
record() {  # record SUFFIX: the running stage's line in the table
  used_cpu
  printf '%s\t%s\t%s\n' "$((SECONDS - stage_start))" "$((cpu - stage_cpu))" "$stage_name$1" \
    >>"$VOMBEL_STAGE_TIMES"
}
begin() {
  stage_name=$1
  stage_start=$SECONDS
  used_cpu
  stage_cpu=$cpu
  echo
  echo "=== $stage_name"
}
end() {
  echo "=== $stage_name passed in $((SECONDS - stage_start)) s"
  record ""
  stage_name=
  stages_passed=$((stages_passed + 1))
}
stage_name=
stages_passed=0

# On exit, a stage still running has failed: it goes in the table too.
stages_exit() {
  [ -z "$stage_name" ] || record " (FAILED)"
  if [ "$stages_owner" = 1 ]; then
    echo
    echo "=== stage times: wall clock, processor"
    awk -F'\t' '{ printf "%6d s %6d s  %s\n", $1, $2, $3 }' "$VOMBEL_STAGE_TIMES"
    used_cpu
    printf '%6d s %6d s  the whole run (%d min %d s)\n' "$SECONDS" "$cpu" $((SECONDS / 60)) \
      $((SECONDS % 60))
    rm -f "$VOMBEL_STAGE_TIMES"
  fi
}
stages_owner=0
if [ -z "${VOMBEL_STAGE_TIMES:-}" ]; then
  stages_owner=1
  VOMBEL_STAGE_TIMES=$(mktemp)
  export VOMBEL_STAGE_TIMES
fi
trap stages_exit EXIT
