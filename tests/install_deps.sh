#!/usr/bin/env bash
# scripts/install-deps.sh on an imperfect package registry, as root (run by
# scripts/test.sh). Nothing on the machine changes: apt reads a configuration
# of its own (APT_CONFIG) with package lists of its own, and only simulates
# the install, against a copy of dpkg's database (DPKG_ADMINDIR) in which
# xauth is missing.
#   1. One extra package source cannot be had, so apt-get update fails: the
#      install goes on, and xauth is installed from the other sources.
#   2. No source at all: the install fails, and names xauth and why.
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

# install LIST PARTS: install-deps.sh with these sources; its output in
# $tmp/out, its status in $status.
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
