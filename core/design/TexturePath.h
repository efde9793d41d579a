#pragma once

#include <string>

// How a design file refers to its texture. Both functions are lexical: no
// file needs to exist and symbolic links are not followed. Relative inputs
// are taken from the current directory.

// The form stored in the design file at `designPath` for the texture at
// `texturePath`: relative to the design file's folder ('/'-separated) when the
// texture lies in that folder or below it, otherwise absolute. Both paths are
// normalised first ("a/../b" is "b"). An empty texture path stays empty.
std::string MakeStoredTexturePath(const std::string& designPath, const std::string& texturePath);

// The absolute, normalised texture path that `storedPath` (relative or
// absolute) names for the design file at `designPath`. Empty stays empty.
std::string ResolveStoredTexturePath(const std::string& designPath, const std::string& storedPath);
