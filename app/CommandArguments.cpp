#include "app/CommandArguments.h"

#include <charconv>

#include "core/RenderMode.h"
#include "core/SweepSettings.h"
#include "core/WordList.h"
#include "views/DesignImage.h"

namespace {

std::string Range(int least, int most)
{
    return std::to_string(least) + " to " + std::to_string(most);
}

std::vector<CommandOption> MakeCommandOptions()
{
    using S = SweepSettings;
    return {
        {"--size", "render", "WxH", "",
         "the picture's size, each side 1 to " + std::to_string(kMaxRenderSide) + " pixels"},
        {"--mode", "render", "MODE", ListAsChoice(RenderModeWords()), ListForSentence(RenderModeWords())},
        {"--slices", "export", "N", "", "slices round the sweep, " + Range(S::kMinSlices, S::kMaxSlices)},
        {"--intervals", "export", "K", "",
         "intervals a span of a curve, " + Range(S::kMinIntervalsPerSpan, S::kMaxIntervalsPerSpan)},
        {"--caps", "export", "", "", "close each open end with a flat cap"},
        {"--no-caps", "export", "", "", "leave the ends open, whatever the design keeps"},
        {"--thickness", "export", "T", "", "a wall T design units thick (0: none)"},
        {"--scale", "export", "S", "", "file units a design unit"},
        {"--units", "export", "UNITS", ListAsChoice(LengthUnitWords()),
         "what a file unit is: " + ListForSentence(LengthUnitWords()) + " (3MF states it)"},
        {"--up", "export", "AXIS", ListAsChoice(UpAxisWords()),
         "the file's up axis: " + ListForSentence(UpAxisWords())},
    };
}

// A whole number, all of `text`.
Result<int> ParseWhole(const std::string& text)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (end != text.data() + text.size() || (error != std::errc() && error != std::errc::result_out_of_range))
        return Failure{"expected a whole number"};
    if (error == std::errc::result_out_of_range)
        return Failure{"far out of range"};
    return value;
}

// A finite number, all of `text` ("1.5", "2e-3").
std::optional<double> ParseNumber(const std::string& text)
{
    double value = 0.0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// Sets the option `name` in `options` from `value`, or says why it cannot.
Result<void> SetExportOption(ExportOptions& options, const std::string& name, const std::string& value)
{
    if (name == "--caps" || name == "--no-caps") {
        options.caps = name == "--caps";
    } else if (name == "--slices" || name == "--intervals") {
        const Result<int> whole = ParseWhole(value);
        if (!whole)
            return Failure{whole.Error()};
        (name == "--slices" ? options.sweep.slices : options.sweep.intervalsPerSpan) = *whole;
    } else if (name == "--thickness" || name == "--scale") {
        const std::optional<double> number = ParseNumber(value);
        if (!number)
            return Failure{"expected a number"};
        (name == "--scale" ? options.scale : options.thickness) = *number;
    } else if (name == "--units") {
        options.units = LengthUnitFromWord(value);
        if (!options.units)
            return Failure{"expected " + ListForSentence(LengthUnitWords())};
    } else if (name == "--up") {
        options.up = UpAxisFromWord(value);
        if (!options.up)
            return Failure{"expected " + ListForSentence(UpAxisWords())};
    }
    // The design's own options are in range, so a fault is this option's.
    return CheckExportOptions(options);
}

}  // namespace

const std::vector<CommandOption>& CommandOptions()
{
    static const std::vector<CommandOption> options = MakeCommandOptions();
    return options;
}

const CommandOption* FindCommandOption(std::string_view name)
{
    for (const CommandOption& option : CommandOptions())
        if (option.name == name)
            return &option;
    return nullptr;
}

std::string OptionsUsage(const std::string& command)
{
    std::string usage;
    for (const CommandOption& option : CommandOptions()) {
        if (option.command != command)
            continue;
        usage += usage.empty() ? "[" : " [";
        usage += option.name;
        if (!option.value.empty())
            usage += " " + (option.choices.empty() ? option.value : option.choices);
        usage += "]";
    }
    return usage;
}

bool IsOption(std::string_view argument)
{
    return argument.size() > 1 && argument[0] == '-';
}

std::optional<std::string> CommandArguments::Value(std::string_view name) const
{
    std::optional<std::string> value;
    for (const auto& [option, given] : options)
        if (option->name == name)
            value = given;
    return value;
}

Result<CommandArguments> ReadCommandArguments(int argc, char** argv)
{
    CommandArguments read;
    bool optionsEnded = false;
    for (int i = 2; i < argc; ++i) {
        const std::string argument = argv[i];
        if (optionsEnded || !IsOption(argument)) {
            read.files.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "-h" || argument == "--help") {
            read.help = true;
        } else if (argument == "-v" || argument == "--version") {
            read.version = true;
        } else {
            const std::size_t equals = argument.find('=');
            const std::string name = argument.substr(0, equals);
            const CommandOption* option = FindCommandOption(name);
            if (!option)
                return Failure{argument + ": unknown option (velmora --help lists them)"};
            if (option->value.empty()) {
                if (equals != std::string::npos)
                    return Failure{argument + ": the option takes no value"};
                read.options.emplace_back(option, std::string());
            } else if (equals != std::string::npos) {
                read.options.emplace_back(option, argument.substr(equals + 1));
            } else if (i + 1 < argc) {
                read.options.emplace_back(option, argv[++i]);
            } else {
                return Failure{name + ": the option needs a value"};
            }
        }
    }
    return read;
}

Result<ExportOptions> ApplyExportOptions(const CommandArguments& read, ExportOptions stored)
{
    for (const auto& [option, value] : read.options) {
        if (option->command != "export")
            continue;
        if (const Result<void> set = SetExportOption(stored, option->name, value); !set)
            return Failure{option->name + (value.empty() ? "" : " " + value) + ": " + set.Error()};
    }
    return stored;
}
