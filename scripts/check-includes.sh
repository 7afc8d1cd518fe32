#!/usr/bin/env bash
# The layering itself is held by the build: every folder of src/ is a library
# (phe_layer in CMakeLists.txt) that sees only the headers of the layers it
# names. This checks what the compiler cannot see:
# - an include that climbs out of its folder ("../x.h") or names a header by a
#   path relative to the including file, which bypasses the include roots;
# - a folder of src/ that is not declared a layer;
# - a core folder that includes a Qt folder (ui/qt, sheet/qt) header that
#   happens not to need Qt itself.
set -euo pipefail
cd "$(dirname "$0")/.."
status=0

while IFS=: read -r file line inc; do
  target=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]*)".*/\1/' <<< "$inc")
  case "$target" in
    ../*|./*|*/../*) echo "relative include: $file:$line $target"; status=1; continue ;;
  esac
  [ -e "src/$target" ] || { [ -e "$(dirname "$file")/$target" ] &&
    { echo "include relative to its file: $file:$line $target"; status=1; }; continue; }
  from=${file#src/}
  case "$from" in ui/qt/*|sheet/qt/*|app/*) continue ;; esac
  case "$target" in
    ui/qt/*|sheet/qt/*) echo "core folder includes a Qt folder: $file:$line $target"; status=1 ;;
  esac
done < <(grep -rHnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' --include='*.h' --include='*.cpp' src)

for dir in $(cd src && find . -name '*.cpp' -printf '%h\n' | sed 's#^\./##' | sort -u); do
  [ "$dir" = app ] && continue
  grep -qE "phe_layer\\($dir( |\\))" CMakeLists.txt ||
    { echo "src/$dir is not a layer in CMakeLists.txt"; status=1; }
done

[ $status -eq 0 ] && echo "include rules hold"
exit $status
