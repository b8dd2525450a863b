#!/bin/sh
# The main job on a bundled sample: installs what is missing (the build's packages and a Debian package of
# photographs), builds, cuts three overlapping views out of one photograph as a turning camera would see
# them, stitches them back into a wide-view image, saves the project and opens it in the desktop program.
# Without a display the desktop program cannot start: the script says so and stops after the command line's job.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/install-deps.sh" mate-backgrounds
TARGETS="tarnel-plexaro-cli make-views tarnel-plexaro users-guide" "$top/tools/build.sh"
build="${BUILD_DIR:-$top/build}"
out="$top/out"
photo=/usr/share/backgrounds/mate/nature/Dune.jpg
mkdir -p "$out/sample-views"

"$build/tools/make-views" "$photo" "$out/sample-views" 3 > "$out/sample-views/true-homographies.txt"
"$build/src/cli/tarnel-plexaro-cli" stitch "$out"/sample-views/view*.jpg --finalize blend --crop inscribed \
    -o "$out/sample-panorama.jpg" -p "$out/sample.tnp" --report "$out/sample-report.json"
echo "Wide-view image: $out/sample-panorama.jpg"
echo "Project:         $out/sample.tnp"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display here, so the desktop program was not started. On a desktop, open the project with:"
    echo "    $build/src/ui/tarnel-plexaro $out/sample.tnp"
    exit 0
fi
echo "Opening the project in the desktop program..."
exec "$build/src/ui/tarnel-plexaro" "$out/sample.tnp"
