#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRect>
#include <QString>
#include <QTest>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "GuiTestSupport.h"
#include "app/DialogTemplate.h"
#include "app/MainDlg.h"

namespace e2e {

// Runs the event loop until `done` holds. The bound is no measure of speed:
// it only turns a program that never gets there into a failure instead of
// a hang, and lies far beyond any busy machine's delay.
inline bool WaitFor(const std::function<bool()>& done, int boundMs = kHangGuardMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > boundMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// What the surface view shows, pixel by pixel: white background, the three
// pure axis colours, and everything else (the surface).
struct Census {
    int white = 0;
    int red = 0;
    int green = 0;
    int blue = 0;
    int surface = 0;
    QRect surfaceBox;
};

inline bool IsWhite(QRgb p)
{
    return ColourNear(p, 255, 255, 255, 3);
}

inline bool IsAxisColour(QRgb p)
{
    return ColourNear(p, 255, 0, 0, 3) || ColourNear(p, 0, 255, 0, 3) || ColourNear(p, 0, 0, 255, 3);
}

inline bool IsSurface(QRgb p)
{
    return !IsWhite(p) && !IsAxisColour(p);
}

inline Census TakeCensus(const QImage& image)
{
    Census c;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (IsWhite(p)) {
                ++c.white;
            } else if (ColourNear(p, 255, 0, 0, 3)) {
                ++c.red;
            } else if (ColourNear(p, 0, 255, 0, 3)) {
                ++c.green;
            } else if (ColourNear(p, 0, 0, 255, 3)) {
                ++c.blue;
            } else {
                ++c.surface;
                c.surfaceBox |= QRect(x, y, 1, 1);
            }
        }
    }
    return c;
}

// Whether a pixel near `centre` (within `radius`) has the colour.
inline bool ColourAround(const QImage& image, QPoint centre, int r, int g, int b, int radius = 3)
{
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx) {
            const QPoint p = centre + QPoint(dx, dy);
            if (image.rect().contains(p) && ColourNear(image.pixel(p), r, g, b, 4))
                return true;
        }
    return false;
}

inline int CountColour(const QImage& image, int r, int g, int b)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (ColourNear(image.pixel(x, y), r, g, b, 4))
                ++count;
    return count;
}

// The user's view of the running dialog: its controls, found by id, and the
// gestures a user makes on them, all as real input events.
class DialogUser : public testing::Test {
protected:
    void SetUp() override
    {
        dialog = std::make_unique<CMainDlg>();
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get(), kHangGuardMs));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog->SurfaceView(), kHangGuardMs));
        Settle();
    }
    void TearDown() override { dialog.reset(); }

    QPushButton* Button(int id) const { return qobject_cast<QPushButton*>(dialog->GetDlgItem(id)); }
    QLineEdit* DegreeField() const { return qobject_cast<QLineEdit*>(dialog->GetDlgItem(IDC_DEGREE)); }
    QString ReadOut() const { return qobject_cast<QLabel*>(dialog->GetDlgItem(IDC_STATUS))->text(); }
    CCurveView& Profile() const { return dialog->ProfileView(); }
    CCurveView& Path() const { return dialog->PathView(); }
    CSurfaceView& Surface() const { return dialog->SurfaceView(); }

    // Lets the repaints that the last change requested happen: the dialog's
    // and each view's, after the mouse moves the editors still keep.
    void Settle()
    {
        QCoreApplication::processEvents();
        ASSERT_TRUE(WaitFor([this] {
            return !Profile().HasPendingMove() && !Path().HasPendingMove() &&
                   !Profile().IsFramePending() && !Surface().IsFramePending() &&
                   !Path().IsFramePending();
        }));
        QCoreApplication::processEvents();
    }

    void Press(int id) { QTest::mouseClick(Button(id), Qt::LeftButton); }

    void ClickWorld(CCurveView& view, double x, double y)
    {
        QTest::mouseClick(&view, Qt::LeftButton, {}, WorldToWindow(view, x, y));
    }

    // A left drag through `points` (world), pressed at the first and
    // released at the last.
    void DragWorld(CCurveView& view, const std::vector<QPointF>& points)
    {
        QTest::mousePress(&view, Qt::LeftButton, {}, WorldToWindow(view, points.front().x(), points.front().y()));
        for (const QPointF& p : points)
            QTest::mouseMove(&view, WorldToWindow(view, p.x(), p.y()));
        QTest::mouseRelease(&view, Qt::LeftButton, {}, WorldToWindow(view, points.back().x(), points.back().y()));
    }

    // Types into the degree field as a user does: click it, select all,
    // erase, type.
    void TypeDegree(const QString& text)
    {
        Settle();  // a pending dialog repaint would write the stored degree back
        QLineEdit* field = DegreeField();
        QTest::mouseClick(field, Qt::LeftButton);
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, text);
    }

    void ResetWith(const QString& text)
    {
        TypeDegree(text);
        ASSERT_EQ(DegreeField()->text(), text);
        Press(IDC_RESET);
        Settle();
    }

    static QString Expected(int index, const CVector3& p)
    {
        return QString::asprintf("Selected CP : P%d (%f, %f)", index, p.x, p.y);
    }

    // The read-out once the dialog has repainted after the last change.
    bool ReadOutBecomes(const QString& expected)
    {
        return WaitFor([&] { return ReadOut() == expected; });
    }

    // Four clicks that draw a vase profile in the left editor.
    void DrawVase()
    {
        for (const QPointF& p : VasePoints())
            ClickWorld(Profile(), p.x(), p.y());
        Settle();
    }
    static std::vector<QPointF> VasePoints() { return {{3, -6}, {6, -3}, {2, 2}, {4, 6}}; }

    RecordingMessageBoxes boxes;
    std::unique_ptr<CMainDlg> dialog;
};

// A 24-bit bottom-up Windows bitmap with a file header, written from a
// colour function of (column, row from the bottom).
bool WriteBmp24(const std::string& path, int width, int height,
                const std::function<QRgb(int x, int yFromBottom)>& colour);

// Writes raw bytes to a file.
bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

// Clicks "Load Texture", waits for the file dialog, types `path` into its
// file-name field and confirms. Rejects the dialog if it cannot be driven,
// so the test fails instead of hanging. Returns what went wrong, or "".
std::string LoadTextureThroughDialog(QPushButton* loadButton, const QString& path);
// The same for any file dialog (open or save) that `showDialog` brings up.
std::string ChooseFileThroughDialog(QObject* context, const std::function<void()>& showDialog,
                                    const QString& path);

// Drags the file with the real pointer (xdotool through the X server, so the
// drag travels by the X drag-and-drop protocol as from a file manager) from a
// window of its own and lets go at `target` (global). Returns the action the
// drag ended with: Qt::CopyAction where the drop was taken, Qt::IgnoreAction
// where it was refused.
Qt::DropAction DragFileWithThePointer(const QString& path, QPoint target);

} // namespace e2e
