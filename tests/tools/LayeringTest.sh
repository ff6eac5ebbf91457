#!/usr/bin/env bash
# The layering check: every #include of a library's source names a folder of its own layer or one
# below (platform <- base <- graphics, sound <- shell <- scenario <- songgame <- game; graphics and
# sound never include each other), and only the back-end folders include SDL (platform/*/sdl/),
# FFmpeg (platform/*/ffmpeg/) or FreeType and fontconfig (platform/font/). Tests, benchmarks, fuzz
# targets and tools may include anything. Prints every offending line and fails when there is one.
#
#   LayeringTest.sh SOURCE_ROOT
set -euo pipefail
cd "$1"
libraries=(platform base graphics sound shell scenario songgame game)
present=()
for library in "${libraries[@]}"; do [ -d "$library" ] && present+=("$library"); done
grep -rnE '^[[:space:]]*#[[:space:]]*include' "${present[@]}" --include='*.h' --include='*.cpp' |
awk -F: '
BEGIN {
    allowed["platform"] = "platform"
    allowed["base"] = "platform base"
    allowed["graphics"] = "platform base graphics"
    allowed["sound"] = "platform base sound"
    allowed["shell"] = "platform base graphics sound shell"
    allowed["scenario"] = "platform base graphics sound shell scenario"
    allowed["songgame"] = "platform base graphics sound shell scenario songgame"
    allowed["game"] = "platform base graphics sound shell scenario songgame game"
    failures = 0
}
function fail(message) { print $1 ":" $2 ": " message; ++failures }
{
    file = $1
    text = $0; sub(/^[^:]*:[^:]*:/, "", text)
    if (!match(text, /[<"][^>"]*[>"]/))
        next
    name = substr(text, RSTART + 1, RLENGTH - 2)
    split(file, parts, "/"); library = parts[1]
    if (substr(text, RSTART, 1) == "\"" && index(name, "/") > 0) {
        top = substr(name, 1, index(name, "/") - 1)
        if ((top in allowed) && index(" " allowed[library] " ", " " top " ") == 0)
            fail(library " may not include " top ": " name)
    }
    if (name ~ /^SDL/ && file !~ /^platform\/[^\/]*\/sdl\//)
        fail("SDL header outside platform/*/sdl/: " name)
    if (name ~ /^lib(av|sw)/ && file !~ /^platform\/[^\/]*\/ffmpeg\//)
        fail("FFmpeg header outside platform/*/ffmpeg/: " name)
    if (name ~ /^(ft2build\.h|freetype|fontconfig)/ && file !~ /^platform\/font\//)
        fail("FreeType header outside platform/font/: " name)
}
END {
    if (failures > 0) { print failures " include(s) break the layering"; exit 1 }
    print "every include keeps to its layer"
}'
