#!/usr/bin/env python3
"""Prints the ratio table of bench/compare_peers.sh from its result files (JSON lines)."""
import json
import statistics
import sys
from collections import defaultdict


def main(paths):
    runs = defaultdict(list)  # (set, peer) -> successful runs
    rss, floor = {}, {}
    originals, originals_floor = defaultdict(list), {}
    for path in paths:
        with open(path) as f:
            for line in f:
                line = line.strip()
                if not line:
                    continue
                r = json.loads(line)
                if "peak_rss_kb" in r:
                    rss[r["set"]] = r["peak_rss_kb"]
                elif "decode_s" in r:
                    floor[r["set"]] = r["decode_s"]
                elif "originals_s" in r:
                    originals[r["set"]].append(r["originals_s"])
                elif "originals_floor_s" in r:
                    originals_floor[r["set"]] = r["originals_floor_s"]
                elif r.get("status") == "ok":
                    runs[(r["set"], r["peer"])].append(r)

    def median(s, peer, key="total_s"):
        values = [r[key] for r in runs.get((s, peer), []) if r.get(key) is not None]
        return statistics.median(values) if values else None

    def ratio(a, b):
        return f"{a / b:.2f}" if a is not None and b else "-"

    def seconds(v):
        return f"{v:.3f}" if v is not None else "-"

    sets = sorted({s for s, _ in runs} | set(rss))
    print("| set | ours s | opencv-fast s | opencv s | ours/fast (<= 0.5) | ours/opencv (<= 0.25) | blend added s | "
          "opencv compose s | blend/compose (<= 1) | realign added / compose (<= 2) | ours/floor (<= 3) | peak RSS MiB |")
    print("|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|")
    for s in sets:
        ours, fast, cv = median(s, "ours"), median(s, "opencv-fast"), median(s, "opencv")
        blend, realign = median(s, "ours-blend"), median(s, "ours-realign")
        compose = median(s, "opencv", "compose_s")
        blend_added = blend - ours if blend is not None and ours is not None else None
        realign_added = realign - ours if realign is not None and ours is not None else None
        peak = f"{rss[s] / 1024:.0f}" if s in rss else "-"
        print(f"| {s} | {seconds(ours)} | {seconds(fast)} | {seconds(cv)} | {ratio(ours, fast)} | {ratio(ours, cv)} | "
              f"{seconds(blend_added)} | {seconds(compose)} | {ratio(blend_added, compose)} | {ratio(realign_added, compose)} | "
              f"{ratio(ours, floor.get(s))} | {peak} |")

    if originals:
        print()
        print("On the original photos (basic stitch, whole process):")
        print()
        print("| set | ours s | floor s | ours/floor |")
        print("|---|---:|---:|---:|")
        for s in sorted(originals):
            total = statistics.median(originals[s])
            print(f"| {s} | {seconds(total)} | {seconds(originals_floor.get(s))} | {ratio(total, originals_floor.get(s))} |")


if __name__ == "__main__":
    main(sys.argv[1:])
