#!/bin/sh
# Our command line next to OpenCV's stitcher on the same photos, in one run on this machine, as ratios.
#
#   bench/compare_peers.sh [--runs N] [SET_DIR...]      (default: every set of ../shared/data/panoramas)
#
# Builds Release, prescales every set to the working resolution (the peers' own prescale.py), and runs
# OpenCV's default stitcher, its fast configuration and our stitch (basic, --finalize blend, --finalize
# realign) on the same files through ../shared/peers/run_peers.sh, interleaved, N rounds (default 3). Our
# times are whole processes (start, loading, registration, blending, re-projection, export to PNG); OpenCV's
# are in-process with the images in memory. Then measures, for our basic stitch, the peak resident size and
# the floor (one ReadImage per source), times the basic stitch on the original photos with their own floor,
# and prints both tables.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
peers=$(cd "$top/../shared/peers" && pwd)
runs=3
if [ "${1:-}" = "--runs" ]; then runs=$2; shift 2; fi
if [ $# -eq 0 ]; then set -- "$top"/../shared/data/panoramas/*/; fi

"$top/tools/install-deps.sh" libbenchmark-dev
bash "$peers/setup.sh" >&2
build=${BUILD_DIR:-$top/build-bench}
BUILD_DIR=$build TARGETS="tarnel-plexaro-cli decode_floor" "$top/tools/build.sh" -DTP_BUILD_BENCH=ON -DTP_BUILD_TESTS=OFF >&2
cli=$build/src/cli/tarnel-plexaro-cli

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for set in "$@"; do
    name=$(basename "$set")
    /usr/bin/python3 "$peers/prescale.py" "$set" "$work/inputs/$name" >/dev/null
done

"$peers/run_peers.sh" --runs "$runs" --peers opencv,opencv-fast --results "$work/results" \
    --peer "ours=$cli stitch -q {inputs} -o {out}" \
    --peer "ours-blend=$cli stitch -q --finalize blend {inputs} -o {out}" \
    --peer "ours-realign=$cli stitch -q --finalize realign {inputs} -o {out}" \
    "$work"/inputs/*/ >&2

for set in "$work"/inputs/*/; do
    name=$(basename "$set")
    rss=$( { /usr/bin/time -f "%M" "$cli" stitch -q "$set"* -o "$work/rss.png" >/dev/null; } 2>&1 | tail -n 1)
    echo "{\"set\": \"$name\", \"peak_rss_kb\": $rss}"
done > "$work/rss.jsonl"
"$build/bench/decode_floor" "$work"/inputs/*/ > "$work/floor.jsonl"

# The same stitch on the photos as they are in the set (the peers only ever get the prescaled copies).
/usr/bin/python3 - "$runs" "$cli" "$work/original.png" "$@" > "$work/originals.jsonl" <<'PY'
import glob, json, os, subprocess, sys, time
runs, cli, out, sets = int(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4:]
for _ in range(runs):
    for folder in sets:
        photos = sorted(p for p in glob.glob(os.path.join(folder, "*")) if os.path.isfile(p))
        start = time.monotonic()
        ok = subprocess.run([cli, "stitch", "-q", *photos, "-o", out]).returncode == 0
        if ok:
            print(json.dumps({"set": os.path.basename(os.path.normpath(folder)), "originals_s": time.monotonic() - start}))
PY
"$build/bench/decode_floor" "$@" | sed 's/"decode_s"/"originals_floor_s"/' >> "$work/originals.jsonl"

/usr/bin/python3 "$top/bench/peer_ratios.py" "$work"/results/*.jsonl "$work/rss.jsonl" "$work/floor.jsonl" "$work/originals.jsonl"
