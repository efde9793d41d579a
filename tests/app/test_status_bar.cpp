#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <cmath>
#include <memory>

#include "app/DialogTemplate.h"
#include "app/DialogText.h"
#include "app/MainDlg.h"
#include "app/StatusBar.h"
#include "app/Translations.h"
#include "core/CurveSquare.h"
#include "GuiTestSupport.h"

namespace {

class StatusBarTest : public testing::Test {
protected:
    void SetUp() override
    {
        dialog = std::make_unique<CMainDlg>();
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get(), kHangGuardMs));
        ProcessEvents();
        bar = dialog->findChild<QStatusBar*>(QStringLiteral("statusBar"));
        ASSERT_NE(bar, nullptr);
    }
    void TearDown() override { dialog.reset(); }

    // The bar's texts, left to right: modes, pointer, snap.
    QString Text(int part) const { return bar->findChildren<QLabel*>().at(part)->text(); }
    QString Modes() const { return Text(0); }
    QString Pointer() const { return Text(1); }
    QString Snap() const { return Text(2); }
    void Click(int id) { QTest::mouseClick(qobject_cast<QPushButton*>(dialog->GetDlgItem(id)), Qt::LeftButton); }
    static CVector3 WorldAt(const CGLView& view, QPoint p)
    {
        return curve_square::WindowToWorld(p.x(), p.y(), view.Client().right, view.Client().bottom);
    }
    static QString Shown(const CVector3& world)
    {
        return QString::fromStdString(FormatWorldPoint(world.x, world.y));
    }

    RecordingMessageBoxes boxes;
    std::unique_ptr<CMainDlg> dialog;
    QStatusBar* bar = nullptr;
};

} // namespace

TEST_F(StatusBarTest, SitsBelowTheControlsInTheDialogsFont)
{
    const DialogBaseUnits base = dialog->BaseUnits();
    const int menu = dialog->MenuBar()->height();
    const PixelRect client = MapDialogRect(0, 0, kDialogWidthDlu, kDialogHeightDlu, base);
    const PixelRect below = MapDialogRect(0, kDialogHeightDlu, kDialogWidthDlu, kStatusBarHeightDlu, base);
    EXPECT_EQ(bar->geometry(), QRect(0, menu + client.height, client.width, below.height));
    EXPECT_GE(below.height, bar->sizeHint().height()) << "tall enough for its text";
    EXPECT_EQ(dialog->size(), QSize(client.width, menu + client.height + below.height));
    // The controls above keep their places: MainDialog's layout test.
    EXPECT_EQ(bar->font(), dialog->font());
}

TEST_F(StatusBarTest, ShowsEachEditorsModeAndPointCountThroughEditsAndUndo)
{
    EXPECT_EQ(Modes(), "Profile: Add, 0 points | Path: Add, 2 points");
    CCurveView& profile = dialog->ProfileView();
    QTest::mouseClick(&profile, Qt::LeftButton, {}, WorldToWindow(profile, 2, 3));
    EXPECT_EQ(Modes(), "Profile: Add, 1 point | Path: Add, 2 points");
    Click(IDC_SELECT_CP1);
    Click(IDC_DELETE_CP3);
    EXPECT_EQ(Modes(), "Profile: Select, 1 point | Path: Add, 1 point");
    Click(IDC_SELECT_CP3);
    EXPECT_EQ(Modes(), "Profile: Select, 1 point | Path: Select, 1 point");
    dialog->UndoStack().undo();
    EXPECT_EQ(Modes(), "Profile: Select, 1 point | Path: Select, 2 points");
    dialog->UndoStack().undo();
    EXPECT_EQ(Modes(), "Profile: Select, 0 points | Path: Select, 2 points");
    dialog->UndoStack().redo();
    Click(IDC_ADD_CP3);
    EXPECT_EQ(Modes(), "Profile: Select, 1 point | Path: Add, 2 points");
}

TEST_F(StatusBarTest, ShowsWhereThePointerIsAndWhatAClickDoesThere)
{
    EXPECT_EQ(Pointer(), "");
    CCurveView& profile = dialog->ProfileView();
    const QPoint p(100, 70);
    QTest::mouseMove(&profile, p);
    EXPECT_EQ(Pointer(), Shown(WorldAt(profile, p)) + "   Click to add a point after the selected one");
    Click(IDC_SELECT_CP1);
    EXPECT_TRUE(Pointer().endsWith("Click to pick a point; drag to move it")) << Pointer().toStdString();
    // The path keeps its own mode; moving over it shows its point.
    CCurveView& path = dialog->PathView();
    const QPoint q(30, 200);
    QTest::mouseMove(&path, q);
    EXPECT_EQ(Pointer(), Shown(WorldAt(path, q)) + "   Click to add a point after the selected one");
    EXPECT_TRUE(Pointer().startsWith("(-")) << "a point left of the axis";
    // The surface has no world point to show, only what a drag does.
    QTest::mouseMove(&dialog->SurfaceView(), QPoint(50, 50));
    EXPECT_EQ(Pointer(), "Drag to turn the surface; drag with the right button to zoom");
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&dialog->SurfaceView(), &leave);
    EXPECT_EQ(Pointer(), "");
}

TEST_F(StatusBarTest, TellsTheSnapWhileCtrlIsHeld)
{
    // Sent one by one (QTest would press and release the modifiers of its
    // own), first each carrying the keys held before it, as X reports them.
    QWidget* focus = dialog->GetDlgItem(IDC_ADD_CP1);
    const auto send = [focus](QEvent::Type type, Qt::Key key, Qt::KeyboardModifiers before) {
        QKeyEvent event(type, key, before);
        QApplication::sendEvent(focus, &event);
    };
    EXPECT_EQ(Snap(), "");
    send(QEvent::KeyPress, Qt::Key_Shift, {});
    EXPECT_EQ(Snap(), "") << "Shift alone does not snap";
    send(QEvent::KeyPress, Qt::Key_Control, Qt::ShiftModifier);
    EXPECT_EQ(Snap(), "Snapping to tenths");
    send(QEvent::KeyRelease, Qt::Key_Shift, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Snap(), "Snapping to whole units");
    send(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(Snap(), "Snapping to whole units");
    send(QEvent::KeyRelease, Qt::Key_Control, Qt::ControlModifier);
    EXPECT_EQ(Snap(), "");
    // Events that carry the keys held after them say the same.
    send(QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier);
    EXPECT_EQ(Snap(), "Snapping to whole units");
    send(QEvent::KeyPress, Qt::Key_Shift, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Snap(), "Snapping to tenths");
    send(QEvent::KeyRelease, Qt::Key_Shift, Qt::ControlModifier);
    send(QEvent::KeyRelease, Qt::Key_Control, {});
    EXPECT_EQ(Snap(), "");
    // Over a view a move tells the keys too: the views never take the keyboard.
    QTest::mouseEvent(QTest::MouseMove, &dialog->PathView(), Qt::NoButton, Qt::ControlModifier, QPoint(40, 40));
    EXPECT_EQ(Snap(), "Snapping to whole units");
    QTest::mouseEvent(QTest::MouseMove, &dialog->PathView(), Qt::NoButton, {}, QPoint(41, 40));
    EXPECT_EQ(Snap(), "");
}

TEST_F(StatusBarTest, ACtrlShiftDragInThePathLandsOnTenthsAndUndoesExactly)
{
    Click(IDC_SELECT_CP3);
    CCurveView& path = dialog->PathView();
    const QPoint to(37, 151);
    const CVector3 raw = WorldAt(path, to);
    ASSERT_LT(raw.x, 0.0) << "left of the axis, which the path allows";
    QTest::mousePress(&path, Qt::LeftButton, Qt::ControlModifier | Qt::ShiftModifier, WorldToWindow(path, 0, 5));
    QTest::mouseEvent(QTest::MouseMove, &path, Qt::NoButton, Qt::ControlModifier | Qt::ShiftModifier, to);
    QTest::mouseRelease(&path, Qt::LeftButton, Qt::ControlModifier | Qt::ShiftModifier, to);
    const CVector3 moved = dialog->Path().ControlPoints().at(1);
    EXPECT_EQ(moved.x, std::lround(raw.x * 10) / 10.0);
    EXPECT_EQ(moved.y, std::lround(raw.y * 10) / 10.0);
    EXPECT_EQ(Pointer(), Shown(raw) + "   Click to pick a point; drag to move it") << "the pointer, not the point";
    dialog->UndoStack().undo();
    EXPECT_EQ(dialog->Path().ControlPoints().at(1).y, 5.0);
    dialog->UndoStack().redo();
    EXPECT_EQ(dialog->Path().ControlPoints().at(1).x, moved.x);
}

TEST(StatusBarKorean, SpeaksKoreanUnderAKoreanLocale)
{
    ASSERT_TRUE(InstallTranslations(QLocale(QLocale::Korean, QLocale::SouthKorea)));
    {
        CMainDlg dialog;
        const QList<QLabel*> labels = dialog.findChild<QStatusBar*>(QStringLiteral("statusBar"))->findChildren<QLabel*>();
        EXPECT_EQ(labels.at(0)->text(), "단면: 추가, 점 0개 | 경로: 추가, 점 2개");
        QKeyEvent control(QEvent::KeyPress, Qt::Key_Control, {});
        QApplication::sendEvent(&dialog, &control);
        EXPECT_EQ(labels.at(2)->text(), "정수 눈금에 맞춤");
    }
    InstallTranslations(QLocale());
}
