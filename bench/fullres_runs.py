#!/usr/bin/python3
"""Runs OpenCV's default stitcher and our full-resolution blend on the photos as they are, side by side.

    fullres_runs.py --runs N --cli CLI --peers PEERS_DIR [--ours-args ARGS] SET_DIR...

Per round and set, interleaved: "opencv-full" (opencv_stitch.py --no-prescale, the library's defaults),
"ours-full" (stitch --finalize blend ARGS) and "ours-full-exp" (the same with --exposure-compensation,
as OpenCV compensates exposure by default). ARGS defaults to "--resolution full". Each process runs under
/usr/bin/time for its peak resident size. Prints one JSON line per run:
  {"set", "peer", "run", "status", "n", "megapixels", "total_s", "compose_s", "process_s", "peak_rss_kb",
   "out_w", "out_h", "error"}
total_s and compose_s are in-process: OpenCV's estimateTransform + composePanorama and composePanorama
(images already in memory, writing untimed); ours from --report, every stage after loading
(stitch, finalize, export...) and those but the stitch. Both write BMP, so no compressor is timed.
"""
import argparse
import json
import os
import shlex
import subprocess
import sys
import tempfile
import time

from PIL import Image

TIMEOUT_S = 1800
Image.MAX_IMAGE_PIXELS = None  # only headers are read; wide panoramas pass Pillow's decompression-bomb limit


def parse_args(argv):
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("sets", nargs="+", metavar="SET_DIR")
    p.add_argument("--runs", type=int, default=3)
    p.add_argument("--cli", required=True)
    p.add_argument("--peers", required=True, help="the folder of opencv_stitch.py and prescale.py")
    p.add_argument("--ours-args", default="--resolution full")
    return p.parse_args(argv)


def measured(cmd, scratch):
    """Runs cmd under /usr/bin/time; returns (exit status, stdout, stderr tail, wall s, peak RSS KiB)."""
    rss_file = os.path.join(scratch, "rss")
    start = time.monotonic()
    try:
        proc = subprocess.run(["/usr/bin/time", "-f", "%M", "-o", rss_file, *cmd],
                              capture_output=True, text=True, timeout=TIMEOUT_S)
        code, out, err = proc.returncode, proc.stdout, proc.stderr
    except subprocess.TimeoutExpired:
        code, out, err = 124, "", f"timed out after {TIMEOUT_S} s"
    wall = time.monotonic() - start
    try:
        with open(rss_file) as f:
            rss = int(f.read().split()[-1])
    except (OSError, ValueError, IndexError):
        rss = None
    tail = (err.strip().splitlines() or [""])[-1]
    return code, out, tail, wall, rss


def image_size(path):
    try:
        with Image.open(path) as im:
            return im.size
    except OSError:
        return None, None


def run_opencv(peers, photos, out, scratch):
    code, stdout, tail, wall, rss = measured(
        ["/usr/bin/python3", os.path.join(peers, "opencv_stitch.py"), "--no-prescale", *photos, "-o", out], scratch)
    lines = [l for l in stdout.splitlines() if l.startswith("{")]
    r = json.loads(lines[-1]) if lines else {"status": "fail", "error": f"exit {code}: {tail}"}
    return {"status": r.get("status", "fail"), "total_s": r.get("total_s"), "compose_s": r.get("compose_s"),
            "process_s": wall, "peak_rss_kb": rss, "out_w": r.get("out_w"), "out_h": r.get("out_h"),
            "error": r.get("error")}


def run_ours(cli, extra, photos, out, scratch):
    report = os.path.join(scratch, "report.json")
    if os.path.exists(report):
        os.remove(report)
    code, _, tail, wall, rss = measured(
        [cli, "stitch", "-q", "--finalize", "blend", *extra, "--report", report, *photos, "-o", out], scratch)
    record = {"status": {0: "ok", 3: "partial"}.get(code, "fail"), "total_s": None, "compose_s": None,
              "process_s": wall, "peak_rss_kb": rss, "out_w": None, "out_h": None,
              "error": None if code == 0 else f"exit {code}: {tail}"}
    if code in (0, 3):
        with open(report) as f:
            s = json.load(f)["seconds"]
        # Every stage after loading; all but the stitch itself compose (finalize, export, and whatever
        # stage full-resolution composition is timed under).
        record["total_s"] = sum(v for k, v in s.items() if k != "load")
        record["compose_s"] = record["total_s"] - s.get("stitch", 0)
        record["out_w"], record["out_h"] = image_size(out)
    return record


def main(argv):
    args = parse_args(argv)
    sys.path.insert(0, args.peers)
    from prescale import list_images  # the peers' own natural name order

    ours_args = shlex.split(args.ours_args)
    peers = {
        "opencv-full": lambda photos, out, tmp: run_opencv(args.peers, photos, out, tmp),
        "ours-full": lambda photos, out, tmp: run_ours(args.cli, ours_args, photos, out, tmp),
        "ours-full-exp": lambda photos, out, tmp: run_ours(
            args.cli, ours_args + ["--exposure-compensation"], photos, out, tmp),
    }
    with tempfile.TemporaryDirectory(prefix="tp-fullres-") as scratch:
        for run in range(1, args.runs + 1):
            for folder in args.sets:
                name = os.path.basename(os.path.normpath(folder))
                photos = list_images(folder)
                pixels = 0
                for p in photos:
                    w, h = image_size(p)
                    pixels += (w or 0) * (h or 0)
                for peer, stitch in peers.items():
                    print(f" full resolution, round {run}/{args.runs}: {name} {peer}", file=sys.stderr, flush=True)
                    out = os.path.join(scratch, f"{peer}.bmp")
                    record = {"set": name, "peer": peer, "run": run, "n": len(photos),
                              "megapixels": round(pixels / 1e6, 2), **stitch(photos, out, scratch)}
                    if os.path.exists(out):
                        os.remove(out)
                    print(json.dumps(record), flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
