#pragma once

#include <QStringList>

// The file dialog's filters for exporting the mesh, one a format of the
// registry (core/export/MeshFormats.h) in its order, in the user's language:
// "glTF Binary (*.glb)", ...
QStringList MeshExportFilters();
