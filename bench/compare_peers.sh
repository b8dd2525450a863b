#!/bin/sh
# Our command line next to OpenCV's stitcher on the same photos, in one run on this machine, as ratios.
#
#   bench/compare_peers.sh [--runs N] [--full-only] [SET_DIR...]
#       (default: every set of ../shared/data/panoramas, plus two large generated sets at full resolution)
#
# Builds Release, prescales every set to the working resolution (the peers' own prescale.py), and runs
# OpenCV's default stitcher, its fast configuration and our stitch (basic, --finalize blend, --finalize
# realign) on the same files through ../shared/peers/run_peers.sh, interleaved, N rounds (default 3). Our
# times are whole processes (start, loading, registration, blending, re-projection, export to PNG); OpenCV's
# are in-process with the images in memory. Then measures, for our basic stitch, the peak resident size and
# the floor (one ReadImage per source), times the basic stitch on the original photos with their own floor,
# and prints both tables.
#
# Then, at full resolution (alone with --full-only): OpenCV's stitcher with its defaults (its seam finder,
# multi-band blender and exposure compensation, composition at the photos' own size) against our
# --finalize blend --resolution full, without and with --exposure-compensation, on the photos as they are,
# interleaved, N rounds (bench/fullres_runs.py). Our photo sets are small, so without SET_DIRs two large
# sets join them: views of about 4000x3000 (12.4 and 12.9 megapixels), half overlapping, cut by make-views
# out of a photo of weir and one of petra_facade stretched by upscale-image to 21500x5500 and 16000x5000.
# They are kept under ${TMPDIR:-/tmp}/tp-fullres-bench for the next run; pass those folders as SET_DIRs to
# run them alone.
# Printed per set (bench/fullres_ratios.py): both output sizes, the median in-process times as ratios
# ours / OpenCV (whole: our stages after loading, from --report, against OpenCV's estimateTransform +
# composePanorama; composition: those stages but the stitch against composePanorama) and the peak resident size of each process
# (/usr/bin/time) with its ratio. Loading is timed on neither side, but our export reads the photos again
# from their files (OpenCV holds them in memory) and writes the BMP, where OpenCV's writing is untimed. OpenCV's process also runs a helper that registers once more, untimed, to tell
# which photos were kept; its peak counts when higher. TP_FULLRES_ARGS replaces "--resolution full" in our
# command (empty tries the plumbing on a command line without that option).
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
peers=$(cd "$top/../shared/peers" && pwd)
runs=3
full_only=false
while [ $# -gt 0 ]; do
    case "$1" in
    --runs) runs=$2; shift 2 ;;
    --full-only) full_only=true; shift ;;
    *) break ;;
    esac
done
generated=false
if [ $# -eq 0 ]; then set -- "$top"/../shared/data/panoramas/*/; generated=true; fi

"$top/tools/install-deps.sh" libbenchmark-dev
bash "$peers/setup.sh" >&2
build=${BUILD_DIR:-$top/build-bench}
BUILD_DIR=$build TARGETS="tarnel-plexaro-cli decode_floor upscale-image make-views" "$top/tools/build.sh" -DTP_BUILD_BENCH=ON -DTP_BUILD_TESTS=OFF >&2
cli=$build/src/cli/tarnel-plexaro-cli

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Full resolution: the sets given or, by default, every real set and the generated large ones.
full_resolution() {
    if $generated; then
        cache=${TMPDIR:-/tmp}/tp-fullres-bench
        large_views "$cache" petra_facade/01.jpg 16000 5000 5
        large_views "$cache" weir/01.jpg 21500 5500 6
        set -- "$@" "$cache"/petra_facade-5-views/ "$cache"/weir-6-views/
    fi
    ours_args=${TP_FULLRES_ARGS---resolution full}
    /usr/bin/python3 "$top/bench/fullres_runs.py" --runs "$runs" --cli "$cli" --peers "$peers" \
        --ours-args "$ours_args" "$@" > "$work/fullres.jsonl"
    echo
    echo "At full resolution (ours: stitch --finalize blend${ours_args:+ $ours_args}; opencv: its defaults):"
    echo
    /usr/bin/python3 "$top/bench/fullres_ratios.py" "$work/fullres.jsonl"
}

# large_views CACHE PHOTO WIDTH HEIGHT COUNT: COUNT views of half overlap cut out of the set's PHOTO stretched to
# WIDTH x HEIGHT, made once into CACHE/<set>-<COUNT>-views/.
large_views() {
    set_name=${2%%/*}
    views=$1/$set_name-$5-views
    [ -s "$views.truth" ] && return 0
    mkdir -p "$1"
    rm -rf "$views"
    "$build/tools/upscale-image" "$top/../shared/data/panoramas/$2" "$1/$set_name-wide.png" "$3" "$4" >&2
    "$build/tools/make-views" "$1/$set_name-wide.png" "$views" "$5" --overlap 0.5 > "$views.truth.part"
    rm -f "$1/$set_name-wide.png"
    mv "$views.truth.part" "$views.truth"
}

if $full_only; then
    full_resolution "$@"
    exit 0
fi

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

full_resolution "$@"
