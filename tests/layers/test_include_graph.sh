#!/usr/bin/env bash
# The core folders include only themselves and the folders below them:
#   model <- crystal <- formats, drawing <- analysis, output <- forms
# and never Qt. The link of each folder's library alone checks the calls;
# this checks the includes, inline code included.
#   test_include_graph.sh SOURCE_DIR
set -uo pipefail
src="$1/src"
declare -A allowed=(
  [model]="model"
  [crystal]="model crystal"
  [formats]="model crystal formats"
  [drawing]="model crystal drawing"
  [analysis]="model crystal drawing analysis"
  [output]="model crystal drawing output"
  [forms]="model crystal formats drawing analysis output forms"
)
failures=0
for folder in "${!allowed[@]}"; do
  while IFS=: read -r file line include; do
    target="$(sed -E 's/.*#include "([a-z_]+)\/.*/\1/' <<< "$include")"
    case " ${allowed[$folder]} " in
      *" $target "*) ;;
      *) echo "FAIL: $file:$line includes $target/ (a $folder file may include ${allowed[$folder]})"
         failures=$((failures + 1)) ;;
    esac
  done < <(grep -nE '^#include "[a-z_]+/' "$src/$folder"/*.h "$src/$folder"/*.cpp)
  if grep -lE '^#include <Q' "$src/$folder"/*.h "$src/$folder"/*.cpp; then
    echo "FAIL: Qt included in $folder/"; failures=$((failures + 1))
  fi
done
for folder in model crystal formats drawing analysis output forms; do
  printf '%s ->' "$folder"
  grep -hoE '^#include "[a-z_]+/' "$src/$folder"/*.h "$src/$folder"/*.cpp | sed -E 's/#include "//; s/\///' |
    sort -u | grep -v "^$folder$" | tr '\n' ' ' | sed 's/^/ /'
  echo
done
[ "$failures" -eq 0 ]
