#pragma once

#include <QSize>
#include <string>

#include "core/RenderMode.h"
#include "core/Result.h"
#include "core/design/Design.h"

class CSurfaceView;

// A command that writes a file gives back Result<Written>: done, with a
// warning the user should see ("" for none), or the one-line reason it wrote
// nothing. A failed command says only why it failed.
struct Written {
    std::string warning;
};

// Every path here is the file system's: the bytes of the name, as the
// command line gave them or QFile::encodeName made them, never text.

// Exports the surface of `design` to `outputPath`: glTF binary, OBJ (with its
// .mtl and texture beside it) or STL by the extension. The command line and
// the modeller's menu both call this, so their files are the same bytes. A
// texture that cannot be read leaves the surface untextured, with a warning.
Result<Written> ExportDesignToFile(const Design& design, const std::string& outputPath);

// Renders `design` as the 3D view draws it, in `mode`, at `size`, without
// any window or display, and writes it to `outputPath` as PNG.
Result<Written> RenderDesignToFile(const Design& design, RenderMode mode, QSize size, const std::string& outputPath);

// Writes the 3D view's current picture to `outputPath` as PNG.
Result<Written> SaveSurfaceImage(CSurfaceView& view, const std::string& outputPath);
