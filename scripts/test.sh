#!/usr/bin/env bash
# Builds and tests everything: the portable logic natively with sanitizers
# (preset linux), a short fuzzing of the parsers (preset fuzz), then
# Orvane.exe, its Win32 tests and the end-to-end tests on Wine (preset
# win32, and the released build of the exe once more). Ends with the line "N passed, N failed" and fails
# when anything failed, a configure or build step included.
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root" || exit 1
"$root/scripts/install-deps.sh" || exit 1

# Tests on Wine make their own X servers; keep them off the user's screen.
unset DISPLAY XAUTHORITY

passed=0 failed=0
log=$(mktemp)
trap 'rm -f "$log"' EXIT
started=$SECONDS

# The exes as released: the win32 tests run the 32-bit one once more end to
# end; the 64-bit one must at least build.
for preset in win32-release win64-release; do
  echo "== $preset: configure, build"
  if ! { cmake --preset "$preset" && cmake --build --preset "$preset" -j2; }; then
    echo "== $preset: build failed"
    failed=$((failed + 1))
  fi
done

for preset in linux fuzz win32; do
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
  ctest --preset "$preset" 2>&1 | tee "$log"
  ctest_status=${PIPESTATUS[0]}
  # "97% tests passed, 1 tests failed out of 30"
  summary=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n1)
  if [ -n "$summary" ]; then
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")
    bad=$(sed -E 's/^[0-9]+% tests passed, ([0-9]+) .*/\1/' <<<"$summary")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
    if [ "$ctest_status" -ne 0 ] && [ "$bad" -eq 0 ]; then
      failed=$((failed + 1))  # ctest failed without a failing test
    fi
  elif [ "$ctest_status" -ne 0 ] || grep -q 'No tests were found' "$log"; then
    echo "== $preset: ctest ran no tests"
    failed=$((failed + 1))
  fi
done

echo "== took $(( (SECONDS - started) / 60 )) min $(( (SECONDS - started) % 60 )) s"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
