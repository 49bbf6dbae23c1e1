#!/usr/bin/env bash
# Installs the Debian packages of the groups named (build, test) that are
# missing, from the one list in tools/packages.txt. Needs root (or sudo)
# only when something is missing.
set -euo pipefail
list="$(dirname "$0")/packages.txt"
[ $# -gt 0 ] || { echo "usage: $0 build|test ..." >&2; exit 2; }

wanted=""
for group in "$@"; do
  line=$(grep -E "^${group}:" "$list" || true)
  [ -n "$line" ] || { echo "$0: no package group '$group' in $list" >&2; exit 2; }
  wanted="$wanted ${line#*:}"
done

missing=""
for p in $wanted; do
  dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"
done
[ -n "$missing" ] || exit 0

echo "Installing:$missing"
run=""
if [ "$(id -u)" != 0 ]; then
  command -v sudo >/dev/null || { echo "$0: run as root to install:$missing" >&2; exit 1; }
  run="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$run apt-get update -qq >/dev/null
$run apt-get install -y -qq $missing >/dev/null
