// The 3D view's picture leaves the program two ways: Save Image from the
// live view, and `velmora render` with no display at all. Both must give
// what the window shows. And the export the menu and the command line share.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QOpenGLContext>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <memory>
#include <string>

#include "../core/PngTestReader.h"
#include "GuiTestSupport.h"
#include "app/DesignCommands.h"
#include "app/DialogFont.h"
#include "app/MainDlg.h"
#include "core/design/DesignFile.h"
#include "app/TextureFile.h"

namespace {

const QString kExamples = QStringLiteral(VELMORA_EXAMPLES);

struct Difference {
    long differing = 0;  // pixels with a channel more than 2 apart
    int largest = 0;     // the largest channel difference anywhere
};

Difference Compare(const QImage& shown, const PngTestImage& png)
{
    Difference d;
    for (int y = 0; y < png.height; ++y) {
        for (int x = 0; x < png.width; ++x) {
            const QRgb s = shown.pixel(x, y);
            const unsigned char* p = &png.rgb[(static_cast<std::size_t>(y) * png.width + x) * 3];
            const int most = std::max({std::abs(qRed(s) - p[0]), std::abs(qGreen(s) - p[1]),
                                       std::abs(qBlue(s) - p[2])});
            d.largest = std::max(d.largest, most);
            d.differing += most > 2;
        }
    }
    return d;
}

// The surface covers part of the picture, in the texture's red stripes
// among others: a blank or untextured picture is not the view's.
void ExpectTexturedSurface(const PngTestImage& png)
{
    long coloured = 0, red = 0;
    for (std::size_t i = 0; i + 2 < png.rgb.size(); i += 3) {
        const int r = png.rgb[i], g = png.rgb[i + 1], b = png.rgb[i + 2];
        coloured += (r < 250 || g < 250 || b < 250);
        red += (r > 120 && r > 2 * g && r > 2 * b);
    }
    const long pixels = static_cast<long>(png.width) * png.height;
    EXPECT_GT(coloured, pixels / 20);
    EXPECT_GT(red, pixels / 200);
}

class PictureOfTheView : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        const Result<Design> read = OpenDesignFile((kExamples + "/vase.velmora").toStdString());
        ASSERT_TRUE(read) << read.Error();
        design = *read;
        // Turned 35 degrees about the X axis and nearer than the start, so
        // the view's rotation and distance both show.
        const float c = std::cos(0.61f), s = std::sin(0.61f);
        const float rotation[16] = {1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1};
        std::copy(rotation, rotation + 16, design.viewRotation);
        design.viewDistance = 17.5f;

        dialog = std::make_unique<CMainDlg>();
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get(), kHangGuardMs));
        Result<RgbImage> picture = LoadTextureFile(design.texturePath.c_str());
        ASSERT_TRUE(picture);
        ASSERT_TRUE(dialog->Document().Assign(design, std::make_shared<RgbImage>(std::move(picture).Value())));
        ProcessEvents();
    }

    // Saves the design with `mode` and renders it with no display.
    QString RenderWithoutDisplay(RenderMode mode, QStringList options, int& status, QString& err)
    {
        design.renderMode = mode;
        const QString designPath = folder.filePath("design.velmora");
        const Result<void> saved = SaveDesignFile(designPath.toStdString(), design);
        EXPECT_TRUE(saved) << saved.Error();
        const QString out = folder.filePath("render.png");
        QFile::remove(out);
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(VELMORA_PROGRAM),
                      QStringList{QStringLiteral("render"), designPath, out} + options);
        EXPECT_TRUE(program.waitForFinished(kHangGuardMs));
        status = program.exitCode();
        err = QString::fromLocal8Bit(program.readAllStandardError());
        return out;
    }

    QTemporaryDir folder;
    Design design;
    std::unique_ptr<CMainDlg> dialog;
};

} // namespace

TEST_F(PictureOfTheView, RenderWithoutDisplayGivesTheWindowsPixelsInEachMode)
{
    CSurfaceView& view = dialog->SurfaceView();
    for (RenderMode mode : {RenderMode::Solid, RenderMode::Wireframe, RenderMode::Point}) {
        SCOPED_TRACE(static_cast<int>(mode));
        dialog->Document().SetRenderMode(mode);
        const QImage shown = GrabView(view);
        int status = -1;
        QString err;
        // No --size: the picture has the view's size.
        const QString out = RenderWithoutDisplay(mode, {}, status, err);
        ASSERT_EQ(status, 0) << err.toStdString();
        EXPECT_TRUE(err.isEmpty()) << err.toStdString();
        PngTestImage png;
        ASSERT_EQ(ReadPngForTest(out.toStdString(), png), "");
        ASSERT_EQ(QSize(png.width, png.height), shown.size());
        ASSERT_EQ(QSize(png.width, png.height), SurfaceViewSize());
        ExpectTexturedSurface(png);
        const Difference d = Compare(shown, png);
        EXPECT_LE(d.differing, static_cast<long>(png.width) * png.height / 500) << "largest " << d.largest;
    }
}

TEST_F(PictureOfTheView, ModeOptionOverridesTheDesignsAndSizeIsTaken)
{
    CSurfaceView& view = dialog->SurfaceView();
    dialog->Document().SetRenderMode(RenderMode::Wireframe);
    const QImage shown = GrabView(view);
    int status = -1;
    QString err;
    const QString out = RenderWithoutDisplay(RenderMode::Point, {"--mode", "wireframe"}, status, err);
    ASSERT_EQ(status, 0) << err.toStdString();
    PngTestImage png;
    ASSERT_EQ(ReadPngForTest(out.toStdString(), png), "");
    EXPECT_LE(Compare(shown, png).differing, static_cast<long>(png.width) * png.height / 500);

    RenderWithoutDisplay(RenderMode::Solid, {"--size", "123x45"}, status, err);
    ASSERT_EQ(status, 0) << err.toStdString();
    ASSERT_EQ(ReadPngForTest(out.toStdString(), png), "");
    EXPECT_EQ(QSize(png.width, png.height), QSize(123, 45));
}

TEST_F(PictureOfTheView, SaveImageWritesWhatTheWindowShows)
{
    CSurfaceView& view = dialog->SurfaceView();
    for (RenderMode mode : {RenderMode::Solid, RenderMode::Point}) {
        dialog->Document().SetRenderMode(mode);
        const QImage shown = GrabView(view);
        const QString out = folder.filePath("saved.png");
        const Result<Written> outcome = SaveSurfaceImage(view, out.toStdString());
        ASSERT_TRUE(outcome) << outcome.Error();
        PngTestImage png;
        ASSERT_EQ(ReadPngForTest(out.toStdString(), png), "");
        ASSERT_EQ(QSize(png.width, png.height), shown.size());
        ExpectTexturedSurface(png);
        const Difference d = Compare(shown, png);
        EXPECT_EQ(d.differing, 0) << "largest " << d.largest;
    }

    // A folder that does not exist: a reason, and no file anywhere.
    const QString nowhere = folder.filePath("missing/saved.png");
    const Result<Written> refused = SaveSurfaceImage(view, nowhere.toStdString());
    ASSERT_FALSE(refused);
    EXPECT_NE(refused.Error().find("missing/saved.png"), std::string::npos) << refused.Error();
    EXPECT_FALSE(QFile::exists(nowhere));
}

TEST_F(PictureOfTheView, ATextureWiderThanOpenGLTakesIsRenderedScaledDownWithOneWarning)
{
    CSurfaceView& view = dialog->SurfaceView();
    const int limit = MaxTextureSize(view);
    ASSERT_GT(limit, 0);
    ASSERT_LE(limit, 16384) << "the picture must be wider than this OpenGL takes";
    // 32768 x 8, red and blue bands 1024 pixels wide: halved, still bands.
    QImage bands(32768, 8, QImage::Format_RGB888);
    for (int x = 0; x < bands.width(); ++x)
        for (int y = 0; y < bands.height(); ++y)
            bands.setPixel(x, y, x / 1024 % 2 ? qRgb(220, 30, 30) : qRgb(30, 30, 220));
    const QString picture = folder.filePath("bands.png");
    ASSERT_TRUE(bands.save(picture));
    design.texturePath = picture.toStdString();
    int status = -1;
    QString err;
    const QString out = RenderWithoutDisplay(RenderMode::Solid, {}, status, err);
    ASSERT_EQ(status, 0) << err.toStdString();
    const QString warning = QStringLiteral("velmora: warning: bands.png: 32768 x 8 pixels is more than OpenGL takes "
                                           "here; the texture is scaled down to ");
    EXPECT_EQ(err.count(warning), 1) << err.toStdString();
    EXPECT_EQ(err.count(QLatin1Char('\n')), 1) << "one line: " << err.toStdString();
    PngTestImage png;
    ASSERT_EQ(ReadPngForTest(out.toStdString(), png), "");
    ExpectTexturedSurface(png);
}

TEST_F(PictureOfTheView, ExportOfADesignMatchesTheCommandLineAndWarnsOfAMissingTexture)
{
    const QString viaFunction = folder.filePath("function.glb");
    const Result<Written> exported = ExportDesignToFile(design, viaFunction.toStdString());
    ASSERT_TRUE(exported) << exported.Error();
    EXPECT_TRUE(exported->warning.empty());
    const QString designPath = folder.filePath("design.velmora");
    const Result<void> saved = SaveDesignFile(designPath.toStdString(), design);
    ASSERT_TRUE(saved) << saved.Error();
    const QString viaCommand = folder.filePath("command.glb");
    EXPECT_EQ(QProcess::execute(QStringLiteral(VELMORA_PROGRAM), {"export", designPath, viaCommand}), 0);
    QFile a(viaFunction), b(viaCommand);
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    const QByteArray bytes = a.readAll();
    EXPECT_TRUE(bytes.contains("image/png"));
    EXPECT_EQ(bytes, b.readAll());

    design.texturePath = folder.filePath("gone.bmp").toStdString();
    const Result<Written> untextured = ExportDesignToFile(design, viaFunction.toStdString());
    ASSERT_TRUE(untextured) << untextured.Error();
    EXPECT_NE(untextured->warning.find("without the texture"), std::string::npos) << untextured->warning;
    EXPECT_FALSE(ExportDesignToFile(design, folder.filePath("mesh.ply").toStdString()));
    EXPECT_FALSE(QFile::exists(folder.filePath("mesh.ply")));
}

TEST_F(PictureOfTheView, TheMenusExportAndPictureAreTheCommandLinesBytes)
{
    const QString designPath = folder.filePath("design.velmora");
    const Result<void> saved = SaveDesignFile(designPath.toStdString(), design);
    ASSERT_TRUE(saved) << saved.Error();
    ASSERT_TRUE(dialog->Files().OpenDesign(designPath));
    for (const char* name : {"vase.glb", "vase.obj", "vase.stl"}) {
        const QString viaMenu = folder.filePath(QStringLiteral("menu-") + name);
        const QString viaCommand = folder.filePath(QStringLiteral("command-") + name);
        ASSERT_TRUE(dialog->Files().ExportMesh(viaMenu)) << name;
        ASSERT_EQ(QProcess::execute(QStringLiteral(VELMORA_PROGRAM), {"export", designPath, viaCommand}), 0);
        QFile a(viaMenu), b(viaCommand);
        ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly)) << name;
        QByteArray bytes = a.readAll();
        EXPECT_GT(bytes.size(), 1000) << name;
        // The OBJ names its own material file; the rest must be the same.
        EXPECT_EQ(bytes.replace("menu-", "command-"), b.readAll()) << name;
    }

    // Save Image is the window's picture; an unwritable place is refused.
    const QString picture = folder.filePath("view.png");
    ASSERT_TRUE(dialog->Files().SaveImage(picture));
    PngTestImage png;
    ASSERT_EQ(ReadPngForTest(picture.toStdString(), png), "");
    EXPECT_EQ(Compare(GrabView(dialog->SurfaceView()), png).differing, 0);
    RecordingMessageBoxes boxes;
    EXPECT_FALSE(dialog->Files().ExportMesh(folder.filePath("missing/vase.glb")));
    EXPECT_EQ(boxes.boxes.size(), 1u);
}
