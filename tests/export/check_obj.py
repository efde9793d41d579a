"""Reads a Wavefront OBJ file with meshio and prints what it found: the point
and triangle counts, the texture-coordinate and normal counts, and the bounds
in shortest round-trip form. Exits 1 when the file cannot be read, lacks a
texture coordinate or normal for every point, or a face names a missing
point; 77 when meshio is not installed. Run it with Debian's python3, which
has python3-meshio."""
import sys

try:
    import meshio
except ImportError as error:
    print(f"meshio is not installed: {error}")
    sys.exit(77)

try:
    mesh = meshio.read(sys.argv[1], file_format="obj")
except Exception as error:  # meshio reports a malformed file in many ways
    print(f"unreadable: {error!r}")
    sys.exit(1)

points = len(mesh.points)
triangles = sum(len(block.data) for block in mesh.cells if block.type == "triangle")
vt = len(mesh.point_data.get("obj:vt", []))
vn = len(mesh.point_data.get("obj:vn", []))
print(f"points {points}\ntriangles {triangles}\nvt {vt}\nvn {vn}")
if points:
    print("min " + " ".join(repr(float(v)) for v in mesh.points.min(axis=0)))
    print("max " + " ".join(repr(float(v)) for v in mesh.points.max(axis=0)))

problems = []
if vt != points or vn != points:
    problems.append("not every point has a texture coordinate and a normal")
if any(((block.data < 0) | (block.data >= points)).any() for block in mesh.cells):
    problems.append("a face names a missing point")
for problem in problems:
    print(problem)
sys.exit(1 if problems else 0)
