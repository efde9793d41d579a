#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/bmp/DibReader.h"
#include "core/design/DesignFile.h"
#include "core/export/DesignExport.h"
#include "views/TextureFile.h"

namespace {

constexpr int kDone = 0;
constexpr int kBadInput = 1;
constexpr int kUsage = 2;

bool IsCommandLineRequest(const char* first)
{
    for (const char* word : {"export", "--help", "-h", "--version", "-v"})
        if (std::strcmp(first, word) == 0)
            return true;
    return false;
}

int Fail(int status, const std::string& line)
{
    std::fprintf(stderr, "velmora: %s\n", line.c_str());
    return status;
}

int Export(const QString& designPath, const QString& outputPath)
{
    const std::optional<MeshFormat> format = MeshFormatForPath(outputPath.toStdString());
    if (!format)
        return Fail(kUsage, "export: " + outputPath.toStdString() + ": the output must end in .glb, .obj or .stl");
    const DesignReadResult read = OpenDesignFile(QFile::encodeName(designPath).toStdString());
    if (!read.design)
        return Fail(kBadInput, read.reason);
    const Design& design = *read.design;

    RgbImage texture;
    bool textured = false;
    if (!design.texturePath.empty() && *format != MeshFormat::Stl) {
        const DibResult loaded = LoadTextureFile(design.texturePath.c_str(), texture);
        textured = loaded == DibResult::Ok;
        // The surface still goes out, as the modeller shows it without its texture.
        if (!textured) {
            std::string why = DibLoadMessage(loaded, design.texturePath.c_str());
            if (!why.empty() && why.back() == '\n')
                why.pop_back();
            std::fprintf(stderr, "velmora: warning: exporting without the texture: %s\n", why.c_str());
        }
    }

    const QFileInfo output(outputPath);
    const ExportResult result = ExportDesignMesh(design, textured ? &texture : nullptr, *format,
                                                 QFile::encodeName(output.completeBaseName()).toStdString());
    if (!result.Succeeded())
        return Fail(kBadInput, designPath.toStdString() + ": " + result.error);
    std::string reason;
    if (!WriteExportFiles(result, QFile::encodeName(output.absolutePath()).toStdString(),
                          QFile::encodeName(output.fileName()).toStdString(), reason))
        return Fail(kBadInput, reason);
    return kDone;
}

} // namespace

std::optional<int> RunCommandLine(int argc, char** argv)
{
    if (argc < 2 || !IsCommandLineRequest(argv[1]))
        return std::nullopt;
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(VELMORA_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Velmora, a modeller of swept surfaces. Without arguments it starts the modeller.\n\n"
        "Commands:\n"
        "  export DESIGN.velmora OUT.(glb|obj|stl)   write the surface of a design, no display needed"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("export"));
    parser.addPositionalArgument(QStringLiteral("arguments"), QStringLiteral("the command's files"),
                                 QStringLiteral("[arguments...]"));
    if (!parser.parse(QCoreApplication::arguments()))
        return Fail(kUsage, parser.errorText().toStdString());
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(kDone);  // exits
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();  // exits

    const QStringList words = parser.positionalArguments();
    if (words.size() != 3)
        return Fail(kUsage, "usage: velmora export DESIGN.velmora OUT.(glb|obj|stl)");
    return Export(words[1], words[2]);
}
