#!/usr/bin/env bash
# gantry-cli as a user runs it: exit statuses, JSON shape, messages on stderr, the dump order.
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
  fi
}
has() {  # text, patterns...: every pattern is found in the text
  local text=$1
  shift
  for pattern; do grep -q -- "$pattern" <<<"$text" || return 1; done
}

# A file of one VERS chunk: a valid (if empty) model HOD.
printf 'FORM\x00\x00\x00\x08VERS\x00\x02\x00\x00' >"$tmp/vers.hod"
# The same followed by a truncated NAME chunk.
cp "$tmp/vers.hod" "$tmp/cut.hod"
printf 'FORM\x00\x00\x00\x20NAMEHomeworld2' >>"$tmp/cut.hod"

out=$("$cli" info --json "$tmp/vers.hod" 2>"$tmp/err")
status=$?
check "valid file exits 0" test "$status" -eq 0
check "json type, version, dialect, no messages, the default root joint" has "$out" \
  '"type":"multi-mesh"' '"version":512' '"dialect":"classic"' '"messages":\[\]' '"joints":1'
check "every count key present" test "$(grep -o '"[a-z_]*":[0-9][0-9]*' <<<"$out" | grep -c -v version)" -eq 29
check "nothing on stderr" test ! -s "$tmp/err"

out=$("$cli" info --json "$tmp/cut.hod" 2>"$tmp/err")
status=$?
check "truncated file exits 3" test "$status" -eq 3
check "truncated file message in json" has "$out" '"messages":\["Error reading the NAME chunk'
check "truncated file message on stderr" grep -q 'NAME chunk' "$tmp/err"

"$cli" info "$tmp/missing.hod" >/dev/null 2>"$tmp/err"
check "missing file exits 3" test $? -eq 3
check "missing file says so" grep -q "Couldn't open file" "$tmp/err"
# Nothing read, nothing counted: a folder or an empty file gives the error alone.
: >"$tmp/empty.hod"
for unread in "$tmp/missing.hod" "$tmp/empty.hod" "$tmp"; do
  out=$("$cli" info "$unread" 2>/dev/null)
  check "info prints no contents for $(basename "$unread")" test -z "$out"
done
if [ -n "${GANTRY_WINDOWS:-}" ]; then
  # Cyrillic is outside code page 1252: Windows would pass "???????.hod"; say why instead.
  "$cli" info "$tmp/Корабль.hod" >/dev/null 2>"$tmp/err"
  check "a name outside the ANSI code page is a usage error" test $? -eq 2
  check "and says why" grep -q 'outside the system.s ANSI code page' "$tmp/err"
fi
# JSON is UTF-8 on both platforms: a UTF-8 file name passes once, not encoded twice.
out=$("$cli" info --json "$tmp/missing_Zürich.hod" 2>/dev/null)
check "JSON names a UTF-8 path as it is" grep -q 'missing_Zürich' <<<"$out"

"$cli" info >/dev/null 2>&1
check "no file is a usage error" test $? -eq 2

# --version names the project's version; the manual page and the bash completion are made from
# the same description as --help, so every command --help lists is in both.
out=$("$cli" --version)
check "--version exits 0" test $? -eq 0
check "--version names the version" grep -q "^gantry-cli ${GANTRY_VERSION:-[0-9]}" <<<"$out"
"$cli" --generate man >"$tmp/manual" && "$cli" --generate bash-completion >"$tmp/completion"
check "manual and completion are generated" test $? -eq 0
commands=$("$cli" --help | sed -n '/^Subcommands:/,$p' | awk 'NR > 1 && /^  [a-z]/ {print $1}')
check "--help lists the commands" test -n "$commands"
for command in $commands; do
  check "manual has $command" grep -q "^\.SS \"$command" "$tmp/manual"
  check "completion has $command" grep -q "^    $command)" "$tmp/completion"
done
check "manual has the exit statuses" grep -q '^\.SH "EXIT STATUS"' "$tmp/manual"
"$cli" --generate pdf >/dev/null 2>&1
check "an unknown --generate is a usage error" test $? -eq 2
"$cli" frobnicate "$tmp/vers.hod" >/dev/null 2>&1
check "unknown command is a usage error" test $? -eq 2

check "text summary names the type" has "$("$cli" info "$tmp/vers.hod")" 'multi-mesh'

dump=$("$cli" dump "$tmp/vers.hod")
check "dump starts with the first line logged" test "$(head -n1 <<<"$dump")" = "Reading HOD..."
check "dump logs the version" has "$dump" '^HOD Version: 512$'
check "dump ends with the banner" has "$(tail -n2 <<<"$dump")" 'SUCCESSFULLY READ HOD'


# validate / save / roundtrip / diff on the small files.
out=$("$cli" validate --json "$tmp/vers.hod")
check "validate exits 0 on a valid model" test $? -eq 0
check "validate json" has "$out" \
  '^{"valid":true,"messages":\[{"icon":"exclamation","text":"No Geometry in HOD (!)"}\]}$'
"$cli" validate "$tmp/cut.hod" >/dev/null 2>&1
check "validate exits 3 on an unreadable file" test $? -eq 3
"$cli" save "$tmp/vers.hod" "$tmp/saved.hod" >/dev/null
check "save exits 0" test $? -eq 0
"$cli" save "$tmp/saved.hod" "$tmp/saved2.hod" >/dev/null
check "saving twice gives the same bytes" cmp -s "$tmp/saved.hod" "$tmp/saved2.hod"
printf 'older contents' >"$tmp/existing.hod"
"$cli" save "$tmp/vers.hod" "$tmp/existing.hod" >/dev/null
check "save replaces an existing file" cmp -s "$tmp/saved.hod" "$tmp/existing.hod"
"$cli" save "$tmp/vers.hod" "$tmp/no/such/folder.hod" >"$tmp/out" 2>&1
check "save exits 3 on an I/O error" test $? -eq 3
check "save reports the failed step" \
  grep -qF "Couldn't open file: $(shown_path "$tmp/no/such/folder.hod")" "$tmp/out"
"$cli" roundtrip "$tmp/saved.hod" >/dev/null
check "roundtrip exits 0" test $? -eq 0
"$cli" diff "$tmp/vers.hod" "$tmp/saved.hod" >/dev/null
check "a file and its save are equal models" test $? -eq 0
printf 'FORM\x00\x00\x00\x08VERS\xe8\x03\x00\x00' >"$tmp/vers1000.hod"
out=$("$cli" diff "$tmp/vers.hod" "$tmp/vers1000.hod")
check "diff exits 1 on a difference" test $? -eq 1
check "diff names the field" has "$out" '^version.Version: 512 != 1000$'
"$cli" diff "$tmp/vers.hod" "$tmp/cut.hod" >/dev/null 2>&1
check "diff exits 3 on an unreadable file" test $? -eq 3


# rescale / rotate save like `save`.
printf 'FORM\x00\x00\x00\x08VERS\x00\x02\x00\x00LITE\x00\x00\x00\x38\x01\x00\x00\x00\x01\x00\x00\x00L\x00\x00\x00\x00\x00\x00\x80\x3f\x00\x00\x00\x40\x00\x00\x40\x40' >"$tmp/light.hod"
printf '\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00' >>"$tmp/light.hod"
"$cli" info "$tmp/light.hod" >/dev/null
check "hand-made light file reads" test $? -eq 0
"$cli" rescale "$tmp/light.hod" "$tmp/scaled.hod" 2 2 2 >/dev/null
check "rescale exits 0" test $? -eq 0
out=$("$cli" diff "$tmp/light.hod" "$tmp/scaled.hod")
check "rescale doubles the light" test "$out" = "$(printf 'lights.Lights[0].Position.x: 1 != 2\nlights.Lights[0].Position.y: 2 != 4\nlights.Lights[0].Position.z: 3 != 6')"
"$cli" rescale "$tmp/light.hod" "$tmp/scaled.hod" 2 0 2 >/dev/null 2>&1
check "rescale refuses a zero" test $? -eq 2
for factor in nan inf 1e39; do
  "$cli" rescale "$tmp/light.hod" "$tmp/scaled.hod" "$factor" 1 1 >/dev/null 2>&1
  check "rescale refuses $factor" test $? -eq 2
done
"$cli" rotate "$tmp/light.hod" "$tmp/turned.hod" 0 nan 0 >/dev/null 2>&1
check "rotate refuses nan" test $? -eq 2
"$cli" rescale "$tmp/light.hod" "$tmp/huge.hod" 1 3e38 1 >/dev/null 2>&1
check "rescale refuses a result beyond a single" test $? -eq 1
check "nothing is written then" test ! -e "$tmp/huge.hod"
"$cli" rotate "$tmp/light.hod" "$tmp/turned.hod" 0 0 90 >/dev/null
check "rotate exits 0" test $? -eq 0
out=$("$cli" diff --tolerance 0.00001 "$tmp/light.hod" "$tmp/turned.hod")
check "rotate turns the light about Z (x)" grep -qx 'lights.Lights\[0\].Position.x: 1 != -2' <<<"$out"
check "rotate turns the light about Z (y)" grep -qxE 'lights.Lights\[0\].Position.y: 2 != (1|0.9999999)' <<<"$out"
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
"$cli" validate "$tmp/light_joints.hod" >"$tmp/out" 2>&1
check "validate finds joints that lights would drop" test $? -eq 1
check "validate names them" grep -q 'saving it drops its 2 joint(s)' "$tmp/out"
"$cli" save "$tmp/light_joints.hod" "$tmp/dropped.hod" >"$tmp/out" 2>"$tmp/err"
check "save refuses to drop joints for lights" test $? -eq 1
check "save says how to go on" grep -q -- '--drop-lights' "$tmp/err"
check "save writes nothing then" test ! -e "$tmp/dropped.hod"
"$cli" save --drop-lights "$tmp/light_joints.hod" "$tmp/dropped.hod" >"$tmp/out" 2>&1
check "save --drop-lights saves" test $? -eq 0
check "save --drop-lights says what went" grep -q 'saving it drops its 2 joint(s)' "$tmp/out"
out=$("$cli" diff "$tmp/light_joints.hod" "$tmp/dropped.hod")
check "save --drop-lights keeps the light, not the joints" grep -q '^joints.JointCount: 2 != 1$' <<<"$out"


# stars: a 2x2 white star map makes four stars in the 16 fields (empty fields are not written).
printf 'FORM\x00\x00\x00\x08VERS\xe8\x03\x00\x00' >"$tmp/bg.hod"
{
  printf '\x00\x00\x02\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x02\x00\x20\x08'
  printf '\xff%.0s' $(seq 16)
  printf '\x00\x00\x00\x00\x00\x00\x00\x00TRUEVISION-XFILE.\x00'
} >"$tmp/map.tga"
"$cli" stars "$tmp/bg.hod" "$tmp/map.tga" -o "$tmp/stars.hod" --radius 100 --centre 0 0 0 >/dev/null
check "stars exits 0" test $? -eq 0
check "stars made four stars" has "$("$cli" info --json "$tmp/stars.hod")" '"stars":4'

# Textures: painters' pictures into the demo ship, saved, read back with their formats and chains.
demo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../samples/demo" && pwd)
"$cli" build "$demo/demo.hsc" -o "$tmp/demo.hod" >/dev/null 2>&1
check "the demo ship builds" test $? -eq 0
"$cli" export-textures "$tmp/demo.hod" --png --out-dir "$tmp/pictures" >/dev/null 2>&1
out=$("$cli" import-texture "$tmp/demo.hod" "$tmp/pictures/glow.png" "$demo/hull[1].TGA" \
  -o "$tmp/demo_tex.hod" --max-size 64 2>"$tmp/err")
check "import-texture exits 0" test $? -eq 0
check "import-texture adds a new name" grep -q 'glow.png -> glow: DXT1 (auto: no alpha: every pixel is opaque), 64x64, 7 levels, added' <<<"$out"
check "import-texture replaces by tag" grep -q 'hull.PSD\[1\]: DXT1 (auto: no alpha: every pixel is opaque), 64x64, 7 levels, replaced' <<<"$out"
out=$("$cli" info --json "$tmp/demo_tex.hod" 2>/dev/null)
check "the imported textures read back" grep -q '"textures":3' <<<"$out"
"$cli" roundtrip "$tmp/demo_tex.hod" >/dev/null 2>&1
check "the imported textures save and read back equal" test $? -eq 0
out=$("$cli" convert-texture "$tmp/pictures/hull.png" -o "$tmp/hull.dds" --format dxt5 --fast)
check "convert-texture exits 0" test $? -eq 0
check "convert-texture writes a full chain" grep -q 'DXT5, .* levels' <<<"$out"
printf 'GIF89a\x01\x00\x01\x00\x00\x00\x00;' >"$tmp/picture.gif"
"$cli" convert-texture "$tmp/picture.gif" -o "$tmp/picture.dds" 2>"$tmp/err" >/dev/null
check "convert-texture refuses other pictures" test $? -eq 3
check "convert-texture says why" grep -q 'not a PNG, JPEG, TGA, BMP or PSD picture' "$tmp/err"
"$cli" convert-texture "$tmp/pictures/hull.png" -o "$tmp/hull.dds" --format 8888 2>/dev/null
check "uncompressed textures go to TGA files" test $? -eq 2

if [ -d "$corpus" ]; then
  light="$corpus/tdmckenney0__slipstream-the-price-of-freedom__hw1_supernova_light.hod"
  check "corpus owner without its NUL, lights" \
    has "$("$cli" info --json "$light")" '"owner":"rcunningham"' '"lights":3'
  check "corpus background type and star fields" \
    has "$("$cli" info --json "$corpus/Real-Gecko__hw2-complex__black.hod")" \
    '"type":"background"' '"star_fields":16'
  awacs="$corpus/GuillermoOM__HWRM_FSFC__ter_awacs_0.hod"
  check "HOD 2.0 dialect read without messages" \
    has "$("$cli" info --json "$awacs")" '"dialect":"hod2"' '"messages":\[\]'
  out=$("$cli" save --dialect classic "$awacs" "$tmp/awacs_classic.hod")
  check "HOD 2.0 saved as classic" test $? -eq 0
  check "the classic save names what it leaves out" has "$out" 'KDOP'
  check "messages print one line end per line" test "$(grep -c $'\r' <<<"$out")" -eq 0
  check "the classic file reads as classic" \
    has "$("$cli" info --json "$tmp/awacs_classic.hod")" '"dialect":"classic"'
  "$cli" save "$awacs" "$tmp/awacs_hod2.hod" >/dev/null
  check "HOD 2.0 saved in its own dialect" test $? -eq 0
  "$cli" diff "$awacs" "$tmp/awacs_hod2.hod" >/dev/null
  check "the HOD 2.0 save reads back the same" test $? -eq 0
  "$cli" diff "$awacs" "$tmp/awacs_classic.hod" >/dev/null
  check "diff sees the dialect" test $? -eq 1
  out=$("$cli" roundtrip "$awacs")
  check "a HOD 2.0 file round-trips in its own dialect" test $? -eq 0
  check "roundtrip goes through HOD 2.0" has "$out" 'HOD 2.0'
  out=$("$cli" save --dialect hod2 "$light" "$tmp/light_hod2.hod")
  check "a classic model upgrades to HOD 2.0" test $? -eq 0
  check "the upgrade names what it leaves out" has "$out" 'LITE'
  check "the upgraded file reads as HOD 2.0" \
    has "$("$cli" info --json "$tmp/light_hod2.hod")" '"dialect":"hod2"'
  "$cli" save --dialect hod2 "$corpus/mjhorvath__Homeworld-Classic-Enhanced-for-HW2C__teamcolourstripes.hod" \
    "$tmp/simple_hod2.hod" >/dev/null
  check "a simple mesh is not saved as HOD 2.0" test $? -eq 1
  damaged="$corpus/Real-Gecko__hw2-complex__hgn_attackbombersupport.hod"
  "$cli" info --json "$damaged" >/dev/null 2>&1
  check "damaged corpus file exits 3" test $? -eq 3
  "$cli" save "$damaged" "$tmp/salvaged.hod" >/dev/null 2>&1
  check "a damaged file is not saved unasked" test $? -eq 3
  "$cli" save --salvage "$damaged" "$tmp/salvaged.hod" >/dev/null 2>&1
  check "--salvage saves what was read" test $? -eq 0
  "$cli" roundtrip "$tmp/salvaged.hod" >/dev/null
  check "the salvaged file round-trips" test $? -eq 0
  # The exports likewise export what a damaged file gave up only when asked to.
  for export in export-obj export-textures; do
    "$cli" $export "$damaged" --out-dir "$tmp/$export" >/dev/null 2>&1
    check "$export refuses a damaged file unasked" test $? -eq 3
    "$cli" $export --salvage "$damaged" --out-dir "$tmp/$export" >/dev/null 2>&1
    check "$export --salvage exports what was read" test $? -eq 0 -a -n "$(ls "$tmp/$export")"
  done
  "$cli" export-hsc "$damaged" -o "$tmp/damaged.hsc" >/dev/null 2>&1
  check "export-hsc refuses a damaged file unasked" test $? -eq 3
  "$cli" export-hsc --salvage "$damaged" -o "$tmp/damaged.hsc" >/dev/null 2>&1
  check "export-hsc --salvage exports what was read" test -s "$tmp/damaged.hsc"
  "$cli" export-obj --salvage "$tmp/missing.hod" --out-dir "$tmp/none" >/dev/null 2>&1
  check "--salvage exports nothing from a file that cannot be opened" test $? -eq 3
  # Exports into a folder of their own.
  scout="$corpus/Mephistofeles__hw2-shaders__hgn_scout.hod"
  "$cli" export-obj "$scout" --out-dir "$tmp/obj" >/dev/null
  check "export-obj exits 0 and writes every level and the MTL" test $? -eq 0 -a \
    "$(ls "$tmp/obj" | grep -c -E 'Root_mesh_LOD[0-3]\.obj|\.mtl$')" -eq 5
  check "OBJ lines end in CR LF" grep -q $'\r$' "$tmp/obj/Root_mesh_LOD0.obj"
  "$cli" export-textures "$scout" --png --out-dir "$tmp/tex" >/dev/null
  check "export-textures exits 0 and writes DDS files with PNGs beside" test $? -eq 0 -a \
    "$(ls "$tmp/tex"/*.DDS | wc -l)" -eq "$(ls "$tmp/tex"/*.png | wc -l)"
  "$cli" export-obj "$scout" --mesh 9 --out-dir "$tmp/obj" >/dev/null 2>&1
  check "export-obj refuses a mesh that is not there" test $? -eq 2
  # OBJ files come back with their UVs when V is kept as export-obj wrote it. The first import
  # makes a level of the importer's own shape, so the second one can give it back unchanged.
  "$cli" import-obj "$scout" "$tmp/obj/Root_mesh_LOD0.obj" --mesh 1 --lod 1 --keep-v \
    -o "$tmp/imported.hod" >/dev/null
  check "import-obj --keep-v exits 0" test $? -eq 0
  "$cli" export-obj "$tmp/imported.hod" --mesh 1 --out-dir "$tmp/obj2" >/dev/null
  "$cli" import-obj "$tmp/imported.hod" "$tmp/obj2/Root_mesh_LOD0.obj" --mesh 1 --lod 1 \
    --keep-v -o "$tmp/reimported.hod" >/dev/null
  "$cli" diff --tolerance 0.000001 "$tmp/imported.hod" "$tmp/reimported.hod" >"$tmp/out"
  check "export-obj then import-obj --keep-v keeps the level" test $? -eq 0
  "$cli" import-obj "$tmp/imported.hod" "$tmp/obj2/Root_mesh_LOD0.obj" --mesh 1 --lod 1 \
    -o "$tmp/reversed.hod" >/dev/null
  "$cli" diff --tolerance 0.000001 "$tmp/imported.hod" "$tmp/reversed.hod" >"$tmp/out"
  check "import-obj reverses V unless told to keep it" grep -q '\.UV\.v: ' "$tmp/out"
  check "import-obj --help says which V applies" has "$("$cli" import-obj --help)" '--keep-v'
  # A HOD's script builds a model with the same non-mesh families.
  yard="$corpus/Real-Gecko__hw2-complex__hgn_battleshipyard.hod"
  "$cli" export-hsc "$yard" -o "$tmp/yard.hsc" >/dev/null
  check "export-hsc exits 0 and ends lines in CR LF" test $? -eq 0 -a -n "$(grep $'\r$' "$tmp/yard.hsc")"
  "$cli" build "$tmp/yard.hsc" -o "$tmp/yard.hod" >/dev/null 2>"$tmp/yard.err"
  check "build exits 0" test $? -eq 0
  families='"(materials|joints|markers|nav_lights|dock_paths|dock_points|keyframe_tracks)":[0-9]*'
  check "the built model has the exported families" test \
    "$("$cli" info --json "$yard" | grep -oE "$families")" = \
    "$("$cli" info --json "$tmp/yard.hod" | grep -oE "$families")"
  "$cli" build "$tmp/yard.hsc" -o "$tmp/yard.hod" --type sphere >/dev/null 2>&1
  check "build refuses an unknown type" test $? -eq 2
  # An engine shape larger than a HOD holds (820 triangles: 8 + 1 + 4 + 820 * 40 bytes) is
  # refused, and so is the build.
  awk 'BEGIN { for (t = 0; t < 820; ++t) printf "v %d 0 0\nv %d 1 0\nv %d 0 1\n", t, t, t;
               for (t = 0; t < 820; ++t) printf "f %d %d %d\n", 3 * t + 1, 3 * t + 2, 3 * t + 3 }' \
    >"$tmp/big.obj"
  printf "ETSH_Add('e','Root','/big.obj')\r\n" >"$tmp/big.hsc"
  "$cli" build "$tmp/big.hsc" -o "$tmp/big.hod" 2>"$tmp/err" >/dev/null
  check "build refuses a model with more than a HOD holds, writing nothing" \
    test $? -eq 1 -a ! -e "$tmp/big.hod"
  check "build says why" grep -q 'big.hsc:1: The engine shape would take 32813 bytes' "$tmp/err"
  check "an exported script builds without a skipped line" \
    test "$(grep -c "matched no command" "$tmp/yard.err")" -eq 0
  # Lines that match no command are named (blank ones, comments and braces aside); a script where
  # none matches builds nothing; a UTF-16 one builds as its text says.
  printf "// materials\r\n{\r\nSTAT_Add('a','s',0)\r\nSTAT_Add('b','s',0,\r\n  \r\n}\r\n" \
    >"$tmp/skip.hsc"
  "$cli" build "$tmp/skip.hsc" -o "$tmp/skip.hod" 2>"$tmp/err" >/dev/null
  check "build exits 0 when a line is skipped" test $? -eq 0
  check "build names the skipped line" test "$(grep -c 'matched no command' "$tmp/err")" -eq 1
  check "build names it by number" grep -q 'skip.hsc:4: matched no command' "$tmp/err"
  printf "STAT_Add('a','s',0)\r\n" | iconv -t UTF-16LE >"$tmp/bare16.hsc"
  "$cli" build "$tmp/bare16.hsc" -o "$tmp/bare16.hod" 2>"$tmp/err" >/dev/null
  check "build fails when no line matched" test $? -eq 1
  check "build writes nothing when no line matched" test ! -e "$tmp/bare16.hod"
  { printf '\xff\xfe'; printf "STAT_Add('a','s',0)\r\n" | iconv -t UTF-16LE; } >"$tmp/marked16.hsc"
  "$cli" build "$tmp/marked16.hsc" -o "$tmp/marked16.hod" >/dev/null 2>&1
  check "build reads a UTF-16 script with its mark" test $? -eq 0
  # A file written by the modding tools comes back byte for byte.
  "$cli" roundtrip "$scout" >/dev/null
  check "corpus roundtrip" test $? -eq 0
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
      "$cli" export-gltf "$f" -o "$tmp/$name.$ext" >/dev/null 2>"$tmp/err"
      check "export-gltf $name.$ext" test $? -eq 0
      if [ -n "$validator" ]; then
        node "$validator" "$tmp/$name.$ext" >"$tmp/validator.txt" 2>&1
        check "glTF validator accepts $name.$ext" test $? -eq 0
      fi
    done
    "$cli" import-gltf "$tmp/$name.glb" -o "$tmp/$name.back.hod" >/dev/null 2>"$tmp/err"
    check "import-gltf $name" test $? -eq 0
    if grep -q '"dialect":"classic"' <<<"$("$cli" info --json "$f")"; then
      "$cli" diff "$f" "$tmp/$name.back.hod" >"$tmp/diff.txt"
      check "glTF round trip is the same model: $name" test $? -eq 0
    fi
  done
  rm -f "$tmp"/*.glb "$tmp"/*.gltf "$tmp"/*.back.hod
  # --base: the scout's meshes come back into the scout, the rest of it untouched.
  "$cli" export-gltf "$scout" -o "$tmp/scout.glb" --lods 0 >/dev/null
  "$cli" import-gltf "$tmp/scout.glb" --base "$scout" -o "$tmp/scout_base.hod" >"$tmp/out"
  check "import-gltf --base saves" test $? -eq 0
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
"$cli" import-gltf "$tmp/bad.glb" -o "$tmp/bad.hod" >/dev/null 2>"$tmp/err"
check "import-gltf refuses a damaged file" test $? -eq 3
check "import-gltf says why" grep -q 'not a glTF file' "$tmp/err"
check "import-gltf writes nothing then" test ! -e "$tmp/bad.hod"

echo "$passed passed, $failed failed"
test "$failed" -eq 0
