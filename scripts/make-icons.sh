#!/usr/bin/env bash
# Renders the pictures in data/icons/src/ into the PNG and ICO files beside them. The rendered
# files are committed, so a build needs neither tool; run this after changing a drawing and
# commit what it writes. Needs rsvg-convert (librsvg2-bin) and ImageMagick (imagemagick).
#
#   NAME.svg     drawn on a 32 px grid; rendered at 32 px and, for the program icon, 48 and 256
#   NAME-16.svg  the same subject redrawn pixel by pixel for 16 px, where a scaled-down drawing
#                blurs; the 16 px frame of NAME.ico comes from it
#
# The output depends only on the drawings and the tools' versions: rsvg-convert writes no time or
# text chunks, and ImageMagick is told to keep none.
set -euo pipefail
cd "$(dirname "$0")/.."

src=data/icons/src
out=data/icons

if command -v magick >/dev/null; then
  magick=(magick)  # ImageMagick 7
else
  magick=(convert)
fi
for tool in rsvg-convert "${magick[0]}"; do
  if ! command -v "$tool" >/dev/null; then
    echo "make-icons.sh: $tool is missing: apt-get install librsvg2-bin imagemagick" >&2
    exit 1
  fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# render SVG SIZE PNG
render() {
  rsvg-convert --width "$2" --height "$2" --keep-aspect-ratio "$1" --output "$3"
}

# Every picture at the size of a button picture or a window icon.
for name in larkspur tray auto-delete delete-now save-log; do
  render "$src/$name.svg" 32 "$out/$name.png"
done

# The program icon for the desktop's launchers.
render "$src/larkspur.svg" 48 "$out/larkspur-48.png"
render "$src/larkspur.svg" 256 "$out/larkspur-256.png"

# Windows icons with 16, 32 and 48 px frames.
for name in larkspur tray; do
  render "$src/$name-16.svg" 16 "$work/$name-16.png"
  render "$src/$name.svg" 32 "$work/$name-32.png"
  render "$src/$name.svg" 48 "$work/$name-48.png"
  "${magick[@]}" "$work/$name-16.png" "$work/$name-32.png" "$work/$name-48.png" \
    -strip +set date:create +set date:modify -define png:exclude-chunks=date,time \
    "$out/$name.ico"
done

# The picture buttons' pictures for the Windows resources, 32 px only.
for name in auto-delete delete-now save-log; do
  "${magick[@]}" "$out/$name.png" \
    -strip +set date:create +set date:modify -define png:exclude-chunks=date,time \
    "$out/$name.ico"
done

echo "Rendered into $out:"
(cd "$out" && ls -1 -- *.png *.ico)
