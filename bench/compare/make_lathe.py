#!/usr/bin/python3
"""Writes the closed lathe that bench/core/bench_export.cpp builds, as a
design file, and its profile samples for numpy_lathe.py.

Usage: make_lathe.py POINTS DESIGN.velmora SAMPLES.npy

The samples are velmora's: ten intervals a span of the control polygon, each
point de Casteljau's recurrence (w[j] * u) + (w[j + 1] * t) with u = 1 - t,
in the same operations and order, so the same doubles."""
import json
import math
import sys

import numpy as np

points, design_path, samples_path = int(sys.argv[1]), sys.argv[2], sys.argv[3]
profile = [(0.0 if i in (0, points - 1) else 3.0 + 1.5 * math.sin(i * 0.7), -8.0 + 16.0 * i / (points - 1))
           for i in range(points)]
design = {"format": "velmora-design", "version": 1,
          "profile": [{"x": x, "y": y} for x, y in profile],
          "path": [{"x": 0.0, "y": -5.0}, {"x": 0.0, "y": 5.0}], "degree": 1, "texture": "", "render": "solid",
          "view": {"rotation": [1.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 0.0, 1.0],
                   "distance": 20.0}}
with open(design_path, "w") as f:
    json.dump(design, f, indent=2)

intervals = 10 * (points - 1)
t = np.arange(intervals + 1, dtype=np.float64) * (1.0 / intervals)
u = 1.0 - t
samples = np.zeros((intervals + 1, 3))
for c in range(2):
    w = np.tile(np.array([p[c] for p in profile]), (intervals + 1, 1))
    for k in range(points - 1, 0, -1):
        w[:, :k] = w[:, :k] * u[:, None] + w[:, 1:k + 1] * t[:, None]
    samples[:, c] = w[:, 0]
np.save(samples_path, samples)
