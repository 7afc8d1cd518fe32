#!/usr/bin/env bash
# Dependencies point down: the calculation folders see no window or workflow
# code, and no two folders under src/ include each other. ui/qt counts as a
# folder of its own (the Qt layer above the workflow).
set -euo pipefail
cd "$(dirname "$0")/../src"

folder() {  # folder of a path below src/
  case "$1" in
    ui/qt/*) echo ui/qt ;;
    *) echo "${1%%/*}" ;;
  esac
}

edges=$(
  grep -rHo '^#include "[^"]*"' --include='*.h' --include='*.cpp' . | sed 's#^\./##' |
    while IFS=: read -r file inc; do
      target=${inc#\#include \"}; target=${target%\"}
      [ -e "$target" ] || continue  # a header of a library
      from=$(folder "$file"); to=$(folder "$target")
      if [ "$from" != "$to" ]; then echo "$from $to $file $target"; fi
    done | sort -u
)

status=0
calc="state db base catalogue properties engines"
while read -r from to file target; do
  [ -z "$from" ] && continue
  for c in $calc; do
    if [ "$from" = "$c" ] && { [ "$to" = ui ] || [ "$to" = ui/qt ] || [ "$to" = workflow ] ||
                               [ "$to" = driver ] || [ "$to" = sheet ] || [ "$to" = batch ] ||
                               [ "$to" = app ]; }; then
      echo "calculation folder $from includes $to: $file -> $target"; status=1
    fi
  done
  if [ "$from" = base ]; then echo "base includes $to: $file -> $target"; status=1; fi
done <<< "$edges"

pairs=$(awk '{print $1, $2}' <<< "$edges" | sort -u)
while read -r a b; do
  [ -z "$a" ] && continue
  if grep -qx "$b $a" <<< "$pairs" && [[ "$a" < "$b" ]]; then
    echo "folders include each other: $a <-> $b"
    grep -E "^($a $b|$b $a) " <<< "$edges" | awk '{print "  " $3 " -> " $4}'
    status=1
  fi
done <<< "$pairs"

[ $status -eq 0 ] && echo "include rules hold"
exit $status
