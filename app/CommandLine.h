#pragma once

#include <optional>

// The program's command line. `velmora export DESIGN OUT` writes the surface
// of a design file as glTF binary, OBJ or STL (by OUT's extension);
// `velmora render DESIGN OUT.png` draws it as the 3D view does. Neither needs
// a display; --help and --version answer and end. Anything else starts the
// modeller: the result is then empty.
// Exit status: 0 done, 1 bad input (one line on stderr), 2 wrong usage.
std::optional<int> RunCommandLine(int argc, char** argv);
