#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and uses the installed tree as a
# user would: the program, started from another folder without KESTRO_DATA,
# finds its libraries and data and draws the bundled example; the desktop
# files pass their validators; the manual names every option of --help.
#   test_install.sh BUILD_DIR EXAMPLE.kes
set -uo pipefail
build="$1"
example="$(realpath "$2")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

DESTDIR="$work/root" cmake --install "$build" --prefix /opt/kestro > "$work/install.log" 2>&1 ||
  { cat "$work/install.log"; echo "FAIL: cmake --install"; exit 1; }
root="$work/root/opt/kestro"
libdir="$(cd "$root" && ls -d lib*/kestro 2>/dev/null | head -n 1)"

for file in bin/kestro "$libdir/libmiraldo.so" "$libdir/libplan.so" share/kestro/rayons.cst share/kestro/spgr.dat \
            share/kestro/Kestro.hlp share/applications/org.kestro.Kestro.desktop \
            share/metainfo/org.kestro.Kestro.metainfo.xml share/mime/packages/kestro.xml \
            share/icons/hicolor/scalable/apps/kestro.svg share/icons/hicolor/48x48/apps/kestro.png \
            share/icons/hicolor/256x256/apps/kestro.png share/man/man1/kestro.1.gz \
            share/thumbnailers/kestro.thumbnailer share/bash-completion/completions/kestro; do
  [ -f "$root/$file" ] || fail "not installed: $file"
done

# The thumbnailer entry as a file manager runs it: %i, %o and %s replaced.
exec_line="$(sed -n 's/^Exec=//p' "$root/share/thumbnailers/kestro.thumbnailer")"
command="${exec_line/\%i/$example}"
command="${command/\%o/$work/thumb.png}"
command="${command/\%s/128}"
read -r -a words <<< "$command"
(cd "$work" && "$root/bin/${words[0]}" "${words[@]:1}") || fail "the thumbnailer's command failed: $command"
file "$work/thumb.png" | grep -q "128 x 128" || fail "no 128 x 128 thumbnail"

bash -n "$root/share/bash-completion/completions/kestro" || fail "the bash completion does not parse"

# The libraries are found through the program's RUNPATH, inside the tree.
dynamic="$(readelf -d "$root/bin/kestro")"
grep -q 'RUNPATH.*\$ORIGIN' <<< "$dynamic" || fail "no RUNPATH relative to the program"
libraries="$(ldd "$root/bin/kestro")"
grep -qF "libmiraldo.so => $root/" <<< "$libraries" || fail "libmiraldo.so not found in the tree: $libraries"
grep -qF "libplan.so => $root/" <<< "$libraries" || fail "libplan.so not found in the tree: $libraries"

# Icons of the sizes their folders say (PNG width and height from IHDR).
for size in 48 256; do
  png="$root/share/icons/hicolor/${size}x${size}/apps/kestro.png"
  dims="$(od -An -tu1 -j16 -N8 "$png" 2>/dev/null | awk '{print $3*256+$4 "x" $7*256+$8}')"
  [ "$dims" = "${size}x${size}" ] || fail "icon of ${size}x${size} is $dims"
done

# From an empty folder, with no KESTRO_DATA: the data come from share/kestro.
mkdir "$work/elsewhere"
(cd "$work/elsewhere" && env -u KESTRO_DATA "$root/bin/kestro" render "$example" -o rutile.png --size 200 \
  > "$work/render.log" 2>&1) || { cat "$work/render.log"; fail "the installed program does not render"; }
[ "$(head -c 8 "$work/elsewhere/rutile.png" 2>/dev/null | od -An -tx1 | tr -d ' ')" = "89504e470d0a1a0a" ] ||
  fail "no PNG drawn by the installed program"

if command -v desktop-file-validate > /dev/null; then
  desktop-file-validate "$root/share/applications/org.kestro.Kestro.desktop" || fail "desktop-file-validate"
else
  fail "desktop-file-validate is missing (package desktop-file-utils)"
fi
if command -v appstreamcli > /dev/null; then
  appstreamcli validate --no-net "$root/share/metainfo/org.kestro.Kestro.metainfo.xml" > "$work/appstream.log" 2>&1 ||
    { cat "$work/appstream.log"; fail "appstreamcli validate"; }
else
  fail "appstreamcli is missing (package appstream)"
fi
if command -v xmllint > /dev/null; then
  xmllint --noout "$root/share/mime/packages/kestro.xml" || fail "the MIME definitions are not well-formed"
fi

# Every option of --help is described in the manual.
manual="$(gzip -dc "$root/share/man/man1/kestro.1.gz")"
for option in $("$root/bin/kestro" --help 2>&1 | grep -o -- '--[a-z][a-z-]*' | sort -u); do
  grep -qF -- "$(printf '%s' "$option" | sed 's/-/\\-/g')" <<< "$manual" || fail "the manual does not describe $option"
done

[ "$failures" -eq 0 ] && echo "installed tree works" || exit 1
