#!/usr/bin/env bash
# Checks that the tool's folders include one another in one direction only:
# each folder may include folders later in the order below (and the
# framework), never one earlier or on the same level. Prints every include
# that breaks the order and exits 1 if there is one.
#
#   scripts/check-includes.sh [SOURCE_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
app=${1:-$root/source/applications/vexilon_gpu}

# Level of each folder: a lower level may include a higher one.
declare -A level=(
  [driver]=0 [probe]=1 [legacy]=1 [report]=2 [enumeration]=3 [gpu]=4 [compute]=5 [sysinfo]=5 [vulkan]=5 [wmi]=6
)

bad=0
for folder in "${!level[@]}"; do
  [ -d "$app/$folder" ] || continue
  while IFS= read -r hit; do
    file=${hit%%:*}
    target=$(sed -E 's/.*#include "([^/"]+)\/.*/\1/' <<<"${hit#*:}")
    [ "$target" != "$folder" ] || continue
    [ -n "${level[$target]+set}" ] || continue  # the framework and generated files
    if [ "${level[$target]}" -le "${level[$folder]}" ]; then
      echo "check-includes: ${file#"$app"/} includes $target/ (${folder}/ may include only folders later in the order)"
      bad=1
    fi
  done < <(grep -HE '^[[:space:]]*#[[:space:]]*include "[^/"]+/' "$app/$folder"/* || true)
done
# Every folder of the tool must have a place in the order.
for dir in "$app"/*/; do
  name=$(basename "$dir")
  if [ -z "${level[$name]+set}" ]; then
    echo "check-includes: folder $name/ has no place in the include order"
    bad=1
  fi
done
[ "$bad" -eq 0 ] && echo "check-includes: includes run one way"
exit "$bad"
