#!/bin/sh
# Re-makes the reference files beside this script: small JPEG, PNG and TIFF files written by independent
# programs (libjpeg-turbo's cjpeg, ImageMagick's convert, netpbm), each with that program's own decode
# beside it as "<file>.ppm" (binary PPM, 8 bits). Needs: libjpeg-turbo-progs, imagemagick, netpbm.
# The tests only read the results; none of these programs is needed to run them.
set -eu
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The source picture: 13 x 7 pixels, every pixel a different colour.
awk 'BEGIN {
    print "P3"; print "13 7"; print "255"
    for (y = 0; y < 7; y++)
        for (x = 0; x < 13; x++)
            printf "%d %d %d\n", int(x * 255 / 12), int(y * 255 / 6), (x * y * 37 + 50) % 256
}' > "$work/source.ppm"
ppmtoppm < "$work/source.ppm" > "$work/source_raw.ppm"
ppmtopgm < "$work/source_raw.ppm" > "$work/grey.pgm"
pamdepth 15 "$work/grey.pgm" > "$work/grey4.pgm"

# Any PNM (grey or colour, any depth) to an 8-bit binary PPM.
to_ppm() { ppmtoppm | pamdepth 255; }

rm -f ./*.jpg ./*.png ./*.tif ./*.ppm

# JPEG: decoded by djpeg of the same libjpeg-turbo, default settings, RGB output.
cjpeg -quality 90 -outfile colour_q90.jpg "$work/source_raw.ppm"
cjpeg -quality 75 -sample 1x1 -outfile colour_444.jpg "$work/source_raw.ppm"
cjpeg -quality 85 -progressive -outfile progressive.jpg "$work/source_raw.ppm"
cjpeg -quality 90 -grayscale -outfile grey.jpg "$work/source_raw.ppm"
cjpeg -quality 90 -rgb -outfile rgb_components.jpg "$work/source_raw.ppm"
cjpeg -quality 90 -arithmetic -outfile arithmetic.jpg "$work/source_raw.ppm"
convert "$work/source_raw.ppm" -strip -quality 80 -sampling-factor 2x2 colour_imagemagick.jpg
convert "$work/source_raw.ppm" -strip -quality 80 -interlace JPEG progressive_imagemagick.jpg
for f in *.jpg; do djpeg -rgb -ppm "$f" > "$f.ppm"; done

# PNG: decoded by netpbm's pngtopam, which drops transparency like our reader.
pnmtopng -force < "$work/source_raw.ppm" > rgb8.png
pnmtopng < "$work/source_raw.ppm" > palette.png
pnmtopng -transparent =rgb:ff/00/32 < "$work/source_raw.ppm" > palette_trns.png
pnmtopng -interlace -force < "$work/source_raw.ppm" > interlaced.png
pnmtopng < "$work/grey.pgm" > grey8.png
pnmtopng < "$work/grey4.pgm" > grey4.png
# pnmtopng would notice the samples fit in 8 bits and write 8; ImageMagick keeps 16 (each v * 257).
convert "$work/source_raw.ppm" -strip -depth 16 PNG48:rgb16.png
convert "$work/source_raw.ppm" -strip -alpha set -channel A -evaluate set 50% +channel PNG32:rgba_imagemagick.png
for f in *.png; do pngtopam "$f" | to_ppm > "$f.ppm"; done

# TIFF: decoded by netpbm's tifftopnm.
convert "$work/source_raw.ppm" -strip -compress None uncompressed.tif
convert "$work/source_raw.ppm" -strip -compress LZW lzw.tif
convert "$work/source_raw.ppm" -strip -compress Zip deflate.tif
convert "$work/source_raw.ppm" -strip -compress RLE packbits.tif
convert "$work/source_raw.ppm" -strip -compress None -interlace Plane separate_planes.tif
convert "$work/source_raw.ppm" -strip -compress LZW -define tiff:tile-geometry=8x8 tiled.tif
pamtotiff < "$work/grey.pgm" > grey.tif 2>/dev/null
pamtotiff -truecolor < "$work/source_raw.ppm" > netpbm_rgb.tif 2>/dev/null
pamtotiff < "$work/source_raw.ppm" > palette.tif 2>/dev/null
for f in *.tif; do tifftopnm "$f" 2>/dev/null | to_ppm > "$f.ppm"; done
