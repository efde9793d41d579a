#!/usr/bin/python3
"""The closed lathe of make_lathe.py's samples as binary STL, in numpy: the
other side of velmora's `export` in the whole-process comparison.

Usage: numpy_lathe.py SAMPLES.npy OUT.stl

24 sections around the Y axis, each sample's ring at the height the default
straight path (0, -5) .. (0, 5) gives it; two triangles a quad, normals by the
right-hand rule."""
import sys

import numpy as np

samples = np.load(sys.argv[1])
radius, height = samples[:, 0], samples[:, 1]
y = -5.0 + 10.0 * (height - height.min()) / (height.max() - height.min())
angle = np.arange(24) * (2.0 * np.pi / 24)
grid = np.empty((len(samples), 24, 3))
grid[:, :, 0] = radius[:, None] * np.cos(angle)
grid[:, :, 1] = y[:, None]
grid[:, :, 2] = -radius[:, None] * np.sin(angle)
a, b = grid[:-1], np.roll(grid[:-1], -1, axis=1)
c, d = grid[1:], np.roll(grid[1:], -1, axis=1)
corners = np.concatenate([np.stack([a, b, c], 2), np.stack([c, b, d], 2)]).reshape(-1, 3, 3)
normals = np.cross(corners[:, 1] - corners[:, 0], corners[:, 2] - corners[:, 0])
normals /= np.maximum(np.linalg.norm(normals, axis=1), 1e-300)[:, None]
facets = np.zeros(len(corners), dtype=[("n", "<f4", 3), ("v", "<f4", (3, 3)), ("a", "<u2")])
facets["n"], facets["v"] = normals, corners
with open(sys.argv[2], "wb") as f:
    f.write(b"numpy lathe".ljust(80, b"\0"))
    f.write(np.uint32(len(facets)).tobytes())
    f.write(facets.tobytes())
