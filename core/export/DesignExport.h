#pragma once

#include <string>

#include "core/bmp/RgbImage.h"
#include "core/design/Design.h"
#include "core/export/ExportFiles.h"
#include "core/export/MeshFormats.h"

// The surface of a design built with its export options (BuildExportMesh),
// placed as the options and the format say (scale, up axis; MeshPlacement.h)
// and exported under `baseName` (a file name without folder or extension) for
// `folder`. `texture` (the picture read from design.texturePath) may be
// null; so may `textureFile`, that picture's own PNG or JPEG file, which
// formats that carry a texture then embed as it is, unchanged. Formats that
// carry no texture ignore both.
// Options out of range fail the export with the reason. The OBJ's copy of
// the texture never replaces the design's own picture (the same file, however
// reached): when "<base>.png" (or ".jpg" for a JPEG file) is that picture
// the copy is "<base>-texture.png" (".jpg"), and when that is too the export
// is refused.
Result<ExportedFiles> ExportDesignMesh(const Design& design, const RgbImage* texture, MeshFormat format,
                                       const std::string& folder, const std::string& baseName,
                                       const PictureFile* textureFile = nullptr);

// Writes every file of an export into `folder`, all or none
// (WriteFilesAtomically), the main file (named `mainName`, as the user asked
// for it) last, so that no reader finds it before the files it refers to.
Result<void> WriteExportFiles(const ExportedFiles& files, const std::string& folder, const std::string& mainName);
