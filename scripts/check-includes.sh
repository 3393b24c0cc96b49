#!/usr/bin/env bash
# Fails when a subsystem includes a header of one it must not depend on.
# Dependencies point one way: platform/ depends on nothing of ours, ui/ on
# platform/, capture/ on platform/ and ui/'s resource ids, library/ on all
# three, app/ on everything. Tests and benchmarks may include anything.
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A allowed=(
  [platform]="platform"
  [ui]="ui platform"
  [capture]="capture ui platform"
  [library]="library capture ui platform"
  [app]="app library capture ui platform"
)

status=0
for subsystem in "${!allowed[@]}"; do
  while IFS=: read -r file line text; do
    target=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^/"]+)\/.*/\1/' <<<"$text")
    if [[ " ${allowed[$subsystem]} " != *" $target "* ]]; then
      echo "$file:$line: $subsystem/ must not include $target/: $text" >&2
      status=1
    fi
  done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^/"]+/' "$subsystem" \
             --include='*.h' --include='*.cpp' || true)
done
[ "$status" -eq 0 ] && echo "includes point one way"
exit "$status"
