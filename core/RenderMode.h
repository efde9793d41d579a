#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// How the 3D view draws the surface; the views map it to OpenGL.
enum class RenderMode { Solid, Wireframe, Point };

// The word that names a mode in a design file and on the command line:
// "solid", "wireframe" or "point".
const char* RenderModeWord(RenderMode mode);

// The mode `word` names (exactly, lower case), or nothing.
std::optional<RenderMode> RenderModeFromWord(std::string_view word);

// Every mode's word, in the order of the enum, for messages that list them.
std::vector<std::string> RenderModeWords();
