#!/usr/bin/env bash
# Fails when a menu or control name is spelt as a string literal outside the
# headers that declare it, listing every such place.
#
# The rule:
#  - menu and menu item names ("mnu..." and the one item that kept a
#    window's prefix) come only from src/base/menunames.h;
#  - every control name the control book is written or read with is declared
#    once in a names header of src/base/ (adjustnames.h, confignames.h,
#    connectionnames.h, diagnames.h, firmwarenames.h, infonames.h): no such
#    name - a constant's text, or an array's base followed by "_" - appears
#    as a literal anywhere else in src/, neither in the writers nor in the
#    panels that create the widgets;
#  - no control book call passes a literal as the control's name, so a new
#    name cannot bypass the headers.
# Names only a panel itself uses (its buttons, captions, frames) are not
# covered. Comments are not searched.
set -euo pipefail
cd "$(dirname "$0")/.."

sources() {
  find src -name '*.h' -o -name '*.cpp' | sort \
    | grep -v -E '^src/base/(menu|window|control|adjust|config|connection|diag|firmware|info)names\.h$'
}
# file:line:text with the // comments cut off.
code=$(sources | xargs awk '{ sub(/[ \t]*\/\/.*$/, ""); print FILENAME ":" FNR ":" $0 }')

headers=(src/base/adjustnames.h src/base/confignames.h src/base/connectionnames.h src/base/diagnames.h
         src/base/firmwarenames.h src/base/infonames.h)
names=$(grep -h -o -E 'QStringLiteral\("[A-Za-z0-9_]+"\)' "${headers[@]}" | sed -E 's/.*\("(.*)"\)/\1/' | sort -u | paste -sd '|')
bases=$(grep -h -o -E 'element\(u"[A-Za-z0-9_]+"' "${headers[@]}" | sed -E 's/.*u"(.*)"/\1/' | sort -u | paste -sd '|')

bad=""
add() { if [ -n "$2" ]; then bad+="$1"$'\n'"$2"$'\n'; fi; }
add "Menu names spelt as literals (declare them in src/base/menunames.h):" \
  "$(grep -E ':[0-9]+:.*"(mnu[A-Z][A-Za-z0-9]*|frmDiagnosticsDeflectionStatus)"' <<<"$code" || true)"
add "Control names spelt as literals (use the constants of the names headers):" \
  "$(grep -E ":[0-9]+:.*(\"($names)\"|\"($bases)(_|\"))" <<<"$code" || true)"
add "Control book calls with a literal control name:" \
  "$(grep -E ':[0-9]+:.*\b[A-Za-z_]*(controls|book)\s*\.\s*(set(Enabled|Visible|Text|Color|Checked|Value)|clearValue|enabled|visible|text|color|checked|value|isEnabled|entryOf)\([^,;]*,\s*(QStringLiteral|QLatin1String|QString::fromLatin1\(|u?")' <<<"$code" || true)"

if [ -n "$bad" ]; then
  printf '%s' "$bad" >&2
  exit 1
fi
echo "names: every menu name and every control name the book uses comes from its header"
