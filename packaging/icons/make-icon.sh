#!/usr/bin/env bash
# Draws the program's icon: a shield with a gold chief over the ІYІ sign of
# the early Bulgarian khans, in the window's lavender and the labels' gold.
# Writes drelvan.png (32 × 32, 256-colour palette; the window embeds it and
# the desktop installs it) and drelvan.ico (the same picture, 8 bits a pixel,
# for the Windows resource) beside this script. Both results are committed;
# run this again only after changing the picture. Needs ImageMagick 6.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

outline='#3A2F6B' field='#C0C0FF' chief='#FFC080' sign='#B03A3A'

# Drawn four times larger and scaled down, so that the slopes are smooth.
# Coordinates are pixel centres, so the picture is symmetric about x = 63.5.
convert -size 128x128 xc:none \
    -stroke "$outline" -strokewidth 8 -fill "$field" \
    -draw "path 'M 15.5,11.5 L 111.5,11.5 L 111.5,59.5
                 C 111.5,89.5 89.5,105.5 63.5,119.5
                 C 37.5,105.5 15.5,89.5 15.5,59.5 Z'" \
    -stroke none -fill "$chief" -draw "rectangle 19.5,15.5 107.5,37.5" \
    -stroke "$outline" -strokewidth 4 -draw "line 17.5,39.5 109.5,39.5" \
    -stroke "$sign" -strokewidth 9 -fill none \
    -draw "stroke-linecap round line 37.5,53.5 37.5,93.5" \
    -draw "stroke-linecap round line 89.5,53.5 89.5,93.5" \
    -draw "stroke-linecap round stroke-linejoin round polyline 51.5,53.5 63.5,71.5 75.5,53.5" \
    -draw "stroke-linecap round line 63.5,71.5 63.5,97.5" \
    "$work/large.png"

# PNG8 keeps a palette of at most 256 colours with on-or-off transparency,
# which is also all that an 8-bit Windows icon can hold. No time stamps, so
# that drawing the same picture again gives the same bytes.
convert "$work/large.png" -filter Box -resize 32x32 -strip \
    -define png:exclude-chunks=date,time PNG8:drelvan.png
# Without dithering the palette carries over colour for colour.
convert drelvan.png +dither -type PaletteMatte drelvan.ico
