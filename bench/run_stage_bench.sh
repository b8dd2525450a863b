#!/bin/sh
# Builds Release with the benchmarks and prints seconds per engine stage on every real photo set
# (../shared/data/panoramas, or the folders given).
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/install-deps.sh" libbenchmark-dev
BUILD_DIR=${BUILD_DIR:-$top/build-bench} TARGETS=stage_bench "$top/tools/build.sh" -DTP_BUILD_BENCH=ON -DTP_BUILD_TESTS=OFF
if [ $# -eq 0 ]; then
    set -- "$top"/../shared/data/panoramas/*/
fi
"${BUILD_DIR:-$top/build-bench}/bench/stage_bench" "$@"
