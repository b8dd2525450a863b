#!/bin/sh
# Installs what is missing, builds the command-line program and runs it on a generated picture: a colour
# test card written as a grey-map text file, converted to PNG, JPEG and back.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/install-deps.sh"
"$top/tools/build.sh" -DTP_BUILD_TESTS=OFF
cli="${BUILD_DIR:-$top/build}/src/cli/tarnel-plexaro-cli"
out="$top/out"
mkdir -p "$out"

# A 256 x 128 grey ramp with a diagonal band, as a text grey map.
{
    printf 'P2\n256 128\n255\n'
    y=0
    while [ $y -lt 128 ]; do
        x=0
        while [ $x -lt 256 ]; do
            if [ $(( (x - 2 * y) & 63 )) -lt 8 ]; then printf '255 '; else printf '%d ' $(( (x + y) / 2 )); fi
            x=$((x + 1))
        done
        printf '\n'
        y=$((y + 1))
    done
} > "$out/sample-card.pgm"

"$cli" convert "$out/sample-card.pgm" "$out/sample-card.png"
"$cli" convert "$out/sample-card.png" "$out/sample-card.jpg"
"$cli" convert "$out/sample-card.jpg" "$out/sample-card.bmp"
echo "Converted the sample card: $out/sample-card.png, $out/sample-card.jpg, $out/sample-card.bmp"
