#!/bin/sh
# Checks that two builds of the command line produce the same results: for every photo set, both wide-view
# images after the basic blend and after re-alignment + advanced blending, and every stored homography.
#
#   bench/check_identical.sh REFERENCE_CLI CANDIDATE_CLI SET_DIR...
#
# Speed work must leave every output byte-identical; run this with the build from before a change as the
# reference. Exit status 1 when anything differs.
set -eu
[ $# -ge 3 ] || { sed -n '2,8s/^# \{0,1\}//p' "$0" >&2; exit 2; }
reference=$1
candidate=$2
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for set in "$@"; do
    name=$(basename "$set")
    for build in reference candidate; do
        eval cli=\$$build
        mkdir -p "$work/$build/$name"
        out="$work/$build/$name"
        "$cli" stitch -q "$set"/* -o "$out/basic-planar.png" -p "$out/basic.tnp" --projection planar
        "$cli" open -q "$out/basic.tnp" -o "$out/basic-cylindrical.png" --projection cylindrical
        "$cli" stitch -q "$set"/* --finalize realign -o "$out/realigned-planar.png" --projection planar
        "$cli" stitch -q "$set"/* --finalize realign -o "$out/realigned-cylindrical.png" --projection cylindrical
        "$cli" info "$out/basic.tnp" | sed 's/"paths": \[[^]]*\], "stored_paths": \[[^]]*\], //' > "$out/info.json"
    done
    for file in basic-planar.png basic-cylindrical.png realigned-planar.png realigned-cylindrical.png info.json; do
        if ! cmp -s "$work/reference/$name/$file" "$work/candidate/$name/$file"; then
            echo "$name: $file differs"
            status=1
        fi
    done
    [ $status -eq 0 ] && echo "$name: identical"
done
exit $status
