#!/usr/bin/env bash
# Checks that the source folders are layers with arrows only downward:
# core/ includes nothing outside core/ and no Qt, OpenGL or window-system
# header; views/ includes core/ and views/ only; app/ may include all three.
# Usage: tools/check-layers.sh [ROOT]   (default: the repository)
set -u
root=${1:-$(dirname "$0")/..}
cd "$root" || exit 2

allowed_for() {
  case "$1" in
    core) echo "core" ;;
    views) echo "core views" ;;
    app) echo "core views app" ;;
  esac
}

include_pattern='^[[:space:]]*#[[:space:]]*include[[:space:]]*(["<])([^">]+)[">]'
violations=0
report() { echo "$1:$2: $3"; violations=$((violations + 1)); }

for layer in core views app; do
  [ -d "$layer" ] || continue
  allowed=$(allowed_for "$layer")
  while IFS= read -r file; do
    line_no=0
    while IFS= read -r line; do
      line_no=$((line_no + 1))
      [[ $line =~ $include_pattern ]] || continue
      kind=${BASH_REMATCH[1]} header=${BASH_REMATCH[2]}
      if [ "$kind" = '"' ]; then
        top=${header%%/*}
        [ "$top" = "$header" ] && { report "$file" "$line_no" "include \"$header\" names no folder"; continue; }
        [[ " $allowed " == *" $top "* ]] || report "$file" "$line_no" "$layer/ may not include \"$header\""
      elif [ "$layer" = core ] && [[ $header =~ ^(Q|GL/|EGL/|X11/|xcb/) ]]; then
        report "$file" "$line_no" "core/ may not include <$header>"
      fi
    done <"$file"
  done < <(find "$layer" -type f \( -name '*.h' -o -name '*.cpp' \) | sort)
done

if [ "$violations" -ne 0 ]; then
  echo "$violations include(s) against the layers"
  exit 1
fi
echo "layers hold: core <- views <- app"
