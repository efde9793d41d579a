#include <gtest/gtest.h>

#include <QTest>
#include <cmath>

#include "GuiTestSupport.h"
#include "core/Trackball.h"
#include "views/CurveView.h"
#include "views/SurfaceView.h"

// The suite runs these as they are and again with QT_SCALE_FACTOR=2: on a
// display scaled by the toolkit the views draw and pick in device pixels.
namespace {

double RequestedScale()
{
    return qEnvironmentVariableIsSet("QT_SCALE_FACTOR") ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble()
                                                        : 1.0;
}

// A view of 200 x 150 logical pixels with its context, shown.
void Open(CGLView& view)
{
    view.resize(200, 150);
    view.create();
    view.InitGL();
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view, kHangGuardMs));
}

bool IsBlack(QRgb pixel)
{
    return ColourNear(pixel, 0, 0, 0, 40);
}

} // namespace

TEST(DevicePixels, CurveEditorDrawsEveryDevicePixelAndPicksThePointUnderThePointer)
{
    DesignDocument design;
    CurveDocument& document = design.Path();
    document.Assign({}, -1);
    CCurveView view{design, document};
    Open(view);
    const double ratio = view.devicePixelRatio();
    ASSERT_EQ(ratio, RequestedScale());
    const int w = qRound(200 * ratio), h = qRound(150 * ratio);
    EXPECT_EQ(view.Client().right, w);
    EXPECT_EQ(view.Client().bottom, h);

    // Points put down by clicks at logical pointer positions.
    const QPoint placed[] = {{50, 30}, {150, 75}, {120, 130}};
    for (const QPoint& p : placed)
        QTest::mouseClick(&view, Qt::LeftButton, {}, p);
    ASSERT_EQ(document.ControlPoints().size(), 3u);

    const QImage image = GrabView(view);
    ASSERT_EQ(image.size(), QSize(w, h));
    // The axes cross at the device centre; a viewport of the logical size
    // would draw them in the lower left quarter.
    EXPECT_TRUE(IsBlack(image.pixel(w / 2, h / 8)) || IsBlack(image.pixel(w / 2 - 1, h / 8)));
    EXPECT_TRUE(IsBlack(image.pixel(w / 8, h / 2)) || IsBlack(image.pixel(w / 8, h / 2 - 1)));
    // Lines and points keep their look: the axis 2 and the points 5 pixels
    // of an unscaled display across.
    int axisWidth = 0, pointWidth = 0;
    const int pointRow = static_cast<int>(placed[2].y() * ratio);
    for (int x = 0; x < w; ++x) {
        axisWidth += IsBlack(image.pixel(x, h / 8));
        pointWidth += ColourNear(image.pixel(x, pointRow), 255, 128, 128, 3);
    }
    EXPECT_EQ(axisWidth, qRound(2 * ratio));
    EXPECT_EQ(pointWidth, qRound(5 * ratio));
    // Each point is drawn where its click was, in device pixels: the last
    // one selected (pink), the others grey.
    for (int i = 0; i < 3; ++i) {
        const QPoint device(static_cast<int>(placed[i].x() * ratio), static_cast<int>(placed[i].y() * ratio));
        const QRgb pixel = image.pixel(device);
        EXPECT_TRUE(i == 2 ? ColourNear(pixel, 255, 128, 128, 3) : ColourNear(pixel, 128, 128, 128, 3))
            << i << ": " << std::hex << pixel;
    }

    // In select mode a click on a drawn point picks it.
    document.SetMode(EditMode::Select);
    QTest::mouseClick(&view, Qt::LeftButton, {}, placed[0]);
    EXPECT_EQ(document.Selected(), 0);
    QTest::mouseClick(&view, Qt::LeftButton, {}, placed[1]);
    EXPECT_EQ(document.Selected(), 1);
}

TEST(DevicePixels, TrackballTurnsAndZoomsAsMuchForTheSameGestureAtAnyScale)
{
    DesignDocument design;
    CSurfaceView view{design};
    Open(view);
    // A drag over a quarter of the view, in logical pixels.
    QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(100, 75));
    QTest::mouseMove(&view, QPoint(150, 60));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(150, 60));

    // The same gesture on an unscaled view of the same logical size.
    CTrackball unscaled;
    unscaled.SetViewportSize(200, 150);
    unscaled.BeginRotation(100, 75);
    unscaled.Motion(150, 60);
    unscaled.EndRotation();
    bool turned = false;
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(view.Trackball().Matrix()[i], unscaled.Matrix()[i], 1e-5) << i;
        turned |= std::fabs(unscaled.Matrix()[i] - (i % 5 == 0 ? 1.0f : 0.0f)) > 0.05f;
    }
    EXPECT_TRUE(turned);

    // A right drag of 20 logical pixels zooms as far at any scale.
    QTest::mousePress(&view, Qt::RightButton, {}, QPoint(100, 75));
    QTest::mouseMove(&view, QPoint(120, 75));
    QTest::mouseRelease(&view, Qt::RightButton, {}, QPoint(120, 75));
    unscaled.BeginZoom(100, 75);
    unscaled.Motion(120, 75);
    unscaled.EndZoom();
    EXPECT_NE(unscaled.Distance(), 20.0f);
    EXPECT_FLOAT_EQ(view.Trackball().Distance(), unscaled.Distance());

    // A notch of the wheel zooms as a drag of its worth in logical pixels.
    TurnWheel(view, QPoint(100, 75), QPoint(0, 120));
    unscaled.BeginZoom(100, 75);
    unscaled.Motion(100 - CTrackball::kWheelNotchTravel, 75);
    unscaled.EndZoom();
    EXPECT_FLOAT_EQ(view.Trackball().Distance(), unscaled.Distance());
}
