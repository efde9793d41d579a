#pragma once

#include <optional>
#include <string>
#include <variant>

// The program's exit statuses.
constexpr int kExitDone = 0;
constexpr int kExitBadInput = 1;  // one line on stderr says which file and why
constexpr int kExitUsage = 2;     // wrong arguments, or no display for the modeller

// The modeller is to start, opening `design` (its path as argv gave it) if
// there is one.
struct ModellerStart {
    std::optional<std::string> design;
};

// The program's command line, told from argv's bytes alone, before any
// window system is touched. The modeller starts for no arguments, or for
// one that names a design file: it ends in .velmora or holds a '/' (a file
// that is not there opens the modeller, which says so). `velmora export
// DESIGN OUT` writes the surface of a design as glTF binary, OBJ or STL (by
// OUT's extension); `velmora render DESIGN OUT.png` draws it as the 3D view
// does; neither needs a display. --help and --version answer and end.
// Anything else is wrong usage. Paths stay argv's bytes end to end.
// Gives what ran's exit status, or the modeller's start.
std::variant<int, ModellerStart> RunCommandLine(int argc, char** argv);

// Writes "velmora: MESSAGE" to stderr as one line, with its control
// characters and the bytes that are not UTF-8 escaped.
void PrintDiagnostic(const std::string& message);
