#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <QToolTip>
#include <memory>

#include "app/DialogTemplate.h"
#include "app/DialogText.h"
#include "app/MainDlg.h"
#include "app/StatusBar.h"
#include "GuiTestSupport.h"

namespace {

class MainDialog : public testing::Test {
protected:
    void SetUp() override
    {
        dialog = std::make_unique<CMainDlg>();
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get(), kHangGuardMs));
        ProcessEvents();
    }
    void TearDown() override { dialog.reset(); }

    QPushButton* Button(int id) { return qobject_cast<QPushButton*>(dialog->GetDlgItem(id)); }
    QLineEdit* DegreeField() { return qobject_cast<QLineEdit*>(dialog->GetDlgItem(IDC_DEGREE)); }
    QString ReadOut() { return qobject_cast<QLabel*>(dialog->GetDlgItem(IDC_STATUS))->text(); }
    // Lets the dialog repaint after the last change.
    void Repaint()
    {
        dialog->repaint();
        ProcessEvents();
    }
    void ResetWith(const QString& text)
    {
        ProcessEvents();  // the repaint after the last change, before typing
        DegreeField()->setText(text);
        QTest::mouseClick(Button(IDC_RESET), Qt::LeftButton);
    }
    std::vector<double> PathYs()
    {
        std::vector<double> ys;
        for (const CVector3& p : dialog->Path().ControlPoints())
            ys.push_back(p.y);
        return ys;
    }
    void ClickView(CGLView& view, double worldX, double worldY)
    {
        QTest::mouseClick(&view, Qt::LeftButton, {}, WorldToWindow(view, worldX, worldY));
        ProcessEvents();
    }

    RecordingMessageBoxes boxes;
    std::unique_ptr<CMainDlg> dialog;
};

} // namespace

TEST_F(MainDialog, LayoutFollowsTheTemplateInDialogUnitsOfTheKoreanFont)
{
    EXPECT_EQ(dialog->windowTitle(), "Untitled[*] - Velmora");
    EXPECT_FALSE(dialog->isWindowModified());
    const QFontInfo font(dialog->font());
    EXPECT_EQ(font.family(), "Baekmuk Gulim");
    const DialogBaseUnits base = dialog->BaseUnits();
    EXPECT_GE(base.x, 5);
    EXPECT_GE(base.y, 10);
    // The menu bar sits above the controls, which keep their layout below it;
    // the status bar below them.
    const QRect menu = dialog->MenuBar()->geometry();
    EXPECT_EQ(menu.topLeft(), QPoint(0, 0));
    EXPECT_GT(menu.height(), 10);
    const PixelRect client = MapDialogRect(0, 0, kDialogWidthDlu, kDialogHeightDlu + kStatusBarHeightDlu, base);
    EXPECT_EQ(dialog->size(), QSize(client.width, client.height + menu.height()));
    EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize());
    EXPECT_FALSE(dialog->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(dialog->windowFlags() & Qt::WindowMaximizeButtonHint);
    for (const ControlTemplate& control : kMainDialogControls) {
        if (control.id == IDC_STATIC)
            continue;
        QWidget* widget = dialog->GetDlgItem(control.id);
        ASSERT_NE(widget, nullptr) << control.id;
        const PixelRect r = MapDialogRect(control.x, control.y, control.width, control.height, base);
        EXPECT_EQ(QRect(widget->mapTo(dialog.get(), QPoint(0, 0)), widget->size()),
                  QRect(r.x, r.y + menu.height(), r.width, r.height))
            << control.id;
        if (control.kind == ControlKind::PushButton) {
            EXPECT_EQ(qobject_cast<QPushButton*>(widget)->text(), QString::fromUtf8(control.text));
        }
    }
    EXPECT_TRUE(DegreeField()->alignment() & Qt::AlignRight);
    EXPECT_EQ(dialog->GetDlgItem(IDC_VIEWPORT1)->focusPolicy(), Qt::NoFocus);
}

TEST_F(MainDialog, FocusStartsOnTheLeftAddButtonAndTabFollowsTheTemplate)
{
    QApplication::setActiveWindow(dialog.get());
    ProcessEvents();
    EXPECT_EQ(QApplication::focusWidget(), Button(IDC_ADD_CP1));
    const int order[] = {IDC_DELETE_CP1, IDC_DEGREE,      IDC_RESET, IDC_SELECT_CP3,
                         IDC_ADD_CP3,    IDC_DELETE_CP3,  IDC_LOAD_TEXTURE, IDC_SOLID,
                         IDC_WIREFRAME,  IDC_POINT,       IDC_SELECT_CP1, IDC_ADD_CP1};
    for (int id : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), dialog->GetDlgItem(id)) << id;
    }
}

TEST_F(MainDialog, StartsWithAnEmptyProfileAndAStraightPath)
{
    EXPECT_TRUE(dialog->Profile().ControlPoints().empty());
    EXPECT_TRUE(dialog->Profile().KeepsNonNegativeX());
    EXPECT_FALSE(dialog->Path().KeepsNonNegativeX());
    EXPECT_EQ(PathYs(), (std::vector<double>{-5, 5}));
    EXPECT_EQ(dialog->Path().Selected(), 0);
    EXPECT_EQ(ReadOut(), "Selected CP :");
    EXPECT_EQ(DegreeField()->text(), "1");
    EXPECT_EQ(dialog->SurfaceView().GetRenderMode(), RenderMode::Solid);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(MainDialog, ResetAppliesTheDegreeRules)
{
    ResetWith("3");
    EXPECT_EQ(dialog->Path().ControlPoints().size(), 4u);
    EXPECT_TRUE(boxes.boxes.empty());

    ResetWith("0");
    ASSERT_EQ(boxes.Texts(), std::vector<std::string>{"1보다 큰 값을 입력하세요."});
    EXPECT_EQ(boxes.boxes[0].caption, QCoreApplication::applicationName().toStdString());
    EXPECT_EQ(boxes.boxes[0].icon, MessageIcon::Warning);
    EXPECT_EQ(PathYs(), (std::vector<double>{-5, 5}));
    Repaint();
    EXPECT_EQ(DegreeField()->text(), "1");

    boxes.boxes.clear();
    ResetWith("+4 ");
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(PathYs(), (std::vector<double>{-5, -2.5, 0, 2.5, 5}));

    // Refused text: the message, then a reset with the previous degree; the
    // field keeps the focus and shows the degree in use again.
    for (const char* text : {"-3", "abc"}) {
        boxes.boxes.clear();
        dialog->Path().Assign({{0, -5, 0}}, 0);
        ResetWith(text);
        EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"양의 정수를 입력하십시오."}) << text;
        EXPECT_EQ(dialog->Path().ControlPoints().size(), 5u) << text;
        EXPECT_EQ(dialog->focusWidget(), DegreeField());
        EXPECT_EQ(DegreeField()->text(), "4");
    }

    boxes.boxes.clear();
    ResetWith("101");
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"100 이하의 값을 입력하세요."});
    EXPECT_EQ(dialog->Path().ControlPoints().size(), 101u);
    Repaint();
    EXPECT_EQ(DegreeField()->text(), "100");
}

TEST_F(MainDialog, ReadOutFollowsTheProfileSelection)
{
    ClickView(dialog->ProfileView(), 1.5, -2);
    Repaint();
    const CVector3& p = dialog->Profile().ControlPoints().at(0);
    EXPECT_EQ(ReadOut(), QString::asprintf("Selected CP : P0 (%f, %f)", p.x, p.y));
    EXPECT_NEAR(p.x, 1.5, 0.1);
    EXPECT_NEAR(p.y, -2, 0.1);
    // A selection in the path editor does not change it.
    QTest::mouseClick(Button(IDC_SELECT_CP3), Qt::LeftButton);
    ClickView(dialog->PathView(), 0, 5);
    Repaint();
    EXPECT_EQ(dialog->Path().Selected(), 1);
    EXPECT_TRUE(ReadOut().startsWith("Selected CP : P0 ("));
}

TEST_F(MainDialog, EditorButtonsDriveTheirOwnEditor)
{
    ClickView(dialog->ProfileView(), -1, 0);
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"X > 0이어야 합니다."});
    EXPECT_TRUE(dialog->Profile().ControlPoints().empty());
    ClickView(dialog->ProfileView(), 2, -4);
    ClickView(dialog->ProfileView(), 4, 4);
    QTest::mouseClick(Button(IDC_SELECT_CP1), Qt::LeftButton);
    EXPECT_EQ(dialog->Profile().Mode(), EditMode::Select);
    EXPECT_EQ(dialog->Path().Mode(), EditMode::Add);
    // Pick point 0 and drag it with the real pointer.
    CCurveView& profile = dialog->ProfileView();
    QTest::mousePress(&profile, Qt::LeftButton, {}, WorldToWindow(profile, 2, -4));
    QTest::mouseMove(&profile, WorldToWindow(profile, 6, -1));
    QTest::mouseRelease(&profile, Qt::LeftButton, {}, WorldToWindow(profile, 6, -1));
    EXPECT_EQ(profile.Document().Selected(), 0);
    EXPECT_NEAR(profile.Document().ControlPoints()[0].x, 6, 0.1);
    EXPECT_NEAR(profile.Document().ControlPoints()[0].y, -1, 0.1);
    QTest::mouseClick(Button(IDC_DELETE_CP1), Qt::LeftButton);
    EXPECT_EQ(profile.Document().ControlPoints().size(), 1u);
    QTest::mouseClick(Button(IDC_DELETE_CP3), Qt::LeftButton);
    EXPECT_EQ(dialog->Path().ControlPoints().size(), 1u);
    QTest::mouseClick(Button(IDC_ADD_CP1), Qt::LeftButton);
    EXPECT_EQ(profile.Document().Mode(), EditMode::Add);
}

TEST_F(MainDialog, RenderModeButtonsStoreThePolygonMode)
{
    QTest::mouseClick(Button(IDC_WIREFRAME), Qt::LeftButton);
    EXPECT_EQ(dialog->SurfaceView().GetRenderMode(), RenderMode::Wireframe);
    QTest::mouseClick(Button(IDC_POINT), Qt::LeftButton);
    EXPECT_EQ(dialog->SurfaceView().GetRenderMode(), RenderMode::Point);
    QTest::mouseClick(Button(IDC_SOLID), Qt::LeftButton);
    EXPECT_EQ(dialog->SurfaceView().GetRenderMode(), RenderMode::Solid);
}

TEST_F(MainDialog, EnterInTheDegreeFieldEndsTheDialogOnlyWhenTheTextParses)
{
    DegreeField()->setFocus();
    DegreeField()->setText("x1");
    QTest::keyClick(DegreeField(), Qt::Key_Return);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"양의 정수를 입력하십시오."});
    EXPECT_EQ(DegreeField()->selectedText(), "x1");
    DegreeField()->setText("7");
    QTest::keyClick(DegreeField(), Qt::Key_Return);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->Degree(), 7u);
}

TEST_F(MainDialog, EscapeEndsTheDialog)
{
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
}

TEST_F(MainDialog, TheWindowCarriesItsIconInBothSizes)
{
    const QIcon icon = dialog->windowIcon();
    ASSERT_FALSE(icon.isNull());
    EXPECT_TRUE(icon.availableSizes().contains(QSize(16, 16)));
    EXPECT_TRUE(icon.availableSizes().contains(QSize(32, 32)));
    // What a window manager or task bar reads from the X window.
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(dialog->winId()),
                                          QStringLiteral("_NET_WM_ICON")});
    ASSERT_TRUE(xprop.waitForFinished(kHangGuardMs)) << "xprop (x11-utils) must be installed";
    const QString property = QString::fromLocal8Bit(xprop.readAllStandardOutput());
    EXPECT_TRUE(property.contains(QStringLiteral("Icon (16 x 16)"))) << property.left(200).toStdString();
    EXPECT_TRUE(property.contains(QStringLiteral("Icon (32 x 32)")));
}

TEST_F(MainDialog, ModeButtonsStayPressedWhileTheirModeIsOn)
{
    auto pressed = [&] {
        std::vector<int> ids;
        for (int id : {IDC_ADD_CP1, IDC_SELECT_CP1, IDC_ADD_CP3, IDC_SELECT_CP3, IDC_SOLID, IDC_WIREFRAME, IDC_POINT})
            if (Button(id)->isChecked())
                ids.push_back(id);
        return ids;
    };
    EXPECT_EQ(pressed(), (std::vector<int>{IDC_ADD_CP1, IDC_ADD_CP3, IDC_SOLID}));
    // Pressing a mode's button twice leaves it pressed; the other editor's
    // buttons stay as they were.
    for (int twice = 0; twice < 2; ++twice)
        QTest::mouseClick(Button(IDC_SELECT_CP1), Qt::LeftButton);
    EXPECT_EQ(pressed(), (std::vector<int>{IDC_SELECT_CP1, IDC_ADD_CP3, IDC_SOLID}));
    QTest::mouseClick(Button(IDC_SELECT_CP3), Qt::LeftButton);
    QTest::mouseClick(Button(IDC_POINT), Qt::LeftButton);
    QTest::mouseClick(Button(IDC_POINT), Qt::LeftButton);
    EXPECT_EQ(pressed(), (std::vector<int>{IDC_SELECT_CP1, IDC_SELECT_CP3, IDC_POINT}));
    EXPECT_EQ(dialog->SurfaceView().GetRenderMode(), RenderMode::Point);
    // The documents hold the modes: one set from elsewhere shows after the
    // next command.
    dialog->Profile().SetMode(EditMode::Add);
    QTest::mouseClick(Button(IDC_WIREFRAME), Qt::LeftButton);
    EXPECT_EQ(pressed(), (std::vector<int>{IDC_ADD_CP1, IDC_SELECT_CP3, IDC_WIREFRAME}));
    // Enter on a focused mode button is its click.
    Button(IDC_ADD_CP3)->setFocus();
    QTest::keyClick(Button(IDC_ADD_CP3), Qt::Key_Return);
    EXPECT_EQ(dialog->Path().Mode(), EditMode::Add);
    EXPECT_EQ(pressed(), (std::vector<int>{IDC_ADD_CP1, IDC_ADD_CP3, IDC_WIREFRAME}));
}

TEST_F(MainDialog, EveryControlTellsWhatItDoesAndToWhichCurve)
{
    QSet<QString> tips;
    for (const ControlTemplate& control : kMainDialogControls) {
        if (control.id == IDC_STATIC)
            continue;
        const QString tip = dialog->GetDlgItem(control.id)->toolTip();
        EXPECT_FALSE(tip.isEmpty()) << control.id;
        tips.insert(tip);
    }
    // The two rows of editor buttons, alike in text, differ in their tips.
    EXPECT_EQ(tips.size(), static_cast<int>(kMainDialogControls.size()) - 1) << "no two controls alike";
}

TEST_F(MainDialog, ThePathViewsTipShowsItsSelectionOverTheView)
{
    QWidget* pathView = dialog->GetDlgItem(IDC_VIEWPORT3);
    auto selection = [&] {
        CVector3 p{};
        const int index = dialog->Path().GetSelectedPoint(p);
        return QString::fromStdString(FormatSelectedPoint(index, p.x, p.y));
    };
    EXPECT_TRUE(pathView->toolTip().endsWith("\nSelected CP : P0 (0.000000, -5.000000)"))
        << pathView->toolTip().toStdString();
    QTest::mouseClick(Button(IDC_SELECT_CP3), Qt::LeftButton);
    ClickView(dialog->PathView(), 0, 5);
    ASSERT_EQ(dialog->Path().Selected(), 1);
    EXPECT_TRUE(pathView->toolTip().endsWith("\n" + selection()));
    // The view is a window of its own: its tip comes up when the pointer
    // rests over it, and goes with a press.
    CCurveView& view = dialog->PathView();
    QTest::mouseMove(&view, QPoint(40, 40));
    QTest::mouseMove(&view, QPoint(41, 40));
    ASSERT_TRUE(QTest::qWaitFor([] { return QToolTip::isVisible(); }, kHangGuardMs));
    EXPECT_EQ(QToolTip::text(), pathView->toolTip());
    QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(41, 40));
    EXPECT_FALSE(QToolTip::isVisible());
    QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(41, 40));
}

TEST_F(MainDialog, AnAddIntoAFullCurveIsRefusedWithAMessage)
{
    std::vector<CVector3> full;
    for (std::size_t i = 0; i < kMaxCurvePoints; ++i)
        full.push_back({-8.0 + 0.016 * static_cast<double>(i), 3.0 * ((i / 10) % 2 ? 1.0 : -1.0), 0.0});
    dialog->Path().Assign(full, 10);
    ProcessEvents();
    ClickView(dialog->PathView(), 2, 2);
    ASSERT_EQ(boxes.Texts(), std::vector<std::string>{"A curve can hold at most 1000 control points."});
    // A message of the modeller's own, not one of the fixed ones: "Velmora".
    EXPECT_EQ(boxes.boxes[0].caption, "Velmora");
    EXPECT_EQ(boxes.boxes[0].icon, MessageIcon::Warning);
    ASSERT_EQ(dialog->Path().ControlPoints().size(), kMaxCurvePoints);
    EXPECT_EQ(dialog->Path().Selected(), 10);
    for (std::size_t i = 0; i < full.size(); ++i)
        EXPECT_EQ(dialog->Path().ControlPoints()[i].x, full[i].x) << i;
}
