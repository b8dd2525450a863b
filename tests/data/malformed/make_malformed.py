#!/usr/bin/env python3
"""Makes the malformed-input corpus that the test run replays through ReadImage.

Every file is a damaged copy of one of the reference pictures: cut short ("truncated-"), with header fields
overwritten ("header-"), or with bytes flipped in the first kilobyte ("flipped-"). Inputs found by fuzzing are
added by hand with the prefix "found-". Run from this folder; the output is deterministic.
"""
import os
import random

HERE = os.path.dirname(os.path.abspath(__file__))
REFERENCE = os.path.join(HERE, "..", "reference")
SOURCES = [
    "native/bmp24_im.bmp", "native/bmp8rle_im.bmp", "native/bmp4os2_nb.bmp", "native/pcx24_im.pcx",
    "native/pcx4planes_nb.pcx", "native/pcx1_nb.pcx", "native/pcx8_nb.pcx", "native/pgm_raw15_nb.pgm", "native/pgm_plain_nb.pgm",
    "native/ras8rle_nb.ras", "native/ras24_nb.ras",
    "library/colour_q90.jpg", "library/progressive.jpg", "library/rgb8.png", "library/palette_trns.png",
    "library/interlaced.png", "library/lzw.tif", "library/separate_planes.tif",
]


def variants(name, data, rng):
    stem = os.path.basename(name).replace(".", "_")
    for fraction in (0.1, 0.5, 0.9):
        yield f"truncated-{int(fraction * 100)}-{stem}", data[: max(5, int(len(data) * fraction))]
    header = bytearray(data)
    for offset in range(4, min(40, len(header)), 4):
        header[offset] = 0xFF
    yield f"header-ff-{stem}", bytes(header)
    flipped = bytearray(data)
    for _ in range(12):
        position = rng.randrange(4, min(1024, len(flipped)))
        flipped[position] ^= 1 << rng.randrange(8)
    yield f"flipped-{stem}", bytes(flipped)


def main():
    rng = random.Random(20261208)
    for name in SOURCES:
        path = os.path.join(REFERENCE, name)
        if not os.path.exists(path):
            print("missing", path)
            continue
        with open(path, "rb") as f:
            data = f.read()
        for out_name, out in variants(name, data, rng):
            with open(os.path.join(HERE, out_name + ".bin"), "wb") as f:
                f.write(out)


if __name__ == "__main__":
    main()
