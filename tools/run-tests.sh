#!/bin/sh
# Installs what is missing, builds everything and runs the whole test suite.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/install-deps.sh"
"$top/tools/build.sh" -DTP_BUILD_TESTS=ON -DTP_BUILD_BENCH=OFF
cd "${BUILD_DIR:-$top/build}"
ctest --output-on-failure --parallel "$(nproc)" --timeout 600
