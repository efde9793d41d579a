#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QStringList>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "app/DesignCommands.h"
#include "app/DialogFont.h"
#include "core/design/DesignFile.h"
#include "core/export/DesignExport.h"
#include "views/DesignImage.h"

namespace {

constexpr int kDone = 0;
constexpr int kBadInput = 1;
constexpr int kUsage = 2;

bool IsCommandLineRequest(const char* first)
{
    for (const char* word : {"export", "render", "--help", "-h", "--version", "-v"})
        if (std::strcmp(first, word) == 0)
            return true;
    return false;
}

int Fail(int status, const std::string& line)
{
    std::fprintf(stderr, "velmora: %s\n", line.c_str());
    return status;
}

void Warn(const std::string& warning)
{
    if (!warning.empty())
        std::fprintf(stderr, "velmora: warning: %s\n", warning.c_str());
}

// Qt's notes on its platform (no runtime folder and the like) are not the
// command's business: its one line on stderr says how it went. Only what
// Qt finds critical still goes out.
void KeepQtNotesOffStderr(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "velmora: %s\n", qPrintable(message));
}

int Finish(const CommandOutcome& outcome)
{
    Warn(outcome.warning);
    return outcome.Succeeded() ? kDone : Fail(kBadInput, outcome.error);
}

std::optional<Design> ReadDesign(const QString& path, std::string& reason)
{
    DesignReadResult read = OpenDesignFile(QFile::encodeName(path).toStdString());
    reason = read.reason;
    return std::move(read.design);
}

int Export(const QString& designPath, const QString& outputPath)
{
    if (!MeshFormatForPath(QFile::encodeName(outputPath).toStdString()))
        return Fail(kUsage, "export: " + outputPath.toStdString() + ": the output must end in .glb, .obj or .stl");
    std::string reason;
    const std::optional<Design> design = ReadDesign(designPath, reason);
    if (!design)
        return Fail(kBadInput, reason);
    return Finish(ExportDesignToFile(*design, QFile::encodeName(outputPath).toStdString()));
}

std::optional<QSize> ParseSize(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("^([0-9]{1,5})x([0-9]{1,5})$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const int width = match.captured(1).toInt();
    const int height = match.captured(2).toInt();
    if (width < 1 || height < 1 || width > kMaxRenderSide || height > kMaxRenderSide)
        return std::nullopt;
    return QSize(width, height);
}

std::optional<RenderMode> ParseMode(const QString& text)
{
    if (text == QLatin1String("solid"))
        return RenderMode::Solid;
    if (text == QLatin1String("wireframe"))
        return RenderMode::Wireframe;
    if (text == QLatin1String("point"))
        return RenderMode::Point;
    return std::nullopt;
}

int Render(const QString& designPath, const QString& outputPath, const QString* sizeText, const QString* modeText)
{
    if (!outputPath.endsWith(QLatin1String(".png"), Qt::CaseInsensitive))
        return Fail(kUsage, "render: " + outputPath.toStdString() + ": the output must end in .png");
    // Without --size the picture has the 3D view's size in the modeller.
    const std::optional<QSize> size = sizeText ? ParseSize(*sizeText) : SurfaceViewSize();
    if (!size)
        return Fail(kUsage, "render: --size " + sizeText->toStdString() + ": expected WIDTHxHEIGHT, each 1 to " +
                                std::to_string(kMaxRenderSide));
    const std::optional<RenderMode> mode = modeText ? ParseMode(*modeText) : std::nullopt;
    if (modeText && !mode)
        return Fail(kUsage, "render: --mode " + modeText->toStdString() + ": expected solid, wireframe or point");
    std::string reason;
    const std::optional<Design> design = ReadDesign(designPath, reason);
    if (!design)
        return Fail(kBadInput, reason);
    return Finish(RenderDesignToFile(*design, mode.value_or(design->renderMode), *size,
                                      QFile::encodeName(outputPath).toStdString()));
}

} // namespace

std::optional<int> RunCommandLine(int argc, char** argv)
{
    if (argc < 2 || !IsCommandLineRequest(argv[1]))
        return std::nullopt;
    // render lays the 3D view out in the dialog's font, which needs a GUI
    // application; the offscreen platform gives one without a display.
    qInstallMessageHandler(KeepQtNotesOffStderr);
    std::unique_ptr<QCoreApplication> application;
    if (std::strcmp(argv[1], "render") == 0) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        application = std::make_unique<QGuiApplication>(argc, argv);
        InstallDialogFontSubstitutes();
    } else {
        application = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationVersion(QStringLiteral(VELMORA_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Velmora, a modeller of swept surfaces. Without arguments it starts the modeller.\n\n"
        "Commands (no display needed):\n"
        "  export DESIGN.velmora OUT.(glb|obj|stl)\n"
        "      write the surface of a design as glTF binary, OBJ or STL\n"
        "  render DESIGN.velmora OUT.png [--size WxH] [--mode solid|wireframe|point]\n"
        "      draw the design as the modeller's 3D view shows it, by default at the\n"
        "      view's size and in the design's render mode"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption sizeOption(QStringLiteral("size"),
                                        QStringLiteral("render: the picture's size, each side 1 to %1 pixels.")
                                            .arg(kMaxRenderSide),
                                        QStringLiteral("WxH"));
    const QCommandLineOption modeOption(QStringLiteral("mode"),
                                        QStringLiteral("render: solid, wireframe or point."),
                                        QStringLiteral("mode"));
    parser.addOption(sizeOption);
    parser.addOption(modeOption);
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("export or render"));
    parser.addPositionalArgument(QStringLiteral("arguments"), QStringLiteral("the command's files"),
                                 QStringLiteral("[arguments...]"));
    if (!parser.parse(QCoreApplication::arguments()))
        return Fail(kUsage, parser.errorText().toStdString());
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(kDone);  // exits
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();  // exits

    const QStringList words = parser.positionalArguments();
    if (words.value(0) == QLatin1String("export")) {
        if (words.size() != 3 || parser.isSet(sizeOption) || parser.isSet(modeOption))
            return Fail(kUsage, "usage: velmora export DESIGN.velmora OUT.(glb|obj|stl)");
        return Export(words[1], words[2]);
    }
    if (words.value(0) == QLatin1String("render") && words.size() == 3) {
        const QString sizeText = parser.value(sizeOption);
        const QString modeText = parser.value(modeOption);
        return Render(words[1], words[2], parser.isSet(sizeOption) ? &sizeText : nullptr,
                      parser.isSet(modeOption) ? &modeText : nullptr);
    }
    return Fail(kUsage, "usage: velmora render DESIGN.velmora OUT.png [--size WxH] [--mode solid|wireframe|point]");
}
