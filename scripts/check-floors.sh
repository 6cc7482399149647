#!/usr/bin/env bash
# Fails when a source file includes a header from a higher floor. The floors,
# bottom-up: base, protocol, link, model, firmware, core, panels, app. A file
# may include headers of its own floor and of the floors below it.
set -euo pipefail
cd "$(dirname "$0")/.."
bad=$(grep -rn -E '^\s*#\s*include\s*"[a-z]+/' src --include='*.h' --include='*.cpp' | awk -F: '
  BEGIN { n = split("base protocol link model firmware core panels app", o, " "); for (i = 1; i <= n; i++) f[o[i]] = i }
  { split($1, p, "/"); from = p[2]; match($0, /"[a-z]+\//); to = substr($0, RSTART + 1, RLENGTH - 2)
    if (!(from in f)) { print $1 ": folder " from " is not a floor"; next }
    if (!(to in f)) { print $1 ":" $2 ": includes " to ", which is not a floor"; next }
    if (f[to] > f[from]) print $1 ":" $2 ": " from " includes " to }')
if [ -n "$bad" ]; then
  echo "Includes that run from a lower floor to a higher one:" >&2
  echo "$bad" >&2
  exit 1
fi
echo "floors: every include runs down or level"
