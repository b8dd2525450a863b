#!/bin/sh
# Configures and builds the project (Release unless BUILD_TYPE says otherwise) into ${BUILD_DIR:-build}.
# Extra arguments go to CMake.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-$top/build}
cmake -S "$top" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-Release}" "$@" >/dev/null
cmake --build "$build_dir" --parallel "$(nproc)"
