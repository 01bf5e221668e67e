#!/usr/bin/env bash
# The command line: version, help, usage errors and the structure-file round trip.
set -u
kestro=$1
golden=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() { # description, expected status, command...
  local what=$1 want=$2; shift 2
  "$@" >"$work/out" 2>"$work/err"
  local got=$?
  if [ "$got" -ne "$want" ]; then
    echo "FAIL: $what: exit $got, expected $want"; cat "$work/err"; failures=$((failures + 1))
  fi
}
check "--version" 0 "$kestro" --version
grep -q "^kestro " "$work/out" || { echo "FAIL: --version prints no version"; failures=$((failures + 1)); }
check "--help" 0 "$kestro" --help
check "unknown option" 2 "$kestro" --frobnicate
check "convert without output" 2 "$kestro" convert "$golden"
check "convert" 0 "$kestro" convert "$golden" -o "$work/out.kes"
cmp -s "$golden" "$work/out.kes" || { echo "FAIL: convert changed the file"; failures=$((failures + 1)); }
check "convert onto an existing file without --yes" 1 "$kestro" convert "$golden" -o "$work/out.kes"
grep -q "This file already exists" "$work/err" || { echo "FAIL: no overwrite question"; failures=$((failures + 1)); }
check "convert onto an existing file with --yes" 0 "$kestro" convert "$golden" -o "$work/out.kes" --yes
printf '#Title\r\nbroken\r\n' >"$work/broken.kes"
check "convert of a truncated file" 1 "$kestro" convert "$work/broken.kes" -o "$work/b.kes"
grep -q "Read beyond end of file" "$work/err" || { echo "FAIL: truncation not reported"; failures=$((failures + 1)); }
[ ! -e "$work/b.kes" ] || { echo "FAIL: a failed convert wrote a file"; failures=$((failures + 1)); }
check "convert of a missing file" 1 "$kestro" convert "$work/none.kes" -o "$work/c.kes"
example=$3
check "cell contents" 0 "$kestro" convert "$example" -o "$work/cell.kes" --enclosure cell
# Rutile: Ti at the corners and the centre (9), O inside and on two faces (6).
grep -A1 "^#Generated atoms" "$work/cell.kes" | tail -1 | tr -d '\r' | grep -qx 15 \
  || { echo "FAIL: rutile cell contents is not 15 atoms"; failures=$((failures + 1)); }
check "sphere around Ti" 0 "$kestro" convert "$example" -o "$work/s.kes" --positions all \
  --enclosure sphere --radius 3 --centre 0,0,0 --cut yes
# Ti, its two neighbours along c and six O at 1.95-1.98 A.
grep -A1 "^#Generated atoms" "$work/s.kes" | tail -1 | tr -d '\r' | grep -qx 9 \
  || { echo "FAIL: rutile sphere is not 9 atoms"; failures=$((failures + 1)); }
check "empty sphere" 1 "$kestro" convert "$example" -o "$work/e.kes" --positions all \
  --enclosure sphere --radius 0.1 --centre 0.25,0.25,0.25 --cut yes
grep -q "No data" "$work/err" || { echo "FAIL: no 'No data'"; failures=$((failures + 1)); }
check "positions out of range" 2 "$kestro" convert "$example" -o "$work/p.kes" --positions 1,99
check "bad enclosure" 2 "$kestro" convert "$example" -o "$work/p.kes" --enclosure cube
check "bad box" 2 "$kestro" convert "$example" -o "$work/p.kes" --enclosure box --box 1,2
echo "$((23 - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
