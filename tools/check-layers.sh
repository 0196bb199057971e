#!/usr/bin/env bash
# Fails when a folder includes a header of a folder it must not build on: the layers of the README's
# layout table, where data flows one way and the toolkit knows nothing of the project.
set -euo pipefail
cd "$(dirname "$0")/.."

# folder: the project folders its sources may include from (besides itself).
declare -A allowed=(
  [util]=""
  [system]="util"
  [config]="util"
  [archive]="system util"
  [toolkit]=""
  [setup]="config archive system util toolkit"
  [engine]="config system util"
  [wizard]="engine config system util toolkit"
  [install]="setup wizard engine config archive system util toolkit"
  # engine/ only for the uninstall record; toolkit/ only for the program's window
  [uninstall]="engine config system util toolkit"
)
layers="util system config archive toolkit setup engine wizard install uninstall tools tests bench"

status=0
for folder in "${!allowed[@]}"; do
  while IFS=: read -r file line text; do
    target=$(sed -E 's|.*#include "([^/]+)/.*|\1|' <<<"$text")
    [ "$target" = "$folder" ] && continue
    case " $layers " in *" $target "*) ;; *) continue ;; esac
    case " ${allowed[$folder]} " in
    *" $target "*) ;;
    *) echo "$file:$line: $folder/ must not include $target/: $text"; status=1 ;;
    esac
  done < <(git grep -n -E '^#include "[a-z]+/' -- "$folder/" || true)
done
exit $status
