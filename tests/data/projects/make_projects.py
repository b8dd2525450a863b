#!/usr/bin/python3
"""Writes the project-reader corpus: hand-made and damaged .tnp files, each named for what the reader must
do with it (ok-: read, bad-: refuse). Replayed by the project tests and seeding the project fuzzer."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def path(p):
    b = p.encode("utf-8")
    assert len(b) < 255
    return bytes([len(b)]) + b


def record(method=0, tx=0.0, ty=0.0, matrix=(1, 0, 0, 0, 1, 0, 0, 0, 1)):
    return struct.pack("<i2f16f9d", method, tx, ty, *([0.0] * 16), *matrix)


def project(paths, state, records=None):
    out = struct.pack("<i", len(paths)) + b"".join(path(p) for p in paths) + struct.pack("<i", state)
    if state != 2:
        count = max(len(paths) - 1, 0) if records is None else records
        out += record() * count
    return out


FILES = {
    "ok-unstitched-two.tnp": project(["a.jpg", "b.jpg"], 2),
    "ok-stitched-three.tnp": project(["a.jpg", "b.jpg", "c.jpg"], 0),
    "ok-finalized-two.tnp": project(["a.jpg", "sub\\b.jpg"], 1),
    "ok-empty-unstitched.tnp": project([], 2),
    "bad-no-sources-stitched.tnp": project([], 0),
    "bad-no-sources-finalized.tnp": project([], 1),
    "bad-empty-path.tnp": project(["a.jpg", ""], 2),
    "bad-negative-count.tnp": struct.pack("<i", -1) + path("a.jpg") + struct.pack("<i", 2),
    "bad-count-beyond-data.tnp": struct.pack("<i", 5000) + path("a.jpg") + struct.pack("<i", 2),
    "bad-huge-count.tnp": struct.pack("<i", 0x7FFFFFFF) + b"\x00" * 64,
    "bad-state-three.tnp": project(["a.jpg", "b.jpg"], 2)[:-4] + struct.pack("<i", 3),
    "bad-records-cut-short.tnp": project(["a.jpg", "b.jpg", "c.jpg"], 0)[:-100],
    "bad-nan-matrix.tnp": project(["a.jpg", "b.jpg"], 2)[:-4] + struct.pack("<i", 0)
    + record(matrix=(float("nan"), 0, 0, 0, 1, 0, 0, 0, 1)),
    "bad-nul-in-path.tnp": struct.pack("<i", 1) + bytes([3]) + b"a\x00b" + struct.pack("<i", 2),
    "bad-too-short.tnp": b"\x01\x00",
    "bad-empty-file.tnp": b"",
}

for name, data in FILES.items():
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)
