#!/bin/sh
# Re-makes the reference files of the BMP, PCX, PGM and Sun raster readers: each picture is written by
# ImageMagick or netpbm, and next to it (same name, .ppm) is that tool's own decode as a binary PPM (P6, maxval
# 255). The tests only read the files; these tools are not needed to run them.
# Run from anywhere: sh tests/data/reference/native/make_reference.sh
set -eu
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# The source pictures. scene: 13 x 7, a band of runs over 3 rows, then varied colours (57 colours in all).
# c16: 11 x 5 in 16 colours. many: 18 x 16 with 287 colours (more than any palette). mono: scene thresholded.
python3 - <<'PY'
def ppm(name, w, h, colour):
    px = bytearray()
    for y in range(h):
        for x in range(w):
            px += bytes(colour(x, y))
    open(name, 'wb').write(b'P6\n%d %d\n255\n' % (w, h) + px)

blocks = [(255, 0, 0), (0, 200, 0), (20, 40, 250), (255, 255, 255), (0, 0, 0)]
ppm('scene.ppm', 13, 7, lambda x, y: blocks[(x // 3 + y) % 5] if y < 3 else
    ((x * 19 + y * 7) % 256, (x * x + y * 31) % 256, (200 + x * 5 + y * 11) % 256))
ppm('scene14.ppm', 14, 7, lambda x, y: blocks[(x // 3 + y) % 5] if y < 3 else
    ((x * 19 + y * 7) % 256, (x * x + y * 31) % 256, (200 + x * 5 + y * 11) % 256))
c16 = [(0, 0, 0), (255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 0), (0, 255, 255), (255, 0, 255),
       (255, 255, 255), (128, 0, 0), (0, 128, 0), (0, 0, 128), (128, 128, 0), (0, 128, 128), (128, 0, 128),
       (192, 192, 192), (128, 128, 128)]
ppm('c16.ppm', 11, 5, lambda x, y: c16[(x // 2 + y * 3) % 16])
ppm('many.ppm', 18, 16, lambda x, y: (250, 10, 60) if y < 2 and x < 10 else (x * 14, y * 16, (x * 7 + y * 3) % 256))
PY
convert scene.ppm -threshold 50% mono.pbm
ppmtopgm scene.ppm > grey.pgm

out="$here"
im_decode() { convert "$1" -depth 8 ppm:- > "$2"; }
# netpbm decoders give PNM of the file's own kind and maxval; bring them to P6 with maxval 255.
nb_decode() { "$1" "$2" 2>/dev/null | pamdepth 255 2>/dev/null | ppmtoppm 2>/dev/null > "$3"; }

# BMP
convert scene.ppm BMP3:"$out/bmp24_im.bmp";                             im_decode "$out/bmp24_im.bmp" "$out/bmp24_im.ppm"
convert scene.ppm -type Palette -compress None BMP3:"$out/bmp8_im.bmp"; im_decode "$out/bmp8_im.bmp" "$out/bmp8_im.ppm"
convert scene.ppm -type Palette -compress RLE BMP3:"$out/bmp8rle_im.bmp"; im_decode "$out/bmp8rle_im.bmp" "$out/bmp8rle_im.ppm"
ppmtobmp -bpp 4 c16.ppm > "$out/bmp4_nb.bmp" 2>/dev/null;               nb_decode bmptopnm "$out/bmp4_nb.bmp" "$out/bmp4_nb.ppm"
ppmtobmp -bpp 1 mono.pbm > "$out/bmp1_nb.bmp" 2>/dev/null;              nb_decode bmptopnm "$out/bmp1_nb.bmp" "$out/bmp1_nb.ppm"
ppmtobmp -os2 scene.ppm > "$out/bmp8os2_nb.bmp" 2>/dev/null;            nb_decode bmptopnm "$out/bmp8os2_nb.bmp" "$out/bmp8os2_nb.ppm"
ppmtobmp -os2 -bpp 4 c16.ppm > "$out/bmp4os2_nb.bmp" 2>/dev/null;       nb_decode bmptopnm "$out/bmp4os2_nb.bmp" "$out/bmp4os2_nb.ppm"

# PCX
ppmtopcx -24bit scene.ppm > "$out/pcx24_nb.pcx" 2>/dev/null;            nb_decode pcxtoppm "$out/pcx24_nb.pcx" "$out/pcx24_nb.ppm"
ppmtopcx scene.ppm > "$out/pcx8_nb.pcx" 2>/dev/null;                    nb_decode pcxtoppm "$out/pcx8_nb.pcx" "$out/pcx8_nb.ppm"
ppmtopcx -packed c16.ppm > "$out/pcx4packed_nb.pcx" 2>/dev/null;        nb_decode pcxtoppm "$out/pcx4packed_nb.pcx" "$out/pcx4packed_nb.ppm"
ppmtopcx c16.ppm > "$out/pcx4planes_nb.pcx" 2>/dev/null;                nb_decode pcxtoppm "$out/pcx4planes_nb.pcx" "$out/pcx4planes_nb.ppm"
ppmtopcx mono.pbm > "$out/pcx1_nb.pcx" 2>/dev/null;                     nb_decode pcxtoppm "$out/pcx1_nb.pcx" "$out/pcx1_nb.ppm"
convert scene.ppm PCX:"$out/pcx24_im.pcx";                              im_decode "$out/pcx24_im.pcx" "$out/pcx24_im.ppm"

# PGM
cp grey.pgm "$out/pgm_raw_nb.pgm";                                      nb_decode cat "$out/pgm_raw_nb.pgm" "$out/pgm_raw_nb.ppm"
pamtopnm -plain grey.pgm > "$out/pgm_plain_nb.pgm";                     nb_decode cat "$out/pgm_plain_nb.pgm" "$out/pgm_plain_nb.ppm"
pamdepth 15 grey.pgm > "$out/pgm_raw15_nb.pgm";                         nb_decode cat "$out/pgm_raw15_nb.pgm" "$out/pgm_raw15_nb.ppm"
pamdepth 15 grey.pgm | pamtopnm -plain > "$out/pgm_plain15_nb.pgm";     nb_decode cat "$out/pgm_plain15_nb.pgm" "$out/pgm_plain15_nb.ppm"
convert scene.ppm -colorspace gray -depth 8 PGM:"$out/pgm_raw_im.pgm";  im_decode "$out/pgm_raw_im.pgm" "$out/pgm_raw_im.ppm"

# Sun raster. netpbm's own decoder is the reference: it and ImageMagick disagree on the end of some encoded
# files. 24-bit pictures have an even width: other tools pad 24-bit rows to 16 bits, this program does not.
pnmtorast scene.ppm > "$out/ras8rle_nb.ras" 2>/dev/null;                nb_decode rasttopnm "$out/ras8rle_nb.ras" "$out/ras8rle_nb.ppm"
pnmtorast -standard scene.ppm > "$out/ras8_nb.ras" 2>/dev/null;         nb_decode rasttopnm "$out/ras8_nb.ras" "$out/ras8_nb.ppm"
pnmtorast grey.pgm > "$out/ras8grey_nb.ras" 2>/dev/null;                nb_decode rasttopnm "$out/ras8grey_nb.ras" "$out/ras8grey_nb.ppm"
pnmtorast mono.pbm > "$out/ras1_nb.ras" 2>/dev/null;                    nb_decode rasttopnm "$out/ras1_nb.ras" "$out/ras1_nb.ppm"
pnmtorast -standard many.ppm > "$out/ras24_nb.ras" 2>/dev/null;         nb_decode rasttopnm "$out/ras24_nb.ras" "$out/ras24_nb.ppm"
convert scene14.ppm SUN:"$out/ras24rgb_im.ras";                         nb_decode rasttopnm "$out/ras24rgb_im.ras" "$out/ras24rgb_im.ppm"
