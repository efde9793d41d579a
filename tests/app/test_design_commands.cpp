#include <gtest/gtest.h>

#include <GL/gl.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QOpenGLContext>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <iterator>
#include <memory>
#include <sys/stat.h>

#include "app/DialogTemplate.h"
#include "app/MainDlg.h"
#include "app/RecentFiles.h"
#include "core/design/DesignFile.h"
#include "GuiTestSupport.h"

// Undo and redo of every edit, the design file commands and the question
// before unsaved changes are dropped, on the real dialog.
namespace {

std::vector<CVector3> Points(std::initializer_list<std::pair<double, double>> xy)
{
    std::vector<CVector3> points;
    for (const auto& [x, y] : xy)
        points.push_back({x, y, 0});
    return points;
}

bool SamePoints(const std::vector<CVector3>& a, const std::vector<CVector3>& b)
{
    return CurveSnapshot{a, -1}.SamePoints(CurveSnapshot{b, -1});
}

class DesignCommands : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        dialog = std::make_unique<CMainDlg>();
        dialog->Files().SetSaveQuestion([this](const QString& name) {
            questions.push_back(name);
            return answer;
        });
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get(), kHangGuardMs));
        ProcessEvents();
    }
    void TearDown() override { dialog.reset(); }

    QPushButton* Button(int id) { return qobject_cast<QPushButton*>(dialog->GetDlgItem(id)); }
    void Press(int id) { QTest::mouseClick(Button(id), Qt::LeftButton); }
    QAction* Action(const char* name) { return dialog->findChild<QAction*>(QString::fromLatin1(name)); }
    QString File(const char* name) const { return folder.filePath(QString::fromLatin1(name)); }
    const std::vector<CVector3>& ProfilePoints() { return dialog->Profile().ControlPoints(); }

    void ClickProfile(double x, double y)
    {
        CCurveView& view = dialog->ProfileView();
        QTest::mouseClick(&view, Qt::LeftButton, {}, WorldToWindow(view, x, y));
    }
    void DragProfile(std::initializer_list<std::pair<double, double>> path)
    {
        CCurveView& view = dialog->ProfileView();
        const auto first = *path.begin();
        const auto last = *(path.end() - 1);
        QTest::mousePress(&view, Qt::LeftButton, {}, WorldToWindow(view, first.first, first.second));
        for (const auto& [x, y] : path)
            QTest::mouseMove(&view, WorldToWindow(view, x, y));
        QTest::mouseRelease(&view, Qt::LeftButton, {}, WorldToWindow(view, last.first, last.second));
    }
    void DrawThreePoints()
    {
        ClickProfile(2, -6);
        ClickProfile(5, 0);
        ClickProfile(3, 6);
    }

    QTemporaryDir folder;
    RecordingMessageBoxes boxes;
    std::unique_ptr<CMainDlg> dialog;
    std::vector<QString> questions;
    SaveChoice answer = SaveChoice::Cancel;
};

} // namespace

TEST_F(DesignCommands, UndoAndRedoPutBackTheExactPointsAndTheSelection)
{
    DrawThreePoints();
    const std::vector<CVector3> drawn = ProfilePoints();
    ASSERT_EQ(drawn.size(), 3u);
    EXPECT_EQ(Action("actionUndo")->text(), "Undo Add Point");

    // One drag of many moves is one step; a second drag is another.
    Press(IDC_SELECT_CP1);
    DragProfile({{5, 0}, {6, 1}, {7, 2}, {7.5, 2.5}});
    const std::vector<CVector3> dragged = ProfilePoints();
    EXPECT_FALSE(SamePoints(dragged, drawn));
    DragProfile({{3, 6}, {1, 7}});
    EXPECT_EQ(dialog->UndoStack().count(), 5);
    EXPECT_EQ(Action("actionUndo")->text(), "Undo Move Point");

    dialog->UndoStack().undo();
    EXPECT_TRUE(SamePoints(ProfilePoints(), dragged));
    EXPECT_EQ(dialog->Profile().Selected(), 2);
    dialog->UndoStack().undo();
    EXPECT_TRUE(SamePoints(ProfilePoints(), drawn));
    EXPECT_EQ(dialog->Profile().Selected(), 1) << "the point picked for the drag";
    dialog->UndoStack().undo();
    EXPECT_TRUE(SamePoints(ProfilePoints(), Points({{drawn[0].x, drawn[0].y}, {drawn[1].x, drawn[1].y}})));
    EXPECT_EQ(dialog->Profile().Selected(), 1);
    EXPECT_EQ(dialog->UndoStack().count(), 5) << "undo records nothing of its own";

    dialog->UndoStack().redo();
    dialog->UndoStack().redo();
    EXPECT_TRUE(SamePoints(ProfilePoints(), dragged));
    EXPECT_EQ(dialog->Profile().Selected(), 1);
    ProcessEvents();
    const CVector3 p = dragged[1];
    EXPECT_EQ(qobject_cast<QLabel*>(dialog->GetDlgItem(IDC_STATUS))->text(),
              QString::asprintf("Selected CP : P1 (%f, %f)", p.x, p.y));

    // A new edit after undo drops the steps that were undone.
    dialog->UndoStack().undo();
    Press(IDC_DELETE_CP1);
    EXPECT_EQ(Action("actionUndo")->text(), "Undo Delete Point");
    EXPECT_FALSE(dialog->UndoStack().canRedo());
    dialog->UndoStack().undo();
    EXPECT_TRUE(SamePoints(ProfilePoints(), drawn));
}

TEST_F(DesignCommands, PicksViewTurnsAndADragBackToItsStartAreNoSteps)
{
    DrawThreePoints();
    const int steps = dialog->UndoStack().count();
    Press(IDC_SELECT_CP1);
    ClickProfile(2, -6);
    ClickProfile(9, 9);
    DragProfile({{5, 0}, {7, 3}, {5, 0}});
    CSurfaceView& surface = dialog->SurfaceView();
    QTest::mousePress(&surface, Qt::LeftButton, {}, QPoint(40, 40));
    QTest::mouseMove(&surface, QPoint(120, 90));
    QTest::mouseRelease(&surface, Qt::LeftButton, {}, QPoint(120, 90));
    EXPECT_EQ(dialog->UndoStack().count(), steps);
    dialog->UndoStack().setClean();
    Press(IDC_SOLID);
    EXPECT_FALSE(dialog->Files().IsModified()) << "the mode it already had";
}

TEST_F(DesignCommands, ResetAndRenderModeAreUndoneToo)
{
    qobject_cast<QLineEdit*>(dialog->GetDlgItem(IDC_DEGREE))->setText("3");
    Press(IDC_RESET);
    EXPECT_EQ(dialog->Path().ControlPoints().size(), 4u);
    EXPECT_EQ(Action("actionUndo")->text(), "Undo Reset");
    Press(IDC_WIREFRAME);
    EXPECT_EQ(Action("actionUndo")->text(), "Undo Render Mode");
    dialog->UndoStack().undo();
    EXPECT_EQ(dialog->SurfaceView().GetRenderMode(), RenderMode::Solid);
    dialog->UndoStack().undo();
    EXPECT_TRUE(SamePoints(dialog->Path().ControlPoints(), Points({{0, -5}, {0, 5}})));
    EXPECT_EQ(dialog->Path().Selected(), 0);
    EXPECT_FALSE(dialog->Files().IsModified());
    dialog->UndoStack().redo();
    dialog->UndoStack().redo();
    EXPECT_EQ(dialog->Path().ControlPoints().size(), 4u);
    EXPECT_EQ(dialog->SurfaceView().GetRenderMode(), RenderMode::Wireframe);
}

TEST_F(DesignCommands, UndoingAResetPutsBackItsDegree)
{
    auto* field = qobject_cast<QLineEdit*>(dialog->GetDlgItem(IDC_DEGREE));
    field->setText("3");
    Press(IDC_RESET);
    field->setText("7");
    Press(IDC_RESET);
    EXPECT_EQ(dialog->UndoStack().count(), 2);
    dialog->UndoStack().undo();
    EXPECT_EQ(field->text(), "3");
    EXPECT_EQ(dialog->Document().Degree(), 3u);
    EXPECT_EQ(dialog->Path().ControlPoints().size(), 4u);
    ASSERT_TRUE(dialog->Files().SaveDesign(File("three.velmora")));
    const Result<Design> saved = OpenDesignFile(QFile::encodeName(File("three.velmora")).toStdString());
    ASSERT_TRUE(saved) << saved.Error();
    EXPECT_EQ(saved->degree, 3u);
    EXPECT_EQ(saved->path.size(), 4u);
    dialog->UndoStack().redo();
    EXPECT_EQ(field->text(), "7");
    EXPECT_EQ(dialog->Document().Degree(), 7u);
    // Back to the start: degree 1, and a Reset that changes nothing is no step.
    dialog->UndoStack().undo();
    dialog->UndoStack().undo();
    EXPECT_EQ(field->text(), "1");
    EXPECT_EQ(dialog->Document().Degree(), 1u);
    Press(IDC_RESET);
    EXPECT_EQ(dialog->UndoStack().count(), 2) << "the redo steps stay";
}

TEST_F(DesignCommands, ClearMenuEmptiesTheRecentDesignsUntilTheNextSave)
{
    QMenu* file = dialog->MenuBar()->actions().value(0)->menu();
    auto* recent = dialog->findChild<QMenu*>(QStringLiteral("menuRecent"));
    ASSERT_NE(file, nullptr);
    ASSERT_NE(recent, nullptr);
    ASSERT_TRUE(dialog->Files().SaveDesign(File("kept.velmora")));
    emit file->aboutToShow();
    EXPECT_TRUE(recent->isEnabled());
    const QList<QAction*> entries = recent->actions();
    ASSERT_EQ(entries.size(), 3) << "the design, a separator, Clear Menu";
    EXPECT_EQ(entries[0]->data().toString(), File("kept.velmora"));
    EXPECT_TRUE(entries[1]->isSeparator());
    QAction* clear = entries[2];
    EXPECT_EQ(clear->objectName(), "actionClearRecent");
    clear->trigger();
    EXPECT_TRUE(RecentFiles().List().isEmpty());
    EXPECT_FALSE(recent->isEnabled());
    emit file->aboutToShow();
    EXPECT_FALSE(recent->isEnabled());
    EXPECT_EQ(recent->actions().size(), 2) << "the separator and Clear Menu";
    // The next design saved shows again, as the File menu opens.
    ASSERT_TRUE(dialog->Files().SaveDesign(File("next.velmora")));
    emit file->aboutToShow();
    EXPECT_TRUE(recent->isEnabled());
    ASSERT_EQ(recent->actions().size(), 3);
    EXPECT_EQ(recent->actions()[0]->data().toString(), File("next.velmora"));
}

TEST_F(DesignCommands, SaveThenOpenGivesTheSameDesignAndTheSameBytes)
{
    DrawThreePoints();
    Press(IDC_POINT);
    CSurfaceView& surface = dialog->SurfaceView();
    QTest::mousePress(&surface, Qt::LeftButton, {}, QPoint(40, 40));
    QTest::mouseMove(&surface, QPoint(120, 90));
    QTest::mouseRelease(&surface, Qt::LeftButton, {}, QPoint(120, 90));
    EXPECT_TRUE(dialog->Files().IsModified());
    EXPECT_TRUE(dialog->isWindowModified());

    ASSERT_TRUE(dialog->Files().SaveDesign(File("vase.velmora")));
    EXPECT_FALSE(dialog->isWindowModified());
    EXPECT_EQ(dialog->windowTitle(), "vase.velmora[*] - Velmora");
    EXPECT_EQ(RecentFiles().List().value(0), File("vase.velmora"));
    const Design saved = dialog->Document().Value();

    dialog->Files().OnNew();
    EXPECT_TRUE(questions.empty()) << "nothing unsaved";
    EXPECT_TRUE(ProfilePoints().empty());
    EXPECT_EQ(dialog->SurfaceView().GetRenderMode(), RenderMode::Solid);
    EXPECT_EQ(dialog->windowTitle(), "Untitled[*] - Velmora");

    ASSERT_TRUE(dialog->Files().OpenDesign(File("vase.velmora")));
    const Design opened = dialog->Document().Value();
    EXPECT_TRUE(SamePoints(opened.profile, saved.profile));
    EXPECT_TRUE(SamePoints(opened.path, saved.path));
    EXPECT_EQ(opened.renderMode, RenderMode::Point);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(opened.viewRotation[i], saved.viewRotation[i]) << i;
    EXPECT_EQ(opened.viewDistance, saved.viewDistance);
    EXPECT_FALSE(dialog->Files().IsModified());
    EXPECT_FALSE(dialog->UndoStack().canUndo()) << "an opened design starts a new history";

    ASSERT_TRUE(dialog->Files().SaveDesign(File("again.velmora")));
    QFile first(File("vase.velmora")), second(File("again.velmora"));
    ASSERT_TRUE(first.open(QIODevice::ReadOnly) && second.open(QIODevice::ReadOnly));
    EXPECT_EQ(first.readAll(), second.readAll());
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(DesignCommands, ANameThatIsNotUtf8OpensAndSavesBackUnderItsBytes)
{
    // As `velmora caf\xe9.velmora` gives it, from a Latin-1 file system.
    const std::string latin1 = QFile::encodeName(folder.path()).toStdString() + "/caf\xe9.velmora";
    // Qt lists no file whose name is not UTF-8, and cannot remove one.
    const struct RemovedAtEnd {
        std::string path;
        ~RemovedAtEnd() { std::filesystem::remove(path); }
    } removed{latin1};
    DrawThreePoints();
    ASSERT_TRUE(dialog->Files().SaveDesignAt(latin1));
    dialog->Files().OnNew();
    ASSERT_TRUE(dialog->Files().OpenDesignAt(latin1));
    EXPECT_EQ(ProfilePoints().size(), 3u);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("caf\uFFFD.velmora[*] - Velmora"));

    ClickProfile(1, 8);
    ASSERT_TRUE(dialog->Files().OnSave());
    const auto files = std::filesystem::directory_iterator(QFile::encodeName(folder.path()).toStdString());
    EXPECT_EQ(std::distance(begin(files), end(files)), 1) << "saved under another name";
    const Result<Design> saved = OpenDesignFile(latin1);
    ASSERT_TRUE(saved) << saved.Error();
    EXPECT_EQ(saved->profile.size(), 4u);
    // The recent files are text: a name they cannot hold is left out.
    for (const QString& recent : RecentFiles().List())
        EXPECT_FALSE(recent.contains(QChar::ReplacementCharacter)) << recent.toStdString();
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(DesignCommands, ARefusedFileLeavesTheDesignAsItWas)
{
    DrawThreePoints();
    const std::vector<CVector3> drawn = ProfilePoints();
    const int steps = dialog->UndoStack().count();
    const struct {
        const char* name;
        const char* text;
        const char* reason;
    } files[] = {
        {"broken.velmora", "{ not json", "broken.velmora"},
        {"left.velmora",
         "{\"format\": \"velmora-design\", \"version\": 1,"
         " \"profile\": [{\"x\": 1, \"y\": 0}, {\"x\": -1, \"y\": 3}],"
         " \"path\": [{\"x\": 0, \"y\": -5}, {\"x\": 0, \"y\": 5}], \"degree\": 1, \"render\": \"solid\","
         " \"view\": {\"rotation\": [1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1], \"distance\": 20}}",
         "point 1 has X < 0"},
    };
    for (const auto& file : files) {
        boxes.boxes.clear();
        QFile out(File(file.name));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(file.text);
        out.close();
        EXPECT_FALSE(dialog->Files().OpenDesign(File(file.name))) << file.name;
        ASSERT_EQ(boxes.boxes.size(), 1u) << file.name;
        EXPECT_NE(boxes.boxes[0].text.find(file.reason), std::string::npos) << boxes.boxes[0].text;
        EXPECT_TRUE(SamePoints(ProfilePoints(), drawn));
        EXPECT_EQ(dialog->UndoStack().count(), steps);
        EXPECT_TRUE(dialog->Files().FileName().isEmpty());
    }
}

TEST_F(DesignCommands, AFailedSaveKeepsTheOldFileAndTheUnsavedMark)
{
    DrawThreePoints();
    ASSERT_TRUE(dialog->Files().SaveDesign(File("kept.velmora")));
    QFile kept(File("kept.velmora"));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    const QByteArray before = kept.readAll();
    kept.close();
    ClickProfile(1, 8);

    // A file that is a directory, a folder that is a file, and a folder
    // that cannot be written.
    ASSERT_TRUE(QDir(folder.path()).mkdir("folder.velmora"));
    EXPECT_FALSE(dialog->Files().SaveDesign(File("folder.velmora")));
    EXPECT_FALSE(dialog->Files().SaveDesign(File("kept.velmora") + "/inside.velmora"));
    EXPECT_EQ(boxes.boxes.size(), 2u);
    if (::geteuid() != 0) {  // root writes anywhere
        ASSERT_EQ(::chmod(QFile::encodeName(folder.path()).constData(), 0555), 0);
        EXPECT_FALSE(dialog->Files().SaveDesign(File("kept.velmora")));
        ::chmod(QFile::encodeName(folder.path()).constData(), 0755);
        EXPECT_EQ(boxes.boxes.size(), 3u);
    }
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), before);
    EXPECT_TRUE(dialog->Files().IsModified());
    EXPECT_EQ(dialog->Files().FileName(), File("kept.velmora"));
}

TEST_F(DesignCommands, LeavingAsksOnlyWhenThereAreUnsavedChanges)
{
    // Unmodified: New, Escape and Enter behave as they always did.
    dialog->Files().OnNew();
    EXPECT_TRUE(questions.empty());

    DrawThreePoints();
    answer = SaveChoice::Cancel;
    dialog->Files().OnNew();
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    dialog->close();
    EXPECT_EQ(questions, (std::vector<QString>{"Untitled", "Untitled", "Untitled"}));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(ProfilePoints().size(), 3u);

    // Save, with a file already named, writes it and goes on.
    ASSERT_TRUE(dialog->Files().SaveDesign(File("named.velmora")));
    ClickProfile(1, 8);
    answer = SaveChoice::Save;
    dialog->Files().OnNew();
    EXPECT_EQ(questions.back(), "named.velmora");
    EXPECT_TRUE(ProfilePoints().empty());
    const Result<Design> saved = OpenDesignFile(QFile::encodeName(File("named.velmora")).toStdString());
    ASSERT_TRUE(saved) << saved.Error();
    EXPECT_EQ(saved->profile.size(), 4u);

    // Discard drops the changes; Enter's OK then ends the dialog.
    ClickProfile(1, 8);
    answer = SaveChoice::Discard;
    const std::size_t asked = questions.size();
    QWidget* field = dialog->GetDlgItem(IDC_DEGREE);
    field->setFocus();
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(questions.size(), asked + 1);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
}

TEST_F(DesignCommands, ATextureThatCannotBeReadLeavesTheTextureAndTheHistoryAsTheyWere)
{
    QImage stripes(64, 64, QImage::Format_RGB888);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            stripes.setPixel(x, y, x / 8 % 2 ? qRgb(230, 200, 40) : qRgb(40, 90, 220));
    ASSERT_TRUE(stripes.save(File("stripes.jpg")));
    const auto write = [this](const char* name, const QByteArray& bytes) {
        QFile file(File(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return File(name);
    };
    DrawThreePoints();
    const QImage plain = GrabView(dialog->SurfaceView());
    dialog->Files().OpenTexture(File("stripes.jpg"));
    ASSERT_TRUE(boxes.boxes.empty());
    const QImage textured = GrabView(dialog->SurfaceView());
    ASSERT_GT(CountDifferentPixels(plain, textured), 1000);
    ASSERT_TRUE(dialog->Files().SaveDesign(File("textured.velmora")));
    const int steps = dialog->UndoStack().count();
    const std::string texture = dialog->Document().Value().texturePath;
    const unsigned int textureObject = dialog->SurfaceView().TextureName();

    // A .bmp keeps its reader's own boxes; any other picture is named, with what is wrong.
    const QString empty = write("empty.bmp", {});
    const struct {
        QString file;
        std::string text;
        bool bitmapBox;
    } failures[] = {
        {write("notreally.png", "no picture, only words"),
         "notreally.png: not a picture Qt can read (Unsupported image format)", false},
        {write("empty.png", {}), "empty.png: the file is empty or cannot be read", false},
        {write("words.bmp", "no bitmap, only words"), "Unknown DIB file format.", true},
        {empty, "Failed to open DIB file " + QFile::encodeName(empty).toStdString() + ".\n", true},
    };
    for (const auto& failure : failures) {
        SCOPED_TRACE(failure.file.toStdString());
        boxes.boxes.clear();
        dialog->Files().OpenTexture(failure.file);
        ASSERT_EQ(boxes.Texts(), std::vector<std::string>{failure.text});
        // The bitmap reader's fixed box, or the modeller's own.
        EXPECT_EQ(boxes.boxes[0].caption, failure.bitmapBox ? "Error" : "Velmora");
        EXPECT_EQ(boxes.boxes[0].icon, failure.bitmapBox ? MessageIcon::None : MessageIcon::Warning);
        EXPECT_EQ(dialog->SurfaceView().TextureName(), textureObject);
        EXPECT_EQ(CountDifferentPixels(GrabView(dialog->SurfaceView()), textured), 0);
        EXPECT_EQ(dialog->Document().Value().texturePath, texture);
        EXPECT_EQ(dialog->UndoStack().count(), steps);
        EXPECT_FALSE(dialog->Files().IsModified());
    }
    // The load before is still the step to undo.
    dialog->UndoStack().undo();
    EXPECT_EQ(CountDifferentPixels(GrabView(dialog->SurfaceView()), plain), 0);
    EXPECT_EQ(dialog->Document().Value().texturePath, "");
}

TEST_F(DesignCommands, APictureLargerThanOpenGLTakesIsShownScaledDownAndSaidOnce)
{
    CSurfaceView& view = dialog->SurfaceView();
    const int limit = MaxTextureSize(view);
    ASSERT_GT(limit, 0);
    ASSERT_LT(limit, 32768) << "this OpenGL takes every picture the readers do";
    QImage red(limit + 1, 4, QImage::Format_RGB888);
    red.fill(qRgb(220, 30, 30));
    ASSERT_TRUE(red.save(File("wide.png")));

    DrawThreePoints();
    const QImage plain = GrabView(view);
    dialog->Files().OpenTexture(File("wide.png"));
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{QStringLiteral("wide.png: %1 x 4 pixels is more than OpenGL "
                                                                     "takes here; the texture is scaled down to %2 x 4")
                                                          .arg(limit + 1)
                                                          .arg(limit)
                                                          .toStdString()});
    const QImage textured = GrabView(view);
    EXPECT_GT(CountDifferentPixels(plain, textured), 1000) << "the surface wears the picture";
    EXPECT_EQ(Action("actionUndo")->text(), "Undo Load Texture");
    // Said when loaded, not again when undone and redone.
    dialog->UndoStack().undo();
    dialog->UndoStack().redo();
    EXPECT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(CountDifferentPixels(GrabView(view), textured), 0);
}
