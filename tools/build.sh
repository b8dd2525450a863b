#!/bin/sh
# Configures and builds the project (Release unless BUILD_TYPE says otherwise) into ${BUILD_DIR:-build}.
# Extra arguments go to CMake; TARGETS (space-separated) limits what is built.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(dirname "$top")}"
build_dir=${BUILD_DIR:-$top/build}
cmake -S "$top" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-Release}" "$@" >/dev/null
if [ -n "${TARGETS:-}" ]; then
    # shellcheck disable=SC2086
    cmake --build "$build_dir" --parallel "$(nproc)" --target $TARGETS
else
    cmake --build "$build_dir" --parallel "$(nproc)"
fi
