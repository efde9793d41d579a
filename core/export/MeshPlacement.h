#pragma once

#include "core/ExportOptions.h"
#include "core/export/IndexedMesh.h"

// Places the export mesh (design units, Y up) in a file's space: positions
// times `scale`, then, for Z up, turned a quarter about X so that the
// design's +Y becomes +Z: (x, y, z) -> (x, -z, y), normals too. A turn, not
// a mirror, so the windings stay counter-clockwise seen from outside. With
// scale 1 and Y up the mesh is left exactly as it is.
void PlaceExportMesh(IndexedMesh& mesh, double scale, UpAxis up);
