#!/usr/bin/env bash
# scripts/install-deps.sh on an imperfect registry, as root (from test.sh),
# changing nothing: apt has a configuration and lists of its own (APT_CONFIG)
# and only simulates, on a copy of dpkg's database without xauth.
#   1. One source out of reach fails apt-get update: xauth is installed.
#   2. No source at all: the install fails, naming xauth and why.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
[ "$(id -u)" -eq 0 ] || { echo "install_deps: SKIP, needs root"; exit 77; }
tmp=$(mktemp -d)
chmod 755 "$tmp"  # apt fetches as _apt
trap 'rm -rf "$tmp"' EXIT
fail() { echo "install_deps: FAIL: $*"; sed 's/^/  | /' "$tmp/out"; exit 1; }

export DPKG_ADMINDIR=$tmp/dpkg
mkdir -p "$DPKG_ADMINDIR/updates" "$tmp/lists/partial" "$tmp/cache/archives/partial" "$tmp/none"
cp /var/lib/dpkg/arch "$DPKG_ADMINDIR/"
awk -v RS= -v ORS='\n\n' '!/^Package: xauth\n/' /var/lib/dpkg/status >"$DPKG_ADMINDIR/status"
echo 'deb [trusted=yes] file:/nonexistent/orvane-test ./' >"$tmp/unreachable.list"
cat /etc/apt/sources.list "$tmp/unreachable.list" >"$tmp/system.list" 2>/dev/null ||
  cp "$tmp/unreachable.list" "$tmp/system.list"

# install LIST PARTS: with these sources; output in $tmp/out, status $status.
install() {
  cat >"$tmp/apt.conf" <<EOF
Dir::State::status "$DPKG_ADMINDIR/status";
Dir::State::lists "$tmp/lists/";
Dir::Cache "$tmp/cache/";
Dir::Etc::sourcelist "$1";
Dir::Etc::sourceparts "$2";
APT::Get::Simulate "true";
EOF
  status=0
  APT_CONFIG=$tmp/apt.conf "$root/scripts/install-deps.sh" >"$tmp/out" 2>&1 || status=$?
}

install "$tmp/system.list" /etc/apt/sources.list.d
[ "$status" -eq 0 ] || fail "a failed apt-get update ended the install (status $status)"
grep -q '^Inst xauth ' "$tmp/out" || fail "xauth was not installed"

rm -rf "$tmp/lists" && mkdir -p "$tmp/lists/partial"
install "$tmp/unreachable.list" "$tmp/none"
[ "$status" -ne 0 ] || fail "the install succeeded without any package source"
grep -qE '^install-deps: cannot install xauth: no package source offers it' "$tmp/out" ||
  fail "the failure does not say which package and why"
echo "install_deps: PASS"
