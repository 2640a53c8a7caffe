#!/usr/bin/env bash
# gantry-cli as a user runs it: each command end to end with its exit statuses, JSON shape,
# messages on stderr, the dump order. What a command computes is the unit tests' business.
set -uo pipefail
cli=${GANTRY_CLI:?GANTRY_CLI must name the gantry-cli binary}
corpus=${GANTRY_CORPUS_DIR:-}/hod
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
passed=0
failed=0

# A path as the program names it: under Wine (GANTRY_WINDOWS) the Windows path it was given.
shown_path() {
  if [ -n "${GANTRY_WINDOWS:-}" ]; then
    local path=${1//\//\\}
    echo "Z:$path"
  else
    echo "$1"
  fi
}

check() {  # name, condition...
  local name=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: $name" >&2
    return 1
  fi
}
has() {  # text, patterns...: every pattern is found in the text
  local text=$1
  shift
  for pattern; do grep -q -- "$pattern" <<<"$text" || return 1; done
}
exits() {  # status, name, command...: the command ends with that status; $tmp/out and err kept
  local want=$1 name=$2
  shift 2
  "$@" >"$tmp/out" 2>"$tmp/err"
  local got=$?
  check "$name" test $got -eq "$want" || echo "  exit status $got, not $want; stderr: $(head -c 400 "$tmp/err")" >&2
}

# A file of one VERS chunk: a valid (if empty) model HOD.
printf 'FORM\x00\x00\x00\x08VERS\x00\x02\x00\x00' >"$tmp/vers.hod"
# The same followed by a truncated NAME chunk.
cp "$tmp/vers.hod" "$tmp/cut.hod"
printf 'FORM\x00\x00\x00\x20NAMEHomeworld2' >>"$tmp/cut.hod"

exits 0 "valid file exits 0" "$cli" info --json "$tmp/vers.hod"
check "json type, version, dialect, no messages, the default root joint" has "$(cat "$tmp/out")" \
  '"type":"multi-mesh"' '"version":512' '"dialect":"classic"' '"messages":\[\]' '"joints":1'
check "every count key present" \
  test "$(grep -o '"[a-z_]*":[0-9][0-9]*' "$tmp/out" | grep -c -v version)" -eq 29
check "nothing on stderr" test ! -s "$tmp/err"
exits 3 "truncated file exits 3" "$cli" info --json "$tmp/cut.hod"
check "truncated file message in json" grep -q '"messages":\["Error reading the NAME chunk' "$tmp/out"
check "truncated file message on stderr" grep -q 'NAME chunk' "$tmp/err"
exits 3 "missing file exits 3" "$cli" info "$tmp/missing.hod"
check "missing file says so and prints no contents" \
  test ! -s "$tmp/out" -a -n "$(grep "Couldn't open file" "$tmp/err")"
# Nothing read, nothing counted: a folder or an empty file gives the error alone.
: >"$tmp/empty.hod"
for unread in "$tmp/empty.hod" "$tmp"; do
  check "info prints no contents for $(basename "$unread")" test -z "$("$cli" info "$unread" 2>/dev/null)"
done
if [ -n "${GANTRY_WINDOWS:-}" ]; then
  # Cyrillic is outside code page 1252: Windows would pass "???????.hod"; say why instead.
  exits 2 "a name outside the ANSI code page is a usage error" "$cli" info "$tmp/Корабль.hod"
  check "and says why" grep -q 'outside the system.s ANSI code page' "$tmp/err"
fi
# JSON is UTF-8 on both platforms: a UTF-8 file name passes once, not encoded twice.
check "JSON names a UTF-8 path as it is" \
  grep -q 'missing_Zürich' <<<"$("$cli" info --json "$tmp/missing_Zürich.hod" 2>/dev/null)"
exits 2 "no file is a usage error" "$cli" info
check "text summary names the type" has "$("$cli" info "$tmp/vers.hod")" 'multi-mesh'

# --version names the project's version; the manual page and the bash completion are made from
# the same description as --help, so every command --help lists is in both.
exits 0 "--version exits 0" "$cli" --version
check "--version names the version" grep -q "^gantry-cli ${GANTRY_VERSION:-[0-9]}" "$tmp/out"
"$cli" --generate man >"$tmp/manual" && "$cli" --generate bash-completion >"$tmp/completion"
check "manual and completion are generated" test $? -eq 0
commands=$("$cli" --help | sed -n '/^Subcommands:/,$p' | awk 'NR > 1 && /^  [a-z]/ {print $1}')
check "--help lists the commands" test -n "$commands"
for command in $commands; do
  check "manual and completion have $command" \
    eval 'grep -q "^\.SS \"$command" "$tmp/manual" && grep -q "^    $command)" "$tmp/completion"'
done
check "manual has the exit statuses" grep -q '^\.SH "EXIT STATUS"' "$tmp/manual"
exits 2 "an unknown --generate is a usage error" "$cli" --generate pdf
exits 2 "unknown command is a usage error" "$cli" frobnicate "$tmp/vers.hod"

dump=$("$cli" dump "$tmp/vers.hod")
check "dump starts with the first line logged" test "$(head -n1 <<<"$dump")" = "Reading HOD..."
check "dump logs the version" has "$dump" '^HOD Version: 512$'
check "dump ends with the banner" has "$(tail -n2 <<<"$dump")" 'SUCCESSFULLY READ HOD'

# validate / save / roundtrip / diff on the small files.
exits 0 "validate exits 0 on a valid model" "$cli" validate --json "$tmp/vers.hod"
check "validate json" grep -q \
  '^{"valid":true,"messages":\[{"icon":"exclamation","text":"No Geometry in HOD (!)"}\]}$' "$tmp/out"
exits 3 "validate exits 3 on an unreadable file" "$cli" validate "$tmp/cut.hod"
exits 0 "save exits 0" "$cli" save "$tmp/vers.hod" "$tmp/saved.hod"
printf 'older contents' >"$tmp/existing.hod"
"$cli" save "$tmp/vers.hod" "$tmp/existing.hod" >/dev/null
check "save replaces an existing file" cmp -s "$tmp/saved.hod" "$tmp/existing.hod"
exits 3 "save exits 3 on an I/O error" "$cli" save "$tmp/vers.hod" "$tmp/no/such/folder.hod"
check "save reports the failed step" \
  grep -qF "Couldn't open file: $(shown_path "$tmp/no/such/folder.hod")" "$tmp/out" "$tmp/err"
exits 0 "roundtrip exits 0" "$cli" roundtrip "$tmp/saved.hod"
exits 0 "a file and its save are equal models" "$cli" diff "$tmp/vers.hod" "$tmp/saved.hod"
printf 'FORM\x00\x00\x00\x08VERS\xe8\x03\x00\x00' >"$tmp/vers1000.hod"
exits 1 "diff exits 1 on a difference" "$cli" diff "$tmp/vers.hod" "$tmp/vers1000.hod"
check "diff names the field" grep -q '^version.Version: 512 != 1000$' "$tmp/out"
exits 3 "diff exits 3 on an unreadable file" "$cli" diff "$tmp/vers.hod" "$tmp/cut.hod"

# rescale / rotate save like `save`.
printf 'FORM\x00\x00\x00\x08VERS\x00\x02\x00\x00LITE\x00\x00\x00\x38\x01\x00\x00\x00\x01\x00\x00\x00L\x00\x00\x00\x00\x00\x00\x80\x3f\x00\x00\x00\x40\x00\x00\x40\x40' >"$tmp/light.hod"
head -c 32 /dev/zero >>"$tmp/light.hod"
exits 0 "rescale exits 0" "$cli" rescale "$tmp/light.hod" "$tmp/scaled.hod" 2 2 2
check "rescale doubles the light" test "$("$cli" diff "$tmp/light.hod" "$tmp/scaled.hod")" = \
  "$(printf 'lights.Lights[0].Position.x: 1 != 2\nlights.Lights[0].Position.y: 2 != 4\nlights.Lights[0].Position.z: 3 != 6')"
for factor in 0 nan inf 1e39; do
  exits 2 "rescale refuses $factor" "$cli" rescale "$tmp/light.hod" "$tmp/scaled.hod" "$factor" 1 1
done
exits 2 "rotate refuses nan" "$cli" rotate "$tmp/light.hod" "$tmp/turned.hod" 0 nan 0
exits 1 "rescale refuses a result beyond a single" \
  "$cli" rescale "$tmp/light.hod" "$tmp/huge.hod" 1 3e38 1
check "nothing is written then" test ! -e "$tmp/huge.hod"
exits 0 "rotate exits 0" "$cli" rotate "$tmp/light.hod" "$tmp/turned.hod" 0 0 90
out=$("$cli" diff --tolerance 0.00001 "$tmp/light.hod" "$tmp/turned.hod")
check "rotate turns the light about Z" has "$out" \
  '^lights.Lights\[0\].Position.x: 1 != -2$' '^lights.Lights\[0\].Position.y: 2 != \(1\|0.9999999\)$'
check "rotate changes nothing else" test "$(wc -l <<<"$out")" -eq 2

# The light file with a joint hierarchy of two: a ship that got a light. A file with lights holds
# no joints, so save refuses unless told to drop them.
{
  cat "$tmp/light.hod"
  printf 'HIER\x00\x00\x00\x85\x02\x00\x00\x00'
  for joint in Root Gun; do
    parent=$([ "$joint" = Gun ] && echo Root)
    printf "\\x0${#joint}\\x00\\x00\\x00%s\\x0${#parent}\\x00\\x00\\x00%s" "$joint" "$parent"
    head -c 24 /dev/zero
    printf '\x00\x00\x80\x3f%.0s' 1 2 3
    head -c 12 /dev/zero
    printf '\x01\x01\x01'
  done
} >"$tmp/light_joints.hod"
exits 1 "validate finds joints that lights would drop" "$cli" validate "$tmp/light_joints.hod"
exits 1 "save refuses to drop joints for lights" \
  "$cli" save "$tmp/light_joints.hod" "$tmp/dropped.hod"
check "save says how to go on" grep -q -- '--drop-lights' "$tmp/err"
check "save writes nothing then" test ! -e "$tmp/dropped.hod"
exits 0 "save --drop-lights saves" "$cli" save --drop-lights "$tmp/light_joints.hod" "$tmp/dropped.hod"
check "save --drop-lights keeps the light, not the joints" \
  grep -q '^joints.JointCount: 2 != 1$' <<<"$("$cli" diff "$tmp/light_joints.hod" "$tmp/dropped.hod")"

# stars: a 2x2 white star map makes four stars in the 16 fields (empty fields are not written).
printf 'FORM\x00\x00\x00\x08VERS\xe8\x03\x00\x00' >"$tmp/bg.hod"
{
  printf '\x00\x00\x02\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x02\x00\x20\x08'
  printf '\xff%.0s' $(seq 16)
  printf '\x00\x00\x00\x00\x00\x00\x00\x00TRUEVISION-XFILE.\x00'
} >"$tmp/map.tga"
exits 0 "stars exits 0" \
  "$cli" stars "$tmp/bg.hod" "$tmp/map.tga" -o "$tmp/stars.hod" --radius 100 --centre 0 0 0
check "stars made four stars" has "$("$cli" info --json "$tmp/stars.hod")" '"stars":4'

# Textures: painters' pictures into the demo ship, saved, read back with their formats and chains.
demo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../samples/demo" && pwd)
exits 0 "the demo ship builds" "$cli" build "$demo/demo.hsc" -o "$tmp/demo.hod"
"$cli" export-textures "$tmp/demo.hod" --png --out-dir "$tmp/pictures" >/dev/null 2>&1
exits 0 "import-texture exits 0" "$cli" import-texture "$tmp/demo.hod" \
  "$tmp/pictures/glow.png" "$demo/hull[1].TGA" -o "$tmp/demo_tex.hod" --max-size 64
check "import-texture adds a new name and replaces by tag" has "$(cat "$tmp/out")" \
  'glow.png -> glow: DXT1 .*, 64x64, 7 levels, added' 'hull.PSD\[1\]: DXT1 .* replaced'
check "the imported textures read back" \
  grep -q '"textures":3' <<<"$("$cli" info --json "$tmp/demo_tex.hod" 2>/dev/null)"
exits 0 "convert-texture exits 0" \
  "$cli" convert-texture "$tmp/pictures/hull.png" -o "$tmp/hull.dds" --format dxt5 --fast
check "convert-texture writes a full chain" grep -q 'DXT5, .* levels' "$tmp/out"
printf 'GIF89a\x01\x00\x01\x00\x00\x00\x00;' >"$tmp/picture.gif"
exits 3 "convert-texture refuses other pictures" \
  "$cli" convert-texture "$tmp/picture.gif" -o "$tmp/picture.dds"
check "convert-texture says why" grep -q 'not a PNG, JPEG, TGA, BMP or PSD picture' "$tmp/err"
exits 2 "uncompressed textures go to TGA files" \
  "$cli" convert-texture "$tmp/pictures/hull.png" -o "$tmp/hull.dds" --format 8888

# build: lines that match no command are named (blank ones, comments and braces aside); a script
# where none matches builds nothing, nor one whose model a HOD cannot hold.
printf "// materials\r\n{\r\nSTAT_Add('a','s',0)\r\nSTAT_Add('b','s',0,\r\n  \r\n}\r\n" \
  >"$tmp/skip.hsc"
exits 0 "build exits 0 when a line is skipped" "$cli" build "$tmp/skip.hsc" -o "$tmp/skip.hod"
check "build names the one skipped line by number" \
  test "$(grep -c 'matched no command' "$tmp/err")" -eq 1 -a -n "$(grep 'skip.hsc:4: ' "$tmp/err")"
printf "no command here\r\n" >"$tmp/bare.hsc"
exits 1 "build fails when no line matched" "$cli" build "$tmp/bare.hsc" -o "$tmp/bare.hod"
printf "STAT_Add('a','b',300)\r\n" >"$tmp/big.hsc"
exits 1 "build refuses a model with more than a HOD holds" \
  "$cli" build "$tmp/big.hsc" -o "$tmp/big.hod"
check "build writes nothing then" test ! -e "$tmp/bare.hod" -a ! -e "$tmp/big.hod"
exits 2 "build refuses an unknown type" "$cli" build "$tmp/skip.hsc" -o "$tmp/x.hod" --type sphere

if [ -d "$corpus" ]; then
  light="$corpus/tdmckenney0__slipstream-the-price-of-freedom__hw1_supernova_light.hod"
  check "corpus owner without its NUL, lights" \
    has "$("$cli" info --json "$light")" '"owner":"rcunningham"' '"lights":3'
  check "corpus background type and star fields" \
    has "$("$cli" info --json "$corpus/Real-Gecko__hw2-complex__black.hod")" \
    '"type":"background"' '"star_fields":16'
  awacs="$corpus/GuillermoOM__HWRM_FSFC__ter_awacs_0.hod"
  exits 0 "HOD 2.0 saved as classic" "$cli" save --dialect classic "$awacs" "$tmp/awacs_classic.hod"
  check "the classic save names what it leaves out" grep -q 'KDOP' "$tmp/out"
  check "messages print one line end per line" test "$(grep -c $'\r' "$tmp/out")" -eq 0
  check "the classic file reads as classic" \
    has "$("$cli" info --json "$tmp/awacs_classic.hod")" '"dialect":"classic"'
  exits 1 "diff sees the dialect" "$cli" diff "$awacs" "$tmp/awacs_classic.hod"
  exits 0 "a HOD 2.0 file round-trips in its own dialect" "$cli" roundtrip "$awacs"
  check "roundtrip goes through HOD 2.0" grep -q 'HOD 2.0' "$tmp/out"
  exits 0 "a classic model upgrades to HOD 2.0" \
    "$cli" save --dialect hod2 "$light" "$tmp/light_hod2.hod"
  check "the upgraded file reads as HOD 2.0" \
    has "$("$cli" info --json "$tmp/light_hod2.hod")" '"dialect":"hod2"'
  exits 1 "a simple mesh is not saved as HOD 2.0" "$cli" save --dialect hod2 \
    "$corpus/mjhorvath__Homeworld-Classic-Enhanced-for-HW2C__teamcolourstripes.hod" "$tmp/s.hod"
  # What a damaged file gave up is saved or exported only when asked to.
  damaged="$corpus/Real-Gecko__hw2-complex__hgn_attackbombersupport.hod"
  exits 3 "damaged corpus file exits 3" "$cli" info --json "$damaged"
  exits 3 "a damaged file is not saved unasked" "$cli" save "$damaged" "$tmp/salvaged.hod"
  exits 0 "--salvage saves what was read" "$cli" save --salvage "$damaged" "$tmp/salvaged.hod"
  exits 0 "the salvaged file round-trips" "$cli" roundtrip "$tmp/salvaged.hod"
  for export in export-obj export-textures; do
    exits 3 "$export refuses a damaged file unasked" "$cli" $export "$damaged" --out-dir "$tmp/$export"
    "$cli" $export --salvage "$damaged" --out-dir "$tmp/$export" >/dev/null 2>&1
    check "$export --salvage exports what was read" test $? -eq 0 -a -n "$(ls "$tmp/$export")"
  done
  exits 3 "export-hsc refuses a damaged file unasked" "$cli" export-hsc "$damaged" -o "$tmp/d.hsc"
  "$cli" export-hsc --salvage "$damaged" -o "$tmp/d.hsc" >/dev/null 2>&1
  check "export-hsc --salvage exports what was read" test -s "$tmp/d.hsc"
  exits 3 "--salvage exports nothing from a file that cannot be opened" \
    "$cli" export-obj --salvage "$tmp/missing.hod" --out-dir "$tmp/none"
  # Exports into a folder of their own.
  scout="$corpus/Mephistofeles__hw2-shaders__hgn_scout.hod"
  "$cli" export-obj "$scout" --out-dir "$tmp/obj" >/dev/null
  check "export-obj exits 0 and writes every level and the MTL" test $? -eq 0 -a \
    "$(ls "$tmp/obj" | grep -c -E 'Root_mesh_LOD[0-3]\.obj|\.mtl$')" -eq 5
  "$cli" export-textures "$scout" --png --out-dir "$tmp/tex" >/dev/null
  check "export-textures exits 0 and writes DDS files with PNGs beside" test $? -eq 0 -a \
    "$(ls "$tmp/tex"/*.DDS | wc -l)" -eq "$(ls "$tmp/tex"/*.png | wc -l)"
  exits 2 "export-obj refuses a mesh that is not there" \
    "$cli" export-obj "$scout" --mesh 9 --out-dir "$tmp/obj"
  # import-obj turns V over unless told to keep it as export-obj wrote it.
  exits 0 "import-obj --keep-v exits 0" "$cli" import-obj "$scout" "$tmp/obj/Root_mesh_LOD0.obj" \
    --mesh 1 --lod 1 --keep-v -o "$tmp/kept.hod"
  "$cli" import-obj "$scout" "$tmp/obj/Root_mesh_LOD0.obj" --mesh 1 --lod 1 -o "$tmp/reversed.hod" \
    >/dev/null
  check "import-obj reverses V unless told to keep it" \
    grep -q '\.UV\.v: ' <<<"$("$cli" diff "$tmp/kept.hod" "$tmp/reversed.hod")"
  # A HOD's script builds a model with the same non-mesh families.
  yard="$corpus/Real-Gecko__hw2-complex__hgn_battleshipyard.hod"
  "$cli" export-hsc "$yard" -o "$tmp/yard.hsc" >/dev/null
  check "export-hsc exits 0 and ends lines in CR LF" test $? -eq 0 -a -n "$(grep $'\r$' "$tmp/yard.hsc")"
  exits 0 "build exits 0" "$cli" build "$tmp/yard.hsc" -o "$tmp/yard.hod"
  check "an exported script builds without a skipped line" test -z "$(grep "matched no command" "$tmp/err")"
  families='"(materials|joints|markers|nav_lights|dock_paths|dock_points|keyframe_tracks)":[0-9]*'
  check "the built model has the exported families" test \
    "$("$cli" info --json "$yard" | grep -oE "$families")" = \
    "$("$cli" info --json "$tmp/yard.hod" | grep -oE "$families")"
  # A file written by the modding tools comes back byte for byte.
  exits 0 "corpus roundtrip" "$cli" roundtrip "$scout"
  "$cli" save "$scout" "$tmp/scout.hod" >/dev/null
  check "corpus save is byte-identical" cmp -s "$scout" "$tmp/scout.hod"
  # glTF: every file that reads cleanly exports to a file the Khronos validator accepts (when
  # scripts/setup.sh installed it) and comes back as the same model; HOD 2.0 files come back
  # classic, as `save` writes them.
  validator="$(dirname "$0")/../../tools/validate_gltf.js"
  [ -d "$(dirname "$0")/../../tools/node_modules/gltf-validator" ] || validator=""
  for f in "$corpus"/*.hod; do
    "$cli" info "$f" >/dev/null 2>&1 || continue
    name=$(basename "$f" .hod)
    for ext in glb gltf; do
      exits 0 "export-gltf $name.$ext" "$cli" export-gltf "$f" -o "$tmp/$name.$ext"
      if [ -n "$validator" ]; then
        exits 0 "glTF validator accepts $name.$ext" node "$validator" "$tmp/$name.$ext"
      fi
    done
    exits 0 "import-gltf $name" "$cli" import-gltf "$tmp/$name.glb" -o "$tmp/$name.back.hod"
    if grep -q '"dialect":"classic"' <<<"$("$cli" info --json "$f")"; then
      exits 0 "glTF round trip is the same model: $name" "$cli" diff "$f" "$tmp/$name.back.hod"
    fi
  done
  rm -f "$tmp"/*.glb "$tmp"/*.gltf "$tmp"/*.back.hod
  # --base: the scout's meshes come back into the scout, the rest of it untouched.
  "$cli" export-gltf "$scout" -o "$tmp/scout.glb" --lods 0 >/dev/null
  exits 0 "import-gltf --base saves" \
    "$cli" import-gltf "$tmp/scout.glb" --base "$scout" -o "$tmp/scout_base.hod"
  check "import-gltf --base names what it replaced" grep -q '^replaced mesh ' "$tmp/out"
  "$cli" diff "$scout" "$tmp/scout_base.hod" >"$tmp/diff.txt"
  check "--base with level 0 only drops the other levels" grep -q 'Lods.size' "$tmp/diff.txt"
  check "--base with level 0 only changes nothing else" \
    bash -c "! grep -qv '\.Lod' '$tmp/diff.txt'"
else
  echo "corpus not found; skipping corpus checks"
fi

# A file that is not glTF: a message, exit 3, nothing written.
printf 'not a glTF file' >"$tmp/bad.glb"
exits 3 "import-gltf refuses a damaged file" "$cli" import-gltf "$tmp/bad.glb" -o "$tmp/bad.hod"
check "import-gltf says why" grep -q 'not a glTF file' "$tmp/err"
check "import-gltf writes nothing then" test ! -e "$tmp/bad.hod"

echo "$passed passed, $failed failed"
test "$failed" -eq 0
