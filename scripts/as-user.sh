# shellcheck shell=bash
# Sourced by run.sh and test.sh. Installing packages is the one step that
# needs root; the build tree and the Wine prefixes stay the user's, since a
# later build as the user fails on a root-owned build/, and sudo's HOME
# would put the sandbox under root's home.
#
# orvane_install_then_user SCRIPT [ARG...]: makes sure the packages are
# there (scripts/install-deps.sh), then goes on as the user:
#   - a user: install-deps.sh only checks; when something is missing, it
#     runs once more through sudo, which asks for the password on one line;
#   - root started from sudo: installs, then starts SCRIPT ARG... again as
#     the user who called sudo (when that user may write the checkout),
#     handing back a build/ an earlier run as root left;
#   - root otherwise (CI, a machine that works as root): all of it as root.
orvane_install_then_user() {
  local script=$1 root deps
  shift
  root=$(cd "$(dirname "$script")/.." && pwd)
  deps=$root/scripts/install-deps.sh
  if [ "$(id -u)" -ne 0 ]; then
    "$deps" && return
    if ! command -v sudo >/dev/null; then
      echo "$(basename "$script"): no sudo here; as root run $deps, then this again" >&2
      return 1
    fi
    echo "$(basename "$script"): installing the missing packages as root: sudo $deps"
    sudo "$deps"
    return
  fi
  "$deps" || return
  if [ -n "${SUDO_USER:-}" ] && [ "$SUDO_USER" != root ] &&
     runuser -u "$SUDO_USER" -- test -w "$root"; then
    if [ -e "$root/build" ] && [ "$(stat -c %U "$root/build")" != "$SUDO_USER" ]; then
      echo "$(basename "$script"): build/ handed to $SUDO_USER, who builds from here on"
      chown -R "$SUDO_USER:" "$root/build"
    fi
    echo "$(basename "$script"): the packages are there; the rest runs as $SUDO_USER"
    exec runuser -u "$SUDO_USER" -- "$script" "$@"
  fi
}
