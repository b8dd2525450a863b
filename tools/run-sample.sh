#!/bin/sh
# The main job on a bundled sample: installs what is missing (the build's packages and a Debian package of
# photographs), builds, cuts three overlapping views out of one photograph as a turning camera would see
# them, stitches them back into a wide-view image and saves the project.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/install-deps.sh" mate-backgrounds
TARGETS="tarnel-plexaro-cli make-views" "$top/tools/build.sh"
build="${BUILD_DIR:-$top/build}"
out="$top/out"
photo=/usr/share/backgrounds/mate/nature/Dune.jpg
mkdir -p "$out/sample-views"

"$build/tools/make-views" "$photo" "$out/sample-views" 3 > "$out/sample-views/true-homographies.txt"
"$build/src/cli/tarnel-plexaro-cli" stitch "$out"/sample-views/view*.jpg --finalize blend --crop inscribed \
    -o "$out/sample-panorama.jpg" -p "$out/sample.tnp" --report "$out/sample-report.json"
echo "Wide-view image: $out/sample-panorama.jpg"
echo "Project:         $out/sample.tnp (reopen with: $build/src/cli/tarnel-plexaro-cli open $out/sample.tnp -o other.png)"
