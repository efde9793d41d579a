#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstring>
#include <memory>

#include "app/MainDlg.h"
#include "core/design/DesignFile.h"
#include "GuiTestSupport.h"

// The View menu and the wheel on the real dialog: they move the 3D view's
// camera and nothing else, so they are no undo steps and no unsaved changes.
namespace {

// A vase about the origin, `scale` units to a side.
Design Vase(double scale)
{
    Design design;
    for (const auto& [x, y] : {std::pair{0.5, -0.6}, {0.8, -0.2}, {0.3, 0.3}, {0.5, 0.6}})
        design.profile.push_back({x * scale, y * scale, 0});
    design.path = {{0, -0.6 * scale, 0}, {0, 0.6 * scale, 0}};
    return design;
}

// Everything the 3D view shows that is neither its white ground nor an axis.
QRect SurfaceBox(const QImage& image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (!ColourNear(p, 255, 255, 255, 3) && !ColourNear(p, 255, 0, 0, 3) &&
                !ColourNear(p, 0, 255, 0, 3) && !ColourNear(p, 0, 0, 255, 3))
                box |= QRect(x, y, 1, 1);
        }
    return box;
}

class ViewCommands : public testing::Test {
protected:
    void SetUp() override
    {
        dialog = std::make_unique<CMainDlg>();
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get(), kHangGuardMs));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Surface(), kHangGuardMs));
        QApplication::setActiveWindow(dialog.get());
        ProcessEvents();
    }
    void TearDown() override { dialog.reset(); }

    CSurfaceView& Surface() { return dialog->SurfaceView(); }
    // Opens `design` from a file, as a user does: no history, nothing unsaved.
    void Open(const Design& design)
    {
        const std::string path = folder.filePath(QStringLiteral("vase.velmora")).toStdString();
        ASSERT_TRUE(SaveDesignFile(path, design));
        ASSERT_TRUE(dialog->Files().OpenDesignAt(path));
        ExpectNothingToSaveOrUndo();
    }
    void ExpectNothingToSaveOrUndo()
    {
        ProcessEvents();
        EXPECT_EQ(dialog->UndoStack().count(), 0);
        EXPECT_FALSE(dialog->isWindowModified());
        EXPECT_EQ(dialog->windowTitle(), "vase.velmora[*] - Velmora");
    }
    void Trigger(const char* action)
    {
        QAction* found = dialog->findChild<QAction*>(QString::fromLatin1(action));
        ASSERT_NE(found, nullptr) << action;
        found->trigger();
    }
    // A left drag that turns the view and a right drag that zooms it.
    void TurnAndZoom()
    {
        const QPoint c(Surface().width() / 2, Surface().height() / 2);
        QTest::mousePress(&Surface(), Qt::LeftButton, {}, c);
        QTest::mouseMove(&Surface(), c + QPoint(40, -25));
        QTest::mouseRelease(&Surface(), Qt::LeftButton, {}, c + QPoint(40, -25));
        QTest::mousePress(&Surface(), Qt::RightButton, {}, c);
        QTest::mouseMove(&Surface(), c + QPoint(30, 0));
        QTest::mouseRelease(&Surface(), Qt::RightButton, {}, c + QPoint(30, 0));
    }

    RecordingMessageBoxes boxes;
    QTemporaryDir folder;
    std::unique_ptr<CMainDlg> dialog;
};

} // namespace

TEST_F(ViewCommands, HomeAfterTurningZoomingAndTheWheelGivesTheStartPicture)
{
    Open(Vase(10.0));
    const QImage start = GrabView(Surface());
    ASSERT_FALSE(SurfaceBox(start).isEmpty());

    TurnAndZoom();
    TurnWheel(Surface(), QPoint(20, 20), QPoint(0, 360));
    TurnWheel(Surface(), QPoint(20, 20), QPoint(0, 45));
    EXPECT_GT(CountUnequalPixels(GrabView(Surface()), start), 1000);
    ExpectNothingToSaveOrUndo();

    // Home, pressed where the keyboard is (the dialog's first button).
    QWidget* focused = QApplication::focusWidget();
    ASSERT_NE(focused, nullptr);
    QTest::keyClick(focused, Qt::Key_Home);
    EXPECT_EQ(CountUnequalPixels(GrabView(Surface()), start), 0);
    ExpectNothingToSaveOrUndo();
    // The wheel's unfinished notch began before the reset: a whole notch
    // now zooms from the start.
    TurnWheel(Surface(), QPoint(20, 20), QPoint(0, 120));
    EXPECT_FLOAT_EQ(Surface().Trackball().Distance(), 20.0f * 0.88f);
}

TEST_F(ViewCommands, FrameSurfaceFitsSmallAndLargeSurfacesWithAMarginAndKeepsTheTurn)
{
    for (double scale : {2.5, 80.0}) {
        Open(Vase(scale));
        TurnAndZoom();
        float turned[16];
        std::memcpy(turned, Surface().Trackball().Matrix(), sizeof turned);
        const QRect before = SurfaceBox(GrabView(Surface()));

        Trigger("actionFrameSurface");
        const QImage framed = GrabView(Surface());
        const QRect box = SurfaceBox(framed);
        // Inside with a margin on every side, and filling most of the view.
        const int side = std::min(framed.width(), framed.height());
        const int margin = side / 50;
        EXPECT_TRUE(framed.rect().adjusted(margin, margin, -margin, -margin).contains(box))
            << "scale " << scale << ": " << box.x() << "," << box.y() << " " << box.width() << "x"
            << box.height() << " in " << framed.width() << "x" << framed.height();
        EXPECT_GE(std::max(box.width(), box.height()), side * 3 / 4) << "scale " << scale;
        EXPECT_NE(box, before) << "scale " << scale;
        EXPECT_EQ(std::memcmp(turned, Surface().Trackball().Matrix(), sizeof turned), 0);
        ExpectNothingToSaveOrUndo();
    }
}
