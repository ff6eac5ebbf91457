#!/usr/bin/env bash
# The layering check itself: on a made-up tree it reports each upward or sideways include and each
# back-end header outside its folder, and passes what the layers allow.
#
#   LayeringCheckTest.sh LAYERING_TEST_SH
set -euo pipefail
check=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir -p base/util sound graphics platform/audio/sdl platform/font tests
cat > base/util/A.cpp <<'CODE'
#include "platform/classes/Stream.h"
#include "graphics/bitmaps/TXeRGBBits.h"
#include <SDL.h>
CODE
printf '#include "graphics/X.h"\n#include <libavcodec/avcodec.h>\n' > sound/B.h
printf '#include "sound/Y.h"\n#include "base/Z.h"\n' > graphics/C.cpp
printf '#include <SDL.h>\n#include <ft2build.h>\n' > platform/audio/sdl/D.cpp
printf '#include <ft2build.h>\n#include <fontconfig/fontconfig.h>\n' > platform/font/E.cpp
printf '#include "graphics/X.h"\n#include <SDL.h>\n' > tests/F.cpp
if "$check" "$work" > report.txt; then echo "the made-up tree passed"; exit 1; fi
expected=(
    "base/util/A.cpp:2: base may not include graphics"
    "base/util/A.cpp:3: SDL header outside"
    "sound/B.h:1: sound may not include graphics"
    "sound/B.h:2: FFmpeg header outside"
    "graphics/C.cpp:1: graphics may not include sound"
    "platform/audio/sdl/D.cpp:2: FreeType header outside"
)
for line in "${expected[@]}"; do
    grep -qF "$line" report.txt || { echo "not reported: $line"; cat report.txt; exit 1; }
done
[ "$(grep -c ':[0-9]*: ' report.txt)" -eq ${#expected[@]} ] || { echo "reported more than expected:"; cat report.txt; exit 1; }
echo "the layering check reports every break and nothing else"
