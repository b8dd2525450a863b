#!/bin/sh
# Installs the Debian packages the build needs that are not installed yet. Extra package names given as
# arguments are installed too (the benchmarks add libbenchmark-dev, the sample job a package of photographs).
set -eu

packages="cmake ninja-build g++ libjpeg62-turbo-dev libpng-dev libtiff-dev zlib1g-dev libgtest-dev qt6-base-dev ccache poppler-utils $*"
missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

echo "Installing:$missing"
if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
# shellcheck disable=SC2086
$sudo apt-get install -y -q --no-install-recommends $missing
