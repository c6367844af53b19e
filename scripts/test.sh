#!/usr/bin/env bash
# Builds and tests everything: the portable logic natively with sanitizers
# (preset linux), a short fuzzing of the parsers (preset fuzz), then
# Orvane.exe, its Win32 tests and the end-to-end tests on Wine: the 64-bit
# build in a 64-bit prefix (preset win64) on every host, the 32-bit build in
# a 32-bit prefix (preset win32) where the host runs 32-bit Wine; each with
# the released exe of its architecture once more. Every preset is built on
# every host.
#
# Ends with the line "N passed, N failed, N skipped", where skipped counts
# the tests that did not run (those of a leg this host cannot run, named on
# the line above, and tests that skipped themselves), and fails when
# anything failed, a configure or build step included.
# ORVANE_WINE32=off runs as on a host without 32-bit Wine.
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root" || exit 1
"$root/scripts/install-deps.sh" || exit 1
# shellcheck source=wine-env.sh
source "$root/scripts/wine-env.sh"

# Tests on Wine make their own X servers; keep them off the user's screen.
unset DISPLAY XAUTHORITY

passed=0 failed=0 skipped=0 notes=()
log=$(mktemp)
trap 'rm -f "$log"' EXIT
started=$SECONDS

run_win32=yes
if orvane_wine32_check; then
  echo "== Wine legs: win64 (64-bit prefix) and win32 (32-bit prefix)"
else
  run_win32=no
  echo "== Wine legs: win64 (64-bit prefix) only; win32 is built, not run: $ORVANE_WINE32_WHY"
fi

# The exes as released: each Wine leg runs the one of its architecture once
# more end to end.
for preset in win32-release win64-release; do
  echo "== $preset: configure, build"
  if ! { cmake --preset "$preset" && cmake --build --preset "$preset" -j2; }; then
    echo "== $preset: build failed"
    failed=$((failed + 1))
  fi
done

for preset in linux fuzz win64 win32; do
  echo "== $preset: configure, build, test"
  if ! cmake --preset "$preset"; then
    echo "== $preset: configure failed"
    failed=$((failed + 1))
    continue
  fi
  if ! cmake --build --preset "$preset" -j2; then
    echo "== $preset: build failed"
    failed=$((failed + 1))
    continue
  fi
  if [ "$preset" = win32 ] && [ "$run_win32" = no ]; then
    count=$(ctest --preset "$preset" -N | sed -nE 's/^Total Tests: ([0-9]+)$/\1/p')
    skipped=$((skipped + ${count:-0}))
    notes+=("== not run: the win32 leg (32-bit prefix), its ${count:-0} tests: $ORVANE_WINE32_WHY")
    continue
  fi
  ctest --preset "$preset" 2>&1 | tee "$log"
  ctest_status=${PIPESTATUS[0]}
  # "97% tests passed, 1 tests failed out of 30", where "passed" includes
  # the tests that skipped themselves; those, and disabled ones, are listed
  # as "  7 - name (Skipped)" under "The following tests did not run:".
  summary=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n1)
  if [ -n "$summary" ]; then
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")
    bad=$(sed -E 's/^[0-9]+% tests passed, ([0-9]+) .*/\1/' <<<"$summary")
    self_skipped=$(grep -cE '^[[:space:]]+[0-9]+ - .* \(Skipped\)$' "$log")
    disabled=$(grep -cE '^[[:space:]]+[0-9]+ - .* \(Disabled\)$' "$log")
    passed=$((passed + total - bad - self_skipped))
    failed=$((failed + bad))
    skipped=$((skipped + self_skipped + disabled))
    if [ $((self_skipped + disabled)) -gt 0 ]; then
      notes+=("== $preset: $((self_skipped + disabled)) tests did not run (ctest lists them above)")
    fi
    if [ "$ctest_status" -ne 0 ] && [ "$bad" -eq 0 ]; then
      failed=$((failed + 1))  # ctest failed without a failing test
    fi
  elif [ "$ctest_status" -ne 0 ] || grep -q 'No tests were found' "$log"; then
    echo "== $preset: ctest ran no tests"
    failed=$((failed + 1))
  fi
done

echo "== took $(( (SECONDS - started) / 60 )) min $(( (SECONDS - started) % 60 )) s"
[ "${#notes[@]}" -eq 0 ] || printf '%s\n' "${notes[@]}"
echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
