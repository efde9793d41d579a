#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include "E2eSupport.h"
#include "app/RecentFiles.h"

using namespace e2e;

// A user keeps a design: saves it, starts anew, opens it again from the
// recent list, and walks the history back and forth with the keyboard.
namespace {

class DesignStory : public DialogUser {
protected:
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
    {
        QApplication::setActiveWindow(dialog.get());
        QTest::keyClick(dialog.get(), static_cast<Qt::Key>(key), modifiers);
        Settle();
    }
    // The first key the named menu command answers to.
    void Shortcut(const char* action)
    {
        const QKeyCombination combination =
            dialog->findChild<QAction*>(QString::fromLatin1(action))->shortcut()[0];
        Key(combination.key(), combination.keyboardModifiers());
    }
};

} // namespace

TEST_F(DesignStory, SaveNewOpenRecentAndTheHistoryGiveTheSameSurface)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("vase.velmora"));

    DrawVase();
    Press(IDC_WIREFRAME);
    Press(IDC_SOLID);
    Settle();
    const QImage drawn = GrabView(Surface());
    ASSERT_GT(TakeCensus(drawn).surface, 800);

    ASSERT_EQ(ChooseFileThroughDialog(dialog.get(), [this] { Shortcut("actionSaveAs"); }, file), "");
    EXPECT_EQ(dialog->Files().FileName(), file);
    EXPECT_FALSE(dialog->isWindowModified());

    Shortcut("actionNew");
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(TakeCensus(GrabView(Surface())).surface, 0);
    EXPECT_TRUE(dialog->Profile().ControlPoints().empty());

    // File > Open Recent > the first entry, as the menus show them.
    QMenu* recent = dialog->findChild<QMenu*>(QStringLiteral("menuRecent"));
    ASSERT_NE(recent, nullptr);
    emit dialog->MenuBar()->actions().value(0)->menu()->aboutToShow();
    ASSERT_FALSE(recent->actions().isEmpty());
    EXPECT_EQ(recent->actions().first()->data().toString(), file);
    recent->actions().first()->trigger();
    Settle();
    EXPECT_EQ(dialog->Files().FileName(), file);
    EXPECT_EQ(CountDifferentPixels(GrabView(Surface()), drawn), 0);

    // Three steps back (two render modes and the last point), three forward.
    Press(IDC_WIREFRAME);
    Press(IDC_POINT);
    const QImage points = GrabView(Surface());
    ClickWorld(Profile(), 3, 8);
    Settle();
    const QImage edited = GrabView(Surface());
    EXPECT_GT(CountDifferentPixels(edited, points), 0);
    for (int i = 0; i < 3; ++i)
        Shortcut("actionUndo");
    EXPECT_EQ(CountDifferentPixels(GrabView(Surface()), drawn), 0);
    EXPECT_FALSE(dialog->isWindowModified()) << "back where it was saved";
    for (int i = 0; i < 3; ++i)
        Shortcut("actionRedo");
    EXPECT_EQ(CountDifferentPixels(GrabView(Surface()), edited), 0);
    EXPECT_TRUE(dialog->isWindowModified());
}

TEST_F(DesignStory, ATextureLoadIsUndoneAndUnsavedChangesAreAskedAbout)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString picture = dir.filePath(QStringLiteral("red.bmp"));
    ASSERT_TRUE(WriteBmp24(picture.toStdString(), 16, 16, [](int, int) { return qRgb(255, 40, 40); }));
    DrawVase();
    const QImage plain = GrabView(Surface());
    ASSERT_EQ(LoadTextureThroughDialog(Button(IDC_LOAD_TEXTURE), picture), "");
    const QImage textured = GrabView(Surface());
    EXPECT_GT(CountDifferentPixels(textured, plain), 800);
    Shortcut("actionUndo");
    EXPECT_EQ(CountDifferentPixels(GrabView(Surface()), plain), 0);
    EXPECT_EQ(dialog->Document().Value().texturePath, "");
    Shortcut("actionRedo");
    EXPECT_EQ(CountDifferentPixels(GrabView(Surface()), textured), 0);

    // The real question: Cancel keeps everything, Discard lets New go on.
    QString asked;
    const auto answerWith = [&](QMessageBox::StandardButton button) {
        QTimer::singleShot(0, dialog.get(), [&asked, button] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                asked = box->text();
                box->button(button)->click();
            }
        });
    };
    answerWith(QMessageBox::Cancel);
    Shortcut("actionNew");
    EXPECT_EQ(asked, "The design \"Untitled\" has unsaved changes.");
    EXPECT_EQ(dialog->Profile().ControlPoints().size(), VasePoints().size());
    asked.clear();
    answerWith(QMessageBox::Discard);
    Shortcut("actionNew");
    EXPECT_FALSE(asked.isEmpty());
    EXPECT_TRUE(dialog->Profile().ControlPoints().empty());
    EXPECT_EQ(dialog->Document().Value().texturePath, "");
    EXPECT_FALSE(dialog->isWindowModified());
}

TEST_F(DesignStory, ADroppedDesignOpensOnceTheUnsavedChangesAreSeenTo)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("kept.velmora"));
    DrawVase();
    ASSERT_TRUE(dialog->Files().SaveDesign(file));
    const std::vector<CVector3> kept = dialog->Profile().ControlPoints();
    Shortcut("actionNew");
    ClickWorld(Profile(), 5, 5);
    Settle();

    std::vector<QString> asked;
    SaveChoice answer = SaveChoice::Cancel;
    dialog->Files().SetSaveQuestion([&](const QString& name) {
        asked.push_back(name);
        return answer;
    });
    const QPoint overProfile = Profile().mapToGlobal(QPoint(Profile().width() / 2, Profile().height() / 2));
    // Cancel keeps the unsaved point; Discard lets the design in.
    EXPECT_EQ(DragFileWithThePointer(file, overProfile), Qt::CopyAction);
    ASSERT_TRUE(WaitFor([&] { return asked.size() == 1; }));
    Settle();
    EXPECT_EQ(dialog->Profile().ControlPoints().size(), 1u);
    EXPECT_TRUE(dialog->Files().FileName().isEmpty());
    answer = SaveChoice::Discard;
    EXPECT_EQ(DragFileWithThePointer(file, overProfile), Qt::CopyAction);
    ASSERT_TRUE(WaitFor([&] { return dialog->Files().FileName() == file; }));
    EXPECT_EQ(asked.size(), 2u);
    EXPECT_EQ(dialog->Profile().ControlPoints().size(), kept.size());
    EXPECT_FALSE(dialog->isWindowModified());
}
