#!/usr/bin/env python3
"""Prints the full-resolution table of bench/compare_peers.sh from fullres_runs.py's JSON lines."""
import json
import statistics
import sys
from collections import defaultdict

PEERS = ("ours-full", "ours-full-exp", "opencv-full")


def main(paths):
    runs = defaultdict(list)  # (set, peer) -> every run
    photos = {}
    for path in paths:
        with open(path) as f:
            for line in f:
                if line.strip():
                    r = json.loads(line)
                    runs[(r["set"], r["peer"])].append(r)
                    photos[r["set"]] = f"{r['n']} x {r['megapixels'] / r['n']:.1f}"

    def median(s, peer, key):
        values = [r[key] for r in runs.get((s, peer), []) if r["status"] == "ok" and r.get(key) is not None]
        return statistics.median(values) if values else None

    def size(s, peer):
        done = [r for r in runs.get((s, peer), []) if r.get("out_w")]
        return f"{done[-1]['out_w']}x{done[-1]['out_h']}" if done else "-"

    def ratio(a, b):
        return f"{a / b:.2f}" if a is not None and b else "-"

    def seconds(v):
        return f"{v:.2f}" if v is not None else "-"

    def mib(v):
        return f"{v / 1024:.0f}" if v is not None else "-"

    print("| set | photos (n x MP) | ours out | opencv out | ours s | ours+exp s | opencv s | ours/opencv | "
          "ours+exp/opencv | ours+exp compose s | opencv compose s | compose ratio | ours MiB | ours+exp MiB | "
          "opencv MiB | RSS ours/opencv | RSS ours+exp/opencv | not ok |")
    print("|---|---|---|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---|")
    for s in sorted(photos):
        t = {p: median(s, p, "total_s") for p in PEERS}
        c = {p: median(s, p, "compose_s") for p in PEERS}
        m = {p: median(s, p, "peak_rss_kb") for p in PEERS}
        bad = sorted({f"{p} {r['status']}: {r.get('error') or '-'}" for p in PEERS
                      for r in runs.get((s, p), []) if r["status"] != "ok"})
        print(f"| {s} | {photos[s]} | {size(s, 'ours-full')} | {size(s, 'opencv-full')} | "
              f"{seconds(t['ours-full'])} | {seconds(t['ours-full-exp'])} | {seconds(t['opencv-full'])} | "
              f"{ratio(t['ours-full'], t['opencv-full'])} | {ratio(t['ours-full-exp'], t['opencv-full'])} | "
              f"{seconds(c['ours-full-exp'])} | {seconds(c['opencv-full'])} | "
              f"{ratio(c['ours-full-exp'], c['opencv-full'])} | "
              f"{mib(m['ours-full'])} | {mib(m['ours-full-exp'])} | {mib(m['opencv-full'])} | "
              f"{ratio(m['ours-full'], m['opencv-full'])} | {ratio(m['ours-full-exp'], m['opencv-full'])} | "
              f"{'; '.join(bad)} |")


if __name__ == "__main__":
    main(sys.argv[1:])
