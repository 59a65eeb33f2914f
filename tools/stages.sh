# SPDX-FileCopyrightText: 2026 The Vombel Chess developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Timed stages for tools/test.sh and tools/ci-extra.sh, which source this file:
#   begin NAME   prints the stage's name and starts its clock
#   end          prints its time, adds it to the run's table and counts it in stages_passed
# The outermost script keeps the table (in the file VOMBEL_STAGE_TIMES names, which the scripts it
# runs add to) and prints it when it exits, a stage that failed included, with the run's time.

begin() {
  stage_name=$1
  stage_start=$SECONDS
  echo
  echo "=== $stage_name"
}
end() {
  local seconds=$((SECONDS - stage_start))
  echo "=== $stage_name passed in $seconds s"
  printf '%s\t%s\n' "$seconds" "$stage_name" >>"$VOMBEL_STAGE_TIMES"
  stage_name=
  stages_passed=$((stages_passed + 1))
}
stage_name=
stages_passed=0
stage_start=$SECONDS

# On exit, a stage still running has failed: it goes in the table too.
stages_exit() {
  if [ -n "$stage_name" ]; then
    printf '%s\t%s\n' "$((SECONDS - stage_start))" "$stage_name (FAILED)" >>"$VOMBEL_STAGE_TIMES"
  fi
  if [ "$stages_owner" = 1 ]; then
    echo
    echo "=== stage times"
    awk -F'\t' '{ printf "%6d s  %s\n", $1, $2 }' "$VOMBEL_STAGE_TIMES"
    printf '%6d s  the whole run (%d min %d s)\n' "$SECONDS" $((SECONDS / 60)) $((SECONDS % 60))
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
