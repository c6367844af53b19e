#!/usr/bin/env bash
# pristine.sh create|remove PATH: makes afresh, or removes, the pristine
# prefix that the end-to-end tests copy (see lib.sh).
set -euo pipefail
action=$1 path=$2
case $action in
  create)
    rm -rf "$path"
    ORVANE_E2E_PRISTINE=$path
    export ORVANE_E2E_PRISTINE
    # shellcheck source=lib.sh
    source "$(dirname "$0")/lib.sh"
    e2e_pristine >/dev/null ;;
  remove)
    WINEPREFIX=$path timeout 30 wineserver -k 2>/dev/null || true
    rm -rf "$path" "$path.lock" ;;
  *) echo "usage: $0 create|remove PATH" >&2; exit 2 ;;
esac
