#!/usr/bin/env bash
# Fails when a source file includes a header of a folder above its own or of a sibling window
# folder: the folders depend one way (app -> windows -> ui -> core -> system; the tool on ui and
# system only; the guard program on core and system), so that each can be read, built and tested
# with only what lies below it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

# What each folder may include besides itself (resources/ is open to all).
declare -A allowed=(
  [system]=""
  [core]="system"
  [ui]="core system"
  [lockscreen]="ui core system"
  [cover]="ui core system"
  [configui]="ui core system"
  [tray]="ui core system"
  [tool]="ui system"
  [service]="system"
  [guard]="core system"
  [app]="lockscreen cover configui tray ui core system"
)

bad=0
cd "$root"
for from in "${!allowed[@]}"; do
  [ -d "$from" ] || continue
  while IFS=: read -r file line target; do
    to=${target%%/*}
    [ "$to" = "$from" ] || [ "$to" = resources ] && continue
    # Only our own folders count; other quoted includes (none today) are not checked.
    [ -n "${allowed[$to]+x}" ] || continue
    case " ${allowed[$from]} " in *" $to "*) continue ;; esac
    echo "$file:$line: includes $target, but $from/ may include only: ${allowed[$from]:-nothing}" >&2
    bad=1
  done < <(grep -HnoE '^[[:space:]]*#[[:space:]]*include[[:space:]]+"[^"]+"' --include='*.h' --include='*.cpp' -r "$from" |
           sed -E 's/#[[:space:]]*include[[:space:]]+"([^"]+)"/\1/; s/:[[:space:]]*/:/2')
done
if [ "$bad" -ne 0 ]; then
  echo "include check: a folder reaches up or sideways (see above)" >&2
  exit 1
fi
echo "include check: every folder includes only itself and the folders below it"
