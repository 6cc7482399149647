#!/usr/bin/env bash
# Fails when a menu name is spelt as a string literal in src/ outside the
# header that declares the menu names (src/base/menunames.h). Every menu and
# menu item is named there once; the menu table, the shell and the reply
# handlers use those constants.
set -euo pipefail
cd "$(dirname "$0")/.."
bad=$(grep -rn -E '"(mnu[A-Z]|frmDiagnosticsDeflectionStatus")' src --include='*.h' --include='*.cpp' \
  | grep -v '^src/base/menunames\.h:' || true)
if [ -n "$bad" ]; then
  echo "Menu names spelt as literals outside src/base/menunames.h:" >&2
  echo "$bad" >&2
  exit 1
fi
echo "names: every menu name comes from its header"
