#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ExportOptions.h"
#include "core/Result.h"

// An option a command takes: for the usage line, the help and the reading.
struct CommandOption {
    std::string name;     // "--units"
    std::string command;  // the command that takes it: "export" or "render"
    std::string value;    // its value in the help ("UNITS"); empty for a flag
    std::string choices;  // its value in the usage line ("mm|cm|m|in")
    std::string help;     // what it does, for the help
};

// Every command's options, in the order the help lists them.
const std::vector<CommandOption>& CommandOptions();

// The option named `name` (without "=value"), or null.
const CommandOption* FindCommandOption(std::string_view name);

// "[--size WxH] [--mode solid|wireframe|point]": the options of `command`.
std::string OptionsUsage(const std::string& command);

// Whether an argument is an option (a '-' and more), not a file.
bool IsOption(std::string_view argument);

// What follows the command word: files and options mixed, up to "--".
struct CommandArguments {
    std::vector<std::string> files;
    // Each option given, with its value ("" for a flag), in order.
    std::vector<std::pair<const CommandOption*, std::string>> options;
    bool help = false;
    bool version = false;

    // The value given last for `name`, if it was given.
    std::optional<std::string> Value(std::string_view name) const;
};

// The arguments after the command word (argv[2] on); a failure for an
// option no command takes or a value missing.
Result<CommandArguments> ReadCommandArguments(int argc, char** argv);

// `stored` (the design's own options) with those given over them, in the
// order given, or the first refused as the user typed it:
// "--slices 2: slices must be 3 to 1024, not 2", "--scale abc: expected a number".
Result<ExportOptions> ApplyExportOptions(const CommandArguments& read, ExportOptions stored);
