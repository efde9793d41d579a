#include "core/ExportOptions.h"

#include <cmath>
#include <sstream>

namespace {

const std::vector<LengthUnitInfo> kLengthUnits = {
    {LengthUnit::Millimetre, "mm", 1.0},
    {LengthUnit::Centimetre, "cm", 10.0},
    {LengthUnit::Metre, "m", 1000.0},
    {LengthUnit::Inch, "in", 25.4},
};

struct UpAxisInfo {
    UpAxis axis;
    const char* word;
};

const UpAxisInfo kUpAxes[] = {{UpAxis::Y, "y"}, {UpAxis::Z, "z"}};

std::string Shown(double value)
{
    std::ostringstream out;
    out << value;
    return out.str();
}

}  // namespace

bool ExportOptions::operator==(const ExportOptions& other) const
{
    return sweep.slices == other.sweep.slices && sweep.intervalsPerSpan == other.sweep.intervalsPerSpan &&
           caps == other.caps && thickness == other.thickness && scale == other.scale && units == other.units &&
           up == other.up;
}

Result<void> CheckExportOptions(const ExportOptions& options)
{
    if (Result<void> sweep = CheckSweepSettings(options.sweep); !sweep)
        return sweep;
    if (!(options.thickness >= 0.0 && options.thickness <= ExportOptions::kMaxThickness))
        return Failure{"thickness must be 0 to " + Shown(ExportOptions::kMaxThickness) + ", not " +
                       Shown(options.thickness)};
    if (!(options.scale > 0.0 && options.scale <= ExportOptions::kMaxScale))
        return Failure{"scale must be above 0 and at most " + Shown(ExportOptions::kMaxScale) + ", not " +
                       Shown(options.scale)};
    return {};
}

const std::vector<LengthUnitInfo>& LengthUnits()
{
    return kLengthUnits;
}

const LengthUnitInfo& LengthUnitInfoOf(LengthUnit unit)
{
    for (const LengthUnitInfo& info : kLengthUnits)
        if (info.unit == unit)
            return info;
    return kLengthUnits.front();
}

std::optional<LengthUnit> LengthUnitFromWord(const std::string& word)
{
    for (const LengthUnitInfo& info : kLengthUnits)
        if (word == info.word)
            return info.unit;
    return std::nullopt;
}

std::vector<std::string> LengthUnitWords()
{
    std::vector<std::string> words;
    for (const LengthUnitInfo& info : kLengthUnits)
        words.push_back(info.word);
    return words;
}

const char* UpAxisWord(UpAxis axis)
{
    for (const UpAxisInfo& info : kUpAxes)
        if (info.axis == axis)
            return info.word;
    return "";
}

std::optional<UpAxis> UpAxisFromWord(const std::string& word)
{
    for (const UpAxisInfo& info : kUpAxes)
        if (word == info.word)
            return info.axis;
    return std::nullopt;
}

std::vector<std::string> UpAxisWords()
{
    std::vector<std::string> words;
    for (const UpAxisInfo& info : kUpAxes)
        words.push_back(info.word);
    return words;
}
