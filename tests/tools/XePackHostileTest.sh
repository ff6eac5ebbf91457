#!/usr/bin/env bash
# The pack tool on hostile input: names that cannot be stored are left out by their real names;
# archives with names leading outside the folder, a damaged entry under a good whole-file CRC or a
# changed entry count fail extract and verify with a reason; add and delete keep the archive's
# permissions and refuse one the user may not write.
set -euo pipefail
xepack=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# Names that cannot be stored are left out, each reported by its real name; the rest is kept.
mkdir long
echo hi > long/abcdefghijklmnopqrstuvwxyz.txt
echo hi > 'long/smile😀.txt'
echo hi > long/kept.txt
echo hi > long/picture.jpeg
if "$xepack" create names.pak long 2> err.txt; then echo "unstorable names passed silently"; exit 1; fi
grep -q 'skipped long/abcdefghijklmnopqrstuvwxyz.txt: the name has 30 bytes' err.txt
grep -q 'skipped long/smile😀.txt: its name has no form' err.txt
grep -q 'skipped long/picture.jpeg: the name would be cut' err.txt
"$xepack" list names.pak | grep -q 'kept.txt'

# ---- hostile archives ----
poke() { perl -e 'open(F, "+<", $ARGV[0]) or die; seek(F, $ARGV[1], 0); print F pack("H*", $ARGV[2]); close F' "$@"; }
directory() { perl -e 'open(F, "<", $ARGV[0]) or die; read(F, $h, 16); print 16 + unpack("x8 V", $h)' "$1"; }
# Rewrites the whole-file CRC (CRC-16/MCRF4XX) after the directory, as a forger would.
fixcrc() {
    perl -e 'open(F, "+<", $ARGV[0]) or die; binmode F; local $/; my $d = <F>;
        my ($size, $count) = unpack("x8 V l", $d); my $end = 16 + $size + 48 * $count; my $crc = 0xFFFF;
        for my $b (unpack("C*", substr($d, 0, $end))) {
            $crc ^= $b; for (1 .. 8) { $crc = ($crc & 1) ? (($crc >> 1) ^ 0x8408) : ($crc >> 1); } }
        seek(F, $end, 0); print F pack("v", $crc); close F' "$1"
}
expect_failure() { # command..., then the message expected on stderr
    local message=${*: -1}
    if "${@:1:$#-1}" > /dev/null 2> err.txt; then echo "succeeded: ${*:1:$#-1}"; exit 1; fi
    grep -q -- "$message" err.txt || { echo "no \"$message\" in:"; cat err.txt; exit 1; }
}
mkdir small
printf 'first' > small/a.txt
printf 'second' > small/b.txt
printf 'third' > small/c.txt
"$xepack" create small.pak -m 0 small
dir=$(directory small.pak)

for name in 2e2e5c7570 2e2e2f7570 5c616273 433a616273; do # "..\up", "../up", "\abs", "C:abs"
    cp small.pak evil.pak
    poke evil.pak "$dir" "$name"
    fixcrc evil.pak
    rm -rf box && mkdir box
    expect_failure "$xepack" extract evil.pak box/out 'its name leads outside the target folder'
    test ! -e box/up.txt && test ! -e /abs.txt
    test -f box/out/b.txt
    expect_failure "$xepack" verify evil.pak 'its name leads outside the target folder'
done

cp small.pak damaged.pak
poke damaged.pak 16 58 # the first byte of a.txt, under a good whole-file CRC
fixcrc damaged.pak
expect_failure "$xepack" verify damaged.pak 'a.txt: its stored CRC does not match'
rm -rf out
expect_failure "$xepack" extract damaged.pak out 'not extracted a.txt: its stored CRC does not match'
test ! -e out/a.txt

cp small.pak counted.pak
poke counted.pak 12 02000000 # two entries of three
fixcrc counted.pak
expect_failure "$xepack" verify counted.pak 'the header counts 2 entries, but the file.s size leaves room for 3'
rm -rf out
expect_failure "$xepack" extract counted.pak out 'room for 3'
test -f out/a.txt && test -f out/b.txt

# add and delete keep the archive's mode, and refuse an archive the user may not write.
chmod 640 small.pak
printf 'fourth' > d.txt
"$xepack" add small.pak d.txt
"$xepack" delete small.pak b.txt
test "$(stat -c %a small.pak)" = 640
"$xepack" verify small.pak > /dev/null
expect_failure "$xepack" add small.pak missing.txt 'cannot add missing.txt: it cannot be opened'
chmod 444 small.pak
before=$(sha1sum < small.pak)
as_user=()
if [ "$(id -u)" = 0 ]; then
    chmod 755 "$work"
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
expect_failure "${as_user[@]}" "$xepack" add small.pak d.txt 'small.pak: it is not writable'
expect_failure "${as_user[@]}" "$xepack" delete small.pak a.txt 'small.pak: it is not writable'
test "$(sha1sum < small.pak)" = "$before"
test "$(stat -c %a small.pak)" = 444
echo "xepack: all checks passed"
