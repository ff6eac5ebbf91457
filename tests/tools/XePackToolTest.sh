#!/usr/bin/env bash
# The pack tool end to end: for every method, create an archive of a tree (empty, 1-byte, text,
# binary and run-heavy files, a subfolder, a name whose GBK trail byte is a backslash), verify it,
# extract it and compare; then a damaged archive fails verify. (Hostile archives: XePackHostileTest.sh.)
set -euo pipefail
xepack=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir -p tree/sub
: > tree/empty.bin
printf 'x' > tree/one.txt
for i in $(seq 1 3000); do echo "line $i of the text file, with words that repeat"; done > tree/text.txt
head -c 70000 /dev/urandom > tree/sub/binary.dat
{ head -c 40000 /dev/zero; printf 'abc'; head -c 9000 /dev/zero | tr '\0' 'q'; } > tree/sub/runs.bin
printf 'trail' > 'tree/sub/乗.txt' # GBK 0x81 0x5C: its second byte is a backslash
for method in 0 1 2 3 4 5; do
    rm -rf out t.pak
    "$xepack" create t.pak -m "$method" tree
    "$xepack" verify t.pak > /dev/null
    "$xepack" extract t.pak out
    diff -r tree out
done
"$xepack" list t.pak > list.txt
grep -q 'sub\\runs.bin' list.txt
"$xepack" --help > help.txt
grep -q 'usage: xepack' help.txt

cp t.pak good.pak
perl -e 'open(F, "+<", $ARGV[0]) or die; seek(F, 40, 0); read(F, $c, 1); seek(F, 40, 0); print F chr(ord($c) ^ 0xFF)' t.pak
if "$xepack" verify t.pak 2> err.txt; then echo "a damaged archive passed verify"; exit 1; fi
grep -q 'CRC' err.txt

if "$xepack" frobnicate good.pak 2> /dev/null; then echo "an unknown command succeeded"; exit 1; fi
echo "xepack: all checks passed"
