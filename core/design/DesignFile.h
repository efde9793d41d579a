#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/Result.h"
#include "core/design/Design.h"

// The .velmora design file: pretty-printed UTF-8 JSON with a fixed key order
// (layout in DesignFile.cpp). Numbers are written in their shortest form that
// reads back to the same double (points) or float (view), so save -> open ->
// save gives the same bytes.
//
// Failures are one short English line. A fault in the contents names the file
// by its name, e.g. `vase.velmora: "profile" point 3 has X < 0` (points are
// numbered from 0, as the editor's read-out names them); a failed system
// call names the path as given and says what was being done. Only the first
// fault found is reported. None of these functions throws.

constexpr const char* kDesignFormatName = "velmora-design";
// The version written. Version 1 files (no "export" options) are read too,
// with the default options.
constexpr int kDesignFormatVersion = 2;
constexpr int kOldestDesignFormatVersion = 1;
// Larger files are refused before they are read.
constexpr std::size_t kMaxDesignFileBytes = 4 * 1024 * 1024;

// Reads the design file at `path`. A stored relative texture path is resolved
// against the file's folder; a missing texture file is not a fault.
Result<Design> OpenDesignFile(const std::string& path) noexcept;

// Reads design file text as if it came from the file at `path`, which is used
// to name the file and to resolve the texture path; nothing is opened.
Result<Design> ParseDesignText(std::string_view text, const std::string& path) noexcept;

// The text of `design` saved as the file at `path` (which places the texture
// path). A failure for a design the reader would refuse or a texture path
// that is not UTF-8.
Result<std::string> FormatDesignText(const Design& design, const std::string& path) noexcept;

// Writes `design` to `path` atomically (see AtomicFile.h). On failure the
// previous file is left as it was.
Result<void> SaveDesignFile(const std::string& path, const Design& design) noexcept;
