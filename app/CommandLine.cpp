#include "app/CommandLine.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdio>
#include <memory>
#include <string_view>
#include <vector>

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
    return "velmora export DESIGN.velmora OUT.(" + ListAsChoice(MeshFormatExtensions()) + ")";
}

std::string RenderUsage()
{
    return "velmora render DESIGN.velmora OUT.png [--size WxH] [--mode " + ListAsChoice(RenderModeWords()) + "]";
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
        "Options (after the command):\n"
        "  --size WxH       render: the picture's size, each side 1 to %d pixels\n"
        "  --mode MODE      render: %s\n"
        "  --               every argument after it is a file\n"
        "  -h, --help       show this help\n"
        "  -v, --version    show the version\n"
        "\n"
        "Exit status: 0 done, 1 bad input, 2 wrong usage or no display for the modeller.\n",
        ExportUsage().c_str(), RenderUsage().c_str(), ListForSentence(MeshFormatNames()).c_str(), kMaxRenderSide,
        ListForSentence(RenderModeWords()).c_str());
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

bool IsOption(std::string_view argument)
{
    return argument.size() > 1 && argument[0] == '-';
}

// The one argument that starts the modeller: a design file by its name.
bool NamesDesignFile(std::string_view argument)
{
    return !IsOption(argument) && (EndsWith(argument, ".velmora") || argument.find('/') != std::string_view::npos);
}

// What follows the command word.
struct CommandArguments {
    std::vector<std::string> files;
    std::optional<std::string> size;
    std::optional<std::string> mode;
    bool help = false;
    bool version = false;
};

// The arguments after the command word (options anywhere among them, up
// to "--"); a failure for an option it does not take.
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
            if (name != "--size" && name != "--mode")
                return Failure{argument + ": unknown option (velmora --help lists them)"};
            std::optional<std::string>& value = name == "--size" ? read.size : read.mode;
            if (equals != std::string::npos) {
                value = argument.substr(equals + 1);
            } else if (i + 1 < argc) {
                value = argv[++i];
            } else {
                return Failure{name + ": the option needs a value"};
            }
        }
    }
    return read;
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

int Export(char* programPath, const CommandArguments& read)
{
    if (read.files.size() != 2 || read.size || read.mode)
        return Fail(kExitUsage, "usage: " + ExportUsage());
    const std::string& output = read.files[1];
    if (!MeshFormatForPath(output))
        return Fail(kExitUsage, "export: " + output + ": " + MeshOutputNameRule());
    const CommandApplication qt(programPath, false);
    const Result<Design> design = OpenDesignFile(read.files[0]);
    if (!design)
        return Fail(kExitBadInput, design.Error());
    return Finish(ExportDesignToFile(*design, output));
}

int Render(char* programPath, const CommandArguments& read)
{
    if (read.files.size() != 2)
        return Fail(kExitUsage, "usage: " + RenderUsage());
    const std::string& output = read.files[1];
    if (!EndsWith(output, ".png"))
        return Fail(kExitUsage, "render: " + output + ": the output must end in .png");
    const std::optional<QSize> size = read.size ? ParseSize(*read.size) : std::nullopt;
    if (read.size && !size)
        return Fail(kExitUsage, "render: --size " + *read.size + ": expected WIDTHxHEIGHT, each 1 to " +
                                    std::to_string(kMaxRenderSide));
    const std::optional<RenderMode> mode = read.mode ? RenderModeFromWord(*read.mode) : std::nullopt;
    if (read.mode && !mode)
        return Fail(kExitUsage, "render: --mode " + *read.mode + ": expected " +
                                    ListForSentence(RenderModeWords()));
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
        const std::string name = first.substr(0, first.find('='));
        if (name == "--size" || name == "--mode")
            return name + ": options follow the command: " + RenderUsage();
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
