#!/usr/bin/env bash
# Renders the SVG artwork in art/ into the resources the program embeds:
#   lock_notice.png (640x480, 8-bit RGB) and Codelist.ico (16, 32, 48 px, 32-bit).
# Usage: tools/render-art.sh [OUTPUT_DIR]     (default: <repo>/src/ui/res)
# Output is byte-for-byte reproducible: tests/art/check-art.sh relies on that.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
art=$repo/art
out=${1:-$repo/src/ui/res}

font_dir=/usr/share/fonts/truetype/tomsontalks
font_file=$font_dir/TomsonTalks.ttf
font_family="Tomson Talks"
# /usr/local/bin/convert may be an unrelated wrapper; use Debian's ImageMagick.
convert=/usr/bin/convert

missing=()
command -v rsvg-convert >/dev/null 2>&1 || missing+=(librsvg2-bin)
{ [ -x "$convert" ] && "$convert" -version 2>/dev/null | grep -q ImageMagick; } || missing+=(imagemagick)
[ -f "$font_file" ] || missing+=(fonts-tomsontalks)
command -v fc-match >/dev/null 2>&1 || missing+=(fontconfig)
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -eq 0 ] && command -v apt-get >/dev/null 2>&1; then
    echo "render-art: installing ${missing[*]}" >&2
    apt-get install -y --no-install-recommends "${missing[@]}" >&2 ||
      { apt-get update >&2 && apt-get install -y --no-install-recommends "${missing[@]}" >&2; }
  else
    echo "render-art: missing Debian packages: ${missing[*]} (apt-get install --no-install-recommends ${missing[*]})" >&2
    exit 1
  fi
fi

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Private fontconfig setup that sees only the lettering font, so fonts or
# fontconfig rules installed elsewhere on the machine cannot change the result.
mkdir -p "$tmp/fc-cache"
cat >"$tmp/fonts.conf" <<CONF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <dir>$font_dir</dir>
  <cachedir>$tmp/fc-cache</cachedir>
</fontconfig>
CONF
export FONTCONFIG_FILE=$tmp/fonts.conf
export FONTCONFIG_PATH=$tmp
unset FONTCONFIG_SYSROOT || true
resolved=$(fc-match -f '%{family}' "$font_family")
if [ "$resolved" != "$font_family" ]; then
  echo "render-art: font '$font_family' not found (got '$resolved')" >&2
  exit 1
fi

mkdir -p "$out"

# Lock notice: flatten onto black (the art is opaque anyway), force 8-bit RGB
# and drop every ancillary chunk so no timestamp or host detail ends up in it.
rsvg-convert --width 640 --height 480 -o "$tmp/lock_notice.png" "$art/lock_notice.svg"
"$convert" "$tmp/lock_notice.png" -background black -alpha remove -alpha off \
  -strip +set date:create +set date:modify \
  -define png:exclude-chunks=all \
  -define png:compression-level=9 -define png:compression-filter=5 -define png:compression-strategy=1 \
  -depth 8 "PNG24:$tmp/lock_notice.out.png"

# Icon: one hand-tuned SVG per size, packed as 32-bit BMP entries with alpha.
for s in 16 32 48; do
  rsvg-convert --width "$s" --height "$s" -o "$tmp/icon-$s.png" "$art/icon-$s.svg"
done
"$convert" "$tmp/icon-16.png" "$tmp/icon-32.png" "$tmp/icon-48.png" \
  -strip +set date:create +set date:modify -alpha on -depth 8 "ICO:$tmp/Codelist.ico"

mv -f "$tmp/lock_notice.out.png" "$out/lock_notice.png"
mv -f "$tmp/Codelist.ico" "$out/Codelist.ico"
echo "render-art: wrote $out/lock_notice.png and $out/Codelist.ico"
