#!/bin/sh
# Start-up of the desktop program to its first painted main window: the median of 7 runs, on a virtual X
# display when Xvfb is there (as on a desktop), else on the offscreen platform. Target: under 1000 ms.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/install-deps.sh" libbenchmark-dev xvfb xauth
build="${BUILD_DIR:-$top/build-bench}"
BUILD_DIR="$build" TARGETS=ui_startup_bench "$top/tools/build.sh" -DTP_BUILD_BENCH=ON -DTP_BUILD_TESTS=OFF
run() { for i in 1 2 3 4 5 6 7; do "$@" "$build/bench/ui_startup_bench" 2>/dev/null; done | sort -n | sed -n 4p; }
if command -v xvfb-run >/dev/null 2>&1; then
    median=$(run xvfb-run -a)
    platform="X (Xvfb)"
else
    median=$(QT_QPA_PLATFORM=offscreen run env)
    platform=offscreen
fi
echo "Start to first painted window on $platform: $median ms median of 7 (target < 1000 ms, ratio $(echo "$median / 1000" | bc -l | cut -c1-4))"
