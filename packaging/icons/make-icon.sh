#!/usr/bin/env bash
# Renders the program's icon from drelvan.svg, the one drawing of it: a
# shield with a gold chief over the ІYІ sign of the early Bulgarian khans.
# Writes beside this script:
#   drelvan.png      32 × 32, 256-colour palette; the window embeds it and
#                    the desktop installs it
#   drelvan.ico      the same picture, 8 bits a pixel, for the Windows resource
#   drelvan-N.png    N × N in full colour for the desktop's larger sizes
#                    (48, 64, 128; software centres want at least 64)
# The results are committed; run this again only after changing the drawing.
# Needs rsvg-convert (librsvg2-bin) and ImageMagick 6.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# No time stamps or other ancillary chunks, so that rendering the same
# drawing again gives the same bytes.
strip=(-strip -define png:exclude-chunks=date,time)

for size in 48 64 128; do
    rsvg-convert --width "$size" --height "$size" drelvan.svg --output "$work/$size.png"
    convert "$work/$size.png" "${strip[@]}" PNG32:"drelvan-$size.png"
done

# The small picture is the large one averaged four by four pixels: the
# drawing's edges lie on multiples of four, so they stay sharp. PNG8 keeps a
# palette of at most 256 colours with on-or-off transparency, which is also
# all that an 8-bit Windows icon can hold.
convert "$work/128.png" -filter Box -resize 32x32 "${strip[@]}" PNG8:drelvan.png
# Without dithering the palette carries over colour for colour.
convert drelvan.png +dither -type PaletteMatte drelvan.ico
