#!/usr/bin/env bash
# Fails when a file includes a header of a layer above its own, or when the
# library layers include Qt. Layers, lowest first: integers; gf2; padic (2-adic
# arithmetic) and floats (side by side); curves over padic; engine; reports; cli and dialogs; app over dialogs.
# tests/<layer> may include what <layer> may, plus tests/support and itself.
set -uo pipefail
root="${1:-$(dirname "$0")/..}"
cd "$root" || exit 2

declare -A allowed=(
  [integers]="integers"
  [gf2]="integers gf2"
  [padic]="integers gf2 padic"
  [curves]="integers gf2 padic curves"
  [floats]="integers gf2 floats"
  [engine]="integers gf2 padic curves floats engine"
  [reports]="integers gf2 padic curves floats engine reports"
  [cli]="integers gf2 padic curves floats engine reports cli"
  [python]="integers gf2 padic curves floats engine reports python"
  [dialogs]="integers gf2 padic curves floats engine reports dialogs"
  [app]="integers gf2 padic curves floats engine reports dialogs app"
  [tests/support]="integers tests/support"
  [tests/gui]="integers gf2 padic curves floats engine reports dialogs app tests/support tests/gui"
  [tests/fuzz]="integers gf2 padic curves floats engine reports cli tests/fuzz"
)
for layer in integers gf2 padic curves floats engine reports cli; do
  allowed[tests/$layer]="${allowed[$layer]} tests/support tests/$layer"
done
for tools in integers/tools gf2/tools; do
  allowed[$tools]="${allowed[${tools%/tools}]}"
done
core="integers gf2 padic curves floats engine reports"

bad=0
for dir in "${!allowed[@]}"; do
  [[ -d "$dir" ]] || continue
  while IFS= read -r line; do
    file="${line%%:*}"
    rest="${line#*:}"
    target="${rest#*:}"
    target="${target#*\"}"
    target="${target%%\"*}"
    folder="${target%/*}"
    # Headers beside the file ("x.h") and system headers are not layers.
    [[ "$target" == */* ]] || continue
    ok=0
    for a in ${allowed[$dir]}; do
      [[ "$folder" == "$a" ]] && ok=1
    done
    if [[ $ok == 0 ]]; then
      echo "$file: includes $target, above its layer $dir"
      bad=1
    fi
  done < <(grep -Hn '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' \
             "$dir"/*.h "$dir"/*.cpp "$dir"/*.inc 2>/dev/null)
done

for dir in $core; do
  if grep -Hn '^[[:space:]]*#[[:space:]]*include[[:space:]]*<Q' "$dir"/*.h "$dir"/*.cpp 2>/dev/null; then
    echo "Qt included in the library layer $dir"
    bad=1
  fi
done

if [[ $bad == 0 ]]; then echo "layers: no upward include"; fi
exit $bad
