#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/ExportOptions.h"
#include "core/bmp/RgbImage.h"
#include "core/export/ExportFiles.h"
#include "core/export/IndexedMesh.h"
#include "core/export/PictureFile.h"

// The file formats the surface is exported to.
enum class MeshFormat { Glb, Obj, Stl, ThreeMf };

// What a format's writer is given.
struct MeshToExport {
    const IndexedMesh& mesh;
    const RgbImage* texture;          // null for none
    const PictureFile* textureFile;   // the texture's own PNG or JPEG file, embedded as it is; null for none
    const std::string& texturePath;   // the design's picture, which no file of the export may replace
    const std::string& folder;        // where the files go
    const std::string& baseName;      // the files' name without folder or extension
    LengthUnit units;                 // what one file unit is, for formats that say
};

// What a format's files take of the design's picture.
enum class TextureUse {
    None,
    File,    // the picture itself: its PNG or JPEG file's bytes, or the pixels encoded as PNG
    Colour,  // only its colour, from the pixels
};

// One format: everything the program knows of it.
struct MeshFormatInfo {
    MeshFormat format;
    const char* name;           // for people, in a sentence: "glTF binary"
    const char* fileKind;       // the file dialog's name of its files, in English: "glTF Binary"
    const char* extension;      // lower case, without the dot: "glb"
    TextureUse textureUse;
    UpAxis defaultUp;           // the up axis its readers expect
    std::optional<LengthUnit> defaultUnits;  // the units it states unless told; nothing: it states none
    Result<ExportedFiles> (*write)(const MeshToExport& what);
};

// Every format, in the order usage lines and file dialogs list them.
const std::vector<MeshFormatInfo>& MeshFormats();

const MeshFormatInfo& MeshFormatInfoOf(MeshFormat format);

// The format an output file name asks for by its extension (any case), or
// nothing for an extension the exporters do not write.
std::optional<MeshFormat> MeshFormatForPath(const std::string& path);

// Every format's name for people, and its extension, in the registry's order.
std::vector<std::string> MeshFormatNames();
std::vector<std::string> MeshFormatExtensions();

// Why an output name that gives no format is refused:
// "the output must end in .glb, .obj, .stl or .3mf".
std::string MeshOutputNameRule();
