#!/bin/sh
# Builds Release with the benchmarks, runs the imaging benchmarks and prints the figures the targets are
# stated in: LoadFitted / JPEG decode (target <= 1.5) and FFT2D 256 x 256 forward (target < 3 ms).
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/install-deps.sh" libbenchmark-dev
BUILD_DIR=${BUILD_DIR:-$top/build-bench} "$top/tools/build.sh" -DTP_BUILD_BENCH=ON -DTP_BUILD_TESTS=OFF
json=$(mktemp)
"${BUILD_DIR:-$top/build-bench}/bench/imaging_bench" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
    --benchmark_out="$json" --benchmark_out_format=json "$@"
awk '
    /"name": ".*_median"/ { name = $2; gsub(/[",]/, "", name); sub(/_median$/, "", name) }
    /"real_time"/ && name != "" { t = $2; gsub(/,/, "", t); time[name] = t; name = "" }
    END {
        decode = time["BM_ReadImageJpeg4000x3000"]; fitted = time["BM_LoadFittedJpeg4000x3000"]
        if (decode > 0) printf "LoadFitted / JPEG decode (4000x3000): %.2f  (target <= 1.5)\n", fitted / decode
        printf "FFT2D 256x256 forward: %.2f ms  (target < 3 ms)\n", time["BM_FFT2DForward/256"]
    }' "$json"
rm -f "$json"
