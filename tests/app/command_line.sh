#!/usr/bin/env bash
# The command line without a display: export of a design to each format, a
# render of it, help and version, and every kind of refusal with its exit
# status, one line on stderr and no output file left behind; which arguments
# start the modeller, and its refusal to start without a display; file names
# kept as their bytes, and shown on stderr escaped. (That a render shows what
# the window shows is tested against the window, in the app tests.)
set -u
program=$(realpath "${1:?usage: command_line.sh path/to/velmora}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM XDG_SESSION_TYPE

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Runs the program; sets status, out and err.
run() {
  "$program" "$@" >out.txt 2>err.txt
  status=$?
  out=$(cat out.txt)
  err=$(cat err.txt)
}
expect_status() { [ "$status" -eq "$1" ] || fail "$2: exit status $status, not $1 (stderr: $err)"; }
expect_one_line() { [ "$(wc -l <err.txt)" -eq 1 ] || fail "$1: stderr is not one line: $err"; }
expect_said() { [[ $err == *"$1"* ]] || fail "$2: stderr does not say $1: $err"; }

design() {  # name profile-points texture
  cat >"$1" <<JSON
{
  "format": "velmora-design",
  "version": 1,
  "profile": [$2],
  "path": [{"x": 0.0, "y": -5.0}, {"x": 0.0, "y": 5.0}],
  "degree": 1,
  "texture": $3,
  "render": "solid",
  "view": {"rotation": [1.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 0.0, 1.0], "distance": 20.0}
}
JSON
}
vase='{"x": 0.0, "y": -6.0}, {"x": 5.0, "y": -5.0}, {"x": 1.5, "y": 2.0}, {"x": 3.0, "y": 6.0}'
design vase.velmora "$vase" '"stripes.bmp"'
# A 4 x 2 24-bit bitmap beside the design.
printf 'BM\x46\x00\x00\x00\x00\x00\x00\x00\x36\x00\x00\x00\x28\x00\x00\x00\x04\x00\x00\x00\x02\x00\x00\x00\x01\x00\x18\x00\x00\x00\x00\x00\x10\x00\x00\x00\x13\x0b\x00\x00\x13\x0b\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00' >stripes.bmp
for i in 1 2 3 4 5 6 7 8; do printf '\x00\x00\xff'; done >>stripes.bmp

echo "help and version"
run --help
expect_status 0 "--help"
[[ $out == *"export DESIGN.velmora OUT.(glb|obj|stl|3mf) [--slices N] [--intervals K] [--caps] [--no-caps] [--thickness T] [--scale S] [--units mm|cm|m|in] [--up y|z]"* ]] ||
  fail "--help does not name the export command and its options"
[[ $out == *"--units UNITS    export: what a file unit is: mm, cm, m or in"* ]] || fail "--help does not explain --units"
[[ $out == *"render DESIGN.velmora OUT.png [--size WxH] [--mode solid|wireframe|point]"* ]] ||
  fail "--help does not name the render command"
run --version
expect_status 0 "--version"
[[ $out == "velmora "[0-9]* ]] || fail "--version printed: $out"

echo "export to each format"
run export vase.velmora vase.stl
expect_status 0 "STL"
if [ -f vase.stl ]; then
  facets=$(od -An -tu4 -j80 -N4 vase.stl | tr -d ' ')
  [ "$(stat -c %s vase.stl)" -eq $((84 + 50 * facets)) ] || fail "STL size does not match its $facets facets"
  [ "$facets" -gt 0 ] || fail "STL has no facets"
else
  fail "no vase.stl"
fi
run export vase.velmora vase.glb
expect_status 0 "GLB"
[ "$(head -c 4 vase.glb 2>/dev/null)" = glTF ] || fail "vase.glb is not glTF binary"
grep -q 'image/png' vase.glb || fail "vase.glb has no embedded texture"
run export vase.velmora Vase.OBJ
expect_status 0 "OBJ"
for f in Vase.OBJ Vase.mtl Vase.png; do [ -s "$f" ] || fail "no $f"; done
grep -q '^mtllib Vase.mtl' Vase.OBJ || fail "the OBJ does not name its material library"
cp vase.glb first.glb
run export vase.velmora vase.glb
cmp -s vase.glb first.glb || fail "two exports of one design differ"

echo "a texture of another picture kind: the PNG written above, read back"
design png.velmora "$vase" '"Vase.png"'
run export png.velmora again.obj
expect_status 0 "PNG texture"
[ -z "$err" ] || fail "PNG texture: $err"
cmp -s again.png Vase.png || fail "the PNG texture did not come back as the same picture"

echo "a failed OBJ export: its material and picture stay as they were"
printf 'old material' >set.mtl
printf 'old picture' >set.png
mkdir set.obj
run export vase.velmora set.obj
expect_status 1 "OBJ onto a folder"
expect_one_line "OBJ onto a folder"
[ "$(cat set.mtl)" = "old material" ] || fail "a failed OBJ export replaced its material"
[ "$(cat set.png)" = "old picture" ] || fail "a failed OBJ export replaced its picture"

echo "a texture named like the OBJ's picture: kept, the copy named apart"
cp Vase.png pic.png
printf 'kept' >>pic.png  # after the PNG's end: read, and copied with the rest
cp pic.png pic.orig
design pic.velmora "$vase" '"pic.png"'
run export pic.velmora pic.obj
expect_status 0 "texture named like the picture"
cmp -s pic.png pic.orig || fail "the export replaced the design's own texture"
grep -qx 'map_Kd pic-texture.png' pic.mtl || fail "the material does not name pic-texture.png"
cmp -s pic-texture.png pic.orig || fail "pic-texture.png is not the texture's own bytes"

echo "a replaced set-user-ID file keeps only its permission bits"
echo old >suid.stl
chmod 4755 suid.stl
[ "$(id -u)" -eq 0 ] && chown nobody suid.stl
run export vase.velmora suid.stl
expect_status 0 "export over a set-user-ID file"
[ "$(stat -c %a suid.stl)" = 755 ] || fail "suid.stl has mode $(stat -c %a suid.stl), not 755"

echo "a missing texture: exported without it, with a warning"
design untextured.velmora "$vase" '"missing.bmp"'
run export untextured.velmora plain.glb
expect_status 0 "missing texture"
[[ $err == *warning* ]] || fail "no warning for the missing texture"
grep -q 'image/png' plain.glb && fail "plain.glb has a texture"
# One that then fails says only why it failed: the warning is about a file
# never written.
run export untextured.velmora nowhere/plain.glb
expect_status 1 "missing texture, missing folder"
expect_one_line "missing texture, missing folder"
expect_said "nowhere/plain.glb: cannot create a temporary file in nowhere" "missing texture, missing folder"

echo "render, and a missing texture: rendered without it, with a warning"
run render vase.velmora vase.png --size 64x48 --mode point
expect_status 0 "render"
[ "$(head -c 8 vase.png 2>/dev/null | od -An -tx1 | tr -d ' ')" = 89504e470d0a1a0a ] || fail "vase.png is not PNG"
[ "$(od -An -tu1 -j16 -N8 vase.png | tr -s ' ')" = " 0 0 0 64 0 0 0 48" ] || fail "vase.png is not 64 x 48"
[ -z "$err" ] || fail "render wrote to stderr: $err"
run render untextured.velmora plain.png
expect_status 0 "render without its texture"
[[ $err == *warning* ]] || fail "no warning for the missing texture in render"
[ -s plain.png ] || fail "no plain.png"

echo "the modeller or a command, told from the arguments before any window system"
# A typo, an option before the command, a bare word and two designs are
# wrong usage; the modeller is never tried (with no display it would abort).
for args in "exprot vase.velmora typo.glb" "--size 5x5 render vase.velmora early.png" "vase" \
  "vase.velmora vase.velmora" "-x"; do
  # shellcheck disable=SC2086
  run $args
  expect_status 2 "velmora $args"
  expect_one_line "velmora $args"
done
run exprot vase.velmora typo.glb
expect_said 'unknown command "exprot"' "a mistyped command"
run --mode point render vase.velmora early.png
expect_said "options follow the command" "an option before the command"
# No arguments, a design, one that is not there and one in a folder start
# the modeller, which needs a display.
for args in "" "vase.velmora" "missing.velmora" "./vase"; do
  # shellcheck disable=SC2086
  run $args
  expect_status 2 "the modeller ($args) without a display"
  expect_one_line "the modeller ($args) without a display"
  expect_said "cannot start the modeller: no display" "the modeller ($args) without a display"
done
# A display named but not there, X11 and Wayland: Qt's platform fails to
# connect, and it is one line of ours, not Qt's abort.
if [ ! -e /tmp/.X11-unix/X4711 ]; then
  QT_QPA_PLATFORM=xcb DISPLAY=:4711 run vase.velmora
  expect_status 2 "an X display that is not there"
  expect_one_line "an X display that is not there"
  expect_said "DISPLAY=:4711" "an X display that is not there"
fi
QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY="velmora-none-$$" run
expect_status 2 "a Wayland display that is not there"
expect_one_line "a Wayland display that is not there"

echo "file names are bytes: kept as given, shown escaped"
latin=$(printf 'caf\xe9')
cp vase.velmora "$latin.velmora"
run export "$latin.velmora" "$latin.glb"
expect_status 0 "a Latin-1 design to GLB"
[ -s "$latin.glb" ] || fail "no GLB under the Latin-1 name: $(ls)"
run export "$latin.velmora" "$latin.obj"
expect_status 0 "a Latin-1 design to OBJ"
for f in "$latin.obj" "$latin.mtl" "$latin.png"; do [ -s "$f" ] || fail "no $f"; done
LC_ALL=C grep -q "^mtllib $latin.mtl" "$latin.obj" || fail "the OBJ does not name its material library by its bytes"
run render "$latin.velmora" "$latin-render.png" --size 16x16
expect_status 0 "a Latin-1 design rendered"
[ -s "$latin-render.png" ] || fail "no render under the Latin-1 name"
ls | LC_ALL=C grep -q $'\xef\xbf\xbd' && fail "a name was written as UTF-8 replacement characters: $(ls)"
run export "$(printf 'new\nline\x1b[2J\xe9\\.velmora')" out.stl
expect_status 1 "a name with control characters"
expect_one_line "a name with control characters"
expect_said 'new\nline\x1b[2J\xe9\\.velmora' "a name with control characters"
run render vase.velmora "$(printf 'x\ry\x7f.jpg')"
expect_status 2 "an output name with control characters"
expect_one_line "an output name with control characters"
expect_said 'x\ry\x7f.jpg' "an output name with control characters"

echo "a texture that is a broken PNG: our one warning, no library noise"
head -c $(($(stat -c %s Vase.png) - 20)) Vase.png >cut.png  # into the picture data
cp Vase.png badcrc.png
printf '\0\0\0\0' | dd of=badcrc.png bs=1 seek=29 conv=notrunc status=none  # the header's CRC
for png in cut badcrc; do
  design "$png.velmora" "$vase" "\"$png.png\""
  for command in "export $png.velmora $png.glb" "render $png.velmora $png-render.png"; do
    # shellcheck disable=SC2086
    run $command
    expect_status 0 "$command"
    expect_one_line "$command"
    expect_said "warning: " "$command"
    [[ $err == *libpng* ]] && fail "$command: library noise: $err"
  done
done

echo "export options: the design's, the command line's over them, and the formats' defaults"
# The bounds of an STL's corners: "minX minY minZ maxX maxY maxZ".
stl_bounds() {
  python3 -c 'import struct, sys
data = open(sys.argv[1], "rb").read()
count = struct.unpack_from("<I", data, 80)[0]
points = [struct.unpack_from("<3f", data, 84 + 50 * i + 12 + 12 * c) for i in range(count) for c in range(3)]
print(" ".join("%g" % f(p[a] for p in points) for f in (min, max) for a in range(3)))' "$1"
}
# The 3MF model's unit and the Z bounds of its vertices: "unit minZ maxZ".
threemf_model() {
  python3 -c 'import re, sys, zipfile
model = zipfile.ZipFile(sys.argv[1]).read("3D/3dmodel.model").decode()
z = [float(v) for v in re.findall(r"<vertex [^>]*z=\"([^\"]*)\"", model)]
print(re.search(r"<model [^>]*unit=\"([a-z]*)\"", model).group(1), "%g %g" % (min(z), max(z)))' "$1"
}
run export vase.velmora plain.stl
run export vase.velmora same.stl --scale 1 --up y --slices 24 --intervals 10 --thickness 0
expect_status 0 "export with the default options given"
cmp -s plain.stl same.stl || fail "the default options given changed the STL"
[ "$(stl_bounds plain.stl)" = "-3 -5 -3 3 5 3" ] || fail "the vase's bounds are $(stl_bounds plain.stl)"
run export vase.velmora big.stl --scale=2.5
[ "$(stl_bounds big.stl)" = "-7.5 -12.5 -7.5 7.5 12.5 7.5" ] || fail "--scale 2.5 gave bounds $(stl_bounds big.stl)"
# Standing on the ground (the path from height 0 to 5): Z up keeps it above.
sed 's/"path": \[{"x": 0.0, "y": -5.0}/"path": [{"x": 0.0, "y": 0.0}/' vase.velmora >ground.velmora
run export ground.velmora upright.stl --up z
[ "$(stl_bounds upright.stl)" = "-3 -3 0 3 3 5" ] || fail "--up z gave bounds $(stl_bounds upright.stl)"
# A version 2 design stores its options; the command line's win.
sed 's/"version": 1/"version": 2/; s/"distance": 20.0}/"distance": 20.0}, "export": {"slices": 6, "intervals": 2, "caps": false, "thickness": 0.0, "scale": 2.0, "units": "cm", "up": null}/' \
  vase.velmora >stored.velmora
run export stored.velmora stored.stl
expect_status 0 "a design with stored options"
facets=$(od -An -tu4 -j80 -N4 stored.stl | tr -d ' ')
[ "$facets" -lt "$(od -An -tu4 -j80 -N4 plain.stl | tr -d ' ')" ] || fail "the stored 6 slices gave $facets facets"
[ "$(stl_bounds stored.stl)" = "-6 -10 -5.19615 6 10 5.19615" ] || fail "the stored options gave $(stl_bounds stored.stl)"
# Caps a design keeps are made, and --no-caps leaves them out.
sed 's/"caps": false/"caps": true/' stored.velmora >capped.velmora
run export capped.velmora capped.stl
run export capped.velmora uncapped.stl --no-caps
cmp -s uncapped.stl stored.stl || fail "--no-caps left the stored caps"
cmp -s capped.stl stored.stl && fail "the stored caps were not made"
run export stored.velmora again.stl --slices 24 --intervals 10 --scale 1
cmp -s plain.stl again.stl || fail "the command line's options did not override the design's"
# 3MF: Z up in millimetres unless told, the units stated.
run export ground.velmora ground.3mf
expect_status 0 "3MF"
[ "$(threemf_model ground.3mf)" = "millimeter 0 5" ] || fail "ground.3mf: $(threemf_model ground.3mf)"
run export stored.velmora stored.3mf --up y
[ "$(threemf_model stored.3mf)" = "centimeter -5.19615 5.19615" ] || fail "stored.3mf: $(threemf_model stored.3mf)"
# The vase's red stripes: the model's one material is their colour, opaque.
run export vase.velmora colour.3mf
python3 -c 'import sys, zipfile
sys.exit("#FF0000FF" not in zipfile.ZipFile(sys.argv[1]).read("3D/3dmodel.model").decode())' colour.3mf ||
  fail "colour.3mf has not the texture's colour"
run export ground.velmora inch.3mf --units in
[ "$(threemf_model inch.3mf)" = "inch 0 5" ] || fail "inch.3mf: $(threemf_model inch.3mf)"
# Values refused before anything is read or written, as typed.
for refusal in "--slices 2|export: --slices 2: slices must be 3 to 1024, not 2" \
  "--slices 1025|slices must be 3 to 1024, not 1025" "--slices 2.5|--slices 2.5: expected a whole number" \
  "--intervals 0|--intervals 0: intervals per span must be 1 to 1000, not 0" \
  "--scale abc|export: --scale abc: expected a number" "--scale 0|scale must be above 0" \
  "--scale nan|scale must be above 0" "--thickness -1|--thickness -1: thickness must be 0 to" \
  "--units ft|--units ft: expected mm, cm, m or in" "--up x|--up x: expected y or z" \
  "--caps=yes|--caps=yes: the option takes no value" "--scale|--scale: the option needs a value"; do
  # shellcheck disable=SC2086
  run export missing.velmora refused.3mf ${refusal%%|*}
  expect_status 2 "export ${refusal%%|*}"
  expect_one_line "export ${refusal%%|*}"
  expect_said "${refusal#*|}" "export ${refusal%%|*}"
done
run export vase.velmora refused.stl --size 10x10
expect_status 2 "export with a render option"
run render vase.velmora refused.png --slices 8
expect_status 2 "render with an export option"
run --up z export vase.velmora refused.stl
expect_status 2 "an export option before the command"
expect_said "--up: options follow the command" "an export option before the command"
for f in refused.3mf refused.stl refused.png; do [ -e "$f" ] && fail "$f was written"; done

echo "refusals"
echo keep >kept.stl
design negative.velmora '{"x": -1.0, "y": 0.0}, {"x": 2.0, "y": 3.0}' null
run export negative.velmora kept.stl
expect_status 1 "profile point left of the axis"
expect_one_line "profile point left of the axis"
[ "$(cat kept.stl)" = keep ] || fail "a refused export touched the existing file"
design flat.velmora '{"x": 2.0, "y": 0.0}' null
run export flat.velmora flat.stl
expect_status 1 "a design with no surface"
expect_one_line "a design with no surface"
run export missing.velmora out.stl
expect_status 1 "a missing design"
expect_one_line "a missing design"
echo 'not json' >junk.velmora
run export junk.velmora out.stl
expect_status 1 "a file that is no design"
run export vase.velmora no-such-folder/out.stl
expect_status 1 "an output folder that does not exist"
expect_one_line "an output folder that does not exist"
run export vase.velmora out.png
expect_status 2 "an output format that is not offered"
expect_one_line "an output format that is not offered"
run export vase.velmora
expect_status 2 "a missing argument"
run export --no-such-option vase.velmora out.stl
expect_status 2 "an unknown option"
echo keep >kept.png
for args in "--size 0x10" "--size 10" "--size 8193x10" "--size 10x-5" "--size ax3" "--mode shaded" "--mode"; do
  # shellcheck disable=SC2086
  run render vase.velmora kept.png $args
  expect_status 2 "render $args"
  expect_one_line "render $args"
done
run render vase.velmora kept.png extra.png
expect_status 2 "render with too many arguments"
run render vase.velmora
expect_status 2 "render with too few arguments"
run render vase.velmora out.jpg
expect_status 2 "render to another format"
expect_one_line "render to another format"
run render junk.velmora kept.png
expect_status 1 "render of a file that is no design"
expect_one_line "render of a file that is no design"
run render negative.velmora kept.png
expect_status 1 "render of a profile point left of the axis"
run render missing.velmora out.png
expect_status 1 "render of a missing design"
run render vase.velmora no-such-folder/out.png
expect_status 1 "render into a folder that does not exist"
expect_one_line "render into a folder that does not exist"
[ "$(cat kept.png)" = keep ] || fail "a refused render touched the existing file"
for f in out.stl out.png out.jpg flat.stl no-such-folder; do [ -e "$f" ] && fail "$f was left behind"; done
hidden=$(ls -A | grep '^\.')
[ -z "$hidden" ] || fail "temporary files were left behind: $hidden"

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "all passed"
