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

#include "core/Bezier.h"
#include "GuiTestSupport.h"
#include "views/SurfaceView.h"

namespace {

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
    QPoint Centre() const { return {view.m_rcClient.right / 2, view.m_rcClient.bottom / 2}; }
    // The width of the image held by the view's texture object; 0 for none.
    int TextureWidth()
    {
        view.m_hRC->makeCurrent(&view);
        glBindTexture(GL_TEXTURE_2D, view.TextureName());
        GLint width = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        glBindTexture(GL_TEXTURE_2D, 0);
        view.m_hRC->doneCurrent();
        return width;
    }

    CSurfaceView view;
};

} // namespace

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
    EXPECT_LT(drawn, 2 * 2 * (view.m_rcClient.right + view.m_rcClient.bottom));
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
    view.SetRenderMode(RenderMode::Solid);
    const QImage filled = GrabView(view);
    view.SetRenderMode(RenderMode::Wireframe);
    const QImage lines = GrabView(view);
    view.SetRenderMode(RenderMode::Point);
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
        EXPECT_TRUE(ColourNear(image->pixel(view.m_rcClient.right - 5, c.y()), 255, 0, 0));
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

TEST_F(SurfaceViewTest, MovesOutsideTheViewAreNotSeenAndReleasingThereEndsTheDrag)
{
    GrabView(view);
    const QPoint c = Centre();
    const QPoint outside(-40, view.m_rcClient.bottom + 30);
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

// Runs LoadTexture on `path`. Should it block (a FIFO opened for reading
// waits for a writer), a watchdog opens the FIFO for writing after a bound
// far beyond any working load, so that the test fails instead of hanging.
static bool LoadTextureBlocked(CSurfaceView& view, const std::string& path, const std::string& fifo,
                               std::optional<DibResult>& result)
{
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    bool blocked = false;
    std::thread watchdog([&] {
        std::unique_lock<std::mutex> lock(mutex);
        if (!finished.wait_for(lock, std::chrono::seconds(60), [&] { return done; })) {
            blocked = true;
            const int writer = ::open(fifo.c_str(), O_WRONLY | O_CLOEXEC);
            if (writer >= 0)
                ::close(writer);
        }
    });
    result = view.LoadTexture(path.c_str());
    {
        const std::lock_guard<std::mutex> lock(mutex);
        done = true;
    }
    finished.notify_one();
    watchdog.join();
    return blocked;
}

TEST_F(SurfaceViewTest, TexturesFromAPipeADirectoryOrADeviceAreRefusedWithoutWaiting)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string fifo = dir.filePath(QStringLiteral("pipe.bmp")).toStdString();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, dir.path().toStdString(), std::string("/dev/zero")}) {
        SCOPED_TRACE(path);
        std::optional<DibResult> result;
        EXPECT_FALSE(LoadTextureBlocked(view, path, fifo, result));
        EXPECT_EQ(result, DibResult::OpenFailure);
        EXPECT_EQ(TextureWidth(), 0) << "no image may be left behind";
        EXPECT_EQ(QOpenGLContext::currentContext(), nullptr);
    }
}

TEST_F(SurfaceViewTest, AFileThatCannotBeOpenedLoadsNothingAndIsNotReported)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string loop = dir.filePath(QStringLiteral("loop.bmp")).toStdString();
    ASSERT_EQ(::symlink(loop.c_str(), loop.c_str()), 0);
    std::vector<std::string> paths = {dir.filePath(QStringLiteral("missing.bmp")).toStdString(), loop};
    // Unreadable: a file without read permission where permissions bind (not
    // for root); for root, a write-only kernel setting, if there is one.
    auto unreadable = [](const std::string& path) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd >= 0)
            ::close(fd);
        return fd < 0 && errno == EACCES;
    };
    QFile locked(dir.filePath(QStringLiteral("locked.bmp")));
    ASSERT_TRUE(locked.open(QIODevice::WriteOnly));
    locked.write("BM", 2);
    locked.close();
    locked.setPermissions(QFileDevice::WriteOwner);
    for (const std::string& path : {locked.fileName().toStdString(), std::string("/proc/sys/vm/compact_memory")}) {
        if (unreadable(path)) {
            paths.push_back(path);
            break;
        }
    }
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        EXPECT_EQ(view.LoadTexture(path.c_str()), std::nullopt);
        EXPECT_EQ(TextureWidth(), 0);
    }
}
