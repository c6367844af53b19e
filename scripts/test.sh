#!/usr/bin/env bash
# Builds and tests everything: the portable logic natively with sanitizers
# (preset linux), a short fuzzing of the parsers (preset fuzz), then
# Orvane.exe, its Win32 tests and the end-to-end tests on Wine: the 64-bit
# build in a 64-bit prefix (preset win64) on every host, the 32-bit build in
# a 32-bit prefix (preset win32) where the host runs 32-bit Wine; each with
# the released exe of its architecture once more. Every preset is built on
# every host. Then the benchmarks are built and run once, briefly, and, as
# root, install-deps.sh is tried on an imperfect registry.
#
# Ends with the line "N passed, N failed, N skipped", where skipped counts
# the tests that did not run (those of a leg this host cannot run, named on
# the line above, and tests that skipped themselves), and fails when
# anything failed, a configure or build step included. The counts come
# from ctest's JUnit report, read with xmllint.
# A release build that fails counts once: the tests that need its exe
# (label release) are then counted as not run.
# ORVANE_WINE32=off runs as on a host without 32-bit Wine. Run it as
# yourself: only a missing package asks for root (scripts/as-user.sh).
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root" || exit 1
# shellcheck source=as-user.sh
source "$root/scripts/as-user.sh"
orvane_install_then_user "$root/scripts/test.sh" "$@" || exit 1
# shellcheck source=wine-env.sh
source "$root/scripts/wine-env.sh"

# Tests on Wine make their own X servers; keep them off the user's screen.
unset DISPLAY XAUTHORITY

passed=0 failed=0 skipped=0 notes=()
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
started=$SECONDS

# tests [CONDITION]: how many test cases of ctest's JUnit file meet the
# XPath condition; all of them without one. 0 when there is no such file.
tests() {
  xmllint --xpath "count(//testcase${1:+[$1]})" "$tmp/junit.xml" 2>/dev/null || echo 0
}

# listed PRESET [CTEST OPTION...]: how many tests the preset has (those the
# options select), from ctest's JSON listing.
listed() {
  ctest --preset "$@" --show-only=json-v1 >"$tmp/tests.json" || return
  printf '%s\n' "file(READ [[$tmp/tests.json]] list)" \
    'string(JSON count LENGTH "${list}" tests)' 'message("${count}")' \
    >"$tmp/count.cmake"
  cmake -P "$tmp/count.cmake" 2>&1 | grep -xE '[0-9]+'
}

run_win32=yes
if orvane_wine32_check; then
  echo "== Wine legs: win64 (64-bit prefix) and win32 (32-bit prefix)"
else
  run_win32=no
  echo "== Wine legs: win64 (64-bit prefix) only; win32 is built, not run: $ORVANE_WINE32_WHY"
fi

# The exes as released: each Wine leg runs the one of its architecture once
# more end to end.
release_failed=()
for preset in win32-release win64-release; do
  echo "== $preset: configure, build"
  if ! { cmake --preset "$preset" && cmake --build --preset "$preset" -j2; }; then
    echo "== $preset: build failed"
    failed=$((failed + 1))
    release_failed+=("${preset%-release}")
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
    count=$(listed "$preset")
    skipped=$((skipped + ${count:-0}))
    notes+=("== not run: the win32 leg (32-bit prefix), its ${count:-0} tests: $ORVANE_WINE32_WHY")
    continue
  fi
  leave_out=()
  if [[ " ${release_failed[*]} " = *" $preset "* ]]; then
    count=$(listed "$preset" -L release -FA '.*')  # not their fixtures, which run
    skipped=$((skipped + ${count:-0}))
    notes+=("== $preset: ${count:-0} tests of the released exe not run: its build failed (counted once, above)")
    leave_out=(-LE release)
  fi
  rm -f "$tmp/junit.xml"
  ctest --preset "$preset" "${leave_out[@]}" --output-junit "$tmp/junit.xml"
  ctest_status=$?
  # Each test case has a status: "run" (passed), "fail", "disabled", or
  # "notrun", which is a skip when the test skipped itself (its message
  # names SKIP_RETURN_CODE or SKIP_REGULAR_EXPRESSION) and a failure
  # otherwise (a required file or a fixture missing), as ctest counts them.
  total=$(tests)
  if [ "$total" -eq 0 ]; then
    echo "== $preset: ctest ran no tests"
    failed=$((failed + 1))
    continue
  fi
  ok=$(tests '@status="run"')
  self_skipped=$(tests '@status="notrun" and starts-with(skipped/@message, "SKIP_")')
  disabled=$(tests '@status="disabled"')
  bad=$((total - ok - self_skipped - disabled))
  passed=$((passed + ok))
  failed=$((failed + bad))
  skipped=$((skipped + self_skipped + disabled))
  if [ $((self_skipped + disabled)) -gt 0 ]; then
    notes+=("== $preset: $((self_skipped + disabled)) tests did not run (ctest lists them above)")
  fi
  if [ "$ctest_status" -ne 0 ] && [ "$bad" -eq 0 ]; then
    failed=$((failed + 1))  # ctest failed without a failing test
  fi
done

# step NAME COMMAND...: a test of its own beside the presets' ones.
step() {
  echo "== $1"
  if "${@:2}"; then
    passed=$((passed + 1))
  else
    echo "== $1: failed"
    failed=$((failed + 1))
  fi
}
# The benchmarks build and their helpers run, so that a change in the
# program cannot break them unnoticed (no timing: bench/run.sh does that).
step "bench: build, one short run" "$root/bench/run.sh" --check
# The install goes on past a failed apt-get update; as root only, and it
# changes nothing on the machine.
if [ "$(id -u)" -eq 0 ]; then
  step "install-deps on an imperfect registry" "$root/tests/install_deps.sh"
else
  skipped=$((skipped + 1))
  notes+=("== not run: tests/install_deps.sh, which needs root")
fi

echo "== took $(( (SECONDS - started) / 60 )) min $(( (SECONDS - started) % 60 )) s"
[ "${#notes[@]}" -eq 0 ] || printf '%s\n' "${notes[@]}"
echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
