#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstring>
#include <functional>
#include <memory>

#include "app/DialogTemplate.h"
#include "app/DialogText.h"
#include "app/MainDlg.h"
#include "app/PointCoordinatesDialog.h"
#include "GuiTestSupport.h"

// The Delete key, the coordinates box and the editor they work on, on the
// real dialog.
namespace {

bool SameBits(const std::vector<CVector3>& a, const std::vector<CVector3>& b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(CVector3)) == 0;
}

class PointCommandsTest : public testing::Test {
protected:
    void SetUp() override
    {
        dialog = std::make_unique<CMainDlg>();
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get(), kHangGuardMs));
        QApplication::setActiveWindow(dialog.get());
        ProcessEvents();
    }
    void TearDown() override { dialog.reset(); }

    QPushButton* Button(int id) { return qobject_cast<QPushButton*>(dialog->GetDlgItem(id)); }
    QAction* Action(const char* name) { return dialog->findChild<QAction*>(QString::fromLatin1(name)); }
    void ClickView(CCurveView& view, double x, double y)
    {
        QTest::mouseClick(&view, Qt::LeftButton, {}, WorldToWindow(view, x, y));
    }
    // Runs `use` on the coordinates box that `open` brings up, closing it
    // with Cancel if `use` left it open; false when no box came up.
    bool WithBox(const std::function<void()>& open, const std::function<void(PointCoordinatesDialog&)>& use)
    {
        bool seen = false;
        QObject scope;  // no box: the timer goes with it
        QTimer::singleShot(0, &scope, [&] {
            if (auto* box = qobject_cast<PointCoordinatesDialog*>(QApplication::activeModalWidget())) {
                seen = true;
                use(*box);
                if (box->isVisible())
                    box->reject();
            }
        });
        open();
        ProcessEvents();
        return seen;
    }
    static void Ok(PointCoordinatesDialog& box)
    {
        QTest::mouseClick(box.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    }
    static void Type(QLineEdit* field, const QString& text)
    {
        field->clear();
        QTest::keyClicks(field, text);
    }
    // Three profile points, the middle one selected and one off the
    // six-decimal grid; the path as it starts.
    void DrawProfile()
    {
        dialog->Profile().Assign({{1, -6, 0}, {1.23456789, 0.5, 0}, {3, 6, 0}}, 1);
        dialog->UndoStack().clear();
    }

    RecordingMessageBoxes boxes;
    std::unique_ptr<CMainDlg> dialog;
};

} // namespace

TEST_F(PointCommandsTest, TypedCoordinatesMoveThePointExactlyAsOneStep)
{
    DrawProfile();
    const std::vector<CVector3> before = dialog->Profile().ControlPoints();
    ASSERT_TRUE(WithBox([&] { Action("actionPointCoordinates")->trigger(); }, [&](PointCoordinatesDialog& box) {
        EXPECT_EQ(box.windowTitle(), "Point Coordinates");
        EXPECT_EQ(box.XField()->text(), "1.234568") << "the read-out's digits";
        EXPECT_EQ(box.YField()->text(), "0.500000");
        EXPECT_TRUE(box.findChild<QLabel*>()->text().contains("P1"));
        Type(box.XField(), " 0.1");
        Type(box.YField(), "-7.25e-1");
        Ok(box);
        EXPECT_FALSE(box.isVisible());
    }));
    const CVector3 moved = dialog->Profile().ControlPoints()[1];
    EXPECT_EQ(moved.x, 0.1);
    EXPECT_EQ(moved.y, -0.725);
    EXPECT_EQ(dialog->UndoStack().count(), 1);
    EXPECT_EQ(Action("actionUndo")->text(), "Undo Point Coordinates");
    EXPECT_TRUE(boxes.boxes.empty());
    dialog->UndoStack().undo();
    EXPECT_TRUE(SameBits(dialog->Profile().ControlPoints(), before));
    EXPECT_EQ(dialog->Profile().Selected(), 1);
    dialog->UndoStack().redo();
    EXPECT_EQ(dialog->Profile().ControlPoints()[1].x, 0.1);

    // OK on the fields as shown keeps every bit, and is no step.
    dialog->UndoStack().undo();
    EXPECT_TRUE(WithBox([&] { Action("actionPointCoordinates")->trigger(); }, Ok));
    EXPECT_TRUE(SameBits(dialog->Profile().ControlPoints(), before));
    EXPECT_TRUE(dialog->UndoStack().canRedo());
}

TEST_F(PointCommandsTest, ANegativeXOrTextThatIsNoNumberIsRefusedAndTheBoxStaysOpen)
{
    DrawProfile();
    const std::vector<CVector3> before = dialog->Profile().ControlPoints();
    ASSERT_TRUE(WithBox([&] { Action("actionPointCoordinates")->trigger(); }, [&](PointCoordinatesDialog& box) {
        // The profile's rule, in the words and box of a click left of the axis.
        Type(box.XField(), "-0.5");
        Ok(box);
        ASSERT_EQ(boxes.Texts(), std::vector<std::string>{"X > 0이어야 합니다."});
        EXPECT_EQ(boxes.boxes[0].caption, QCoreApplication::applicationName().toStdString());
        EXPECT_TRUE(box.isVisible());
        EXPECT_EQ(box.focusWidget(), box.XField());
        EXPECT_EQ(box.XField()->selectedText(), "-0.5");
        // Not a number, or beyond the bound: the field to correct is selected.
        const struct {
            QLineEdit* field;
            QString text;
        } refused[] = {{box.YField(), "abc"}, {box.XField(), "1e300"}, {box.YField(), "nan"}, {box.XField(), ""}};
        for (const auto& [field, text] : refused) {
            boxes.boxes.clear();
            Type(box.XField(), "2");
            Type(box.YField(), "3");
            Type(field, text);
            Ok(box);
            ASSERT_EQ(boxes.Texts(), std::vector<std::string>{"Enter a number from -100 to 100."}) << text.toStdString();
            EXPECT_EQ(boxes.boxes[0].caption, "Velmora");
            EXPECT_EQ(boxes.boxes[0].icon, MessageIcon::Warning);
            EXPECT_TRUE(box.isVisible());
            EXPECT_EQ(box.focusWidget(), field);
            EXPECT_EQ(field->selectedText(), text);
            EXPECT_EQ(field->text(), text);
        }
    }));
    EXPECT_TRUE(SameBits(dialog->Profile().ControlPoints(), before));
    EXPECT_EQ(dialog->UndoStack().count(), 0);
}

TEST_F(PointCommandsTest, ADoubleClickOnAPointInSelectModeTypesThatEditorsPoint)
{
    DrawProfile();
    CCurveView& path = dialog->PathView();
    // Add mode: the first press adds a point, the second opens nothing.
    EXPECT_FALSE(WithBox([&] { QTest::mouseDClick(&path, Qt::LeftButton, {}, WorldToWindow(path, 4, 0)); },
                         [](PointCoordinatesDialog&) {}));
    ASSERT_EQ(dialog->Path().ControlPoints().size(), 3u);
    QTest::mouseClick(Button(IDC_SELECT_CP3), Qt::LeftButton);
    EXPECT_FALSE(WithBox([&] { QTest::mouseDClick(&path, Qt::LeftButton, {}, WorldToWindow(path, -6, -6)); },
                         [](PointCoordinatesDialog&) {}))
        << "no point there";
    EXPECT_TRUE(WithBox([&] { QTest::mouseDClick(&path, Qt::LeftButton, {}, WorldToWindow(path, 0, 5)); },
                        [&](PointCoordinatesDialog& box) {
                            EXPECT_TRUE(box.findChild<QLabel*>()->text().startsWith("Path"));
                            Type(box.XField(), "-2.5");
                            Ok(box);
                        }));
    EXPECT_EQ(dialog->Path().Selected(), 2);
    EXPECT_EQ(dialog->Path().ControlPoints()[2].x, -2.5);
    EXPECT_EQ(&dialog->Points().LastUsed(), &dialog->Path());
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(PointCommandsTest, DeleteRemovesThePointOfTheEditorUsedLastButNotWhileTyping)
{
    DrawProfile();
    const auto deleteKey = [] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete); };
    ASSERT_EQ(QApplication::focusWidget(), Button(IDC_ADD_CP1));
    // The profile until the path is used.
    deleteKey();
    EXPECT_EQ(dialog->Profile().ControlPoints().size(), 2u);
    EXPECT_EQ(dialog->Path().ControlPoints().size(), 2u);
    EXPECT_EQ(Action("actionUndo")->text(), "Undo Delete Point");
    EXPECT_EQ(dialog->UndoStack().count(), 1);

    ClickView(dialog->PathView(), 4, 1);  // a press in the path adds its third point
    deleteKey();
    EXPECT_EQ(dialog->Path().ControlPoints().size(), 2u);
    EXPECT_EQ(dialog->Profile().ControlPoints().size(), 2u);
    // A profile button makes the profile the one again.
    QTest::mouseClick(Button(IDC_SELECT_CP1), Qt::LeftButton);
    deleteKey();
    EXPECT_EQ(dialog->Profile().ControlPoints().size(), 1u);
    EXPECT_EQ(dialog->UndoStack().count(), 4);

    // In the degree field, Delete edits the text.
    auto* degree = qobject_cast<QLineEdit*>(dialog->GetDlgItem(IDC_DEGREE));
    degree->setFocus();
    degree->setText("12");
    degree->setCursorPosition(0);
    deleteKey();
    EXPECT_EQ(degree->text(), "2");
    EXPECT_EQ(dialog->Profile().ControlPoints().size(), 1u);
    EXPECT_EQ(dialog->UndoStack().count(), 4);
}

TEST_F(PointCommandsTest, WithoutASelectedPointThereAreNoCoordinatesToType)
{
    QMenu* edit = dialog->MenuBar()->actions().value(1)->menu();
    ASSERT_NE(edit, nullptr);
    QAction* coordinates = Action("actionPointCoordinates");
    ASSERT_TRUE(edit->actions().contains(coordinates));
    emit edit->aboutToShow();
    EXPECT_FALSE(coordinates->isEnabled()) << "the empty profile";
    EXPECT_FALSE(WithBox([&] { dialog->Points().EditCoordinates(dialog->Profile()); },
                         [](PointCoordinatesDialog&) {}));
    DrawProfile();
    emit edit->aboutToShow();
    EXPECT_TRUE(coordinates->isEnabled());
}
