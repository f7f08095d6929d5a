#!/usr/bin/env bash
# Fails when the committed artwork in src/ui/res is not what art/*.svg renders to (the same pixels
# in every frame, alpha included, whatever the compression), or has the wrong size or format for
# the program: the lock notice 640x480 8-bit RGB under 400 KB, the icon exactly 16, 32 and 48 px at
# 32 bits per pixel.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
res=$repo/src/ui/res
fail() { echo "check-art: FAIL: $*" >&2; exit 1; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
bash "$repo/tools/render-art.sh" "$tmp" >/dev/null || fail "tools/render-art.sh could not render the sources"
for name in lock_notice.png Codelist.ico; do
  frames=$(/usr/bin/identify -format '%wx%h\n' "$res/$name") || fail "cannot read src/ui/res/$name"
  [ "$frames" = "$(/usr/bin/identify -format '%wx%h\n' "$tmp/$name")" ] || fail "$name: frames $frames differ from the render"
  for ((i = 0; i < $(wc -l <<<"$frames"); i++)); do
    [ "$(/usr/bin/compare -metric AE "$res/$name[$i]" "$tmp/$name[$i]" null: 2>&1)" = 0 ] ||
      fail "src/ui/res/$name differs from what art/ renders to; run tools/render-art.sh and commit the result"
  done
done
png=$res/lock_notice.png ico=$res/Codelist.ico
[ "$(/usr/bin/identify -format '%m %w %h' "$png") $(od -An -tu1 -j24 -N2 "$png" | xargs)" = "PNG 640 480 8 2" ] ||
  fail "lock_notice.png is not a 640x480 8-bit RGB PNG"
[ "$(wc -c <"$png")" -lt 409600 ] || fail "lock_notice.png is 400 KB or more"
[ "$(/usr/bin/identify -format '%wx%h ' "$ico")" = "16x16 32x32 48x48 " ] || fail "Codelist.ico does not hold 16, 32 and 48 px"
[ "$(od -An -tu2 -j4 -N2 "$ico" | xargs)" = 3 ] || fail "Codelist.ico lists other than 3 entries"
for i in 0 1 2; do
  [ "$(od -An -tu2 -j$((12 + 16 * i)) -N2 "$ico" | xargs)" = 32 ] || fail "Codelist.ico entry $i is not 32 bits per pixel"
done
echo "check-art: OK: lock_notice.png and Codelist.ico match the art/ sources"
