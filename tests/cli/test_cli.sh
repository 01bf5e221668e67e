#!/usr/bin/env bash
# The command line: version, help, usage errors and the structure-file round trip.
set -u
kestro=$(realpath "$1")
golden=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
total=0
check() { # description, expected status, command...
  local what=$1 want=$2; shift 2
  total=$((total + 1))
  "$@" >"$work/out" 2>"$work/err"
  local got=$?
  if [ "$got" -ne "$want" ]; then
    echo "FAIL: $what: exit $got, expected $want"; cat "$work/err"; failures=$((failures + 1))
  fi
}
check "--version" 0 "$kestro" --version
grep -q "^kestro " "$work/out" || { echo "FAIL: --version prints no version"; failures=$((failures + 1)); }
check "--help" 0 "$kestro" --help
# Each command's help: its own usage and options, not the other commands'.
for command in render convert print metafile report povray thumbnail; do
  check "$command --help" 0 "$kestro" $command --help
  grep -q "^usage: kestro $command " "$work/out" || { echo "FAIL: $command --help: no usage line"; failures=$((failures + 1)); }
done
check "report -h" 0 "$kestro" report geometry -h
grep -q -- "--atom N" "$work/out" || { echo "FAIL: report --help lacks --atom"; failures=$((failures + 1)); }
check "povray --help" 0 "$kestro" povray --help
grep -q -- "--size PIXELS" "$work/out" && ! grep -q -- "--box SX" "$work/out" && ! grep -q "kestro render" "$work/out" ||
  { echo "FAIL: povray --help shows other commands' options"; failures=$((failures + 1)); }
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
# A record number that names nothing is refused by every command, with no output.
sed 's/^   1   2   2   1.250/   1 900000000   2   1.250/' "$golden" >"$work/badbond.kes"
for command in "report distances" render convert; do
  case $command in render) out=bad.png ;; convert) out=bad2.kes ;; *) out=bad.txt ;; esac
  check "$command of a bond to no atom" 1 "$kestro" $command "$work/badbond.kes" -o "$work/$out"
  grep -q "Line 43: bond 2 joins atom 900000000, but the file has 2 generated atoms" "$work/err" \
    || { echo "FAIL: $command: the bad bond is not named"; failures=$((failures + 1)); }
  [ ! -e "$work/$out" ] || { echo "FAIL: $command of a bad file wrote $out"; failures=$((failures + 1)); }
done
example=$(realpath "$3")

# The thumbnail: the size asked, nothing written beside it (a CIF's summary
# included), exit 1 and no picture for a file it cannot read.
mkdir -p "$work/thumbs"
printf 'data_t\n_cell_length_a 5\n_cell_length_b 5\n_cell_length_c 5\n_cell_angle_alpha 90\n_cell_angle_beta 90\n_cell_angle_gamma 90\nloop_\n_symmetry_equiv_pos_as_xyz\nx,y,z\nloop_\n_atom_site_label\n_atom_site_fract_x\n_atom_site_fract_y\n_atom_site_fract_z\nC1 0.1 0.1 0.1\nC2 0.3 0.1 0.1\n' > "$work/t.cif"
cd "$work/thumbs" || exit 1
check "thumbnail" 0 "$kestro" thumbnail "$work/t.cif" "$work/thumbs/t.png" 96
cd - > /dev/null || exit 1
file "$work/thumbs/t.png" | grep -q "96 x 96" || { echo "FAIL: thumbnail is not 96 x 96"; failures=$((failures + 1)); }
[ "$(ls "$work/thumbs")" = "t.png" ] || { echo "FAIL: thumbnail wrote beside it: $(ls "$work/thumbs")"; failures=$((failures + 1)); }
printf 'data_t\n' > "$work/bad.cif"
check "thumbnail of an unreadable file" 1 "$kestro" thumbnail "$work/bad.cif" "$work/thumbs/bad.png"
[ ! -e "$work/thumbs/bad.png" ] || { echo "FAIL: a thumbnail of an unreadable file"; failures=$((failures + 1)); }
check "thumbnail without output" 2 "$kestro" thumbnail "$work/t.cif"

# A batch: every input into the folder, a failure reported and passed over,
# one JSON line per input, exit 1 as one failed.
check "batch render" 1 "$kestro" render "$golden" "$work/bad.cif" "$example" -o "$work/batch/" --format jpg \
  --report "$work/batch.jsonl" --size 64
[ -s "$work/batch/golden.jpg" ] && [ -s "$work/batch/$(basename "$example" .kes).jpg" ] ||
  { echo "FAIL: batch render: pictures missing: $(ls "$work/batch")"; failures=$((failures + 1)); }
[ "$(grep -c '"status": "ok"' "$work/batch.jsonl")" = 2 ] && [ "$(grep -c '"status": "failed"' "$work/batch.jsonl")" = 1 ] ||
  { echo "FAIL: batch report:"; cat "$work/batch.jsonl"; failures=$((failures + 1)); }
grep -q '"file": ".*bad.cif", "status": "failed", "message": ".\+", "atoms": 0' "$work/batch.jsonl" ||
  { echo "FAIL: batch report of the failure:"; cat "$work/batch.jsonl"; failures=$((failures + 1)); }
grep -q "bad.cif: " "$work/err" || { echo "FAIL: batch: no line for the failure"; failures=$((failures + 1)); }
# On two threads: the report in the order of the inputs; of two inputs with
# one picture name the second is drawn only when the first made nothing.
mkdir -p "$work/dup" && cp "$golden" "$work/dup/golden.kes" && cp "$work/t.cif" "$work/dup/bad.cif"
check "batch on two threads" 1 "$kestro" render "$golden" "$work/bad.cif" "$work/dup/golden.kes" "$work/dup/bad.cif" \
  "$example" -o "$work/batch3/" --size 32 --jobs 2 --report "$work/batch3.jsonl"
[ "$(sed 's/^{"file": "\([^"]*\)", "status": "\([a-z]*\)".*/\1 \2/' "$work/batch3.jsonl" | tr '\n' ' ')" = \
  "$golden ok $work/bad.cif failed $work/dup/golden.kes failed $work/dup/bad.cif ok $example ok " ] &&
  grep -q "golden.png is the picture of $golden" "$work/batch3.jsonl" ||
  { echo "FAIL: batch on two threads:"; cat "$work/batch3.jsonl"; failures=$((failures + 1)); }
check "jobs of a single render" 2 "$kestro" render "$golden" -o "$work/j.png" --jobs 2
check "batch render, all good" 0 "$kestro" render "$golden" -o "$work/batch2/" --size 64
check "several files need a folder" 2 "$kestro" render "$golden" "$example" -o "$work/x.png"
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
# Foreign formats, by extension; the readers' reports land in the work folder.
cd "$work"
check "unknown input extension" 2 "$kestro" convert "$work/x.xyz" -o "$work/x.kes"
check "unknown output extension" 2 "$kestro" convert "$golden" -o "$work/x.txt"
check "missing CIF" 1 "$kestro" convert "$work/none.cif" -o "$work/none.kes"
grep -q "none.cif" "$work/err" || { echo "FAIL: the missing CIF is not named"; failures=$((failures + 1)); }
printf 'data_empty\n_cell_length_a 5\n' >"$work/empty.cif"
check "CIF without symmetry or atoms" 1 "$kestro" convert "$work/empty.cif" -o "$work/empty.kes"
[ ! -e "$work/empty.kes" ] || { echo "FAIL: a refused CIF wrote a file"; failures=$((failures + 1)); }
# The orientation dialog and the mask window on the command line.
check "render along a with O hidden" 0 "$kestro" render "$example" -o "$work/o.svg" --enclosure cell \
  --orient "Z=[1,0,0]" --orient "X=[0,1,0]" --mask O
check "render with perpendicular axes refused" 1 "$kestro" render "$example" -o "$work/r.png" --enclosure cell \
  --orient "X=[1,0,0]" --orient "Y=[1,1,0]"
grep -q "Error! The vectors are not perpendicular" "$work/err" || { echo "FAIL: no refusal"; failures=$((failures + 1)); }
check "render masking a missing element" 1 "$kestro" render "$example" -o "$work/m.png" --mask Na
check "render along no direction" 2 "$kestro" render "$example" -o "$work/m.png" --view "[0,0,0]"
check "render with a bad axis" 2 "$kestro" render "$example" -o "$work/m.png" --orient "W=[1,0,0]"
# The printed page and the metafile picture.
check "print" 0 "$kestro" print "$work/cell.kes" -o "$work/page.pdf" --cell --labels centre
head -c 5 "$work/page.pdf" | grep -q "%PDF-" || { echo "FAIL: print wrote no PDF"; failures=$((failures + 1)); }
check "stereo print on letter" 0 "$kestro" print "$work/cell.kes" -o "$work/stereo.pdf" --stereo --page letter --dpi 600
check "print to a picture name" 2 "$kestro" print "$work/cell.kes" -o "$work/page.png"
check "print with pen 6" 2 "$kestro" print "$work/cell.kes" -o "$work/p.pdf" --pen 6
for format in emf svg pdf; do
  check "metafile $format" 0 "$kestro" metafile "$work/cell.kes" -o "$work/cell.$format" --width 400 --zoom 2
  [ -s "$work/cell.$format" ] || { echo "FAIL: no $format metafile"; failures=$((failures + 1)); }
done
head -c 44 "$work/cell.emf" | tail -c 4 | grep -q " EMF" || { echo "FAIL: no EMF signature"; failures=$((failures + 1)); }
check "metafile width out of range" 2 "$kestro" metafile "$work/cell.kes" -o "$work/w.emf" --width 5
# The POV-Ray scene of the picture, labels placed as render places them.
check "povray" 0 "$kestro" povray "$work/cell.kes" -o "$work/cell.pov" --size 300 --labels auto
grep -q "^#version 3.7;" "$work/cell.pov" && grep -q "^sphere { 0, 1 scale" "$work/cell.pov" \
  || { echo "FAIL: povray wrote no scene"; failures=$((failures + 1)); }
[ "$(grep -c "^text { ttf" "$work/cell.pov")" -eq 15 ] || { echo "FAIL: 15 labels expected"; failures=$((failures + 1)); }
check "povray onto an existing file without --yes" 1 "$kestro" povray "$work/cell.kes" -o "$work/cell.pov"
check "povray to another extension" 2 "$kestro" povray "$work/cell.kes" -o "$work/cell.png"
check "povray size out of range" 2 "$kestro" povray "$work/cell.kes" -o "$work/s.pov" --size 8001
# Reports (atom 7 of the sphere is its central Ti): the windows' files in the current directory, or -o.
cd "$work"
check "distances report" 0 "$kestro" report distances "$work/cell.kes"
head -1 "$work/distances.txt" | grep -q "A1    A2     dist." || { echo "FAIL: no distances.txt"; failures=$((failures + 1)); }
check "coordinates to stdout" 0 "$kestro" report coordinates "$work/cell.kes" -o -
[ "$(wc -l <"$work/out")" -eq 15 ] || { echo "FAIL: 15 coordinate lines expected"; failures=$((failures + 1)); }
check "environment of Ti" 0 "$kestro" report environment "$work/s.kes" --atom 7 --radius 2.5 -o "$work/env.txt"
[ "$(grep -c ' d=' "$work/env.txt")" -eq 6 ] || { echo "FAIL: Ti has 6 O within 2.5 A"; failures=$((failures + 1)); }
check "plane" 0 "$kestro" report plane "$work/cell.kes" --plane 1,2,3,4
tail -1 "$work/plan.sor" | grep -q "Normal end" || { echo "FAIL: plan.sor does not end normally"; failures=$((failures + 1)); }
[ -s "$work/plan.dat" ] || { echo "FAIL: no plan.dat beside plan.sor"; failures=$((failures + 1)); }
check "atom out of range" 2 "$kestro" report environment "$work/cell.kes" --atom 99 --radius 2
check "radius not a number" 2 "$kestro" report environment "$work/cell.kes" --atom 1 --radius x
check "plane of two atoms" 2 "$kestro" report plane "$work/cell.kes" --plane 1,2
check "unknown report" 2 "$kestro" report bonds "$work/cell.kes"
testdata=$(dirname "$golden")/../../../shared/testdata
if [ -d "$testdata" ]; then
  check "CIF to kes" 0 "$kestro" convert "$testdata/cif/hikari_NaCl.cif" -o "$work/nacl.kes" --enclosure cell
  n=$(grep -A1 "^#Generated atoms" "$work/nacl.kes" | tail -1 | tr -d '\r ')
  [ "${n:-0}" -ge 8 ] || { echo "FAIL: NaCl cell contents: $n atoms"; failures=$((failures + 1)); }
  check "res to shx" 0 "$kestro" convert "$testdata/shelx/shelxfile_p21c.res" -o "$work/p21c.shx"
  grep -q "^LATT 1" "$work/p21c.shx" || { echo "FAIL: the SHELX file has no LATT line"; failures=$((failures + 1)); }
  check "shx read back" 0 "$kestro" convert "$work/p21c.shx" -o "$work/p21c.kes"
  check "listing" 0 "$kestro" convert "$testdata/shelx/sf_051a_p21c.lst" -o "$work/lst.kes"
  check "PowderCell" 0 "$kestro" convert "$testdata/cel/hikari_NaCl.cel" -o "$work/cel.kes"
  check "Lazy Pulverix" 0 "$kestro" convert "$testdata/lzy/hikari_NaCl.lzy" -o "$work/lzy.kes"
  check "render a CIF" 0 "$kestro" render "$testdata/cif/cod_1000006.cif" -o "$work/c.png" --positions all --size 200
  # A cell cut at the generated atoms' limit is a failure with no picture.
  check "render cut at the limit" 1 "$kestro" render "$testdata/cif/finalcif_P21c-final.cif" \
    --positions all --enclosure box --box 6,6,6 --cut yes -o "$work/cut.png"
  grep -q "Too many generated atoms" "$work/err" || { echo "FAIL: the limit is not named"; failures=$((failures + 1)); }
  [ ! -e "$work/cut.png" ] || { echo "FAIL: a cut structure was drawn"; failures=$((failures + 1)); }
  check "convert cut at the limit" 1 "$kestro" convert "$testdata/cif/finalcif_P21c-final.cif" \
    --positions all --enclosure box --box 6,6,6 --cut yes -o "$work/cut.kes"
  [ ! -e "$work/cut.kes" ] || { echo "FAIL: a cut structure was written"; failures=$((failures + 1)); }
  [ -s "$work/c.png" ] || { echo "FAIL: no picture of the CIF"; failures=$((failures + 1)); }
  # Labels placed on the picture of the view are saved as moved labels: the
  # .kes draws as the direct render does.
  sucrose="$testdata/cif/finalcif_all_riding_anisotropic.cif"
  check "convert with placed labels" 0 "$kestro" convert "$sucrose" -o "$work/suc.kes" --labels auto-noh --view best
  check "render the placed labels" 0 "$kestro" render "$work/suc.kes" -o "$work/suc1.bmp" --size 686
  check "render with placed labels" 0 "$kestro" render "$sucrose" -o "$work/suc2.bmp" --labels auto-noh --view best
  moved=$(tr -d '\r' <"$work/suc.kes" | awk '/^#Generated atoms/{n=1;next} /^#Element sorts/{n=0} n&&/^[A-Z]/&&$(NF-1)!=0&&$NF!=0{c++} END{print c+0}')
  [ "$moved" -eq 23 ] || { echo "FAIL: $moved moved labels saved, 23 expected"; failures=$((failures + 1)); }
  check "convert --zoom" 2 "$kestro" convert "$sucrose" -o "$work/z.kes" --labels auto --zoom 2
else
  echo "skipped the shared test files: $testdata is not there"
fi
echo "$((total - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
