#!/bin/sh
# Peak memory and time of a stitch of three large pictures with 1, 2 and 8 threads.
#
#   bench/run_memory_bench.sh [--progressive] [SIDE] [CLI]      (default 16384, the command line built here)
#
# Builds the command line and upscale-image (Release), makes three SIDE x SIDE PNGs by stretching the three
# photos of the weir set (kept in ${TMPDIR:-/tmp}/tp-memory-bench-SIDE for later runs: about a minute each to
# make at 16384), and runs `stitch` on them under /usr/bin/time once per thread count, printing seconds and
# the peak resident size. With --progressive the pictures are progressive JPEGs instead (made with cjpeg),
# which no reader can reduce row by row: their decoders hold whole-picture buffers, which the memory budget
# bounds. Give another build's command line as CLI to measure it on the same files. The thread count is
# clamped to the machine's cores, so on a 2-core machine "8" runs with 2.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
kind=png
if [ "${1:-}" = "--progressive" ]; then kind=jpg; shift; fi
side=${1:-16384}
"$top/tools/install-deps.sh" time libjpeg-turbo-progs
build=${BUILD_DIR:-$top/build-bench}
BUILD_DIR=$build TARGETS="tarnel-plexaro-cli upscale-image" "$top/tools/build.sh" -DTP_BUILD_TESTS=OFF -DTP_BUILD_GUI=OFF >&2
cli=${2:-$build/src/cli/tarnel-plexaro-cli}

sources=${TMPDIR:-/tmp}/tp-memory-bench-$side
mkdir -p "$sources"
for i in 1 2 3; do
    [ -s "$sources/0$i.$kind" ] && continue
    echo "making $sources/0$i.$kind" >&2
    photo=$top/../shared/data/panoramas/weir/0$i.jpg
    if [ $kind = png ]; then
        "$build/tools/upscale-image" "$photo" "$sources/part.png" "$side" "$side"
        mv "$sources/part.png" "$sources/0$i.png"
    else
        "$build/tools/upscale-image" "$photo" "$sources/part.bmp" "$side" "$side"
        cjpeg -progressive -quality 85 -outfile "$sources/part.jpg" "$sources/part.bmp"
        rm "$sources/part.bmp"
        mv "$sources/part.jpg" "$sources/0$i.jpg"
    fi
done

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
echo "three ${side}x${side} $( [ $kind = png ] && echo PNGs || echo "progressive JPEGs"), stitch with $cli"
for threads in 1 2 8; do
    /usr/bin/time -f "threads $threads: %e s, peak RSS %M KB" \
        "$cli" stitch -q --threads "$threads" "$sources/01.$kind" "$sources/02.$kind" "$sources/03.$kind" -o "$out/wide.png" 2>&1 |
        tail -n 1
done
