#!/usr/bin/env bash
# Fails when a library includes a header of a folder it may not use (the
# "may use" column of the design).  CMake keeps the link lines honest; this
# catches header-only uses (a struct, an inline function) that no link sees.
set -euo pipefail
cd "$(dirname "$0")/.."
declare -A may=(
  [core]=""
  [platform]="core"
  [mtext]="core"
  [highlight]="core mtext"
  [editor]="core"
  [menus]="core mtext platform"
  [tools]="core mtext platform"
  [spell]="core mtext highlight editor platform"
  [dxf]="core mtext"
  [app]="core platform mtext highlight editor menus tools spell dxf"
)
status=0
for folder in "${!may[@]}"; do
  [[ -d $folder ]] || continue
  allowed=" $folder ${may[$folder]} "
  while IFS= read -r hit; do
    file=${hit%%:*}
    used=$(sed -E 's/.*#include "([a-z]+)\/.*/\1/' <<<"${hit#*:}")
    if [[ $allowed != *" $used "* ]]; then
      echo "layer violation: $file includes $used/ (${folder}/ may use:${may[$folder]:- nothing of ours})"
      status=1
    fi
  done < <(grep -HnoE '#include "[a-z]+/[^"]+"' "$folder"/*.h "$folder"/*.cpp 2>/dev/null | cut -d: -f1,3)
  # Bare includes would bypass the one spelling per header.
  if grep -HnE '#include "[^/"]+\.h"' "$folder"/*.h "$folder"/*.cpp 2>/dev/null; then
    echo "include headers by their path from the repository root (\"$folder/...\")"
    status=1
  fi
done
exit $status
