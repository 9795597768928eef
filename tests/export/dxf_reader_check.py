#!/usr/bin/python3
"""Reads a DXF file of ours with ezdxf, an independent DXF library, and checks what it finds.

usage: dxf_reader_check.py FILE POLYLINES VERTICES TEXTS [TEXT ...]

FILE must load with ezdxf's strict reader and with its recovering reader without any error
or fix, be taken as an R12 file (no HEADER section), hold only finite coordinates and
exactly the given numbers of POLYLINE entities, VERTEX entities (over all polylines) and
TEXT entities, on layer "0". Each further TEXT argument (UTF-8) must equal the content of
the text entity at its position. Exit status 0 when everything holds, 1 when something does
not, 2 on wrong usage, 3 when ezdxf is not installed (a missing reader is a failure, not a
pass).
"""
import math
import sys

try:
    import ezdxf
    from ezdxf import recover
except ImportError as exc:  # pragma: no cover - depends on the machine
    print(f"ezdxf is not available ({exc}); install python3-ezdxf", file=sys.stderr)
    sys.exit(3)


def main(argv):
    if len(argv) < 5:
        print(__doc__, file=sys.stderr)
        return 2
    path = argv[1]
    want_polylines, want_vertices, want_texts = (int(a) for a in argv[2:5])
    want_strings = argv[5:]
    problems = []

    try:
        doc = ezdxf.readfile(path)
    except Exception as exc:  # any structural complaint of the strict reader
        print(f"ezdxf.readfile rejected {path}: {type(exc).__name__}: {exc}", file=sys.stderr)
        return 1
    if doc.dxfversion != "AC1009":
        problems.append(f"read as {doc.dxfversion}, expected AC1009 (R12 without HEADER)")

    auditor = doc.audit()
    for entry in auditor.errors + auditor.fixes:
        problems.append(f"audit: {entry.message}")

    try:
        _, recovered = recover.readfile(path)
        for entry in recovered.errors + recovered.fixes:
            problems.append(f"recover: {entry.message}")
    except Exception as exc:
        problems.append(f"recover.readfile failed: {type(exc).__name__}: {exc}")

    polylines = vertices = 0
    texts = []
    for entity in doc.modelspace():
        kind = entity.dxftype()
        if entity.dxf.layer != "0":
            problems.append(f"{kind} on layer {entity.dxf.layer!r}")
        if kind == "POLYLINE":
            polylines += 1
            for vertex in entity.vertices:
                vertices += 1
                x, y, _ = vertex.dxf.location
                bulge = vertex.dxf.bulge
                if not all(math.isfinite(v) for v in (x, y, bulge)):
                    problems.append(f"vertex ({x}, {y}) bulge {bulge} is not finite")
        elif kind == "TEXT":
            x, y, _ = entity.dxf.insert
            if not all(math.isfinite(v) for v in (x, y, entity.dxf.height)):
                problems.append(f"text at ({x}, {y}) is not finite")
            texts.append(entity.dxf.text)
        else:
            problems.append(f"unexpected entity {kind}")

    if polylines != want_polylines:
        problems.append(f"{polylines} polylines, expected {want_polylines}")
    if vertices != want_vertices:
        problems.append(f"{vertices} vertices, expected {want_vertices}")
    if len(texts) != want_texts:
        problems.append(f"{len(texts)} texts, expected {want_texts}")
    for i, want in enumerate(want_strings):
        got = texts[i] if i < len(texts) else None
        if got != want:
            problems.append(f"text {i} is {got!r}, expected {want!r}")

    for p in problems:
        print(p, file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
