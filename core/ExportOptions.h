#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/Result.h"
#include "core/SweepSettings.h"

// The length a design unit stands for in a file that stores units.
enum class LengthUnit { Millimetre, Centimetre, Metre, Inch };

// Which axis of the file is up: Y (the design's own) or Z (printers').
enum class UpAxis { Y, Z };

// How a design's surface leaves the program: how finely it is built, whether
// it is closed into a solid or given a wall, and how it is placed in the file.
// The defaults give the surface the 3D view draws, in the formats' own units
// and axes.
struct ExportOptions {
    static constexpr double kMaxScale = 1e6;
    static constexpr double kMaxThickness = 1e6;

    SweepSettings sweep;
    bool caps = false;        // close each open end with a flat cap
    double thickness = 0.0;   // a wall this thick, in design units; 0: none
    double scale = 1.0;       // design units to file units
    std::optional<LengthUnit> units;  // nothing: the format's default
    std::optional<UpAxis> up;         // nothing: the format's default

    bool operator==(const ExportOptions& other) const;
    bool operator!=(const ExportOptions& other) const { return !(*this == other); }
};

// Whether `options` can be used, or the first value out of range, named as
// the command line names it ("thickness must be 0 to 1e+06, not -1").
Result<void> CheckExportOptions(const ExportOptions& options);

// The units and axes, each with the word the command line and the design
// file use for it.
struct LengthUnitInfo {
    LengthUnit unit;
    const char* word;         // "mm"
    double millimetres;       // how many millimetres one unit is
};
const std::vector<LengthUnitInfo>& LengthUnits();
const LengthUnitInfo& LengthUnitInfoOf(LengthUnit unit);
std::optional<LengthUnit> LengthUnitFromWord(const std::string& word);
std::vector<std::string> LengthUnitWords();

const char* UpAxisWord(UpAxis axis);
std::optional<UpAxis> UpAxisFromWord(const std::string& word);
std::vector<std::string> UpAxisWords();
