#!/bin/sh
# Painting the wide-view image: whole-viewport repaints at every zoom and zoom steps, offscreen, on a
# 12000 x 3000 synthetic panorama in a 1600 x 1000 main view. Targets: repaint <= 8 ms, zoom step <= 30 ms.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/install-deps.sh" libbenchmark-dev
build="${BUILD_DIR:-$top/build-bench}"
BUILD_DIR="$build" TARGETS=view_bench "$top/tools/build.sh" -DTP_BUILD_BENCH=ON -DTP_BUILD_TESTS=OFF
QT_QPA_PLATFORM=offscreen "$build/bench/view_bench"
