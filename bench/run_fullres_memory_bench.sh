#!/bin/sh
# Peak memory of a full-size composition of seven 12-megapixel views, against what it is meant to hold.
#
#   bench/run_fullres_memory_bench.sh [CLI]      (default: the command line built here)
#
# Makes seven views of about 4000 x 3000 (a photo of the weir set stretched to 24200 x 7000 with
# upscale-image, then cut by make-views with half of each view shared; kept in
# ${TMPDIR:-/tmp}/tp-fullres-memory for later runs), stitches them with advanced blending at the working size
# and at full size (TIFF out, no crop: the largest image the views give), each under /usr/bin/time, and
# prints the peaks beside the budget of a full-size composition:
#
#   working-size run's peak + the full-size image (3 bytes a pixel) + the largest piece
#
# where a piece is what one source's joining holds at a time (the source as read, its seam patch's planes
# and one channel's pyramids), as the run's report gives it. The composition never holds two pieces or a
# second copy of the image, so the peak must stay within that sum however many views there are.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/install-deps.sh" time
build=${BUILD_DIR:-$top/build-bench}
BUILD_DIR=$build TARGETS="tarnel-plexaro-cli upscale-image make-views" "$top/tools/build.sh" -DTP_BUILD_TESTS=OFF -DTP_BUILD_GUI=OFF >&2
cli=${1:-$build/src/cli/tarnel-plexaro-cli}

views=${TMPDIR:-/tmp}/tp-fullres-memory
if [ ! -s "$views/view7.jpg" ]; then
    mkdir -p "$views"
    echo "making seven views in $views" >&2
    "$build/tools/upscale-image" "$top/../shared/data/panoramas/weir/01.jpg" "$views/photo.bmp" 24200 7000
    "$build/tools/make-views" "$views/photo.bmp" "$views" 7 --overlap 0.5 >/dev/null
    rm "$views/photo.bmp"
fi

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
for resolution in working full; do
    /usr/bin/time -f "%M" -o "$out/$resolution.kb" "$cli" stitch -q --finalize blend --resolution "$resolution" \
        --report "$out/$resolution.json" -o "$out/$resolution.tif" "$views"/view*.jpg
done
/usr/bin/python3 - "$out" <<'PY'
import json, sys
out = sys.argv[1]
kb = {r: int(open(f"{out}/{r}.kb").read().split()[-1]) for r in ("working", "full")}
report = json.load(open(f"{out}/full.json"))
o = report["output"]
image = 3 * o["width"] * o["height"]
piece = o["largest_piece_bytes"]
budget = kb["working"] * 1024 + image + piece
peak = kb["full"] * 1024
mib = lambda b: f"{b / 2**20:,.0f} MiB"
print(f"seven views, full size {o['width']} x {o['height']} ({o['width'] * o['height'] / 1e6:.0f} MP, scale {o['scale']:.3f}), "
      f"{o['pieces']} pieces, export {report['seconds']['export']:.1f} s")
print(f"  working-size run peak  {mib(kb['working'] * 1024)}")
print(f"  full-size image        {mib(image)}")
print(f"  largest piece          {mib(piece)}")
print(f"  budget (their sum)     {mib(budget)}")
print(f"  full-size run peak     {mib(peak)}  ({peak / budget:.2f} of the budget) -> {'within' if peak <= budget else 'OVER'}")
PY
