#!/usr/bin/env python3
"""Writes a model of COUNT parts drawn from DISTINCT different parts of an
LDraw library, on a grid, for the preview's benchmarks.

usage: preview_model.py LIBRARY COUNT DISTINCT OUT.ldr"""
import os
import sys

library, count, distinct, out = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
parts = []
for name in sorted(os.listdir(os.path.join(library, "parts"))):
    path = os.path.join(library, "parts", name)
    if not name.lower().endswith(".dat") or not 1500 < os.path.getsize(path) < 12000:
        continue
    with open(path, "rb") as f:
        head = f.read(300)
    # Moved and alias files hold nothing of their own.
    if b"~Moved" in head or b"Alias" in head or b"Sticker" in head:
        continue
    parts.append(name)
step = max(1, len(parts) // distinct)
chosen = parts[::step][:distinct]
colours = [1, 2, 4, 14, 15, 0, 71, 72, 25, 19]
side = int(count ** 0.5 + 0.999)
with open(out, "w", newline="\r\n") as f:
    f.write("0 Preview benchmark: %d parts of %d kinds\n0 Name: %s\n" %
            (count, len(chosen), os.path.basename(out)))
    for i in range(count):
        x, z = (i % side) * 80, (i // side) * 80
        if i and i % (count // 10 or 1) == 0:
            f.write("0 STEP\n")
        f.write("1 %d %d 0 %d 1 0 0 0 1 0 0 0 1 %s\n" %
                (colours[i % len(colours)], x, z, chosen[i % len(chosen)]))
