#include <gtest/gtest.h>

#include <GL/gl.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QOpenGLContext>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/Bezier.h"
#include "core/SweepMesh.h"
#include "GuiTestSupport.h"
#include "views/SurfaceView.h"

namespace {

// The surface view, able to show instead of its surface the 24 strips drawn
// the plain way, outside any display list: one colour call, then per strip
// glBegin, and per vertex glTexCoord2f, glNormal3d, glVertex3d.
class ReferenceSurfaceView : public CSurfaceView {
public:
    explicit ReferenceSurfaceView(DesignDocument& design) : CSurfaceView(design) {}
    void ShowStrips(const std::vector<CVector3>& samples, const std::vector<CVector3>& path,
                    const std::vector<CVector3>& profile)
    {
        m_strips = ComputeSweepMesh(samples, path, profile);
        m_bShowStrips = true;
    }
    void ShowSurface() { m_bShowStrips = false; }
    void DrawScene() override
    {
        if (!m_bShowStrips) {
            CSurfaceView::DrawScene();
            return;
        }
        glBindTexture(GL_TEXTURE_2D, TextureName());
        glEnable(GL_LIGHTING);
        if (!m_strips.empty())
            glColor3f(1.0f, 1.0f, 1.0f);
        for (const auto& strip : m_strips) {
            glBegin(GL_TRIANGLE_STRIP);
            for (const SweepVertex& v : strip) {
                glTexCoord2f(v.s, v.t);
                glNormal3d(v.normal.x, v.normal.y, v.normal.z);
                glVertex3d(v.position.x, v.position.y, v.position.z);
            }
            glEnd();
        }
        glBindTexture(GL_TEXTURE_2D, 0);
    }

private:
    std::vector<std::vector<SweepVertex>> m_strips;
    bool m_bShowStrips = false;
};

class SurfaceViewTest : public testing::Test {
protected:
    void SetUp() override
    {
        view.resize(292, 342);
        view.create();
        view.InitGL();
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view, kHangGuardMs));
    }
    void BuildVase()
    {
        std::vector<CVector3> profile{{2, -4, 0}, {6, -1, 0}, {1, 2, 0}, {3, 5, 0}};
        std::vector<CVector3> samples;
        std::vector<float> params;
        EvaluateCurve(profile, samples, params);
        view.BuildSurface(samples, {{0, -5, 0}, {0, 5, 0}}, profile);
    }
    int CountNonWhite(const QImage& image)
    {
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                count += !ColourNear(image.pixel(x, y), 255, 255, 255, 0);
        return count;
    }
    int CountDifferent(const QImage& a, const QImage& b)
    {
        int count = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                count += !ColourNear(a.pixel(x, y), qRed(b.pixel(x, y)), qGreen(b.pixel(x, y)),
                                     qBlue(b.pixel(x, y)), 8);
        return count;
    }
    QPoint Centre() const { return {view.Client().right / 2, view.Client().bottom / 2}; }
    // The strips of these curves drawn one by one, as the view shows them now.
    QImage GrabReference(const std::vector<CVector3>& samples, const std::vector<CVector3>& path,
                         const std::vector<CVector3>& profile)
    {
        view.ShowStrips(samples, path, profile);
        const QImage reference = GrabView(view);
        view.ShowSurface();
        return reference;
    }
    // What the window shows now, without drawing a frame.
    QImage Screen() { return view.screen()->grabWindow(view.winId()).toImage().convertToFormat(QImage::Format_RGB32); }

    DesignDocument design;
    ReferenceSurfaceView view{design};
};

struct Shape {
    const char* name;
    std::vector<CVector3> profile;
    std::vector<CVector3> path;
};

std::vector<Shape> Shapes()
{
    return {
        {"vase on a straight path", {{2, -4, 0}, {6, -1, 0}, {1, 2, 0}, {3, 5, 0}}, {{0, -5, 0}, {0, 5, 0}}},
        {"wandering profile on a bent path", {{1, -3, 0}, {4, 0, 0}, {2, 4, 0}, {5, -2, 0}, {0.5, 6, 0}},
         {{0, -5, 0}, {3, 0, 0}, {-2, 3, 0}, {0, 5, 0}}},
        {"closed at a pole, resampled along a longer path", {{0, -4, 0}, {5, 0, 0}, {0, 4, 0}},
         {{-1, -6, 0}, {2, -2, 0}, {-2, 2, 0}, {1, 6, 0}, {0, 7, 0}}},
    };
}

} // namespace

TEST_F(SurfaceViewTest, EveryModeShowsTheEdgesOfTheStripsDrawnOneByOne)
{
    QImage stripes(64, 64, QImage::Format_RGB888);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            stripes.setPixel(x, y, (x / 8 + y / 16) % 2 ? qRgb(230, 200, 40) : qRgb(40, 90, 220));

    // Turn the view a little, so that the light and the depth order are not
    // the trivial ones.
    GrabView(view);
    const QPoint c = Centre();
    QTest::mousePress(&view, Qt::LeftButton, {}, c);
    QTest::mouseMove(&view, c + QPoint(25, 18));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, c + QPoint(25, 18));

    for (bool textured : {false, true}) {
        if (textured) {
            auto image = std::make_shared<RgbImage>();
            image->width = image->height = 64;
            for (int y = 63; y >= 0; --y)
                for (int x = 0; x < 64; ++x)
                    for (int c : {qRed(stripes.pixel(x, y)), qGreen(stripes.pixel(x, y)), qBlue(stripes.pixel(x, y))})
                        image->pixels.push_back(static_cast<unsigned char>(c));
            design.SetTexture({"stripes", image});
            EXPECT_EQ(view.TextureShown(), (PictureSize{64, 64}));
        }
        // Each shape replaces the one before: a mesh left from it would show.
        for (const Shape& shape : Shapes()) {
            std::vector<CVector3> samples;
            std::vector<float> params;
            EvaluateCurve(shape.profile, samples, params);
            view.BuildSurface(samples, shape.path, shape.profile);
            // Strips joined into one draw add triangles between them, whose
            // edges and corners the wireframe and point modes would show.
            for (RenderMode mode : {RenderMode::Solid, RenderMode::Wireframe, RenderMode::Point}) {
                SCOPED_TRACE(testing::Message() << shape.name << ", mode " << static_cast<int>(mode)
                                                << (textured ? ", textured" : ""));
                design.SetRenderMode(mode);
                const QImage shown = GrabView(view);
                EXPECT_GT(CountNonWhite(shown), 2000);
                EXPECT_EQ(CountUnequalPixels(GrabReference(samples, shape.path, shape.profile), shown), 0);
            }
        }
    }
}

TEST_F(SurfaceViewTest, ARequestedSurfaceIsBuiltAtTheNextFrameAndOnlyWhenItsCurvesChanged)
{
    std::vector<CVector3> profile{{2, -4, 0}, {6, -1, 0}, {1, 2, 0}, {3, 5, 0}};
    std::vector<CVector3> samples;
    std::vector<float> params;
    EvaluateCurve(profile, samples, params);
    std::vector<CVector3> path{{0, -5, 0}, {0, 5, 0}};
    // Lines show every edge drawn, a stray one too.
    design.SetRenderMode(RenderMode::Wireframe);
    GrabView(view);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view.IsFramePending(); }, kHangGuardMs));

    // New curves: stale, and a frame is asked for, which builds the surface.
    // The design's edits request it, as they will from now on.
    ASSERT_TRUE(design.Path().Assign(path, -1).Ok());
    ASSERT_TRUE(design.Profile().Assign(profile, -1).Ok());
    EXPECT_TRUE(view.IsSurfaceStale());
    EXPECT_TRUE(view.IsFramePending());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view.IsFramePending(); }, kHangGuardMs));
    EXPECT_FALSE(view.IsSurfaceStale());
    const QImage shown = Screen();
    EXPECT_GT(CountNonWhite(shown), 10000);
    EXPECT_EQ(CountUnequalPixels(shown, GrabReference(samples, path, profile)), 0)
        << "the frame showed the requested curves";

    // Nothing new (a selection, a mode): nothing to do.
    EXPECT_FALSE(view.RequestSurface());
    design.Profile().SetMode(EditMode::Select);
    design.Profile().Click(6, -1);
    EXPECT_FALSE(view.IsSurfaceStale());
    EXPECT_FALSE(view.IsFramePending());

    // A change is read when the frame comes, not when it is asked for.
    profile[1].x = 3.5;
    EvaluateCurve(profile, samples, params);
    ASSERT_TRUE(design.Profile().Assign(profile, -1).Ok());
    EXPECT_TRUE(view.IsSurfaceStale());
    path[1].x = 2.0;
    ASSERT_TRUE(design.Path().Assign(path, -1).Ok());
    view.UpdateSurface();
    EXPECT_FALSE(view.IsSurfaceStale());
    const QImage bent = GrabView(view);
    EXPECT_EQ(CountUnequalPixels(bent, GrabReference(samples, path, profile)), 0);

    // Undone before its frame: the surface already shows it, nothing to build.
    const std::vector<CVector3> bentProfile = profile;
    profile[2].x = 4.0;
    ASSERT_TRUE(design.Profile().Assign(profile, -1).Ok());
    EXPECT_TRUE(view.IsSurfaceStale());
    ASSERT_TRUE(design.Profile().Assign(bentProfile, -1).Ok());
    EXPECT_FALSE(view.IsSurfaceStale());
    EXPECT_EQ(CountUnequalPixels(GrabView(view), bent), 0);
}

TEST_F(SurfaceViewTest, StartsWithTheThreeAxesAloneOnWhite)
{
    const QImage image = GrabView(view);
    const QPoint c = Centre();
    EXPECT_TRUE(ColourNear(image.pixel(c.x() + 60, c.y()), 255, 0, 0)) << "red along +X";
    EXPECT_TRUE(ColourNear(image.pixel(c.x(), c.y() - 60), 0, 255, 0)) << "green along +Y";
    EXPECT_TRUE(ColourNear(image.pixel(c.x() - 60, c.y() + 60), 255, 255, 255));
    // Only the two visible axes (2 pixels wide) are drawn; +Z points at the viewer.
    const int drawn = CountNonWhite(image);
    EXPECT_GT(drawn, 200);
    EXPECT_LT(drawn, 2 * 2 * (view.Client().right + view.Client().bottom));
    // The trackball lifts points on the view's own size.
    CTrackball sized;
    sized.SetViewportSize(292, 342);
    for (const QPoint& p : {QPoint(100, 50), QPoint(146, 171), QPoint(250, 300)}) {
        const CVector3 lift = view.Trackball().ProjectToSphere(p.x(), p.y());
        const CVector3 expected = sized.ProjectToSphere(p.x(), p.y());
        EXPECT_EQ(lift.x, expected.x);
        EXPECT_EQ(lift.y, expected.y);
        EXPECT_EQ(lift.z, expected.z);
    }
}

TEST_F(SurfaceViewTest, RenderModesDrawTheSameSurfaceDifferently)
{
    BuildVase();
    EXPECT_EQ(QOpenGLContext::currentContext(), nullptr);
    const int axesOnly = 1000;
    design.SetRenderMode(RenderMode::Solid);
    const QImage filled = GrabView(view);
    design.SetRenderMode(RenderMode::Wireframe);
    const QImage lines = GrabView(view);
    design.SetRenderMode(RenderMode::Point);
    const QImage points = GrabView(view);
    const int filledCount = CountNonWhite(filled);
    EXPECT_GT(filledCount, 10 * axesOnly);
    EXPECT_GT(CountDifferent(filled, lines), axesOnly);
    EXPECT_GT(CountDifferent(lines, points), axesOnly);
    // Points leave white between them where the filled surface has none.
    EXPECT_GT(filledCount, CountNonWhite(points) + axesOnly);
    EXPECT_GT(CountNonWhite(points), axesOnly);
    // The axes are unlit lines in every mode: the red one is still red outside the surface.
    const QPoint c = Centre();
    for (const QImage* image : {&filled, &lines, &points})
        EXPECT_TRUE(ColourNear(image->pixel(view.Client().right - 5, c.y()), 255, 0, 0));
}

TEST_F(SurfaceViewTest, AnEmptyProfileRemovesTheSurface)
{
    BuildVase();
    EXPECT_GT(CountNonWhite(GrabView(view)), 10000);
    view.BuildSurface({}, {{0, -5, 0}, {0, 5, 0}}, {});
    EXPECT_LT(CountNonWhite(GrabView(view)), 2000);
}

TEST_F(SurfaceViewTest, LeftDragTurnsAndRightDragZooms)
{
    GrabView(view);
    const QPoint c = Centre();
    float before[16];
    std::memcpy(before, view.Trackball().Matrix(), sizeof before);
    QTest::mousePress(&view, Qt::LeftButton, {}, c);
    for (int step = 1; step <= 10; ++step)
        QTest::mouseMove(&view, c + QPoint(6 * step, 0));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, c + QPoint(60, 0));
    EXPECT_NE(std::memcmp(before, view.Trackball().Matrix(), sizeof before), 0);
    EXPECT_EQ(QOpenGLContext::currentContext(), nullptr);

    QTest::mousePress(&view, Qt::RightButton, {}, c);
    QTest::mouseMove(&view, c - QPoint(50, 0));
    QTest::mouseRelease(&view, Qt::RightButton, {}, c - QPoint(50, 0));
    EXPECT_FLOAT_EQ(view.Trackball().Distance(), 20.0f * static_cast<float>(-50 * 0.008f + 1.0));
}

TEST_F(SurfaceViewTest, TheWheelZoomsAsTheRightDragItsNotchIsWorth)
{
    BuildVase();
    const float start[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const QPoint c = Centre();
    // Fifteen pixels to the left with the right button held.
    GrabView(view);
    QTest::mousePress(&view, Qt::RightButton, {}, c);
    QTest::mouseMove(&view, c - QPoint(CTrackball::kWheelNotchTravel, 0));
    QTest::mouseRelease(&view, Qt::RightButton, {}, c - QPoint(CTrackball::kWheelNotchTravel, 0));
    const float dragged = view.Trackball().Distance();
    ASSERT_LT(dragged, 20.0f);
    const QImage draggedPicture = GrabView(view);

    // One notch forward, and eight touchpad steps of an eighth of one.
    for (const std::vector<int>& steps : {std::vector<int>{120}, std::vector<int>(8, 15)}) {
        ASSERT_TRUE(design.SetView(start, 20.0f));
        GrabView(view);
        for (int step : steps)
            TurnWheel(view, c, QPoint(0, step));
        EXPECT_TRUE(view.IsFramePending()) << "the view asks for a frame";
        EXPECT_EQ(view.Trackball().Distance(), dragged) << steps.size() << " steps";
        EXPECT_EQ(CountUnequalPixels(GrabView(view), draggedPicture), 0);
    }
    // Back a notch; sideways is no turn of the wheel.
    TurnWheel(view, c, QPoint(0, -120));
    EXPECT_FLOAT_EQ(view.Trackball().Distance(), dragged * 1.12f);
    const float back = view.Trackball().Distance();
    TurnWheel(view, c, QPoint(120, 0));
    EXPECT_EQ(view.Trackball().Distance(), back);
}

TEST_F(SurfaceViewTest, MovesOutsideTheViewAreNotSeenAndReleasingThereEndsTheDrag)
{
    GrabView(view);
    const QPoint c = Centre();
    const QPoint outside(-40, view.Client().bottom + 30);
    float matrix[16];
    std::memcpy(matrix, view.Trackball().Matrix(), sizeof matrix);
    const float distance = view.Trackball().Distance();
    // Moves outside the view neither turn nor zoom; the release ends the drag.
    QTest::mousePress(&view, Qt::LeftButton, {}, c);
    QTest::mouseMove(&view, outside);
    EXPECT_EQ(std::memcmp(matrix, view.Trackball().Matrix(), sizeof matrix), 0);
    QTest::mouseRelease(&view, Qt::LeftButton, {}, outside);
    EXPECT_FALSE(view.Trackball().IsRotating());
    QTest::mousePress(&view, Qt::RightButton, {}, c);
    QTest::mouseMove(&view, outside);
    EXPECT_EQ(view.Trackball().Distance(), distance);
    QTest::mouseRelease(&view, Qt::RightButton, {}, outside);
    EXPECT_FALSE(view.Trackball().IsZooming());
    // Moving over the view with no button held now changes nothing.
    QTest::mouseMove(&view, c + QPoint(30, 30));
    QTest::mouseMove(&view, c - QPoint(30, 10));
    EXPECT_EQ(std::memcmp(matrix, view.Trackball().Matrix(), sizeof matrix), 0);
    EXPECT_EQ(view.Trackball().Distance(), distance);
}

// The export preview draws the indexed triangles of the export mesh in place
// of the strips; off, the view is the one it always was.
TEST_F(SurfaceViewTest, TheExportPreviewDrawsTheExportMeshAndOffLeavesTheSurfaceAsItWas)
{
    // Turned a little, as above, so that light and depth order are not trivial.
    GrabView(view);
    const QPoint c = Centre();
    QTest::mousePress(&view, Qt::LeftButton, {}, c);
    QTest::mouseMove(&view, c + QPoint(25, 18));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, c + QPoint(25, 18));

    ExportOptions fine;
    fine.sweep.slices = 48;
    ExportOptions coarse;
    coarse.sweep.slices = 6;
    coarse.sweep.intervalsPerSpan = 2;
    for (const Shape& shape : Shapes()) {
        ASSERT_TRUE(design.SetOutput(ExportOptions{}).Ok());
        ASSERT_TRUE(design.Path().Assign(shape.path, -1).Ok());
        ASSERT_TRUE(design.Profile().Assign(shape.profile, -1).Ok());
        std::vector<CVector3> samples;
        std::vector<float> params;
        EvaluateCurve(shape.profile, samples, params);
        for (RenderMode mode : {RenderMode::Solid, RenderMode::Wireframe, RenderMode::Point}) {
            SCOPED_TRACE(testing::Message() << shape.name << ", mode " << static_cast<int>(mode));
            design.SetRenderMode(mode);
            ASSERT_TRUE(design.SetOutput(ExportOptions{}).Ok());
            view.SetPreviewExport(false);
            const QImage surface = GrabReference(samples, shape.path, shape.profile);
            ASSERT_GT(CountNonWhite(surface), 2000);

            // Other options with the preview off: the strips, every pixel.
            ASSERT_TRUE(design.SetOutput(coarse).Ok());
            EXPECT_FALSE(view.IsPreviewExport());
            EXPECT_EQ(CountUnequalPixels(GrabView(view), surface), 0);

            // On: the export mesh, which at the defaults is the surface itself.
            view.SetPreviewExport(true);
            EXPECT_TRUE(view.IsFramePending());
            const QImage coarsePreview = GrabView(view);
            EXPECT_GT(CountUnequalPixels(coarsePreview, surface), 200);
            EXPECT_EQ(view.PreviewFailure(), "");
            ASSERT_TRUE(design.SetOutput(fine).Ok());
            EXPECT_TRUE(view.IsFramePending()) << "a change of the options asks for a frame";
            const QImage finePreview = GrabView(view);
            EXPECT_GT(CountUnequalPixels(finePreview, surface), 50);
            EXPECT_GT(CountUnequalPixels(finePreview, coarsePreview), 200);
            // The export leaves out the triangles of no area at a pole, and
            // with them the points and edges the point and wireframe modes
            // draw there (a few pixels, by how the rasterizer meets them).
            const bool pole = shape.profile.front().x == 0.0;
            ASSERT_TRUE(design.SetOutput(ExportOptions{}).Ok());
            EXPECT_LE(CountUnequalPixels(GrabView(view), surface), pole && mode != RenderMode::Solid ? 16 : 0);

            // Off again: the strips, whatever the options.
            ASSERT_TRUE(design.SetOutput(fine).Ok());
            view.SetPreviewExport(false);
            EXPECT_EQ(CountUnequalPixels(GrabView(view), surface), 0);
        }
    }
}

TEST_F(SurfaceViewTest, ThePreviewFollowsTheCurvesAndShowsNothingWithoutAProfile)
{
    ExportOptions coarse;
    coarse.sweep.slices = 6;
    coarse.sweep.intervalsPerSpan = 2;
    ASSERT_TRUE(design.SetOutput(coarse).Ok());
    view.SetPreviewExport(true);
    std::vector<CVector3> profile{{2, -4, 0}, {6, -1, 0}, {1, 2, 0}, {3, 5, 0}};
    const std::vector<CVector3> path{{0, -5, 0}, {0, 5, 0}};
    ASSERT_TRUE(design.Path().Assign(path, -1).Ok());
    ASSERT_TRUE(design.Profile().Assign(profile, -1).Ok());
    const QImage vase = GrabView(view);
    EXPECT_GT(CountNonWhite(vase), 10000);
    // A moved point is in the next frame's preview.
    profile[1].x = 3.0;
    ASSERT_TRUE(design.Profile().Assign(profile, -1).Ok());
    EXPECT_TRUE(view.IsFramePending());
    const QImage narrower = GrabView(view);
    EXPECT_GT(CountUnequalPixels(narrower, vase), 500);
    EXPECT_LT(CountNonWhite(narrower), CountNonWhite(vase));
    // No profile: no mesh to show, and no stale one either.
    ASSERT_TRUE(design.Profile().Assign({}, -1).Ok());
    EXPECT_LT(CountNonWhite(GrabView(view)), 2000);
    EXPECT_EQ(view.PreviewFailure(), "");
}
