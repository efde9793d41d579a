#pragma once

#include <string>
#include <vector>

#include "core/Result.h"
#include "core/export/IndexedMesh.h"

// One file of an export: its name, to be written in the folder the user
// chose, beside the other files of the same export, and its whole content.
struct ExportedFile {
    std::string name;
    std::vector<unsigned char> bytes;
};

// What an exporter gives back (in a Result): every file of the export, the
// main file first.
using ExportedFiles = std::vector<ExportedFile>;

// Whether `mesh` can be exported under `baseName`, or why not: the name
// must be a plain file name (no folder, no control character) and the mesh
// must have a triangle, only indices of vertices it has, and only finite
// numbers, positions within float range (BuildIndexedMesh makes such meshes).
Result<void> CheckExportable(const IndexedMesh& mesh, const std::string& baseName);
