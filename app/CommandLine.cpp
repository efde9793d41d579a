#include "app/CommandLine.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string_view>
#include <vector>

#include "app/CommandArguments.h"
#include "app/DesignCommands.h"
#include "app/DialogFont.h"
#include "core/TerminalText.h"
#include "core/WordList.h"
#include "core/design/DesignFile.h"
#include "core/export/DesignExport.h"
#include "views/DesignImage.h"

namespace {

std::string ExportUsage()
{
    return "velmora export DESIGN.velmora OUT.(" + ListAsChoice(MeshFormatExtensions()) + ") " + OptionsUsage("export");
}

std::string RenderUsage()
{
    return "velmora render DESIGN.velmora OUT.png " + OptionsUsage("render");
}

int Fail(int status, const std::string& message)
{
    PrintDiagnostic(message);
    return status;
}

void Warn(const std::string& warning)
{
    if (!warning.empty())
        PrintDiagnostic("warning: " + warning);
}

// "  --size WxH       render: the picture's size, ..." for every option.
std::string OptionsHelp()
{
    std::string help;
    for (const CommandOption& option : CommandOptions()) {
        std::string left = "  " + option.name + (option.value.empty() ? "" : " " + option.value);
        left.resize(std::max<std::size_t>(left.size() + 1, 19), ' ');
        help += left + option.command + ": " + option.help + "\n";
    }
    return help;
}

int PrintHelp()
{
    std::printf(
        "Usage: velmora [DESIGN.velmora]\n"
        "       %s\n"
        "       %s\n"
        "\n"
        "Velmora, a modeller of swept surfaces. Without arguments it starts the modeller;\n"
        "with one design file (a name ending in .velmora or holding a '/') it starts the\n"
        "modeller with that design open.\n"
        "\n"
        "Commands (no display needed):\n"
        "  export   write the surface of a design as %s\n"
        "  render   draw the design as the modeller's 3D view shows it, by default at\n"
        "           the view's size and in the design's render mode\n"
        "\n"
        "Options (after the command; export's over the design's own):\n"
        "%s"
        "  --               every argument after it is a file\n"
        "  -h, --help       show this help\n"
        "  -v, --version    show the version\n"
        "\n"
        "Export places the surface in the format's axes and units unless told: glTF,\n"
        "OBJ and STL Y up, 3MF Z up in millimetres.\n"
        "\n"
        "Exit status: 0 done, 1 bad input, 2 wrong usage or no display for the modeller.\n",
        ExportUsage().c_str(), RenderUsage().c_str(), ListForSentence(MeshFormatNames()).c_str(),
        OptionsHelp().c_str());
    return kExitDone;
}

int PrintVersion()
{
    std::printf("velmora %s\n", VELMORA_VERSION);
    return kExitDone;
}

bool EndsWith(std::string_view text, std::string_view suffix)
{
    if (text.size() < suffix.size())
        return false;
    text.remove_prefix(text.size() - suffix.size());
    // `suffix` in lower case; its ASCII letters match in any case.
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        const char c = text[i] >= 'A' && text[i] <= 'Z' ? char(text[i] - 'A' + 'a') : text[i];
        if (c != suffix[i])
            return false;
    }
    return true;
}

// The one argument that starts the modeller: a design file by its name.
bool NamesDesignFile(std::string_view argument)
{
    return !IsOption(argument) && (EndsWith(argument, ".velmora") || argument.find('/') != std::string_view::npos);
}

std::optional<QSize> ParseSize(const std::string& text)
{
    const std::size_t x = text.find('x');
    const auto side = [](std::string_view digits) {
        int value = 0;
        if (digits.empty() || digits.size() > 5)
            return 0;
        for (char c : digits) {
            if (c < '0' || c > '9')
                return 0;
            value = value * 10 + (c - '0');
        }
        return value <= kMaxRenderSide ? value : 0;
    };
    if (x == std::string::npos)
        return std::nullopt;
    const int width = side(std::string_view(text).substr(0, x));
    const int height = side(std::string_view(text).substr(x + 1));
    if (width < 1 || height < 1)
        return std::nullopt;
    return QSize(width, height);
}

// Qt's notes on its platform (no runtime folder and the like) are not the
// command's business: its one line on stderr says how it went. Only what
// Qt finds critical still goes out.
void KeepQtNotesOffStderr(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        PrintDiagnostic(message.toStdString());
}

// Qt for a command: its image readers (a texture) and, for render, the
// dialog's font metrics. It is given no arguments to read: the command
// line is ours.
class CommandApplication {
public:
    CommandApplication(char* programPath, bool drawing) : m_argv{programPath, nullptr}
    {
        qInstallMessageHandler(KeepQtNotesOffStderr);
        if (drawing) {
            // The offscreen platform gives the font metrics without a display.
            qputenv("QT_QPA_PLATFORM", "offscreen");
            m_application = std::make_unique<QGuiApplication>(m_argc, m_argv);
            InstallDialogFontSubstitutes();
        } else {
            m_application = std::make_unique<QCoreApplication>(m_argc, m_argv);
        }
    }

private:
    int m_argc = 1;
    char* m_argv[2];
    std::unique_ptr<QCoreApplication> m_application;
};

int Finish(const Result<Written>& outcome)
{
    if (!outcome)
        return Fail(kExitBadInput, outcome.Error());
    Warn(outcome->warning);
    return kExitDone;
}

// Whether every option given is one of `command`'s.
bool TakesOptions(const std::string& command, const CommandArguments& read)
{
    for (const auto& given : read.options)
        if (given.first->command != command)
            return false;
    return true;
}

int Export(char* programPath, const CommandArguments& read)
{
    if (read.files.size() != 2 || !TakesOptions("export", read))
        return Fail(kExitUsage, "usage: " + ExportUsage());
    const std::string& output = read.files[1];
    if (!MeshFormatForPath(output))
        return Fail(kExitUsage, "export: " + output + ": " + MeshOutputNameRule());
    // Refused before the design is read: a value is wrong whatever the design holds.
    if (const Result<ExportOptions> checked = ApplyExportOptions(read, ExportOptions()); !checked)
        return Fail(kExitUsage, "export: " + checked.Error());
    const CommandApplication qt(programPath, false);
    const Result<Design> design = OpenDesignFile(read.files[0]);
    if (!design)
        return Fail(kExitBadInput, design.Error());
    const Result<ExportOptions> options = ApplyExportOptions(read, design->output);
    if (!options)
        return Fail(kExitUsage, "export: " + options.Error());
    Design given = *design;
    given.output = *options;
    return Finish(ExportDesignToFile(given, output));
}

int Render(char* programPath, const CommandArguments& read)
{
    if (read.files.size() != 2 || !TakesOptions("render", read))
        return Fail(kExitUsage, "usage: " + RenderUsage());
    const std::string& output = read.files[1];
    if (!EndsWith(output, ".png"))
        return Fail(kExitUsage, "render: " + output + ": the output must end in .png");
    const std::optional<std::string> sizeText = read.Value("--size"), modeText = read.Value("--mode");
    const std::optional<QSize> size = sizeText ? ParseSize(*sizeText) : std::nullopt;
    if (sizeText && !size)
        return Fail(kExitUsage, "render: --size " + *sizeText + ": expected WIDTHxHEIGHT, each 1 to " +
                                    std::to_string(kMaxRenderSide));
    const std::optional<RenderMode> mode = modeText ? RenderModeFromWord(*modeText) : std::nullopt;
    if (modeText && !mode)
        return Fail(kExitUsage, "render: --mode " + *modeText + ": expected " + ListForSentence(RenderModeWords()));
    const CommandApplication qt(programPath, true);
    const Result<Design> design = OpenDesignFile(read.files[0]);
    if (!design)
        return Fail(kExitBadInput, design.Error());
    // Without --size the picture has the 3D view's size in the modeller.
    return Finish(RenderDesignToFile(*design, mode.value_or(design->renderMode),
                                     size.value_or(SurfaceViewSize()), output));
}

int RunCommand(const std::string& command, int argc, char** argv)
{
    const Result<CommandArguments> read = ReadCommandArguments(argc, argv);
    if (!read)
        return Fail(kExitUsage, command + ": " + read.Error());
    if (read->help)
        return PrintHelp();
    if (read->version)
        return PrintVersion();
    return command == "export" ? Export(argv[0], *read) : Render(argv[0], *read);
}

// Why these arguments (none a command, help or version) start nothing.
std::string Misuse(const std::string& first)
{
    if (IsOption(first)) {
        const CommandOption* option = FindCommandOption(first.substr(0, first.find('=')));
        if (option)
            return option->name + ": options follow the command: " +
                   (option->command == "export" ? ExportUsage() : RenderUsage());
        return first + ": unknown option (the modeller takes none; velmora --help shows the usage)";
    }
    if (NamesDesignFile(first))
        return "the modeller opens one design at a time (velmora --help lists the commands)";
    return "unknown command \"" + first + "\": the commands are export and render; a design to open ends in "
           ".velmora or holds a '/'";
}

} // namespace

void PrintDiagnostic(const std::string& message)
{
    std::fprintf(stderr, "velmora: %s\n", EscapeForTerminal(message).c_str());
}

std::variant<int, ModellerStart> RunCommandLine(int argc, char** argv)
{
    if (argc < 2)
        return ModellerStart{};
    const std::string first = argv[1];
    if (first == "-h" || first == "--help")
        return PrintHelp();
    if (first == "-v" || first == "--version")
        return PrintVersion();
    if (first == "export" || first == "render")
        return RunCommand(first, argc, argv);
    if (argc == 2 && NamesDesignFile(first))
        return ModellerStart{first};
    return Fail(kExitUsage, Misuse(first));
}
