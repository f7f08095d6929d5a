#!/usr/bin/env bash
# Fails when the committed artwork in src/ui/res is not what art/*.svg renders
# to, or when it has the wrong size/format for the program.
# Usage: tests/art/check-art.sh        (from any directory)
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
res=$repo/src/ui/res
png=$res/lock_notice.png
ico=$res/Codelist.ico
identify=/usr/bin/identify
compare=/usr/bin/compare

fail() { echo "check-art: FAIL: $*" >&2; exit 1; }

for f in "$png" "$ico"; do
  [ -f "$f" ] || fail "missing $f (run tools/render-art.sh)"
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
bash "$repo/tools/render-art.sh" "$tmp" >/dev/null ||
  fail "tools/render-art.sh could not render the sources"

# Same picture as the sources give? Bytes first; if zlib or similar differs
# between machines, identical pixels (alpha included) in every frame still count.
same_pixels() {
  local a=$1 b=$2 na nb i ae
  na=$("$identify" -format '%wx%h\n' "$a" 2>/dev/null) || return 1
  nb=$("$identify" -format '%wx%h\n' "$b" 2>/dev/null) || return 1
  [ "$na" = "$nb" ] || return 1
  for ((i = 0; i < $(printf '%s\n' "$na" | wc -l); i++)); do
    ae=$("$compare" -metric AE "$a[$i]" "$b[$i]" null: 2>&1) || return 1
    [ "$ae" = 0 ] || return 1
  done
}
for name in lock_notice.png Codelist.ico; do
  if ! cmp -s "$res/$name" "$tmp/$name"; then
    same_pixels "$res/$name" "$tmp/$name" ||
      fail "src/ui/res/$name differs from what art/ renders to; run tools/render-art.sh and commit the result"
    echo "check-art: note: $name bytes differ from a fresh render but the pixels are identical"
  fi
done

# Lock notice: 640x480, 8-bit truecolour without alpha (PNG colour type 2).
dims=$("$identify" -format '%m %w %h' "$png") || fail "cannot read $png"
[ "$dims" = "PNG 640 480" ] || fail "lock_notice.png is '$dims', want 'PNG 640 480'"
ihdr=$(od -An -tu1 -j24 -N2 "$png" | tr -s ' ' | sed 's/^ //;s/ $//')
[ "$ihdr" = "8 2" ] || fail "lock_notice.png bit depth/colour type is '$ihdr', want 8-bit RGB '8 2'"
bytes=$(wc -c <"$png")
[ "$bytes" -lt 409600 ] || fail "lock_notice.png is $bytes bytes, want under 400 KB"

# Icon: exactly 16, 32 and 48 px, each entry 32 bits per pixel.
sizes=$("$identify" -format '%wx%h\n' "$ico" | sort -n | tr '\n' ' ' | sed 's/ $//') ||
  fail "cannot read $ico"
[ "$sizes" = "16x16 32x32 48x48" ] || fail "Codelist.ico holds '$sizes', want '16x16 32x32 48x48'"
count=$(od -An -tu2 -j4 -N2 "$ico" | tr -d ' ')
[ "$count" = 3 ] || fail "Codelist.ico directory lists $count entries, want 3"
for ((i = 0; i < 3; i++)); do
  bpp=$(od -An -tu2 -j$((6 + 16 * i + 6)) -N2 "$ico" | tr -d ' ')
  [ "$bpp" = 32 ] || fail "Codelist.ico entry $i has $bpp bits per pixel, want 32"
done

echo "check-art: OK: lock_notice.png and Codelist.ico match the art/ sources (640x480 RGB; icon 16/32/48 px, 32-bit)"
